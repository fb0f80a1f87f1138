// SPDX-License-Identifier: MIT
// Draws the application's windows in each of their states (the history window, the tray popover, the
// preferences window), the tray menu and the dialogs, light and dark, and saves the frames as PNG
// files, on a private X display (Xvfb and openbox) that it starts and stops itself.
//
//   vexilo_screenshots [output folder]        (default: build/screenshots)
#include "AboutDialog.h"
#include "AppCommands.h"
#include "AppSettings.h"
#include "AppStorageKeys.h"
#include "ClipboardStore.h"
#include "DesktopAppearance.h"
#include "FloatingOverlayWindowController.h"
#include "HistoryClearing.h"
#include "HistoryExporter.h"
#include "MenuBarPopoverController.h"
#include "MessageBoxAlerts.h"
#include "NullWorkspace.h"
#include "SaveFileChooser.h"
#include "SettingsWindowController.h"
#include "TrayMenu.h"
#include "UpdateService.h"
#include "WidgetPalette.h"
#include "WindowRig.h"
#include "XSession.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QtQml/QQmlExtensionPlugin>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(VexiloPlugin)

using namespace Vexilo;

namespace {

// The system clock, set back while the sample clips are made so that they have different ages.
class BackdatingClock : public SystemClock
{
public:
    [[nodiscard]] double now() const override { return SystemClock::now() - m_lagSeconds; }
    void setLag(double seconds) { m_lagSeconds = seconds; }

private:
    double m_lagSeconds = 0;
};

// A screenshot as an image clip: a small dashboard with words for the text recognition.
QImage sampleImage()
{
    QImage image(1200, 720, QImage::Format_RGB32);
    image.fill(QColor(0xF4, 0xF6, 0xFA));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRect(0, 0, 1200, 96), QColor(0x1E, 0x29, 0x3B));
    QFont font = painter.font();
    font.setPixelSize(44);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(48, 0, 1100, 96), Qt::AlignVCenter, QStringLiteral("Quarterly Report Q3"));
    const QColor bars[] = {QColor(0x3B, 0x82, 0xF6), QColor(0x10, 0xB9, 0x81), QColor(0xF5, 0x9E, 0x0B),
                           QColor(0xEF, 0x44, 0x44)};
    const int heights[] = {260, 340, 210, 390};
    for (int i = 0; i < 4; ++i)
        painter.fillRect(QRect(80 + i * 150, 640 - heights[i], 100, heights[i]), bars[i]);
    font.setPixelSize(34);
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(QColor(0x1E, 0x29, 0x3B));
    painter.drawText(QRect(720, 200, 460, 60), QStringLiteral("Revenue up 12%"));
    painter.drawText(QRect(720, 280, 460, 60), QStringLiteral("New users: 4,820"));
    painter.drawText(QRect(720, 360, 460, 60), QStringLiteral("Churn: 1.9%"));
    painter.end();
    return image;
}

// Stand-ins for the icons of the sample clips' source applications: the initial on a coloured tile.
std::optional<QIcon> applicationIcon(const QString &bundleId)
{
    const QString name = bundleId.section(u'.', -1);
    if (name.isEmpty())
        return std::nullopt;
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv(int(qHash(bundleId) % 360), 150, 210));
    painter.drawRoundedRect(QRectF(4, 4, 56, 56), 13, 13);
    QFont font = painter.font();
    font.setPixelSize(32);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, name.left(1).toUpper());
    painter.end();
    return QIcon(pixmap);
}

const QString codeSample = QStringLiteral(R"(#include <algorithm>
#include <vector>

// Returns the median of the samples, or 0 when there are none.
double median(std::vector<double> samples)
{
    if (samples.empty())
        return 0.0;
    const auto middle = samples.begin() + samples.size() / 2;
    std::nth_element(samples.begin(), middle, samples.end());
    return *middle;
}

int main()
{
    const std::vector<double> frames = {16.1, 15.8, 17.2, 16.4};
    return median(frames) < 16.7 ? 0 : 1;
}
)");

struct SampleClips
{
    QUuid text;
    QUuid tagged;
    QUuid pinned;
    QUuid link;
    QUuid code;
    QUuid colour;
    QUuid image;
    QUuid files;
    QUuid snippet;
};

