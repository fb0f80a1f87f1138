// SPDX-License-Identifier: MIT
#include "KeyCodes.h"
#include "X11HotkeyService.h"
#include "X11KeyEventSource.h"
#include "X11KeySynthesizer.h"
#include "XTestMain.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {

constexpr int waitMs = 10000;
const char targetArgument[] = "--keyboard-target";

struct Stroke
{
    quint16 keyCode;
    quint64 flags = 0;
};
using Strokes = QList<Stroke>;

// The helper: one focused line edit that reports its text and focus, and empties itself when told
// "clear".
int runKeyboardTarget(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLineEdit edit;
    QObject::connect(&edit, &QLineEdit::textChanged,
                     [](const QString &text) { Test::reportToTest(u"text:"_s + text); });
    QObject::connect(&app, &QGuiApplication::focusWindowChanged,
                     [](QWindow *window) { Test::reportToTest(window ? u"focus:in"_s : u"focus:out"_s); });
    edit.resize(400, 40);
    edit.show();
    Test::reportToTest(u"window:"_s + QString::number(edit.winId()));
    return Test::execUntilInputCloses([&edit](const QByteArray &line) {
        if (line == "clear") {
            edit.clear();
            Test::reportToTest(u"text:"_s);
        }
    });
}

// The test's view of the line edit.
class KeyboardTarget
{
public:
    bool start()
    {
        return m_helper.start({QString::fromLatin1(targetArgument)}, {}, [this](const QString &line) {
            if (line.startsWith(u"text:"))
                m_text = line.mid(5);
            else if (line.startsWith(u"focus:"))
                m_focused = line == u"focus:in";
        });
    }

    // Gives the line edit the keyboard and empties it.
    bool focusAndClear()
    {
        Test::currentXSession().xdotool({u"windowactivate"_s, u"--sync"_s, m_helper.firstLine().mid(7)});
        if (!QTest::qWaitFor([this] { return m_focused; }, waitMs))
            return false;
        m_text = u"?"_s;
        m_helper.write("clear\n");
        return QTest::qWaitFor([this] { return m_text.isEmpty(); }, waitMs);
    }

    [[nodiscard]] QString text() const { return m_text; }

private:
    Test::HelperProcess m_helper;
    QString m_text;
    bool m_focused = false;
};

// The ids a hotkey service reported, in order.
QList<quint32> pressedIds(const QSignalSpy &spy)
{
    QList<quint32> ids;
    for (const QList<QVariant> &arguments : spy)
        ids.append(arguments.at(0).value<quint32>());
    return ids;
}

bool xdotool(const QStringList &arguments)
{
    return Test::currentXSession().xdotool(arguments);
}

bool pressKeys(const QStringList &keys)
{
    return xdotool(QStringList{u"key"_s} + keys);
}

// The HUD hotkey (Alt+Space, id 1) and the first slot hotkey (Ctrl+Alt+1, id 2).
bool registerTwo(X11HotkeyService &hotkeys)
{
    return hotkeys.registerHotkey(1, KeyCodes::Space, KeyCodes::OptionModifier) == 0 &&
        hotkeys.registerHotkey(2, KeyCodes::Digits[0], KeyCodes::CommandModifier | KeyCodes::OptionModifier) == 0;
}

} // namespace

Q_DECLARE_METATYPE(Strokes)

class TestX11Keyboard : public QObject
{
    Q_OBJECT

private:
    [[nodiscard]] quint16 pointerState() const
    {
        xcb_connection_t *connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_query_pointer_reply_t *reply =
            xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
        const quint16 mask = reply ? reply->mask : 0;
        std::free(reply);
        return mask;
    }

    bool setLock(const QString &key, quint16 mask, bool on)
    {
        if (bool(pointerState() & mask) != on && !pressKeys({key}))
            return false;
        return QTest::qWaitFor([&] { return bool(pointerState() & mask) == on; }, waitMs);
    }

