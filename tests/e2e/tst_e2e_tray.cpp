// SPDX-License-Identifier: MIT
// The tray icon, its popover and menu, the preferences window and the dialogs, with a real system tray
// (trayer over XEmbed, or a StatusNotifierWatcher on a private session bus), real clicks and keys.
#include "AppWorld.h"

#include "ClipJson.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QFile>
#include <QRect>
#include <QScopeGuard>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

namespace {

const QString downloadUrl = QStringLiteral("https://example.invalid/vexilo.deb");

// The tray menu top to bottom, as the keyboard steps through it.
const QStringList trayMenuItems = {
    QStringLiteral("About Vexilo"),
    QStringLiteral("Check for Updates..."),
    QStringLiteral("Preferences..."),
    QStringLiteral("New Snippet"),
    QStringLiteral("Export History as JSON..."),
    QStringLiteral("Export History as Markdown..."),
    QStringLiteral("Close Window"),
    QStringLiteral("Find in Clips..."),
    QStringLiteral("Clear Unpinned History..."),
    QStringLiteral("Clear All History..."),
    QStringLiteral("Toggle Inspector Pane"),
    QStringLiteral("Pause Clipboard Recording"),
};

struct Window
{
    QString id;
    QRect rect;
};

} // namespace

// Just enough of a StatusNotifierWatcher for Qt to hand its icon to it.
class StatusNotifierWatcher
    : public QObject
    , protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    [[nodiscard]] bool isHostRegistered() const { return true; }
    [[nodiscard]] int protocolVersion() const { return 0; }
    [[nodiscard]] QStringList items() const { return m_items; }
    // Where the item is reached: a bus name (the object at /StatusNotifierItem) or a path of the sender.
    [[nodiscard]] std::pair<QString, QString> itemAddress() const { return m_address; }

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service)
    {
        m_address = service.startsWith(u'/') ? std::pair(message().service(), service)
                                             : std::pair(service, QStringLiteral("/StatusNotifierItem"));
        m_items.append(service);
        Q_EMIT StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString &) { }

Q_SIGNALS:
    void StatusNotifierItemRegistered(const QString &service);

private:
    QStringList m_items;
    std::pair<QString, QString> m_address;
};

class TestTrayEndToEnd : public QObject
{
    Q_OBJECT

private:
    AppWorld m_world;
    QProcess m_trayer;
    QTcpServer m_manifestServer;

