// SPDX-License-Identifier: MIT
#include "X11Atoms.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

// Xlib last: its macros (None, Bool, Status) collide with Qt's names.
#include <X11/Xlib.h>

namespace Vexilo {

namespace {

struct FreeDeleter
{
    void operator()(void *pointer) const { std::free(pointer); }
};
template<typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

} // namespace

X11Atoms::X11Atoms(xcb_connection_t *connection, xcb_window_t rootWindow)
    : m_connection(connection)
    , m_rootWindow(rootWindow)
{ }

std::unique_ptr<X11Atoms> X11Atoms::forApplication()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection() || !x11->display())
        return nullptr;
    xcb_connection_t *connection = x11->connection();
    // The root of the screen Qt opened the display on, not simply the first one.
    int screen = XDefaultScreen(x11->display());
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; it.rem && screen > 0; --screen)
        xcb_screen_next(&it);
    if (!it.rem)
        return nullptr;
    return std::make_unique<X11Atoms>(connection, it.data->root);
}

xcb_atom_t X11Atoms::atom(const QByteArray &name) const
{
    if (const auto found = m_cache.constFind(name); found != m_cache.cend())
        return *found;
    prefetch({name});
    return m_cache.value(name, XCB_ATOM_NONE);
}

void X11Atoms::prefetch(const QList<QByteArray> &names) const
{
    QList<std::pair<QByteArray, xcb_intern_atom_cookie_t>> pending;
    for (const QByteArray &name : names) {
        if (!m_cache.contains(name))
            pending.append({name, xcb_intern_atom(m_connection, false, quint16(name.size()), name.constData())});
    }
    for (const auto &[name, cookie] : pending) {
        xcb_generic_error_t *error = nullptr;
        XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, &error));
        std::free(error);
        if (reply)
            m_cache.insert(name, reply->atom);
    }
}

std::optional<QByteArray> X11Atoms::property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                             quint32 maxBytes) const
{
    if (window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE)
        return std::nullopt;
    const auto cookie = xcb_get_property(m_connection, false, window, property, type, 0, (maxBytes + 3) / 4);
    // Errors (a window that is gone) are taken here so that Qt does not report them.
    xcb_generic_error_t *error = nullptr;
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_connection, cookie, &error));
    std::free(error);
    if (!reply || reply->type == XCB_ATOM_NONE)
        return std::nullopt;
    if (type != XCB_ATOM_ANY && reply->type != type)
        return std::nullopt;
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())), length);
}

std::optional<quint32> X11Atoms::property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const
{
    const auto bytes = this->property(window, property, type, 4);
    if (!bytes || bytes->size() < 4)
        return std::nullopt;
    quint32 value = 0;
    std::memcpy(&value, bytes->constData(), sizeof value);
    return value;
}

std::optional<QString> X11Atoms::textProperty(xcb_window_t window, xcb_atom_t property) const
{
    if (const auto utf8 = this->property(window, property, atom(QByteArrayLiteral("UTF8_STRING"))))
        return QString::fromUtf8(*utf8);
    if (const auto latin1 = this->property(window, property, XCB_ATOM_STRING))
        return QString::fromLatin1(*latin1);
    return std::nullopt;
}

std::optional<std::pair<QString, QString>> X11Atoms::windowClass(xcb_window_t window) const
{
    const auto bytes = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    if (!bytes)
        return std::nullopt;
    // Two NUL-terminated strings; some clients leave off the last NUL.
    const QList<QByteArray> parts = bytes->split('\0');
    const QString instance = QString::fromLocal8Bit(parts.value(0));
    const QString windowClass = QString::fromLocal8Bit(parts.value(1));
    return std::pair{instance, windowClass};
}

bool X11Atoms::windowExists(xcb_window_t window) const
{
    if (window == XCB_WINDOW_NONE)
        return false;
    xcb_generic_error_t *error = nullptr;
    XcbReply<xcb_get_window_attributes_reply_t> reply(
        xcb_get_window_attributes_reply(m_connection, xcb_get_window_attributes(m_connection, window), &error));
    std::free(error);
    return reply != nullptr;
}

} // namespace Vexilo
