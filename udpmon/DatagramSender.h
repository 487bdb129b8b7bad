#pragma once

#include "socket/WSocket.h"
#include "socket/WSocketResolve.h"
#include "udpmon/ClientAddress.h"

#include <cstddef>
#include <cstdint>

namespace ostrel {

struct OstrelState;

// The sending side of the UDP monitor (`UDPClient1`): every send, typed or a
// trigger's answer, goes to ClientHost:ClientPort of the state as it is at
// that moment, from a new ephemeral port. Needs no display.
class DatagramSender final {
public:
    explicit DatagramSender(const OstrelState& state);
    DatagramSender(const DatagramSender&) = delete;
    DatagramSender& operator=(const DatagramSender&) = delete;

    // Sends the bytes, at most 1514 bytes per datagram; nothing for a length
    // of 0. Socket errors are thrown as ESocketException.
    void Send(const std::uint8_t* bytes, std::size_t length);

private:
    const OstrelState& state_;
    TWSocket UDPClient1_;
    ClientAddress clientAddress_{&WSocketResolveHost};
};

} // namespace ostrel
