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
class AlertPresenter;
class HistoryExporter;
class PasteService;
class SaveFileChooser;

// Everything the windows' scenes reach, gathered by the application (or a tool that shows the
// windows) and turned into their view models.
struct SceneServices
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

    // The tray popover's buttons; each closes the popover first.
    std::function<void()> openMainApp;
    std::function<void()> openSettingsFromPopover;
    std::function<void()> checkForUpdatesFromPopover;
    std::function<void()> quit;
    std::function<void()> dismissPopover;

    // The preferences window.
    HistoryExporter *exporter = nullptr;
    AlertPresenter *alerts = nullptr;
    std::function<void(bool)> setLaunchAtLogin;
    std::function<void()> checkForUpdates; // user-initiated, unless one runs
    std::function<QStringList()> runningApplicationIds;
    QString versionText; // "Version 1.0.0 (1)"
    QString storageFolder;
};

namespace SceneFactory {

// Image providers and import path for the scene's engine.
void prepareEngine(QQmlEngine &engine, const SceneServices &services);
// The root's properties: the view models, owned by parent. For the history window, the tray popover
// and the preferences window.
[[nodiscard]] QVariantMap createViewModels(const SceneServices &services, QObject *parent);
[[nodiscard]] QVariantMap createPopoverModels(const SceneServices &services, QObject *parent);
[[nodiscard]] QVariantMap createSettingsModels(const SceneServices &services, QObject *parent);

} // namespace SceneFactory

} // namespace Vexilo
