// SPDX-License-Identifier: MIT
#pragma once

#include "LogSink.h"
#include "SoundEffect.h"

#include <QString>
#include <memory>

namespace Vexilo {

class DesktopFiles;
class HotkeyService;
class KeyEventSource;
class KeySynthesizer;
class LoginItem;
class OverlayWindowSupport;
class Pasteboard;
class Workspace;
class X11Atoms;

// The desktop backends of this session, chosen once at start: the X11 ones on an X display, the
// Wayland ones for what the compositor offers, null ones for the rest, so the application runs
// (without what the desktop cannot give) anywhere.
class PlatformServices
{
public:
    // The platform Qt runs on must be set up (a QGuiApplication exists).
    // `log` hears why a backend could not be used.
    static std::unique_ptr<PlatformServices> create(const QString &executablePath, LogSink log = {});
    ~PlatformServices();

    [[nodiscard]] QString name() const { return m_name; }
    // Which clipboard connection sees the copies, for the status report.
    [[nodiscard]] QString clipboardName() const { return m_clipboardName; }
    // How other applications' windows are known, or why they are not, for the status report.
    [[nodiscard]] QString windowsName() const { return m_windowsName; }
    [[nodiscard]] Pasteboard &pasteboard() const { return *m_pasteboard; }
    [[nodiscard]] Workspace &workspace() const { return *m_workspace; }
    [[nodiscard]] KeySynthesizer &keys() const { return *m_keys; }
    [[nodiscard]] HotkeyService &hotkeys() const { return *m_hotkeys; }
    [[nodiscard]] KeyEventSource &keyEvents() const { return *m_keyEvents; }
    [[nodiscard]] LoginItem &loginItem() const { return *m_loginItem; }
    [[nodiscard]] OverlayWindowSupport &overlayWindows() const { return *m_overlayWindows; }
    [[nodiscard]] SoundEffectLoader soundLoader() const { return m_sounds; }

private:
    PlatformServices();

    QString m_name;
    QString m_clipboardName;
    QString m_windowsName;
    // Declared before the backends that use them, so they go last.
    std::unique_ptr<X11Atoms> m_atoms;
    std::unique_ptr<DesktopFiles> m_desktopFiles;
    std::unique_ptr<Pasteboard> m_pasteboard;
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<KeySynthesizer> m_keys;
    std::unique_ptr<HotkeyService> m_hotkeys;
    std::unique_ptr<KeyEventSource> m_keyEvents;
    std::unique_ptr<LoginItem> m_loginItem;
    std::unique_ptr<OverlayWindowSupport> m_overlayWindows;
    SoundEffectLoader m_sounds;
};

} // namespace Vexilo
