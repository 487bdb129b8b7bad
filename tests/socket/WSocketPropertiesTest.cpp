#include "SocketTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

struct PropertyWrite {
    const char* name;
    std::function<void(TWSocket&, const QString&)> write;
    std::function<QString(const TWSocket&)> read;
};

const std::vector<PropertyWrite>& NameProperties()
{
    static const std::vector<PropertyWrite> properties = {
        {"Addr", [](TWSocket& s, const QString& v) { s.SetAddr(v); }, [](const TWSocket& s) { return s.Addr(); }},
        {"Port", [](TWSocket& s, const QString& v) { s.SetPort(v); }, [](const TWSocket& s) { return s.Port(); }},
        {"Proto", [](TWSocket& s, const QString& v) { s.SetProto(v); }, [](const TWSocket& s) { return s.Proto(); }},
    };
    return properties;
}

} // namespace

TEST(WSocketProperties, StartClosedWithTheirDefaults)
{
    TWSocket socket;
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(socket.Proto(), QStringLiteral("tcp"));
    EXPECT_EQ(socket.LocalAddr(), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(socket.LocalPort(), QStringLiteral("0"));
    EXPECT_EQ(socket.LingerOnOff(), wsLingerOn);
    EXPECT_EQ(socket.LingerTimeout(), 0);
    EXPECT_EQ(socket.SocketHandle(), -1);
    EXPECT_EQ(socket.PeerAddr(), QStringLiteral("error"));
    EXPECT_EQ(socket.PeerPort(), QStringLiteral("error"));
}

TEST(WSocketProperties, NameTextsAreTrimmedWhileClosed)
{
    TWSocket socket;
    for (const PropertyWrite& p : NameProperties()) {
        p.write(socket, QStringLiteral("  text  "));
        EXPECT_EQ(p.read(socket), QStringLiteral("text")) << p.name;
    }
    socket.SetLocalPort(QStringLiteral(" 12 "));
    EXPECT_EQ(socket.LocalPort(), QStringLiteral(" 12 "));
}

TEST(WSocketProperties, ChangesAreRefusedUnlessClosed)
{
    PlainSocket peer = PlainSocket::UdpReceiver();
    TWSocket socket;
    socket.SetProto(QStringLiteral("udp"));
    socket.SetAddr(QStringLiteral("0.0.0.0"));
    socket.SetPort(QStringLiteral("0"));
    socket.Listen();
    ASSERT_EQ(socket.State(), wsConnected);

    for (const PropertyWrite& p : NameProperties()) {
        const QString before = p.read(socket);
        // The same text is accepted silently in any state.
        EXPECT_EQ(MessageOf([&] { p.write(socket, before); }), "(no exception)") << p.name;
        EXPECT_EQ(MessageOf([&] { p.write(socket, QStringLiteral("1889")); }),
                  std::string("Cannot change ") + p.name + " if not closed");
        EXPECT_EQ(p.read(socket), before) << p.name;
    }
    EXPECT_EQ(MessageOf([&] { socket.SetLocalPort(QStringLiteral("0")); }), "Cannot change LocalPort if not closed");
    EXPECT_EQ(MessageOf([&] { socket.SetLocalAddr(QStringLiteral("0.0.0.0")); }),
              "Cannot change LocalAddr if not closed");
    // An assigned OnError handler takes the place of the exception.
    int errors = 0;
    socket.OnError = [&](TCustomWSocket*) { ++errors; };
    socket.SetPort(QStringLiteral("1"));
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(socket.Port(), QStringLiteral("0"));
}

TEST(WSocketProperties, LocalAddrTakesDottedAddressesOnly)
{
    TWSocket socket;
    socket.SetLocalAddr(QString());
    EXPECT_EQ(socket.LocalAddr(), QStringLiteral("0.0.0.0"));
    socket.SetLocalAddr(QStringLiteral("127.1"));
    EXPECT_EQ(socket.LocalAddr(), QStringLiteral("127.0.0.1"));
    for (const char* bad : {"255.255.255.255", "localhost", "1.2.3.4.5"}) {
        EXPECT_EQ(MessageOf([&] { socket.SetLocalAddr(QString::fromLatin1(bad)); }),
                  "SetLocalAddr(): Invalid IP address")
            << bad;
        EXPECT_EQ(socket.LocalAddr(), QStringLiteral("127.0.0.1"));
    }
    EXPECT_EQ(MessageOf([&] { socket.SetSendFlags(static_cast<TSocketSendFlags>(7)); }), "Invalid SendFlags");
    socket.SetSendFlags(wsSendUrgent);
    EXPECT_EQ(socket.SendFlags(), wsSendUrgent);
}

TEST(WSocketListen, ReportsWhatIsNotAssigned)
{
    TWSocket socket;
    EXPECT_EQ(MessageOf([&] { socket.Listen(); }), "Error 10022 in function listen: port not assigned\r\nInvalid argument");
    EXPECT_EQ(socket.LastError(), 10022);
    socket.SetPort(QStringLiteral("0"));
    socket.SetProto(QString());
    EXPECT_EQ(MessageOf([&] { socket.Listen(); }),
              "Error 10022 in function listen: protocol not assigned\r\nInvalid argument");
    socket.SetProto(QStringLiteral("udp"));
    EXPECT_EQ(MessageOf([&] { socket.Listen(); }),
              "Error 10022 in function listen: address not assigned\r\nInvalid argument");
    EXPECT_EQ(socket.State(), wsClosed);
}

TEST(WSocketListen, ReportsResolutionFailuresWithPrefix)
{
    const struct {
        const char* port;
        const char* proto;
        const char* addr;
        const char* message;
        int errorCode;
    } cases[] = {
        {"67424", "udp", "0.0.0.0", "listen: WSocketResolvePort: Invalid Port.", 0},
        {"1888", "nosuchproto", "0.0.0.0", "listen: WSocketResolveProto: Cannot convert protocol 'nosuchproto', Error #11004",
         WSANO_DATA},
        {"1888", "udp", "1.2.3.09", "listen: WSocketResolveHost: '1.2.3.09' Invalid IP address.", 0},
    };
    for (const auto& c : cases) {
        TWSocket socket;
        socket.SetPort(QString::fromLatin1(c.port));
        socket.SetProto(QString::fromLatin1(c.proto));
        socket.SetAddr(QString::fromLatin1(c.addr));
        const Raised raised = RaisedBy([&] { socket.Listen(); });
        EXPECT_EQ(raised.message, c.message);
        EXPECT_EQ(raised.errorCode, c.errorCode) << c.message;
        EXPECT_EQ(socket.State(), wsClosed);
        EXPECT_EQ(socket.SocketHandle(), -1);
    }
}

TEST(WSocketListen, PortInUseLeavesTheInstanceClosed)
{
    for (const char* proto : {"udp", "tcp"}) {
        PlainSocket holder = std::string(proto) == "udp" ? PlainSocket::UdpReceiver() : PlainSocket::TcpListener();
        TWSocket socket;
        std::vector<TSocketState> states;
        socket.OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState s) { states.push_back(s); };
        Aim(socket, proto, holder.LocalPort());
        const Raised raised = RaisedBy([&] { socket.Listen(); });
        const std::string& message = raised.message;
        EXPECT_EQ(message, "Error 10048 in function Bind\r\nAddress already in use") << proto;
        EXPECT_EQ(raised.errorCode, WSAEADDRINUSE) << proto;
        EXPECT_EQ(message.substr(0, 11), "Error 10048");
        EXPECT_EQ(socket.State(), wsClosed);
        EXPECT_EQ(socket.SocketHandle(), -1);
        EXPECT_EQ(socket.LastError(), 10048);
        EXPECT_TRUE(states.empty());
    }
}

