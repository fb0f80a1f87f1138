// SPDX-License-Identifier: MIT
#include "X11HotkeyService.h"

#include "X11KeyMap.h"

#include <QGuiApplication>
#include <QMetaObject>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace Vexilo {

namespace {

// A grab matches the modifier state exactly, so every combination of the lock modifiers is
// grabbed too: NumLock (Mod2) and CapsLock.
constexpr auto lockVariants =
    std::to_array<quint16>({0, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK});
constexpr quint16 hotkeyModifierMask = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

struct FreeDeleter
{
    void operator()(void *pointer) const { std::free(pointer); }
};

} // namespace

X11HotkeyService::X11HotkeyService(QObject *parent)
    : HotkeyService(parent)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    m_connection = x11 ? x11->connection() : nullptr;
    if (!m_connection)
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (!screen) {
        m_connection = nullptr;
        return;
    }
    m_root = screen->root;
    qGuiApp->installNativeEventFilter(this);
}

X11HotkeyService::~X11HotkeyService()
{
    if (!m_connection)
        return;
    for (const Grab &grab : std::as_const(m_grabs))
        ungrab(grab);
    xcb_flush(m_connection);
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
}

int X11HotkeyService::registerHotkey(quint32 id, quint32 keyCode, quint32 modifiers)
{
    if (!m_connection)
        return NoDisplayStatus;
    unregisterHotkey(id);

    const auto xModifiers = X11KeyMap::xModifiersForHotkeyModifiers(modifiers);
    const quint32 keysym = keyCode <= 0xFFFF ? X11KeyMap::keysymForKeyCode(quint16(keyCode)) : 0;
    const quint8 keycode = keysym ? keycodeForKeysym(keysym) : 0;
    if (!xModifiers || keycode == 0)
        return UnknownKeyStatus;
    const Grab grab{keycode, *xModifiers};

    // Grabbing again from the same client would silently share the grab between two ids.
    for (const Grab &other : std::as_const(m_grabs)) {
        if (other.keycode == grab.keycode && other.modifiers == grab.modifiers)
            return XCB_ACCESS;
    }

    std::array<xcb_void_cookie_t, lockVariants.size()> cookies{};
    for (size_t i = 0; i < lockVariants.size(); ++i) {
        cookies[i] = xcb_grab_key_checked(m_connection, 1, m_root, grab.modifiers | lockVariants[i], grab.keycode,
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    int status = 0;
    for (const xcb_void_cookie_t &cookie : cookies) {
        std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(xcb_request_check(m_connection, cookie));
        if (error && status == 0)
            status = error->error_code;
    }
    if (status != 0) {
        // Some variants may have succeeded; ungrabbing touches only this client's grabs.
        ungrab(grab);
        xcb_flush(m_connection);
        return status;
    }
    m_grabs.insert(id, grab);
    return 0;
}

void X11HotkeyService::unregisterHotkey(quint32 id)
{
    const auto it = m_grabs.constFind(id);
    if (it == m_grabs.constEnd())
        return;
    ungrab(*it);
    m_heldKeycodes.remove(it->keycode);
    m_releaseTimes.remove(it->keycode);
    m_grabs.erase(it);
    xcb_flush(m_connection);
}

void X11HotkeyService::ungrab(const Grab &grab)
{
    for (const quint16 variant : lockVariants)
        xcb_ungrab_key(m_connection, grab.keycode, m_root, grab.modifiers | variant);
}

quint8 X11HotkeyService::keycodeForKeysym(quint32 keysym) const
{
    // Asked afresh each time so that a changed keyboard layout is honoured.
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto cookie = xcb_get_keyboard_mapping(m_connection, setup->min_keycode, quint8(count));
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, FreeDeleter> reply(
        xcb_get_keyboard_mapping_reply(m_connection, cookie, nullptr));
    if (!reply)
        return 0;
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int perKeycode = reply->keysyms_per_keycode;
    // Column by column, like XKeysymToKeycode: the key that types it without modifiers wins.
    for (int column = 0; column < perKeycode; ++column) {
        for (int index = 0; index < count; ++index) {
            if (keysyms[index * perKeycode + column] == keysym)
                return quint8(setup->min_keycode + index);
        }
    }
    return 0;
}

bool X11HotkeyService::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result)
{
    Q_UNUSED(result)
    if (eventType != "xcb_generic_event_t" || m_grabs.isEmpty())
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & ~0x80;
    if (type == XCB_KEY_RELEASE) {
        const auto *release = static_cast<const xcb_key_release_event_t *>(message);
        if (!m_heldKeycodes.remove(release->detail))
            return false;
        m_releaseTimes.insert(release->detail, release->time);
        return true;
    }
    if (type != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    const quint16 modifiers = press->state & hotkeyModifierMask;
    for (auto it = m_grabs.cbegin(); it != m_grabs.cend(); ++it) {
        if (it->keycode != press->detail || it->modifiers != modifiers)
            continue;
        // Auto-repeat sends further presses, each after a release with the same time stamp unless
        // the client asked for detectable auto-repeat.
        const bool repeat = m_heldKeycodes.contains(press->detail) ||
            m_releaseTimes.value(press->detail, press->time + 1) == press->time;
        m_heldKeycodes.insert(press->detail);
        if (repeat)
            return true;
        const quint32 id = it.key();
        QMetaObject::invokeMethod(
            this, [this, id] { Q_EMIT hotkeyPressed(id); }, Qt::QueuedConnection);
        return true;
    }
    return false;
}

} // namespace Vexilo
