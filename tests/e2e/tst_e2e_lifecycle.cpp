// SPDX-License-Identifier: MIT
// The running application: one per session, driven by the command-line client, and never losing a
// capture when it stops, whether it is asked to or killed.
#include "AppWorld.h"

#include <QTest>
#include <QThread>
#include <csignal>

using namespace Vexilo;
using namespace Vexilo::Test;

class TestLifecycleEndToEnd : public QObject
{
    Q_OBJECT

private:
    AppWorld m_world;

private Q_SLOTS:
    void commandsReachTheRunningApplication()
    {
        QVERIFY(m_world.startApplication());
        const AppWorld::Result status = m_world.vexilo({QStringLiteral("status")});
        QCOMPARE(status.exitCode, 0);
        QVERIFY2(status.out.contains(QStringLiteral("Recording")), qPrintable(status.out));
        QVERIFY(status.out.contains(QStringLiteral("Alt+Space")));

        // The history is the application's: a command is served by it, not by a second owner.
        const AppWorld::Result added = m_world.vexilo({QStringLiteral("add"), QStringLiteral("through the app")});
        QCOMPARE(added.exitCode, 0);
        QVERIFY(m_world.vexilo({QStringLiteral("list")}).out.contains(QStringLiteral("through the app")));
        QCOMPARE(m_world.vexilo({QStringLiteral("add"), QStringLiteral("through the app")}).exitCode, 3);

        // Paused: copies are consumed and never recorded, even after resuming.
        QCOMPARE(m_world.vexilo({QStringLiteral("pause")}).exitCode, 0);
        QVERIFY(m_world.vexilo({QStringLiteral("status")}).out.contains(QStringLiteral("Paused")));
        m_world.copy("copied while paused");
        QThread::msleep(800);
        QCOMPARE(m_world.vexilo({QStringLiteral("resume")}).exitCode, 0);
        m_world.copy("copied after resuming");
        QVERIFY(m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("copied after resuming"))));
        QVERIFY(!m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("copied while paused")), 200));
        QCOMPARE(m_world.vexilo({QStringLiteral("toggle")}).exitCode, 0);
    }

    void aSecondStartHandsOver()
    {
        QVERIFY(m_world.applicationRunning());
        QProcess second;
        second.setProcessEnvironment(m_world.environment());
        second.start(QStringLiteral(VEXILO_BINARY), {});
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(m_world.applicationRunning());
    }

    void quitRightAfterACaptureKeepsIt()
    {
        QVERIFY(m_world.applicationRunning());
        // Quit at once, while the capture's own save may still be waiting for its debounce.
        m_world.copy("captured just before quitting");
        QVERIFY(m_world.quitApplication());
        const QList<ClipItem> saved = m_world.historyFile();
        QVERIFY(std::any_of(saved.cbegin(), saved.cend(),
                            AppWorld::textIs(QStringLiteral("captured just before quitting"))));
    }

    void killedHalfASecondAfterACapture()
    {
        QVERIFY(m_world.startApplication());
        m_world.copy("captured before a crash");
        QVERIFY(m_world.waitForListedClip(AppWorld::textIs(QStringLiteral("captured before a crash"))));
        QThread::msleep(500);
        m_world.killApplication();
        const QList<ClipItem> saved = m_world.historyFile();
        QVERIFY(std::any_of(saved.cbegin(), saved.cend(), AppWorld::textIs(QStringLiteral("captured before a crash"))));
        // And the next start takes the history over from the dead process.
        QVERIFY(m_world.startApplication());
        QVERIFY(m_world.vexilo({QStringLiteral("list")}).out.contains(QStringLiteral("captured before a crash")));
        QVERIFY(m_world.quitApplication());
    }
};

QTEST_GUILESS_MAIN(TestLifecycleEndToEnd)
#include "tst_e2e_lifecycle.moc"
