// SPDX-License-Identifier: MIT
#include "WaylandConnection.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <wayland-client.h>

namespace Vexilo {

namespace {

const wl_registry_listener registryListener = {
    .global =
        [](void *data, wl_registry *, uint32_t name, const char *interface, uint32_t version) {
            // Only the answer to the first roundtrip is collected.
            if (auto *globals = static_cast<QList<std::tuple<quint32, QByteArray, quint32>> *>(data))
                globals->append({name, QByteArray(interface), version});
        },
    .global_remove = [](void *, wl_registry *, uint32_t) {},
};

} // namespace

std::unique_ptr<WaylandConnection> WaylandConnection::open(const QString &displayName, const QString &prefix,
                                                           LogSink log)
{
    std::unique_ptr<WaylandConnection> connection(new WaylandConnection);
    connection->m_prefix = prefix;
    connection->m_log = std::move(log);
    const QByteArray name = displayName.toLocal8Bit();
    connection->m_display = wl_display_connect(name.isEmpty() ? nullptr : name.constData());
    if (!connection->m_display) {
        connection->say(QStringLiteral("no Wayland display"));
        return nullptr;
    }
    // Globals that come and go later (outputs, seats plugged in) do not matter to the backends.
    QList<std::tuple<quint32, QByteArray, quint32>> globals;
    connection->m_registry = wl_display_get_registry(connection->m_display);
    wl_registry_add_listener(connection->m_registry, &registryListener, &globals);
    if (wl_display_roundtrip(connection->m_display) < 0) {
        connection->say(QStringLiteral("the compositor did not answer"));
        return nullptr;
    }
    wl_proxy_set_user_data(reinterpret_cast<wl_proxy *>(connection->m_registry), nullptr);
    for (const auto &[globalName, interface, version] : globals)
        connection->m_globals.append({globalName, interface, version});
    return connection;
}

WaylandConnection::~WaylandConnection()
{
    m_notifier.reset();
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display) {
        wl_display_flush(m_display);
        wl_display_disconnect(m_display);
    }
}

bool WaylandConnection::hasGlobal(const char *interfaceName) const
{
    return std::any_of(m_globals.cbegin(), m_globals.cend(),
                       [interfaceName](const Global &g) { return g.interface == interfaceName; });
}

void *WaylandConnection::bind(const wl_interface *interface, quint32 maxVersion) const
{
    for (const Global &global : m_globals) {
        if (global.interface == interface->name)
            return wl_registry_bind(m_registry, global.name, interface, std::min(global.version, maxVersion));
    }
    return nullptr;
}

wl_seat *WaylandConnection::seat()
{
    if (!m_seat)
        m_seat = static_cast<wl_seat *>(bind(&wl_seat_interface, 1));
    return m_seat;
}

void WaylandConnection::dispatchOn(QObject *context, std::function<void()> onLost)
{
    m_onLost = std::move(onLost);
    m_notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, context, [this] { dispatch(); });
    flush();
}

void WaylandConnection::flush()
{
    if (!m_broken && wl_display_flush(m_display) < 0 && errno != EAGAIN)
        fail();
}

bool WaylandConnection::roundtrip()
{
    if (!m_broken && wl_display_roundtrip(m_display) < 0)
        fail();
    return !m_broken;
}

void WaylandConnection::say(const QString &line) const
{
    if (m_log)
        m_log(m_prefix + line);
}

void WaylandConnection::dispatch()
{
    if (m_broken)
        return;
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    wl_display_flush(m_display);
    if (wl_display_read_events(m_display) < 0 && errno != EAGAIN) {
        fail();
        return;
    }
    if (wl_display_dispatch_pending(m_display) < 0) {
        fail();
        return;
    }
    flush();
}

void WaylandConnection::fail()
{
    if (m_broken)
        return;
    m_broken = true;
    if (m_notifier)
        m_notifier->setEnabled(false);
    say(QStringLiteral("connection lost (error %1)").arg(wl_display_get_error(m_display)));
    if (m_onLost)
        m_onLost();
}

} // namespace Vexilo
