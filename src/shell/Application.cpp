// SPDX-License-Identifier: MIT
#include "Application.h"

#include "AboutDialog.h"
#include "AccessibilityPermission.h"
#include "AppCommands.h"
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "AppVersion.h"
#include "ApplicationId.h"
#include "ClipboardKeyboardController.h"
#include "ClipboardMonitor.h"
#include "ClipboardStore.h"
#include "Clock.h"
#include "CommandCatalog.h"
#include "DesktopAppearance.h"
#include "FileDialogSaveChooser.h"
#include "FloatingOverlayWindowController.h"
#include "FocusRestoration.h"
#include "GlobalHotkeyManager.h"
#include "HistoryExporter.h"
#include "HistoryFile.h"
#include "HistoryWriter.h"
#include "HotkeyService.h"
#include "InstanceClient.h"
#include "InstanceProtocol.h"
#include "InstanceServer.h"
#include "LaunchAtLoginManager.h"
#include "LocalImageServer.h"
#include "MenuBarPopoverController.h"
#include "MessageBoxAlerts.h"
#include "OCRService.h"
#include "OverlayWindowSupport.h"
#include "PasteService.h"
#include "Pasteboard.h"
#include "PlatformServices.h"
#include "PreferencesShortcuts.h"
#include "QRCodeService.h"
#include "SceneEngine.h"
#include "SceneFactory.h"
#include "ServiceCommands.h"
#include "SettingsWindowController.h"
#include "SnippetShortcutManager.h"
#include "SoundManager.h"
#include "SourceAppIcon.h"
#include "StorageLock.h"
#include "TrayIcon.h"
#include "TrayMenu.h"
#include "UnixSignalWatcher.h"
#include "UpdateService.h"
#include "VexiloRuntime.h"
#include "WidgetPalette.h"
#include "Workspace.h"

#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QQuickWindow>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QtQml/QQmlExtensionPlugin>
#include <cstdio>
#include <ctime>

Q_IMPORT_QML_PLUGIN(VexiloPlugin)

namespace Vexilo {

namespace {
void printError(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
}
} // namespace

int Application::exec(int argc, char *argv[], const QString &dataDirectory)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        printError(QStringLiteral("vexilo: no display: Vexilo needs a graphical session (DISPLAY is not set). "
                                  "\"make run\" starts a private one."));
        return 1;
    }
    // In a Wayland session the windows are the compositor's own clients, not Xwayland's.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
    // Widgets for the tray menu and the dialogs; Qt Quick for the windows.
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vexilo"));
    QApplication::setApplicationName(QStringLiteral("Vexilo"));
    // The desktop entry's name; on Wayland also the app id, by which the compositor finds icon and name.
    QApplication::setDesktopFileName(applicationId());
    QApplication::setQuitOnLastWindowClosed(false);
    // Drawn by the CPU: a GPU-less desktop gets llvmpipe otherwise, which needs three times the memory
    // for the same window. QT_QUICK_BACKEND still chooses another.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);

    Application application(dataDirectory.isEmpty() ? StoragePaths::userDefault()
                                                    : StoragePaths::forStorageDirectory(dataDirectory));
    int exitCode = 0;
    if (!application.start(exitCode))
        return exitCode;
    return QApplication::exec();
}

Application::Application(StoragePaths paths, QObject *parent)
    : QObject(parent)
    , m_paths(std::move(paths))
{ }

Application::~Application()
{
    shutDown();
}

