// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

class QObject;
class QSocketNotifier;
struct wl_display;
struct wl_interface;
struct wl_registry;
struct wl_seat;

namespace Vexilo {

// The same alias as the store's LogSink.h, repeated so the platform layer does not depend on it.
using LogSink = std::function<void(const QString &line)>;

// A client connection to the compositor of its own, with the globals it advertised at connection
// time. Each backend keeps one, so none depends on the surfaces Qt has or on another's thread.
class WaylandConnection
{
public:
    // Null when there is no such display. An empty name means $WAYLAND_DISPLAY. Log lines start
    // with `prefix`.
    [[nodiscard]] static std::unique_ptr<WaylandConnection> open(const QString &displayName, const QString &prefix,
                                                                 LogSink log);
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection &) = delete;
    WaylandConnection &operator=(const WaylandConnection &) = delete;

    [[nodiscard]] wl_display *display() const { return m_display; }
    [[nodiscard]] bool hasGlobal(const char *interfaceName) const;
    // Binds the first global of this interface, at most at `maxVersion`; null when there is none.
    [[nodiscard]] void *bind(const wl_interface *interface, quint32 maxVersion) const;
    // The first seat, bound on first use; null when there is none.
    [[nodiscard]] wl_seat *seat();

    // From now on, events are read and dispatched on the thread of `context` as they arrive.
    // `onLost` runs once if the connection breaks.
    void dispatchOn(QObject *context, std::function<void()> onLost = {});
    void flush();
    // Sends everything and waits for the compositor's answer; false when the connection broke.
    bool roundtrip();
    [[nodiscard]] bool isBroken() const { return m_broken; }
    void say(const QString &line) const;

private:
    struct Global
    {
        quint32 name = 0;
        QByteArray interface;
        quint32 version = 0;
    };

    WaylandConnection() = default;
    void dispatch();
    void fail();

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    wl_seat *m_seat = nullptr;
    QList<Global> m_globals;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::function<void()> m_onLost;
    QString m_prefix;
    LogSink m_log;
    bool m_broken = false;
};

} // namespace Vexilo