TEST(WSocketListen, StreamPortCanBeListenedOnAgainAfterItsClientsLeave)
{
    uint16_t port = 0;
    {
        TWSocket server;
        TWSocket client;
        server.OnSessionAvailable = [&](TCustomWSocket*, int) { client.Dup(server.Accept()); };
        Aim(server, "tcp", 0);
        server.Listen();
        port = LocalPortOf(server.SocketHandle());
        PlainSocket peer = PlainSocket::TcpClient(port);
        ASSERT_TRUE(SpinUntil([&] { return client.State() == wsConnected; }));
        // The server side closes first, so its end of the connection waits
        // out its close on the port.
        client.SetLingerOnOff(wsLingerOff);
        client.Close();
        server.Close();
    }
    TWSocket again;
    Aim(again, "tcp", port);
    EXPECT_EQ(MessageOf([&] { again.Listen(); }), "(no exception)");
    EXPECT_EQ(again.State(), wsListening);
}

TEST(WSocketClose, ResetsTheTextsMarksAndLinger)
{
    TWSocket socket;
    socket.SetLingerOnOff(wsLingerOff);
    socket.SetLingerTimeout(10);
    Aim(socket, "udp", 0);
    socket.Listen();
    ASSERT_EQ(socket.State(), wsConnected);
    socket.Close();
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_EQ(socket.Addr(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(socket.Proto(), QStringLiteral("tcp"));
    EXPECT_EQ(socket.LingerOnOff(), wsLingerOn);
    EXPECT_EQ(socket.LingerTimeout(), 0);
    socket.SetPort(QStringLiteral("0"));
    EXPECT_EQ(MessageOf([&] { socket.Listen(); }),
              "Error 10022 in function listen: address not assigned\r\nInvalid argument");
    // Closing a closed instance does nothing.
    EXPECT_EQ(MessageOf([&] { socket.Close(); }), "(no exception)");
}

TEST(WSocketClose, DestructionClosesWithoutEvents)
{
    int events = 0;
    int handle = -1;
    {
        auto socket = std::make_unique<TWSocket>();
        Aim(*socket, "udp", 0);
        socket->Listen();
        handle = socket->SocketHandle();
        socket->OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState) { ++events; };
        socket->OnSessionClosed = [&](TCustomWSocket*, int) { ++events; };
    }
    EXPECT_EQ(events, 0);
    EXPECT_EQ(fcntl(handle, F_GETFD), -1);
}

TEST(WSocketConnect, ChecksItsTextsInOrder)
{
    TWSocket socket;
    EXPECT_EQ(MessageOf([&] { socket.Connect(); }), "Connect: No Port Specified");
    socket.SetPort(QStringLiteral("1"));
    EXPECT_EQ(MessageOf([&] { socket.Connect(); }), "Connect: No IP Address Specified");
    socket.SetAddr(QStringLiteral("127.0.0.1"));
    socket.SetProto(QString());
    EXPECT_EQ(MessageOf([&] { socket.Connect(); }), "Connect: No Protocol Specified");
    socket.SetProto(QStringLiteral("udp"));
    socket.SetLocalPort(QStringLiteral("x"));
    EXPECT_EQ(MessageOf([&] { socket.Connect(); }),
              "connect: WSocketResolvePort: Cannot convert port 'x', Error #11004");
    socket.SetLocalPort(QStringLiteral("0"));
    socket.Connect();
    EXPECT_EQ(socket.State(), wsConnected);
    EXPECT_EQ(MessageOf([&] { socket.Connect(); }), "Connect: Socket already in use");
}

TEST(WSocketSend, OnAClosedInstanceReportsNotConnected)
{
    TWSocket socket;
    const char bytes[] = "abc";
    EXPECT_EQ(MessageOf([&] { socket.Send(bytes, 3); }), "Error 10057 in function Send\r\nSocket is not connected");
    int errors = 0;
    socket.OnError = [&](TCustomWSocket*) { ++errors; };
    EXPECT_EQ(socket.Send(bytes, 3), -1);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(socket.LastError(), 10057);
    EXPECT_EQ(socket.RcvdCount(), -1);
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(socket.LastError(), 10038);
}

TEST(WSocketAccept, OnlyOnAListeningInstance)
{
    TWSocket socket;
    EXPECT_EQ(MessageOf([&] { (void)socket.Accept(); }),
              "Error 10022 in function not a listening socket\r\nInvalid argument");
    EXPECT_EQ(MessageOf([&] { socket.Dup(-1); }), "Error 10022 in function Dup\r\nInvalid argument");
    // Without a socket, Shutdown does nothing.
    socket.Shutdown(2);
    EXPECT_EQ(socket.State(), wsClosed);
}

TEST(WSocketLifetime, AHandlerMayDestroyItsInstanceFromAnyEventAnOperationFires)
{
    // Each operation runs again and again, its k-th event destroying the
    // instance, until it fires fewer than k events. The operation must not
    // touch the instance once it is gone (AddressSanitizer tells), and the
    // socket it held or was given is closed.
    PlainSocket udpPeer = PlainSocket::UdpReceiver();
    // Connections for Dup come from a listener of their own, so that none
    // of them is one an instance reset.
    PlainSocket listener = PlainSocket::TcpListener();
    PlainSocket acceptor = PlainSocket::TcpListener();
    std::vector<PlainSocket> clients;
    int given = -1;
    const auto connection = [&] {
        clients.push_back(PlainSocket::TcpClient(acceptor.LocalPort()));
        given = ::accept4(acceptor.Handle(), nullptr, nullptr, SOCK_CLOEXEC);
        return given;
    };
    const struct {
        const char* name;
        std::function<void(TWSocket&)> prepare;
        std::function<void(TWSocket&)> act;
    } operations[] = {
        {"udp listen", [](TWSocket& s) { Aim(s, "udp", 0); }, [](TWSocket& s) { s.Listen(); }},
        {"tcp listen", [](TWSocket& s) { Aim(s, "tcp", 0); }, [](TWSocket& s) { s.Listen(); }},
        {"udp connect", [&](TWSocket& s) { Aim(s, "udp", udpPeer.LocalPort()); }, [](TWSocket& s) { s.Connect(); }},
        {"tcp connect", [&](TWSocket& s) { Aim(s, "tcp", listener.LocalPort()); }, [](TWSocket& s) { s.Connect(); }},
        {"send while closed", [](TWSocket&) {}, [](TWSocket& s) { s.Send("x", 1); }},
        {"dup over a connection", [&](TWSocket& s) { s.Dup(connection()); }, [&](TWSocket& s) { s.Dup(connection()); }},
        {"close", [&](TWSocket& s) { s.Dup(connection()); }, [](TWSocket& s) { s.Close(); }},
    };
    for (const auto& operation : operations) {
        int fired = 0;
        for (int k = 1; k <= 10; ++k) {
            auto socket = std::make_unique<TWSocket>();
            given = -1;
            operation.prepare(*socket);
            int events = 0;
            int heldHandle = -1;
            const auto event = [&] {
                if (++events == k) {
                    heldHandle = socket->SocketHandle();
                    socket.reset();
                }
            };
            socket->OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState) { event(); };
            socket->OnSessionConnected = [&](TCustomWSocket*, int) { event(); };
            socket->OnSessionClosed = [&](TCustomWSocket*, int) { event(); };
            socket->OnSendData = [&](TCustomWSocket*, int) { event(); };
            socket->OnError = [&](TCustomWSocket*) { event(); };
            operation.act(*socket);
            if (socket != nullptr) {
                fired = k - 1;
                break;
            }
            for (const int handle : {heldHandle, given}) {
                if (handle >= 0) {
                    EXPECT_EQ(fcntl(handle, F_GETFD), -1) << operation.name << ", event " << k;
                }
            }
        }
        EXPECT_GT(fired, 0) << operation.name;
    }
}