    // Alt+Space, not grabbed, reaches the focused window, with NumLock on too, while Ctrl+Alt+1 still
    // arrives; and it can be registered again.
    void verifyAltSpaceIsFree(X11HotkeyService &hotkeys, const QSignalSpy &spy)
    {
        QVERIFY(setLock(u"Num_Lock"_s, XCB_MOD_MASK_2, true));
        QVERIFY(m_target->focusAndClear());
        QVERIFY(pressKeys({u"alt+space"_s, u"ctrl+alt+1"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), QList<quint32>{2u}, waitMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_target->text(), u" "_s, waitMs);
        QCOMPARE(hotkeys.registerHotkey(1, KeyCodes::Space, KeyCodes::OptionModifier), 0);
        QVERIFY(pressKeys({u"alt+space"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), (QList<quint32>{2, 1}), waitMs);
    }

    std::unique_ptr<KeyboardTarget> m_target;

private Q_SLOTS:
    void initTestCase()
    {
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        QVERIFY(x11 && x11->connection());
        m_target = std::make_unique<KeyboardTarget>();
        QVERIFY(m_target->start());
    }

    void cleanupTestCase() { m_target.reset(); }

    void cleanup()
    {
        // A failed test must not leave a lock key on for the next one.
        setLock(u"Num_Lock"_s, XCB_MOD_MASK_2, false);
        setLock(u"Caps_Lock"_s, XCB_MOD_MASK_LOCK, false);
    }

    // Hotkeys

    void hotkeyArrives_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("lockKey");
        QTest::addColumn<quint16>("lockMask");
        QTest::addColumn<quint32>("expectedId");

        // The HUD hotkey and a slot hotkey, whatever the lock keys say.
        QTest::newRow("alt+space") << u"alt+space"_s << QString() << quint16(0) << 1u;
        QTest::newRow("alt+space with capslock")
            << u"alt+space"_s << u"Caps_Lock"_s << quint16(XCB_MOD_MASK_LOCK) << 1u;
        QTest::newRow("ctrl+alt+1 with numlock") << u"ctrl+alt+1"_s << u"Num_Lock"_s << quint16(XCB_MOD_MASK_2) << 2u;
    }

    void hotkeyArrives()
    {
        QFETCH(QString, keys);
        QFETCH(QString, lockKey);
        QFETCH(quint16, lockMask);
        QFETCH(quint32, expectedId);

        X11HotkeyService hotkeys;
        QSignalSpy spy(&hotkeys, &HotkeyService::hotkeyPressed);
        QVERIFY(registerTwo(hotkeys));
        if (!lockKey.isEmpty())
            QVERIFY(setLock(lockKey, lockMask, true));
        // Every press counts, not only the first.
        QVERIFY(pressKeys({keys}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), QList<quint32>{expectedId}, waitMs);
        QVERIFY(pressKeys({keys}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), (QList<quint32>{expectedId, expectedId}), waitMs);
    }

    void otherKeysAreNotReported()
    {
        X11HotkeyService hotkeys;
        QSignalSpy spy(&hotkeys, &HotkeyService::hotkeyPressed);
        QVERIFY(registerTwo(hotkeys));
        // Same key with other modifiers, same modifiers with other keys; the last press is the hotkey
        // and, arriving in order after the others, proves they were seen and not reported.
        QVERIFY(pressKeys({u"space"_s, u"ctrl+space"_s, u"shift+alt+space"_s, u"alt+v"_s, u"alt+1"_s, u"ctrl+alt+2"_s,
                           u"ctrl+1"_s, u"alt+space"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), QList<quint32>{1u}, waitMs);
    }

    void heldHotkeyFiresOnce()
    {
        X11HotkeyService hotkeys;
        QSignalSpy spy(&hotkeys, &HotkeyService::hotkeyPressed);
        QVERIFY(registerTwo(hotkeys));
        // The key monitor sees the server's auto-repeat, so the test knows when the key has repeated.
        X11KeyEventSource monitor;
        int spacePresses = 0;
        connect(&monitor, &KeyEventSource::keyDown, this, [&](const KeyEvent &event) {
            if (event.keyCode == KeyCodes::Space)
                ++spacePresses;
        });
        QVERIFY(monitor.start());

        const auto release = qScopeGuard([] { xdotool({u"keyup"_s, u"alt+space"_s}); });
        xdotool({u"keydown"_s, u"alt+space"_s});
        QTRY_VERIFY_WITH_TIMEOUT(spacePresses >= 3, waitMs);
        xdotool({u"keyup"_s, u"alt+space"_s});

        QVERIFY(pressKeys({u"ctrl+alt+1"_s, u"alt+space"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), (QList<quint32>{1, 2, 1}), waitMs);
    }

    // Unregistered, the key reaches the focused window again, NumLock variants included, and can be
    // registered once more.
    void unregisteredHotkeyStopsArriving()
    {
        X11HotkeyService hotkeys;
        QSignalSpy spy(&hotkeys, &HotkeyService::hotkeyPressed);
        QVERIFY(registerTwo(hotkeys));
        hotkeys.unregisterHotkey(1);
        verifyAltSpaceIsFree(hotkeys, spy);
    }

    void combinationTakenByAnotherClientFails()
    {
        // Another client holds Alt+Space, though only without lock keys.
        xcb_connection_t *other = xcb_connect(Test::currentXSession().display().toLocal8Bit().constData(), nullptr);
        auto closeOther = qScopeGuard([&] {
            if (other)
                xcb_disconnect(other);
        });
        QVERIFY(!xcb_connection_has_error(other));
        const xcb_setup_t *setup = xcb_get_setup(other);
        const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
        xcb_keycode_t space = 0;
        {
            const int count = setup->max_keycode - setup->min_keycode + 1;
            auto *mapping = xcb_get_keyboard_mapping_reply(
                other, xcb_get_keyboard_mapping(other, setup->min_keycode, quint8(count)), nullptr);
            QVERIFY(mapping);
            const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
            for (int i = 0; i < count && space == 0; ++i) {
                if (keysyms[i * mapping->keysyms_per_keycode] == 0x20)
                    space = xcb_keycode_t(setup->min_keycode + i);
            }
            std::free(mapping);
        }
        QVERIFY(space != 0);
        xcb_generic_error_t *error = xcb_request_check(
            other,
            xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_1, space, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        QVERIFY(!error);

        X11HotkeyService hotkeys;
        QSignalSpy spy(&hotkeys, &HotkeyService::hotkeyPressed);
        QCOMPARE(hotkeys.registerHotkey(2, KeyCodes::Digits[0], KeyCodes::CommandModifier | KeyCodes::OptionModifier),
                 0);
        QCOMPARE(hotkeys.registerHotkey(1, KeyCodes::Space, KeyCodes::OptionModifier), int(XCB_ACCESS));

        // Once the other client is gone, nothing of the failed registration may be left: not even the
        // NumLock variants that were not taken.
        xcb_disconnect(other);
        other = nullptr;
        verifyAltSpaceIsFree(hotkeys, spy);
    }

    void invalidRegistrationsFail_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");

        QTest::newRow("key without a keysym") << quint32(10) << KeyCodes::OptionModifier;
        QTest::newRow("key code out of range") << quint32(0x10000 + KeyCodes::Space) << KeyCodes::OptionModifier;
        QTest::newRow("modifier without a meaning") << quint32(KeyCodes::Space) << quint32(0x1);
        // The same keys under two ids would share one grab, and unregistering one would end both.
        QTest::newRow("combination already registered") << quint32(KeyCodes::V) << KeyCodes::OptionModifier;
    }

    void invalidRegistrationsFail()
    {
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);

        X11HotkeyService hotkeys;
        QSignalSpy spy(&hotkeys, &HotkeyService::hotkeyPressed);
        QCOMPARE(hotkeys.registerHotkey(1, KeyCodes::V, KeyCodes::OptionModifier), 0);
        QVERIFY(hotkeys.registerHotkey(2, keyCode, modifiers) != 0);
        // The failure left the first hotkey alone.
        QVERIFY(pressKeys({u"alt+v"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), QList<quint32>{1u}, waitMs);
    }

    // Synthesis

    // Pasting and pasting from another thread go through end-to-end tests.
    void postedKeysReachFocusedWindow_data()
    {
        QTest::addColumn<Strokes>("strokes");
        QTest::addColumn<QString>("expected");

        const quint16 h = 4;
        const quint16 i = 34;
        const quint16 a = 0;
        const quint16 b = 11;
        QTest::newRow("letters with shift, digits and space")
            << Strokes{{h, KeyCodes::ShiftFlag}, {i}, {KeyCodes::Space}, {KeyCodes::Digits[8]}} << u"Hi 9"_s;
        // Forward Delete takes the character after the cursor, Backspace the one before.
        QTest::newRow("deleting")
            << Strokes{{a}, {b}, {a}, {KeyCodes::LeftArrow}, {KeyCodes::ForwardDelete}, {KeyCodes::Delete}} << u"a"_s;
    }

    void postedKeysReachFocusedWindow()
    {
        QFETCH(Strokes, strokes);
        QFETCH(QString, expected);

        X11KeySynthesizer synthesizer;
        QVERIFY(synthesizer.isAvailable());
        QVERIFY(m_target->focusAndClear());
        for (const Stroke &stroke : std::as_const(strokes)) {
            synthesizer.postKey(stroke.keyCode, stroke.flags, true);
            synthesizer.postKey(stroke.keyCode, stroke.flags, false);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_target->text(), expected, waitMs);
        // Every modifier pressed for a key was released with it.
        QVERIFY(!synthesizer.modifiersHeld());
    }

    void modifiersHeld_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("right control") << u"Control_R"_s;
        QTest::newRow("shift") << u"shift"_s;
        QTest::newRow("alt") << u"alt"_s;
        QTest::newRow("super") << u"super"_s;
    }

    void modifiersHeld()
    {
        QFETCH(QString, key);

        X11KeySynthesizer synthesizer;
        QVERIFY(!synthesizer.modifiersHeld());
        // A lock key is no held modifier.
        QVERIFY(setLock(u"Num_Lock"_s, XCB_MOD_MASK_2, true));
        QVERIFY(!synthesizer.modifiersHeld());

        const auto release = qScopeGuard([&] { xdotool({u"keyup"_s, key}); });
        xdotool({u"keydown"_s, key});
        QTRY_VERIFY_WITH_TIMEOUT(synthesizer.modifiersHeld(), waitMs);
        xdotool({u"keyup"_s, key});
        QTRY_VERIFY_WITH_TIMEOUT(!synthesizer.modifiersHeld(), waitMs);
    }

    // Key monitor

    void monitorTranslatesKeys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<quint16>("keyCode");
        QTest::addColumn<quint64>("flags");
        QTest::addColumn<std::optional<QString>>("characters");
        const std::optional<QString> none;

        // Keys that edit rather than type.
        QTest::newRow("backspace") << u"BackSpace"_s << KeyCodes::Delete << quint64(0) << std::optional(u"\b"_s);
        QTest::newRow("forward delete") << u"Delete"_s << KeyCodes::ForwardDelete << quint64(0)
                                        << std::optional(u"\u007f"_s);
        QTest::newRow("return") << u"Return"_s << KeyCodes::Return << quint64(0) << std::optional(u"\r"_s);
        QTest::newRow("left arrow") << u"Left"_s << KeyCodes::LeftArrow << quint64(0) << none;
        QTest::newRow("keypad without numlock") << u"KP_End"_s << KeyCodes::KeypadDigits[0] << quint64(0) << none;
        QTest::newRow("unknown key") << u"F5"_s << KeyCodes::Unknown << quint64(0) << none;
        // Control, Alt and Super are reported as flags and leave the character alone; Shift shifts it.
        QTest::newRow("ctrl+shift+c") << u"ctrl+shift+c"_s << quint16(8)
                                      << (KeyCodes::CommandFlag | KeyCodes::ShiftFlag) << std::optional(u"C"_s);
        QTest::newRow("alt+v") << u"alt+v"_s << KeyCodes::V << KeyCodes::OptionFlag << std::optional(u"v"_s);
        QTest::newRow("super+a") << u"super+a"_s << quint16(0) << KeyCodes::ControlFlag << std::optional(u"a"_s);
        QTest::newRow("comma") << u"comma"_s << quint16(43) << quint64(0) << std::optional(u","_s);
        QTest::newRow("shift+1") << u"shift+1"_s << KeyCodes::Digits[0] << KeyCodes::ShiftFlag << std::optional(u"!"_s);
    }

    void monitorTranslatesKeys()
    {
        QFETCH(QString, keys);

        X11KeyEventSource source;
        QList<KeyEvent> events;
        connect(&source, &KeyEventSource::keyDown, this, [&](const KeyEvent &event) { events.append(event); });
        QVERIFY(m_target->focusAndClear());
        QVERIFY(source.start());

        // A plain "x" after the key under test shows that it came alone.
        QVERIFY(pressKeys({keys, u"x"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(events.size(), 2, waitMs);
        QCOMPARE(events.at(1).charactersIgnoringModifiers, std::optional<QString>(u"x"_s));
        QTEST(events.at(0).keyCode, "keyCode");
        QTEST(events.at(0).modifierFlags, "flags");
        QTEST(events.at(0).charactersIgnoringModifiers, "characters");
    }

    void monitorStopsAndRestarts()
    {
        // A second monitor that keeps running tells when the keys have gone by.
        X11KeyEventSource witness;
        QStringList witnessed;
        connect(&witness, &KeyEventSource::keyDown, this, [&](const KeyEvent &event) {
            witnessed.append(event.charactersIgnoringModifiers.value_or(QString()));
        });
        QVERIFY(witness.start());

        X11KeyEventSource source;
        QStringList seen;
        connect(&source, &KeyEventSource::keyDown, this,
                [&](const KeyEvent &event) { seen.append(event.charactersIgnoringModifiers.value_or(QString())); });
        QVERIFY(m_target->focusAndClear());

        QVERIFY(source.start());
        QVERIFY(source.start()); // already running: no second recording
        QVERIFY(pressKeys({u"a"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(witnessed, QStringList{u"a"_s}, waitMs);
        QTRY_COMPARE_WITH_TIMEOUT(seen, QStringList{u"a"_s}, waitMs);

        source.stop();
        QVERIFY(!source.isRunning());
        QVERIFY(pressKeys({u"b"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(witnessed.size(), 2, waitMs);
        QCoreApplication::processEvents();
        QCOMPARE(seen, QStringList{u"a"_s});

        // Restarted, also after stopping twice.
        QVERIFY(source.start());
        QVERIFY(pressKeys({u"c"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(seen, (QStringList{u"a"_s, u"c"_s}), waitMs);
        source.stop();
        source.stop();
        QVERIFY(source.start());
        QVERIFY(pressKeys({u"d"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(seen, (QStringList{u"a"_s, u"c"_s, u"d"_s}), waitMs);
    }

    void monitorCanBeStoppedFromItsOwnSignal()
    {
        X11KeyEventSource witness;
        int witnessed = 0;
        connect(&witness, &KeyEventSource::keyDown, this, [&] { ++witnessed; });
        QVERIFY(witness.start());

        X11KeyEventSource source;
        int seen = 0;
        connect(&source, &KeyEventSource::keyDown, this, [&] {
            ++seen;
            source.stop();
        });
        QVERIFY(m_target->focusAndClear());
        QVERIFY(source.start());

        // Typed in one go, so the keys are likely read in one batch; none after the stop may arrive.
        xdotool({u"type"_s, u"--delay"_s, u"0"_s, u"abcdef"_s});
        QTRY_COMPARE_WITH_TIMEOUT(witnessed, 6, waitMs);
        QCoreApplication::processEvents();
        QCOMPARE(seen, 1);
        QVERIFY(!source.isRunning());
    }
};

int main(int argc, char **argv)
{
    return Test::runInXSession(argc, argv, []() -> QObject * { return new TestX11Keyboard; },
                               {{targetArgument, runKeyboardTarget}});
}

#include "tst_x11keyboard.moc"