bool Application::start(int &exitCode)
{
    // One application per session: a second start brings the first one forward and ends.
    m_instance = std::make_unique<InstanceServer>(InstanceProtocol::socketPath(), m_paths.storageDirectory,
                                                  [this](const QStringList &arguments, const CommandContext &context,
                                                         std::function<void(const CommandOutput &)> reply) {
                                                      handleCommand(arguments, context, std::move(reply));
                                                  });
    if (!m_instance->listen()) {
        if (InstanceClient(InstanceProtocol::socketPath()).reopen()) {
            printError(QStringLiteral("Vexilo is already running."));
            exitCode = 0;
        } else {
            printError(QStringLiteral("vexilo: ") + m_instance->errorString());
            exitCode = 1;
        }
        return false;
    }

    // A command-line client may hold the history for a moment; wait for it rather than fail. A history
    // that cannot be read is left untouched, without a lock file beside it: the store refuses it.
    m_lock = std::make_unique<StorageLock>(m_paths.storageDirectory);
    QDeadlineTimer deadline(10000);
    while (!HistoryFile::unreadableReason(m_paths.historyFile()) && !m_lock->tryLock()) {
        if (deadline.hasExpired()) {
            printError(QStringLiteral("vexilo: ") + m_lock->errorString());
            exitCode = ExitLocked;
            return false;
        }
        QThread::msleep(50);
    }

    m_settings = AppSettings::openUserSettings();
    m_settings->registerDefaults(AppStorageKeys::defaultValues());
    // Login starts the program users know, the front end beside this one, when it is there.
    const QString frontEnd = QCoreApplication::applicationDirPath() + QStringLiteral("/vexilo");
    m_platform = PlatformServices::create(
        QFileInfo(frontEnd).isExecutable() ? frontEnd : QCoreApplication::applicationFilePath(), m_log);
    m_sounds = std::make_unique<SoundManager>(m_settings.get(), m_platform->soundLoader());

    m_ocr = std::make_unique<OCRService>(m_log);

    StoreEnvironment environment;
    environment.paths = m_paths;
    environment.settings = m_settings.get();
    environment.playSound = [this](FeedbackSound sound) { m_sounds->play(sound); };
    environment.recognizeText = [this](const QImage &image, QObject *context,
                                       std::function<void(std::optional<QString>)> done) {
        m_ocr->recognize(image, context, std::move(done));
    };
    environment.log = m_log;
    environment.qrPayload = [this](const ClipItem &item) { return m_qr->qrPayload(item); };
    environment.stopSharing = [this] { m_imageServer->stop(); };
    m_store = std::make_unique<ClipboardStore>(std::move(environment));
    m_imageServer = std::make_unique<LocalImageServer>(LocalImageServer::optionsFor(*m_store));
    m_qr = std::make_unique<QRCodeService>([this](const ClipItem &item) { return m_imageServer->shareURL(item); });

    Workspace *workspace = &m_platform->workspace();
    m_focus = std::make_unique<FocusRestoration>(workspace);
    m_permission = std::make_unique<AccessibilityPermission>(&m_platform->keys(), &m_platform->keyEvents(), workspace,
                                                             m_settings.get(), m_log);
    createWindows();
    m_monitor = std::make_unique<ClipboardMonitor>(&m_platform->pasteboard(), workspace, m_store.get());
    PasteService::Dependencies paste;
    paste.store = m_store.get();
    paste.pasteboard = &m_platform->pasteboard();
    paste.monitor = m_monitor.get();
    paste.workspace = workspace;
    paste.keys = &m_platform->keys();
    paste.permission = m_permission.get();
    paste.focus = m_focus.get();
    paste.windows = m_windows.get();
    paste.playSound = [this](FeedbackSound sound) { m_sounds->play(sound); };
    m_paste = std::make_unique<PasteService>(paste);
    m_hotkeys = std::make_unique<GlobalHotkeyManager>(&m_platform->hotkeys(), m_store.get(), m_paste.get(),
                                                      m_windows.get(), m_settings.get(), m_log);
    m_snippets =
        std::make_unique<SnippetShortcutManager>(&m_platform->keyEvents(), m_store.get(), m_paste.get(), workspace);
    m_launchAtLogin = std::make_unique<LaunchAtLoginManager>(m_platform->loginItem(), m_log);
    createKeyboard();

    UpdateService::Environment update;
    update.shortVersion = AppVersion::shortVersion();
    update.build = AppVersion::build();
    update.settings = m_settings.get();
    update.workspace = workspace;
    update.prompt = m_alerts.get();
    m_update = std::make_unique<UpdateService>(update);
    m_serviceCommands = std::make_unique<ServiceCommands>(
        ServiceCommands::Services{m_store.get(), m_settings.get(), workspace, m_ocr.get(), m_qr.get(),
                                  m_imageServer.get(), AppVersion::shortVersion(), AppVersion::build()});

    VexiloRuntime::Services services;
    services.focus = m_focus.get();
    services.monitor = m_monitor.get();
    services.hotkeys = m_hotkeys.get();
    services.snippets = m_snippets.get();
    services.launchAtLogin = m_launchAtLogin.get();
    services.store = m_store.get();
    services.afterStart = [this] {
        if (!m_update->isWithinAutomaticCheckCooldown() && !m_update->isChecking())
            m_update->checkForUpdates(false);
    };
    services.keyboard = m_keyboard.get();
    m_runtime = std::make_unique<VexiloRuntime>(services);

    createTray();

    connect(m_instance.get(), &InstanceServer::reopenRequested, this, [this] { m_windows->showHud(); });
    m_signals = std::make_unique<UnixSignalWatcher>();
    connect(m_signals.get(), &UnixSignalWatcher::terminationRequested, this, [] { QCoreApplication::quit(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Application::shutDown);

    QTimer::singleShot(0, this, [this] { m_runtime->startServices(); });
    return true;
}

void Application::createWindows()
{
    m_clock = std::make_unique<SystemClock>();
    m_appearance = std::make_unique<DesktopAppearance>();
    OverlayWindowSupport &windowSupport = m_platform->overlayWindows();
    // A compositor draws the window's rounded corners over what lies behind; without one the corners
    // would be black, so the window stays opaque.
    const bool compositing = windowSupport.isCompositing();
    m_appearance->setTranslucent(compositing);
    QQuickWindow::setDefaultAlphaBuffer(compositing);
    const QString scheme = qEnvironmentVariable("VEXILO_COLOR_SCHEME");
    if (scheme == u"dark" || scheme == u"light")
        m_appearance->setColorScheme(scheme == u"dark");
    else
        m_appearance->followDesktop();
    followColorScheme();
    connect(m_appearance.get(), &DesktopAppearance::changed, this, &Application::followColorScheme);
    m_appIcons = std::make_unique<SourceAppIcon>(m_platform->workspace());
    const auto activate = [&windowSupport](QWindow &window) { windowSupport.activate(window); };
    m_alerts = std::make_unique<MessageBoxAlerts>(activate);
    m_saveChooser = std::make_unique<FileDialogSaveChooser>(activate);
    m_exporter =
        std::make_unique<HistoryExporter>(*m_store, *m_saveChooser, [] { return QDateTime::currentSecsSinceEpoch(); });

    // The scenes are made on first use, when every service below exists.
    const auto services = [this] {
        SceneServices scene;
        scene.store = m_store.get();
        scene.paste = m_paste.get();
        scene.settings = m_settings.get();
        scene.hotkeys = m_hotkeys.get();
        scene.permission = m_permission.get();
        scene.appearance = m_appearance.get();
        scene.clock = m_clock.get();
        scene.saveFileChooser = m_saveChooser.get();
        scene.qrPayload = [this](const ClipItem &item) { return m_qr->qrPayload(item); };
        scene.recognizeText = [this](const QImage &image, QObject *context,
                                     std::function<void(std::optional<QString>)> done) {
            m_ocr->recognize(image, context, std::move(done));
        };
        scene.copyImage = [this](const QImage &image) {
            m_platform->pasteboard().clearContents();
            m_platform->pasteboard().writeImage(image);
        };
        scene.applicationIcon = [this](const QString &bundleId) { return m_appIcons->image(bundleId); };
        scene.showInFileManager = [this](const QString &path) { m_platform->workspace().revealFile(path); };
        scene.openUrl = [this](const QString &url) { m_platform->workspace().openUrl(QUrl(url)); };
        scene.openSettings = [this] { openSettingsFromHud(); };

        scene.openMainApp = [this] {
            m_popover->dismiss();
            QTimer::singleShot(0, this, [this] { m_windows->showHud(); });
        };
        scene.openSettingsFromPopover = [this] {
            m_popover->dismiss();
            m_settingsWindow->open();
        };
        scene.checkForUpdatesFromPopover = [this] {
            m_popover->dismiss();
            checkForUpdatesByUser();
        };
        scene.quit = [this] { m_commands->quit(); };
        scene.dismissPopover = [this] { m_popover->dismiss(); };

        scene.exporter = m_exporter.get();
        scene.alerts = m_alerts.get();
        scene.setLaunchAtLogin = [this](bool enabled) { m_launchAtLogin->setEnabled(enabled); };
        scene.checkForUpdates = [this] { checkForUpdatesByUser(); };
        scene.runningApplicationIds = [this] { return m_platform->workspace().runningApplicationIds(); };
        scene.versionText = QStringLiteral("Version %1 (%2)").arg(AppVersion::shortVersion()).arg(AppVersion::build());
        scene.storageFolder = m_paths.storageDirectory;
        return scene;
    };
    m_scene = std::make_unique<SceneEngine>(
        [services](QQmlEngine &engine) { SceneFactory::prepareEngine(engine, services()); });

    FloatingOverlayWindowController::Dependencies windows;
    windows.focus = m_focus.get();
    windows.store = m_store.get();
    windows.windowSupport = &windowSupport;
    windows.log = m_log;
    windows.scene = m_scene.get();
    windows.createViewModels = [services](QObject *parent) {
        return SceneFactory::createViewModels(services(), parent);
    };
    windows.popoverVisible = [this] { return m_popover->isVisible(); };
    windows.dismissPopover = [this] { m_popover->dismiss(); };
    m_windows = std::make_unique<FloatingOverlayWindowController>(std::move(windows));

    MenuBarPopoverController::Dependencies popover;
    popover.scene = m_scene.get();
    popover.windowSupport = &windowSupport;
    popover.createViewModels = [services](QObject *parent) {
        return SceneFactory::createPopoverModels(services(), parent);
    };
    popover.log = m_log;
    m_popover = std::make_unique<MenuBarPopoverController>(std::move(popover));

    SettingsWindowController::Dependencies settings;
    settings.scene = m_scene.get();
    settings.createViewModels = [services](QObject *parent) {
        return SceneFactory::createSettingsModels(services(), parent);
    };
    settings.activate = activate;
    settings.windowCreated = [this](QQuickWindow &window) { window.installEventFilter(m_preferencesShortcuts.get()); };
    settings.log = m_log;
    m_settingsWindow = std::make_unique<SettingsWindowController>(std::move(settings));

    // For the benchmarks: when a window's first frame is on screen, on the monotonic clock they read.
    if (qEnvironmentVariableIsSet("VEXILO_TRACE_PRESENT")) {
        const auto trace = [this](const char *what) {
            return [this, what](qint64) {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                m_log(QStringLiteral("Vexilo: %1 presented at %2")
                          .arg(QLatin1StringView(what))
                          .arg(qint64(now.tv_sec) * 1000000000 + now.tv_nsec));
            };
        };
        connect(m_windows.get(), &FloatingOverlayWindowController::presented, this, trace("HUD"));
        connect(m_popover.get(), &MenuBarPopoverController::presented, this, trace("Popover"));
        connect(m_settingsWindow.get(), &SettingsWindowController::presented, this, trace("Preferences"));
    }
}

void Application::createKeyboard()
{
    AppCommands::Dependencies commands;
    commands.store = m_store.get();
    commands.hud = m_windows.get();
    commands.exporter = m_exporter.get();
    commands.alerts = m_alerts.get();
    commands.openSettings = [this] { openSettingsFromHud(); };
    commands.closeSettings = [this] { m_settingsWindow->close(); };
    commands.showAbout = [this] { showAbout(); };
    commands.checkForUpdates = [this] { checkForUpdatesByUser(); };
    commands.openUrl = [this](const QUrl &url) { m_platform->workspace().openUrl(url); };
    commands.quit = [] { QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); }); };
    m_commands = std::make_unique<AppCommands>(std::move(commands));
    m_preferencesShortcuts = std::make_unique<PreferencesShortcuts>(*m_commands);

    ClipboardKeyboardController::Dependencies keyboard{
        *m_store,
        *m_windows,
        [this](const ClipItem &item) { m_paste->pasteItem(item); },
        [this] { return m_windows->otherTextInputFocused(); },
        [this] { openSettingsFromHud(); },
        m_log,
        [this] { return m_windows->popupOpen(); },
        [this](const QObject *window) { return window == m_windows->window(); },
        [this] { m_commands->clearUnpinnedHistory(); },
    };
    m_keyboard = std::make_unique<ClipboardKeyboardController>(std::move(keyboard));
}

