// SPDX-License-Identifier: MIT
#include "GlobalHotkeyManager.h"
#include "InputTestRig.h"
#include "KeyCodes.h"

#include <QSignalSpy>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

namespace {

const QString optionSpaceRaw = QStringLiteral("\u2325 + Space");
const QString optionVRaw = QStringLiteral("\u2325 + V");

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

ClipItem snippet(const QString &text, double createdAt)
{
    ClipItem clip(QUuid::createUuid(), createdAt, ClipType::Snippets, false, {}, true);
    clip.setTextContent(text);
    clip.setSnippetTitle(text);
    return clip;
}

} // namespace

class TestGlobalHotkeyManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void options_data()
    {
        QTest::addColumn<GlobalHotkeyOption>("option");
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("label");
        QTest::addColumn<quint32>("keyCode");

        // Stored as on every platform, shown with the Linux key names.
        QTest::newRow("optionV") << GlobalHotkeyOption::OptionV << optionVRaw << QStringLiteral("Alt+V") << 9u;
        QTest::newRow("optionSpace") << GlobalHotkeyOption::OptionSpace << optionSpaceRaw << QStringLiteral("Alt+Space")
                                     << 49u;
    }

    void options()
    {
        QFETCH(GlobalHotkeyOption, option);
        QFETCH(QString, raw);
        QFETCH(QString, label);
        QFETCH(quint32, keyCode);

        QCOMPARE(GlobalHotkeyOptions::rawValue(option), raw);
        QCOMPARE(GlobalHotkeyOptions::fromRawValue(raw), std::optional<GlobalHotkeyOption>(option));
        QCOMPARE(GlobalHotkeyOptions::displayLabel(option), label);
        QCOMPARE(GlobalHotkeyOptions::keyCode(option), keyCode);
        QCOMPARE(GlobalHotkeyOptions::modifiers(option), 0x800u);
        QCOMPARE(GlobalHotkeyOptions::defaultOption, GlobalHotkeyOption::OptionSpace);
    }

    void registrations_data()
    {
        QTest::addColumn<quint32>("id");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");

        // The HUD hotkey with Alt, the nine direct-paste hotkeys with Ctrl+Alt on the main-row digits.
        QTest::newRow("HUD") << 1u << 49u << 0x800u;
        const quint32 digitKeys[9] = {18, 19, 20, 21, 23, 22, 26, 28, 25};
        for (quint32 slot = 1; slot <= 9; ++slot)
            QTest::addRow("slot %u", slot) << 10 + slot << digitKeys[slot - 1] << 0x900u;
    }

    void registrations()
    {
        QFETCH(quint32, id);
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);

        HotkeyRig h;
        h.create();
        QCOMPARE(h.rig.hotkeys.registrations().size(), 10);
        QVERIFY(h.rig.hotkeys.isRegistered(id));
        QCOMPARE(h.rig.hotkeys.registrations().value(id), (FakeHotkeyService::Registration{keyCode, modifiers}));
    }

    void storedOptionOnConstruction_data()
    {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<GlobalHotkeyOption>("option");
        QTest::addColumn<QString>("writtenBack");

        // A raw value is taken; anything else becomes Alt+Space and is overwritten.
        QTest::newRow("never set") << std::optional<QString>() << GlobalHotkeyOption::OptionSpace << optionSpaceRaw;
        QTest::newRow("option V") << std::optional<QString>(optionVRaw) << GlobalHotkeyOption::OptionV << optionVRaw;
        QTest::newRow("option space") << std::optional<QString>(optionSpaceRaw) << GlobalHotkeyOption::OptionSpace
                                      << optionSpaceRaw;
        QTest::newRow("unknown value") << std::optional<QString>(QStringLiteral("Ctrl + Shift + V"))
                                       << GlobalHotkeyOption::OptionSpace << optionSpaceRaw;
        QTest::newRow("display label is not a raw value")
            << std::optional<QString>(QStringLiteral("Alt+V")) << GlobalHotkeyOption::OptionSpace << optionSpaceRaw;
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
        QCOMPARE(h.log, QStringList{QStringLiteral("Vexilo: Registered global hotkey ") + writtenBack});
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
        QCOMPARE(h.rig.hotkeys.calls().first(), QStringLiteral("unregister 1"));
        QVERIFY(h.rig.hotkeys.calls().indexOf(QStringLiteral("register 1 9 800")) >
                h.rig.hotkeys.calls().lastIndexOf(QStringLiteral("unregister 19")));
        QCOMPARE(h.rig.hotkeys.registrations().size(), 10);
        QCOMPARE(h.rig.hotkeys.registrations().value(1), (FakeHotkeyService::Registration{9, 0x800}));
        QCOMPARE(h.log, QStringList{QStringLiteral("Vexilo: Registered global hotkey ") + optionVRaw});
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
        QCOMPARE(h.log,
                 QStringList{QStringLiteral("Vexilo: Failed to register hotkey ") + optionSpaceRaw +
                             QStringLiteral(", error: -9878")});
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
        QCOMPARE(h.log.last(), QStringLiteral("Vexilo: Registered global hotkey ") + optionSpaceRaw);
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
        QVERIFY(!h.rig.hotkeys.calls().contains(QStringLiteral("unregister 13")));
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
        QTRY_COMPARE(h.rig.windows.calls, QStringList{QStringLiteral("toggleHud")});
        QVERIFY(h.rig.windows.hudVisible);
        h.rig.hotkeys.press(1);
        QTRY_COMPARE(h.rig.windows.calls.size(), 2);
        QVERIFY(!h.rig.windows.hudVisible);

        manager.stop();
        QVERIFY(!manager.isHandlingPresses());
        Q_EMIT h.rig.hotkeys.hotkeyPressed(1);
        QTest::qWait(20);
        QCOMPARE(h.rig.windows.calls.size(), 2);

        // Starting twice handles each press once.
        manager.start();
        manager.start();
        QCOMPARE(h.rig.hotkeys.registrations().size(), 10);
        h.rig.hotkeys.press(1);
        QTRY_COMPARE(h.rig.windows.calls.size(), 3);
        QTest::qWait(20);
        QCOMPARE(h.rig.windows.calls.size(), 3);
    }

    void unknownIdsDoNothing()
    {
        HotkeyRig h;
        h.create().start();
        for (const quint32 id : {0u, 2u, 10u, 20u, 99u})
            Q_EMIT h.rig.hotkeys.hotkeyPressed(id);
        QTest::qWait(20);
        QVERIFY(h.rig.windows.calls.isEmpty());
        QVERIFY(h.rig.pasteboard.writes().isEmpty());
    }

    void slotPress_data()
    {
        QTest::addColumn<QList<ClipItem>>("history");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("pasted");

        StoreFixture clips;
        const QList<ClipItem> two = {clips.textClip(QStringLiteral("newest"), 10),
                                     clips.textClip(QStringLiteral("older"), 20),
                                     snippet(QStringLiteral("a snippet"), clips.clock)};
        // Beyond the history: nothing.
        QTest::newRow("slot 3 with two clips") << two << 3 << QString();
        QTest::newRow("slot 2 with two clips") << two << 2 << QStringLiteral("older");

        // Pinned clips come first, newest first; snippets never count.
        const QList<ClipItem> mixed = {
            snippet(QStringLiteral("snippet newest"), clips.clock), clips.textClip(QStringLiteral("newest"), 10),
            clips.textClip(QStringLiteral("older"), 20), clips.textClip(QStringLiteral("pinned old"), 100, true),
            clips.textClip(QStringLiteral("pinned new"), 50, true)};
        QTest::newRow("slot 1 is the newest pinned") << mixed << 1 << QStringLiteral("pinned new");
        QTest::newRow("slot 2 is the older pinned") << mixed << 2 << QStringLiteral("pinned old");
        QTest::newRow("slot 3 is the newest unpinned") << mixed << 3 << QStringLiteral("newest");
        QTest::newRow("slot 5 skips the snippet") << mixed << 5 << QString();

        QList<ClipItem> twelve = {snippet(QStringLiteral("s"), 0)};
        for (int i = 1; i <= 12; ++i)
            twelve.append(clips.textClip(QStringLiteral("clip %1").arg(i), i));
        QTest::newRow("slot 9 of twelve") << twelve << 9 << QStringLiteral("clip 9");
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
        QCOMPARE(h.rig.windows.calls.first(), QStringLiteral("dismissMainInterface"));
        QTRY_COMPARE(h.rig.keys.postedKeyCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TestGlobalHotkeyManager)
#include "tst_globalhotkeymanager.moc"
