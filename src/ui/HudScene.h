// SPDX-License-Identifier: MIT
#pragma once

#include "ClipItem.h"

#include <QIcon>
#include <QImage>
#include <QVariantMap>
#include <functional>
#include <optional>

class QObject;
class QQmlEngine;

namespace Vexilo {

class AccessibilityPermission;
class AppSettings;
class ClipboardStore;
class Clock;
class DesktopAppearance;
class GlobalHotkeyManager;
class PasteService;
class SaveFileChooser;

// Everything the history window's scene reaches, gathered by the application (or a tool that shows
// the window) and turned into the scene's view models.
struct HudServices
{
    ClipboardStore *store = nullptr;
    PasteService *paste = nullptr;
    AppSettings *settings = nullptr;
    GlobalHotkeyManager *hotkeys = nullptr;
    AccessibilityPermission *permission = nullptr;
    DesktopAppearance *appearance = nullptr;
    Clock *clock = nullptr;
    SaveFileChooser *saveFileChooser = nullptr;
    std::function<QString(const ClipItem &)> qrPayload;
    std::function<void(const QImage &, QObject *, std::function<void(std::optional<QString>)>)> recognizeText;
    // An image written to the clipboard as any application would (recorded as a new clip).
    std::function<void(const QImage &)> copyImage;
    std::function<std::optional<QIcon>(const QString &bundleId)> applicationIcon;
    std::function<void(const QString &path)> showInFileManager;
    std::function<void(const QString &url)> openUrl;
    std::function<void()> openSettings;
};

namespace HudScene {

// Image providers and import path for the scene's engine.
void prepareEngine(QQmlEngine &engine, const HudServices &services);
// The root's properties: the view models, owned by parent.
[[nodiscard]] QVariantMap createViewModels(const HudServices &services, QObject *parent);

} // namespace HudScene

} // namespace Vexilo
