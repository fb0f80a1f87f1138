// SPDX-License-Identifier: MIT
#include "WindowRig.h"

#include "AccessibilityPermission.h"
#include "AlertPresenter.h"
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "ClipboardMonitor.h"
#include "ClipboardStore.h"
#include "DesktopAppearance.h"
#include "FakeHotkeyService.h"
#include "FakeKeyEventSource.h"
#include "FakeKeySynthesizer.h"
#include "FakePasteboard.h"
#include "FakeWorkspace.h"
#include "FloatingOverlayWindowController.h"
#include "FocusRestoration.h"
#include "GlobalHotkeyManager.h"
#include "HistoryExporter.h"
#include "MenuBarPopoverController.h"
#include "OverlayWindowSupport.h"
#include "PasteService.h"
#include "QRCodeService.h"
#include "SaveFileChooser.h"
#include "SceneEngine.h"
#include "SceneFactory.h"
#include "SettingsWindowController.h"
#include "ThumbnailLoader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QIcon>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSet>
#include <QThread>
#include <cstdio>

namespace Vexilo {

namespace {
void logToStandardError(const QString &line)
{
    std::fprintf(stderr, "%s\n", qPrintable(line));
}

// Nothing is saved from the rig: every save dialog is cancelled, every question too.
class CancellingChooser : public SaveFileChooser
{
public:
    void chooseSaveLocation(const SaveRequest &, Answer answer) override { answer(std::nullopt); }
};

class CancellingAlerts : public AlertPresenter
{
public:
    void present(const Alert &alert, std::function<void(int)> done) override
    {
        done(alert.cancelButton >= 0 ? alert.cancelButton : int(alert.buttons.size()) - 1);
    }
};

bool madeFrom(const QObject *object, const char *typeName)
{
    // QML types are classes named "<Type>_QMLTYPE_<n>"; C++ items keep their own class name.
    const QByteArrayView wanted(typeName);
    for (const QMetaObject *meta = object->metaObject(); meta; meta = meta->superClass()) {
        const QByteArrayView name(meta->className());
        if (name == wanted || (name.startsWith(wanted) && name.sliced(wanted.size()).startsWith("_QML")))
            return true;
    }
    return false;
}
} // namespace

bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!done())
            QThread::usleep(500);
    }
    return true;
}

void spinFor(int ms)
{
    spinUntil([] { return false; }, ms);
}

struct WindowRig::Services
{
    SystemClock systemClock;
    std::unique_ptr<AppSettings> settings;
    FakeWorkspace workspace;
    FakePasteboard pasteboard;
    FakeKeySynthesizer keys;
    FakeKeyEventSource keyEvents;
    FakeHotkeyService hotkeyService;
    QtOverlayWindowSupport windowSupport;
    std::unique_ptr<ClipboardStore> store;
    std::unique_ptr<QRCodeService> qr;
    std::unique_ptr<FocusRestoration> focus;
    std::unique_ptr<AccessibilityPermission> permission;
    std::unique_ptr<DesktopAppearance> appearance;
    CancellingChooser saveChooser;
    CancellingAlerts cancellingAlerts;
    std::unique_ptr<HistoryExporter> exporter;
    std::unique_ptr<SceneEngine> scene;
    std::unique_ptr<FloatingOverlayWindowController> windows;
    std::unique_ptr<MenuBarPopoverController> popover;
    std::unique_ptr<SettingsWindowController> settingsWindow;
    std::unique_ptr<ClipboardMonitor> monitor;
    std::unique_ptr<PasteService> paste;
    std::unique_ptr<GlobalHotkeyManager> hotkeys;
    Clock *clock = nullptr;
};

QString WindowRig::storageDirectory(const QString &rootFolder)
{
    return rootFolder + QStringLiteral("/Vexilo");
}

