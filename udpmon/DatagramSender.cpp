#include "udpmon/DatagramSender.h"

#include "udpmon/OstrelState.h"

#include <algorithm>

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
            offset += piece;
        }
    } catch (...) {
        UDPClient1_.Close();
        throw;
    }
    UDPClient1_.Close();
}

} // namespace ostrel