SampleClips fillHistory(ClipboardStore &store, BackdatingClock &clock, const QString &filesFolder)
{
    SampleClips ids;
    const auto at = [&clock](double minutesAgo) { clock.setLag(minutesAgo * 60); };
    const SourceApplication files{QStringLiteral("Files"), QStringLiteral("org.gnome.Nautilus")};
    const SourceApplication browser{QStringLiteral("Firefox"), QStringLiteral("firefox")};
    const SourceApplication editor{QStringLiteral("Kate"), QStringLiteral("org.kde.kate")};
    const SourceApplication chat{QStringLiteral("Element"), QStringLiteral("im.riot.Riot")};
    const SourceApplication shot{QStringLiteral("Screenshot"), QStringLiteral("org.gnome.Screenshot")};

    QDir().mkpath(filesFolder);
    QStringList paths;
    for (const char *name : {"Quarterly Report.pdf", "budget-2025.ods", "team-photo.jpg"}) {
        QFile file(filesFolder + u'/' + QLatin1StringView(name));
        file.open(QIODevice::WriteOnly);
        file.write("sample");
        paths.append(file.fileName());
    }
    at(190);
    ids.files = store.addFilesItem(paths, files).id;
    at(130);
    ids.image = store.addImageItem(sampleImage(), shot).id;
    store.updateExtractedText(QStringLiteral("Quarterly Report Q3\nRevenue up 12%\nNew users: 4,820\nChurn: 1.9%"),
                              ids.image);
    at(95);
    ids.colour = store.addTextItem(QStringLiteral("#3B82F6"), editor).id;
    at(48);
    ids.code = store.addTextItem(codeSample, editor).id;
    at(21);
    ids.link = store.addTextItem(QStringLiteral("https://doc.qt.io/qt-6/qtquick-performance.html"), browser).id;
    at(14);
    ids.snippet = store.createSnippet(QStringLiteral("Meeting follow-up"),
                                      QStringLiteral("Hi {name},\n\nThanks for your time today. As discussed, "
                                                     "I will send the revised plan by Friday.\n\nBest,\nAlex"),
                                      QStringLiteral(";fup"), {QStringLiteral("work")});
    at(9);
    ids.pinned = store.addTextItem(QStringLiteral("ssh deploy@staging.example.org -p 2222"), editor).id;
    store.togglePin(*store.item(ids.pinned));
    at(3);
    ids.tagged = store
                     .addTextItem(QStringLiteral("Invoice INV-2291 is due on the 30th; the purchase order "
                                                 "number must appear on every page."),
                                  chat)
                     .id;
    store.addTag(QStringLiteral("finance"), *store.item(ids.tagged));
    store.addTag(QStringLiteral("todo"), *store.item(ids.tagged));
    at(0.5);
    ids.text =
        store
            .addTextItem(
                QStringLiteral("Release checklist for Thursday: freeze the branch at noon, run the full test suite on "
                               "the build machines, update the changelog, and ask Priya to review the new onboarding "
                               "copy before the translations go out.\n\nAfter the release, archive the old milestone "
                               "and move the open issues to the next one."),
                chat)
            .id;
    clock.setLag(0);
    return ids;
}

class Shooter
{
public:
    Shooter(WindowRig &rig, QString folder)
        : m_rig(rig)
        , m_folder(std::move(folder))
    { }

