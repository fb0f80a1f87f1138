// SPDX-License-Identifier: MIT
#include "KeyCodes.h"
#include "X11HotkeyService.h"
#include "X11KeyEventSource.h"
#include "X11KeySynthesizer.h"
#include "XTestMain.h"

#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>
#include <QThread>
#include <QWindow>

#include <cstdio>
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

// The child process: one focused line edit that reports its text and focus on stdout and empties
// itself when told "clear" on stdin.
int runKeyboardTarget(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle(u"vexilo-keyboard-target"_s);
    const auto report = [](const QString &line) {
        std::fputs(line.toUtf8().append('\n').constData(), stdout);
        std::fflush(stdout);
    };
    QObject::connect(&edit, &QLineEdit::textChanged, [&](const QString &text) { report(u"text:"_s + text); });
    QObject::connect(&app, &QGuiApplication::focusWindowChanged,
                     [&](QWindow *window) { report(window ? u"focus:in"_s : u"focus:out"_s); });
    QFile input;
    if (!input.open(0, QIODevice::ReadOnly))
        return 2;
    QSocketNotifier notifier(0, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        const QByteArray line = input.readLine();
        if (line.isEmpty()) {
            app.quit(); // the test has gone
        } else if (line.trimmed() == "clear") {
            edit.clear();
            report(u"text:"_s + edit.text());
        }
    });
    edit.resize(400, 40);
    edit.show();
    report(u"window:"_s + QString::number(edit.winId()));
    return app.exec();
}

} // namespace

Q_DECLARE_METATYPE(Strokes)

// Drives the child process from the test.
class KeyboardTarget
{
public:
    ~KeyboardTarget()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    bool start()
    {
        QProcessEnvironment environment = Test::currentXSession().environment();
        // The child is only a window to type into; what Qt and D-Bus leave behind is not under test.
        environment.insert(u"ASAN_OPTIONS"_s, environment.value(u"ASAN_OPTIONS"_s) + u":detect_leaks=0"_s);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { readLines(); });
        m_process.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(targetArgument)});
        return m_process.waitForStarted(5000) && QTest::qWaitFor([this] { return !m_window.isEmpty(); }, waitMs);
    }

    // Gives the line edit the keyboard and empties it.
    bool focusAndClear()
    {
        Test::currentXSession().run(u"xdotool"_s, {u"windowactivate"_s, u"--sync"_s, m_window});
        if (!QTest::qWaitFor([this] { return m_focused; }, waitMs))
            return false;
        m_text = u"?"_s;
        m_process.write("clear\n");
        return QTest::qWaitFor([this] { return m_text.isEmpty(); }, waitMs);
    }

    [[nodiscard]] QString text() const { return m_text; }

private:
    void readLines()
    {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).chopped(1);
            if (line.startsWith(u"text:"))
                m_text = line.mid(5);
            else if (line.startsWith(u"focus:"))
                m_focused = line == u"focus:in";
            else if (line.startsWith(u"window:"))
                m_window = line.mid(7);
        }
    }

    QProcess m_process;
    QString m_window;
    QString m_text;
    bool m_focused = false;
};

namespace {

// The ids a hotkey service reported, in order.
QList<quint32> pressedIds(const QSignalSpy &spy)
{
    QList<quint32> ids;
    for (const QList<QVariant> &arguments : spy)
        ids.append(arguments.at(0).value<quint32>());
    return ids;
}

void xdotool(const QStringList &arguments)
{
    Test::currentXSession().run(u"xdotool"_s, arguments);
}

// The HUD hotkey (Alt+Space, id 1) and the first slot hotkey (Ctrl+Alt+1, id 2).
bool registerTwo(X11HotkeyService &hotkeys)
{
    return hotkeys.registerHotkey(1, KeyCodes::Space, KeyCodes::OptionModifier) == 0 &&
        hotkeys.registerHotkey(2, KeyCodes::Digits[0], KeyCodes::CommandModifier | KeyCodes::OptionModifier) == 0;
}

} // namespace

class TestX11Keyboard : public QObject
{
    Q_OBJECT

private:
    bool pressKeys(const QStringList &keys)
    {
        int exitCode = -1;
        Test::currentXSession().run(u"xdotool"_s, QStringList{u"key"_s} + keys, {}, waitMs, &exitCode);
        return exitCode == 0;
    }

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
        QVERIFY(setLock(u"Num_Lock"_s, XCB_MOD_MASK_2, true));

