#pragma once

#include <QStringView>

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ostrel {

// The two places where the receive path hands a hex-mode datagram to the
// rules. Both are optional: while a hook is empty every line is shown and no
// frame is answered.
struct ReceiveHooks {
    // Whether the line whose hex text (without the time prefix) is given is
    // appended to the receive window. Asked for every hex-mode datagram while
    // the display is not paused, after the window has been emptied when full.
    std::function<bool(QStringView hexText)> ApplyDisplayFilter;

    // Every hex-mode datagram read, also while the display is paused and when
    // the filter hid its line, after the display and the capture buffer have
    // been served. A matching rule answers through SendDatagram; an exception
    // thrown here ends the handling of that datagram without a message.
    std::function<void(const std::uint8_t* data, std::size_t n)> MatchTriggers;

    // Every datagram read, empty ones (n == 0, which make no line) included,
    // in either mode, with the address it came from, before anything else is
    // done with it (a packet capture, or an answer to the sender). Should not
    // throw.
    std::function<void(const std::uint8_t* data, std::size_t n, const sockaddr_in& from)> Received;
};

} // namespace ostrel
