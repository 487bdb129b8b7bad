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
{
}

void StreamReader::Restart()
{
    batchAt_ = batchEnd_ = 0;
    lastReadError_ = 0;
}

void StreamReader::ReadPass()
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
            const int count = socket_.Receive(batch_.data(), readSize);
            if (count < 0) {
                if (socket_.LastError() != WSAEWOULDBLOCK)
                    lastReadError_ = socket_.LastError();
                last = count;
                break;
            }
            batchAt_ = 0;
            batchEnd_ = count;
            // The end of the peer's stream: one empty chunk.
            if (count == 0) {
                HandOn({});
                last = 0;
                break;
            }
            last = HandOnChunks();
            // A short read took all that waited. Reads go on only while
            // bytes wait: the end of a peer's stream is read once, by the
            // pass of its close notification, so that a peer leaving after
            // whole chunks gives one empty chunk, not two.
            drained = batchEnd_ < readSize;
            if (drained && readPassMs_ > 0 && socket_.State() == wsConnected
                && pass.elapsed() < std::min(readPassMs_, kAwaitWithinMs) && NextBytesCame()) {
                drained = false;
                continue;
            }
            if (drained || last != kReadSize || socket_.State() != wsConnected || pass.elapsed() >= readPassMs_)
                break;
            drained = socket_.RcvdCount() == 0;
            if (drained)
                break;
        }
    } catch (...) {
        route_.PassEnded(monitor::PassEnd::MoreWaiting);
        throw;
    }
    if (socket_.State() != wsConnected) {
        Ended();
        route_.PassEnded(monitor::PassEnd::PeerGone);
    }
    else if (last < kReadSize || drained)
        route_.PassEnded(monitor::PassEnd::PeerPaused);
    else
        route_.PassEnded(monitor::PassEnd::MoreWaiting);
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

int StreamReader::HandOnChunks()
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
