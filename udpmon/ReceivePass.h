#pragma once

#include "monitor/ReceiveRoute.h"
#include "socket/WSocket.h"

#include <QElapsedTimer>
#include <QObject>

#include <cstdint>
#include <vector>

namespace ostrel {

struct OstrelState;
class DatagramSender;

// The receive side of the UDP monitor: the listening socket (`UDPServer1`)
// and the pass that reads what waits on it, handing each datagram to the
// receive route. The socket component calls the pass once per waiting
// datagram while the kernel says more wait; a pass that has run for its
// time budget ends by reading nothing, and goes on from a zero timer once
// the event loop has run (timers, input, painting). Needs no display.
//
// (A pass owning its loop, reading until the socket is empty as Tamrel_S's
// session does, answered a fifth fewer of 100 000 requests a second in the
// window: it hands the event loop more turns under a flood.)
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
    void DataAvailable();
    void Resume();
    void ReadOneDatagram();

    OstrelState& state_;
    monitor::ReceiveRoute& route_;
    TWSocket UDPServer1_;
    QString listenAddress_ = QStringLiteral("0.0.0.0");
    std::vector<std::uint8_t> buffer_;
    QElapsedTimer passClock_;
    bool yieldNext_ = false;
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
