#pragma once

#include <netinet/in.h>

#include <arpa/inet.h>

#include <cstdint>
#include <string>

namespace monitor {

// The link of a datagram's peer for the link supervision: its IPv4 address
// (a device answers from another port than the one it is sent to), and the
// name events and the summary give it ("192.168.1.10"); a key of the
// supervisor's links (analysis::LinkKey).
[[nodiscard]] inline std::uint64_t DatagramLinkKey(const sockaddr_in& peer)
{
    return ntohl(peer.sin_addr.s_addr);
}

[[nodiscard]] inline std::string DatagramLinkName(std::uint64_t key)
{
    in_addr address{};
    address.s_addr = htonl(static_cast<std::uint32_t>(key));
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof(text));
    return text;
}

} // namespace monitor
