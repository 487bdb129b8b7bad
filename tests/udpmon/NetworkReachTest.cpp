// Ostrel's receive pass and sender on real sockets: peers of both families on
// a dual-stack listener, multicast groups joined and left, trigger answers to
// the sender, and the traffic counters against what went over loopback.
// Multicast needs the loopback interface's MULTICAST flag: without it the
// test runs itself again in a network namespace of its own where it can set
// the flag, and skips the multicast cases when it cannot make one.

#include "monitor/LinkKeys.h"
#include "monitor/ReceiveRoute.h"
#include "monitor/TimedSave.h"
#include "monitor/TrafficCounters.h"
#include "socket/WSocketResolve.h"
#include "udpmon/DatagramSender.h"
#include "udpmon/OstrelState.h"
#include "udpmon/ReceivePass.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using ostrel::OstrelState;

bool LoopbackMulticast()
{
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    const bool on = probe >= 0 && ::ioctl(probe, SIOCGIFFLAGS, &request) == 0 && (request.ifr_flags & IFF_MULTICAST) != 0;
    if (probe >= 0)
        ::close(probe);
    return on;
}

bool SpinUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (done())
            return true;
        if (clock.elapsed() >= ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// Lines are not looked at here: the route's observers are.
class NoLines final : public monitor::LineSink {
public:
    void EmptyIfFull() override {}
    void Line(const QString&) override {}
    void Line(QByteArray, QString (*)(const QByteArray&)) override {}
    void Text(const QString&) override {}
    void PassEnded(monitor::PassEnd) override {}
};

// One Ostrel receive side: its state, route, pass and sender, and the
// frames it received (bytes and the peer's text).
struct Monitor {
    explicit Monitor(const QString& listen)
        : save(saveNumber, [](const std::exception&) {}, nullptr, folder.path())
        , sender(state)
        , route(sink, save, ostrel::OstrelReceivePolicy(state, sender), ostrel::OstrelReceiveSwitches(state))
        , pass(state, route)
    {
        state.ServerPort = QStringLiteral("0");
        pass.SetListenAddress(listen);
        sender.SetReplySocket(&pass.UDPServer1());
        sender.OnSent = [this](const WSocketAddress&, const WSocketAddress& to, const std::uint8_t* bytes,
                               std::size_t n) { ostrel::TellSent(route, {bytes, n}, to); };
        counters.Watch(route);
        route.AddObserver([this](const monitor::ReceivedFrame& frame) {
            received.emplace_back(reinterpret_cast<const char*>(frame.bytes.data()), frame.bytes.size());
            sources.push_back(monitor::SourceText(frame).toStdString());
        });
    }
    [[nodiscard]] std::uint16_t Port() { return pass.UDPServer1().LocalPort().toUShort(); }

    QTemporaryDir folder;
    int saveNumber = 0;
    OstrelState state;
    NoLines sink;
    monitor::TimedSave save;
    ostrel::DatagramSender sender;
    monitor::ReceiveRoute route;
    ostrel::ReceivePass pass;
    monitor::TrafficCounters counters;
    std::vector<std::string> received;
    std::vector<std::string> sources;
};

// A plain socket of the test, bound to `address` (port of the system's choice).
class Peer {
public:
    explicit Peer(const char* address)
    {
        six_ = std::strchr(address, ':') != nullptr;
        handle_ = ::socket(six_ ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_storage local{};
        socklen_t length = Fill(local, address, 0);
        ok_ = handle_ >= 0 && ::bind(handle_, reinterpret_cast<sockaddr*>(&local), length) == 0;
        length = sizeof local;
        if (ok_ && ::getsockname(handle_, reinterpret_cast<sockaddr*>(&local), &length) == 0)
            port_ = ntohs(six_ ? reinterpret_cast<sockaddr_in6*>(&local)->sin6_port
                               : reinterpret_cast<sockaddr_in*>(&local)->sin_port);
    }
    ~Peer()
    {
        if (handle_ >= 0)
            ::close(handle_);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    [[nodiscard]] bool Ok() const { return ok_; }
    [[nodiscard]] std::uint16_t Port() const { return port_; }
    bool SendTo(const char* address, std::uint16_t port, const std::string& bytes) const
    {
        sockaddr_storage to{};
        const socklen_t length = Fill(to, address, port);
        return ::sendto(handle_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), length)
            == static_cast<ssize_t>(bytes.size());
    }
    // What waits, without blocking; empty when nothing does. `from`: the
    // sender's port.
    [[nodiscard]] std::string Receive(std::uint16_t* from = nullptr) const
    {
        char buffer[2048];
        sockaddr_storage source{};
        socklen_t length = sizeof source;
        const ssize_t n = ::recvfrom(handle_, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&source),
                                     &length);
        if (from != nullptr && n > 0)
            *from = WSocketAddress::From(reinterpret_cast<sockaddr*>(&source), length).Port();
        return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    }

private:
    socklen_t Fill(sockaddr_storage& storage, const char* address, std::uint16_t port) const
    {
        if (six_) {
            auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
            in6->sin6_family = AF_INET6;
            in6->sin6_port = htons(port);
            ::inet_pton(AF_INET6, address, &in6->sin6_addr);
            return sizeof *in6;
        }
        auto* in4 = reinterpret_cast<sockaddr_in*>(&storage);
        in4->sin_family = AF_INET;
        in4->sin_port = htons(port);
        ::inet_pton(AF_INET, address, &in4->sin_addr);
        return sizeof *in4;
    }

    bool six_ = false;
    int handle_ = -1;
    bool ok_ = false;
    std::uint16_t port_ = 0;
};

// A listener on "::" takes peers of both families and tells each by its own
// address; the sender reaches an IPv6 destination given as an address.
TEST(NetworkReach, DualStackListenerAndIPv6Destination)
{
    if (!SystemHasIPv6())
        GTEST_SKIP() << "no IPv6 here";
    Monitor monitor(QStringLiteral("::"));
    monitor.pass.Start();
    Peer four("127.0.0.1");
    Peer six("::1");
    ASSERT_TRUE(four.Ok() && six.Ok());
    ASSERT_TRUE(four.SendTo("127.0.0.1", monitor.Port(), "4"));
    ASSERT_TRUE(SpinUntil([&] { return monitor.received.size() == 1; }));
    ASSERT_TRUE(six.SendTo("::1", monitor.Port(), "6"));
    ASSERT_TRUE(SpinUntil([&] { return monitor.received.size() == 2; }));
    EXPECT_EQ(monitor.received, (std::vector<std::string>{"4", "6"}));
    EXPECT_EQ(monitor.sources, (std::vector<std::string>{"127.0.0.1:" + std::to_string(four.Port()),
                                                         "[::1]:" + std::to_string(six.Port())}));

    // To "::1" and to "[::1]" as typed in the port dialog.
    for (const char* host : {"::1", "[::1]"}) {
        monitor.state.ClientHost = QString::fromLatin1(host);
        monitor.state.ClientPort = QString::number(six.Port());
        monitor.sender.Send(reinterpret_cast<const std::uint8_t*>("ab"), 2);
        ASSERT_TRUE(SpinUntil([&] { return six.Receive() == "ab"; })) << host;
    }
}

// With "回复源地址" on, a trigger's answer leaves the listening port for the
// peer the frame came from (a connected socket, which takes datagrams from
// that port only), not for the destination set; with it off, for the
// destination.
TEST(NetworkReach, TriggerAnswersGoBackToTheSender)
{
    for (const char* listen : {"0.0.0.0", "::"}) {
        SCOPED_TRACE(listen);
        if (std::strcmp(listen, "::") == 0 && !SystemHasIPv6())
            continue;
        Monitor monitor(QString::fromLatin1(listen));
        ASSERT_TRUE(monitor::ValidateTrigger(monitor.state.TriggerRules[0], QStringLiteral("01 ??"), QStringLiteral("AA"))
                        .ok);
        monitor.state.TriggerRules[0].Enabled = true;
        Peer destination("127.0.0.1");
        monitor.state.ClientHost = QStringLiteral("127.0.0.1");
        monitor.state.ClientPort = QString::number(destination.Port());
        monitor.pass.Start();

        Peer device("127.0.0.1");
        sockaddr_in listening{};
        listening.sin_family = AF_INET;
        listening.sin_port = htons(monitor.Port());
        listening.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int connected = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        ASSERT_EQ(::connect(connected, reinterpret_cast<sockaddr*>(&listening), sizeof listening), 0);
        const auto answer = [&] {
            char buffer[16];
            const ssize_t n = ::recv(connected, buffer, sizeof buffer, MSG_DONTWAIT);
            return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
        };

        monitor.state.ReplyToSender = true;
        ASSERT_EQ(::send(connected, "\x01\x02", 2, 0), 2);
        std::string got;
        ASSERT_TRUE(SpinUntil([&] { return !(got = answer()).empty(); }));
        EXPECT_EQ(got, "\xAA");
        EXPECT_TRUE(destination.Receive().empty());

        monitor.state.ReplyToSender = false;
        ASSERT_EQ(::send(connected, "\x01\x03", 2, 0), 2);
        ASSERT_TRUE(SpinUntil([&] { return !(got = destination.Receive()).empty(); }));
        EXPECT_EQ(got, "\xAA");
        EXPECT_TRUE(answer().empty());
        ::close(connected);
    }
}

// Every datagram sent is told to the route with its peer, of either family,
// so the link supervision keys it by that peer as it keys what comes from
// it: sends from a new port or a kept one, trigger answers to the
// destination set and to the sender.
TEST(NetworkReach, EverySendIsToldWithItsPeer)
{
    if (!SystemHasIPv6())
        GTEST_SKIP() << "no IPv6 here";
    struct Row {
        const char* name;
        const char* peer;       // the destination's or the asking device's address
        const char* host;       // ClientHost as typed
        ostrel::DatagramSender::Port port;
        bool answer;            // a trigger's answer to a frame from the peer
        bool toSender;          // ... with "回复源地址"
    };
    using Port = ostrel::DatagramSender::Port;
    const Row rows[] = {
        {"send, IPv4", "127.0.0.1", "127.0.0.1", Port::NewEachTime, false, false},
        {"send, IPv6", "::1", "::1", Port::NewEachTime, false, false},
        {"send from a kept port, IPv6 in brackets", "::1", "[::1]", Port::KeptOpen, false, false},
        {"answer to the destination, IPv6", "::1", "::1", Port::NewEachTime, true, false},
        {"answer to an IPv6 sender", "::1", "::1", Port::NewEachTime, true, true},
        {"answer to an IPv4 sender of the dual-stack port", "127.0.0.1", "127.0.0.1", Port::NewEachTime, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Monitor monitor(QStringLiteral("::"));
        ASSERT_TRUE(monitor::ValidateTrigger(monitor.state.TriggerRules[0], QStringLiteral("01"), QStringLiteral("AA")).ok);
        monitor.state.TriggerRules[0].Enabled = true;
        monitor.state.ReplyToSender = row.toSender;
        ostrel::DatagramSender sender(monitor.state, row.port);
        sender.SetReplySocket(&monitor.pass.UDPServer1());
        sender.OnSent = [&](const WSocketAddress&, const WSocketAddress& to, const std::uint8_t* bytes, std::size_t n) {
            ostrel::TellSent(monitor.route, {bytes, n}, to);
        };
        monitor::FrameLinks links;
        std::vector<std::string> sentTo;
        monitor.route.AddSentObserver([&](const monitor::ReceivedFrame& frame) {
            sentTo.push_back(links.Name(links.Of(frame.source, frame.source6)));
        });
        monitor.route.Policy().answer = [&](const monitor::ReceivedFrame& frame) { sender.Answer(frame); };
        monitor.pass.Start();
        Peer peer(row.peer);
        ASSERT_TRUE(peer.Ok());
        monitor.state.ClientHost = QString::fromLatin1(row.host);
        monitor.state.ClientPort = QString::number(peer.Port());
        if (row.answer)
            ASSERT_TRUE(peer.SendTo(row.peer, monitor.Port(), "\x01"));
        else
            sender.Send(reinterpret_cast<const std::uint8_t*>("\xAA"), 1);
        ASSERT_TRUE(SpinUntil([&] { return peer.Receive() == "\xAA"; }));
        EXPECT_EQ(sentTo, std::vector<std::string>{row.peer});
    }
}

// A new port each time: each send leaves from a port of its own, and a
// destination changed between two sends is where the second goes.
TEST(NetworkReach, NewPortEachSendToTheDestinationOfTheMoment)
{
    Monitor monitor(QStringLiteral("0.0.0.0"));
    Peer first("127.0.0.1");
    Peer second("127.0.0.1");
    ASSERT_TRUE(first.Ok() && second.Ok());
    monitor.state.ClientHost = QStringLiteral("127.0.0.1");
    std::vector<std::uint16_t> ports;
    for (const Peer* to : {&first, &first, &first, &second}) {
        monitor.state.ClientPort = QString::number(to->Port());
        monitor.sender.Send(reinterpret_cast<const std::uint8_t*>("x"), 1);
        std::uint16_t port = 0;
        ASSERT_TRUE(SpinUntil([&] { return to->Receive(&port) == "x"; }));
        ports.push_back(port);
    }
    EXPECT_TRUE(first.Receive().empty());
    for (std::size_t i = 1; i < ports.size(); ++i)
        EXPECT_NE(ports[i], ports[i - 1]) << i;
}

// The counters against what went over loopback: every datagram received
// (an empty one too) and every answer sent, in frames and bytes, and the
// same in the last second; the clear command's reset starts again at 0.
TEST(NetworkReach, CountersCountWhatWentOverLoopback)
{
    Monitor monitor(QStringLiteral("0.0.0.0"));
    ASSERT_TRUE(monitor::ValidateTrigger(monitor.state.TriggerRules[0], QStringLiteral("01 **"), QStringLiteral("AA BB"))
                    .ok);
    monitor.state.TriggerRules[0].Enabled = true;
    Peer destination("127.0.0.1");
    monitor.state.ClientHost = QStringLiteral("127.0.0.1");
    monitor.state.ClientPort = QString::number(destination.Port());
    monitor.pass.Start();
    Peer device("127.0.0.1");
    const std::vector<std::string> sent{std::string("\x01\x02\x03", 3), std::string("\x05", 1), std::string(),
                                        std::string("\x01\x09", 2)};
    std::uint64_t bytes = 0;
    for (const std::string& datagram : sent) {
        ASSERT_TRUE(device.SendTo("127.0.0.1", monitor.Port(), datagram));
        bytes += datagram.size();
    }
    ASSERT_TRUE(SpinUntil([&] { return monitor.received.size() == sent.size(); }));
    int answers = 0;
    ASSERT_TRUE(SpinUntil([&] {
        while (!destination.Receive().empty())
            ++answers;
        return answers == 2;
    }));
    using Way = monitor::TrafficCounters::Way;
    const std::int64_t now = monitor::ReceiveRoute::NowUs();
    EXPECT_EQ(monitor.counters.Total(Way::Received).frames, sent.size());
    EXPECT_EQ(monitor.counters.Total(Way::Received).bytes, bytes);
    EXPECT_EQ(monitor.counters.Total(Way::Sent).frames, 2U);
    EXPECT_EQ(monitor.counters.Total(Way::Sent).bytes, 4U);
    EXPECT_EQ(monitor.counters.LastSecond(Way::Received, now).frames, sent.size());
    EXPECT_EQ(monitor.counters.LastSecond(Way::Sent, now + 2'000'000).frames, 0U);
    monitor.counters.Reset();
    EXPECT_EQ(monitor.counters.Total(Way::Received).frames, 0U);
    EXPECT_EQ(monitor.counters.LastSecond(Way::Sent, now).bytes, 0U);
}

// Whether the system lists the group as joined on the loopback interface
// (/proc/net/igmp: a device's line, then one line per group, its address as
// the kernel holds it in hex; /proc/net/igmp6: one line per device and group).
bool JoinedOnLoopback(const char* group)
{
    const bool six = std::strchr(group, ':') != nullptr;
    QFile file(QString::fromLatin1(six ? "/proc/net/igmp6" : "/proc/net/igmp"));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray wanted;
    if (six) {
        in6_addr address{};
        ::inet_pton(AF_INET6, group, &address);
        wanted = QByteArray(reinterpret_cast<const char*>(&address), 16).toHex();
    } else {
        in_addr address{};
        ::inet_pton(AF_INET, group, &address);
        wanted = QByteArray::number(address.s_addr, 16).toUpper().rightJustified(8, '0');
    }
    QByteArray device;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (six) {
            if (fields.size() > 2 && fields[1] == "lo" && fields[2] == wanted)
                return true;
            continue;
        }
        if (!line.isEmpty() && line[0] != '\t' && fields.size() > 1)
            device = fields[1];
        else if (!fields.isEmpty() && device == "lo" && fields[0] == wanted)
            return true;
    }
    return false;
}

// Two receivers join the group on the loopback interface and each gets what
// is sent to the group on its port (with the hop limit and interface set
// for sending); once one stops, it has left the group; once both have, a
// listener on the same port that joined nothing gets nothing of the group.
// An IPv6 group is joined and left alike; the loopback interface does not
// carry IPv6 multicast, so none is sent to it.
TEST(NetworkReach, MulticastJoinedAndLeft)
{
    if (!LoopbackMulticast())
        GTEST_SKIP() << "the loopback interface has no MULTICAST flag and no network namespace could be made";
    const struct {
        const char* listen;
        const char* group;
        bool sent;
    } cases[] = {{"::", "239.255.31.1", true}, {"0.0.0.0", "239.255.31.2", true}, {"::", "ff15::31:3", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.listen) + " joins " + c.group);
        if (std::strcmp(c.listen, "::") == 0 && !SystemHasIPv6())
            continue;
        auto first = std::make_unique<Monitor>(QString::fromLatin1(c.listen));
        auto second = std::make_unique<Monitor>(QString::fromLatin1(c.listen));
        for (Monitor* m : {first.get(), second.get()}) {
            m->state.Groups = {QString::fromLatin1(c.group)};
            m->state.GroupInterface = QStringLiteral("lo");
            ASSERT_NO_THROW(m->pass.Start());
        }
        EXPECT_TRUE(JoinedOnLoopback(c.group));
        const std::uint16_t firstPort = first->Port();
        Monitor sender(QStringLiteral("0.0.0.0"));
        sender.state.ClientHost = QString::fromLatin1(c.group);
        sender.state.MulticastHops = 1;
        sender.state.MulticastInterface = QStringLiteral("lo");
        const auto sendTo = [&](std::uint16_t port, const char* text) {
            sender.state.ClientPort = QString::number(port);
            sender.sender.Send(reinterpret_cast<const std::uint8_t*>(text), std::strlen(text));
        };
        if (c.sent) {
            sendTo(first->Port(), "one");
            sendTo(second->Port(), "two");
            ASSERT_TRUE(SpinUntil([&] { return !first->received.empty() && !second->received.empty(); }));
            EXPECT_EQ(first->received, std::vector<std::string>{"one"});
            EXPECT_EQ(second->received, std::vector<std::string>{"two"});
        }

        second->pass.Stop();
        EXPECT_TRUE(JoinedOnLoopback(c.group));
        if (c.sent) {
            sendTo(first->Port(), "three");
            ASSERT_TRUE(SpinUntil([&] { return first->received.size() == 2; }));
        }
        first->pass.Stop();
        EXPECT_FALSE(JoinedOnLoopback(c.group));
        if (!c.sent)
            continue;

        // The same port again, no group joined: the group's datagrams stay away.
        Monitor plain(QString::fromLatin1(c.listen));
        plain.state.ServerPort = QString::number(firstPort);
        plain.pass.Start();
        sendTo(firstPort, "four");
        Peer unicast("127.0.0.1");
        ASSERT_TRUE(unicast.SendTo("127.0.0.1", firstPort, "five"));
        ASSERT_TRUE(SpinUntil([&] { return !plain.received.empty(); }));
        EXPECT_EQ(plain.received, std::vector<std::string>{"five"});
    }
}

