// SPDX-License-Identifier: MIT
#include "ClipType.h"
#include "ClipboardKeyboardController.h"
#include "RecordingWindowController.h"
#include "StoreFixture.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>

using namespace Vexilo;
using namespace Vexilo::Test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Vexilo::KeyPress)

namespace {

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers Alt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers Shift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers Meta = Qt::MetaModifier;

KeyPress key(quint16 code, Qt::KeyboardModifiers modifiers = None)
{
    return KeyPress{code, QChar(), modifiers};
}
KeyPress letter(char16_t character, Qt::KeyboardModifiers modifiers = None)
{
    return KeyPress{KeyCodes::Unknown, QChar(character), modifiers};
}
KeyPress digit(int n, Qt::KeyboardModifiers modifiers = None)
{
    return key(KeyCodes::Digits[n - 1], modifiers);
}

// Clips "c0" (newest) to "c<n-1>" and a snippet "snip", which keeps the default snippets out and is
// not in the All list; a controller over them whose pastes and other calls are recorded.
struct Rig
{
    explicit Rig(int clipCount)
    {
        QList<ClipItem> history;
        for (int i = 0; i < clipCount; ++i)
            history.append(fixture.textClip(u"c%1"_s.arg(i), i + 1));
        ClipItem snippet(QUuid::createUuid(), fixture.clock - 100, ClipType::Snippets, false, {}, true);
        snippet.setTextContent(u"snip"_s);
        history.append(snippet);
        fixture.writeHistory(history);
        fixture.environment.qrPayload = [](const ClipItem &clip) { return clip.textContent(); };
        fixture.environment.stopSharing = [this] { effects.append(u"stop sharing"_s); };
        store = &fixture.open();
        windows.hudVisible = true;
        controller = std::make_unique<ClipboardKeyboardController>(ClipboardKeyboardController::Dependencies{
            *store,
            windows,
            [this](const ClipItem &clip) { effects.append(u"paste "_s + clip.textContent()); },
            [this] { return otherInputFocused; },
            [this] { effects.append(u"settings"_s); },
            [this](const QString &line) { effects.append(line); },
            [this] { return popupOpen; },
            {},
            [this] { effects.append(u"clear unpinned?"_s); }});
    }

    [[nodiscard]] std::optional<ClipItem> clip(const QString &text) const
    {
        for (const ClipItem &item : store->items()) {
            if (item.textContent() == text)
                return item;
        }
        return std::nullopt;
    }

    // Tokens: hidden, search (focused), other (text input focused), query=<text>, sel=<clip>, qr,
    // nosettings.
    void setUp(const QString &state)
    {
        store->setSelectedItem(std::nullopt);
        for (const QString &token : state.split(u' ', Qt::SkipEmptyParts)) {
            if (token == "hidden"_L1)
                windows.hudVisible = false;
            else if (token == "search"_L1)
                store->setSearchFieldFocused(true);
            else if (token == "other"_L1)
                otherInputFocused = true;
            else if (token == "popup"_L1)
                popupOpen = true;
            else if (token.startsWith("query="_L1))
                store->setSearchQuery(token.mid(6));
            else if (token.startsWith("sel="_L1))
                store->setSelectedItem(clip(token.mid(4)));
            else if (token == "qr"_L1)
                QVERIFY(store->presentQR(*clip(u"c0"_s)));
            else if (token == "nosettings"_L1)
                controller = std::make_unique<ClipboardKeyboardController>(ClipboardKeyboardController::Dependencies{
                    *store, windows, {}, {}, {}, [this](const QString &line) { effects.append(line); }, {}, {}, {}});
        }
        // The filter settles before the key, as it does for a user; it re-selects, so the wanted
        // selection comes after it.
        store->flushPendingSearch();
        const auto selection = state.split(u' ', Qt::SkipEmptyParts).filter(QRegularExpression(u"^sel="_s));
        store->setSelectedItem(selection.isEmpty() ? std::nullopt : clip(selection.first().mid(4)));
        before = Snapshot(*store);
        effects.clear();
    }

