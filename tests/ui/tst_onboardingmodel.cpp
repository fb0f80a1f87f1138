// SPDX-License-Identifier: MIT
#include "GlobalHotkeyManager.h"
#include "InputTestRig.h"
#include "OnboardingModel.h"
#include "ShortcutsCheatsheet.h"

#include <QSignalSpy>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

// The onboarding card and the cheatsheet over the rig's fakes. Hotkeys the test refuses must be
// refused before create(), which registers.
struct OnboardingRig
{
    explicit OnboardingRig(const QList<ClipItem> &history = {})
        : rig(history)
    { }

    void create()
    {
        hotkeys = std::make_unique<GlobalHotkeyManager>(&rig.hotkeys, &rig.store, &rig.paste, &rig.windows,
                                                        &rig.fixture.settings(), [](const QString &) {});
        onboarding = std::make_unique<OnboardingModel>(*hotkeys, rig.permission, rig.store);
        cheatsheet = std::make_unique<ShortcutsCheatsheet>(hotkeys.get());
    }

    [[nodiscard]] QString firstCheatsheetKeys() const
    {
        return cheatsheet->rows().constFirst().toMap().value(u"keys"_s).toString();
    }

    InputTestRig rig;
    std::unique_ptr<GlobalHotkeyManager> hotkeys;
    std::unique_ptr<OnboardingModel> onboarding;
    std::unique_ptr<ShortcutsCheatsheet> cheatsheet;
};

} // namespace

class TestOnboardingModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void accessibility_data()
    {
        QTest::addColumn<bool>("keySynthesis");
        QTest::addColumn<bool>("keyMonitor");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<QString>("detail");

        QTest::newRow("both available") << true << true << true << u"Enabled for auto-paste and snippet expansion"_s;
        QTest::newRow("no key synthesis")
            << false << true << false << u"Required for auto-paste and snippet shortcuts"_s;
        // Nothing to ask for where only watching is withheld (Wayland).
        QTest::newRow("no key monitor")
            << true << false << false
            << u"Auto-paste works; snippet expansion is not available: keys cannot be watched"_s;
    }

    void accessibility()
    {
        QFETCH(bool, keySynthesis);
        QFETCH(bool, keyMonitor);
        QFETCH(bool, trusted);
        QFETCH(QString, detail);
        OnboardingRig o;
        o.rig.keys.setAvailable(keySynthesis);
        o.rig.keyEvents.setAvailable(keyMonitor);
        o.create();

        o.onboarding->refresh();
        QCOMPARE(o.onboarding->hasAccessibility(), trusted);
        QCOMPARE(o.onboarding->accessibilityDetail(), detail);
        QCOMPARE(o.onboarding->canRequestAccessibility(), !keySynthesis);

        // Read when the card appears, not watched afterwards.
        o.rig.keys.setAvailable(!trusted);
        o.rig.keyEvents.setAvailable(!trusted);
        QCOMPARE(o.onboarding->hasAccessibility(), trusted);
        o.onboarding->refresh();
        QCOMPARE(o.onboarding->hasAccessibility(), !trusted);
    }

    void hotkeyLine_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("detail");

        QTest::newRow("registered") << u"\u2325 + Space"_s << 0 << u"Alt+Space"_s;
        QTest::newRow("taken, Alt+Space")
            << u"\u2325 + Space"_s << 10 << u"Alt+Space is taken by another application; choose Alt+V in Preferences"_s;
        QTest::newRow("taken, Alt+V") << u"\u2325 + V"_s << 10
                                      << u"Alt+V is taken by another application; choose Alt+Space in Preferences"_s;
        QTest::newRow("no global hotkeys on this desktop")
            << u"\u2325 + Space"_s << -1
            << u"Alt+Space is not available on this desktop; bind \u201cvexilo toggle\u201d to a key in the "
               u"desktop's keyboard settings"_s;
    }

    void hotkeyLine()
    {
        QFETCH(QString, stored);
        QFETCH(int, refusal);
        QFETCH(QString, detail);
        OnboardingRig o;
        o.rig.fixture.settings().setValue(AppStorageKeys::globalHotkeyOption, stored);
        if (refusal != 0)
            o.rig.hotkeys.refuse(GlobalHotkeyManager::hudHotkeyId, refusal);
        o.create();

        QCOMPARE(o.onboarding->hotkeyDetail(), detail);
        QCOMPARE(o.onboarding->hotkeyRegistered(), refusal == 0);

        // Once the keys are free again, choosing a hotkey registers it and the line is just its name.
        o.rig.hotkeys.accept(GlobalHotkeyManager::hudHotkeyId);
        o.hotkeys->setCurrentHotkey(o.hotkeys->currentHotkey());
        QVERIFY(o.onboarding->hotkeyRegistered());
        QCOMPARE(o.onboarding->hotkeyDetail(), o.onboarding->hotkeyLabel());
    }

    void hotkeyChoiceReachesCheatsheet()
    {
        OnboardingRig o;
        o.create();
        QCOMPARE(o.firstCheatsheetKeys(), u"Alt+Space"_s);
        QSignalSpy rowsChanged(o.cheatsheet.get(), &ShortcutsCheatsheet::rowsChanged);
        QSignalSpy hotkeyChanged(o.onboarding.get(), &OnboardingModel::hotkeyChanged);

        o.hotkeys->setCurrentHotkey(GlobalHotkeyOption::OptionV);
        QCOMPARE(rowsChanged.count(), 1);
        QVERIFY(!hotkeyChanged.isEmpty());
        QCOMPARE(o.firstCheatsheetKeys(), u"Alt+V"_s);
        QCOMPARE(o.onboarding->hotkeyDetail(), u"Alt+V"_s);
        // Only the placeholder row follows the hotkey.
        QCOMPARE(o.cheatsheet->rows().size(), ShortcutsCheatsheet::table().size());
        QCOMPARE(o.cheatsheet->rows().at(1).toMap().value(u"keys"_s).toString(),
                 ShortcutsCheatsheet::table().at(1).keys);
    }

    void completion()
    {
        // A first start holds only the default snippets: the card is shown.
        OnboardingRig fresh;
        fresh.create();
        QVERIFY(!fresh.onboarding->completeIfHistoryExists());
        QVERIFY(!fresh.onboarding->isCompleted());
        QSignalSpy completed(fresh.onboarding.get(), &OnboardingModel::isCompletedChanged);
        fresh.onboarding->complete();
        QCOMPARE(completed.count(), 1);
        QVERIFY(fresh.rig.fixture.settings().boolValue(AppStorageKeys::hasCompletedOnboarding, false));

        // Someone with a history never sees it.
        ClipItem copied(QUuid::createUuid(), 0, ClipType::Text);
        copied.setTextContent(u"copied"_s);
        OnboardingRig used({snippet(u"mine"_s), copied});
        used.create();
        QVERIFY(used.onboarding->completeIfHistoryExists());
        QVERIFY(used.onboarding->isCompleted());
    }
};

QTEST_GUILESS_MAIN(TestOnboardingModel)
#include "tst_onboardingmodel.moc"
