// SPDX-License-Identifier: MIT
#include "InputTestRig.h"
#include "KeyCodes.h"
#include "SnippetShortcutManager.h"

#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

namespace {

const QString replyText = u"Thanks for writing!"_s;

QList<ClipItem> standardSnippets()
{
    return {snippet(replyText, u";reply"_s), snippet(u"Ana"_s, u" ;sig "_s), snippet(u"no shortcut"_s, std::nullopt),
            snippet(u"blank"_s, u"  "_s), snippet(u"thumbs"_s, u";\U0001F44D\U0001F3FD"_s)};
}

KeyEvent character(const QString &text, quint64 flags = 0)
{
    return {KeyCodes::Unknown, flags, text};
}

KeyEvent key(quint16 code)
{
    return {code, 0, std::nullopt};
}

QList<KeyEvent> typed(const QString &text)
{
    QList<KeyEvent> events;
    for (const QChar c : text)
        events.append(character(QString(c)));
    return events;
}

// The rig with snippet expansion running while an editor is in front.
struct SnippetRig
{
    explicit SnippetRig(const QList<ClipItem> &snippets = standardSnippets())
        : rig(snippets)
        , manager(&rig.keyEvents, &rig.store, &rig.paste, &rig.workspace)
    {
        rig.workspace.setFrontmostApplication(editor);
        manager.start();
    }

    void press(const QList<KeyEvent> &events)
    {
        for (const KeyEvent &event : events)
            rig.keyEvents.press(event);
    }

    // Long enough for an expansion to have started sending keys.
    static void waitPastExpansionStart() { QTest::qWait(3 * SnippetShortcutManager::expansionStepMs + 60); }

    InputTestRig rig;
    SnippetShortcutManager manager;
    RunningApplication editor = FakeWorkspace::makeApplication(u"org.example.editor"_s);
};

} // namespace

class TestSnippetShortcutManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typing_data()
    {
        QTest::addColumn<QList<KeyEvent>>("events");
        QTest::addColumn<int>("backspaces"); // -1: nothing expands
        QTest::addColumn<QString>("pasted");
        const auto expands = [](const char *name, const QList<KeyEvent> &events, int backspaces, const QString &text) {
            QTest::newRow(name) << events << backspaces << text;
        };
        const auto stays = [](const char *name, const QList<KeyEvent> &events) {
            QTest::newRow(name) << events << -1 << QString();
        };
        const auto reply = [&](const char *name, const QString &before, const KeyEvent &event, const QString &after) {
            expands(name, typed(before) << event << typed(after), 6, replyText);
        };
        const auto broken = [&](const char *name, const QString &before, const KeyEvent &event, const QString &after) {
            stays(name, typed(before) << event << typed(after));
        };

        // The shortcut must be the last thing typed, exactly.
        stays("shortcut not complete", typed(u";repl"_s));
        // Backspace and Forward Delete take back the last character.
        reply("extra letter taken back", u";replx"_s, key(KeyCodes::Delete), u"y"_s);
        reply("forward delete takes back too", u";replx"_s, key(KeyCodes::ForwardDelete), u"y"_s);
        reply("backspace on nothing", QString(), key(KeyCodes::Delete), u";reply"_s);
        // Every other key is typed into the buffer, so it breaks a shortcut.
        for (const quint16 code : {KeyCodes::LeftArrow, KeyCodes::RightArrow, KeyCodes::UpArrow, KeyCodes::DownArrow})
            broken(qPrintable(u"arrow %1 in between"_s.arg(code)), u";rep"_s, key(code), u"ly"_s);
        broken("return in between", u";rep"_s, character(u"\r"_s), u"ly"_s);
        // Keys with Command or Control held leave the buffer alone; other modifiers do not matter.
        reply("command key skipped", u";repl"_s, character(u"x"_s, KeyCodes::CommandFlag), u"y"_s);
        reply("control key skipped", u";repl"_s, character(u"x"_s, KeyCodes::ControlFlag), u"y"_s);
        broken("command on the last letter", u";repl"_s, character(u"y"_s, KeyCodes::CommandFlag), QString());
        reply("option on the last letter", u";repl"_s, character(u"y"_s, KeyCodes::OptionFlag), QString());
        // Only events that type exactly one character count.
        reply("two characters at once skipped", u";rep"_s, character(u"ab"_s), u"ly"_s);
        reply("empty text skipped", u";rep"_s, character(QString()), u"ly"_s);
        reply("no text skipped", u";rep"_s, key(KeyCodes::Unknown), u"ly"_s);
        // Shortcuts are trimmed and counted in user-perceived characters.
        expands("trimmed shortcut", typed(u";sig"_s), 4, u"Ana"_s);
        expands("emoji with skin tone is one character", {character(u";"_s), character(u"\U0001F44D\U0001F3FD"_s)}, 2,
                u"thumbs"_s);
    }

    void typing()
    {
        QFETCH(QList<KeyEvent>, events);
        QFETCH(int, backspaces);
        QFETCH(QString, pasted);

        SnippetRig s;
        s.press(events);
        if (backspaces < 0) {
            s.waitPastExpansionStart();
            QCOMPARE(s.rig.keys.postedKeyCount(), 0);
            QVERIFY(s.rig.pasteboard.writes().isEmpty());
            QVERIFY(!s.manager.typedBuffer().isEmpty());
            return;
        }
        // The snippet is on the clipboard at once, acknowledged; the keys follow.
        QCOMPARE(s.rig.pasteboard.contents().string, std::optional<QString>(pasted));
        QCOMPARE(s.rig.monitor.lastChangeCount(), s.rig.pasteboard.changeCount());
        QVERIFY(s.manager.typedBuffer().isEmpty());
        QCOMPARE(s.rig.keys.postedKeyCount(), 0);
        QTRY_COMPARE(s.rig.keys.postedKeySummary(), pasteKeys(backspaces));
    }

    // Both ";addr" and "addr" end the buffer: the one listed first expands.
    void firstSnippetInStoreOrderWins()
    {
        const ClipItem longer = snippet(u"long"_s, u";addr"_s, 20);
        const ClipItem shorter = snippet(u"short"_s, u"addr"_s, 10);
        for (bool longFirst : {true, false}) {
            SnippetRig s(longFirst ? QList<ClipItem>{longer, shorter} : QList<ClipItem>{shorter, longer});
            s.press(typed(u";addr"_s));
            QCOMPARE(s.rig.pasteboard.contents().string, std::optional<QString>(longFirst ? u"long"_s : u"short"_s));
            QTRY_COMPARE(s.rig.keys.postedKeySummary(), pasteKeys(longFirst ? 5 : 4));
        }
    }

    void bufferKeepsTheLast32Characters()
    {
        const QString shortcut32 = u"abcdefghijklmnopqrstuvwxyz012345"_s;
        const QString shortcut33 = u'Z' + shortcut32;
        QCOMPARE(shortcut32.size(), 32);
        SnippetRig s({snippet(u"too long"_s, shortcut33, 20), snippet(u"fits"_s, shortcut32, 10)});

        const QString forty = u"0123456789"_s.repeated(4);
        for (const QChar c : forty) {
            s.press(typed(QString(c)));
            QVERIFY(s.manager.typedBuffer().size() <= 32);
        }
        QCOMPARE(s.manager.typedBuffer(), forty.right(32));
        QVERIFY(s.rig.pasteboard.writes().isEmpty());

        // The longer shortcut typed whole: only its last 32 characters are kept, which is the other.
        s.press(typed(shortcut33));
        QCOMPARE(s.rig.pasteboard.contents().string, std::optional<QString>(u"fits"_s));
        QTRY_COMPARE(s.rig.keys.postedKeySummary(), pasteKeys(32));
    }

    void excludedApplications_data()
    {
        QTest::addColumn<std::optional<QString>>("bundleId");
        QTest::addColumn<bool>("excluded");

        // Typing in this application or an ignored one clears the buffer; an unknown one does not.
        QTest::newRow("this application") << std::optional<QString>(u"vexilo"_s) << true;
        QTest::newRow("ignored application") << std::optional<QString>(u"org.example.vault"_s) << true;
        QTest::newRow("application without identifier") << std::optional<QString>() << false;
    }

    void excludedApplications()
    {
        QFETCH(std::optional<QString>, bundleId);
        QFETCH(bool, excluded);

        SnippetRig s;
        s.rig.store.setIgnoredAppBundleIds({u"org.example.vault"_s});
        s.press(typed(u";rep"_s));
        s.rig.workspace.setFrontmostApplication(FakeWorkspace::makeApplication(bundleId));
        s.press(typed(u"l"_s));
        QCOMPARE(s.manager.typedBuffer().isEmpty(), excluded);
        s.press(typed(u"y"_s));
        if (!excluded) {
            QTRY_COMPARE(s.rig.keys.postedKeySummary(), pasteKeys(6));
            return;
        }
        // Nothing expands there, and the editor starts over.
        s.rig.workspace.setFrontmostApplication(s.editor);
        s.press(typed(u"ly"_s));
        QCOMPARE(s.manager.typedBuffer(), u"ly"_s);
        s.waitPastExpansionStart();
        QCOMPARE(s.rig.keys.postedKeyCount(), 0);
    }

    void expansionTurnedOff()
    {
        SnippetRig s;
        s.press(typed(u";rep"_s));
        s.rig.store.setSnippetExpansionEnabled(false);
        s.press(typed(u"ly"_s));
        QCOMPARE(s.manager.typedBuffer(), u";rep"_s);
        s.waitPastExpansionStart();
        QCOMPARE(s.rig.keys.postedKeyCount(), 0);
        QVERIFY(s.rig.pasteboard.writes().isEmpty());
    }

    void keysWhileInjectingAreIgnored()
    {
        SnippetRig s;
        s.press(typed(u";reply"_s));
        QVERIFY(s.manager.isInjecting());
        // Our own Backspaces and paste come back through the key source, and the user keeps typing.
        s.press({key(KeyCodes::Delete), character(u"v"_s, KeyCodes::CommandFlag)});
        s.press(typed(u";reply"_s));
        QVERIFY(s.manager.typedBuffer().isEmpty());
        QTRY_VERIFY(!s.manager.isInjecting());
        QCOMPARE(s.rig.keys.postedKeySummary(), pasteKeys(6));
        QCOMPARE(s.rig.pasteboard.writes().size(), 2);

        // Afterwards typing counts again.
        s.rig.keys.clear();
        s.press(typed(u";reply"_s));
        QTRY_COMPARE(s.rig.keys.postedKeySummary(), pasteKeys(6));
    }

    void expansionWithoutPermissionOnlyCopies()
    {
        SnippetRig s;
        s.rig.keys.setAvailable(false);
        s.press(typed(u";reply"_s));
        QCOMPARE(s.rig.pasteboard.contents().string, std::optional<QString>(replyText));
        QTRY_VERIFY(!s.manager.isInjecting());
        QCOMPARE(s.rig.keys.postedKeyCount(), 0);
    }

    void startAndStop()
    {
        SnippetRig s;
        QVERIFY(s.manager.isWatching());
        QVERIFY(s.manager.start());
        QCOMPARE(s.rig.keyEvents.startCount(), 1);
        s.press(typed(u"ab"_s));
        QCOMPARE(s.manager.typedBuffer(), u"ab"_s);

        s.manager.stop();
        QVERIFY(!s.manager.isWatching());
        QVERIFY(!s.rig.keyEvents.isRunning());
        QVERIFY(s.manager.typedBuffer().isEmpty());
        Q_EMIT s.rig.keyEvents.keyDown(character(u"c"_s));
        QVERIFY(s.manager.typedBuffer().isEmpty());

        QVERIFY(s.manager.start());
        s.press(typed(u";reply"_s));
        QTRY_COMPARE(s.rig.keys.postedKeySummary(), pasteKeys(6));

        // Without a key source there is nothing to watch.
        s.manager.stop();
        s.rig.keyEvents.setAvailable(false);
        QVERIFY(!s.manager.start());
        QVERIFY(!s.manager.isWatching());
    }

    void managerGoneDuringExpansion()
    {
        InputTestRig rig(standardSnippets());
        rig.workspace.setFrontmostApplication(FakeWorkspace::makeApplication(u"org.example.editor"_s));
        auto manager = std::make_unique<SnippetShortcutManager>(&rig.keyEvents, &rig.store, &rig.paste, &rig.workspace);
        manager->start();
        rig.keyEvents.type(u";reply"_s);
        QTest::qWait(SnippetShortcutManager::expansionStepMs + 5);
        manager.reset();
        // The Backspaces already on their way finish; nothing else follows, nothing crashes.
        QTest::qWait(3 * SnippetShortcutManager::expansionStepMs + 150);
        QCOMPARE(rig.keys.postedKeySummary().filter(u"9:100000"_s).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSnippetShortcutManager)
#include "tst_snippetshortcutmanager.moc"
