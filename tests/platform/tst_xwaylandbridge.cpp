// SPDX-License-Identifier: MIT
// Runs inside a private headless sway with Xwayland (with-sway.sh, VEXILO_SWAY_XWAYLAND=1). It pins
// down the compositor's rule that makes an X11 clipboard watcher useless on Wayland: the clipboard is
// bridged between X11 and Wayland only while an X11 window has the keyboard. If a compositor
// upgrade changes that, this test says so.
#include "WaylandProbe.h"

#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;
using Vexilo::Test::WaylandProbe;

namespace {

// What X11 clients read as the clipboard; empty when the compositor hides it from them.
QString x11Clipboard()
{
    QProcess read;
    read.start(u"xclip"_s, {u"-o"_s, u"-selection"_s, u"clipboard"_s});
    if (!read.waitForFinished(5000))
        read.kill();
    return read.exitCode() == 0 ? QString::fromUtf8(read.readAllStandardOutput()) : QString();
}

QString waylandClipboard()
{
    QProcess read;
    read.start(u"wl-paste"_s, {u"-n"_s});
    if (!read.waitForFinished(5000))
        read.kill();
    return QString::fromUtf8(read.readAllStandardOutput());
}

bool run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    return process.waitForFinished(5000) && process.exitCode() == 0;
}

} // namespace

class TestXwaylandBridge : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theClipboardCrossesOnlyWhileAnX11WindowHasFocus()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "Xwayland did not start");
        QVERIFY(run(u"wl-copy"_s, {u"--"_s, u"copied on Wayland"_s}));

        WaylandProbe waylandWindow;
        QVERIFY(waylandWindow.start(u"org.example.WaylandWindow"_s));
        QCOMPARE(x11Clipboard(), QString());

        WaylandProbe x11Window;
        QVERIFY(x11Window.start(u"org.example.X11Window"_s, {}, u"xcb"_s));
        QVERIFY(QTest::qWaitFor([] { return x11Clipboard() == u"copied on Wayland"_s; }, 5000));

        // And the other way, while the X11 window still has focus.
        QProcess x11Copy;
        x11Copy.start(u"xclip"_s, {u"-i"_s, u"-selection"_s, u"clipboard"_s});
        x11Copy.write("copied on X11");
        x11Copy.closeWriteChannel();
        QVERIFY(QTest::qWaitFor([] { return waylandClipboard() == u"copied on X11"_s; }, 5000));
        x11Copy.waitForFinished(5000);
    }
};

int main(int argc, char **argv)
{
    if (const int probe = Vexilo::Test::runWaylandProbeIfAsked(argc, argv); probe >= 0)
        return probe;
    QCoreApplication app(argc, argv);
    TestXwaylandBridge test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xwaylandbridge.moc"
