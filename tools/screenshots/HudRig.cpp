// SPDX-License-Identifier: MIT
#include "HudRig.h"

#include "AccessibilityPermission.h"
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
#include "HudScene.h"
#include "OverlayWindowSupport.h"
#include "PasteService.h"
#include "QRCodeService.h"
#include "QuickSaveFileChooser.h"
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

struct HudRig::Services
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
    std::unique_ptr<QuickSaveFileChooser> saveChooser;
    std::unique_ptr<FloatingOverlayWindowController> windows;
    std::unique_ptr<ClipboardMonitor> monitor;
    std::unique_ptr<PasteService> paste;
    std::unique_ptr<GlobalHotkeyManager> hotkeys;
    Clock *clock = nullptr;
};

QString HudRig::storageDirectory(const QString &rootFolder)
{
    return rootFolder + QStringLiteral("/Vexilo");
}

HudRig::HudRig(const Options &options)
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
    s.saveChooser = std::make_unique<QuickSaveFileChooser>(
        [&s]() -> QQmlEngine * { return s.windows ? s.windows->engine() : nullptr; },
        [&s]() -> QWindow * { return s.windows ? s.windows->window() : nullptr; });

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
    const auto services = [&s, applicationIcon] {
        HudServices hud;
        hud.store = s.store.get();
        hud.paste = s.paste.get();
        hud.settings = s.settings.get();
        hud.hotkeys = s.hotkeys.get();
        hud.permission = s.permission.get();
        hud.appearance = s.appearance.get();
        hud.clock = s.clock;
        hud.saveFileChooser = s.saveChooser.get();
        hud.qrPayload = [&s](const ClipItem &item) { return s.qr->qrPayload(item); };
        hud.recognizeText = [](const QImage &, QObject *, std::function<void(std::optional<QString>)> done) {
            done(std::nullopt);
        };
        hud.copyImage = [&s](const QImage &image) { s.pasteboard.writeImage(image); };
        hud.applicationIcon = applicationIcon;
        hud.showInFileManager = [](const QString &) {};
        hud.openUrl = [](const QString &) {};
        hud.openSettings = [] {};
        return hud;
    };
    windows.prepareEngine = [services](QQmlEngine &engine) { HudScene::prepareEngine(engine, services()); };
    windows.createViewModels = [services](QObject *parent) { return HudScene::createViewModels(services(), parent); };
    s.windows = std::make_unique<FloatingOverlayWindowController>(std::move(windows));

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

HudRig::~HudRig()
{
    Services &s = *m_services;
    // The window and its view models go before the services they use.
    s.windows.reset();
    s.hotkeys.reset();
    s.paste.reset();
    s.monitor.reset();
    s.store->saveHistorySynchronously();
}

ClipboardStore &HudRig::store()
{
    return *m_services->store;
}

AppSettings &HudRig::settings()
{
    return *m_services->settings;
}

DesktopAppearance &HudRig::appearance()
{
    return *m_services->appearance;
}

FloatingOverlayWindowController &HudRig::windows()
{
    return *m_services->windows;
}

QQuickWindow *HudRig::window() const
{
    return m_services->windows->window();
}

QObject *HudRig::viewModel(const char *name) const
{
    return window() ? window()->property(name).value<QObject *>() : nullptr;
}

bool HudRig::show(int timeoutMs)
{
    bool presented = false;
    const auto connection = QObject::connect(m_services->windows.get(), &FloatingOverlayWindowController::presented,
                                             [&presented](qint64) { presented = true; });
    m_services->windows->show();
    const bool shown = window() && spinUntil([&presented] { return presented; }, timeoutMs);
    QObject::disconnect(connection);
    return shown;
}

void HudRig::hide()
{
    m_services->windows->hide();
}

bool HudRig::settle(int minimumMs, int timeoutMs)
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

QList<QObject *> HudRig::findByType(const char *typeName) const
{
    QList<QObject *> found;
    if (!window())
        return found;
    // Both trees: items declared in the window are its QObject children, list rows and popup contents
    // hang only in the item tree.
    QSet<QObject *> seen;
    QList<QObject *> pending{window(), window()->contentItem()};
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
