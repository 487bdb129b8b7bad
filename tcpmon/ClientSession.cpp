#include "tcpmon/ClientSession.h"

#include <QElapsedTimer>

#include <algorithm>

#include <sys/socket.h>
#include <unistd.h>

namespace tamrel {

ClientSession::ClientSession(monitor::ReceiveRoute& route)
    : route_(route)
{
    for (TWSocket* socket : {&server_, &client_}) {
        socket->SetLingerOnOff(wsLingerOff);
        socket->SetLingerTimeout(10);
    }
    server_.SetProto(QStringLiteral("tcp"));
    server_.SetAddr(QStringLiteral("0.0.0.0"));
    // One read per readiness event, so that a client streaming without pause
    // cannot hold the event loop: the next chunk comes with the next event.
    client_.SetComponentOptions(WSocketOptionBit(wsoNoReceiveLoop));

    server_.OnSessionAvailable = [this](TCustomWSocket*, int) { SrvWSocketSessionAvailable(); };
    client_.OnDataAvailable = [this](TCustomWSocket*, int) { ReadChunks(); };
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
    client_.Send(bytes.data(), static_cast<int>(bytes.size()));
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
    batchAt_ = batchEnd_ = 0;
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
    socklen_t length = sizeof(peer_);
    peer_ = {};
    ::getpeername(handle, reinterpret_cast<sockaddr*>(&peer_), &length);
    if (ClientConnected)
        ClientConnected(peer);
}

void ClientSession::ReadChunks()
{
    QElapsedTimer pass;
    pass.start();
    const int readSize = readPassMs_ > 0 ? kBatchSize : kReadSize;
    int last = -1;
    bool drained = false;
    try {
        // What a refused chunk left of the last read goes first; the read
        // that follows is this pass's own.
        if (batchAt_ < batchEnd_)
            last = HandOnChunks();
        for (;;) {
            const int count = client_.Receive(batch_.data(), readSize);
            if (count < 0) {
                last = count;
                break;
            }
            batchAt_ = 0;
            batchEnd_ = count;
            // The end of the client's stream: one empty chunk.
            if (count == 0) {
                HandOn({});
                last = 0;
                break;
            }
            last = HandOnChunks();
            // A short read took all that waited. Reads go on only while
            // bytes wait: the end of a client's stream is read once, by the
            // pass of its close notification, so that a client leaving after
            // whole chunks gives one empty chunk, not two.
            drained = batchEnd_ < readSize;
            if (drained || last != kReadSize || client_.State() != wsConnected || pass.elapsed() >= readPassMs_)
                break;
            drained = client_.RcvdCount() == 0;
            if (drained)
                break;
        }
    } catch (...) {
        route_.PassEnded(monitor::PassEnd::MoreWaiting);
        throw;
    }
    if (client_.State() != wsConnected)
        route_.PassEnded(monitor::PassEnd::PeerGone);
    else if (last < kReadSize || drained)
        route_.PassEnded(monitor::PassEnd::PeerPaused);
    else
        route_.PassEnded(monitor::PassEnd::MoreWaiting);
}

void ClientSession::HandOn(std::span<const std::uint8_t> chunk)
{
    monitor::ReceivedFrame frame;
    frame.bytes = chunk;
    frame.source = peer_;
    frame.arrivalUs = monitor::ReceiveRoute::NowUs();
    route_.Receive(frame);
}

int ClientSession::HandOnChunks()
{
    int last = -1;
    while (batchAt_ < batchEnd_) {
        last = std::min(kReadSize, batchEnd_ - batchAt_);
        const std::span<const std::uint8_t> chunk(batch_.data() + batchAt_, static_cast<std::size_t>(last));
        batchAt_ += last;
        HandOn(chunk);
    }
    return last;
}

} // namespace tamrel
