#pragma once

#include "monitor/ReceiveLine.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringView>

#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace monitor {

class TimedSave;

// Which side sent a frame: the device (what a monitor receives) or the
// monitor itself (what it sends).
enum class Direction { FromDevice, ToDevice };

// A received datagram (UDP) or chunk (TCP) and what travels with it; also a
// frame the program sent (direction ToDevice), told to the sent-frame
// observers.
struct ReceivedFrame {
    std::span<const std::uint8_t> bytes;
    sockaddr_in source{};         // the IPv4 peer it came from, or went to when sent (all zero when not known or IPv6)
    sockaddr_in6 source6{};       // the IPv6 peer it came from, or went to when sent (all zero when not known or IPv4)
    // The address a received datagram was sent to (a group, a broadcast
    // address, one of the host's own) with the port listened on, when the
    // reader asked the system for it: `destination` for IPv4, `destination6`
    // for IPv6; all zero otherwise.
    sockaddr_in destination{};
    sockaddr_in6 destination6{};
    std::int64_t arrivalUs = 0;   // when it was read or sent, in microseconds since 1970
    Direction direction = Direction::FromDevice;
};

// The peer a frame came from as a stable text and key: "1.2.3.4:5",
// "[::1]:5"; empty when not known.
[[nodiscard]] QString SourceText(const ReceivedFrame& frame);

// A connection of a TCP monitor opened (a client served, a device connected)
// or ended.
struct ConnectionChange {
    bool opened = false;
    sockaddr_in peer{};
    std::int64_t atUs = 0;
};

// How a reader's pass over what waited on its socket ended.
enum class PassEnd {
    MoreWaiting, // it spent its time budget (or an answer failed): more may wait
    PeerPaused,  // nothing more waits
    PeerGone     // the peer closed the connection
};

// Where the route puts the lines it makes: the receive window (its batched
// writer, monitor/ReceiveWindowSink) or standard output (ostrel-headless).
class LineSink {
public:
    virtual ~LineSink() = default;
    // The window's line rule: empties the window when it is full.
    virtual void EmptyIfFull() = 0;
    // A hex line to show.
    virtual void Line(const QString& line) = 0;
    // A hex line to show, made by `format` of `bytes` only when written (a
    // line the line rule empties away first is never made).
    virtual void Line(QByteArray bytes, QString (*format)(const QByteArray& bytes)) = 0;
    // An ASCII-mode text (it may hold line breaks of its own), shown at once.
    virtual void Text(const QString& text) = 0;
    // A reader's pass has ended: its lines are shown at the sink's pace.
    virtual void PassEnded(PassEnd end) = 0;
};

// What the programs do differently with a received frame.
struct ReceivePolicy {
    // Captured for timed saving first, paused or filtered out or not (TCP),
    // or after the display has been served (UDP).
    bool captureFirst = false;
    // The window's line rule after every frame, paused or not (TCP), or
    // before each frame while the display runs, also when the filter hides
    // the frame (UDP).
    bool lineRuleAfter = false;
    // The window's line made only when written (TCP, which shows no time).
    bool linesMadeLate = false;
    // A frame of no bytes makes a line (the end of a TCP stream) or is only
    // seen by the observers (an empty UDP datagram).
    bool emptyFramesMakeLines = false;
    // The display filter: whether the frame's line is shown, judged by its
    // hex text (the line without the time; UDP) or by its bytes (TCP). A
    // frame is shown when each filter set passes it.
    std::function<bool(QStringView hexText)> hexFilter;
    std::function<bool(std::span<const std::uint8_t> bytes)> byteFilter;
    // Answers the frame (trigger rules); empty: nothing answers. Called for
    // every hex-mode frame with bytes, paused or filtered out or not, after
    // its line is made and before it is laid out. An exception leaves
    // through Receive, and the reader ends its pass.
    std::function<void(const ReceivedFrame& frame)> answer;
};

// The user's switches of the receive side, read at each frame (each points
// into the program's state; a null one is off).
struct ReceiveSwitches {
    const bool* displayPaused = nullptr;
    const bool* ascii = nullptr;    // ASCII mode: the text shown, nothing captured or answered
    const bool* showTime = nullptr; // the time of arrival in front of each line
    const bool* millis = nullptr;   // the time, with its milliseconds, in front of each line
    const bool* showSource = nullptr; // the peer's address and port in front of each line (after the time)
};

// The one road of a received frame in every program: one call per datagram
// or chunk makes its line once, captures it for timed saving, asks the
// display filter, applies the window's line rule, hands the line to the
// sink and answers it, in the order the program's policy gives. Observers
// (a packet capture, the link supervision) see every frame first, empty ones
// included. The programs also tell the route of each frame they send (send
// now, the send timer, trigger answers) and of each connection opened or
// ended; only the observers of those hear of them, so that an observer of
// received frames sees what it always saw. Needs no display.
class ReceiveRoute final {
public:
    using Observer = std::function<void(const ReceivedFrame& frame)>;

    ReceiveRoute(LineSink& sink, TimedSave& capture, ReceivePolicy policy, ReceiveSwitches switches);
    ReceiveRoute(const ReceiveRoute&) = delete;
    ReceiveRoute& operator=(const ReceiveRoute&) = delete;

    void Receive(const ReceivedFrame& frame);
    // The reader's pass has ended.
    void PassEnded(PassEnd end) { sink_.PassEnded(end); }

    // The policy, for a program that sets its rules after construction (and
    // tests that put their own in).
    [[nodiscard]] ReceivePolicy& Policy() { return policy_; }
    void AddObserver(Observer observer) { observers_.push_back(std::move(observer)); }

    // A frame the program sent to `destination` (direction ToDevice, stamped
    // now), told to the sent-frame observers.
    using ConnectionObserver = std::function<void(const ConnectionChange& change)>;
    void Sent(std::span<const std::uint8_t> bytes, const sockaddr_in& destination);
    void Sent(std::span<const std::uint8_t> bytes, const sockaddr_in6& destination);
    // A connection opened or ended, told to the connection observers.
    void ConnectionChanged(bool opened, const sockaddr_in& peer);
    void AddSentObserver(Observer observer) { sentObservers_.push_back(std::move(observer)); }
    void AddConnectionObserver(ConnectionObserver observer) { connectionObservers_.push_back(std::move(observer)); }
    // A window that watches the traffic both ways (the link supervision, the
    // point table) hears of every frame received and sent (each with its
    // direction) and of each connection opened or ended, for as long as the
    // window lives: the route outlives no window, but one taken apart first
    // is let go.
    void WatchTraffic(QObject* watcher, const Observer& frames, const ConnectionObserver& connections);

    // The present time in microseconds since 1970, as readers stamp frames.
    [[nodiscard]] static std::int64_t NowUs();

private:
    void ReceiveAscii(const ReceivedFrame& frame);
    void TellSent(ReceivedFrame& frame);
    // The time in front of the frame's line; empty when not shown.
    [[nodiscard]] QString TimeOf(const ReceivedFrame& frame);

    LineSink& sink_;
    TimedSave& capture_;
    ReceivePolicy policy_;
    ReceiveSwitches switches_;
    std::vector<Observer> observers_;
    std::vector<Observer> sentObservers_;
    std::vector<ConnectionObserver> connectionObservers_;
    ReceiveTimeText time_;
};

// The hex line of a chunk's bytes ("01 03 1A "), as a lazily made line.
[[nodiscard]] QString HexLineOf(const QByteArray& bytes);

} // namespace monitor