    [[nodiscard]] XSession &x() { return m_world.session(); }
    bool key(const QString &keys)
    {
        return x().xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40"), keys});
    }
    bool keys(const QStringList &names)
    {
        return x().xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} + names);
    }
    QString add(const QString &text) { return m_world.vexilo({QStringLiteral("add"), text}).out.trimmed(); }

    [[nodiscard]] static QList<Window> appWindows(XSession &session)
    {
        QList<Window> windows;
        const QByteArray ids = session.run(QStringLiteral("xdotool"),
                                           {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                            QStringLiteral("--classname"), QStringLiteral("vexilo-app")});
        for (const QByteArray &id : ids.split('\n')) {
            if (id.trimmed().isEmpty())
                continue;
            QMap<QByteArray, int> values;
            const QByteArray shell = session.run(
                QStringLiteral("xdotool"),
                {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::fromLatin1(id.trimmed())});
            for (const QByteArray &line : shell.split('\n')) {
                const QList<QByteArray> pair = line.split('=');
                if (pair.size() == 2)
                    values.insert(pair.at(0), pair.at(1).toInt());
            }
            windows.append(
                {QString::fromLatin1(id.trimmed()),
                 QRect(values.value("X"), values.value("Y"), values.value("WIDTH"), values.value("HEIGHT"))});
        }
        return windows;
    }
    // The icon is the application's only window of icon size; the popover the only one 300 wide.
    static std::optional<Window> findWindow(XSession &session, const std::function<bool(const QRect &)> &test,
                                            int timeoutMs = 10000)
    {
        std::optional<Window> found;
        [[maybe_unused]] const bool seen = QTest::qWaitFor(
            [&] {
                for (const Window &window : appWindows(session)) {
                    if (test(window.rect))
                        found = window;
                }
                return found.has_value();
            },
            timeoutMs);
        return found;
    }
    static bool isIcon(const QRect &rect) { return rect.width() <= 64 && rect.height() <= 64; }
    static bool isPopover(const QRect &rect) { return rect.width() == 300; }
    static bool popoverShown(XSession &session)
    {
        const QList<Window> windows = appWindows(session);
        return std::any_of(windows.cbegin(), windows.cend(), [](const Window &w) { return isPopover(w.rect); });
    }

    [[nodiscard]] QString activeWindowName()
    {
        return QString::fromUtf8(x().run(QStringLiteral("xdotool"),
                                         {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}))
            .trimmed();
    }
    bool waitForActiveWindow(const QString &name)
    {
        return QTest::qWaitFor([&] { return activeWindowName() == name; }, 10000);
    }
    // Until no window has that name: with `visible`, none shown; otherwise none exists any more (a
    // dialog answered a moment ago is still being torn down, and a right click on the tray then is lost).
    bool waitForNoWindowNamed(const QString &name, bool visible)
    {
        QStringList arguments{QStringLiteral("search"), QStringLiteral("--name"), name};
        if (visible)
            arguments.insert(1, QStringLiteral("--onlyvisible"));
        return QTest::qWaitFor(
            [&] {
                int code = -1;
                x().run(QStringLiteral("xdotool"), arguments, {}, 5000, &code);
                return code != 0;
            },
            10000);
    }
    bool answerDialog(const QString &title, const QString &keyName)
    {
        QString pattern = title;
        pattern.replace(u'?', QStringLiteral("[?]"));
        return waitForActiveWindow(title) && key(keyName) && waitForNoWindowNamed(u'^' + pattern + u'$', false);
    }

    bool clickIcon(int button)
    {
        const std::optional<Window> icon = findWindow(x(), isIcon);
        if (!icon)
            return false;
        const QPoint at = icon->rect.center();
        return x().xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                            QStringLiteral("click"), QString::number(button)});
    }
    // Opens the tray menu with a right click; returns where it is. A right click in the moment after
    // one of the application's windows closed opens nothing (Qt drops it), hence a few tries.
    std::optional<QRect> openTrayMenu()
    {
        const auto isMenu = [](const QRect &rect) { return !isIcon(rect) && !isPopover(rect) && rect.height() > 200; };
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!clickIcon(3))
                return std::nullopt;
            if (const std::optional<Window> menu = findWindow(x(), isMenu, 3000))
                return menu->rect;
        }
        return std::nullopt;
    }
    bool chooseFromTrayMenu(const QString &item)
    {
        const qsizetype index = trayMenuItems.indexOf(item);
        if (index < 0 || !openTrayMenu())
            return false;
        return keys(QStringList(index + 1, QStringLiteral("Down")) << QStringLiteral("Return"));
    }

    // Screenshot of part of the screen, read by tesseract at three times the size.
    bool capture(const QRect &rect, const QString &path)
    {
        int code = -1;
        x().run(QStringLiteral("import"),
                {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
                 QStringLiteral("%1x%2+%3+%4").arg(rect.width()).arg(rect.height()).arg(rect.x()).arg(rect.y()),
                 QStringLiteral("+repage"), path},
                {}, 10000, &code);
        return code == 0;
    }
    QString recognize(const QString &path)
    {
        const QString large = path + QStringLiteral(".large.png");
        x().run(QStringLiteral("convert"), {path, QStringLiteral("-resize"), QStringLiteral("300%"), large});
        return QString::fromUtf8(x().run(QStringLiteral("tesseract"), {large, QStringLiteral("stdout")}, {}, 30000));
    }

    [[nodiscard]] static QList<ClipItem> listed(const AppWorld &world)
    {
        return ClipJson::decodeHistory(world.vexilo({QStringLiteral("list"), QStringLiteral("--json")}).out.toUtf8())
            .items;
    }
    [[nodiscard]] QVariant setting(const QString &name) const
    {
        return QSettings(m_world.settingsFile(), QSettings::IniFormat).value(name);
    }
    [[nodiscard]] QString opened() const
    {
        QFile file(m_world.rootPath() + QStringLiteral("/opened.txt"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    [[nodiscard]] static QString trayLine(const AppWorld &world)
    {
        const QStringList lines = world.vexilo({QStringLiteral("status")}).out.split(u'\n');
        for (const QString &line : lines) {
            if (line.startsWith(QStringLiteral("Tray: ")))
                return line;
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The update manifest: a newer build, from this machine only.
        QVERIFY(m_manifestServer.listen(QHostAddress::LocalHost));
        connect(&m_manifestServer, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = m_manifestServer.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                const QByteArray manifest = R"({"version":"9.9.0","build":99,"downloadURL":")" + downloadUrl.toUtf8() +
                    R"(","releaseNotes":"Faster."})";
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                              QByteArray::number(manifest.size()) + "\r\nConnection: close\r\n\r\n" + manifest);
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        });
        m_world.setEnvironmentVariable(
            QStringLiteral("VEXILO_UPDATE_MANIFEST_URL"),
            QStringLiteral("http://127.0.0.1:%1/update.json").arg(m_manifestServer.serverPort()));

        // The browser: a stand-in that notes what it was asked to open.
        const QString bin = m_world.rootPath() + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(bin));
        QFile opener(bin + QStringLiteral("/xdg-open"));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + m_world.rootPath().toUtf8() + "/opened.txt'\n");
        opener.close();
        QVERIFY(opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_world.setEnvironmentVariable(QStringLiteral("PATH"), bin + u':' + qEnvironmentVariable("PATH"));

        // The tray comes first, as on a desktop.
        QVERIFY(m_world.startSession());
        m_trayer.setProcessEnvironment(m_world.environment());
        m_trayer.start(QStringLiteral("trayer"),
                       {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                        QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("request"),
                        QStringLiteral("--height"), QStringLiteral("24"), QStringLiteral("--SetDockType"),
                        QStringLiteral("true")});
        QVERIFY2(m_trayer.waitForStarted(5000), "trayer is missing: scripts/install-deps.sh installs it");
        QVERIFY(QTest::qWaitFor(
            [&] {
                return !x().run(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"),
                                 QStringLiteral("trayer")})
                            .trimmed()
                            .isEmpty();
            },
            10000));
        QVERIFY2(m_world.startApplication(), qPrintable(m_world.applicationOutput()));
    }

    void cleanupTestCase()
    {
        QVERIFY(m_world.quitApplication());
        m_trayer.terminate();
        if (!m_trayer.waitForFinished(3000))
            m_trayer.kill();
    }

    void popoverFromTheTrayIcon()
    {
        QCOMPARE(trayLine(m_world), QStringLiteral("Tray: XEmbed system tray"));
        // The clipboard holds something else than the clip that will be chosen.
        m_world.copy("copied elsewhere");
        QVERIFY(m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("copied elsewhere"))));
        add(QStringLiteral("older clip"));
        add(QStringLiteral("newest clip"));

        const std::optional<Window> icon = findWindow(x(), isIcon);
        QVERIFY2(icon, qPrintable(m_world.applicationOutput()));
        QVERIFY(clickIcon(1));
        const std::optional<Window> popover = findWindow(x(), isPopover);
        QVERIFY(popover);
        // Right below the icon, the icon within its width.
        QVERIFY2(popover->rect.top() > icon->rect.bottom() && popover->rect.top() - icon->rect.bottom() <= 12,
                 qPrintable(QStringLiteral("icon %1,%2 popover at %3,%4")
                                .arg(icon->rect.x())
                                .arg(icon->rect.bottom())
                                .arg(popover->rect.x())
                                .arg(popover->rect.y())));
        QVERIFY(popover->rect.left() <= icon->rect.center().x() && icon->rect.center().x() <= popover->rect.right());
        QVERIFY(QTest::qWaitFor(
            [&] {
                return x().run(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed() ==
                    popover->id.toLatin1();
            },
            10000));

        QVERIFY(keys({QStringLiteral("Down"), QStringLiteral("Return")}));
        // The confirmation shows for a moment only: pictures first, reading after.
        QStringList shots;
        for (int i = 0; i < 4; ++i) {
            const QString path = m_world.rootPath() + QStringLiteral("/copied-%1.png").arg(i);
            if (capture(popover->rect, path))
                shots.append(path);
        }
        QVERIFY(QTest::qWaitFor([&] { return x().paste(QStringLiteral("UTF8_STRING")) == "newest clip"; }, 10000));
        QString seen;
        for (const QString &shot : shots) {
            seen = recognize(shot);
            if (seen.contains(QStringLiteral("Copied Text")))
                break;
        }
        QVERIFY2(seen.contains(QStringLiteral("Copied Text")), qPrintable(seen));

        QVERIFY(key(QStringLiteral("Escape")));
        QVERIFY(QTest::qWaitFor([&] { return !popoverShown(x()); }, 10000));
    }

    void trayMenuPausesRecording()
    {
        QVERIFY(chooseFromTrayMenu(QStringLiteral("Pause Clipboard Recording")));
        QVERIFY(QTest::qWaitFor(
            [&] { return m_world.vexilo({QStringLiteral("status")}).out.startsWith(QStringLiteral("Paused\n")); },
            10000));

        const std::optional<QRect> menu = openTrayMenu();
        QVERIFY(menu);
        const QString path = m_world.rootPath() + QStringLiteral("/menu.png");
        QVERIFY(capture(*menu, path));
        const QString text = recognize(path);
        QVERIFY2(text.contains(QStringLiteral("Resume Clipboard Recording")), qPrintable(text));
        QVERIFY(keys(
            QStringList(trayMenuItems.indexOf(QStringLiteral("Pause Clipboard Recording")) + 1, QStringLiteral("Down"))
            << QStringLiteral("Return")));
        QVERIFY(QTest::qWaitFor(
            [&] { return m_world.vexilo({QStringLiteral("status")}).out.startsWith(QStringLiteral("Recording\n")); },
            10000));
    }

    void preferencesWithTheKeyboard()
    {
        for (int i = 0; i < 60; ++i)
            add(QStringLiteral("history clip %1").arg(i));
        QVERIFY(listed(m_world).size() >= 60);
        const QString autostart = m_world.rootPath() + QStringLiteral("/config/autostart/app.vexilo.Vexilo.desktop");
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(autostart); }, 10000)); // on by default

        // General comes first: Recent Items, then Maximum History Size.
        QVERIFY(chooseFromTrayMenu(QStringLiteral("Preferences...")));
        QVERIFY2(waitForActiveWindow(QStringLiteral("Vexilo Preferences")), qPrintable(activeWindowName()));
        QVERIFY(keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space"), QStringLiteral("Down"),
                      QStringLiteral("Return")}));
        QVERIFY(QTest::qWaitFor([&] { return setting(QStringLiteral("maxHistoryLimit")).toInt() == 50; }, 10000));
        // The limit applies from the next clip on.
        m_world.copy("one more clip");
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         const QList<ClipItem> items = listed(m_world);
                         return items.size() == 50 && items.first().textContent() == QStringLiteral("one more clip");
                     },
                     10000),
                 qPrintable(QString::number(listed(m_world).size())));

        // Opened again it starts at the sidebar: Shortcuts, and its first control is Launch at Login.
        QVERIFY(chooseFromTrayMenu(QStringLiteral("Preferences...")));
        QVERIFY(waitForActiveWindow(QStringLiteral("Vexilo Preferences")));
        QVERIFY(keys({QStringLiteral("Down"), QStringLiteral("Tab"), QStringLiteral("space")}));
        QVERIFY(QTest::qWaitFor([&] { return !QFile::exists(autostart); }, 10000));
        QCOMPARE(setting(QStringLiteral("launchAtLogin")).toBool(), false);

        QVERIFY(key(QStringLiteral("ctrl+w")));
        QVERIFY(waitForNoWindowNamed(QStringLiteral("^Vexilo Preferences$"), true));
    }

    void updateDialog()
    {
        QVERIFY(chooseFromTrayMenu(QStringLiteral("Check for Updates...")));
        QVERIFY2(answerDialog(QStringLiteral("Update Available"), QStringLiteral("Return")), // Download Update
                 qPrintable(activeWindowName() + u'\n' + m_world.applicationOutput()));
        QVERIFY(QTest::qWaitFor([&] { return !opened().isEmpty(); }, 10000));
        QCOMPARE(opened(), downloadUrl + u'\n');
        QVERIFY(!setting(QStringLiteral("skippedUpdateBuild")).isValid());

        QVERIFY(chooseFromTrayMenu(QStringLiteral("Check for Updates...")));
        QVERIFY(answerDialog(QStringLiteral("Update Available"), QStringLiteral("Escape"))); // Later
        QVERIFY(QTest::qWaitFor([&] { return setting(QStringLiteral("skippedUpdateBuild")).toInt() == 99; }, 10000));
        QCOMPARE(opened(), downloadUrl + u'\n');
    }

    void clearDialogs()
    {
        const QString pinned = add(QStringLiteral("pinned clip"));
        QCOMPARE(m_world.vexilo({QStringLiteral("pin"), pinned}).exitCode, 0);
        add(QStringLiteral("unpinned clip"));

        QVERIFY(chooseFromTrayMenu(QStringLiteral("Clear Unpinned History...")));
        QVERIFY2(answerDialog(QStringLiteral("Clear Unpinned History?"), QStringLiteral("Return")),
                 qPrintable(activeWindowName()));
        QVERIFY(QTest::qWaitFor([&] { return listed(m_world).size() == 1; }, 10000));
        QCOMPARE(listed(m_world).first().textContent(), QStringLiteral("pinned clip"));

        add(QStringLiteral("another clip"));
        QVERIFY(chooseFromTrayMenu(QStringLiteral("Clear All History...")));
        QVERIFY2(answerDialog(QStringLiteral("Clear Entire Clipboard History?"), QStringLiteral("Escape")),
                 qPrintable(activeWindowName()));
        QCOMPARE(listed(m_world).size(), 2);
    }

    void statusNotifierItem()
    {
        // A world of its own: no XEmbed tray, a private session bus with a watcher on it.
        QProcess bus;
        bus.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        QVERIFY2(bus.waitForStarted(5000), "dbus-daemon is missing: scripts/install-deps.sh installs it");
        QVERIFY(QTest::qWaitFor([&] { return bus.canReadLine(); }, 10000));
        const QString address = QString::fromUtf8(bus.readLine()).trimmed();
        const auto stopBus = qScopeGuard([&] {
            QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
            bus.terminate();
            if (!bus.waitForFinished(3000))
                bus.kill();
        });
        {
            QDBusConnection connection = QDBusConnection::connectToBus(address, QStringLiteral("watcher"));
            QVERIFY2(connection.isConnected(), qPrintable(address));
            StatusNotifierWatcher watcher;
            QVERIFY(connection.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                                              QDBusConnection::ExportAllContents));
            QVERIFY(connection.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")));

            AppWorld world;
            world.setEnvironmentVariable(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
            QVERIFY2(world.startApplication(), qPrintable(world.applicationOutput()));
            QVERIFY2(QTest::qWaitFor([&] { return !watcher.items().isEmpty(); }, 10000),
                     qPrintable(world.applicationOutput()));
            QCOMPARE(trayLine(world), QStringLiteral("Tray: StatusNotifierItem"));

            const auto [service, path] = watcher.itemAddress();
            QDBusMessage activate = QDBusMessage::createMethodCall(
                service, path, QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"));
            activate << 600 << 10;
            connection.asyncCall(activate);
            QVERIFY2(QTest::qWaitFor([&] { return popoverShown(world.session()); }, 10000),
                     qPrintable(world.applicationOutput()));
            QVERIFY(world.quitApplication());
        }
    }
};

QTEST_GUILESS_MAIN(TestTrayEndToEnd)
#include "tst_e2e_tray.moc"
