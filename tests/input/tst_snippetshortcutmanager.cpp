// SPDX-License-Identifier: MIT
#include "InputTestRig.h"
#include "KeyCodes.h"
#include "SnippetShortcutManager.h"

#include <QTest>

using namespace Vexilo;
using namespace Vexilo::Test;

namespace {

const QString replyText = QStringLiteral("Thanks for writing!");

ClipItem snippet(const QString &text, const std::optional<QString> &shortcut, double createdAt = 0)
{
    ClipItem clip(QUuid::createUuid(), createdAt, ClipType::Snippets, false, {}, true);
    clip.setTextContent(text);
    clip.setSnippetTitle(text);
    clip.setSnippetShortcut(shortcut);
    return clip;
}

QList<ClipItem> standardSnippets()
{
    return {snippet(replyText, QStringLiteral(";reply")), snippet(QStringLiteral("Ana"), QStringLiteral(" ;sig ")),
            snippet(QStringLiteral("no shortcut"), std::nullopt),
            snippet(QStringLiteral("blank"), QStringLiteral("  ")),
            snippet(QStringLiteral("thumbs"), QStringLiteral(";\U0001F44D\U0001F3FD"))};
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

// What an expansion sends: the Backspaces, then the paste.
QStringList expansionKeys(int backspaces)
{
    QStringList keys;
    for (int i = 0; i < backspaces; ++i)
        keys << QStringLiteral("51:0:down") << QStringLiteral("51:0:up");
    keys << QStringLiteral("9:100000:down") << QStringLiteral("9:100000:up");
    return keys;
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
    RunningApplication editor = FakeWorkspace::makeApplication(QStringLiteral("org.example.editor"));
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

        const auto plus = [](QList<KeyEvent> a, const QList<KeyEvent> &b) { return a << b; };

        // The shortcut must be the last thing typed, exactly.
        QTest::newRow(";reply") << typed(QStringLiteral(";reply")) << 6 << replyText;
        QTest::newRow("after other text") << typed(QStringLiteral("hello ;reply")) << 6 << replyText;
        QTest::newRow("capital R") << typed(QStringLiteral(";Reply")) << -1 << QString();
        QTest::newRow("shortcut not complete") << typed(QStringLiteral(";repl")) << -1 << QString();

        // Backspace and Forward Delete take back the last character.
        QTest::newRow("extra letter taken back")
            << plus(plus(typed(QStringLiteral(";replx")), {key(KeyCodes::Delete)}), typed(QStringLiteral("y"))) << 6
            << replyText;
        QTest::newRow("forward delete takes back too")
            << plus(plus(typed(QStringLiteral(";replx")), {key(KeyCodes::ForwardDelete)}), typed(QStringLiteral("y")))
            << 6 << replyText;
        QTest::newRow("backspace on nothing")
            << plus({key(KeyCodes::Delete), key(KeyCodes::Delete)}, typed(QStringLiteral(";reply"))) << 6 << replyText;

        // Every other key is typed into the buffer, so it breaks a shortcut.
        for (const quint16 code : {KeyCodes::LeftArrow, KeyCodes::RightArrow, KeyCodes::UpArrow, KeyCodes::DownArrow}) {
            QTest::addRow("arrow %d in between", int(code))
                << plus(plus(typed(QStringLiteral(";rep")), {key(code)}), typed(QStringLiteral("ly"))) << -1
                << QString();
        }
        QTest::newRow("return in between")
            << plus(plus(typed(QStringLiteral(";rep")), {character(QStringLiteral("\r"))}), typed(QStringLiteral("ly")))
            << -1 << QString();
        QTest::newRow("space in between") << typed(QStringLiteral(";rep ly")) << -1 << QString();

        // Keys with Command or Control held leave the buffer alone; other modifiers do not matter.
        QTest::newRow("command key skipped")
            << plus(plus(typed(QStringLiteral(";repl")), {character(QStringLiteral("x"), KeyCodes::CommandFlag)}),
                    typed(QStringLiteral("y")))
            << 6 << replyText;
        QTest::newRow("control key skipped")
            << plus(plus(typed(QStringLiteral(";repl")), {character(QStringLiteral("x"), KeyCodes::ControlFlag)}),
                    typed(QStringLiteral("y")))
            << 6 << replyText;
        QTest::newRow("command on the last letter")
            << plus(typed(QStringLiteral(";repl")), {character(QStringLiteral("y"), KeyCodes::CommandFlag)}) << -1
            << QString();
        QTest::newRow("option on the last letter")
            << plus(typed(QStringLiteral(";repl")), {character(QStringLiteral("y"), KeyCodes::OptionFlag)}) << 6
            << replyText;
        QTest::newRow("shift on the last letter")
            << plus(typed(QStringLiteral(";repl")), {character(QStringLiteral("y"), KeyCodes::ShiftFlag)}) << 6
            << replyText;

        // Only events that type exactly one character count.
        QTest::newRow("two characters at once skipped")
            << plus(plus(typed(QStringLiteral(";rep")), {character(QStringLiteral("ab"))}), typed(QStringLiteral("ly")))
            << 6 << replyText;
        QTest::newRow("nothing typed skipped")
            << plus(plus(typed(QStringLiteral(";rep")), {character(QString()), key(KeyCodes::Unknown)}),
                    typed(QStringLiteral("ly")))
            << 6 << replyText;

        // Shortcuts are trimmed and counted in user-perceived characters.
        QTest::newRow("trimmed shortcut") << typed(QStringLiteral(";sig")) << 4 << QStringLiteral("Ana");
        QTest::newRow("emoji with skin tone is one character")
            << QList<KeyEvent>{character(QStringLiteral(";")), character(QStringLiteral("\U0001F44D\U0001F3FD"))} << 2
            << QStringLiteral("thumbs");
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
        QTRY_COMPARE(s.rig.keys.postedKeySummary(), expansionKeys(backspaces));
    }

    void firstSnippetInStoreOrderWins_data()
    {
        QTest::addColumn<bool>("longFirst");

        // Both ";addr" and "addr" end the buffer: the one listed first expands.
        QTest::newRow("long shortcut first") << true;
        QTest::newRow("short shortcut first") << false;
    }

    void firstSnippetInStoreOrderWins()
    {
        QFETCH(bool, longFirst);

        const ClipItem longer = snippet(QStringLiteral("long"), QStringLiteral(";addr"), 20);
        const ClipItem shorter = snippet(QStringLiteral("short"), QStringLiteral("addr"), 10);
        SnippetRig s(longFirst ? QList<ClipItem>{longer, shorter} : QList<ClipItem>{shorter, longer});
        s.press(typed(QStringLiteral(";addr")));
        QCOMPARE(s.rig.pasteboard.contents().string,
                 std::optional<QString>(longFirst ? QStringLiteral("long") : QStringLiteral("short")));
        QTRY_COMPARE(s.rig.keys.postedKeySummary(), expansionKeys(longFirst ? 5 : 4));
    }

    void bufferKeepsTheLast32Characters()
    {
        const QString shortcut32 = QStringLiteral("abcdefghijklmnopqrstuvwxyz012345");
        const QString shortcut33 = u'Z' + shortcut32;
        QCOMPARE(shortcut32.size(), 32);
        SnippetRig s(
            {snippet(QStringLiteral("too long"), shortcut33, 20), snippet(QStringLiteral("fits"), shortcut32, 10)});

        const QString forty = QStringLiteral("0123456789").repeated(4);
        for (const QChar c : forty) {
            s.press(typed(QString(c)));
            QVERIFY(s.manager.typedBuffer().size() <= 32);
        }
        QCOMPARE(s.manager.typedBuffer(), forty.right(32));
        QVERIFY(s.rig.pasteboard.writes().isEmpty());

        // The longer shortcut typed whole: only its last 32 characters are kept, which is the other.
        s.press(typed(shortcut33));
        QCOMPARE(s.rig.pasteboard.contents().string, std::optional<QString>(QStringLiteral("fits")));
        QTRY_COMPARE(s.rig.keys.postedKeySummary(), expansionKeys(32));
    }

    void excludedApplications_data()
    {
        QTest::addColumn<std::optional<QString>>("bundleId");
        QTest::addColumn<bool>("excluded");

        // Typing in this application or an ignored one clears the buffer; an unknown one does not.
        QTest::newRow("this application") << std::optional<QString>(QStringLiteral("vexilo")) << true;
        QTest::newRow("ignored application") << std::optional<QString>(QStringLiteral("org.example.vault")) << true;
        QTest::newRow("application without identifier") << std::optional<QString>() << false;
    }

    void excludedApplications()
    {
        QFETCH(std::optional<QString>, bundleId);
        QFETCH(bool, excluded);

        SnippetRig s;
        s.rig.store.setIgnoredAppBundleIds({QStringLiteral("org.example.vault")});
        s.press(typed(QStringLiteral(";rep")));
        s.rig.workspace.setFrontmostApplication(FakeWorkspace::makeApplication(bundleId));
        s.press(typed(QStringLiteral("l")));
        QCOMPARE(s.manager.typedBuffer().isEmpty(), excluded);
        s.press(typed(QStringLiteral("y")));
        if (!excluded) {
            QTRY_COMPARE(s.rig.keys.postedKeySummary(), expansionKeys(6));
            return;
        }
        // Nothing expands there, and the editor starts over.
        s.rig.workspace.setFrontmostApplication(s.editor);
        s.press(typed(QStringLiteral("ly")));
        QCOMPARE(s.manager.typedBuffer(), QStringLiteral("ly"));
        s.waitPastExpansionStart();
        QCOMPARE(s.rig.keys.postedKeyCount(), 0);
    }

    void expansionTurnedOff()
    {
        SnippetRig s;
        s.press(typed(QStringLiteral(";rep")));
        s.rig.store.setSnippetExpansionEnabled(false);
        s.press(typed(QStringLiteral("ly")));
        QCOMPARE(s.manager.typedBuffer(), QStringLiteral(";rep"));
        s.waitPastExpansionStart();
        QCOMPARE(s.rig.keys.postedKeyCount(), 0);
        QVERIFY(s.rig.pasteboard.writes().isEmpty());
    }

    void keysWhileInjectingAreIgnored()
    {
        SnippetRig s;
        s.press(typed(QStringLiteral(";reply")));
        QVERIFY(s.manager.isInjecting());
        // Our own Backspaces and paste come back through the key source, and the user keeps typing.
        s.press({key(KeyCodes::Delete), character(QStringLiteral("v"), KeyCodes::CommandFlag)});
        s.press(typed(QStringLiteral(";reply")));
        QVERIFY(s.manager.typedBuffer().isEmpty());
        QTRY_VERIFY(!s.manager.isInjecting());
        QCOMPARE(s.rig.keys.postedKeySummary(), expansionKeys(6));
        QCOMPARE(s.rig.pasteboard.writes().size(), 2);

        // Afterwards typing counts again.
        s.rig.keys.clear();
        s.press(typed(QStringLiteral(";reply")));
        QTRY_COMPARE(s.rig.keys.postedKeySummary(), expansionKeys(6));
    }

    void expansionWithoutPermissionOnlyCopies()
    {
        SnippetRig s;
        s.rig.keys.setAvailable(false);
        s.press(typed(QStringLiteral(";reply")));
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
        s.press(typed(QStringLiteral("ab")));
        QCOMPARE(s.manager.typedBuffer(), QStringLiteral("ab"));

        s.manager.stop();
        QVERIFY(!s.manager.isWatching());
        QVERIFY(!s.rig.keyEvents.isRunning());
        QVERIFY(s.manager.typedBuffer().isEmpty());
        Q_EMIT s.rig.keyEvents.keyDown(character(QStringLiteral("c")));
        QVERIFY(s.manager.typedBuffer().isEmpty());

        QVERIFY(s.manager.start());
        s.press(typed(QStringLiteral(";reply")));
        QTRY_COMPARE(s.rig.keys.postedKeySummary(), expansionKeys(6));
    }

    void startWithoutKeySource()
    {
        InputTestRig rig;
        rig.keyEvents.setAvailable(false);
        SnippetShortcutManager manager(&rig.keyEvents, &rig.store, &rig.paste, &rig.workspace);
        QVERIFY(!manager.start());
        QVERIFY(!manager.isWatching());
    }

    void managerGoneDuringExpansion()
    {
        InputTestRig rig(standardSnippets());
        rig.workspace.setFrontmostApplication(FakeWorkspace::makeApplication(QStringLiteral("org.example.editor")));
        auto manager = std::make_unique<SnippetShortcutManager>(&rig.keyEvents, &rig.store, &rig.paste, &rig.workspace);
        manager->start();
        rig.keyEvents.type(QStringLiteral(";reply"));
        QTest::qWait(SnippetShortcutManager::expansionStepMs + 5);
        manager.reset();
        // The Backspaces already on their way finish; nothing else follows, nothing crashes.
        QTest::qWait(3 * SnippetShortcutManager::expansionStepMs + 150);
        QCOMPARE(rig.keys.postedKeySummary().filter(QStringLiteral("9:100000")).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSnippetShortcutManager)
#include "tst_snippetshortcutmanager.moc"
