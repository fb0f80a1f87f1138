// SPDX-License-Identifier: MIT
#include "GlobalHotkeyManager.h"
#include "InputTestRig.h"

#include <QSignalSpy>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

const QString optionSpaceRaw = u"\u2325 + Space"_s;
const QString optionVRaw = u"\u2325 + V"_s;

// A hotkey manager over the rig's fakes, with its own log.
struct HotkeyRig
{
    explicit HotkeyRig(const QList<ClipItem> &history = {})
        : rig(history)
    { }

    GlobalHotkeyManager &create()
    {
        manager = std::make_unique<GlobalHotkeyManager>(&rig.hotkeys, &rig.store, &rig.paste, &rig.windows,
                                                        &rig.fixture.settings(),
                                                        [this](const QString &line) { log.append(line); });
        return *manager;
    }

    [[nodiscard]] QString storedOption()
    {
        return rig.fixture.settings().value(AppStorageKeys::globalHotkeyOption).toString();
    }

    InputTestRig rig;
    QStringList log;
    std::unique_ptr<GlobalHotkeyManager> manager;
};

} // namespace

class TestGlobalHotkeyManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedOptionOnConstruction_data()
    {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<GlobalHotkeyOption>("option");
        QTest::addColumn<QString>("writtenBack");

        // A raw value is taken; anything else becomes Alt+Space and is overwritten.
        QTest::newRow("never set") << std::optional<QString>() << GlobalHotkeyOption::OptionSpace << optionSpaceRaw;
        QTest::newRow("option V") << std::optional<QString>(optionVRaw) << GlobalHotkeyOption::OptionV << optionVRaw;
        QTest::newRow("unknown value") << std::optional<QString>(u"Ctrl + Shift + V"_s)
                                       << GlobalHotkeyOption::OptionSpace << optionSpaceRaw;
        QTest::newRow("display label is not a raw value")
            << std::optional<QString>(u"Alt+V"_s) << GlobalHotkeyOption::OptionSpace << optionSpaceRaw;
    }

    void storedOptionOnConstruction()
    {
        QFETCH(std::optional<QString>, stored);
        QFETCH(GlobalHotkeyOption, option);
        QFETCH(QString, writtenBack);

        HotkeyRig h;
        if (stored)
            h.rig.fixture.settings().setValue(AppStorageKeys::globalHotkeyOption, *stored);
        GlobalHotkeyManager &manager = h.create();
        QCOMPARE(manager.currentHotkey(), option);
        QCOMPARE(h.storedOption(), writtenBack);
        QVERIFY(h.rig.fixture.settings().containsStored(AppStorageKeys::globalHotkeyOption));
        QCOMPARE(h.rig.hotkeys.registrations().value(1).keyCode, GlobalHotkeyOptions::keyCode(option));
        QCOMPARE(h.log, QStringList{u"Vexilo: Registered global hotkey "_s + writtenBack});
    }

    void changingTheOption()
    {
        HotkeyRig h;
        GlobalHotkeyManager &manager = h.create();
        manager.start();
        QSignalSpy changed(&manager, &GlobalHotkeyManager::currentHotkeyChanged);
        h.rig.hotkeys.clearCalls();
        h.log.clear();

        manager.setCurrentHotkey(GlobalHotkeyOption::OptionV);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(h.rig.hotkeys.calls().first(), u"unregister 1"_s);
        QVERIFY(h.rig.hotkeys.calls().indexOf(u"register 1 9 800"_s) >
                h.rig.hotkeys.calls().lastIndexOf(u"unregister 19"_s));
        QCOMPARE(h.rig.hotkeys.registrations().size(), 10);
        QCOMPARE(h.rig.hotkeys.registrations().value(1), (FakeHotkeyService::Registration{9, 0x800}));
        QCOMPARE(h.log, QStringList{u"Vexilo: Registered global hotkey "_s + optionVRaw});
        QCOMPARE(h.storedOption(), optionVRaw);

        // Through the property, as the settings view sets it.
        QVERIFY(manager.setProperty("currentHotkey", QVariant::fromValue(GlobalHotkeyOption::OptionSpace)));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(h.rig.hotkeys.registrations().value(1).keyCode, 49u);
        QCOMPARE(h.storedOption(), optionSpaceRaw);
    }

    void hudHotkeyThatCannotBeRegistered()
    {
        HotkeyRig h;
        h.rig.hotkeys.refuse(1, -9878);
        GlobalHotkeyManager &manager = h.create();
        QCOMPARE(h.log, QStringList{u"Vexilo: Failed to register hotkey "_s + optionSpaceRaw + u", error: -9878"_s});
        const HotkeyRegistrationStatus status = manager.status();
        QVERIFY(!status.hudRegistered);
        QCOMPARE(status.hudError, -9878);
        QCOMPARE(status.registeredSlots, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(h.storedOption(), optionSpaceRaw);

        // Choosing the option again retries; it is no change, so nothing is announced.
        QSignalSpy changed(&manager, &GlobalHotkeyManager::currentHotkeyChanged);
        h.rig.hotkeys.accept(1);
        manager.setCurrentHotkey(GlobalHotkeyOption::OptionSpace);
        QVERIFY(manager.status().hudRegistered);
        QCOMPARE(manager.status().hudError, 0);
        QCOMPARE(changed.size(), 0);
        QCOMPARE(h.log.last(), u"Vexilo: Registered global hotkey "_s + optionSpaceRaw);
    }

    void slotsThatCannotBeRegisteredAreSkippedSilently()
    {
        HotkeyRig h;
        h.rig.hotkeys.refuse(13, 1);
        h.rig.hotkeys.refuse(19, 1);
        GlobalHotkeyManager &manager = h.create();
        QCOMPARE(h.log.size(), 1);
        QCOMPARE(manager.status().registeredSlots, (QList<int>{1, 2, 4, 5, 6, 7, 8}));

        // Only what is held is released.
        h.rig.hotkeys.clearCalls();
        manager.stop();
        QVERIFY(!h.rig.hotkeys.calls().contains(u"unregister 13"_s));
        QCOMPARE(h.rig.hotkeys.calls().size(), 8);
        QVERIFY(h.rig.hotkeys.registrations().isEmpty());
        QVERIFY(!manager.status().hudRegistered);
        QVERIFY(manager.status().registeredSlots.isEmpty());
    }

    void pressesAreHandledBetweenStartAndStop()
    {
        HotkeyRig h;
        GlobalHotkeyManager &manager = h.create();
        // Registered at construction, but nothing handles presses before start().
        h.rig.hotkeys.press(1);
        QTest::qWait(20);
        QVERIFY(h.rig.windows.calls.isEmpty());

        manager.start();
        QVERIFY(manager.isHandlingPresses());
        h.rig.hotkeys.press(1);
        // Acted on after the delivery returns.
        QVERIFY(h.rig.windows.calls.isEmpty());
        QTRY_COMPARE(h.rig.windows.calls, QStringList{u"toggleHud"_s});
        QVERIFY(h.rig.windows.hudVisible);
        h.rig.hotkeys.press(1);
        QTRY_COMPARE(h.rig.windows.calls.size(), 2);
        QVERIFY(!h.rig.windows.hudVisible);

        // Ids of no hotkey do nothing.
        for (const quint32 id : {0u, 2u, 10u, 20u, 99u})
            Q_EMIT h.rig.hotkeys.hotkeyPressed(id);

        manager.stop();
        QVERIFY(!manager.isHandlingPresses());
        Q_EMIT h.rig.hotkeys.hotkeyPressed(1);
        QTest::qWait(20);
        QCOMPARE(h.rig.windows.calls.size(), 2);
        QVERIFY(h.rig.pasteboard.writes().isEmpty());

        // Starting twice handles each press once.
        manager.start();
        manager.start();
        QCOMPARE(h.rig.hotkeys.registrations().size(), 10);
        h.rig.hotkeys.press(1);
        QTRY_COMPARE(h.rig.windows.calls.size(), 3);
        QTest::qWait(20);
        QCOMPARE(h.rig.windows.calls.size(), 3);
    }

    void slotPress_data()
    {
        QTest::addColumn<QList<ClipItem>>("history");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("pasted");

        StoreFixture clips;
        const QList<ClipItem> two = {clips.textClip(u"newest"_s, 10), clips.textClip(u"older"_s, 20),
                                     snippet(u"a snippet"_s, {}, clips.clock)};
        // Beyond the history: nothing.
        QTest::newRow("slot 3 with two clips") << two << 3 << QString();

        // Pinned clips come first, newest first; snippets never count.
        const QList<ClipItem> mixed = {snippet(u"snippet newest"_s, {}, clips.clock), clips.textClip(u"newest"_s, 10),
                                       clips.textClip(u"older"_s, 20), clips.textClip(u"pinned old"_s, 100, true),
                                       clips.textClip(u"pinned new"_s, 50, true)};
        QTest::newRow("slot 1 is the newest pinned") << mixed << 1 << u"pinned new"_s;
        QTest::newRow("slot 3 is the newest unpinned") << mixed << 3 << u"newest"_s;
        QTest::newRow("slot 5 skips the snippet") << mixed << 5 << QString();

        QList<ClipItem> twelve = {snippet(u"s"_s)};
        for (int i = 1; i <= 12; ++i)
            twelve.append(clips.textClip(u"clip %1"_s.arg(i), i));
        QTest::newRow("slot 9 of twelve") << twelve << 9 << u"clip 9"_s;
    }

    void slotPress()
    {
        QFETCH(QList<ClipItem>, history);
        QFETCH(int, slot);
        QFETCH(QString, pasted);

        HotkeyRig h(history);
        h.create().start();
        h.rig.hotkeys.press(quint32(10 + slot));
        if (pasted.isEmpty()) {
            QTest::qWait(20);
            QVERIFY(h.rig.pasteboard.writes().isEmpty());
            QVERIFY(h.rig.windows.calls.isEmpty());
            return;
        }
        QTRY_COMPARE(h.rig.pasteboard.contents().string, std::optional<QString>(pasted));
        QCOMPARE(h.rig.windows.calls.first(), u"dismissMainInterface"_s);
        QTRY_COMPARE(h.rig.keys.postedKeyCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestGlobalHotkeyManager)
#include "tst_globalhotkeymanager.moc"
