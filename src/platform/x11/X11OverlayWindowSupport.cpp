// SPDX-License-Identifier: MIT
#include "X11OverlayWindowSupport.h"

#include "X11Atoms.h"

#include <QGuiApplication>
#include <QWindow>

#include <cstdlib>
#include <cstring>
#include <poll.h>

// Xlib last: its macros (None, Bool, Status) collide with Qt's names.
#include <X11/Xlib.h>

namespace Vexilo {

namespace {
// Source indication "application": the window manager applies its focus-stealing rules, which a
// fresh timestamp satisfies.
constexpr quint32 applicationSource = 1;
constexpr int serverTimeTimeoutMs = 200;

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}
} // namespace

X11OverlayWindowSupport::X11OverlayWindowSupport(const X11Atoms *atoms)
    : m_atoms(atoms)
{ }

void X11OverlayWindowSupport::prepare(QWindow &window)
{
    window.setFlags(window.flags() | Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // Qt merges its own states into whatever _NET_WM_STATE holds when it maps the window.
    xcb_connection_t *connection = m_atoms->connection();
    const xcb_atom_t states[] = {m_atoms->atom(QByteArrayLiteral("_NET_WM_STATE_SKIP_TASKBAR")),
                                 m_atoms->atom(QByteArrayLiteral("_NET_WM_STATE_SKIP_PAGER")),
                                 m_atoms->atom(QByteArrayLiteral("_NET_WM_STATE_ABOVE"))};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()),
                        m_atoms->atom(QByteArrayLiteral("_NET_WM_STATE")), XCB_ATOM_ATOM, 32, 3, states);
    xcb_flush(connection);
}

void X11OverlayWindowSupport::activate(QWindow &window)
{
    window.raise();
    xcb_connection_t *connection = m_atoms->connection();
    const xcb_window_t root = m_atoms->rootWindow();
    const auto active =
        m_atoms->property32(root, m_atoms->atom(QByteArrayLiteral("_NET_ACTIVE_WINDOW")), XCB_ATOM_WINDOW);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window.winId());
    event.type = m_atoms->atom(QByteArrayLiteral("_NET_ACTIVE_WINDOW"));
    event.data.data32[0] = applicationSource;
    event.data.data32[1] = serverTime();
    event.data.data32[2] = active.value_or(0);
    xcb_send_event(connection, false, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(connection);
}

bool X11OverlayWindowSupport::isCompositing() const
{
    xcb_connection_t *connection = m_atoms->connection();
    int screen = 0;
    if (auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        screen = XDefaultScreen(x11->display());
    const xcb_atom_t selection = m_atoms->atom(QByteArrayLiteral("_NET_WM_CM_S") + QByteArray::number(screen));
    xcb_get_selection_owner_reply_t *reply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool owned = reply && reply->owner != XCB_NONE;
    std::free(reply);
    return owned;
}

xcb_timestamp_t X11OverlayWindowSupport::serverTime() const
{
    // A connection of our own, so that the PropertyNotify is not taken by Qt's event reader.
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return XCB_CURRENT_TIME;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t atom = internAtom(connection, "_VEXILO_TIMESTAMP");
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, atom, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection);

    xcb_timestamp_t time = XCB_CURRENT_TIME;
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (int attempt = 0; attempt < 10 && time == XCB_CURRENT_TIME; ++attempt) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & ~0x80) == XCB_PROPERTY_NOTIFY)
                time = reinterpret_cast<xcb_property_notify_event_t *>(event)->time;
            std::free(event);
        }
        if (time == XCB_CURRENT_TIME && ::poll(&descriptor, 1, serverTimeTimeoutMs / 10) < 0)
            break;
    }
    xcb_destroy_window(connection, window);
    xcb_disconnect(connection);
    return time;
}

} // namespace Vexilo