void Application::createTray()
{
    m_trayMenu = std::make_unique<TrayMenu>(*m_commands, *m_store);
    TrayIcon::Dependencies tray;
    tray.store = m_store.get();
    tray.menu = m_trayMenu->menu();
    tray.activated = [this](const QRect &icon) { m_popover->toggle(icon); };
    tray.secondaryActivated = [this] { m_windows->toggleHud(); };
    tray.log = m_log;
    tray.openHint = historyOpenHint();
    m_tray = std::make_unique<TrayIcon>(std::move(tray));
    m_tray->show();
}

// The history window floats above other windows and would hide the preferences; the user has moved on.
void Application::openSettingsFromHud()
{
    m_windows->hideHud();
    m_settingsWindow->open();
}

void Application::checkForUpdatesByUser()
{
    if (!m_update->isChecking())
        m_update->checkForUpdates(true);
}

void Application::showAbout()
{
    m_alerts->showModal(*AboutDialog::create(AppVersion::shortVersion(), AppVersion::build()));
}

void Application::followColorScheme()
{
    WidgetPalette::follow(m_appearance->dark());
}

void Application::shutDown()
{
    if (m_runtime)
        m_runtime->stopServices();
}

void Application::handleCommand(const QStringList &arguments, const CommandContext &context,
                                std::function<void(const CommandOutput &)> reply)
{
    const QString command = arguments.value(0);
    if (auto refused = CommandRunner::refusal(command, m_store->historyProblem()))
        return reply(*refused);
    if (command == u"status")
        return reply(status());
    if (command == u"pause" || command == u"resume") {
        m_store->setPaused(command == u"pause");
        return reply({ExitOk, {}, {}});
    }
    if (command == u"paste-slot") {
        bool valid = false;
        const int slot = arguments.size() == 2 ? arguments.at(1).toInt(&valid) : 0;
        if (!valid || slot < 1 || slot > 9)
            return reply({ExitUsage,
                          {},
                          QStringLiteral("vexilo: paste-slot needs a slot from 1 to 9\n") +
                              CommandCatalog::commandUsage(command)});
        if (!m_hotkeys->pasteSlot(slot))
            return reply({ExitBadInput, {}, QStringLiteral("vexilo: there is no clip in slot %1\n").arg(slot)});
        return reply({ExitOk, {}, copiedNotPastedNotice()});
    }
    if (command == u"toggle") {
        m_windows->toggleHud();
        return reply({ExitOk, {}, {}});
    }
    if (command == u"quit")
        return quit(std::move(reply));
    if (ServiceCommands::handles(command))
        return m_serviceCommands->run(arguments, context.workingDirectory, std::move(reply));
    CommandRunner runner(*m_store);
    if (command == u"paste") {
        if (arguments.size() != 2)
            return reply({ExitUsage,
                          {},
                          QStringLiteral("vexilo: paste needs one clip id\n") + CommandCatalog::commandUsage(command)});
        CommandOutput error;
        const auto item = runner.findClip(arguments.at(1), error);
        if (!item)
            return reply(error);
        m_paste->pasteItem(*item);
        return reply({ExitOk, {}, copiedNotPastedNotice()});
    }
    reply(runner.run(arguments, context));
}

