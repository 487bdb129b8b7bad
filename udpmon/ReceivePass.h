#pragma once

#include "monitor/ReceiveLine.h"
#include "socket/WSocket.h"
#include "udpmon/ReceiveHooks.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace ostrel {

struct OstrelState;
class DatagramSender;

// Where the receive pass puts what it read; the window fills it in. A pass
// ends by ShowLines, also when it stops for its budget or an answer failed.
struct ReceiveOutlet {
    // A hex-mode line while the display is not paused: the window applies
    // its line rule (emptied when full), then shows the line unless the
    // display filter hid it.
    std::function<void(const QString& line, bool shown)> HexLine;
    // An ASCII-mode text (it may hold line breaks of its own), shown at once.
    std::function<void(const QString& text)> AsciiText;
    // The lines read so far are to be shown (the window shows them at its
    // own pace).
    std::function<void()> ShowLines;
    // Every hex-mode line, paused or filtered or not, for timed saving.
    std::function<void(const QString& line)> Capture;
};

// The receive side of the UDP monitor: the listening socket (`UDPServer1`)
// and the pass that reads what waits on it. For each datagram, in this order:
// the line is built (hex or ASCII, the time in front when shown), the window
// is served (line rule, display filter), the line is captured for timed
// saving, and a trigger that matches answers through the sender. The
// datagrams that wait are read in one pass; a pass that has run for its
// time budget hands its lines on and lets the event loop run before it goes
// on. Needs no display.
class ReceivePass final : public QObject {
public:
    ReceivePass(OstrelState& state, DatagramSender& sender, ReceiveOutlet outlet, QObject* parent = nullptr);
    ReceivePass(const ReceivePass&) = delete;
    ReceivePass& operator=(const ReceivePass&) = delete;

    // Listens on 0.0.0.0 : ServerPort with a large kernel queue; a failure
    // is thrown and leaves the socket closed.
    void Start();
    void Stop();
    [[nodiscard]] TWSocket& UDPServer1() { return UDPServer1_; }

    // The hand-offs to the display filter and the triggers (by default the
    // state's rules; tests put their own in).
    [[nodiscard]] ReceiveHooks& Hooks() { return hooks_; }

private:
    void DataAvailable();
    void Resume();
    void ReadOneDatagram();
    void ReceiveHex(const std::uint8_t* data, std::size_t n);
    void ReceiveAscii(const std::uint8_t* data, std::size_t n);

    OstrelState& state_;
    ReceiveOutlet outlet_;
    ReceiveHooks hooks_;
    TWSocket UDPServer1_;
    std::vector<std::uint8_t> buffer_;
    monitor::ReceiveTimeText time_;
    QElapsedTimer passClock_;
    bool yieldNext_ = false;
};

} // namespace ostrel
