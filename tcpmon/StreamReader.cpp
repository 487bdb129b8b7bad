#include "tcpmon/StreamReader.h"

#include <QElapsedTimer>

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace tamrel {

StreamReader::StreamReader(monitor::ReceiveRoute& route, TCustomWSocket& socket)
    : route_(route)
    , socket_(socket)
    , loop_(socket, kReadPassMs)
{
}

void StreamReader::Restart()
{
    batchAt_ = batchEnd_ = 0;
    lastReadError_ = 0;
}

void StreamReader::ReadPass()
{
    const int readSize = loop_.BudgetMs() > 0 ? kBatchSize : kReadSize;
    loop_.Begin();
    try {
        // What a refused chunk left of the last read goes first; the reads
        // that follow are this pass's own.
        if (batchAt_ < batchEnd_)
            HandOnChunks();
        while (loop_.ReadsOn(ReadOnce(readSize))) {
        }
    } catch (...) {
        route_.PassEnded(monitor::PassEnd::MoreWaiting);
        throw;
    }
    if (socket_.State() != wsConnected) {
        Ended();
        route_.PassEnded(monitor::PassEnd::PeerGone);
    }
    else
        route_.PassEnded(loop_.Ended() == ReadLoop::End::BudgetSpent ? monitor::PassEnd::MoreWaiting : monitor::PassEnd::PeerPaused);
}

ReadLoop::Read StreamReader::ReadOnce(int readSize)
{
    const int count = socket_.Receive(batch_.data(), readSize);
    if (count < 0) {
        if (socket_.LastError() != WSAEWOULDBLOCK)
            lastReadError_ = socket_.LastError();
        return ReadLoop::Read::Drained;
    }
    batchAt_ = 0;
    batchEnd_ = count;
    // The end of the peer's stream: one empty chunk.
    if (count == 0) {
        HandOn({});
        return ReadLoop::Read::Drained;
    }
    HandOnChunks();
    // A short read took all that waited. Reads go on only while bytes wait:
    // the end of a peer's stream is read once, by the pass of its close
    // notification, so that a peer leaving after whole chunks gives one
    // empty chunk, not two.
    if (count < readSize) {
        const int budgetMs = loop_.BudgetMs();
        if (budgetMs > 0 && socket_.State() == wsConnected
            && loop_.PassElapsedMs() < std::min(budgetMs, kAwaitWithinMs) && NextBytesCame())
            return ReadLoop::Read::Waiting;
        return ReadLoop::Read::Drained;
    }
    return socket_.State() == wsConnected ? ReadLoop::Read::Full : ReadLoop::Read::Stop;
}

void StreamReader::SetPeer(const WSocketAddress& peer)
{
    const WSocketAddress plain = peer.Unmapped();
    if (plain.Family() == AF_INET6) {
        Ended();
        peer6_ = plain.In6();
        peer_ = sockaddr_in{};
        open_ = true;
        route_.ConnectionChanged(true, peer_);
        return;
    }
    SetPeer(plain.Family() == AF_INET ? plain.In4() : sockaddr_in{});
}

void StreamReader::Ended()
{
    if (std::exchange(open_, false))
        route_.ConnectionChanged(false, peer_);
}

bool StreamReader::NextBytesCame() const
{
    const int handle = socket_.SocketHandle();
    if (handle < 0)
        return false;
    QElapsedTimer waited;
    waited.start();
    do {
        char probe = 0;
        const ssize_t count = ::recv(handle, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
        if (count > 0)
            return true;
        if (count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            return false;
    } while (waited.nsecsElapsed() < kAwaitNextUs * 1000LL);
    return false;
}

void StreamReader::SetPeer(const sockaddr_in& peer)
{
    Ended();
    peer6_ = sockaddr_in6{};
    peer_ = peer;
    open_ = true;
    route_.ConnectionChanged(true, peer_);
}

void StreamReader::HandOn(std::span<const std::uint8_t> chunk)
{
    monitor::ReceivedFrame frame;
    frame.bytes = chunk;
    frame.source = peer_;
    frame.source6 = peer6_;
    frame.arrivalUs = monitor::ReceiveRoute::NowUs();
    route_.Receive(frame);
}

void StreamReader::HandOnChunks()
{
    while (batchAt_ < batchEnd_) {
        const int size = std::min(kReadSize, batchEnd_ - batchAt_);
        const std::span<const std::uint8_t> chunk(batch_.data() + batchAt_, static_cast<std::size_t>(size));
        batchAt_ += size;
        HandOn(chunk);
    }
}

} // namespace tamrel