        QVERIFY(m_target->focusAndClear());
        QVERIFY(pressKeys({u"alt+space"_s, u"ctrl+alt+1"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), QList<quint32>{2u}, waitMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_target->text(), u" "_s, waitMs);

        QCOMPARE(hotkeys.registerHotkey(1, KeyCodes::Space, KeyCodes::OptionModifier), 0);
        QVERIFY(pressKeys({u"alt+space"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), (QList<quint32>{2, 1}), waitMs);
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
        // NumLock variants that were not taken. The key reaches the focused window again.
        xcb_disconnect(other);
        other = nullptr;
        QVERIFY(setLock(u"Num_Lock"_s, XCB_MOD_MASK_2, true));
        QVERIFY(m_target->focusAndClear());
        QVERIFY(pressKeys({u"alt+space"_s, u"ctrl+alt+1"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), QList<quint32>{2u}, waitMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_target->text(), u" "_s, waitMs);

        // And the combination can be had now.
        QCOMPARE(hotkeys.registerHotkey(1, KeyCodes::Space, KeyCodes::OptionModifier), 0);
        QVERIFY(pressKeys({u"alt+space"_s}));
        QTRY_COMPARE_WITH_TIMEOUT(pressedIds(spy), (QList<quint32>{2, 1}), waitMs);
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

    void postedKeysReachFocusedWindow_data()
    {
        QTest::addColumn<Strokes>("strokes");
        QTest::addColumn<bool>("fromWorkerThread");
        QTest::addColumn<QString>("expected");

        const quint16 h = 4;
        const quint16 i = 34;
        const quint16 a = 0;
        const quint16 b = 11;
        QTest::newRow("letters with shift, digits and space")
            << Strokes{{h, KeyCodes::ShiftFlag}, {i}, {KeyCodes::Space}, {KeyCodes::Digits[8]}} << false << u"Hi 9"_s;
        // Forward Delete takes the character after the cursor, Backspace the one before.
        QTest::newRow("deleting")
            << Strokes{{a}, {b}, {a}, {KeyCodes::LeftArrow}, {KeyCodes::ForwardDelete}, {KeyCodes::Delete}} << false
            << u"a"_s;
        QTest::newRow("command v pastes")
            << Strokes{{KeyCodes::V, KeyCodes::CommandFlag}} << false << u"pasted-\u00fc"_s;
        QTest::newRow("paste and backspaces from a worker thread")
            << Strokes{{KeyCodes::V, KeyCodes::CommandFlag}, {KeyCodes::Delete}, {KeyCodes::Delete}} << true
            << u"pasted"_s;
    }

    void postedKeysReachFocusedWindow()
    {
        QFETCH(Strokes, strokes);
        QFETCH(bool, fromWorkerThread);
        QFETCH(QString, expected);

        X11KeySynthesizer synthesizer;
        QVERIFY(synthesizer.isAvailable());
        Test::currentXSession().run(u"xclip"_s, {u"-selection"_s, u"clipboard"_s}, u"pasted-\u00fc"_s.toUtf8());
        QVERIFY(m_target->focusAndClear());

        const auto post = [&] {
            for (const Stroke &stroke : strokes) {
                synthesizer.postKey(stroke.keyCode, stroke.flags, true);
                synthesizer.postKey(stroke.keyCode, stroke.flags, false);
            }
        };
        if (fromWorkerThread) {
            std::unique_ptr<QThread> worker(QThread::create(post));
            worker->start();
            QVERIFY(worker->wait(waitMs));
        } else {
            post();
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

    void monitorSeesTypedText()
    {
        X11KeyEventSource source;
        QVERIFY(source.isAvailable());
        QList<KeyEvent> events;
        connect(&source, &KeyEventSource::keyDown, this, [&](const KeyEvent &event) { events.append(event); });
        QVERIFY(m_target->focusAndClear());
        QVERIFY(source.start());
        QVERIFY(source.isRunning());

        const QString text = u"Hello, World; 1"_s;
        xdotool({u"type"_s, text});
        const auto typed = [&] {
            QString result;
            for (const KeyEvent &event : std::as_const(events))
                result += event.charactersIgnoringModifiers.value_or(u"<none>"_s);
            return result;
        };
        // Shift itself is no key-down: exactly one event per character.
        QTRY_COMPARE_WITH_TIMEOUT(typed(), text, waitMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_target->text(), text, waitMs);

        for (qsizetype index = 0; index < text.size(); ++index) {
            const bool capital = text.at(index).isUpper();
            QCOMPARE(bool(events.at(index).modifierFlags & KeyCodes::ShiftFlag), capital);
            QCOMPARE(events.at(index).modifierFlags & ~KeyCodes::ShiftFlag, quint64(0));
        }
        QCOMPARE(events.at(0).keyCode, quint16(4)); // H
        QCOMPARE(events.at(5).keyCode, quint16(43)); // ,
        QCOMPARE(events.at(6).keyCode, KeyCodes::Space);
        QCOMPARE(events.at(12).keyCode, quint16(41)); // ;
        QCOMPARE(events.at(14).keyCode, KeyCodes::Digits[0]);
    }

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
    if (argc > 1 && qstrcmp(argv[1], targetArgument) == 0)
        return runKeyboardTarget(argc, argv);
    return Test::runInXSession(argc, argv, []() -> QObject * { return new TestX11Keyboard; });
}

#include "tst_x11keyboard.moc"