    // Saves <name>-light.png and <name>-dark.png of the history window as it is now, or of another
    // window or widget.
    void shoot(const QString &name)
    {
        shoot(name, [this] { return m_rig.window()->grabWindow(); });
    }
    void shoot(const QString &name, QQuickWindow *window)
    {
        shoot(name, [window] { return window->grabWindow(); });
    }
    void shoot(const QString &name, const std::function<QImage()> &grab)
    {
        for (const bool dark : {false, true}) {
            m_rig.appearance().setColorScheme(dark);
            WidgetPalette::follow(dark);
            if (!m_rig.settle())
                std::fprintf(stderr, "%s: some images were still loading\n", qPrintable(name));
            const QString path =
                m_folder + u'/' + name + (dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png"));
            const QImage frame = grab();
            if (frame.isNull() || !frame.save(path)) {
                std::fprintf(stderr, "cannot save %s\n", qPrintable(path));
                ++m_failures;
                continue;
            }
            std::printf("%s\n", qPrintable(path));
        }
        m_rig.appearance().setColorScheme(false);
        WidgetPalette::follow(false);
    }
    void fail(const char *what)
    {
        std::fprintf(stderr, "%s\n", what);
        ++m_failures;
    }

    [[nodiscard]] int failures() const { return m_failures; }

private:
    WindowRig &m_rig;
    QString m_folder;
    int m_failures = 0;
};

// The message box on screen, if any.
QMessageBox *openDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

// Opens a dialog the way the application does, shoots it, and answers it with its cancel button.
void shootDialog(Shooter &shooter, const QString &name, const std::function<void()> &open)
{
    open();
    if (!spinUntil([] { return openDialog() != nullptr; }, 5000)) {
        shooter.fail(qPrintable(name + QStringLiteral(": the dialog did not open")));
        return;
    }
    QMessageBox *box = openDialog();
    spinFor(200);
    shooter.shoot(name, [box] { return box->grab().toImage(); });
    if (QAbstractButton *cancel = box->escapeButton())
        cancel->click();
    else
        box->close();
    spinUntil([] { return openDialog() == nullptr; }, 5000);
}

// A one-shot update manifest on the loopback interface, for the update dialogs.
class ManifestServer
{
public:
    ManifestServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            QTcpSocket *socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                              QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        });
    }
    [[nodiscard]] QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/update.json").arg(m_server.serverPort()));
    }
    QByteArray body;

private:
    QTcpServer m_server;
};

class CancelledSave : public SaveFileChooser
{
public:
    void chooseSaveLocation(const SaveRequest &, Answer answer) override { answer(std::nullopt); }
};

