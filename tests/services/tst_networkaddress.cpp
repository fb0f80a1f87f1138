// SPDX-License-Identifier: MIT
#include "NetworkAddress.h"

#include <QTest>

using namespace Vexilo;

namespace {

using Flags = QNetworkInterface::InterfaceFlags;
const Flags upFlags = Flags(QNetworkInterface::IsUp) | QNetworkInterface::IsRunning | QNetworkInterface::CanBroadcast;
const Flags downFlags = Flags(QNetworkInterface::CanBroadcast);
const Flags loopbackFlags = upFlags | QNetworkInterface::IsLoopBack;
const Flags pointToPointFlags =
    Flags(QNetworkInterface::IsUp) | QNetworkInterface::IsRunning | QNetworkInterface::IsPointToPoint;

NetworkAddress::Interface up(const QString &name, const QStringList &addresses, Flags flags = upFlags)
{
    NetworkAddress::Interface interface {
        name, flags, { }
    };
    for (const QString &address : addresses)
        interface.addresses.append(QHostAddress(address));
    return interface;
}

const NetworkAddress::Interface lo =
    up(QStringLiteral("lo"), {QStringLiteral("127.0.0.1"), QStringLiteral("::1")}, loopbackFlags);

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
        QTest::newRow("wired eth0") << QList{lo, up(QStringLiteral("eth0"), {QStringLiteral("192.168.1.20")})}
                                    << QStringLiteral("192.168.1.20");
        QTest::newRow("predictable wired name")
            << QList{lo, up(QStringLiteral("enp3s0"), {QStringLiteral("10.0.0.5")})} << QStringLiteral("10.0.0.5");
        QTest::newRow("wireless") << QList{lo, up(QStringLiteral("wlp2s0"), {QStringLiteral("192.168.0.33")})}
                                  << QStringLiteral("192.168.0.33");
        QTest::newRow("bridge") << QList{lo, up(QStringLiteral("br0"), {QStringLiteral("192.168.5.2")})}
                                << QStringLiteral("192.168.5.2");

        // Preference: wired, then wireless, then bridges, whatever the system's order.
        QTest::newRow("wired before wireless") << QList{up(QStringLiteral("wlan0"), {QStringLiteral("192.168.0.33")}),
                                                        up(QStringLiteral("eth0"), {QStringLiteral("192.168.1.20")})}
                                               << QStringLiteral("192.168.1.20");
        QTest::newRow("wireless before bridge") << QList{up(QStringLiteral("br0"), {QStringLiteral("192.168.5.2")}),
                                                         up(QStringLiteral("wlan0"), {QStringLiteral("192.168.0.33")})}
                                                << QStringLiteral("192.168.0.33");
        QTest::newRow("first of two wired in system order")
            << QList{up(QStringLiteral("eth1"), {QStringLiteral("10.1.1.1")}),
                     up(QStringLiteral("eth0"), {QStringLiteral("10.0.0.1")})}
            << QStringLiteral("10.1.1.1");
        QTest::newRow("wired without IPv4 falls through to wireless")
            << QList{up(QStringLiteral("eth0"), {QStringLiteral("fe80::1"), QStringLiteral("2001:db8::5")}),
                     up(QStringLiteral("wlan0"), {QStringLiteral("192.168.0.33")})}
            << QStringLiteral("192.168.0.33");

        // Addresses: the first IPv4 one that is neither loopback nor link-local.
        QTest::newRow("IPv6 first, then IPv4")
            << QList{up(QStringLiteral("eth0"), {QStringLiteral("2001:db8::5"), QStringLiteral("192.168.1.20")})}
            << QStringLiteral("192.168.1.20");
        QTest::newRow("link-local skipped, next address used")
            << QList{up(QStringLiteral("eth0"), {QStringLiteral("169.254.10.3"), QStringLiteral("192.168.1.20")})}
            << QStringLiteral("192.168.1.20");
        QTest::newRow("only link-local") << QList{lo, up(QStringLiteral("eth0"), {QStringLiteral("169.254.10.3")})}
                                         << QString();

        // Never chosen.
        QTest::newRow("only loopback") << QList{lo} << QString();
        QTest::newRow("no interfaces") << QList<NetworkAddress::Interface>{} << QString();
        QTest::newRow("interface down") << QList{up(QStringLiteral("eth0"), {QStringLiteral("192.168.1.20")},
                                                    downFlags)}
                                        << QString();
        QTest::newRow("up without carrier")
            << QList{up(QStringLiteral("eth0"), {QStringLiteral("192.168.1.20")},
                        Flags(QNetworkInterface::IsUp) | QNetworkInterface::CanBroadcast)}
            << QString();
        QTest::newRow("point-to-point VPN")
            << QList{up(QStringLiteral("eth9"), {QStringLiteral("10.8.0.2")}, pointToPointFlags)} << QString();
        QTest::newRow("unknown kind of interface")
            << QList{up(QStringLiteral("usb0"), {QStringLiteral("10.0.0.9")})} << QString();

        // Virtual interfaces, even up and with a private address, and even before a real one.
        for (const char *name : {"docker0", "veth12ab", "virbr0", "br-5f3a2c", "tun0", "tap0", "vnet3", "lxcbr0",
                                 "lxdbr0", "vboxnet0", "vmnet8", "wg0", "tailscale0"}) {
            QTest::addRow("virtual %s alone", name)
                << QList{lo, up(QString::fromLatin1(name), {QStringLiteral("172.17.0.1")})} << QString();
            QTest::addRow("virtual %s before wireless", name)
                << QList{up(QString::fromLatin1(name), {QStringLiteral("172.17.0.1")}),
                         up(QStringLiteral("wlan0"), {QStringLiteral("192.168.0.33")})}
                << QStringLiteral("192.168.0.33");
        }
    }

    void select()
    {
        QFETCH(QList<NetworkAddress::Interface>, interfaces);
        QFETCH(QString, expected);
        const std::optional<QString> address = NetworkAddress::select(interfaces);
        QCOMPARE(address.value_or(QString()), expected);
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
