// SPDX-License-Identifier: MIT
#include "WaylandKeySynthesizer.h"

#include "KeyCodes.h"
#include "X11KeyMap.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <QElapsedTimer>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace Vexilo {

namespace {

// XKB keycodes are evdev codes plus 8.
constexpr quint32 evdevOffset = 8;
constexpr quint32 keymapFormatXkbV1 = 1;

quint32 milliseconds()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return quint32(clock.elapsed());
}

} // namespace

std::unique_ptr<WaylandKeySynthesizer> WaylandKeySynthesizer::create(LogSink log, const QString &displayName)
{
    auto connection = WaylandConnection::open(displayName, QStringLiteral("Wayland keyboard: "), std::move(log));
    if (!connection)
        return nullptr;
    std::unique_ptr<WaylandKeySynthesizer> synthesizer(new WaylandKeySynthesizer(std::move(connection)));
    if (!synthesizer->setUpKeyboard())
        synthesizer->m_connection->say(synthesizer->m_problem);
    return synthesizer;
}

WaylandKeySynthesizer::WaylandKeySynthesizer(std::unique_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection))
{ }

WaylandKeySynthesizer::~WaylandKeySynthesizer()
{
    if (m_keyboard)
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    if (m_manager)
        zwp_virtual_keyboard_manager_v1_destroy(m_manager);
    if (m_state)
        xkb_state_unref(m_state);
    if (m_keymap)
        xkb_keymap_unref(m_keymap);
    if (m_context)
        xkb_context_unref(m_context);
    if (m_connection)
        m_connection->flush();
}

bool WaylandKeySynthesizer::setUpKeyboard()
{
    m_manager = static_cast<zwp_virtual_keyboard_manager_v1 *>(
        m_connection->bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    if (!m_manager || !m_connection->seat()) {
        m_problem = QStringLiteral("the compositor offers no virtual keyboard (zwp_virtual_keyboard_manager_v1)");
        return false;
    }
    m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    m_keymap = m_context ? xkb_keymap_new_from_names(m_context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    m_state = m_keymap ? xkb_state_new(m_keymap) : nullptr;
    if (!m_state) {
        m_problem = QStringLiteral("no keyboard layout could be compiled (xkbcommon)");
        return false;
    }
    for (xkb_keycode_t key = xkb_keymap_min_keycode(m_keymap); key <= xkb_keymap_max_keycode(m_keymap); ++key) {
        const xkb_keysym_t *syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(m_keymap, key, 0, 0, &syms);
        // The first key that types a symbol wins: the main row before the keypad.
        for (int i = 0; i < count; ++i) {
            if (!m_keycodes.contains(syms[i]))
                m_keycodes.insert(syms[i], key);
        }
    }

    char *text = xkb_keymap_get_as_string(m_keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    if (!text) {
        m_problem = QStringLiteral("the keyboard layout could not be written out (xkbcommon)");
        return false;
    }
    const size_t size = std::strlen(text) + 1;
    const int fd = memfd_create("vexilo-keymap", MFD_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, text, size) == ssize_t(size);
    std::free(text);
    if (!written) {
        if (fd >= 0)
            ::close(fd);
        m_problem = QStringLiteral("the keyboard layout could not be handed to the compositor");
        return false;
    }
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_manager, m_connection->seat());
    zwp_virtual_keyboard_v1_keymap(m_keyboard, keymapFormatXkbV1, fd, quint32(size));
    ::close(fd);
    // A compositor that refuses us says so with a protocol error, which the roundtrip surfaces.
    if (!m_connection->roundtrip()) {
        m_problem = QStringLiteral("the compositor refused a virtual keyboard");
        return false;
    }
    return true;
}

bool WaylandKeySynthesizer::isAvailable() const
{
    QMutexLocker locker(&m_mutex);
    return m_keyboard && !m_connection->isBroken();
}

quint32 WaylandKeySynthesizer::keycodeForKeysym(quint32 keysym) const
{
    return m_keycodes.value(keysym, 0);
}

void WaylandKeySynthesizer::postKey(quint16 keyCode, quint64 modifierFlags, bool down)
{
    // XKB speaks the X11 keysyms.
    const quint32 keycode = keycodeForKeysym(X11KeyMap::keysymForKeyCode(keyCode));
    QMutexLocker locker(&m_mutex);
    if (!m_keyboard || m_connection->isBroken() || keycode == 0)
        return;
    const std::vector<quint32> modifiers = X11KeyMap::modifierKeysyms(modifierFlags);
    if (down) {
        for (const quint32 modifier : modifiers)
            sendKeyLocked(keycodeForKeysym(modifier), true);
        sendKeyLocked(keycode, true);
    } else {
        sendKeyLocked(keycode, false);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
            sendKeyLocked(keycodeForKeysym(*it), false);
    }
    // Waits until the compositor has taken the keys, so that a following one cannot overtake them.
    m_connection->roundtrip();
}

void WaylandKeySynthesizer::sendKeyLocked(quint32 keycode, bool down)
{
    if (keycode < evdevOffset)
        return;
    zwp_virtual_keyboard_v1_key(m_keyboard, milliseconds(), keycode - evdevOffset,
                                down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    // The compositor takes the modifier state from us, not from the keys.
    const auto changed = xkb_state_update_key(m_state, keycode, down ? XKB_KEY_DOWN : XKB_KEY_UP);
    if (changed &
        (XKB_STATE_MODS_DEPRESSED | XKB_STATE_MODS_LATCHED | XKB_STATE_MODS_LOCKED | XKB_STATE_LAYOUT_EFFECTIVE))
        zwp_virtual_keyboard_v1_modifiers(m_keyboard, xkb_state_serialize_mods(m_state, XKB_STATE_MODS_DEPRESSED),
                                          xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LATCHED),
                                          xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LOCKED),
                                          xkb_state_serialize_layout(m_state, XKB_STATE_LAYOUT_EFFECTIVE));
}

} // namespace Vexilo
