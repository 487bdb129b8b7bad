#pragma once

#include <netinet/in.h>

#include <arpa/inet.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>

namespace monitor {

// The link of a datagram's peer for the link supervision, a key of the
// supervisor's links (analysis::LinkKey), and the name events and the
// summary give it. A peer is its address, whatever its port (a device
// answers from another port than the one it is sent to):
// - an IPv4 peer's key is its address, its name the address ("192.168.1.10");
// - an IPv6 peer's key is a hash of its 16 bytes with the top bit set, so that
//   it meets no IPv4 key, its name the address ("2001:db8::1"), kept for the
//   first kMostNames IPv6 peers (a peer after them is named by its key).
// A peer not known (all zero) is the IPv4 key 0, "0.0.0.0".
class DatagramLinks {
public:
    static constexpr std::size_t kMostNames = 65'536;
    static constexpr std::uint64_t kIpv6Bit = std::uint64_t{1} << 63;

    [[nodiscard]] std::uint64_t Key(const sockaddr_in& peer, const sockaddr_in6& peer6)
    {
        if (peer6.sin6_family != AF_INET6)
            return ntohl(peer.sin_addr.s_addr);
        if (lastKey_ != 0 && std::memcmp(&last_, &peer6.sin6_addr, sizeof last_) == 0)
            return lastKey_;
        // FNV-1a over the address's bytes.
        std::uint64_t hash = 14'695'981'039'346'656'037u;
        for (const std::uint8_t b : peer6.sin6_addr.s6_addr)
            hash = (hash ^ b) * 1'099'511'628'211u;
        const std::uint64_t key = hash | kIpv6Bit;
        if (names6_.size() < kMostNames && !names6_.contains(key)) {
            char text[INET6_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET6, &peer6.sin6_addr, text, sizeof text);
            names6_.emplace(key, text);
        }
        last_ = peer6.sin6_addr;
        lastKey_ = key;
        return key;
    }

    [[nodiscard]] std::string Name(std::uint64_t key) const
    {
        if ((key & kIpv6Bit) != 0) {
            const auto it = names6_.find(key);
            if (it != names6_.end())
                return it->second;
            char text[32];
            std::snprintf(text, sizeof text, "IPv6 %016llx", static_cast<unsigned long long>(key));
            return text;
        }
        in_addr address{};
        address.s_addr = htonl(static_cast<std::uint32_t>(key));
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &address, text, sizeof text);
        return text;
    }

private:
    std::unordered_map<std::uint64_t, std::string> names6_;
    in6_addr last_{};
    std::uint64_t lastKey_ = 0;
};

// The link of each frame a window watching the traffic hears of: a
// datagram's is its peer (DatagramLinks), a stream's its connection, counted
// from 1.
class FrameLinks {
public:
    void SetStream(bool stream) { stream_ = stream; }
    [[nodiscard]] bool Stream() const { return stream_; }
    [[nodiscard]] std::uint64_t Of(const sockaddr_in& peer, const sockaddr_in6& peer6)
    {
        return stream_ ? connection_ : datagrams_.Key(peer, peer6);
    }
    std::uint64_t NewConnection() { return ++connection_; }
    [[nodiscard]] std::uint64_t Connection() const { return connection_; }
    // A datagram link's name, the address of its peer.
    [[nodiscard]] std::string Name(std::uint64_t key) const { return datagrams_.Name(key); }

private:
    bool stream_ = false;
    std::uint64_t connection_ = 0;
    DatagramLinks datagrams_;
};

} // namespace monitor
