// SPDX-License-Identifier: MIT
#pragma once

#include "CommandRunner.h"
#include "LogSink.h"
#include "StoragePaths.h"

#include <QObject>
#include <memory>

namespace Vexilo {

class AccessibilityPermission;
class AppCommands;
class AppSettings;
class FileDialogSaveChooser;
class HistoryExporter;
class MenuBarPopoverController;
class MessageBoxAlerts;
class PreferencesShortcuts;
class SceneEngine;
class SettingsWindowController;
class TrayIcon;
class TrayMenu;
class ClipboardKeyboardController;
class DesktopAppearance;
class FloatingOverlayWindowController;
class SourceAppIcon;
class SystemClock;
class ClipboardMonitor;
class ClipboardStore;
class FocusRestoration;
class GlobalHotkeyManager;
class InstanceServer;
class LaunchAtLoginManager;
class LocalImageServer;
class OCRService;
class QRCodeService;
class ServiceCommands;
class UpdateService;
class PasteService;
class PlatformServices;
class SnippetShortcutManager;
class SoundManager;
class StorageLock;
class UnixSignalWatcher;
class VexiloRuntime;

// The running application: it owns one of each service, wires them together, answers the
// command-line client and stops everything in order, saving the history, when it ends.
class Application : public QObject
{
    Q_OBJECT

public:
    // Runs the application until it quits; returns the process's exit code.
    static int exec(int argc, char *argv[], const QString &dataDirectory);

    explicit Application(StoragePaths paths, QObject *parent = nullptr);
    ~Application() override;

    // Claims the session and the history, then builds and starts the services. False with a message
    // on standard error, and `exitCode` set, when the application cannot or need not run.
    bool start(int &exitCode);

private:
    void handleCommand(const QStringList &arguments, const CommandContext &context,
                       std::function<void(const CommandOutput &)> reply);
    [[nodiscard]] CommandOutput status() const;
    // What opens the history without the tray: the hotkey where there is one, and the command.
    [[nodiscard]] QString copiedNotPastedNotice() const;
    [[nodiscard]] QString historyOpenHint() const;
    void quit(std::function<void(const CommandOutput &)> reply);
    void shutDown();
    void createWindows();
    void createKeyboard();
    void createTray();
    void checkForUpdatesByUser();
    void openSettingsFromHud();
    void showAbout();
    void followColorScheme();

    StoragePaths m_paths;
    LogSink m_log = standardOutputLog();
    std::unique_ptr<InstanceServer> m_instance;
    std::unique_ptr<StorageLock> m_lock;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<PlatformServices> m_platform;
    std::unique_ptr<SoundManager> m_sounds;
    std::unique_ptr<OCRService> m_ocr;
    std::unique_ptr<ClipboardStore> m_store;
    std::unique_ptr<LocalImageServer> m_imageServer;
    std::unique_ptr<QRCodeService> m_qr;
    std::unique_ptr<MessageBoxAlerts> m_alerts;
    std::unique_ptr<UpdateService> m_update;
    std::unique_ptr<ServiceCommands> m_serviceCommands;
    std::unique_ptr<FocusRestoration> m_focus;
    std::unique_ptr<AccessibilityPermission> m_permission;
    std::unique_ptr<SystemClock> m_clock;
    std::unique_ptr<DesktopAppearance> m_appearance;
    std::unique_ptr<SourceAppIcon> m_appIcons;
    std::unique_ptr<FileDialogSaveChooser> m_saveChooser;
    std::unique_ptr<HistoryExporter> m_exporter;
    std::unique_ptr<SceneEngine> m_scene;
    std::unique_ptr<FloatingOverlayWindowController> m_windows;
    std::unique_ptr<MenuBarPopoverController> m_popover;
    std::unique_ptr<SettingsWindowController> m_settingsWindow;
    std::unique_ptr<AppCommands> m_commands;
    std::unique_ptr<PreferencesShortcuts> m_preferencesShortcuts;
    std::unique_ptr<TrayMenu> m_trayMenu;
    std::unique_ptr<TrayIcon> m_tray;
    std::unique_ptr<ClipboardKeyboardController> m_keyboard;
    std::unique_ptr<ClipboardMonitor> m_monitor;
    std::unique_ptr<PasteService> m_paste;
    std::unique_ptr<GlobalHotkeyManager> m_hotkeys;
    std::unique_ptr<SnippetShortcutManager> m_snippets;
    std::unique_ptr<LaunchAtLoginManager> m_launchAtLogin;
    std::unique_ptr<VexiloRuntime> m_runtime;
    std::unique_ptr<UnixSignalWatcher> m_signals;
};

} // namespace Vexilo
