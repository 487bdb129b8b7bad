#include "SocketTestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>
#include <string>
#include <vector>

namespace {

void SendDatagram(int from, uint16_t toPort, const std::string& bytes)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(toPort);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(sendto(from, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to),
              static_cast<ssize_t>(bytes.size()));
}

// A receiving instance as the UDP monitor runs it: every datagram is read
// whole into a 65536-byte buffer.
struct UdpServer {
    TWSocket socket;
    std::vector<std::string> datagrams;
    std::vector<uint16_t> senders;
    uint16_t port = 0;

    UdpServer()
    {
        socket.OnDataAvailable = [this](TCustomWSocket* sender, int) {
            std::vector<char> buffer(65536);
            sockaddr_in from{};
            int fromLen = sizeof from;
            const int count = sender->ReceiveFrom(buffer.data(), 65536, from, fromLen);
            if (count >= 0) {
                datagrams.emplace_back(buffer.data(), static_cast<size_t>(count));
                senders.push_back(ntohs(from.sin_port));
            }
        };
        socket.SetProto(QStringLiteral("udp"));
        socket.SetAddr(QStringLiteral("0.0.0.0"));
        socket.SetPort(QStringLiteral("0"));
        socket.Listen();
        port = LocalPortOf(socket.SocketHandle());
    }
};

} // namespace

TEST(WSocketDatagram, ListenGoesToConnectedAndReportsTheSession)
{
    TWSocket socket;
    std::vector<std::string> log;
    socket.OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState s) { log.push_back("state " + std::to_string(s)); };
    socket.OnSessionConnected = [&](TCustomWSocket*, int error) { log.push_back("connected " + std::to_string(error)); };
    Aim(socket, "udp", 0);
    socket.Listen();
    const std::vector<std::string> expected = {"state 2", "state 6", "state 4", "connected 0"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(socket.State(), wsConnected);
}

TEST(WSocketDatagram, TheReceiveQueueSizeAskedForIsGivenToListeningAndConnectedSockets)
{
    // The system doubles the size asked for and caps it, so the sizes are
    // compared with the system's own, not with the number asked for.
    const auto receiveQueue = [](int handle) {
        int bytes = 0;
        socklen_t length = sizeof bytes;
        EXPECT_EQ(getsockopt(handle, SOL_SOCKET, SO_RCVBUF, &bytes, &length), 0);
        return bytes;
    };
    TWSocket plain;
    Aim(plain, "udp", 0);
    plain.Listen();
    const int systemSize = receiveQueue(plain.SocketHandle());

    PlainSocket peer = PlainSocket::UdpReceiver();
    TWSocket socket;
    socket.SetReceiveQueueBytes(4 << 20);
    Aim(socket, "udp", 0);
    socket.Listen();
    ASSERT_EQ(socket.State(), wsConnected);
    EXPECT_GT(receiveQueue(socket.SocketHandle()), systemSize);
    socket.Close();
    Aim(socket, "udp", peer.LocalPort());
    socket.Connect();
    ASSERT_EQ(socket.State(), wsConnected);
    EXPECT_GT(receiveQueue(socket.SocketHandle()), systemSize);
    EXPECT_EQ(socket.ReceiveQueueBytes(), 4 << 20);
}

TEST(WSocketDatagram, ThreeQueuedDatagramsGiveThreeCallsInOnePass)
{
    UdpServer server;
    PlainSocket sender = PlainSocket::UdpReceiver();
    for (const char* text : {"one", "two", "three"})
        SendDatagram(sender.Handle(), server.port, text);
    EXPECT_EQ(server.socket.RcvdCount(), 3);
    // One turn of the event loop is one read notification.
    QCoreApplication::processEvents();
    const std::vector<std::string> expected = {"one", "two", "three"};
    EXPECT_EQ(server.datagrams, expected);
    EXPECT_EQ(server.senders, std::vector<uint16_t>(3, sender.LocalPort()));
    EXPECT_EQ(server.socket.ReadCount(), 11);
}

TEST(WSocketDatagram, NoReceiveLoopGivesOneCallPerNotification)
{
    UdpServer server;
    server.socket.SetComponentOptions(WSocketOptionBit(wsoNoReceiveLoop));
    PlainSocket sender = PlainSocket::UdpReceiver();
    for (const char* text : {"a", "b", "c"})
        SendDatagram(sender.Handle(), server.port, text);
    QCoreApplication::processEvents();
    EXPECT_EQ(server.datagrams.size(), 1u);
    ASSERT_TRUE(SpinUntil([&] { return server.datagrams.size() == 3; }));
}

TEST(WSocketDatagram, WithoutAHandlerDataIsDiscarded)
{
    UdpServer server;
    server.socket.OnDataAvailable = nullptr;
    PlainSocket sender = PlainSocket::UdpReceiver();
    SendDatagram(sender.Handle(), server.port, std::string(3000, 'z'));
    SendDatagram(sender.Handle(), server.port, "tail");
    ASSERT_TRUE(SpinUntil([&] { return server.socket.RcvdCount() == 0; }));
    EXPECT_EQ(server.socket.ReadCount(), 1024 + 4);
    EXPECT_EQ(server.socket.LastError(), 0);
}