// A group that cannot be joined ends the start: the socket is closed again.
TEST(NetworkReach, AGroupThatCannotBeJoinedEndsTheStart)
{
    Monitor monitor(QStringLiteral("0.0.0.0"));
    monitor.state.Groups = {QStringLiteral("239.255.31.9%no-such-if0")};
    EXPECT_THROW(monitor.pass.Start(), std::exception);
    EXPECT_NE(monitor.pass.UDPServer1().State(), wsListening);
}

} // namespace

int main(int argc, char** argv)
{
    // Multicast over the loopback interface needs its MULTICAST flag: in a
    // network namespace of the test's own the flag can be set.
    if (!LoopbackMulticast() && std::getenv("TELEMON_NETNS") == nullptr
        && std::system("unshare -rn sh -c 'ip link set lo up multicast on' >/dev/null 2>&1") == 0) {
        ::setenv("TELEMON_NETNS", "1", 1);
        std::vector<char*> args{const_cast<char*>("unshare"), const_cast<char*>("-rn"), const_cast<char*>("sh"),
                                const_cast<char*>("-c"),
                                const_cast<char*>("ip link set lo up multicast on && ip route add 224.0.0.0/4 dev lo && "
                                                 "exec \"$0\" \"$@\"")};
        for (int k = 0; k < argc; ++k)
            args.push_back(argv[k]);
        args.push_back(nullptr);
        ::execvp("unshare", args.data());
        // No namespace here: the multicast cases skip.
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
