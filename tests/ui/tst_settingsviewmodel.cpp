// SPDX-License-Identifier: MIT
#include "AlertPresenter.h"
#include "GlobalHotkeyManager.h"
#include "HistoryExporter.h"
#include "InputTestRig.h"
#include "SaveFileChooser.h"
#include "SettingsViewModel.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

// Answers each save dialog with the next queued path; nothing queued is a cancelled dialog.
class FakeSaveFileChooser : public SaveFileChooser
{
public:
    void chooseSaveLocation(const SaveRequest &request, Answer answer) override
    {
        requests.append(request);
        answer(answers.isEmpty() ? std::nullopt : answers.takeFirst());
    }
    QList<std::optional<QString>> answers;
    QList<SaveRequest> requests;
};

// The user picks `choice` in every alert.
class FakeAlertPresenter : public AlertPresenter
{
public:
    void present(const Alert &alert, std::function<void(int)> done) override
    {
        shown.append(alert);
        done(choice);
    }
    int choice = -1;
    QList<Alert> shown;
};

struct SettingsRig
{
    explicit SettingsRig(const QList<ClipItem> &history = {})
        : rig(history)
        , hotkeys(&rig.hotkeys, &rig.store, &rig.paste, &rig.windows, &rig.fixture.settings(), [](const QString &) {})
        , exporter(rig.store, chooser, [] { return qint64(1700000000); })
        , model(SettingsViewModel::Dependencies{&rig.store,
                                                &hotkeys,
                                                &rig.permission,
                                                &exporter,
                                                &alerts,
                                                [this](bool on) { launchRequests.append(on); },
                                                {},
                                                [this] { return runningIds; },
                                                u"Version 1.0.0 (1)"_s,
                                                rig.fixture.storageDirectory()})
    { }

    [[nodiscard]] QString exportPath(const QString &name) const { return rig.fixture.rootPath() + u'/' + name; }

    InputTestRig rig;
    FakeSaveFileChooser chooser;
    FakeAlertPresenter alerts;
    GlobalHotkeyManager hotkeys;
    HistoryExporter exporter;
    QList<bool> launchRequests;
    QStringList runningIds;
    SettingsViewModel model;
};

QVariant valueLabelled(const QVariantList &options, const QString &label)
{
    for (const QVariant &entry : options) {
        if (entry.toMap().value(u"label"_s).toString() == label)
            return entry.toMap().value(u"value"_s);
    }
    return {};
}

} // namespace

class TestSettingsViewModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void excludedApplications_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("changes");

        const QStringList defaults = AppStorageKeys::defaultIgnoredAppBundleIds();
        QStringList withNew = defaults + QStringList{u"org.example.app"_s};
        withNew.sort();
        QTest::newRow("trimmed") << u"  org.example.app \n"_s << true << withNew << true;
        QTest::newRow("blank") << u" \t\n"_s << false << defaults << false;
        QTest::newRow("already excluded") << u" org.keepassxc.keepassxc"_s << true << defaults << false;
    }

    void excludedApplications()
    {
        QFETCH(QString, input);
        QFETCH(bool, accepted);
        QFETCH(QStringList, expected);
        QFETCH(bool, changes);
        SettingsRig s;
        expected.sort();
        QSignalSpy changed(&s.model, &SettingsViewModel::excludedApplicationsChanged);

        QCOMPARE(s.model.canAddExcluded(input), accepted);
        QCOMPARE(s.model.addExcluded(input), accepted);
        QCOMPARE(s.model.excludedApplications(), expected);
        QCOMPARE(changed.count(), changes ? 1 : 0);
        if (changes)
            QCOMPARE(s.rig.fixture.settings().stringListValue(AppStorageKeys::ignoredAppBundleIds), expected);
    }

    void removingEveryExcludedApplication()
    {
        SettingsRig s;
        for (const QString &id : s.model.excludedApplications())
            s.model.removeExcluded(id);
        s.model.removeExcluded(u"not.there"_s);
        QVERIFY(s.model.excludedApplications().isEmpty());
        QCOMPARE(s.rig.fixture.settings().stringListValue(AppStorageKeys::ignoredAppBundleIds), QStringList());
    }

    void runningApplications()
    {
        SettingsRig s;
        s.runningIds = {u"org.kde.kate"_s, u" firefox "_s, u"org.keepassxc.keepassxc"_s, u"firefox"_s, u""_s};
        QCOMPARE(s.model.runningApplications(), (QStringList{u"firefox"_s, u"org.kde.kate"_s}));

        // Asked again each time the menu opens, and what was just excluded is no longer offered.
        s.model.addExcluded(u"firefox"_s);
        s.runningIds << u"code"_s;
        QCOMPARE(s.model.runningApplications(), (QStringList{u"code"_s, u"org.kde.kate"_s}));
    }

    void exportStatus()
    {
        SettingsRig s;
        QSignalSpy changed(&s.model, &SettingsViewModel::exportStatusChanged);

        s.model.exportJson(); // cancelled
        QVERIFY(s.model.exportStatus().isEmpty());
        QCOMPARE(changed.count(), 0);

        s.chooser.answers = {s.exportPath(u"out.json"_s)};
        s.model.exportJson();
        QCOMPARE(s.model.exportStatus(), u"JSON export saved."_s);
        QVERIFY(!s.model.exportFailed());
        QVERIFY(QFile::exists(s.exportPath(u"out.json"_s)));

        s.model.exportMarkdown(); // cancelled: the last outcome stays
        QCOMPARE(s.model.exportStatus(), u"JSON export saved."_s);

        s.chooser.answers = {s.exportPath(u"missing/folder/out.md"_s)};
        s.model.exportMarkdown();
        QCOMPARE(s.model.exportStatus(), SettingsViewModel::exportFailedText);
        QVERIFY(s.model.exportFailed());

        s.chooser.answers = {s.exportPath(u"out.md"_s)};
        s.model.exportMarkdown();
        QCOMPARE(s.model.exportStatus(), u"Markdown export saved."_s);
        QVERIFY(!s.model.exportFailed());
        QCOMPARE(changed.count(), 3);
    }

    void pickers_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("before");
        QTest::addColumn<QVariant>("stored");

        QTest::newRow("Unlimited") << u"maxHistoryLimit"_s << u"historyLimitOptions"_s << u"Unlimited"_s
                                   << AppStorageKeys::maxHistoryLimit << QVariant(250) << QVariant(0);
        QTest::newRow("1000 items") << u"maxHistoryLimit"_s << u"historyLimitOptions"_s << u"1000 items"_s
                                    << AppStorageKeys::maxHistoryLimit << QVariant(0) << QVariant(1000);
        QTest::newRow("Never") << u"autoClearDays"_s << u"autoClearOptions"_s << u"Never"_s
                               << AppStorageKeys::autoClearDays << QVariant(7) << QVariant(0);
        QTest::newRow("After 30 Days") << u"autoClearDays"_s << u"autoClearOptions"_s << u"After 30 Days"_s
                                       << AppStorageKeys::autoClearDays << QVariant(0) << QVariant(30);
        QTest::newRow("All (8 tabs)") << u"maxVisibleTabs"_s << u"maxVisibleTabsOptions"_s << u"All (8 tabs)"_s
                                      << AppStorageKeys::maxVisibleTabs << QVariant(5) << QVariant(8);
        QTest::newRow("3 tabs") << u"maxVisibleTabs"_s << u"maxVisibleTabsOptions"_s << u"3 tabs"_s
                                << AppStorageKeys::maxVisibleTabs << QVariant(5) << QVariant(3);
        QTest::newRow("5 items") << u"menuBarPopoverItemCount"_s << u"recentItemsOptions"_s << u"5 items"_s
                                 << AppStorageKeys::menuBarPopoverItemCount << QVariant(20) << QVariant(5);
        QTest::newRow("Compact") << u"listDensity"_s << u"listDensityOptions"_s << u"Compact"_s
                                 << AppStorageKeys::listDensity << QVariant(u"comfortable"_s) << QVariant(u"compact"_s);
    }

    // What QML does: look the choice up in the option list and write its value to the property.
    void pickers()
    {
        QFETCH(QString, property);
        QFETCH(QString, options);
        QFETCH(QString, label);
        QFETCH(QString, key);
        QFETCH(QVariant, before);
        QFETCH(QVariant, stored);
        SettingsRig s;
        s.rig.fixture.settings().setValue(key, before);
        QSignalSpy changed(&s.model, &SettingsViewModel::settingsChanged);

        const QVariant value = valueLabelled(s.model.property(options.toUtf8().constData()).toList(), label);
        QVERIFY(value.isValid());
        QVERIFY(s.model.setProperty(property.toUtf8().constData(), value));
        QCOMPARE(s.rig.fixture.settings().value(key).toString(), stored.toString());
        QCOMPARE(s.model.property(property.toUtf8().constData()), stored);
        QVERIFY(changed.count() >= 1);
    }

    void launchAtLogin()
    {
        SettingsRig s;
        QVERIFY(s.model.launchAtLogin());
        s.model.setLaunchAtLogin(false);
        s.model.setLaunchAtLogin(false);
        QVERIFY(!s.rig.store.launchAtLogin());
        s.model.setLaunchAtLogin(true);
        QCOMPARE(s.launchRequests, (QList<bool>{false, true}));
    }

    void clearHistoryChoice_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("remaining");
        QTest::addColumn<int>("pinnedRemaining");

        QTest::newRow("Clear Unpinned Items") << 0 << 1 << 1;
        QTest::newRow("Clear EVERYTHING (Including Pinned)") << 1 << 0 << 0;
        QTest::newRow("Cancel") << 2 << 3 << 1;
    }

    void clearHistoryChoice()
    {
        QFETCH(int, choice);
        QFETCH(int, remaining);
        QFETCH(int, pinnedRemaining);
        StoreFixture clips;
        SettingsRig s({clips.textClip(u"one"_s, 30), clips.textClip(u"pinned"_s, 20, true),
                       clips.textClip(u"three"_s, 10), snippet(u"kept"_s)});
        s.alerts.choice = choice;

        s.model.clearHistory();
        QCOMPARE(s.alerts.shown.size(), 1);
        QCOMPARE(s.alerts.shown.first().buttons.value(choice), QString::fromUtf8(QTest::currentDataTag()));
        const QList<ClipItem> history = s.rig.history();
        QCOMPARE(history.size(), remaining);
        QCOMPARE(std::count_if(history.begin(), history.end(), [](const ClipItem &c) { return c.isPinned(); }),
                 pinnedRemaining);
        QCOMPARE(s.rig.store.snippets().size(), 1);
    }

    void hotkey()
    {
        SettingsRig s;
        QVERIFY(s.model.hotkeyProblem().isEmpty());
        QSignalSpy changed(&s.model, &SettingsViewModel::hotkeyChanged);

        s.rig.hotkeys.refuse(GlobalHotkeyManager::hudHotkeyId, 10);
        s.model.setProperty("currentHotkey", valueLabelled(s.model.hotkeyOptions(), u"Alt+V"_s));
        QCOMPARE(s.rig.fixture.settings().stringValue(AppStorageKeys::globalHotkeyOption, {}), u"\u2325 + V"_s);
        QCOMPARE(s.model.currentHotkey(), u"\u2325 + V"_s);
        QCOMPARE(s.model.hotkeyProblem(), u"Alt+V could not be registered: another program holds it."_s);
        QVERIFY(!changed.isEmpty());

        // Registered again by someone else (the tray menu, a retry): the warning goes without a new choice.
        s.rig.hotkeys.accept(GlobalHotkeyManager::hudHotkeyId);
        changed.clear();
        s.hotkeys.start();
        QVERIFY(!changed.isEmpty());
        QVERIFY(s.model.hotkeyProblem().isEmpty());
    }

    void keyboardAccess()
    {
        SettingsRig s;
        s.rig.keys.setAvailable(false);
        s.model.refresh();
        QVERIFY(!s.model.keyboardAccessGranted());
        QCOMPARE(s.model.keyboardAccessStatus(), u"Permission required"_s);

        // Keys can be sent but not watched (Wayland): pasting works, snippets say why they do not.
        s.rig.keys.setAvailable(true);
        s.rig.keyEvents.setAvailable(false);
        s.model.refresh();
        QCOMPARE(s.model.keyboardAccessStatus(), u"Auto-paste only"_s);
        QVERIFY(!s.model.snippetExpansionAvailable());
        QCOMPARE(s.model.snippetExpansionNote(), u"Snippet expansion is not available: Keys cannot be watched."_s);

        s.rig.keyEvents.setAvailable(true);
        QVERIFY(!s.model.keyboardAccessGranted()); // read on refresh only
        QSignalSpy changed(&s.model, &SettingsViewModel::keyboardAccessChanged);
        s.model.refresh();
        QVERIFY(s.model.keyboardAccessGranted());
        QCOMPARE(s.model.keyboardAccessStatus(), u"Permission granted"_s);
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSettingsViewModel)
#include "tst_settingsviewmodel.moc"