WindowRig::WindowRig(const Options &options)
    : m_services(std::make_unique<Services>())
{
    Services &s = *m_services;
    s.clock = options.clock ? options.clock : &s.systemClock;
    s.settings = AppSettings::openFile(options.rootFolder + QStringLiteral("/settings.ini"));
    s.settings->registerDefaults(AppStorageKeys::defaultValues());
    s.settings->setValue(AppStorageKeys::playSounds, false);
    s.settings->setValue(AppStorageKeys::autoExtractOCR, false);

    StoreEnvironment environment;
    environment.paths = StoragePaths::forStorageDirectory(storageDirectory(options.rootFolder));
    environment.settings = s.settings.get();
    environment.log = logToStandardError;
    environment.clock = s.clock;
    environment.undoWindowMs = options.undoWindowMs;
    // No image server here: an image clip has no QR code, a text clip carries its text.
    environment.qrPayload = [&s](const ClipItem &item) { return s.qr->qrPayload(item); };
    s.store = std::make_unique<ClipboardStore>(std::move(environment));
    s.qr = std::make_unique<QRCodeService>([](const ClipItem &) { return QString(); });

    s.focus = std::make_unique<FocusRestoration>(&s.workspace);
    s.permission = std::make_unique<AccessibilityPermission>(&s.keys, &s.keyEvents, &s.workspace, s.settings.get(),
                                                             logToStandardError);
    s.appearance = std::make_unique<DesktopAppearance>();
    s.appearance->setColorScheme(false);
    s.exporter = std::make_unique<HistoryExporter>(*s.store, s.saveChooser, [] { return qint64(0); });
    AlertPresenter *alerts = options.alerts ? options.alerts : &s.cancellingAlerts;

    FloatingOverlayWindowController::Dependencies windows;
    windows.focus = s.focus.get();
    windows.store = s.store.get();
    windows.windowSupport = &s.windowSupport;
    windows.log = logToStandardError;
    auto applicationIcon = options.applicationIcon;
    if (!applicationIcon) {
        applicationIcon = [](const QString &bundleId) -> std::optional<QIcon> {
            const QIcon icon = QIcon::fromTheme(bundleId);
            return icon.isNull() ? std::nullopt : std::optional<QIcon>(icon);
        };
    }
    const auto services = [&s, applicationIcon, alerts] {
        SceneServices hud;
        hud.store = s.store.get();
        hud.paste = s.paste.get();
        hud.settings = s.settings.get();
        hud.hotkeys = s.hotkeys.get();
        hud.permission = s.permission.get();
        hud.appearance = s.appearance.get();
        hud.clock = s.clock;
        hud.saveFileChooser = &s.saveChooser;
        hud.qrPayload = [&s](const ClipItem &item) { return s.qr->qrPayload(item); };
        hud.recognizeText = [](const QImage &, QObject *, std::function<void(std::optional<QString>)> done) {
            done(std::nullopt);
        };
        hud.copyImage = [&s](const QImage &image) { s.pasteboard.writeImage(image); };
        hud.applicationIcon = applicationIcon;
        hud.showInFileManager = [](const QString &) {};
        hud.openUrl = [](const QString &) {};
        hud.openSettings = [] {};
        hud.openMainApp = [] {};
        hud.openSettingsFromPopover = [] {};
        hud.checkForUpdatesFromPopover = [] {};
        hud.quit = [] {};
        hud.dismissPopover = [&s] { s.popover->dismiss(); };
        hud.exporter = s.exporter.get();
        hud.alerts = alerts;
        hud.setLaunchAtLogin = [](bool) {};
        hud.checkForUpdates = [] {};
        hud.runningApplicationIds = [] {
            return QStringList{QStringLiteral("org.gnome.TextEditor"), QStringLiteral("firefox"),
                               QStringLiteral("org.keepassxc.KeePassXC")};
        };
        hud.versionText = QStringLiteral("Version 1.0.0 (1)");
        hud.storageFolder = QStringLiteral("/home/alex/.local/share/Vexilo");
        return hud;
    };
    s.scene = std::make_unique<SceneEngine>(
        [services](QQmlEngine &engine) { SceneFactory::prepareEngine(engine, services()); });
    windows.scene = s.scene.get();
    windows.createViewModels = [services](QObject *parent) {
        return SceneFactory::createViewModels(services(), parent);
    };
    windows.popoverVisible = [&s] { return s.popover->isVisible(); };
    windows.dismissPopover = [&s] { s.popover->dismiss(); };
    s.windows = std::make_unique<FloatingOverlayWindowController>(std::move(windows));
    s.popover = std::make_unique<MenuBarPopoverController>(MenuBarPopoverController::Dependencies{
        s.scene.get(), &s.windowSupport,
        [services](QObject *parent) { return SceneFactory::createPopoverModels(services(), parent); },
        logToStandardError});
    SettingsWindowController::Dependencies settingsWindow;
    settingsWindow.scene = s.scene.get();
    settingsWindow.createViewModels = [services](QObject *parent) {
        return SceneFactory::createSettingsModels(services(), parent);
    };
    settingsWindow.log = logToStandardError;
    s.settingsWindow = std::make_unique<SettingsWindowController>(std::move(settingsWindow));

    s.monitor = std::make_unique<ClipboardMonitor>(&s.pasteboard, &s.workspace, s.store.get());
    PasteService::Dependencies paste;
    paste.store = s.store.get();
    paste.pasteboard = &s.pasteboard;
    paste.monitor = s.monitor.get();
    paste.workspace = &s.workspace;
    paste.keys = &s.keys;
    paste.permission = s.permission.get();
    paste.focus = s.focus.get();
    paste.windows = s.windows.get();
    s.paste = std::make_unique<PasteService>(paste);
    s.hotkeys = std::make_unique<GlobalHotkeyManager>(&s.hotkeyService, s.store.get(), s.paste.get(), s.windows.get(),
                                                      s.settings.get(), logToStandardError);
}

