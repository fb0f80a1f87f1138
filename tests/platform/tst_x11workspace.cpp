// SPDX-License-Identifier: MIT
#include "DesktopFiles.h"
#include "X11Atoms.h"
#include "X11Workspace.h"
#include "XTestMain.h"

#include <QDBusConnection>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QRasterWindow>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {

constexpr int processTimeoutMs = 10000;

// The helper: another application with one window whose WM_CLASS class is the given name (the
// instance name comes from RESOURCE_NAME); it reports the window's id.
int showWindow(int argc, char **argv)
{
    const QString className = QString::fromUtf8(argv[2]);
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(className);
    QRasterWindow window;
    window.resize(200, 120);
    window.show();
    Test::reportToTest(QString::number(window.winId()));
    return Test::execUntilInputCloses();
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// A window of another process.
struct ClientWindow
{
    Test::HelperProcess process;
    quint64 id = 0;
};

} // namespace

// Receives what the workspace hands to the desktop's URL handlers.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

// Stands in for the desktop's file manager on a private session bus.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QList<QStringList> shownItems;
    QStringList startupIds;

public Q_SLOTS:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        shownItems.append(uris);
        startupIds.append(startupId);
    }
};

class TestX11Workspace : public QObject
{
    Q_OBJECT

private:
    Test::XSession &session() { return Test::currentXSession(); }

    static std::unique_ptr<ClientWindow> startWindow(const QString &instanceName, const QString &className)
    {
        auto window = std::make_unique<ClientWindow>();
        QProcessEnvironment environment;
        environment.insert(u"RESOURCE_NAME"_s, instanceName);
        if (!window->process.start({u"--show-window"_s, className}, environment))
            return nullptr;
        window->id = window->process.firstLine().toULongLong();
        return window->id ? std::move(window) : nullptr;
    }

    quint64 activeWindowByXdotool()
    {
        return session().run(u"xdotool"_s, {u"getactivewindow"_s}).trimmed().toULongLong();
    }

    static bool activated(const QSignalSpy &spy, quint64 windowId)
    {
        for (const QList<QVariant> &arguments : spy) {
            if (arguments.at(0).value<RunningApplication>().windowId == windowId)
                return true;
        }
        return false;
    }

    QTemporaryDir m_dataHome;
    std::unique_ptr<X11Atoms> m_atoms;
    std::unique_ptr<DesktopFiles> m_desktopFiles;
    std::unique_ptr<ClientWindow> m_alpha;
    std::unique_ptr<ClientWindow> m_beta;

private Q_SLOTS:
    void initTestCase()
    {
        qRegisterMetaType<RunningApplication>();
        // The applications installed for these tests only, found the way the desktop finds them.
        QVERIFY(m_dataHome.isValid());
        qputenv("XDG_DATA_HOME", m_dataHome.filePath(u"home"_s).toUtf8());
        qputenv("XDG_DATA_DIRS", m_dataHome.filePath(u"system"_s).toUtf8());
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::darkGreen);
        QVERIFY(icon.save(m_dataHome.filePath(u"beta.png"_s)));
        QVERIFY(writeFile(m_dataHome.filePath(u"home/applications/org.example.BetaEditor.desktop"_s),
                          "[Desktop Entry]\nType=Application\nName=Beta Editor\nExec=beta\nStartupWMClass=BetaApp\n"
                          "Icon=" +
                              m_dataHome.filePath(u"beta.png"_s).toUtf8() + "\n"));
        m_desktopFiles = std::make_unique<DesktopFiles>();
        QCOMPARE(m_desktopFiles->searchPaths().value(0), m_dataHome.filePath(u"home/applications"_s));

