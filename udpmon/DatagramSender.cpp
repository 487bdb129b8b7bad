#include "udpmon/DatagramSender.h"

#include "socket/ESocketException.h"
#include "socket/WSockbuf.h"
#include "socket/WSocketErrors.h"
#include "udpmon/OstrelState.h"
#include "monitor/Triggers.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <optional>

namespace ostrel {

DatagramSender::DatagramSender(const OstrelState& state, Port port)
    : state_(state)
    , port_(port)
{
}

void DatagramSender::Open()
{
    const QString addr = clientAddress_.AddrFor(state_.ClientHost);
    if (port_ == Port::KeptOpen && UDPClient1_.State() == wsConnected && UDPClient1_.Addr() == addr
        && UDPClient1_.Port() == state_.ClientPort)
        return;
    UDPClient1_.Close();
    endsKnown_ = false;
    UDPClient1_.SetProto(QStringLiteral("udp"));
    UDPClient1_.SetAddr(addr);
    UDPClient1_.SetPort(state_.ClientPort);
    UDPClient1_.SetLocalPort(QStringLiteral("0"));
    UDPClient1_.SetMulticastHops(state_.MulticastHops);
    UDPClient1_.SetMulticastInterface(state_.MulticastInterface);
    UDPClient1_.Connect();
}

void DatagramSender::Send(const std::uint8_t* bytes, std::size_t length)
{
    if (length == 0 && port_ == Port::KeptOpen)
        return;
    Open();
    try {
        // The component sends at most 1514 bytes per datagram; a Send takes
        // an int length, so a longer buffer goes in pieces.
        std::size_t offset = 0;
        while (offset < length) {
            const std::size_t piece = std::min<std::size_t>(length - offset, 1 << 20);
            UDPClient1_.Send(bytes + offset, static_cast<int>(piece));
            if (OnSent || OnSent6)
                ReportSent(bytes + offset, piece);
            offset += piece;
        }
    } catch (...) {
        // A socket that failed is opened anew for the next send.
        UDPClient1_.Close();
        throw;
    }
    if (port_ == Port::NewEachTime)
        UDPClient1_.Close();
}

void DatagramSender::ReportSent(const std::uint8_t* bytes, std::size_t length)
{
    if (!endsKnown_) {
        // The socket is bound to a port of the system's choice on all
        // addresses (the port it was given, as LocalPort tells) and sends
        // to the dotted address it was given.
        from_ = sockaddr_in{};
        from_.sin_family = AF_INET;
        from_.sin_addr.s_addr = htonl(INADDR_ANY);
        from_.sin_port = htons(UDPClient1_.LocalPort().toUShort());
        to_ = sockaddr_in{};
        to_.sin_family = AF_INET;
        to_.sin_port = htons(UDPClient1_.Port().toUShort());
        // An IPv6 destination is told to OnSent with no address, to OnSent6
        // with its own.
        to6_ = sockaddr_in6{};
        if (::inet_pton(AF_INET, UDPClient1_.Addr().toLatin1().constData(), &to_.sin_addr) != 1) {
            to_ = sockaddr_in{};
            if (::inet_pton(AF_INET6, UDPClient1_.Addr().toLatin1().constData(), &to6_.sin6_addr) == 1) {
                to6_.sin6_family = AF_INET6;
                to6_.sin6_port = htons(UDPClient1_.Port().toUShort());
                from6_ = sockaddr_in6{};
                from6_.sin6_family = AF_INET6;
                from6_.sin6_port = from_.sin_port;
            }
        }
        endsKnown_ = true;
    }
    // The component sends a datagram socket's bytes in datagrams of at most
    // ChunkSize bytes.
    constexpr auto datagramMax = static_cast<std::size_t>(ChunkSize);
    for (std::size_t offset = 0; offset < length; offset += datagramMax) {
        const std::size_t n = std::min(length - offset, datagramMax);
        if (OnSent)
            OnSent(from_, to_, bytes + offset, n);
        if (OnSent6 && to6_.sin6_family == AF_INET6)
            OnSent6(from6_, to6_, bytes + offset, n);
    }
}

WSocketAddress SourceAddressOf(const monitor::ReceivedFrame& frame)
{
    return frame.source6.sin6_family == AF_INET6
        ? WSocketAddress::From(reinterpret_cast<const sockaddr*>(&frame.source6), sizeof frame.source6)
        : WSocketAddress::From(reinterpret_cast<const sockaddr*>(&frame.source), sizeof frame.source);
}

void DatagramSender::Answer(const monitor::ReceivedFrame& frame)
{
    const auto response = monitor::TriggerResponse(state_.TriggerRules, frame.bytes);
    if (!response)
        return;
    if (state_.ReplyToSender && replySocket_ != nullptr)
        ReplyToSender(*response, frame);
    else
        Send(response->data(), response->size());
}

void DatagramSender::ReplyToSender(std::span<const std::uint8_t> response, const monitor::ReceivedFrame& frame)
{
    const WSocketAddress to = SourceAddressOf(frame);
    if (response.empty() || !to.IsValid())
        return;
    if (replySocket_->SendTo(response.data(), static_cast<int>(response.size()), to) < 0)
        throw ESocketException("answer to " + to.Text().toStdString() + " not sent: "
                                   + ErrorText(replySocket_->LastError()), replySocket_->LastError());
    if (OnSent) {
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_port = htons(replySocket_->LocalPort().toUShort());
        OnSent(from, to.Family() == AF_INET ? to.In4() : sockaddr_in{}, response.data(), response.size());
    }
}

} // namespace ostrel
