// SPDX-License-Identifier: MIT
// The application as a native Wayland client on a private headless sway (started around this test by
// with-sway.sh): another client's copy is recorded without any Vexilo window having focus, a key
// bound in the compositor opens the history window, and clips are pasted into the window the user
// was in. What was pasted is read from that window (tests/support/WaylandProbe).
#include "WaylandProbe.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Vexilo::Test::WaylandProbe;

namespace {

QByteArray run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        process.kill();
    return process.readAllStandardOutput();
}

// The window that has the keyboard, as sway's tree describes it.
QJsonObject focusedWindow(const QJsonObject &node)
{
    if (node.value(u"focused"_s).toBool())
        return node;
    for (const QString &children : {u"nodes"_s, u"floating_nodes"_s}) {
        for (const QJsonValue &child : node.value(children).toArray()) {
            if (const QJsonObject found = focusedWindow(child.toObject()); !found.isEmpty())
                return found;
        }
    }
    return {};
}

QJsonObject focusedWindow()
{
    return focusedWindow(QJsonDocument::fromJson(run(u"swaymsg"_s, {u"-r"_s, u"-t"_s, u"get_tree"_s})).object());
}

} // namespace

class TestWaylandEndToEnd : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    // The front end, where the compositor's user (nobody, when the tests run as root) may run it.
    QTemporaryDir m_bin;
    QProcess m_app;

    [[nodiscard]] QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, m_root.path() + u"/config"_s);
        env.insert(u"XDG_DATA_HOME"_s, m_root.path() + u"/data"_s);
        env.insert(u"HOME"_s, m_root.path());
        // The application chooses Wayland by itself.
        env.remove(u"QT_QPA_PLATFORM"_s);
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"disabled:"_s);
        env.remove(u"DISPLAY"_s);
        return env;
    }

    QString vexilo(const QStringList &arguments, int *exitCode = nullptr) const
    {
        QProcess client;
        client.setProcessEnvironment(environment());
        client.start(QStringLiteral(VEXILO_BINARY), arguments);
        client.waitForFinished(10000);
        if (exitCode)
            *exitCode = client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
        return QString::fromUtf8(client.readAllStandardOutput());
    }

    static bool copyWithWlCopy(const QString &text)
    {
        QProcess copy;
        copy.start(u"wl-copy"_s, {text});
        return copy.waitForFinished(5000) && copy.exitCode() == 0;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_app.setProcessEnvironment(environment());
        m_app.setProcessChannelMode(QProcess::MergedChannels);
        m_app.start(QStringLiteral(VEXILO_APP_BINARY));
        QVERIFY(m_app.waitForStarted(5000));
        int code = -1;
        QVERIFY2(QTest::qWaitFor([&] { return vexilo({u"status"_s}, &code), code == 0; }, 15000),
                 m_app.readAll().constData());

        // Key bindings run as the compositor's user: let it reach our instance.
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        QVERIFY(QFile::setPermissions(
            runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(runtime + u"/vexilo.socket"_s, QFileDevice::Permissions(0x6666)));
        QVERIFY(QFile::setPermissions(m_bin.path(), QFileDevice::Permissions(0x7555)));
        QVERIFY(QFile::copy(QStringLiteral(VEXILO_BINARY), m_bin.filePath(u"vexilo"_s)));
        QVERIFY(QFile::setPermissions(m_bin.filePath(u"vexilo"_s), QFileDevice::Permissions(0x7555)));
        // The same folders as ours, or the front end would take it for another history.
        const QString binding =
            u"bindsym Mod4+Shift+v exec env XDG_RUNTIME_DIR=%1 XDG_DATA_HOME=%2 HOME=%3 %4 toggle"_s.arg(
                runtime, m_root.path() + u"/data"_s, m_root.path(), m_bin.filePath(u"vexilo"_s));
        QVERIFY(run(u"swaymsg"_s, {binding}).contains("success\": true"));
    }

    void cleanupTestCase()
    {
        vexilo({u"quit"_s});
        if (!m_app.waitForFinished(10000))
            m_app.kill();
    }

    void copiesAreRecordedWithoutFocus()
    {
        QVERIFY(vexilo({u"status"_s}).contains(u"Clipboard: Wayland data-control"_s));
        for (const QString &text : {u"first copy on Wayland"_s, u"zweite Kopie, grüß dich"_s}) {
            QVERIFY(copyWithWlCopy(text));
            QVERIFY2(QTest::qWaitFor([&] { return vexilo({u"list"_s}).section(u'\n', 0, 0).endsWith(text); }, 10000),
                     qPrintable(vexilo({u"list"_s})));
        }
        QCOMPARE(vexilo({u"list"_s}).count(u'\n'), 2);
    }

    void statusSaysWhatWorks()
    {
        const QString status = vexilo({u"status"_s});
        for (const QString &line :
             {u"History hotkey: none"_s, u"Pasting: available"_s, u"Snippet expansion: not available (Wayland"_s,
              u"Desktop: wayland"_s, u"Windows: Wayland foreign-toplevel"_s})
            QVERIFY2(status.contains(line), qPrintable(status));
    }

    void pasteSlotPastesIntoTheFocusedField()
    {
        QVERIFY(copyWithWlCopy(u"slot one, pasted"_s));
        QVERIFY(QTest::qWaitFor(
            [&] { return vexilo({u"list"_s}).section(u'\n', 0, 0).endsWith(u"slot one, pasted"_s); }, 10000));
        WaylandProbe field;
        QVERIFY(field.start(u"org.example.Field"_s));
        int code = -1;
        vexilo({u"paste-slot"_s, u"1"_s}, &code);
        QCOMPARE(code, 0);
        QVERIFY2(field.waitForText(u"slot one, pasted"_s, 10000), qPrintable(field.lastText()));
    }

    void boundKeyOpensTheHistoryWhichPastesIntoTheWindowBefore()
    {
        QVERIFY(copyWithWlCopy(u"chosen in the history"_s));
        QVERIFY(QTest::qWaitFor(
            [&] { return vexilo({u"list"_s}).section(u'\n', 0, 0).endsWith(u"chosen in the history"_s); }, 10000));
        WaylandProbe field;
        QVERIFY(field.start(u"org.example.Field"_s));

        // The first key wtype sends is lost unless it waits a little.
        run(u"wtype"_s,
            {u"-s"_s, u"30"_s, u"-M"_s, u"logo"_s, u"-M"_s, u"shift"_s, u"v"_s, u"-m"_s, u"shift"_s, u"-m"_s,
             u"logo"_s});
        QJsonObject window;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         window = focusedWindow();
                         return window.value(u"pid"_s).toInteger() == m_app.processId();
                     },
                     10000),
                 qPrintable(u"focused: "_s + window.value(u"app_id"_s).toString()));
        // Over the field, not tiled beside it.
        QCOMPARE(window.value(u"type"_s).toString(), u"floating_con"_s);

        const QString shot = m_root.filePath(u"hud.png"_s);
        run(u"grim"_s, {shot});
        const QJsonObject rect = window.value(u"rect"_s).toObject();
        const QImage hud = QImage(shot).copy(rect.value(u"x"_s).toInt(), rect.value(u"y"_s).toInt(),
                                             rect.value(u"width"_s).toInt(), rect.value(u"height"_s).toInt());
        QVERIFY(!hud.isNull());
        QSet<QRgb> colours;
        for (int y = 0; y < hud.height(); y += 3) {
            for (int x = 0; x < hud.width(); x += 3)
                colours.insert(hud.pixel(x, y));
        }
        // Text, rows and icons, not an empty surface.
        QVERIFY2(colours.size() > 20, qPrintable(QString::number(colours.size())));
        if (const QString keep = qEnvironmentVariable("VEXILO_KEEP_SHOT"); !keep.isEmpty())
            QFile::copy(shot, keep);

        run(u"wtype"_s, {u"-s"_s, u"30"_s, u"-k"_s, u"Return"_s});
        QVERIFY2(field.waitForText(u"chosen in the history"_s, 10000), qPrintable(field.lastText()));
    }
};

int main(int argc, char **argv)
{
    if (const int probe = Vexilo::Test::runWaylandProbeIfAsked(argc, argv); probe >= 0)
        return probe;
    QCoreApplication app(argc, argv);
    TestWaylandEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_e2e_wayland.moc"
