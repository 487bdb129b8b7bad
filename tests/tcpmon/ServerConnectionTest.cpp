#include "tests/socket/SocketTestSupport.h"

#include "monitor/TimedSave.h"
#include "tcpmon/StreamReader.h"
#include "socket/WSocketResolve.h"
#include "tcpmon/client/ServerConnection.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <memory>

using namespace tamrel;

namespace {

class NoLines final : public monitor::LineSink {
public:
    void EmptyIfFull() override {}
    void Line(const QString&) override {}
    void Line(QByteArray, QString (*)(const QByteArray&)) override {}
    void Text(const QString&) override {}
    void PassEnded(monitor::PassEnd) override {}
};

sockaddr_in Loopback(uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A stream socket bound to a loopback port that nobody listens on.
PlainSocket BoundNotListening()
{
    PlainSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in address = Loopback(0);
    if (::bind(socket.Handle(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot bind");
    return socket;
}

// A stream socket listening on a loopback port (0: the kernel's choice),
// which may be listened on again while connections of this one wait out
// their close.
PlainSocket ListeningOn(uint16_t port)
{
    PlainSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int reuse = 1;
    ::setsockopt(socket.Handle(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    const sockaddr_in address = Loopback(port);
    if (::bind(socket.Handle(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(socket.Handle(), 4) != 0)
        throw std::runtime_error("cannot listen");
    return socket;
}

// Accepts the connection waiting on `listener` into `accepted` once one
// waits; whether `accepted` holds one.
bool Accepted(const PlainSocket& listener, PlainSocket& accepted)
{
    if (accepted.Handle() < 0) {
        ::fcntl(listener.Handle(), F_SETFL, O_NONBLOCK);
        accepted = PlainSocket(::accept4(listener.Handle(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    }
    return accepted.Handle() >= 0;
}

// A connection to the device with what it reported, its route's chunks
// included.
struct Probe {
    Probe()
        : capture(saveNumber, [](const std::exception&) {}, nullptr, folder.path())
        , route(sink, capture, {}, {})
        , connection(std::make_unique<ServerConnection>(route))
    {
        route.AddObserver([this](const monitor::ReceivedFrame& frame) {
            chunks.push_back(std::string(reinterpret_cast<const char*>(frame.bytes.data()), frame.bytes.size()));
        });
        route.AddConnectionObserver([this](const monitor::ConnectionChange& change) { opened.push_back(change.opened); });
        connection->StateChanged = [this](const ConnectionStatus& status) { states.push_back(status); };
        connection->Failed = [this](const ConnectionFailure& failure) { failures.push_back(failure.kind); };
        connection->Note = [this](const QString& note) { notes << note; };
    }
    [[nodiscard]] bool Connected() const { return connection->State() == ConnectionState::Connected; }
    [[nodiscard]] std::string Received() const
    {
        std::string all;
        for (const std::string& chunk : chunks)
            all += chunk;
        return all;
    }

    QTemporaryDir folder;
    int saveNumber = 0;
    NoLines sink;
    monitor::TimedSave capture;
    monitor::ReceiveRoute route;
    std::unique_ptr<ServerConnection> connection;
    std::vector<ConnectionStatus> states;
    std::vector<FailureKind> failures;
    std::vector<std::string> chunks;
    std::vector<bool> opened; // the connection observers' news: opened, ended
    QStringList notes;
};

// What the device does; it returns the host and port to connect to.
struct Device {
    PlainSocket listener;
    std::vector<PlainSocket> held;
};

struct FaultCase {
    const char* name;
    // Sets the device up; the host and port to connect to.
    std::function<std::pair<QString, int>(Device&)> setUp;
    // What the device does once the connection is made (none: never made).
    std::function<void(Device&)> onConnected;
    int timeoutMs;
    FailureKind expected;
};

void CloseAccepted(Device& device, bool reset)
{
    PlainSocket accepted;
    ASSERT_TRUE(SpinUntil([&] { return Accepted(device.listener, accepted); }));
    if (reset) {
        const linger abortive{1, 0};
        ::setsockopt(accepted.Handle(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    }
    accepted.Close();
}

std::pair<QString, int> Listening(Device& device)
{
    device.listener = PlainSocket::TcpListener();
    return {QStringLiteral("127.0.0.1"), device.listener.LocalPort()};
}

} // namespace

// Each way a connection fails or ends, on real loopback sockets: what the
// connection ends in, and that the user hears of it once.
TEST(ServerConnectionTest, FaultsEndInTheirOwnFailure)
{
    const FaultCase cases[] = {
        {"nothing listens",
         [](Device& device) {
             device.listener = BoundNotListening();
             return std::pair{QStringLiteral("127.0.0.1"), int(device.listener.LocalPort())};
         },
         nullptr, 5000, FailureKind::Refused},
        {"accepted and closed", Listening, [](Device& device) { CloseAccepted(device, false); }, 5000,
         FailureKind::ClosedByDevice},
        {"accepted and reset", Listening, [](Device& device) { CloseAccepted(device, true); }, 5000,
         FailureKind::ResetByDevice},
        {"accepted and silent", Listening,
         [](Device& device) {
             device.held.push_back(PlainSocket());
             ASSERT_TRUE(SpinUntil([&] { return Accepted(device.listener, device.held.back()); }));
         },
         5000, FailureKind::None},
        {"connect never answered",
         [](Device& device) {
             // A queue of accepted connections one long, filled: the
             // system drops every further connection request.
             device.listener = PlainSocket::TcpListener();
             ::listen(device.listener.Handle(), 0);
             const sockaddr_in address = Loopback(device.listener.LocalPort());
             for (int i = 0; i < 2; ++i) {
                 device.held.emplace_back(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
                 ::connect(device.held.back().Handle(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
             }
             return std::pair{QStringLiteral("127.0.0.1"), int(device.listener.LocalPort())};
         },
         nullptr, 300, FailureKind::TimedOut},
        {"name not found", [](Device&) { return std::pair{QStringLiteral("no-such-host.invalid"), 502}; }, nullptr,
         5000, FailureKind::NameNotFound},
    };
    for (const FaultCase& fault : cases) {
        SCOPED_TRACE(fault.name);
        Device device;
        Probe probe;
        const auto [host, port] = fault.setUp(device);
        probe.connection->SetConnectTimeoutMs(fault.timeoutMs);
        QElapsedTimer clock;
        clock.start();
        probe.connection->Connect(host, port);
        ASSERT_TRUE(SpinUntil([&] { return probe.connection->State() != ConnectionState::Connecting; }));
        if (fault.onConnected) {
            ASSERT_TRUE(probe.Connected());
            EXPECT_EQ(probe.notes.value(0), QStringLiteral("Connected to 127.0.0.1:%1").arg(port));
            fault.onConnected(device);
        }
        if (fault.expected == FailureKind::None) {
            // Nothing ends a connection the device keeps open but the user.
            SpinUntil([] { return false; }, 200);
            ASSERT_TRUE(probe.Connected());
            probe.connection->Disconnect();
            EXPECT_EQ(probe.connection->State(), ConnectionState::Disconnected);
            char byte = 0;
            EXPECT_TRUE(SpinUntil([&] { return ::recv(device.held.back().Handle(), &byte, 1, MSG_DONTWAIT) == 0; }));
            EXPECT_TRUE(probe.failures.empty());
            EXPECT_EQ(probe.opened, (std::vector<bool>{true, false}));
            continue;
        }
        ASSERT_TRUE(SpinUntil([&] { return probe.connection->State() == ConnectionState::Disconnected; }));
        EXPECT_EQ(probe.connection->Status().why.kind, fault.expected);
        EXPECT_EQ(probe.failures, std::vector<FailureKind>{fault.expected});
        EXPECT_FALSE(probe.connection->Status().retryPending);
        // The link supervision hears of every end, a reset's too.
        EXPECT_EQ(probe.opened, fault.onConnected ? (std::vector<bool>{true, false}) : std::vector<bool>());
        if (fault.expected == FailureKind::TimedOut) {
            EXPECT_LT(clock.elapsed(), 3000);
        }
    }
}

// An IPv6 address, bare or in brackets, is connected to without a lookup;
// the status names both ends by their IPv6 addresses, and bytes flow.
TEST(ServerConnectionTest, ConnectsToAnIPv6Address)
{
    if (!SystemHasIPv6())
        GTEST_SKIP() << "no IPv6 here";
    for (const char* host : {"::1", "[::1]"}) {
        SCOPED_TRACE(host);
        PlainSocket listener(::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        sockaddr_in6 local{};
        local.sin6_family = AF_INET6;
        local.sin6_addr = in6addr_loopback;
        socklen_t length = sizeof local;
        ASSERT_EQ(::bind(listener.Handle(), reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
        ASSERT_EQ(::listen(listener.Handle(), 4), 0);
        ASSERT_EQ(::getsockname(listener.Handle(), reinterpret_cast<sockaddr*>(&local), &length), 0);
        Probe probe;
        probe.connection->Connect(QString::fromLatin1(host), ntohs(local.sin6_port));
        EXPECT_FALSE(probe.connection->Status().resolving);
        ASSERT_TRUE(SpinUntil([&] { return probe.Connected(); }));
        EXPECT_EQ(probe.connection->Status().remoteAddr, QStringLiteral("::1"));
        EXPECT_EQ(probe.connection->Status().remotePort, ntohs(local.sin6_port));
        EXPECT_EQ(probe.connection->Status().localAddr, QStringLiteral("::1"));
        EXPECT_EQ(probe.notes.value(0), QStringLiteral("Connected to [::1]:%1").arg(ntohs(local.sin6_port)));
        PlainSocket device;
        ASSERT_TRUE(SpinUntil([&] { return Accepted(listener, device); }));
        ASSERT_EQ(::send(device.Handle(), "ab", 2, 0), 2);
        ASSERT_TRUE(SpinUntil([&] { return probe.Received() == "ab"; }));
    }
}

// With reconnection on, a connection the device closed is tried again
// until the device listens again; each attempt is a note, and only the loss
// reaches the error box. The user's Disconnect ends the attempts.
TEST(ServerConnectionTest, ReconnectsToADeviceThatIsBack)
{
    Probe probe;
    PlainSocket listener = ListeningOn(0);
    const uint16_t port = listener.LocalPort();
    probe.connection->SetReconnect(true, 1);
    probe.connection->Connect(QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(SpinUntil([&] { return probe.Connected(); }));
    PlainSocket accepted;
    ASSERT_TRUE(SpinUntil([&] { return Accepted(listener, accepted); }));
    // The device goes away altogether for a while.
    accepted.Close();
    listener.Close();
    ASSERT_TRUE(SpinUntil([&] { return probe.notes.size() >= 4; }));
    // And comes back on the same port.
    const PlainSocket again = ListeningOn(port);
    ASSERT_TRUE(SpinUntil([&] { return probe.Connected(); }));

    const QString at = QStringLiteral("127.0.0.1:%1").arg(port);
    const QStringList expected{
        "Connected to " + at,
        "Closed by the device",
        "Reconnecting to " + at,
        "Reconnection failed: connection refused",
    };
    EXPECT_EQ(probe.notes.mid(0, 4), expected);
    EXPECT_EQ(probe.notes.constLast(), "Connected to " + at);
    EXPECT_EQ(probe.failures, std::vector<FailureKind>{FailureKind::ClosedByDevice});

    PlainSocket second;
    ASSERT_TRUE(SpinUntil([&] { return Accepted(again, second); }));
    probe.connection->Disconnect();
    second.Close();
    const qsizetype notes = probe.notes.size();
    SpinUntil([] { return false; }, 1500);
    EXPECT_EQ(probe.notes.size(), notes);
    EXPECT_EQ(probe.connection->State(), ConnectionState::Disconnected);
    EXPECT_FALSE(probe.connection->Status().retryPending);
}

// What the device sends reaches the route in chunks of at most 1024 bytes,
// in order; what is sent reaches the device. A host name is looked up off
// the event loop; a connection destroyed while its lookup runs leaves
// nothing behind.
TEST(ServerConnectionTest, CarriesBytesBothWays)
{
    Probe probe;
    EXPECT_EQ(RaisedBy([&] { probe.connection->Send({}); }).errorCode, WSAENOTCONN);

    PlainSocket listener = PlainSocket::TcpListener();
    probe.connection->Connect(QStringLiteral("localhost"), listener.LocalPort());
    EXPECT_TRUE(probe.connection->Status().resolving);
    ASSERT_TRUE(SpinUntil([&] { return probe.Connected(); }));
    // Looked up, connecting to the address found, connected.
    ASSERT_EQ(probe.states.size(), 3u);
    EXPECT_FALSE(probe.states[1].resolving);
    EXPECT_EQ(probe.states[2].remoteAddr, QStringLiteral("127.0.0.1"));
    PlainSocket device;
    ASSERT_TRUE(SpinUntil([&] { return Accepted(listener, device); }));
    ::fcntl(device.Handle(), F_SETFL, 0);

    const std::string stream = Pattern(5000);
    ASSERT_EQ(::send(device.Handle(), stream.data(), stream.size(), 0), ssize_t(stream.size()));
    ASSERT_TRUE(SpinUntil([&] { return probe.Received().size() >= stream.size(); }));
    EXPECT_EQ(probe.Received(), stream);
    for (const std::string& chunk : probe.chunks)
        EXPECT_LE(chunk.size(), size_t(StreamReader::kReadSize));

    const std::uint8_t frame[] = {0x68, 0x04, 0x07, 0x00, 0x00, 0x00};
    probe.connection->Send(frame);
    char received[sizeof frame] = {};
    ASSERT_EQ(::recv(device.Handle(), received, sizeof received, MSG_WAITALL), ssize_t(sizeof frame));
    EXPECT_EQ(std::memcmp(received, frame, sizeof frame), 0);

    // The end of the device's stream is one empty chunk.
    device.Close();
    ASSERT_TRUE(SpinUntil([&] { return probe.connection->State() == ConnectionState::Disconnected; }));
    EXPECT_TRUE(probe.chunks.back().empty());

    probe.connection->Connect(QStringLiteral("localhost"), listener.LocalPort());
    probe.connection.reset();
    SpinUntil([] { return false; }, 200);
}
