#pragma once

#include "monitor/ReceiveRoute.h"
#include "socket/WSocket.h"

#include <QObject>

#include <cstdint>
#include <vector>

namespace ostrel {

struct OstrelState;
class DatagramSender;

// The receive side of the UDP monitor: the listening socket (`UDPServer1`)
// and the pass that reads what waits on it, handing each datagram to the
// receive route. A pass reads while datagrams wait, for at most its time
// budget, then lets the event loop run (timers, input, painting); the
// socket's readiness brings the next pass. Needs no display.
class ReceivePass final : public QObject {
public:
    ReceivePass(OstrelState& state, monitor::ReceiveRoute& route, QObject* parent = nullptr);
    ReceivePass(const ReceivePass&) = delete;
    ReceivePass& operator=(const ReceivePass&) = delete;

    // Listens on 0.0.0.0 : ServerPort with a large kernel queue; a failure
    // is thrown and leaves the socket closed.
    void Start();
    void Stop();
    [[nodiscard]] TWSocket& UDPServer1() { return UDPServer1_; }

private:
    void DataAvailable();

    OstrelState& state_;
    monitor::ReceiveRoute& route_;
    TWSocket UDPServer1_;
    std::vector<std::uint8_t> buffer_;
};

// Ostrel's rules on the receive route: the window's line rule before each
// datagram while the display runs, the hex-text display filter of the
// state's rules, the capture after the display, and the state's trigger
// rules answering through the sender.
[[nodiscard]] monitor::ReceivePolicy OstrelReceivePolicy(OstrelState& state, DatagramSender& sender);
// The receive switches of the state (pause, ASCII mode, time display).
[[nodiscard]] monitor::ReceiveSwitches OstrelReceiveSwitches(const OstrelState& state);

} // namespace ostrel