void shootTrayAndPreferences(WindowRig &rig, Shooter &shooter, MessageBoxAlerts &alerts)
{
    ClipboardStore &store = rig.store();
    const QRect trayIcon(1240, 2, 22, 22);

    // The popover: the newest clips, no matches for a search, and a row's actions.
    if (!rig.showPopover(trayIcon)) {
        shooter.fail("the tray popover could not be shown");
    } else {
        QQuickWindow *popover = rig.popover().window();
        shooter.shoot(QStringLiteral("popover"), popover);
        QObject *model = popover->property("popover").value<QObject *>();
        model->setProperty("searchText", QStringLiteral("quarterly budget"));
        shooter.shoot(QStringLiteral("popover-no-matches"), popover);
        QMetaObject::invokeMethod(model, "reset");
        QObject *firstRow = WindowRig::findByName(popover, QStringLiteral("popoverRow_0"));
        if (QObject *more = WindowRig::findByName(firstRow, QStringLiteral("popoverMoreButton"))) {
            // Opened afresh for each scheme, as a user would see it.
            shooter.shoot(QStringLiteral("popover-row-menu"), [popover, model, more] {
                QMetaObject::invokeMethod(model, "closeActions");
                spinFor(100);
                QMetaObject::invokeMethod(more, "clicked");
                spinFor(300);
                return popover->grabWindow();
            });
            QMetaObject::invokeMethod(model, "closeActions");
        } else {
            shooter.fail("the popover has no row menu button");
        }
        rig.popover().dismiss();
    }

    // The tray menu, as the tray shows it.
    CancelledSave noSave;
    HistoryExporter exporter(store, noSave, [] { return qint64(0); });
    AppCommands::Dependencies deps;
    deps.store = &store;
    deps.hud = &rig.windows();
    deps.exporter = &exporter;
    deps.alerts = &alerts;
    AppCommands commands(deps);
    TrayMenu trayMenu(commands, store);
    trayMenu.menu()->popup(QPoint(trayIcon.right() - 360, trayIcon.bottom() + 4));
    spinFor(300);
    shooter.shoot(QStringLiteral("tray-menu"), [&trayMenu] { return trayMenu.menu()->grab().toImage(); });
    trayMenu.menu()->hide();

    // The preferences window, section by section.
    store.setIgnoredAppBundleIds({QStringLiteral("org.keepassxc.KeePassXC"), QStringLiteral("com.bitwarden.desktop")});
    if (!rig.openSettings()) {
        shooter.fail("the preferences window could not be shown");
        return;
    }
    QQuickWindow *preferences = rig.settingsWindow().window();
    const QList<QObject *> views = rig.findByType("SettingsView", preferences);
    for (const char *section : {"general", "shortcuts", "privacy", "data"}) {
        for (QObject *view : views)
            view->setProperty("selection", QString::fromLatin1(section));
        shooter.shoot(QStringLiteral("preferences-") + QLatin1StringView(section), preferences);
    }
    QObject *settings = preferences->property("settings").value<QObject *>();
    rig.setKeyWatchingAvailable(false);
    QMetaObject::invokeMethod(settings, "refresh");
    for (QObject *view : views)
        view->setProperty("selection", QStringLiteral("shortcuts"));
    shooter.shoot(QStringLiteral("preferences-shortcuts-no-key-watching"), preferences);
    rig.setKeyWatchingAvailable(true);
    QMetaObject::invokeMethod(settings, "refresh");

    // Every dialog, each opened by the code that opens it in the application.
    shootDialog(shooter, QStringLiteral("dialog-clear-history"),
                [settings] { QMetaObject::invokeMethod(settings, "clearHistory"); });
    rig.settingsWindow().close();
    shootDialog(shooter, QStringLiteral("dialog-clear-unpinned"),
                [&] { HistoryClearing::confirmClearUnpinned(alerts, store); });
    shootDialog(shooter, QStringLiteral("dialog-clear-all"), [&] { HistoryClearing::confirmClearAll(alerts, store); });
    shootDialog(shooter, QStringLiteral("dialog-about"),
                [&] { alerts.showModal(*AboutDialog::create(QStringLiteral("1.0.0"), 1)); });

    ManifestServer manifest;
    NullWorkspace workspace;
    UpdateService::Environment environment;
    environment.manifestURL = manifest.url();
    environment.shortVersion = QStringLiteral("1.0.0");
    environment.build = 1;
    environment.settings = &rig.settings();
    environment.workspace = &workspace;
    environment.prompt = &alerts;
    UpdateService updates(environment);
    manifest.body = R"({"version": "1.1.0", "build": 2, "downloadURL": "https://vexilo.app/download",
                       "releaseNotes": "Search is faster on long histories."})";
    shootDialog(shooter, QStringLiteral("dialog-update-available"), [&] { updates.checkForUpdates(true); });
    spinUntil([&] { return !updates.isChecking(); }, 5000);
    manifest.body = R"({"version": "1.0.0", "build": 1, "downloadURL": "https://vexilo.app/download"})";
    shootDialog(shooter, QStringLiteral("dialog-up-to-date"), [&] { updates.checkForUpdates(true); });
    spinUntil([&] { return !updates.isChecking(); }, 5000);
}

void select(ClipboardStore &store, const QUuid &id)
{
    store.setSelectedItem(store.item(id));
}

