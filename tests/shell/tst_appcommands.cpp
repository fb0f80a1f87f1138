// SPDX-License-Identifier: MIT
// The commands of the tray menu and the preferences window's keys, over a real store, a recording
// window controller, and alerts and a save dialog answered by the test.
#include "AlertPresenter.h"
#include "AppCommands.h"
#include "ClipboardKeyboardController.h"
#include "ClipboardStore.h"
#include "HistoryExporter.h"
#include "KeyCodes.h"
#include "PreferencesShortcuts.h"
#include "RecordingWindowController.h"
#include "SaveFileChooser.h"
#include "StoreFixture.h"
#include "TrayMenu.h"

#include <QMenu>
#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Vexilo::KeyPress)

namespace {

class AnsweringAlerts : public AlertPresenter
{
public:
    void present(const Alert &alert, std::function<void(int)> done) override
    {
        shown.append(alert);
        done(answer);
    }
    int answer = 0;
    QList<Alert> shown;
};

class AnsweringChooser : public SaveFileChooser
{
public:
    void chooseSaveLocation(const SaveRequest &request, Answer answer) override
    {
        requests.append(request);
        answer(path);
    }
    std::optional<QString> path;
    QList<SaveRequest> requests;
};

struct Rig
{
    Rig()
    {
        fixture.writeHistory({fixture.textClip(u"pinned"_s, 2, true), fixture.textClip(u"plain"_s, 1)});
        store = &fixture.open();
        exporter = std::make_unique<HistoryExporter>(*store, chooser, [] { return qint64(1700000000); });
        AppCommands::Dependencies deps;
        deps.store = store;
        deps.hud = &windows;
        deps.exporter = exporter.get();
        deps.alerts = &alerts;
        deps.openSettings = [this] { windows.calls.append(u"openSettings"_s); };
        deps.closeSettings = [this] { windows.calls.append(u"closeSettings"_s); };
        deps.openUrl = [this](const QUrl &url) { windows.calls.append(url.toString()); };
        commands = std::make_unique<AppCommands>(deps);
    }

    [[nodiscard]] QStringList texts() const
    {
        QStringList out;
        for (const ClipItem &item : store->items())
            out.append(item.textContent());
        return out;
    }

    StoreFixture fixture;
    ClipboardStore *store = nullptr;
    RecordingWindowController windows;
    AnsweringAlerts alerts;
    AnsweringChooser chooser;
    std::unique_ptr<HistoryExporter> exporter;
    std::unique_ptr<AppCommands> commands;
};

KeyPress press(QChar character, Qt::KeyboardModifiers modifiers, quint16 keyCode = KeyCodes::Unknown)
{
    return KeyPress{keyCode, character, modifiers};
}

} // namespace

class TestAppCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandsActOnTheStoreAndTheWindows()
    {
        Rig rig;
        // A category from the menu changes the list but does not show the window.
        rig.commands->selectCategory(ClipType::Code);
        QCOMPARE(rig.store->selectedCategory(), ClipType::Code);
        QVERIFY(rig.windows.calls.isEmpty());

        rig.commands->newSnippet();
        QCOMPARE(rig.store->selectedCategory(), ClipType::Snippets);
        QVERIFY(rig.store->shouldOpenNewSnippet());
        const int focusRequests = rig.store->searchFocusRequest();
        rig.commands->findInClips();
        QCOMPARE(rig.store->searchFocusRequest(), focusRequests + 1);
        QCOMPARE(rig.windows.calls, (QStringList{u"showHud"_s, u"showHud"_s}));

        rig.windows.calls.clear();
        rig.commands->closeWindow();
        rig.commands->closeWindow(true);
        rig.commands->openHelp();
        QCOMPARE(rig.windows.calls,
                 (QStringList{u"hideHud"_s, u"hideHud"_s, u"closeSettings"_s, u"https://vexilo.app/help#shortcuts"_s}));
    }

    void pauseItemFollowsTheStore()
    {
        Rig rig;
        TrayMenu menu(*rig.commands, *rig.store);
        QAction *pause = menu.menu()->findChild<QAction *>(u"pauseAction"_s);
        QVERIFY(pause);
        QCOMPARE(pause->text(), u"Pause Clipboard Recording"_s);
        // Paused elsewhere (the popover, the command line): the title follows.
        rig.store->setPaused(true);
        QCOMPARE(pause->text(), u"Resume Clipboard Recording"_s);
        pause->trigger();
        QVERIFY(!rig.store->isPaused());
        QCOMPARE(pause->text(), u"Pause Clipboard Recording"_s);
    }

    void clearingAsksFirst_data()
    {
        QTest::addColumn<bool>("all");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("unpinned, confirmed") << false << 0 << QStringList{u"pinned"_s};
        QTest::newRow("unpinned, cancelled") << false << 1 << QStringList{u"pinned"_s, u"plain"_s};
        QTest::newRow("all, confirmed") << true << 0 << QStringList{};
        QTest::newRow("all, cancelled") << true << 1 << QStringList{u"pinned"_s, u"plain"_s};
    }

    void clearingAsksFirst()
    {
        QFETCH(bool, all);
        QFETCH(int, answer);
        QFETCH(QStringList, left);
        Rig rig;
        rig.alerts.answer = answer;
        if (all)
            rig.commands->clearAllHistory();
        else
            rig.commands->clearUnpinnedHistory();
        QCOMPARE(rig.alerts.shown.size(), 1);
        const Alert &alert = rig.alerts.shown.first();
        QCOMPARE(alert.title, all ? u"Clear Entire Clipboard History?"_s : u"Clear Unpinned History?"_s);
        QCOMPARE(alert.buttons, (QStringList{all ? u"Clear All"_s : u"Clear Unpinned"_s, u"Cancel"_s}));
        QCOMPARE(alert.cancelButton, 1);
        // Snippets survive every clearing.
        QStringList texts = rig.texts();
        texts.removeIf([&rig](const QString &text) {
            return std::any_of(rig.store->items().cbegin(), rig.store->items().cend(), [&text](const ClipItem &item) {
                return item.isSnippet() && item.textContent() == text;
            });
        });
        QCOMPARE(texts, left);
        QVERIFY(rig.store->count(ClipType::Snippets) > 0);
    }

    void exportsOfferTheirDefaultNames()
    {
        Rig rig;
        const QString path = rig.fixture.rootPath() + u"/out.md"_s;
        rig.chooser.path = path;
        rig.commands->exportMarkdown();
        rig.chooser.path.reset();
        rig.commands->exportJson();
        QCOMPARE(rig.chooser.requests.size(), 2);
        QCOMPARE(rig.chooser.requests.at(0).suggestedName, u"vexilo_history_1700000000.md"_s);
        QCOMPARE(rig.chooser.requests.at(1).suggestedName, u"vexilo_export_1700000000.json"_s);
        QCOMPARE(rig.chooser.requests.at(1).nameFilter, u"JSON files (*.json)"_s);
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().startsWith("# Vexilo History Export\n"));
    }

    void preferencesKeys_data()
    {
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
        QTest::addColumn<KeyPress>("key");
        QTest::addColumn<bool>("handled");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("Ctrl+,") << press(u',', ctrl) << true << QStringList{u"openSettings"_s};
        QTest::newRow("Ctrl+W closes both")
            << press(u'w', ctrl) << true << QStringList{u"hideHud"_s, u"closeSettings"_s};
        QTest::newRow("Ctrl+N") << press(u'n', ctrl) << true << QStringList{u"showHud"_s};
        QTest::newRow("Ctrl+F") << press(u'f', ctrl) << true << QStringList{u"showHud"_s};
        QTest::newRow("Ctrl+Shift+W") << press(u'w', ctrl | Qt::ShiftModifier) << false << QStringList{};
        QTest::newRow("plain w") << press(u'w', {}) << false << QStringList{};
        QTest::newRow("Ctrl+Alt+P") << press(u'p', ctrl | Qt::AltModifier) << true << QStringList{};
        QTest::newRow("Ctrl+Shift+Delete")
            << press(QChar(), ctrl | Qt::ShiftModifier, KeyCodes::ForwardDelete) << true << QStringList{};
    }

    void preferencesKeys()
    {
        QFETCH(KeyPress, key);
        QFETCH(bool, handled);
        QFETCH(QStringList, calls);
        Rig rig;
        rig.alerts.answer = 1;
        PreferencesShortcuts shortcuts(*rig.commands);
        QCOMPARE(shortcuts.process(key), handled);
        QCOMPARE(rig.windows.calls, calls);
        QCOMPARE(rig.store->isPaused(), qstrcmp(QTest::currentDataTag(), "Ctrl+Alt+P") == 0);
        QCOMPARE(rig.alerts.shown.size(), qstrcmp(QTest::currentDataTag(), "Ctrl+Shift+Delete") == 0 ? 1 : 0);
    }
};

QTEST_MAIN(TestAppCommands)
#include "tst_appcommands.moc"
