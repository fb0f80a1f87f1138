// SPDX-License-Identifier: MIT
// Runs inside a private headless sway (tests/support/with-sway.sh). The windows are probes
// (tests/support/WaylandProbe), so what the keystrokes did is read from the target itself.
#include "DesktopFiles.h"
#include "KeyCodes.h"
#include "WaylandKeySynthesizer.h"
#include "WaylandProbe.h"
#include "WaylandWorkspace.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Vexilo;
using Vexilo::Test::WaylandProbe;
using namespace Qt::StringLiterals;

class TestWaylandWindowsAndKeys : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_applications;
    std::unique_ptr<DesktopFiles> m_desktopFiles;
    std::unique_ptr<WaylandWorkspace> m_workspace;
    QStringList m_log;

    bool waitForFrontmost(const QString &bundleId)
    {
        return QTest::qWaitFor(
            [&] {
                const auto front = m_workspace->frontmostApplication();
                return front && front->bundleId == bundleId;
            },
            5000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QFile entry(m_applications.filePath(u"org.example.Probe.desktop"_s));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Example Probe\nExec=probe\nIcon=probe\n");
        entry.close();
        m_desktopFiles = std::make_unique<DesktopFiles>(QStringList{m_applications.path()});
        m_workspace = WaylandWorkspace::create(m_desktopFiles.get(), [this](const QString &l) { m_log.append(l); });
        QVERIFY2(m_workspace, qPrintable(m_log.join(u'\n')));
    }

    void noDisplayGivesNoBackends()
    {
        QVERIFY(!WaylandWorkspace::create(nullptr, {}, u"/nonexistent/wayland-9"_s));
        QVERIFY(!WaylandKeySynthesizer::create({}, u"/nonexistent/wayland-9"_s));
    }

    void theFocusedWindowIsFrontmostAndCanBeBroughtBack()
    {
        QSignalSpy activated(m_workspace.get(), &Workspace::applicationActivated);
        WaylandProbe first;
        QVERIFY(first.start(u"org.example.Probe"_s));
        QVERIFY(waitForFrontmost(u"org.example.Probe"_s));
        const RunningApplication probe = *m_workspace->frontmostApplication();
        // Named by its desktop file; an app_id without one stands for itself.
        QCOMPARE(probe.name, u"Example Probe"_s);
        QVERIFY(!activated.isEmpty());

        WaylandProbe second;
        QVERIFY(second.start(u"unlisted-tool"_s));
        QVERIFY(waitForFrontmost(u"unlisted-tool"_s));
        QCOMPARE(m_workspace->frontmostApplication()->name, u"unlisted-tool"_s);
        QCOMPARE(m_workspace->runningApplicationIds(), (QStringList{u"org.example.Probe"_s, u"unlisted-tool"_s}));

        QVERIFY(m_workspace->activate(probe));
        QVERIFY(waitForFrontmost(u"org.example.Probe"_s));
        QCOMPARE(m_workspace->frontmostApplication()->windowId, probe.windowId);

        QVERIFY(!m_workspace->isTerminated(probe));
        first.kill();
        first.waitForFinished(5000);
        QVERIFY(QTest::qWaitFor([&] { return m_workspace->isTerminated(probe); }, 5000));
        QVERIFY(!m_workspace->activate(probe));
        QCOMPARE(m_workspace->runningApplicationIds(), QStringList{u"unlisted-tool"_s});
    }

    void keysReachTheFocusedField()
    {
        auto keys = WaylandKeySynthesizer::create([this](const QString &l) { m_log.append(l); });
        QVERIFY(keys);
        QVERIFY2(keys->isAvailable(), qPrintable(keys->unavailableReason()));
        QVERIFY(keys->unavailableReason().isEmpty());

        WaylandProbe field;
        QVERIFY(field.start(u"org.example.Field"_s, u"abc"_s));
        QVERIFY(waitForFrontmost(u"org.example.Field"_s));

        keys->postKey(KeyCodes::Delete, 0, true);
        keys->postKey(KeyCodes::Delete, 0, false);
        QVERIFY(field.waitForText(u"ab"_s));

        // Ctrl+V pastes what another client copied: the modifier reached the field with the key.
        QProcess copy;
        copy.start(u"wl-copy"_s, {u"--"_s, u"+pasted ✓"_s});
        QVERIFY(copy.waitForFinished(5000));
        keys->postKey(KeyCodes::V, KeyCodes::CommandFlag, true);
        keys->postKey(KeyCodes::V, KeyCodes::CommandFlag, false);
        QVERIFY2(field.waitForText(u"ab+pasted ✓"_s), qPrintable(field.lastText()));

        // The modifier was released: a plain key types again.
        keys->postKey(KeyCodes::V, 0, true);
        keys->postKey(KeyCodes::V, 0, false);
        QVERIFY2(field.waitForText(u"ab+pasted ✓v"_s), qPrintable(field.lastText()));
    }
};

int main(int argc, char **argv)
{
    if (const int probe = Vexilo::Test::runWaylandProbeIfAsked(argc, argv); probe >= 0)
        return probe;
    QCoreApplication app(argc, argv);
    TestWaylandWindowsAndKeys test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_waylandwindowsandkeys.moc"
