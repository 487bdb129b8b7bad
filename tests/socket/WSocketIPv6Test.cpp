#include "SocketTestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A plain datagram socket bound to the loopback address of the family.
PlainSocket LoopbackPeer(int family)
{
    PlainSocket peer(socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (peer.Handle() < 0)
        return peer;
    const WSocketAddress local = family == AF_INET6
        ? WSocketResolveAddress(QStringLiteral("::1"))
        : WSocketAddress::IPv4(htonl(INADDR_LOOPBACK), 0);
    timeval wait{0, 200000};
    setsockopt(peer.Handle(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    if (bind(peer.Handle(), local.Sockaddr(), local.Length()) != 0)
        peer.Close();
    return peer;
}

bool IPv6Loopback()
{
    return LoopbackPeer(AF_INET6).Handle() >= 0;
}

// A listening instance that keeps each datagram and where it came from.
struct Listener {
    TWSocket socket;
    std::vector<std::string> datagrams;
    std::vector<WSocketAddress> sources;

    Listener(const char* address, bool ipv6Only)
    {
        socket.OnDataAvailable = [this](TCustomWSocket* sender, int) {
            char buffer[2048];
            WSocketAddress from;
            const int count = sender->ReceiveFrom(buffer, sizeof buffer, from);
            if (count >= 0) {
                datagrams.emplace_back(buffer, static_cast<size_t>(count));
                sources.push_back(from);
            }
        };
        socket.SetIPv6Only(ipv6Only);
        socket.SetProto(QStringLiteral("udp"));
        socket.SetAddr(QString::fromLatin1(address));
        socket.SetPort(QStringLiteral("0"));
        socket.Listen();
    }
    [[nodiscard]] uint16_t Port() const { return socket.LocalPort().toUShort(); }
};

void SendFrom(const PlainSocket& peer, int family, uint16_t port, const std::string& bytes)
{
    WSocketAddress to = family == AF_INET6 ? WSocketResolveAddress(QStringLiteral("::1"))
                                           : WSocketAddress::IPv4(htonl(INADDR_LOOPBACK), 0);
    to.SetPort(port);
    ASSERT_EQ(sendto(peer.Handle(), bytes.data(), bytes.size(), 0, to.Sockaddr(), to.Length()),
              static_cast<ssize_t>(bytes.size()));
}

std::string Received(const PlainSocket& peer)
{
    char buffer[2048];
    const ssize_t count = recv(peer.Handle(), buffer, sizeof buffer, 0);
    return count < 0 ? std::string("(nothing)") : std::string(buffer, static_cast<size_t>(count));
}

} // namespace

// Listening on "::" takes both families unless IPv6Only is set; "0.0.0.0"
// takes IPv4 only, as before. A source is told in its own family (an IPv4
// peer of a dual-stack socket as IPv4), and an answer sent back to it with
// SendTo reaches it.
TEST(WSocketIPv6, ListenersTakeTheFamiliesTheyServe)
{
    if (!IPv6Loopback())
        GTEST_SKIP() << "no IPv6 loopback address (::1) on this system";
    const struct {
        const char* address;
        bool ipv6Only;
        int peerFamily;
        bool reaches;
    } cases[] = {
        {"::", false, AF_INET, true},   {"::", false, AF_INET6, true},    {"::", true, AF_INET6, true},
        {"::", true, AF_INET, false},   {"0.0.0.0", false, AF_INET, true}, {"::1", false, AF_INET6, true},
        {"[::1]", false, AF_INET6, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.address) + (c.ipv6Only ? " IPv6 only" : "") + " from "
                     + (c.peerFamily == AF_INET6 ? "::1" : "127.0.0.1"));
        Listener listener(c.address, c.ipv6Only);
        ASSERT_EQ(listener.socket.State(), wsConnected);
        const PlainSocket peer = LoopbackPeer(c.peerFamily);
        ASSERT_GE(peer.Handle(), 0);
        SendFrom(peer, c.peerFamily, listener.Port(), "ping");
        if (!c.reaches) {
            for (int turn = 0; turn < 20; ++turn) {
                QCoreApplication::processEvents();
                usleep(5000);
            }
            EXPECT_TRUE(listener.datagrams.empty());
            continue;
        }
        ASSERT_TRUE(SpinUntil([&] { return !listener.datagrams.empty(); }, 5000));
        EXPECT_EQ(listener.datagrams.front(), "ping");
        const WSocketAddress source = listener.sources.front();
        const QString expected = c.peerFamily == AF_INET6 ? QStringLiteral("[::1]:%1") : QStringLiteral("127.0.0.1:%1");
        EXPECT_EQ(source.Text(), expected.arg(LocalPortOf(peer.Handle())));
        EXPECT_EQ(listener.socket.SendTo("pong", 4, source.Unmapped()), 4);
        EXPECT_EQ(Received(peer), "pong");
    }
}

// A datagram socket opened towards an IPv6 address, with or without
// brackets, sends from a port of its own to it; a name resolves to the
// family it has.
TEST(WSocketIPv6, SendsToIPv6Destinations)
{
    if (!IPv6Loopback())
        GTEST_SKIP() << "no IPv6 loopback address (::1) on this system";
    for (const char* address : {"::1", "[::1]", "0:0:0:0:0:0:0:1"}) {
        SCOPED_TRACE(address);
        const PlainSocket peer = LoopbackPeer(AF_INET6);
        TWSocket socket;
        socket.SetProto(QStringLiteral("udp"));
        socket.SetAddr(QString::fromLatin1(address));
        socket.SetPort(QString::number(LocalPortOf(peer.Handle())));
        socket.SetLocalPort(QStringLiteral("0"));
        socket.Connect();
        ASSERT_EQ(socket.State(), wsConnected);
        EXPECT_EQ(socket.Family(), AF_INET6);
        EXPECT_EQ(socket.Send("six", 3), 3);
        EXPECT_EQ(Received(peer), "six");
        socket.Close();
    }
}

TEST(WSocketAddress, TextsAndResolution)
{
    const struct {
        const char* text;
        int family;
        const char* shown; // AddressText
    } cases[] = {
        {"127.0.0.1", AF_INET, "127.0.0.1"}, {" 10.0.0.1 ", AF_INET, "10.0.0.1"}, {"::1", AF_INET6, "::1"},
        {"[::1]", AF_INET6, "::1"},          {"FF02::1", AF_INET6, "ff02::1"},     {"::ffff:1.2.3.4", AF_INET6, "1.2.3.4"},
        {"localhost", AF_INET, "127.0.0.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const WSocketAddress address = WSocketResolveAddress(QString::fromLatin1(c.text));
        EXPECT_EQ(address.Family(), c.family);
        EXPECT_EQ(address.AddressText().toStdString(), c.shown);
    }
    EXPECT_EQ(MessageOf([] { (void)WSocketResolveAddress(QStringLiteral("1::2::3")); }),
              "WSocketResolveHost: '1::2::3' Invalid IP address.");
    WSocketAddress mapped = WSocketResolveAddress(QStringLiteral("::ffff:127.0.0.1"));
    mapped.SetPort(7);
    EXPECT_EQ(mapped.Text(), QStringLiteral("127.0.0.1:7"));
    EXPECT_TRUE(mapped == WSocketAddress::IPv4(htonl(INADDR_LOOPBACK), 7));
    EXPECT_TRUE(mapped.Unmapped().ForFamily(AF_INET6).IsIPv4Mapped());
    EXPECT_TRUE(WSocketResolveAddress(QStringLiteral("239.1.2.3")).IsMulticast());
    EXPECT_TRUE(WSocketResolveAddress(QStringLiteral("ff02::1")).IsMulticast());
    EXPECT_FALSE(WSocketResolveAddress(QStringLiteral("::1")).IsMulticast());
}

TEST(WSocketAddress, SplitsHostAndPort)
{
    const struct {
        const char* text;
        bool ok;
        const char* host;
        const char* port;
    } cases[] = {
        {"127.0.0.1:1889", true, "127.0.0.1", "1889"}, {"[::1]:1889", true, "::1", "1889"},
        {"device.local:2404", true, "device.local", "2404"}, {"[fe80::1%lo]:5", true, "fe80::1%lo", "5"},
        {"::1", false, "", ""},                         {"::1:1889", false, "", ""},
        {"[::1]", false, "", ""},                       {"[::1]1889", false, "", ""},
        {"host", false, "", ""},
    };
    for (const auto& c : cases) {
        QString host;
        QString port;
        EXPECT_EQ(SplitHostPort(QString::fromLatin1(c.text), host, port), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(host.toStdString(), c.host) << c.text;
            EXPECT_EQ(port.toStdString(), c.port) << c.text;
        }
    }
}

namespace {

// Whether multicast can go over the loopback interface here (its MULTICAST
// flag; set by root with "ip link set lo multicast on", or in a network
// namespace of one's own).
bool LoopbackMulticast()
{
    const unsigned index = if_nametoindex("lo");
    PlainSocket probe(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    return index != 0 && ioctl(probe.Handle(), SIOCGIFFLAGS, &request) == 0 && (request.ifr_flags & IFF_MULTICAST) != 0;
}

} // namespace

// Two listeners join an IPv4 group on the loopback interface (on a
// dual-stack socket and on an IPv4 one); a sender with a hop limit of 1 and
// the interface chosen reaches each on its port; what is no group, and an
// interface that does not exist, are refused.
TEST(WSocketMulticast, JoinAndSendOnTheLoopbackInterface)
{
    if (!LoopbackMulticast())
        GTEST_SKIP() << "the loopback interface has no MULTICAST flag here (root: ip link set lo multicast on; "
                        "or run in a network namespace of its own): multicast not tested";
    const struct {
        const char* listen;
        const char* group;
    } cases[] = {{"::", "239.255.77.1"}, {"0.0.0.0", "239.255.77.2"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.listen) + " joins " + c.group);
        Listener first(c.listen, false);
        Listener second(c.listen, false);
        EXPECT_TRUE(first.socket.JoinGroup(QString::fromLatin1(c.group), QStringLiteral("lo")));
        EXPECT_TRUE(second.socket.JoinGroup(QString::fromLatin1(c.group), QStringLiteral("lo")));
        EXPECT_FALSE(first.socket.JoinGroup(QStringLiteral("10.1.2.3"), QStringLiteral("lo")));
        EXPECT_FALSE(first.socket.JoinGroup(QString::fromLatin1(c.group), QStringLiteral("no-such-if0")));
        const auto sendToGroup = [&](uint16_t port, const char* text) {
            TWSocket sender;
            sender.SetMulticastHops(1);
            sender.SetMulticastInterface(QStringLiteral("lo"));
            sender.SetProto(QStringLiteral("udp"));
            sender.SetAddr(QString::fromLatin1(c.group));
            sender.SetPort(QString::number(port));
            sender.Connect();
            EXPECT_EQ(sender.Send(text, static_cast<int>(std::strlen(text))), static_cast<int>(std::strlen(text)));
            sender.Close();
        };
        sendToGroup(first.Port(), "one");
        sendToGroup(second.Port(), "two");
        ASSERT_TRUE(SpinUntil([&] { return !first.datagrams.empty() && !second.datagrams.empty(); }, 5000));
        EXPECT_EQ(first.datagrams, std::vector<std::string>{"one"});
        EXPECT_EQ(second.datagrams, std::vector<std::string>{"two"});

    }
}