TEST(WSocketDatagram, ConnectSendCloseLeavesInChunksOf1514)
{
    PlainSocket receiver = PlainSocket::UdpReceiver();
    TWSocket client;
    std::vector<std::string> log;
    std::vector<int> sendCalls;
    int dataSent = 0;
    client.OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState s) { log.push_back("state " + std::to_string(s)); };
    client.OnSessionConnected = [&](TCustomWSocket*, int error) { log.push_back("connected " + std::to_string(error)); };
    client.OnSendData = [&](TCustomWSocket*, int count) { sendCalls.push_back(count); };
    client.OnDataSent = [&](TCustomWSocket*, int) { ++dataSent; };

    Aim(client, "udp", receiver.LocalPort());
    client.SetLocalPort(QStringLiteral("0"));
    client.Connect();
    const std::vector<std::string> expected = {"state 1", "state 4", "connected 0"};
    EXPECT_EQ(log, expected);
    const uint16_t source = LocalPortOf(client.SocketHandle());
    EXPECT_NE(source, 0);
    EXPECT_EQ(client.LocalPort(), QString::number(source));

    const std::string bytes = Pattern(4096);
    EXPECT_EQ(client.Send(bytes.data(), 4096), 4096);
    EXPECT_EQ(sendCalls, (std::vector<int>{1514, 1514, 1068}));
    EXPECT_EQ(client.Send(bytes.data(), 0), 0);
    EXPECT_EQ(dataSent, 0); // fires from the event loop, not inside Send
    client.Close();
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(client.Proto(), QStringLiteral("tcp"));
    EXPECT_EQ(client.LocalPort(), QStringLiteral("0"));

    std::string received;
    std::vector<size_t> sizes;
    std::vector<char> buffer(65536);
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    ssize_t count;
    while ((count = recvfrom(receiver.Handle(), buffer.data(), buffer.size(), MSG_DONTWAIT,
                             reinterpret_cast<sockaddr*>(&from), &fromLen)) >= 0) {
        sizes.push_back(static_cast<size_t>(count));
        received.append(buffer.data(), static_cast<size_t>(count));
        EXPECT_EQ(ntohs(from.sin_port), source);
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{1514, 1514, 1068}));
    EXPECT_EQ(received, bytes);
}

TEST(WSocketDatagram, BroadcastOnlyForTheBroadcastAddress)
{
    for (const char* address : {"255.255.255.255", "127.0.0.1"}) {
        TWSocket client;
        client.SetProto(QStringLiteral("udp"));
        client.SetAddr(QString::fromLatin1(address));
        client.SetPort(QStringLiteral("9"));
        client.Connect();
        int broadcast = -1;
        socklen_t length = sizeof broadcast;
        ASSERT_EQ(getsockopt(client.SocketHandle(), SOL_SOCKET, SO_BROADCAST, &broadcast, &length), 0);
        EXPECT_EQ(broadcast != 0, std::string(address) == "255.255.255.255") << address;
        client.Close();
    }
}

TEST(WSocketDatagram, AnExceptionInTheHandlerEndsOnlyThatPass)
{
    UdpServer server;
    int calls = 0;
    int bgExceptions = 0;
    const auto reader = server.socket.OnDataAvailable;
    server.socket.OnDataAvailable = [&](TCustomWSocket* sender, int error) {
        ++calls;
        reader(sender, error);
        if (calls == 1)
            throw ESocketException("handler failed", 0);
    };
    server.socket.OnBgException = [&](TCustomWSocket*, const std::exception&, bool&) { ++bgExceptions; };
    PlainSocket sender = PlainSocket::UdpReceiver();
    SendDatagram(sender.Handle(), server.port, "first");
    SendDatagram(sender.Handle(), server.port, "second");
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
    ASSERT_TRUE(SpinUntil([&] { return server.datagrams.size() == 2; }));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(bgExceptions, 0);
    EXPECT_EQ(server.socket.State(), wsConnected);
}