    // What the key changed, in a fixed order after the recorded calls.
    [[nodiscard]] QStringList changes() const
    {
        QStringList out = effects;
        const Snapshot after(*store);
        if (after.selected != before.selected)
            out << u"select "_s + (after.selected.isEmpty() ? u"none"_s : after.selected);
        if (after.focusRequests != before.focusRequests)
            out << u"focus search"_s;
        if (after.resignRequests != before.resignRequests)
            out << u"resign search"_s;
        if (after.inspectorRequests != before.inspectorRequests)
            out << u"toggle inspector"_s;
        if (after.query != before.query)
            out << u"query '%1'"_s.arg(after.query);
        if (after.qrOpen != before.qrOpen)
            out << u"close qr"_s;
        if (after.pinned != before.pinned)
            out << u"pinned "_s + after.pinned.join(u',');
        for (const QString &text : before.texts) {
            if (!after.texts.contains(text))
                out << u"delete "_s + text + (after.undoable == text ? u" undoable"_s : QString());
        }
        if (after.category != before.category)
            out << u"category "_s + after.category;
        if (after.newSnippet != before.newSnippet)
            out << u"new snippet"_s;
        if (after.paused != before.paused)
            out << u"pause"_s;
        if (!windows.calls.isEmpty())
            out << windows.calls;
        return out;
    }

    struct Snapshot
    {
        Snapshot() = default;
        explicit Snapshot(const ClipboardStore &store)
            : selected(store.selectedItem() ? store.selectedItem()->textContent() : QString())
            , focusRequests(store.searchFocusRequest())
            , resignRequests(store.searchResignRequest())
            , inspectorRequests(store.inspectorToggleRequest())
            , query(store.searchQuery())
            , qrOpen(store.activeQRCodeItem().has_value())
            , undoable(store.undoDeleteItem() ? store.undoDeleteItem()->textContent() : QString())
            , category(ClipTypes::rawValue(store.selectedCategory()))
            , newSnippet(store.shouldOpenNewSnippet())
            , paused(store.isPaused())
        {
            for (const ClipItem &item : store.items()) {
                texts << item.textContent();
                if (item.isPinned())
                    pinned << item.textContent();
            }
        }
        QString selected;
        int focusRequests = 0, resignRequests = 0, inspectorRequests = 0;
        QString query;
        bool qrOpen = false;
        QStringList texts, pinned;
        QString undoable, category;
        bool newSnippet = false, paused = false;
    };

    StoreFixture fixture;
    ClipboardStore *store = nullptr;
    RecordingWindowController windows;
    bool otherInputFocused = false;
    bool popupOpen = false;
    std::unique_ptr<ClipboardKeyboardController> controller;
    QStringList effects;
    Snapshot before;
};

// Records the key presses that reach it.
class KeyWindow : public QWindow
{
public:
    QList<int> pressed;

protected:
    void keyPressEvent(QKeyEvent *event) override { pressed.append(event->key()); }
};

} // namespace

