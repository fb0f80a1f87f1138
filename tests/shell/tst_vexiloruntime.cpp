// SPDX-License-Identifier: MIT
#include "FakeLoginItem.h"
#include "GlobalHotkeyManager.h"
#include "InputTestRig.h"
#include "LaunchAtLoginManager.h"
#include "SnippetShortcutManager.h"
#include "VexiloRuntime.h"

#include <QFile>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

namespace {

// The runtime over the input services of the rig.
struct RuntimeRig
{
    RuntimeRig()
        : hotkeyManager(&rig.hotkeys, &rig.store, &rig.paste, &rig.windows, &rig.fixture.settings(),
                        [this](const QString &line) { log.append(line); })
        , snippets(&rig.keyEvents, &rig.store, &rig.paste, &rig.workspace)
        , launchAtLogin(loginItem, [this](const QString &line) { log.append(line); })
        , runtime({&rig.focus, &rig.monitor, &hotkeyManager, &snippets, &launchAtLogin, &rig.store,
                   [this] { ++afterStartCalls; }})
    { }

    [[nodiscard]] int registrations() const
    {
        return int(rig.hotkeys.calls().filter(QRegularExpression(QStringLiteral("^register "))).size() -
                   rig.hotkeys.calls().filter(QRegularExpression(QStringLiteral("^unregister "))).size());
    }

    InputTestRig rig;
    QStringList log;
    FakeLoginItem loginItem;
    GlobalHotkeyManager hotkeyManager;
    SnippetShortcutManager snippets;
    LaunchAtLoginManager launchAtLogin;
    int afterStartCalls = 0;
    VexiloRuntime runtime;
};

} // namespace

class TestVexiloRuntime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startingTwiceStartsOnce()
    {
        RuntimeRig r;
        r.runtime.startServices();
        const QStringList callsAfterFirst = r.rig.hotkeys.calls();
        r.runtime.startServices();

        QVERIFY(r.runtime.servicesStarted());
        QVERIFY(r.rig.monitor.isMonitoring());
        QCOMPARE(r.rig.keyEvents.startCount(), 1);
        QCOMPARE(r.rig.hotkeys.calls(), callsAfterFirst);
        QCOMPARE(r.registrations(), 10); // history + nine slots
        QCOMPARE(r.loginItem.enableCalls(), 1);
        QVERIFY(QTest::qWaitFor([&] { return r.afterStartCalls > 0; }, 5000));
        QTest::qWait(100);
        QCOMPARE(r.afterStartCalls, 1);
    }

    void launchAtLoginIsLeftAloneWhenSwitchedOff()
    {
        RuntimeRig r;
        r.rig.store.setLaunchAtLogin(false);
        const int before = r.loginItem.enableCalls() + r.loginItem.disableCalls();
        r.runtime.startServices();
        QCOMPARE(r.loginItem.enableCalls() + r.loginItem.disableCalls(), before);
        QVERIFY(!r.loginItem.isEnabled());
    }

    void stoppingReleasesEverythingAndSavesOnce()
    {
        RuntimeRig r;
        r.runtime.stopServices(); // before start: nothing to stop, nothing saved
        QVERIFY(!QFile::exists(r.rig.fixture.historyFile()));

        r.runtime.startServices();
        r.rig.store.addTextItem(QStringLiteral("kept at exit"));
        // Deleted just before quitting: still undoable, but final once the application stops.
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::red);
        r.rig.store.deleteItem(*r.rig.store.item(r.rig.store.addImageItem(image).id), true);
        QCOMPARE(r.rig.fixture.imageFiles().size(), 1);
        r.runtime.stopServices();
        QVERIFY(r.rig.fixture.imageFiles().isEmpty());

        QVERIFY(!r.runtime.servicesStarted());
        QVERIFY(!r.rig.monitor.isMonitoring());
        QVERIFY(!r.rig.keyEvents.isRunning());
        QCOMPARE(r.registrations(), 0);
        QList<ClipItem> saved = r.rig.fixture.readHistory();
        saved.removeIf([](const ClipItem &clip) { return clip.isSnippet(); });
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.first().textContent(), QStringLiteral("kept at exit"));

        // A second stop does not write again.
        QVERIFY(QFile::remove(r.rig.fixture.historyFile()));
        r.runtime.stopServices();
        QVERIFY(!QFile::exists(r.rig.fixture.historyFile()));
    }

    void aCopyIsRecordedOnceStarted()
    {
        RuntimeRig r;
        r.rig.pasteboard.setText(QStringLiteral("before start"));
        r.runtime.startServices();
        r.rig.pasteboard.setText(QStringLiteral("after start"));
        QVERIFY(QTest::qWaitFor([&] { return !r.rig.history().isEmpty(); }, 3000));
        QCOMPARE(r.rig.history().first().textContent(), QStringLiteral("after start"));
        QCOMPARE(r.rig.history().size(), 1);
    }
};

QTEST_MAIN(TestVexiloRuntime)
#include "tst_vexiloruntime.moc"
