#include "SocketTestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// The TCP monitor's pair: a listening instance whose OnSessionAvailable
// hands each connection to the client instance, which reads chunks of at
// most 1024 bytes.
struct TcpServer {
    std::vector<std::string> log;
    std::string received;
    int sessions = 0;
    TWSocket server;
    TWSocket client;

    TcpServer()
    {
        server.OnSessionAvailable = [this](TCustomWSocket*, int) {
            client.Dup(server.Accept());
            ++sessions;
        };
        client.OnDataAvailable = [this](TCustomWSocket* sender, int) {
            char buffer[1024];
            const int count = sender->Receive(buffer, sizeof buffer);
            if (count < 0)
                return;
            received.append(buffer, static_cast<size_t>(count));
            log.push_back("data " + std::to_string(count));
        };
        client.OnSessionClosed = [this](TCustomWSocket*, int error) { log.push_back("closed " + std::to_string(error)); };
        client.OnChangeState = [this](TCustomWSocket*, TSocketState, TSocketState s) {
            log.push_back("state " + std::to_string(s));
        };
        Aim(server, "tcp", 0);
        server.Listen();
    }

    [[nodiscard]] uint16_t Port() const { return LocalPortOf(server.SocketHandle()); }

    PlainSocket ConnectClient()
    {
        const int before = sessions;
        PlainSocket peer = PlainSocket::TcpClient(Port());
        EXPECT_TRUE(SpinUntil([&] { return sessions == before + 1; }));
        return peer;
    }
};

} // namespace