int run(const QString &folder)
{
    QTemporaryDir root;
    BackdatingClock clock;
    MessageBoxAlerts alerts([](QWindow &) {});
    WindowRig rig({root.path(), &clock, 600000, applicationIcon, &alerts});
    ClipboardStore &store = rig.store();
    if (!rig.show()) {
        std::fprintf(stderr, "the history window could not be shown\n");
        return 1;
    }
    Shooter shooter(rig, folder);
    shooter.shoot(QStringLiteral("onboarding"));
    if (rig.showPopover(QRect(1240, 2, 22, 22))) {
        shooter.shoot(QStringLiteral("popover-empty"), rig.popover().window());
        rig.popover().dismiss();
    } else {
        shooter.fail("the tray popover could not be shown");
    }

    // The clips are copied while the window is away, as they would be; it shows them when summoned.
    rig.hide();
    rig.settings().setValue(AppStorageKeys::hasCompletedOnboarding, true);
    const SampleClips ids = fillHistory(store, clock, root.path() + QStringLiteral("/home/alex/Documents"));
    store.setSelectedCategory(ClipType::All);
    store.recalculateFilteredItems();
    select(store, ids.text);
    if (!rig.show()) {
        std::fprintf(stderr, "the history window could not be shown again\n");
        return 1;
    }
    shooter.shoot(QStringLiteral("list"));

    const std::pair<const char *, QUuid> details[] = {
        {"detail-text", ids.text},   {"detail-code", ids.code},   {"detail-link", ids.link},
        {"detail-image", ids.image}, {"detail-files", ids.files}, {"detail-colour", ids.colour},
    };
    for (const auto &[name, id] : details) {
        select(store, id);
        shooter.shoot(QString::fromLatin1(name));
    }

    store.setSelectedCategory(ClipType::Snippets);
    store.setShouldOpenNewSnippet(true);
    spinFor(100);
    QObject *snippets = rig.viewModel("snippets");
    snippets->setProperty("title", QStringLiteral("Bug report template"));
    snippets->setProperty("shortcut", QStringLiteral(";bug"));
    snippets->setProperty("tagsString", QStringLiteral("work, support"));
    snippets->setProperty("content",
                          QStringLiteral("Steps to reproduce:\n1. \n2. \n\nExpected:\n\nActual:\n\n"
                                         "Version: {version}"));
    shooter.shoot(QStringLiteral("snippets-editor"));
    QMetaObject::invokeMethod(snippets, "cancel");
    store.setSelectedCategory(ClipType::All);
    select(store, ids.text);

    if (store.presentQR(*store.item(ids.text)))
        shooter.shoot(QStringLiteral("qr"));
    else
        std::fprintf(stderr, "the QR sheet did not open\n");
    store.dismissQR();

    for (QObject *view : rig.findByType("MainView"))
        QMetaObject::invokeMethod(view, "toggleTagFilter");
    QCoreApplication::processEvents();
    const QList<QObject *> popovers = rig.findByType("TagFilterPopover");
    if (popovers.size() == 1) {
        shooter.shoot(QStringLiteral("tag-popover"));
        QMetaObject::invokeMethod(popovers.first(), "close");
    } else {
        std::fprintf(stderr, "found %lld tag popovers instead of one\n", qlonglong(popovers.size()));
    }

    store.deleteItem(*store.item(ids.colour), true);
    shooter.shoot(QStringLiteral("undo-toast"));
    store.undoLastDelete();

    select(store, ids.text);
    store.setPaused(true);
    shooter.shoot(QStringLiteral("paused"));
    store.setPaused(false);

    // The narrowest window: the detail footer should fall back to its icon row.
    rig.window()->resize(680, rig.window()->height());
    select(store, ids.text);
    rig.settle();
    const QList<QObject *> footers = rig.findByType("DetailFooter");
    const auto footerLayout = [&footers] {
        return footers.isEmpty() ? -1 : footers.first()->property("layout").toInt();
    };
    if (footerLayout() != 2) {
        // A wider list leaves the detail pane its minimum width.
        // The split reads the stored width when the window's width changes.
        rig.viewModel("main")->setProperty("leftPanelWidth", 1000.0);
        rig.window()->resize(681, rig.window()->height());
        rig.settle(100);
        rig.window()->resize(680, rig.window()->height());
        rig.settle();
        std::printf("narrow window: the list was widened to leave the detail pane its minimum width\n");
    }
    if (!footers.isEmpty()) {
        auto *footer = qobject_cast<QQuickItem *>(footers.first());
        QStringList rows;
        for (const QQuickItem *row : footer->childItems())
            rows.append(QString::number(row->implicitWidth()));
        std::printf("narrow window: detail footer %g px wide, its rows need %s px: layout %d (0 regular, 1 compact, "
                    "2 icons only)\n",
                    footer->width(), qPrintable(rows.join(QStringLiteral(", "))), footerLayout());
    }
    shooter.shoot(QStringLiteral("narrow"));

    rig.hide();
    shootTrayAndPreferences(rig, shooter, alerts);
    return shooter.failures() == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString folder =
        QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("build/screenshots")).absolutePath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    Test::XSession session;
    if (!session.start()) {
        std::fprintf(stderr, "Cannot start a private X session: %s\n", qPrintable(session.errorString()));
        return 1;
    }
    qputenv("DISPLAY", session.display().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    // As the application draws: the software scene graph.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    std::printf("Screenshots of the windows on private display %s\n", qPrintable(session.display()));
    return run(folder);
}
