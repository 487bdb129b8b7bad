#include "udpmon/DatagramSender.h"

#include "socket/WSockbuf.h"
#include "udpmon/OstrelState.h"
#include "monitor/Triggers.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <optional>

namespace ostrel {

DatagramSender::DatagramSender(const OstrelState& state)
    : state_(state)
{
}

void DatagramSender::Send(const std::uint8_t* bytes, std::size_t length)
{
    UDPClient1_.SetProto(QStringLiteral("udp"));
    UDPClient1_.SetAddr(clientAddress_.AddrFor(state_.ClientHost));
    UDPClient1_.SetPort(state_.ClientPort);
    UDPClient1_.SetLocalPort(QStringLiteral("0"));
    UDPClient1_.Connect();
    try {
        // The component sends at most 1514 bytes per datagram; a Send takes
        // an int length, so a longer buffer goes in pieces.
        std::size_t offset = 0;
        while (offset < length) {
            const std::size_t piece = std::min<std::size_t>(length - offset, 1 << 20);
            UDPClient1_.Send(bytes + offset, static_cast<int>(piece));
            if (OnSent)
                ReportSent(bytes + offset, piece);
            offset += piece;
        }
    } catch (...) {
        UDPClient1_.Close();
        throw;
    }
    UDPClient1_.Close();
}

void DatagramSender::ReportSent(const std::uint8_t* bytes, std::size_t length) const
{
    // The socket is bound (to a port of the system's choice on all
    // addresses) and sends to the dotted address it was given.
    sockaddr_in from{};
    socklen_t fromLength = sizeof(from);
    if (::getsockname(UDPClient1_.SocketHandle(), reinterpret_cast<sockaddr*>(&from), &fromLength) != 0)
        return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(UDPClient1_.Port().toUShort());
    if (::inet_pton(AF_INET, UDPClient1_.Addr().toLatin1().constData(), &to.sin_addr) != 1)
        return;
    // The component sends a datagram socket's bytes in datagrams of at most
    // ChunkSize bytes.
    constexpr auto datagramMax = static_cast<std::size_t>(ChunkSize);
    for (std::size_t offset = 0; offset < length; offset += datagramMax)
        OnSent(from, to, bytes + offset, std::min(length - offset, datagramMax));
}

void DatagramSender::Answer(const monitor::ReceivedFrame& frame)
{
    if (const auto response = monitor::TriggerResponse(state_.TriggerRules, frame.bytes))
        Send(response->data(), response->size());
}

} // namespace ostrel