// Where keys cannot be sent the clip is only copied; the user learns it rather than waiting for a paste.
QString Application::copiedNotPastedNotice() const
{
    if (m_permission->canPaste() || !m_store->autoPasteOnSelect())
        return {};
    return QStringLiteral("vexilo: copied, not pasted: %1\n").arg(m_permission->pasteProblem());
}

QString Application::historyOpenHint() const
{
    const QString command = QStringLiteral("\"vexilo toggle\"");
    if (!m_platform->hotkeys().isAvailable())
        return command;
    return GlobalHotkeyOptions::displayLabel(m_hotkeys->currentHotkey()) + QStringLiteral(" or ") + command;
}

CommandOutput Application::status() const
{
    QString out = !m_store->historyProblem().isEmpty()
        ? QStringLiteral("Not recording: cannot read the history file %1\n").arg(m_store->historyProblem())
        : m_store->isPaused() ? QStringLiteral("Paused\n")
                              : QStringLiteral("Recording\n");
    const int snippets = m_store->count(ClipType::Snippets);
    out += QStringLiteral("Clips: %1 (and %2 snippets)\n").arg(m_store->storedItemCount() - snippets).arg(snippets);
    const HotkeyRegistrationStatus hotkeys = m_hotkeys->status();
    const QString hud = GlobalHotkeyOptions::displayLabel(hotkeys.hudHotkey);
    if (!m_platform->hotkeys().isAvailable()) {
        // Wayland: the compositor's own key bindings run the commands instead.
        out += QStringLiteral("History hotkey: none, this desktop gives applications no global hotkeys: bind a key "
                              "to \"vexilo toggle\" in the desktop's keyboard settings\n");
        out += QStringLiteral("Paste hotkeys: none: bind keys to \"vexilo paste-slot 1\" \u2026 \"vexilo "
                              "paste-slot 9\"\n");
    } else {
        out += hotkeys.hudRegistered
            ? QStringLiteral("History hotkey: %1, registered\n").arg(hud)
            : QStringLiteral("History hotkey: %1, NOT registered (error %2): another program may hold it\n")
                  .arg(hud)
                  .arg(hotkeys.hudError);
        out += QStringLiteral("Paste hotkeys: Ctrl+Alt+1 \u2013 Ctrl+Alt+9, %1 of 9 registered\n")
                   .arg(hotkeys.registeredSlots.size());
    }
    out += m_permission->canPaste() ? QStringLiteral("Pasting: available\n")
                                    : QStringLiteral("Pasting: not available (%1): clips are copied, not pasted\n")
                                          .arg(m_permission->pasteProblem());
    out += m_permission->canExpandSnippets()
        ? QStringLiteral("Snippet expansion: available\n")
        : QStringLiteral("Snippet expansion: not available (%1)\n").arg(m_permission->snippetProblem());
    const QString tray = m_tray ? m_tray->hostDescription() : QString();
    out += tray.isEmpty() ? QStringLiteral("Tray: none found: %1 opens the history\n").arg(historyOpenHint())
                          : QStringLiteral("Tray: %1\n").arg(tray);
    out += QStringLiteral("Desktop: %1\n").arg(m_platform->name());
    out += QStringLiteral("Clipboard: %1\n").arg(m_platform->clipboardName());
    out += QStringLiteral("Windows: %1\n").arg(m_platform->windowsName());
    out += QStringLiteral("History: %1\n").arg(m_paths.historyFile());
    if (const QString error = m_store->writer().lastError(); !error.isEmpty())
        out += QStringLiteral("Saving: FAILED (%1); the previous history file is kept and each change tries again\n")
                   .arg(error);
    return {m_store->historyProblem().isEmpty() ? ExitOk : ExitBadInput, out, {}};
}

void Application::quit(std::function<void(const CommandOutput &)> reply)
{
    // Answer once the history is on disk, so whoever asked can rely on it.
    m_runtime->stopServices();
    reply({ExitOk, {}, {}});
    QTimer::singleShot(0, qApp, [] { QCoreApplication::quit(); });
}

} // namespace Vexilo
