#pragma once

#include "monitor/ReceiveRoute.h"
#include "socket/ReadLoop.h"
#include "socket/WSocket.h"

#include <QObject>

#include <cstdint>
#include <vector>

namespace ostrel {

struct OstrelState;
class DatagramSender;

// The receive side of the UDP monitor: the listening socket (`UDPServer1`)
// and the pass that reads what waits on it, handing each datagram to the
// receive route. Each readiness notification runs one pass of the socket's
// read loop (socket/ReadLoop), which reads datagram after datagram until
// none waits or the pass has run for its time budget, and comes back for
// the rest once the event loop has run (timers, input, painting). Needs no
// display.
class ReceivePass final : public QObject {
public:
    ReceivePass(OstrelState& state, monitor::ReceiveRoute& route, QObject* parent = nullptr);
    ReceivePass(const ReceivePass&) = delete;
    ReceivePass& operator=(const ReceivePass&) = delete;

    // Listens on the listening address (0.0.0.0 unless set) : ServerPort
    // with a large kernel queue and joins the state's multicast groups; a
    // failure is thrown and leaves the socket closed.
    void Start();
    // "::" listens for IPv4 and IPv6 peers where the system allows.
    void SetListenAddress(const QString& address) { listenAddress_ = address; }
    void Stop();
    [[nodiscard]] TWSocket& UDPServer1() { return UDPServer1_; }

private:
    void ReadPass();
    // Reads one datagram into the route; false when none waited.
    bool ReadOneDatagram();

    OstrelState& state_;
    monitor::ReceiveRoute& route_;
    TWSocket UDPServer1_;
    QString listenAddress_ = QStringLiteral("0.0.0.0");
    ReadLoop loop_;
    std::vector<std::uint8_t> buffer_;
};

// The address to listen on: "::" (IPv4 and IPv6 peers) where the system has
// IPv6, else, or with `ipv4Only`, "0.0.0.0".
[[nodiscard]] QString ListenAddressFor(bool ipv4Only);

// A multicast group as the user gives it, "239.1.2.3" or "ff02::1%lo": the
// group, and the interface after "%" or else `interfaceName`.
struct GroupEntry {
    QString group;
    QString interfaceName;
};
[[nodiscard]] GroupEntry SplitGroupEntry(const QString& entry, const QString& interfaceName);

// Ostrel's rules on the receive route: the window's line rule before each
// datagram while the display runs, the hex-text display filter of the
// state's rules, the capture after the display, and the state's trigger
// rules answering through the sender.
[[nodiscard]] monitor::ReceivePolicy OstrelReceivePolicy(OstrelState& state, DatagramSender& sender);
// The receive switches of the state (pause, ASCII mode, time display, its
// milliseconds, the peer's address).
[[nodiscard]] monitor::ReceiveSwitches OstrelReceiveSwitches(const OstrelState& state);

} // namespace ostrel
