// SPDX-License-Identifier: MIT
#include "KeyCodes.h"
#include "X11KeyMap.h"

#include <QTest>

#include <xcb/xproto.h>
#include <xkbcommon/xkbcommon.h>

using namespace Vexilo;

namespace {

quint32 keysymNamed(const char *name)
{
    return xkb_keysym_from_name(name, XKB_KEYSYM_NO_FLAGS);
}

} // namespace

class TestX11KeyMap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysymForKeyCode_data()
    {
        QTest::addColumn<quint16>("keyCode");
        QTest::addColumn<QByteArray>("keysymName");

        // Keys no X11 test presses (those go through a real server), and the digits of the hotkeys on
        // the main row and on the keypad, whose codes are not in order.
        QTest::newRow("escape") << KeyCodes::Escape << QByteArray("Escape");
        QTest::newRow("up") << KeyCodes::UpArrow << QByteArray("Up");
        for (int digit = 1; digit <= 9; ++digit) {
            const QByteArray name = QByteArray::number(digit);
            QTest::addRow("digit %d", digit) << KeyCodes::Digits[digit - 1] << name;
            QTest::addRow("keypad %d", digit) << KeyCodes::KeypadDigits[digit - 1] << QByteArray("KP_" + name);
        }
    }

    void keysymForKeyCode()
    {
        QFETCH(quint16, keyCode);
        QFETCH(QByteArray, keysymName);

        const quint32 expected = keysymNamed(keysymName.constData());
        QVERIFY(expected != XKB_KEY_NoSymbol);
        QCOMPARE(X11KeyMap::keysymForKeyCode(keyCode), expected);
        QCOMPARE(X11KeyMap::keyCodeForKeysym(expected), keyCode);
    }

    void everyMappedKeyRoundTrips()
    {
        int mapped = 0;
        for (quint32 code = 0; code <= 0xFFFF; ++code) {
            const quint32 keysym = X11KeyMap::keysymForKeyCode(quint16(code));
            if (keysym == XKB_KEY_NoSymbol)
                continue;
            ++mapped;
            QCOMPARE(X11KeyMap::keyCodeForKeysym(keysym), quint16(code));
        }
        // Letters, both rows of digits and the named keys at least.
        QVERIFY2(mapped >= 26 + 9 + 9 + 10, qPrintable(QString::number(mapped)));
    }

    void keyCodeForOtherKeysyms_data()
    {
        QTest::addColumn<QByteArray>("keysymName");
        QTest::addColumn<quint16>("keyCode");

        // A capital letter is the same key as its small letter.
        QTest::newRow("capital V") << QByteArray("V") << KeyCodes::V;
        QTest::newRow("capital M") << QByteArray("M") << quint16(46);
        // The keypad without NumLock and Shift+Tab are still the same physical keys.
        QTest::newRow("keypad up") << QByteArray("KP_Up") << KeyCodes::KeypadDigits[7];
        QTest::newRow("keypad page up") << QByteArray("KP_Prior") << KeyCodes::KeypadDigits[8];
        QTest::newRow("shift tab") << QByteArray("ISO_Left_Tab") << KeyCodes::Tab;
        // Keys without a logical code.
        QTest::newRow("no symbol") << QByteArray("NoSymbol") << KeyCodes::Unknown;
        QTest::newRow("function key") << QByteArray("F1") << KeyCodes::Unknown;
        QTest::newRow("modifier key") << QByteArray("Shift_L") << KeyCodes::Unknown;
        QTest::newRow("accented letter") << QByteArray("eacute") << KeyCodes::Unknown;
        QTest::newRow("shifted digit") << QByteArray("exclam") << KeyCodes::Unknown;
    }

    void keyCodeForOtherKeysyms()
    {
        QFETCH(QByteArray, keysymName);
        QTEST(X11KeyMap::keyCodeForKeysym(keysymNamed(keysymName.constData())), "keyCode");
    }

    void onlyModifiersAreFlags_data()
    {
        QTest::addColumn<quint64>("flags");
        QTest::addColumn<quint16>("state");

        // Command is the Control key and Option the Alt key; Super keeps the logical Control apart. The
        // X11 tests read each of them from a real server.
        QTest::newRow("all four") << (KeyCodes::ShiftFlag | KeyCodes::ControlFlag | KeyCodes::OptionFlag |
                                      KeyCodes::CommandFlag)
                                  << quint16(XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 |
                                             XCB_MOD_MASK_4);
        // Lock keys, AltGr (Mod5), the keyboard group and mouse buttons are no modifier flags.
        QTest::newRow("caps lock") << quint64(0) << quint16(XCB_MOD_MASK_LOCK);
        QTest::newRow("num lock") << quint64(0) << quint16(XCB_MOD_MASK_2);
        QTest::newRow("altgr") << quint64(0) << quint16(XCB_MOD_MASK_5);
        QTest::newRow("second group") << quint64(0) << quint16(0x2000);
        QTest::newRow("button held") << quint64(0) << quint16(XCB_BUTTON_MASK_1);
        QTest::newRow("shift under num lock")
            << KeyCodes::ShiftFlag << quint16(XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK);
    }

    void onlyModifiersAreFlags()
    {
        QFETCH(quint16, state);
        QTEST(X11KeyMap::flagsForXState(state), "flags");
    }
};

QTEST_GUILESS_MAIN(TestX11KeyMap)
#include "tst_x11keymap.moc"