TEST(WSocketStream, ListenAcceptDupAndReceive)
{
    TcpServer tcp;
    EXPECT_EQ(tcp.server.State(), wsListening);
    PlainSocket peer = tcp.ConnectClient();
    EXPECT_EQ(tcp.client.State(), wsConnected);
    EXPECT_EQ(tcp.server.State(), wsListening);
    EXPECT_EQ(tcp.client.PeerAddr(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(tcp.client.PeerPort(), QString::number(peer.LocalPort()));

    ASSERT_EQ(send(peer.Handle(), "\x01\x03\x1A", 3, 0), 3);
    ASSERT_TRUE(SpinUntil([&] { return tcp.received.size() == 3; }));
    EXPECT_EQ(tcp.received, "\x01\x03\x1A");

    // 2000 bytes waiting: chunks of 1024 and 976 in one pass.
    tcp.log.clear();
    const std::string bytes = Pattern(2000);
    ASSERT_EQ(send(peer.Handle(), bytes.data(), bytes.size(), 0), 2000);
    ASSERT_TRUE(SpinUntil([&] { return tcp.received.size() == 2003; }));
    EXPECT_EQ(tcp.log, (std::vector<std::string>{"data 1024", "data 976"}));
    EXPECT_EQ(tcp.received.substr(3), bytes);
}

TEST(WSocketStream, PeerCloseGivesALastEmptyReadThenClosed)
{
    TcpServer tcp;
    PlainSocket peer = tcp.ConnectClient();
    tcp.log.clear();
    ASSERT_EQ(send(peer.Handle(), "AB", 2, 0), 2);
    peer.Close();
    ASSERT_TRUE(SpinUntil([&] { return tcp.client.State() == wsClosed; }));
    const std::vector<std::string> expected = {"data 2", "data 0", "closed 0", "state 7"};
    EXPECT_EQ(tcp.log, expected);
    EXPECT_EQ(tcp.client.SocketHandle(), -1);
    EXPECT_EQ(tcp.client.Proto(), QStringLiteral("tcp"));
    for (int turn = 0; turn < 10; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(tcp.log.size(), expected.size());
}

TEST(WSocketStream, DupReplacesTheOlderConnectionWithoutClosedEvent)
{
    TcpServer tcp;
    PlainSocket first = tcp.ConnectClient();
    PlainSocket second = tcp.ConnectClient();
    EXPECT_EQ(tcp.sessions, 2);
    EXPECT_EQ(tcp.client.PeerPort(), QString::number(second.LocalPort()));
    for (const std::string& line : tcp.log)
        EXPECT_EQ(line.rfind("closed", 0), std::string::npos) << line;

    // The older connection is gone for its peer, and what it sends is never read.
    char byte = 0;
    EXPECT_LE(recv(first.Handle(), &byte, 1, 0), 0);
    ASSERT_EQ(send(second.Handle(), "new", 3, 0), 3);
    ASSERT_TRUE(SpinUntil([&] { return tcp.received == "new"; }));
}

TEST(WSocketStream, ConnectReportsItsOutcomeOnce)
{
    PlainSocket listener = PlainSocket::TcpListener();
    TWSocket client;
    std::vector<int> outcomes;
    std::vector<TSocketState> states;
    client.OnSessionConnected = [&](TCustomWSocket*, int error) { outcomes.push_back(error); };
    client.OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState s) { states.push_back(s); };
    Aim(client, "tcp", listener.LocalPort());
    client.Connect();
    EXPECT_EQ(states, (std::vector<TSocketState>{wsOpened, wsConnecting}));
    ASSERT_TRUE(SpinUntil([&] { return !outcomes.empty(); }));
    EXPECT_EQ(outcomes, std::vector<int>{0});
    EXPECT_EQ(client.State(), wsConnected);

    // Refused: the outcome carries the error and the instance closes.
    const uint16_t closedPort = listener.LocalPort();
    client.Close();
    listener.Close();
    outcomes.clear();
    Aim(client, "tcp", closedPort);
    client.Connect();
    ASSERT_TRUE(SpinUntil([&] { return client.State() == wsClosed; }));
    EXPECT_EQ(outcomes, std::vector<int>{10061});
}

TEST(WSocketStream, LargeSendIsQueuedAndResumedInOrder)
{
    PlainSocket listener = PlainSocket::TcpListener();
    TWSocket client;
    int dataSent = 0;
    int64_t sentBytes = 0;
    int64_t sentAtDataSent = -1;
    client.OnDataSent = [&](TCustomWSocket*, int) {
        ++dataSent;
        sentAtDataSent = sentBytes;
    };
    client.OnSendData = [&](TCustomWSocket*, int count) { sentBytes += count; };
    Aim(client, "tcp", listener.LocalPort());
    client.Connect();
    ASSERT_TRUE(SpinUntil([&] { return client.State() == wsConnected && dataSent == 1; }));
    PlainSocket peer(accept(listener.Handle(), nullptr, nullptr));
    int small = 16384;
    ASSERT_EQ(setsockopt(client.SocketHandle(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small), 0);

    dataSent = 0;
    const std::string bytes = Pattern(TCustomWSocket::MaxQueuedBytes);
    EXPECT_EQ(client.Send(bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size()));
    EXPECT_LT(sentBytes, static_cast<int64_t>(bytes.size())); // the socket took only part at once

    // The peer reads slowly: a little per turn of the event loop.
    std::string received;
    ASSERT_TRUE(SpinUntil([&] {
        char buffer[8192];
        const ssize_t count = recv(peer.Handle(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (count > 0)
            received.append(buffer, static_cast<size_t>(count));
        return received.size() == bytes.size() && dataSent > 0;
    }, 60000)) << "received " << received.size() << " sent " << sentBytes << " dataSent " << dataSent;
    EXPECT_TRUE(received == bytes);
    EXPECT_EQ(sentBytes, static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(sentAtDataSent, static_cast<int64_t>(bytes.size()));
    for (int turn = 0; turn < 10; ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(dataSent, 1);
}

TEST(WSocketStream, TheSendQueueOfAPeerThatDoesNotReadIsBoundedAndFreedWhenItLeaves)
{
    std::signal(SIGPIPE, SIG_DFL);
    TcpServer tcp;
    PlainSocket peer = tcp.ConnectClient();
    const std::string frame = Pattern(500);
    std::string failure = "(no exception)";
    int64_t queuedBefore = 0;
    // The system's buffers take some megabytes first; the loop is bounded.
    for (int sent = 0; sent < 200000 && failure == "(no exception)"; ++sent) {
        queuedBefore = tcp.client.QueuedBytes();
        failure = MessageOf([&] { tcp.client.Send(frame.data(), static_cast<int>(frame.size())); });
    }
    EXPECT_EQ(failure, "Error 10055 in function Send\r\nNo buffer space available");
    // The frame that did not fit went nowhere; whole frames fill the queue.
    EXPECT_EQ(tcp.client.QueuedBytes(), queuedBefore);
    EXPECT_LE(tcp.client.QueuedBytes(), TCustomWSocket::MaxQueuedBytes);
    EXPECT_GT(tcp.client.QueuedBytes() + static_cast<int64_t>(frame.size()), TCustomWSocket::MaxQueuedBytes);
    EXPECT_EQ(tcp.client.State(), wsConnected);
    EXPECT_GT(tcp.client.HeldChunks(), 0u);

    linger abortive{1, 0};
    ASSERT_EQ(setsockopt(peer.Handle(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive), 0);
    peer.Close();
    ASSERT_TRUE(SpinUntil([&] { return tcp.client.State() == wsClosed; }));
    EXPECT_EQ(tcp.client.QueuedBytes(), 0);
    EXPECT_EQ(tcp.client.HeldChunks(), 0u);
}

TEST(WSocketStream, SendToAPeerThatResetClosesCleanly)
{
    // Any SIGPIPE would end this test process.
    std::signal(SIGPIPE, SIG_DFL);
    TcpServer tcp;
    for (const bool reset : {true, false}) {
        PlainSocket peer = tcp.ConnectClient();
        if (reset) {
            linger abortive{1, 0};
            ASSERT_EQ(setsockopt(peer.Handle(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive), 0);
        }
        peer.Close();
        tcp.log.clear();
        // Without turning the event loop: the sends themselves find the
        // connection gone (a reset at once, or a refused second send).
        const std::string bytes = Pattern(3000);
        for (int attempt = 0; attempt < 5 && tcp.client.State() == wsConnected; ++attempt) {
            EXPECT_EQ(tcp.client.Send(bytes.data(), 3000), 3000);
            usleep(10000);
        }
        EXPECT_EQ(tcp.client.State(), wsClosed);
        ASSERT_FALSE(tcp.log.empty());
        const std::string closed = tcp.log.back();
        EXPECT_TRUE(closed == "closed 10054" || closed == "closed 10053") << closed;
        EXPECT_EQ(std::count(tcp.log.begin(), tcp.log.end(), closed), 1);
        EXPECT_EQ(tcp.client.SocketHandle(), -1);
    }
}

TEST(WSocketStream, BackgroundExceptionAbortsUnlessKeptOpen)
{
    for (const bool keepOpen : {false, true}) {
        TcpServer tcp;
        std::string caught;
        tcp.server.OnSessionAvailable = [&](TCustomWSocket* sender, int) {
            tcp.client.Dup(sender->Accept());
            ++tcp.sessions;
            tcp.client.Dup(-1);
        };
        tcp.server.OnBgException = [&](TCustomWSocket*, const std::exception& e, bool& canClose) {
            caught = e.what();
            canClose = !keepOpen;
        };
        PlainSocket peer = tcp.ConnectClient();
        EXPECT_EQ(caught, "Error 10022 in function Dup\r\nInvalid argument");
        EXPECT_EQ(tcp.server.State(), keepOpen ? wsListening : wsClosed);
        EXPECT_EQ(tcp.client.State(), wsConnected);
    }
}

TEST(WSocketStream, AbortDropsTheQueueAndClosesAtOnce)
{
    TcpServer tcp;
    PlainSocket peer = tcp.ConnectClient();
    tcp.log.clear();
    tcp.client.Abort();
    EXPECT_EQ(tcp.client.State(), wsClosed);
    EXPECT_EQ(tcp.log, (std::vector<std::string>{"state 7", "closed 0"}));
    char byte = 0;
    EXPECT_EQ(recv(peer.Handle(), &byte, 1, 0), 0); // linger off: an orderly end
}

TEST(WSocketStream, AConnectionResetBeforeItIsTakenIsDroppedQuietly)
{
    TcpServer tcp;
    std::string caught;
    tcp.server.OnBgException = [&](TCustomWSocket*, const std::exception& e, bool&) { caught = e.what(); };
    PlainSocket served = tcp.ConnectClient();
    const int servedHandle = tcp.client.SocketHandle();

    // A port scan: connect and reset at once, before the server takes it.
    {
        PlainSocket scan = PlainSocket::TcpClient(tcp.Port());
        linger abortive{1, 0};
        ASSERT_EQ(setsockopt(scan.Handle(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive), 0);
    }
    ASSERT_TRUE(SpinUntil([&] { return tcp.sessions == 2; }));
    EXPECT_EQ(caught, "");
    EXPECT_EQ(tcp.server.State(), wsListening);
    EXPECT_EQ(tcp.client.SocketHandle(), servedHandle);
    EXPECT_EQ(tcp.client.State(), wsConnected);
    EXPECT_EQ(tcp.client.LastError(), 10054);
    // Nothing waits any more: no connection to take is no error.
    EXPECT_EQ(MessageOf([&] { EXPECT_EQ(tcp.server.Accept(), -1); }), "(no exception)");
    EXPECT_EQ(tcp.server.LastError(), 10035);

    // The served peer resets; asked for its name before the close
    // notification is handled, the connection closes as a send would.
    linger abortive{1, 0};
    ASSERT_EQ(setsockopt(served.Handle(), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive), 0);
    served.Close();
    tcp.log.clear();
    QString name;
    for (int attempt = 0; attempt < 100 && name != QStringLiteral("error"); ++attempt) {
        EXPECT_EQ(MessageOf([&] { name = tcp.client.PeerPort(); }), "(no exception)");
        if (name != QStringLiteral("error"))
            usleep(1000); // the reset is on its way
    }
    EXPECT_EQ(name, QStringLiteral("error"));
    EXPECT_EQ(tcp.log, (std::vector<std::string>{"state 7", "closed 10057"}));

    PlainSocket next = tcp.ConnectClient();
    EXPECT_EQ(tcp.client.PeerPort(), QString::number(next.LocalPort()));
}
