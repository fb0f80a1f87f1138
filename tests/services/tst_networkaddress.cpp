// SPDX-License-Identifier: MIT
#include "NetworkAddress.h"

#include <QTest>

using namespace Vexilo;
using namespace Qt::StringLiterals;

namespace {

using Flags = QNetworkInterface::InterfaceFlags;
const Flags upFlags = Flags(QNetworkInterface::IsUp) | QNetworkInterface::IsRunning | QNetworkInterface::CanBroadcast;
const Flags downFlags = Flags(QNetworkInterface::CanBroadcast);
const Flags loopbackFlags = upFlags | QNetworkInterface::IsLoopBack;
const Flags pointToPointFlags =
    Flags(QNetworkInterface::IsUp) | QNetworkInterface::IsRunning | QNetworkInterface::IsPointToPoint;

NetworkAddress::Interface up(const QString &name, const QStringList &addresses, Flags flags = upFlags)
{
    NetworkAddress::Interface result{name, flags, {}};
    for (const QString &address : addresses)
        result.addresses.append(QHostAddress(address));
    return result;
}

const NetworkAddress::Interface lo = up(u"lo"_s, {u"127.0.0.1"_s, u"::1"_s}, loopbackFlags);

} // namespace

Q_DECLARE_METATYPE(QList<Vexilo::NetworkAddress::Interface>)

class TestNetworkAddress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void select_data()
    {
        QTest::addColumn<QList<NetworkAddress::Interface>>("interfaces");
        QTest::addColumn<QString>("expected"); // empty: none

        // The usable cases, by kind of interface.
        QTest::newRow("wired eth0") << QList{lo, up(u"eth0"_s, {u"192.168.1.20"_s})} << u"192.168.1.20"_s;
        QTest::newRow("predictable wired name") << QList{lo, up(u"enp3s0"_s, {u"10.0.0.5"_s})} << u"10.0.0.5"_s;
        QTest::newRow("wireless") << QList{lo, up(u"wlp2s0"_s, {u"192.168.0.33"_s})} << u"192.168.0.33"_s;
        QTest::newRow("bridge") << QList{lo, up(u"br0"_s, {u"192.168.5.2"_s})} << u"192.168.5.2"_s;

        // Preference: wired, then wireless, then bridges, whatever the system's order.
        QTest::newRow("wired before wireless")
            << QList{up(u"wlan0"_s, {u"192.168.0.33"_s}), up(u"eth0"_s, {u"192.168.1.20"_s})} << u"192.168.1.20"_s;
        QTest::newRow("wireless before bridge")
            << QList{up(u"br0"_s, {u"192.168.5.2"_s}), up(u"wlan0"_s, {u"192.168.0.33"_s})} << u"192.168.0.33"_s;
        QTest::newRow("first of two wired in system order")
            << QList{up(u"eth1"_s, {u"10.1.1.1"_s}), up(u"eth0"_s, {u"10.0.0.1"_s})} << u"10.1.1.1"_s;
        QTest::newRow("wired without IPv4 falls through to wireless")
            << QList{up(u"eth0"_s, {u"fe80::1"_s, u"2001:db8::5"_s}), up(u"wlan0"_s, {u"192.168.0.33"_s})}
            << u"192.168.0.33"_s;

        // Addresses: the first IPv4 one that is neither loopback nor link-local.
        QTest::newRow("IPv6 first, then IPv4")
            << QList{up(u"eth0"_s, {u"2001:db8::5"_s, u"192.168.1.20"_s})} << u"192.168.1.20"_s;
        QTest::newRow("link-local skipped, next address used")
            << QList{up(u"eth0"_s, {u"169.254.10.3"_s, u"192.168.1.20"_s})} << u"192.168.1.20"_s;
        QTest::newRow("only link-local") << QList{lo, up(u"eth0"_s, {u"169.254.10.3"_s})} << QString();

        // Never chosen.
        QTest::newRow("only loopback") << QList{lo} << QString();
        QTest::newRow("no interfaces") << QList<NetworkAddress::Interface>{} << QString();
        QTest::newRow("interface down") << QList{up(u"eth0"_s, {u"192.168.1.20"_s}, downFlags)} << QString();
        QTest::newRow("up without carrier")
            << QList{up(u"eth0"_s, {u"192.168.1.20"_s},
                        Flags(QNetworkInterface::IsUp) | QNetworkInterface::CanBroadcast)}
            << QString();
        QTest::newRow("point-to-point VPN") << QList{up(u"eth9"_s, {u"10.8.0.2"_s}, pointToPointFlags)} << QString();
        QTest::newRow("unknown kind of interface") << QList{up(u"usb0"_s, {u"10.0.0.9"_s})} << QString();

        // Virtual interfaces, even up and with a private address, and even before a real one.
        for (const char *name : {"docker0", "veth12ab", "virbr0", "br-5f3a2c", "tun0", "tap0", "vnet3", "lxcbr0",
                                 "lxdbr0", "vboxnet0", "vmnet8", "wg0", "tailscale0"}) {
            QTest::addRow("virtual %s alone", name)
                << QList{lo, up(QString::fromLatin1(name), {u"172.17.0.1"_s})} << QString();
            QTest::addRow("virtual %s before wireless", name)
                << QList{up(QString::fromLatin1(name), {u"172.17.0.1"_s}), up(u"wlan0"_s, {u"192.168.0.33"_s})}
                << u"192.168.0.33"_s;
        }
    }

    void select()
    {
        QFETCH(QList<NetworkAddress::Interface>, interfaces);
        const std::optional<QString> address = NetworkAddress::select(interfaces);
        QTEST(address.value_or(QString()), "expected");
    }

    // The system's own list goes through the same rules: whatever it picks is an IPv4 address of an
    // interface that is up.
    void systemChoiceIsUsable()
    {
        const std::optional<QString> address = NetworkAddress::localIPAddress();
        if (!address)
            QSKIP("this machine has no usable network address");
        const QHostAddress host(*address);
        QCOMPARE(host.protocol(), QAbstractSocket::IPv4Protocol);
        QVERIFY(!host.isLoopback());
        QVERIFY(!host.isLinkLocal());
    }
};

QTEST_GUILESS_MAIN(TestNetworkAddress)
#include "tst_networkaddress.moc"
