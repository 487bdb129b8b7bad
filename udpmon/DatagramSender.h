#pragma once

#include "monitor/ReceiveRoute.h"
#include "socket/WSocket.h"
#include "socket/WSocketResolve.h"

#include <QElapsedTimer>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include <netinet/in.h>

namespace ostrel {

struct OstrelState;

// The address and port a received frame came from (invalid when not known):
// where an answer to the sender goes.
[[nodiscard]] WSocketAddress SourceAddressOf(const monitor::ReceivedFrame& frame);

// Tells the route's sent-frame observers of a datagram sent to `to`, by its
// address of either family (an IPv4-mapped one as the IPv4 address it is);
// one sent to no known address as the IPv4 address 0.0.0.0.
void TellSent(monitor::ReceiveRoute& route, std::span<const std::uint8_t> bytes, const WSocketAddress& to);

// The text given to the sending socket as its destination host. A host
// name is looked up at most once within the lifetime (a lookup may read
// files or ask a name server, and would otherwise delay every answer to a
// polling master); its address goes to the socket as dotted text, so the
// same datagrams reach the same place. A dotted address, and a name that
// could not be looked up, go to the socket as typed: the socket reports what
// is wrong with them (a failed name is not asked twice for one frame; it is
// asked here again once the lifetime is over).
class ClientAddress {
public:
    using Lookup = std::function<std::uint32_t(const QString& host)>; // network byte order; throws on failure

    explicit ClientAddress(Lookup lookup, qint64 lifetimeMs = 1000);

    [[nodiscard]] QString AddrFor(const QString& host);

private:
    Lookup lookup_;
    qint64 lifetimeMs_;
    QString host_;
    QString addr_;
    QElapsedTimer age_;
};

// The sending side of the UDP monitor (`UDPClient1`): every send, typed or a
// trigger's answer, goes to ClientHost:ClientPort of the state as it is at
// that moment, from a new ephemeral port (the window's rule), or from one
// socket kept open while the destination stays the same. Needs no display.
class DatagramSender final {
public:
    enum class Port {
        NewEachTime, // a socket of its own for every send, closed after it
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

    // Told of every datagram sent, with the local address it left from (the
    // any address of its family with its port) and the address it went to
    // (either family; for a packet capture and the route). Optional.
    std::function<void(const WSocketAddress& from, const WSocketAddress& to, const std::uint8_t* bytes,
                       std::size_t length)>
        OnSent;
    // The route told of every datagram sent (TellSent), for its sent-frame
    // observers. Optional.
    void TellRoute(monitor::ReceiveRoute& route) { route_ = &route; }

private:
    // A sending socket and where it sends to.
    struct Outlet {
        TWSocket socket;
        WSocketAddress to;
    };

    // Makes UDPClient1 a socket open towards addr and the state's port: the
    // one kept open or made ready for this send when it goes there, else a
    // new one.
    void Open(const QString& addr);
    [[nodiscard]] bool OpenTowards(const Outlet& outlet, const QString& addr) const;
    void Connect(Outlet& outlet, const QString& addr);
    // A new port each time: opens the socket of the next send now, after
    // this send left and while its port is still held, so that the next
    // send costs only the send itself and leaves from another port.
    void MakeNextReady(const QString& addr);
    void ReportSent(const std::uint8_t* bytes, std::size_t length);

    // Sends the response from the listening socket to the frame's source.
    void ReplyToSender(std::span<const std::uint8_t> response, const monitor::ReceivedFrame& frame);

    const OstrelState& state_;
    Port port_;
    TWSocket* replySocket_ = nullptr;
    monitor::ReceiveRoute* route_ = nullptr;
    Outlet outlets_[2];
    // UDPClient1, the socket sends go from, and (a new port each time) the
    // one made ready for the next send.
    Outlet* UDPClient1_ = &outlets_[0];
    Outlet* next_ = &outlets_[1];
    // The last destination found, for the next socket towards the same.
    QString lastAddr_;
    QString lastPort_;
    WSocketAddress lastTo_;
    ClientAddress clientAddress_{&WSocketResolveHost};
};

} // namespace ostrel
