#pragma once

#include "monitor/ReceiveRoute.h"
#include "socket/ReadLoop.h"
#include "socket/WSocket.h"

#include <netinet/in.h>

#include <cstdint>
#include <span>
#include <vector>

namespace tamrel {

// Reads a connected stream socket into the receive route: each readiness
// notification runs one pass of the socket's read loop (socket/ReadLoop),
// which reads while bytes come, for at most its time budget, hands them to
// the route in chunks of at most kReadSize bytes (an empty chunk: the end of
// the peer's stream) and ends with the route's PassEnded.
//
// A pass reads kBatchSize bytes at a time and asks how much waits (FIONREAD)
// only after a read that came full. An exception from the route ends the
// pass (PassEnded(MoreWaiting)) and goes on to the caller; the chunks that
// read left go first at the next pass. GUI thread only, like the socket.
class StreamReader final {
public:
    static constexpr int kReadSize = 1024;
    // One readiness event reads chunk after chunk while they come full, for
    // at most this long, then lets the event loop run.
    static constexpr int kReadPassMs = 15;
    // What one read takes at most while the pass goes on: the bytes are
    // then handed on in chunks of kReadSize, just as reads of kReadSize one
    // after the other would have taken them, for a system call per many
    // chunks instead of two per chunk.
    static constexpr int kBatchSize = 64 * kReadSize;
    // After a read that took all that waited, the pass looks for the peer's
    // next bytes for at most this long before it lets the event loop run: a
    // master that sends its next request as soon as it has the answer is
    // read in the same pass, without the event loop's round and the wake-up
    // from idle between (a few tens of microseconds each).
    static constexpr int kAwaitNextUs = 100;
    // ... and only in the first milliseconds of a pass, so that a master
    // polling without pause still lets the event loop run that often.
    static constexpr int kAwaitWithinMs = 5;

    StreamReader(monitor::ReceiveRoute& route, TCustomWSocket& socket);
    StreamReader(const StreamReader&) = delete;
    StreamReader& operator=(const StreamReader&) = delete;

    // A pass of 0 ms reads one chunk per readiness event.
    void SetReadPassMs(int readPassMs) { loop_.SetBudgetMs(readPassMs); }
    [[nodiscard]] int ReadPassMs() const { return loop_.BudgetMs(); }

    // A new connection: what the last one left unread is dropped.
    void Restart();
    // The connection is with `peer` now: the address each chunk carries as
    // its source; the route's connection observers hear of the new
    // connection (and of its end, when the stream ends).
    void SetPeer(const sockaddr_in& peer);
    // The same for a peer of either family (an IPv4-mapped one told as IPv4).
    void SetPeer(const WSocketAddress& peer);
    // The connection ended, however (the stream's end, a reset, the user's
    // close, the next peer): the route's connection observers hear of it
    // once.
    void Ended();
    // Bytes the program sent on the connection, for the route's sent-frame
    // observers.
    void Sent(std::span<const std::uint8_t> bytes) { route_.Sent(bytes, peer_); }

    // One read pass (the socket's OnDataAvailable).
    void ReadPass();

    // The socket error of the last read that failed for another reason than
    // that nothing waited (a reset: 10054); 0 when none since Restart.
    [[nodiscard]] int LastReadError() const { return lastReadError_; }

private:
    // One read of a pass of at most `readSize` bytes, its chunks handed on.
    ReadLoop::Read ReadOnce(int readSize);
    // Hands on the chunks of the last read, in order.
    void HandOnChunks();
    void HandOn(std::span<const std::uint8_t> chunk);
    // True when bytes came within kAwaitNextUs (the end of the stream is
    // left to the close notification).
    [[nodiscard]] bool NextBytesCame() const;

    monitor::ReceiveRoute& route_;
    TCustomWSocket& socket_;
    sockaddr_in peer_{};
    sockaddr_in6 peer6_{}; // an IPv6 peer (peer_ then all zero)
    ReadLoop loop_;
    bool open_ = false; // the connection's end not yet told
    int lastReadError_ = 0;
    // The last read; the bytes from batchAt_ on are not handed on yet (only
    // after the route threw: they go first at the next pass).
    std::vector<std::uint8_t> batch_ = std::vector<std::uint8_t>(kBatchSize);
    int batchAt_ = 0;
    int batchEnd_ = 0;
};

} // namespace tamrel
