// SPDX-License-Identifier: MIT
#include "NetworkAddress.h"

#include <array>

namespace Vexilo {

namespace {

enum class InterfaceKind : quint8 { Wired, Wireless, Bridge, Other };

// Interfaces that only reach containers, virtual machines or a VPN: a phone on the local network
// cannot use their addresses.
bool isVirtual(QStringView name)
{
    static constexpr std::array<QStringView, 20> prefixes = {
        u"docker",  u"veth",   u"virbr", u"br-",     u"tun",  u"tap",  u"vnet", u"lxc",       u"lxdbr", u"vmnet",
        u"vboxnet", u"podman", u"cni",   u"flannel", u"cali", u"kube", u"wg",   u"tailscale", u"zt",    u"ifb"};
    for (QStringView prefix : prefixes) {
        if (name.startsWith(prefix))
            return true;
    }
    return false;
}

InterfaceKind kindOf(QStringView name)
{
    if (isVirtual(name))
        return InterfaceKind::Other;
    if (name.startsWith(u"eth") || name.startsWith(u"en") || name.startsWith(u"bond"))
        return InterfaceKind::Wired;
    if (name.startsWith(u"wl"))
        return InterfaceKind::Wireless;
    if (name.startsWith(u"br"))
        return InterfaceKind::Bridge;
    return InterfaceKind::Other;
}

bool isUsable(const NetworkAddress::Interface &interface)
{
    const auto flags = interface.flags;
    return flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning) &&
        !flags.testFlag(QNetworkInterface::IsLoopBack) && !flags.testFlag(QNetworkInterface::IsPointToPoint);
}

std::optional<QString> firstIPv4(const NetworkAddress::Interface &interface)
{
    for (const QHostAddress &address : interface.addresses) {
        if (address.protocol() != QAbstractSocket::IPv4Protocol)
            continue;
        if (address.isLoopback() || address.isLinkLocal() || address.isNull())
            continue;
        return address.toString();
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> NetworkAddress::select(const QList<Interface> &interfaces)
{
    for (InterfaceKind wanted : {InterfaceKind::Wired, InterfaceKind::Wireless, InterfaceKind::Bridge}) {
        for (const Interface &interface : interfaces) {
            if (kindOf(interface.name) != wanted || !isUsable(interface))
                continue;
            if (auto address = firstIPv4(interface))
                return address;
        }
    }
    return std::nullopt;
}

QList<NetworkAddress::Interface> NetworkAddress::systemInterfaces()
{
    QList<Interface> result;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &networkInterface : all) {
        Interface interface {
            networkInterface.name(), networkInterface.flags(), { }
        };
        const QList<QNetworkAddressEntry> entries = networkInterface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries)
            interface.addresses.append(entry.ip());
        result.append(std::move(interface));
    }
    return result;
}

std::optional<QString> NetworkAddress::localIPAddress()
{
    return select(systemInterfaces());
}

} // namespace Vexilo
