#include "SocketTestSupport.h"

#include <QCoreApplication>
#include <QDir>

#include <gtest/gtest.h>

#include <sys/socket.h>

namespace {

qsizetype OpenDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size();
}

void DrainEvents()
{
    for (int turn = 0; turn < 5; ++turn)
        QCoreApplication::processEvents();
}

} // namespace

TEST(WSocketDescriptors, DatagramCyclesAndReplacedConnectionsLeaveNoneOpen)
{
    PlainSocket receiver = PlainSocket::UdpReceiver();
    DrainEvents();
    const qsizetype before = OpenDescriptors();

    {
        TWSocket client;
        for (int cycle = 0; cycle < 10000; ++cycle) {
            client.SetProto(QStringLiteral("udp"));
            client.SetAddr(QStringLiteral("127.0.0.1"));
            client.SetPort(QString::number(receiver.LocalPort()));
            client.SetLocalPort(QStringLiteral("0"));
            client.Connect();
            ASSERT_EQ(client.Send("frame", 5), 5);
            client.Close();
            if (cycle % 100 == 0) {
                char buffer[16];
                while (recv(receiver.Handle(), buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
                }
                QCoreApplication::processEvents();
            }
        }
    }
    DrainEvents();
    EXPECT_EQ(OpenDescriptors(), before);

    {
        TWSocket server;
        TWSocket client;
        int sessions = 0;
        server.OnSessionAvailable = [&](TCustomWSocket*, int) {
            client.Dup(server.Accept());
            ++sessions;
        };
        client.OnDataAvailable = [](TCustomWSocket* sender, int) {
            char buffer[1024];
            (void)sender->Receive(buffer, sizeof buffer);
        };
        Aim(server, "tcp", 0);
        server.Listen();
        const uint16_t port = LocalPortOf(server.SocketHandle());
        PlainSocket previous;
        for (int connection = 1; connection <= 1000; ++connection) {
            PlainSocket peer = PlainSocket::TcpClient(port);
            ASSERT_EQ(send(peer.Handle(), "x", 1, 0), 1);
            ASSERT_TRUE(SpinUntil([&] { return sessions == connection; }));
            previous = std::move(peer);
        }
        previous.Close();
        ASSERT_TRUE(SpinUntil([&] { return client.State() == wsClosed; }));
        client.Close();
        server.Close();
    }
    DrainEvents();
    EXPECT_EQ(OpenDescriptors(), before);
}
