#include "tcpmon/ClientSession.h"

#include <sys/socket.h>
#include <unistd.h>

namespace tamrel {

ClientSession::ClientSession(monitor::ReceiveRoute& route)
    : reader_(route, client_)
{
    for (TWSocket* socket : {&server_, &client_}) {
        socket->SetLingerOnOff(wsLingerOff);
        socket->SetLingerTimeout(10);
    }
    server_.SetProto(QStringLiteral("tcp"));
    server_.SetAddr(QStringLiteral("0.0.0.0"));
    server_.OnSessionAvailable = [this](TCustomWSocket*, int) { SrvWSocketSessionAvailable(); };
    // The reader owns the client socket's read loop: a client streaming
    // without pause cannot hold the event loop.
    client_.OnDataAvailable = [this](TCustomWSocket*, int) { reader_.ReadPass(); };
    // The socket aborts itself after an error while taking a client; the
    // server then no longer listens.
    server_.OnChangeState = [this](TCustomWSocket*, TSocketState, TSocketState newState) {
        if (newState == wsClosed && listening_)
            SetListening(false);
    };
}

ClientSession::~ClientSession()
{
    // No socket event may reach the owner while the sockets are taken apart.
    for (TWSocket* socket : {&server_, &client_}) {
        socket->OnChangeState = nullptr;
        socket->OnSessionAvailable = nullptr;
        socket->OnDataAvailable = nullptr;
    }
    // The members then go client first, listening socket last.
}

void ClientSession::SetListening(bool listening)
{
    listening_ = listening;
    if (ListeningChanged)
        ListeningChanged(listening);
}

void ClientSession::Listen(const QString& addr, const QString& port)
{
    if (server_.State() == wsListening)
        return;
    if (server_.State() != wsClosed)
        server_.Abort();
    server_.SetPort(port);
    server_.SetProto(QStringLiteral("tcp"));
    server_.SetAddr(addr);
    try {
        server_.Listen();
    } catch (const ESocketException& error) {
        if (server_.State() != wsClosed)
            server_.Abort();
        SetListening(false);
        if (error.ErrorCode() == WSAEADDRINUSE) {
            if (AddressInUse)
                AddressInUse();
            return;
        }
        throw;
    }
    SetListening(true);
}

void ClientSession::Stop()
{
    reader_.Ended();
    client_.Close();
    server_.Close();
    SetListening(false);
}

void ClientSession::Shutdown()
{
    for (TWSocket* socket : {&client_, &server_}) {
        try {
            socket->Shutdown(2);
            socket->Close();
        } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): the program ends either way
        }
    }
}

void ClientSession::Send(std::span<const std::uint8_t> bytes)
{
    if (client_.Send(bytes.data(), static_cast<int>(bytes.size())) > 0)
        reader_.Sent(bytes);
}

void ClientSession::SrvWSocketSessionAvailable()
{
    // A client that is gone before it could be taken (a port scan connects
    // and resets at once) is dropped without a report: the server goes on
    // listening and a client being served keeps its connection.
    const int handle = server_.Accept();
    if (handle < 0)
        return;
    // What the client served before left unread goes with it.
    reader_.Restart();
    try {
        client_.Dup(handle);
    } catch (...) {
        // A handle the client socket did not adopt is not leaked.
        if (client_.SocketHandle() != handle)
            ::close(handle);
        throw;
    }
    if (client_.SocketHandle() != handle)
        return;
    const QString peer = client_.PeerAddr();
    if (client_.State() != wsConnected)
        return;
    sockaddr_storage address{};
    socklen_t length = sizeof(address);
    ::getpeername(handle, reinterpret_cast<sockaddr*>(&address), &length);
    reader_.SetPeer(WSocketAddress::From(reinterpret_cast<const sockaddr*>(&address), length));
    if (ClientConnected)
        ClientConnected(peer);
}

} // namespace tamrel
