// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

namespace Vexilo {

// Atoms interned once per connection, and the few window-property reads the backends share.
// Lives on the main thread with Qt's own xcb connection.
class X11Atoms
{
public:
    X11Atoms(xcb_connection_t *connection, xcb_window_t rootWindow);

    // The atoms of the application's own X connection; null when Qt does not run on xcb.
    [[nodiscard]] static std::unique_ptr<X11Atoms> forApplication();

    [[nodiscard]] xcb_connection_t *connection() const { return m_connection; }
    [[nodiscard]] xcb_window_t rootWindow() const { return m_rootWindow; }

    // XCB_ATOM_NONE when the server refuses the name.
    [[nodiscard]] xcb_atom_t atom(const QByteArray &name) const;
    // Interns several names with one round trip.
    void prefetch(const QList<QByteArray> &names) const;

    // The raw bytes of a property; absent when the window or the property does not exist, or the
    // property has another type (type XCB_ATOM_ANY accepts every type).
    [[nodiscard]] std::optional<QByteArray> property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                                     quint32 maxBytes = 65536) const;
    // The first 32-bit item of a CARDINAL or WINDOW property.
    [[nodiscard]] std::optional<quint32> property32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    // A text property as UTF-8 (UTF8_STRING) or Latin-1 (STRING).
    [[nodiscard]] std::optional<QString> textProperty(xcb_window_t window, xcb_atom_t property) const;
    // WM_CLASS as (instance, class); absent without the property.
    [[nodiscard]] std::optional<std::pair<QString, QString>> windowClass(xcb_window_t window) const;
    // Whether the window still exists on the server.
    [[nodiscard]] bool windowExists(xcb_window_t window) const;

private:
    xcb_connection_t *m_connection;
    xcb_window_t m_rootWindow;
    mutable QHash<QByteArray, xcb_atom_t> m_cache;
};

} // namespace Vexilo