TEST(WSocketDatagram, AHandlerThatDoesNotReadDoesNotHang)
{
    UdpServer server;
    int calls = 0;
    const auto reader = server.socket.OnDataAvailable;
    server.socket.OnDataAvailable = [&](TCustomWSocket*, int) { ++calls; };
    PlainSocket sender = PlainSocket::UdpReceiver();
    SendDatagram(sender.Handle(), server.port, "waits");
    for (int turn = 0; turn < 20; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
    // A read elsewhere brings the next notification.
    server.socket.OnDataAvailable = reader;
    SendDatagram(sender.Handle(), server.port, "more");
    char byte = 0;
    EXPECT_EQ(server.socket.Receive(&byte, 1), 1);
    ASSERT_TRUE(SpinUntil([&] { return server.datagrams.size() == 1; }));
    EXPECT_EQ(server.datagrams[0], "more");
}

TEST(WSocketDatagram, QueuedNotificationsOfAClosedSocketDoNothing)
{
    PlainSocket receiver = PlainSocket::UdpReceiver();
    TWSocket client;
    int dataSent = 0;
    client.OnDataSent = [&](TCustomWSocket*, int) { ++dataSent; };
    std::vector<int> handles;
    for (int cycle = 0; cycle < 5; ++cycle) {
        Aim(client, "udp", receiver.LocalPort());
        client.Connect();
        handles.push_back(client.SocketHandle());
        client.Send("x", 1);
        client.Close();
    }
    // The kernel gives the same number to each new socket.
    EXPECT_EQ(handles.front(), handles.back());
    Aim(client, "udp", receiver.LocalPort());
    client.Connect();
    ASSERT_TRUE(SpinUntil([&] { return dataSent > 0; }));
    for (int turn = 0; turn < 20; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(dataSent, 1);
}

TEST(WSocketDatagram, AHandlerMayDestroyItsInstance)
{
    auto server = std::make_unique<UdpServer>();
    int calls = 0;
    server->socket.OnDataAvailable = [&](TCustomWSocket*, int) {
        ++calls;
        server.reset();
    };
    PlainSocket sender = PlainSocket::UdpReceiver();
    SendDatagram(sender.Handle(), server->port, "bye");
    SendDatagram(sender.Handle(), server->port, "bye");
    ASSERT_TRUE(SpinUntil([&] { return server == nullptr; }));
    for (int turn = 0; turn < 10; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
}

TEST(WSocketDatagram, ASendingSocketThatStaysOpenIsToldOfDatagramsSentToIt)
{
    // A socket opened by Connect reads what arrives at its source port once
    // it has lived through a turn of the event loop, also when the datagram
    // was already waiting before that turn.
    PlainSocket peer = PlainSocket::UdpReceiver();
    TWSocket client;
    std::vector<std::string> received;
    client.OnDataAvailable = [&](TCustomWSocket* sender, int) {
        std::vector<char> buffer(64);
        const int count = sender->Receive(buffer.data(), static_cast<int>(buffer.size()));
        if (count >= 0)
            received.emplace_back(buffer.data(), static_cast<size_t>(count));
    };
    Aim(client, "udp", peer.LocalPort());
    client.Connect();
    ASSERT_EQ(client.State(), wsConnected);
    SendDatagram(peer.Handle(), LocalPortOf(client.SocketHandle()), "early");
    ASSERT_TRUE(SpinUntil([&] { return received.size() == 1; }));
    SendDatagram(peer.Handle(), LocalPortOf(client.SocketHandle()), "later");
    ASSERT_TRUE(SpinUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(received, (std::vector<std::string>{"early", "later"}));
}

TEST(WSocketDatagram, ASendOnlySocketLeavesWhatArrivesUnreadAndPostsNothing)
{
    // What arrives at the port of a socket that only sends stays with the
    // system, and a send that went out whole is not followed by OnDataSent.
    PlainSocket peer = PlainSocket::UdpReceiver();
    TWSocket client;
    int reads = 0;
    int dataSent = 0;
    client.OnDataAvailable = [&](TCustomWSocket*, int) { ++reads; };
    client.OnDataSent = [&](TCustomWSocket*, int) { ++dataSent; };
    client.SetSendOnly(true);
    Aim(client, "udp", peer.LocalPort());
    client.Connect();
    ASSERT_EQ(client.State(), wsConnected);
    ASSERT_EQ(client.Send("ask", 3), 3);
    SendDatagram(peer.Handle(), LocalPortOf(client.SocketHandle()), "answer");
    ASSERT_TRUE(SpinUntil([&] { return client.RcvdCount() == 6; }));
    for (int turn = 0; turn < 10; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(client.ReadCount(), 0);
    EXPECT_EQ(dataSent, 0);
    std::vector<char> buffer(16);
    EXPECT_EQ(recv(peer.Handle(), buffer.data(), buffer.size(), MSG_DONTWAIT), 3);
    client.Close();
    EXPECT_TRUE(client.SendOnly()); // kept for the next socket
}

TEST(WSocketDatagram, DatagramsArrivingAfterTheHandlerAskedWhatWaitsAreStillRead)
{
    // The handler reads, asks how much waits (nothing), and only then do
    // two more datagrams arrive: the pass ends on the handler's answer, and
    // the two are read from the next turns of the event loop, in order.
    UdpServer server;
    PlainSocket sender = PlainSocket::UdpReceiver();
    const auto read = server.socket.OnDataAvailable;
    std::vector<int> answers;
    server.socket.OnDataAvailable = [&](TCustomWSocket* socket, int error) {
        read(socket, error);
        answers.push_back(socket->RcvdCount());
        if (server.datagrams.size() == 1) {
            SendDatagram(sender.Handle(), server.port, "two");
            SendDatagram(sender.Handle(), server.port, "three");
        }
    };
    SendDatagram(sender.Handle(), server.port, "one");
    ASSERT_TRUE(SpinUntil([&] { return server.datagrams.size() == 3; }));
    EXPECT_EQ(server.datagrams, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(answers.front(), 0);
    EXPECT_EQ(answers.back(), 0);
    // Nothing more is read once the queue is empty.
    QCoreApplication::processEvents();
    EXPECT_EQ(server.datagrams.size(), 3u);
}