WindowRig::~WindowRig()
{
    Services &s = *m_services;
    // The windows and their view models go before the services they use.
    s.settingsWindow.reset();
    s.popover.reset();
    s.windows.reset();
    s.scene.reset();
    s.hotkeys.reset();
    s.paste.reset();
    s.monitor.reset();
    s.store->saveHistorySynchronously();
}

ClipboardStore &WindowRig::store()
{
    return *m_services->store;
}

AppSettings &WindowRig::settings()
{
    return *m_services->settings;
}

DesktopAppearance &WindowRig::appearance()
{
    return *m_services->appearance;
}

FloatingOverlayWindowController &WindowRig::windows()
{
    return *m_services->windows;
}

MenuBarPopoverController &WindowRig::popover()
{
    return *m_services->popover;
}

SettingsWindowController &WindowRig::settingsWindow()
{
    return *m_services->settingsWindow;
}

QQuickWindow *WindowRig::window() const
{
    return m_services->windows->window();
}

QObject *WindowRig::viewModel(const char *name) const
{
    return window() ? window()->property(name).value<QObject *>() : nullptr;
}

bool WindowRig::show(int timeoutMs)
{
    bool presented = false;
    const auto connection = QObject::connect(m_services->windows.get(), &FloatingOverlayWindowController::presented,
                                             [&presented](qint64) { presented = true; });
    m_services->windows->show();
    const bool shown = window() && spinUntil([&presented] { return presented; }, timeoutMs);
    QObject::disconnect(connection);
    return shown;
}

bool WindowRig::showPopover(const QRect &anchor, int timeoutMs)
{
    bool presented = false;
    const auto connection = QObject::connect(m_services->popover.get(), &MenuBarPopoverController::presented,
                                             [&presented](qint64) { presented = true; });
    m_services->popover->show(anchor);
    const bool shown = m_services->popover->window() && spinUntil([&presented] { return presented; }, timeoutMs);
    QObject::disconnect(connection);
    return shown;
}

void WindowRig::setKeyWatchingAvailable(bool available)
{
    m_services->keyEvents.setAvailable(available);
}

bool WindowRig::openSettings(int timeoutMs)
{
    bool presented = false;
    const auto connection = QObject::connect(m_services->settingsWindow.get(), &SettingsWindowController::presented,
                                             [&presented](qint64) { presented = true; });
    m_services->settingsWindow->open();
    const bool shown = m_services->settingsWindow->window() && spinUntil([&presented] { return presented; }, timeoutMs);
    QObject::disconnect(connection);
    return shown;
}

void WindowRig::hide()
{
    m_services->windows->hide();
}

bool WindowRig::settle(int minimumMs, int timeoutMs)
{
    spinFor(minimumMs);
    const auto loaded = [this] {
        if (m_services->store->thumbnails().inFlightCount() > 0)
            return false;
        for (QObject *image : findByType("QQuickImageBase")) {
            // QQuickImageBase::Loading
            if (image->property("status").toInt() == 2)
                return false;
        }
        return true;
    };
    const bool done = spinUntil(loaded, std::max(0, timeoutMs - minimumMs));
    // What the last image changed is drawn with the next frame.
    spinFor(50);
    return done;
}

QObject *WindowRig::findByName(QObject *root, const QString &objectName)
{
    if (!root)
        return nullptr;
    QList<QObject *> pending{root};
    if (auto *window = qobject_cast<QQuickWindow *>(root))
        pending.append(window->contentItem());
    QSet<QObject *> seen;
    while (!pending.isEmpty()) {
        QObject *object = pending.takeLast();
        if (!object || seen.contains(object))
            continue;
        seen.insert(object);
        if (object->objectName() == objectName)
            return object;
        pending.append(object->children());
        if (auto *item = qobject_cast<QQuickItem *>(object)) {
            const QList<QQuickItem *> children = item->childItems();
            pending.append(QList<QObject *>(children.begin(), children.end()));
        }
    }
    return nullptr;
}

QList<QObject *> WindowRig::findByType(const char *typeName, QQuickWindow *in) const
{
    QList<QObject *> found;
    QQuickWindow *searched = in ? in : window();
    if (!searched)
        return found;
    // Both trees: items declared in the window are its QObject children, list rows and popup contents
    // hang only in the item tree.
    QSet<QObject *> seen;
    QList<QObject *> pending{searched, searched->contentItem()};
    while (!pending.isEmpty()) {
        QObject *object = pending.takeLast();
        if (!object || seen.contains(object))
            continue;
        seen.insert(object);
        if (madeFrom(object, typeName))
            found.append(object);
        pending.append(object->children());
        if (auto *item = qobject_cast<QQuickItem *>(object)) {
            const QList<QQuickItem *> children = item->childItems();
            pending.append(QList<QObject *>(children.begin(), children.end()));
        }
    }
    return found;
}

} // namespace Vexilo
