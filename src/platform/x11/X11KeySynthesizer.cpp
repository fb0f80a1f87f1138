// SPDX-License-Identifier: MIT
#include "X11KeySynthesizer.h"

#include "KeyCodes.h"
#include "X11KeyMap.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <array>

namespace Vexilo {

X11KeySynthesizer::X11KeySynthesizer(const QByteArray &displayName)
    : m_display(XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData()))
{
    if (!m_display)
        return;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    m_hasXTest = XTestQueryExtension(m_display, &eventBase, &errorBase, &major, &minor);
    // Keeps the fake events flowing while another client grabs the server.
    if (m_hasXTest)
        XTestGrabControl(m_display, True);
}

X11KeySynthesizer::~X11KeySynthesizer()
{
    if (m_display)
        XCloseDisplay(m_display);
}

bool X11KeySynthesizer::isAvailable() const
{
    return m_display && m_hasXTest;
}

QString X11KeySynthesizer::unavailableReason() const
{
    return !m_display ? QStringLiteral("no X display")
        : !m_hasXTest ? QStringLiteral("this display offers no XTEST")
                      : QString();
}

bool X11KeySynthesizer::modifiersHeld() const
{
    if (!m_display)
        return false;
    QMutexLocker locker(&m_mutex);
    std::array<char, 32> keys{};
    XQueryKeymap(m_display, keys.data());
    XModifierKeymap *map = XGetModifierMapping(m_display);
    if (!map)
        return false;
    bool held = false;
    for (int modifier : {ShiftMapIndex, ControlMapIndex, Mod1MapIndex, Mod4MapIndex}) {
        for (int i = 0; i < map->max_keypermod && !held; ++i) {
            const KeyCode code = map->modifiermap[modifier * map->max_keypermod + i];
            held = code != 0 && (keys[code / 8] & (1 << (code % 8)));
        }
    }
    XFreeModifiermap(map);
    return held;
}

void X11KeySynthesizer::postKey(quint16 keyCode, quint64 modifierFlags, bool down)
{
    if (!isAvailable())
        return;
    const KeySym keysym = X11KeyMap::keysymForKeyCode(keyCode);
    if (keysym == NoSymbol)
        return;
    QMutexLocker locker(&m_mutex);
    refreshKeyboardMappingLocked();
    const std::vector<quint32> modifiers = X11KeyMap::modifierKeysyms(modifierFlags);
    if (down) {
        for (const quint32 modifier : modifiers)
            fakeKeyLocked(modifier, true);
        fakeKeyLocked(keysym, true);
    } else {
        fakeKeyLocked(keysym, false);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
            fakeKeyLocked(*it, false);
    }
    // Waits until the server has taken the events, so that a following key cannot overtake them.
    XSync(m_display, False);
}

void X11KeySynthesizer::refreshKeyboardMappingLocked() const
{
    // Nothing else reads this connection's events; only MappingNotify ever arrives on it, and it
    // tells Xlib that its cached keysym tables are stale.
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type == MappingNotify)
            XRefreshKeyboardMapping(&event.xmapping);
    }
}

void X11KeySynthesizer::fakeKeyLocked(unsigned long keysym, bool down) const
{
    const KeyCode code = XKeysymToKeycode(m_display, keysym);
    if (code == 0)
        return;
    XTestFakeKeyEvent(m_display, code, down ? True : False, CurrentTime);
}

} // namespace Vexilo