class TestClipboardKeyboardController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rules_data()
    {
        QTest::addColumn<int>("clips");
        QTest::addColumn<QString>("state");
        QTest::addColumn<KeyPress>("press");
        QTest::addColumn<bool>("handled");
        QTest::addColumn<QStringList>("effects");
        const auto row = [](const char *name, int clips, const QString &state, const KeyPress &press, bool handled,
                            const QStringList &effects = {}) {
            QTest::newRow(name) << clips << state << press << handled << effects;
        };

        row("HUD hidden: Alt+digit", 3, u"hidden"_s, digit(1, Alt), false);
        row("HUD hidden: Escape", 3, u"hidden query=c"_s, key(KeyCodes::Escape), false);
        row("HUD hidden: Ctrl+W", 3, u"hidden"_s, letter(u'w', Ctrl), false);

        row("bare digit", 3, {}, digit(2), true, {u"paste c1"_s});
        row("keypad digit", 3, {}, key(KeyCodes::KeypadDigits[2]), true, {u"paste c2"_s});
        row("bare digit typed into search", 3, u"search"_s, digit(3), false);
        row("bare digit typed into other input", 3, u"other"_s, digit(3), false);
        row("Alt+digit in search", 3, u"search"_s, digit(3, Alt), true, {u"paste c2"_s});
        row("Ctrl+Shift+digit in other input", 3, u"other"_s, digit(1, Ctrl | Shift), true, {u"paste c0"_s});
        row("digit beyond the list swallowed", 2, {}, digit(5), true);
        row("Shift+digit", 3, {}, digit(1, Shift), false);
        row("Ctrl+Alt+digit", 3, {}, digit(1, Ctrl | Alt), false);
        row("Alt+Meta+digit", 3, {}, digit(1, Alt | Meta), false);

        row("Escape closes QR only", 3, u"qr search query=c"_s, key(KeyCodes::Escape), true,
            {u"stop sharing"_s, u"close qr"_s});
        row("Escape leaves search", 3, u"search query=c"_s, key(KeyCodes::Escape), true, {u"resign search"_s});
        row("Escape clears query", 3, u"query=c"_s, key(KeyCodes::Escape), true, {u"query ''"_s});
        row("Escape closes HUD", 3, {}, key(KeyCodes::Escape, Shift), true, {u"dismissMainInterface"_s});
        // An open menu takes every key: Escape closes the menu, not the window.
        row("Escape with a menu open", 3, u"popup"_s, key(KeyCodes::Escape), false);
        row("Down with a menu open", 3, u"popup sel=c0"_s, key(KeyCodes::DownArrow), false);

        row("Ctrl+F", 3, {}, letter(u'f', Ctrl), true, {u"focus search"_s});
        row("Ctrl+Shift+F in other input", 3, u"other"_s, letter(u'f', Ctrl | Shift), true, {u"focus search"_s});
        row("Ctrl+I", 3, u"search"_s, letter(u'i', Ctrl | Alt), true, {u"toggle inspector"_s});
        row("F alone", 3, {}, letter(u'f'), false);

        row("Alt+P pins", 3, u"sel=c1"_s, letter(u'p', Alt), true, {u"pinned c1"_s});
        row("Alt+Shift+P pins", 3, u"sel=c1"_s, letter(u'p', Alt | Shift), true, {u"pinned c1"_s});
        row("Alt+P without selection", 3, {}, letter(u'p', Alt), false);
        row("Alt+Meta+P", 3, u"sel=c1"_s, letter(u'p', Alt | Meta), false);
        row("Ctrl+Alt+P pauses, no pin", 3, u"sel=c1"_s, letter(u'p', Ctrl | Alt), true, {u"pause"_s});

        row("Return pastes first without selection", 3, {}, key(KeyCodes::Return), true, {u"paste c0"_s});
        row("Return pastes selection from search", 3, u"search sel=c2"_s, key(KeyCodes::Return), true, {u"paste c2"_s});
        row("Ctrl+Return pastes", 3, u"sel=c1"_s, key(KeyCodes::Return, Ctrl), true, {u"paste c1"_s});
        row("Shift+Return", 3, u"sel=c1"_s, key(KeyCodes::Return, Shift), false);
        row("Return in other input", 3, u"other sel=c1"_s, key(KeyCodes::Return), false);
        row("Return with empty list", 0, {}, key(KeyCodes::Return), false);

        row("Down on last keeps it", 3, u"sel=c2"_s, key(KeyCodes::DownArrow), true);
        row("Up on first keeps it", 3, u"sel=c0"_s, key(KeyCodes::UpArrow), true);
        row("Up without selection selects first", 3, {}, key(KeyCodes::UpArrow), true, {u"select c0"_s});
        row("Down from search", 3, u"search sel=c0"_s, key(KeyCodes::DownArrow), true, {u"select c1"_s});
        row("Up moves", 3, u"sel=c2"_s, key(KeyCodes::UpArrow), true, {u"select c1"_s});
        row("Down from a clip not listed", 3, u"sel=snip"_s, key(KeyCodes::DownArrow), true, {u"select c0"_s});
        row("Down in other input", 3, u"other sel=c0"_s, key(KeyCodes::DownArrow), false);
        row("Down with empty list", 0, {}, key(KeyCodes::DownArrow), false);

        row("Ctrl+Delete in search", 3, u"search sel=c1"_s, key(KeyCodes::ForwardDelete, Ctrl), true,
            {u"select c0"_s, u"delete c1 undoable"_s});
        row("Ctrl+Backspace without text focus", 3, u"sel=c1"_s, key(KeyCodes::Delete, Ctrl), true,
            {u"select c0"_s, u"delete c1 undoable"_s});
        row("Ctrl+Backspace in search", 3, u"search sel=c1"_s, key(KeyCodes::Delete, Ctrl), false);
        row("Ctrl+Backspace in other input", 3, u"other sel=c1"_s, key(KeyCodes::Delete, Ctrl), false);
        row("Ctrl+Delete without selection", 3, {}, key(KeyCodes::ForwardDelete, Ctrl), false);
        row("Ctrl+Shift+Delete asks to clear", 3, u"sel=c1"_s, key(KeyCodes::ForwardDelete, Ctrl | Shift), true,
            {u"clear unpinned?"_s});
        row("plain Delete", 3, u"sel=c1"_s, key(KeyCodes::ForwardDelete), false);
        row("plain Backspace", 3, u"sel=c1"_s, key(KeyCodes::Delete), false);

        row("Ctrl+3 category", 3, u"search"_s, digit(3, Ctrl), true, {u"select snip"_s, u"category Snippets"_s});
        row("Ctrl+8 category", 3, {}, key(KeyCodes::KeypadDigits[7], Ctrl), true, {u"category Files"_s});
        row("Ctrl+9", 3, {}, digit(9, Ctrl), false);
        row("Ctrl+N", 3, {}, letter(u'n', Ctrl), true, {u"select snip"_s, u"category Snippets"_s, u"new snippet"_s});
        row("Ctrl+Shift+N", 3, {}, letter(u'n', Ctrl | Shift), false);
        row("Ctrl+W", 3, u"search"_s, letter(u'w', Ctrl), true, {u"dismissMainInterface"_s});
        row("Ctrl+comma", 3, {}, letter(u',', Ctrl), true, {u"settings"_s});
        row("Ctrl+comma without settings", 3, u"nosettings"_s, letter(u',', Ctrl), false);
    }

    void rules()
    {
        QFETCH(int, clips);
        QFETCH(QString, state);
        QFETCH(KeyPress, press);
        QFETCH(bool, handled);
        QFETCH(QStringList, effects);

        Rig rig(clips);
        rig.setUp(state);
        QCOMPARE(rig.controller->process(press), handled);
        QCOMPARE(rig.changes(), effects);
    }

    void translation_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<quint32>("scanCode");
        QTest::addColumn<bool>("xkb");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<QString>("character");

        const Qt::KeyboardModifiers keypad = Qt::KeypadModifier;
        QTest::newRow("Ctrl+Shift+1 on US layout")
            << int(Qt::Key_Exclam) << (Ctrl | Shift) << 10u << true << int(KeyCodes::Digits[0]) << u"!"_s;
        QTest::newRow("first digit key on AZERTY")
            << int(Qt::Key_Ampersand) << None << 10u << true << int(KeyCodes::Digits[0]) << u"&"_s;
        QTest::newRow("keypad 9 with NumLock")
            << int(Qt::Key_9) << keypad << 81u << true << int(KeyCodes::KeypadDigits[8]) << u"9"_s;
        QTest::newRow("keypad 2 without NumLock is Down")
            << int(Qt::Key_Down) << keypad << 88u << true << int(KeyCodes::DownArrow) << QString();
        QTest::newRow("Ctrl+Shift+keypad 4 with NumLock") << int(Qt::Key_Left) << (Ctrl | Shift | keypad) << 83u << true
                                                          << int(KeyCodes::KeypadDigits[3]) << QString();
        QTest::newRow("scan codes ignored: 7")
            << int(Qt::Key_7) << None << 0u << false << int(KeyCodes::Digits[6]) << u"7"_s;
        QTest::newRow("scan codes ignored: keypad 7")
            << int(Qt::Key_7) << keypad << 0u << false << int(KeyCodes::KeypadDigits[6]) << u"7"_s;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << Ctrl << 22u << true << int(KeyCodes::Delete)
                                   << QString();
        QTest::newRow("Delete") << int(Qt::Key_Delete) << Ctrl << 119u << true << int(KeyCodes::ForwardDelete)
                                << QString();
        QTest::newRow("Alt+Shift+P") << int(Qt::Key_P) << (Alt | Shift) << 33u << true << int(KeyCodes::Unknown)
                                     << u"p"_s;
    }

    void translation()
    {
        QFETCH(int, qtKey);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(quint32, scanCode);
        QFETCH(bool, xkb);
        QFETCH(int, keyCode);
        QFETCH(QString, character);

        const QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, scanCode, 0, 0);
        const KeyPress press =
            KeyPress::fromEvent(event, xkb ? KeyPress::ScanCodes::XkbKeycodes : KeyPress::ScanCodes::Ignore);
        QCOMPARE(int(press.keyCode), keyCode);
        QCOMPARE(press.character.isNull() ? QString() : QString(press.character), character);
        QCOMPARE(press.modifiers, modifiers & ~Qt::KeyboardModifiers(Qt::KeypadModifier));
    }

    // Real key events go through the filter: handled ones never reach the window, others do.
    void eventFilter()
    {
        Rig rig(3);
        rig.setUp(u"sel=c0"_s);
        KeyWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        rig.controller->start(qApp);
        rig.controller->start(qApp);
        QTest::keyClick(&window, Qt::Key_Down);
        QTest::keyClick(&window, Qt::Key_A);
        QTest::keyClick(&window, Qt::Key_2, Qt::AltModifier);
        // QTest presses Alt itself before the digit; that press goes on.
        QCOMPARE(window.pressed, (QList<int>{Qt::Key_A, Qt::Key_Alt}));
        QCOMPARE(rig.store->selectedItem()->textContent(), u"c1"_s);
        QCOMPARE(rig.effects, QStringList{u"paste c1"_s});

        rig.controller->stop();
        QTest::keyClick(&window, Qt::Key_Down);
        QCOMPARE(window.pressed, (QList<int>{Qt::Key_A, Qt::Key_Alt, Qt::Key_Down}));
        QCOMPARE(rig.store->selectedItem()->textContent(), u"c1"_s);

        // A dialog over the history window keeps its keys: Escape answers it, not the history.
        KeyWindow dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        rig.controller = std::make_unique<ClipboardKeyboardController>(
            ClipboardKeyboardController::Dependencies{*rig.store,
                                                      rig.windows,
                                                      {},
                                                      {},
                                                      {},
                                                      {},
                                                      {},
                                                      [&window](const QObject *target) { return target == &window; },
                                                      {}});
        rig.controller->start(qApp);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(&window, Qt::Key_Up);
        QCOMPARE(dialog.pressed, QList<int>{Qt::Key_Escape});
        QVERIFY(rig.windows.hudVisible);
        QCOMPARE(rig.store->selectedItem()->textContent(), u"c0"_s);
    }
};

QTEST_MAIN(TestClipboardKeyboardController)
#include "tst_clipboardkeyboardcontroller.moc"
