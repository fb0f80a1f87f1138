// SPDX-License-Identifier: MIT
#pragma once

#include <QHostAddress>
#include <QList>
#include <QNetworkInterface>
#include <QString>
#include <optional>

namespace Vexilo {

// The address a phone on the same network can reach this machine at: the first IPv4 address of the
// primary wired interface, else of the wireless one, else of a bridge. Loopback, link-local and the
// interfaces of containers, virtual machines and VPNs are never chosen.
class NetworkAddress
{
public:
    struct Interface
    {
        QString name;
        QNetworkInterface::InterfaceFlags flags;
        QList<QHostAddress> addresses;
    };

    // Pure choice over interfaces in the order the system lists them.
    [[nodiscard]] static std::optional<QString> select(const QList<Interface> &interfaces);
    [[nodiscard]] static QList<Interface> systemInterfaces();
    [[nodiscard]] static std::optional<QString> localIPAddress();
};

} // namespace Vexilo
