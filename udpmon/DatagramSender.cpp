#include "udpmon/DatagramSender.h"

#include "socket/ESocketException.h"
#include "socket/WSockbuf.h"
#include "socket/WSocketErrors.h"
#include "udpmon/OstrelState.h"
#include "monitor/Triggers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

namespace ostrel {

ClientAddress::ClientAddress(Lookup lookup, qint64 lifetimeMs)
    : lookup_(std::move(lookup))
    , lifetimeMs_(lifetimeMs)
{
}

QString ClientAddress::AddrFor(const QString& host)
{
    if (host.isEmpty() || IsDottedQuad(host))
        return host;
    if (host == host_ && age_.isValid() && age_.elapsed() < lifetimeMs_)
        return addr_;
    host_ = host;
    addr_ = host;
    age_.start();
    std::uint32_t address = 0;
    try {
        address = lookup_(host);
    } catch (const std::exception&) {
        return addr_;
    }
    in_addr value{};
    value.s_addr = address;
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &value, text, sizeof text) != nullptr)
        addr_ = QString::fromLatin1(text);
    return addr_;
}

DatagramSender::DatagramSender(const OstrelState& state, Port port)
    : state_(state)
    , port_(port)
{
}

bool DatagramSender::OpenTowards(const Outlet& outlet, const QString& addr) const
{
    const TWSocket& socket = outlet.socket;
    return socket.State() == wsConnected && socket.Addr() == addr && socket.Port() == state_.ClientPort
        && socket.MulticastHops() == state_.MulticastHops && socket.MulticastInterface() == state_.MulticastInterface;
}

void DatagramSender::Connect(Outlet& outlet, const QString& addr)
{
    TWSocket& socket = outlet.socket;
    socket.Close();
    socket.SetProto(QStringLiteral("udp"));
    socket.SetAddr(addr);
    socket.SetPort(state_.ClientPort);
    socket.SetLocalPort(QStringLiteral("0"));
    socket.SetMulticastHops(state_.MulticastHops);
    socket.SetMulticastInterface(state_.MulticastInterface);
    // A socket of its own for each send lives until the next: nothing that
    // arrives at its port is shown, so nothing of it is read, and it costs
    // the event loop nothing. A socket kept open reads and drops what comes.
    socket.SetSendOnly(port_ == Port::NewEachTime);
    socket.Connect();
    // The address the socket sends to, for OnSent and the route: looked up again only
    // when the destination changed (the socket has resolved it already, so
    // this cannot fail but for a name that changed in between).
    if (addr != lastAddr_ || state_.ClientPort != lastPort_) {
        lastAddr_ = addr;
        lastPort_ = state_.ClientPort;
        try {
            lastTo_ = WSocketResolveAddress(addr);
            lastTo_.SetPort(WSocketResolvePort(state_.ClientPort, QStringLiteral("udp")));
        } catch (const std::exception&) {
            lastTo_ = WSocketAddress();
        }
    }
    outlet.to = lastTo_;
}

void DatagramSender::Open(const QString& addr)
{
    if (port_ == Port::KeptOpen && OpenTowards(*UDPClient1_, addr))
        return;
    if (port_ == Port::NewEachTime) {
        if (OpenTowards(*next_, addr)) {
            std::swap(UDPClient1_, next_);
            return;
        }
        // Made ready for a destination that changed since.
        next_->socket.Close();
    }
    Connect(*UDPClient1_, addr);
}

void DatagramSender::MakeNextReady(const QString& addr)
{
    try {
        Connect(*next_, addr);
    } catch (const std::exception&) {
        // The next send opens its socket itself and reports what fails.
        next_->socket.Close();
    }
}

void DatagramSender::Send(const std::uint8_t* bytes, std::size_t length)
{
    if (length == 0 && port_ == Port::KeptOpen)
        return;
    const QString addr = clientAddress_.AddrFor(state_.ClientHost);
    Open(addr);
    TWSocket& socket = UDPClient1_->socket;
    try {
        // The component sends at most 1514 bytes per datagram; a Send takes
        // an int length, so a longer buffer goes in pieces.
        std::size_t offset = 0;
        while (offset < length) {
            const std::size_t piece = std::min<std::size_t>(length - offset, 1 << 20);
            socket.Send(bytes + offset, static_cast<int>(piece));
            if (OnSent || route_ != nullptr)
                ReportSent(bytes + offset, piece);
            offset += piece;
        }
    } catch (...) {
        // A socket that failed is opened anew for the next send.
        socket.Close();
        throw;
    }
    if (port_ == Port::NewEachTime) {
        MakeNextReady(addr);
        socket.Close();
    }
}

void DatagramSender::ReportSent(const std::uint8_t* bytes, std::size_t length)
{
    // The socket is bound to a port of the system's choice on the any
    // address of its family.
    const TWSocket& socket = UDPClient1_->socket;
    const WSocketAddress from = WSocketAddress::Any(socket.Family(), socket.LocalPort().toUShort());
    // The component sends a datagram socket's bytes in datagrams of at most
    // ChunkSize bytes.
    constexpr auto datagramMax = static_cast<std::size_t>(ChunkSize);
    for (std::size_t offset = 0; offset < length; offset += datagramMax) {
        const std::size_t n = std::min(length - offset, datagramMax);
        if (OnSent)
            OnSent(from, UDPClient1_->to, bytes + offset, n);
        if (route_ != nullptr)
            TellSent(*route_, {bytes + offset, n}, UDPClient1_->to);
    }
}

void TellSent(monitor::ReceiveRoute& route, std::span<const std::uint8_t> bytes, const WSocketAddress& to)
{
    const WSocketAddress peer = to.Unmapped();
    if (peer.Family() == AF_INET6)
        route.Sent(bytes, peer.In6());
    else
        route.Sent(bytes, peer.Family() == AF_INET ? peer.In4() : sockaddr_in{});
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
    if (OnSent)
        OnSent(WSocketAddress::Any(replySocket_->Family(), replySocket_->LocalPort().toUShort()), to, response.data(),
               response.size());
    if (route_ != nullptr)
        TellSent(*route_, response, to);
}

} // namespace ostrel
