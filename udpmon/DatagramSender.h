#pragma once

#include "monitor/ReceiveRoute.h"
#include "socket/WSocket.h"
#include "socket/WSocketResolve.h"
#include "udpmon/ClientAddress.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include <netinet/in.h>

namespace ostrel {

struct OstrelState;

// The sending side of the UDP monitor (`UDPClient1`): every send, typed or a
// trigger's answer, goes to ClientHost:ClientPort of the state as it is at
// that moment, from a new ephemeral port (the window's rule), or from one
// socket kept open while the destination stays the same. Needs no display.
// The address and port a received frame came from (invalid when not known):
// where an answer to the sender goes.
[[nodiscard]] WSocketAddress SourceAddressOf(const monitor::ReceivedFrame& frame);

class DatagramSender final {
public:
    enum class Port {
        NewEachTime, // a socket opened and closed for every send
        KeptOpen     // one socket for every send to the same destination
    };

    explicit DatagramSender(const OstrelState& state, Port port = Port::NewEachTime);
    DatagramSender(const DatagramSender&) = delete;
    DatagramSender& operator=(const DatagramSender&) = delete;

    // Sends the bytes, at most 1514 bytes per datagram; nothing for a length
    // of 0. Socket errors are thrown as ESocketException.
    void Send(const std::uint8_t* bytes, std::size_t length);
    // Answers a received frame: the response of the first trigger rule of
    // the state that matches it is sent (MatchTriggers); nothing when none
    // matches. With the state's ReplyToSender on and a listening socket
    // given, the response goes from that socket to the frame's source.
    void Answer(const monitor::ReceivedFrame& frame);
    // The listening socket answers to the sender leave from (null: none).
    void SetReplySocket(TWSocket* socket) { replySocket_ = socket; }

    // Told of every datagram sent, with the local address it left from (its
    // address 0.0.0.0: any) and the address it went to (for a packet
    // capture; all zero when it went to an IPv6 address). Optional.
    std::function<void(const sockaddr_in& from, const sockaddr_in& to, const std::uint8_t* bytes, std::size_t length)> OnSent;
    // Told, after OnSent, of every datagram sent to an IPv6 address, with
    // both ends (the local address :: : any). Optional.
    std::function<void(const sockaddr_in6& from, const sockaddr_in6& to, const std::uint8_t* bytes, std::size_t length)>
        OnSent6;

private:
    // Opens UDPClient1 towards the state's destination, unless it is kept
    // open towards it already.
    void Open();
    void ReportSent(const std::uint8_t* bytes, std::size_t length);

    // Sends the response from the listening socket to the frame's source.
    void ReplyToSender(std::span<const std::uint8_t> response, const monitor::ReceivedFrame& frame);

    const OstrelState& state_;
    Port port_;
    TWSocket* replySocket_ = nullptr;
    // The ends of the open socket, for OnSent (found at its first send).
    bool endsKnown_ = false;
    sockaddr_in from_{};
    sockaddr_in to_{};
    sockaddr_in6 from6_{};
    sockaddr_in6 to6_{};
    TWSocket UDPClient1_;
    ClientAddress clientAddress_{&WSocketResolveHost};
};

} // namespace ostrel