        m_atoms = X11Atoms::forApplication();
        QVERIFY(m_atoms);
    }

    void frontmostFollowsActivation()
    {
        X11Workspace workspace(m_atoms.get(), m_desktopFiles.get());
        QSignalSpy activations(&workspace, &Workspace::applicationActivated);

        m_alpha = startWindow(u"alpha"_s, u"AlphaApp"_s);
        QVERIFY(m_alpha);
        QTRY_VERIFY(activated(activations, m_alpha->id));
        auto front = workspace.frontmostApplication();
        QVERIFY(front);
        QCOMPARE(front->windowId, m_alpha->id);
        QCOMPARE(front->processId, m_alpha->process.processId());
        // No desktop file: the window class names the application.
        QCOMPARE(front->bundleId, std::optional<QString>(u"AlphaApp"_s));
        QCOMPARE(front->name, std::optional<QString>(u"AlphaApp"_s));

        m_beta = startWindow(u"beta"_s, u"BetaApp"_s);
        QVERIFY(m_beta);
        QTRY_VERIFY(activated(activations, m_beta->id));
        front = workspace.frontmostApplication();
        QVERIFY(front);
        QCOMPARE(front->windowId, m_beta->id);
        // Its desktop file matches the class: the file's id and name.
        QCOMPARE(front->bundleId, std::optional<QString>(u"org.example.BetaEditor"_s));
        QCOMPARE(front->name, std::optional<QString>(u"Beta Editor"_s));
        QCOMPARE(activations.last().at(0).value<RunningApplication>(), *front);
        // A window is reported once per activation, not for every property change.
        int betaReports = 0;
        for (const QList<QVariant> &arguments : std::as_const(activations))
            betaReports += arguments.at(0).value<RunningApplication>().windowId == m_beta->id ? 1 : 0;
        QCOMPARE(betaReports, 1);
    }

    void activateBringsAWindowBack()
    {
        QVERIFY(m_alpha && m_beta);
        X11Workspace workspace(m_atoms.get(), m_desktopFiles.get());
        QSignalSpy activations(&workspace, &Workspace::applicationActivated);
        QTRY_COMPARE(activeWindowByXdotool(), m_beta->id);

        // Each window in turn, the second back to where it started.
        for (const ClientWindow *window : {&*m_alpha, &*m_beta}) {
            const auto application = workspace.applicationForWindow(window->id);
            QVERIFY(application);
            QVERIFY(workspace.activate(*application));
            QTRY_COMPARE(activeWindowByXdotool(), window->id);
            QTRY_VERIFY(activated(activations, window->id));
            QCOMPARE(workspace.frontmostApplication(), application);
        }
    }

    void ownWindowsCarryOwnIdentifier()
    {
        // A bare X window of this process, made the way Qt makes its windows (a QWindow here would
        // start Qt's accessibility bridge, which looks for a session bus that does not exist). Its
        // class differs from the own identifier in case, so only the process can tell.
        xcb_connection_t *connection = m_atoms->connection();
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, m_atoms->rootWindow(), 0, 0, 120, 80, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const auto pid = quint32(QCoreApplication::applicationPid());
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, m_atoms->atom(QByteArrayLiteral("_NET_WM_PID")),
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
        const QByteArray windowClass("vexilo\0Vexilo\0", 14);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            quint32(windowClass.size()), windowClass.constData());
        xcb_map_window(connection, window);
        xcb_flush(connection);

        X11Workspace workspace(m_atoms.get(), m_desktopFiles.get());
        QSignalSpy activations(&workspace, &Workspace::applicationActivated);
        RunningApplication own;
        own.windowId = window;
        QTRY_VERIFY(workspace.applicationForWindow(window));
        QVERIFY(workspace.activate(own));
        QTRY_COMPARE(activeWindowByXdotool(), quint64(window));
        QTRY_VERIFY(activated(activations, window));
        const auto front = workspace.frontmostApplication();
        xcb_destroy_window(connection, window);
        xcb_flush(connection);
        QVERIFY(front);
        QCOMPARE(workspace.ownBundleIdentifier(), u"app.vexilo.Vexilo"_s);
        QCOMPARE(front->bundleId, std::optional<QString>(u"app.vexilo.Vexilo"_s));
        QCOMPARE(front->processId, QCoreApplication::applicationPid());
    }

    void installedApplicationsAndIcons()
    {
        X11Workspace workspace(m_atoms.get(), m_desktopFiles.get());
        const auto path = workspace.applicationPath(u"org.example.BetaEditor"_s);
        QCOMPARE(path,
                 std::optional<QString>(m_dataHome.filePath(u"home/applications/org.example.BetaEditor.desktop"_s)));
        const QIcon icon = workspace.iconForApplication(*path);
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::darkGreen));

        QVERIFY(!workspace.applicationPath(u"AlphaApp"_s));
        QVERIFY(workspace.iconForApplication(m_dataHome.filePath(u"missing.desktop"_s)).isNull());
    }

    void briefClearsAndRepeatsAreNotActivations()
    {
        QVERIFY(m_alpha && m_beta);
        QTRY_COMPARE(activeWindowByXdotool(), m_beta->id);
        X11Workspace workspace(m_atoms.get(), m_desktopFiles.get());
        QSignalSpy activations(&workspace, &Workspace::applicationActivated);

        // Written straight to the root window, as the window manager does; focus itself stays put.
        const auto setActive = [this](quint64 window) {
            const auto value = xcb_window_t(window);
            xcb_change_property(m_atoms->connection(), XCB_PROP_MODE_REPLACE, m_atoms->rootWindow(),
                                m_atoms->atom(QByteArrayLiteral("_NET_ACTIVE_WINDOW")), XCB_ATOM_WINDOW, 32, 1, &value);
            xcb_flush(m_atoms->connection());
        };
        setActive(m_alpha->id);
        QTRY_VERIFY(activated(activations, m_alpha->id));
        setActive(0);
        QVERIFY(!workspace.frontmostApplication());
        setActive(m_alpha->id);
        setActive(0);
        // Changes arrive in order: once the last one is reported, the ones before it are in too.
        setActive(m_beta->id);
        QTRY_VERIFY(activated(activations, m_beta->id));
        QCOMPARE(activations.size(), 2);
        QCOMPARE(activations.first().at(0).value<RunningApplication>().windowId, m_alpha->id);
    }

    void closedWindowsAreTerminated()
    {
        QVERIFY(m_alpha);
        X11Workspace workspace(m_atoms.get(), m_desktopFiles.get());
        const auto alpha = workspace.applicationForWindow(m_alpha->id);
        QVERIFY(alpha);
        QVERIFY(!workspace.isTerminated(*alpha));

        m_alpha.reset();
        QTRY_VERIFY(workspace.isTerminated(*alpha));
        QVERIFY(!workspace.activate(*alpha));
        QVERIFY(!workspace.applicationForWindow(alpha->windowId));

        // Nothing to find: neither a window nor a process.
        QVERIFY(workspace.isTerminated(RunningApplication{}));
    }

    void revealFileAsksTheFileManager()
    {
        QProcess daemon;
        daemon.start(u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address"_s});
        if (!daemon.waitForStarted(processTimeoutMs))
            QSKIP("dbus-daemon is not available");
        while (!daemon.canReadLine() && daemon.waitForReadyRead(processTimeoutMs)) { }
        const QByteArray address = daemon.readLine().trimmed();
        QVERIFY2(!address.isEmpty(), "dbus-daemon printed no address");
        const auto stopDaemon = qScopeGuard([&daemon] {
            daemon.terminate();
            if (!daemon.waitForFinished(processTimeoutMs))
                daemon.kill();
            daemon.waitForFinished(2000);
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        });
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.isConnected());

        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(u"file"_s, &recorder, "open");
        const auto removeHandler = qScopeGuard([] { QDesktopServices::unsetUrlHandler(u"file"_s); });
        X11Workspace workspace(m_atoms.get(), m_desktopFiles.get());
        const QString file = m_dataHome.filePath(u"some folder/report.txt"_s);
        const QUrl folder = QUrl::fromLocalFile(m_dataHome.filePath(u"some folder"_s));

        // A bus without a file manager: the call fails and the folder is opened instead.
        QVERIFY(workspace.revealFile(file));
        QTRY_COMPARE(recorder.urls, QList<QUrl>{folder});

        FakeFileManager fileManager;
        QVERIFY(bus.registerObject(u"/org/freedesktop/FileManager1"_s, &fileManager, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(u"org.freedesktop.FileManager1"_s));
        const auto unregister = qScopeGuard([&bus] {
            bus.unregisterService(u"org.freedesktop.FileManager1"_s);
            bus.unregisterObject(u"/org/freedesktop/FileManager1"_s);
        });
        QVERIFY(workspace.revealFile(file));
        QTRY_COMPARE(fileManager.shownItems.size(), 1);
        QCOMPARE(fileManager.shownItems.first(), QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
        QVERIFY(fileManager.shownItems.first().first().contains(QLatin1String("some%20folder/report.txt")));
        QCOMPARE(fileManager.startupIds, QStringList{QString()});
        // The file manager answered; nothing else was opened.
        QCOMPARE(recorder.urls.size(), 1);
    }

    void revealFileFallsBackWithoutSessionBus()
    {
        // No session bus on this machine; make sure none is found by accident.
        const QByteArray busAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        QTemporaryDir runtime;
        const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());

        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(u"file"_s, &recorder, "open");
        QDesktopServices::setUrlHandler(u"https"_s, &recorder, "open");
        X11Workspace workspace(m_atoms.get(), m_desktopFiles.get());
        const QString file = m_dataHome.filePath(u"some folder/report.txt"_s);
        const bool revealed = workspace.revealFile(file);
        const bool opened = workspace.openUrl(QUrl(u"https://example.org/download"_s));
        QDesktopServices::unsetUrlHandler(u"file"_s);
        QDesktopServices::unsetUrlHandler(u"https"_s);
        qputenv("XDG_RUNTIME_DIR", runtimeDir);
        if (!busAddress.isNull())
            qputenv("DBUS_SESSION_BUS_ADDRESS", busAddress);

        QVERIFY(revealed);
        QVERIFY(opened);
        // The folder that holds the file is opened instead.
        QCOMPARE(recorder.urls,
                 (QList<QUrl>{QUrl::fromLocalFile(m_dataHome.filePath(u"some folder"_s)),
                              QUrl(u"https://example.org/download"_s)}));
    }
};

int main(int argc, char **argv)
{
    return Test::runInXSession(argc, argv, []() -> QObject * { return new TestX11Workspace; },
                               {{"--show-window", showWindow}});
}

#include "tst_x11workspace.moc"
