#pragma once

#include <QString>

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>

// An IPv4 or IPv6 address with its port, as the system's calls take and
// give it. An IPv6 socket listening for both families gives IPv4 peers as
// IPv4-mapped IPv6 addresses ("::ffff:1.2.3.4"); Unmapped and the texts show
// them as the IPv4 addresses they are.
class WSocketAddress {
public:
    WSocketAddress() = default; // no address (family AF_UNSPEC)
    // The first `length` bytes of a socket address of either family;
    // anything else gives no address.
    static WSocketAddress From(const sockaddr* address, socklen_t length);
    // An IPv4 address and port, the address in network byte order.
    static WSocketAddress IPv4(std::uint32_t address, std::uint16_t port);
    // The any address of the family (0.0.0.0 or ::) with the port.
    static WSocketAddress Any(int family, std::uint16_t port);

    [[nodiscard]] int Family() const { return storage_.ss_family; }
    [[nodiscard]] bool IsValid() const { return Family() == AF_INET || Family() == AF_INET6; }
    // Port in host byte order.
    [[nodiscard]] std::uint16_t Port() const;
    void SetPort(std::uint16_t port);
    [[nodiscard]] const sockaddr* Sockaddr() const { return reinterpret_cast<const sockaddr*>(&storage_); }
    [[nodiscard]] sockaddr* Sockaddr() { return reinterpret_cast<sockaddr*>(&storage_); }
    // The length the system's calls take for the family.
    [[nodiscard]] socklen_t Length() const;
    [[nodiscard]] const sockaddr_in& In4() const { return *reinterpret_cast<const sockaddr_in*>(&storage_); }
    [[nodiscard]] const sockaddr_in6& In6() const { return *reinterpret_cast<const sockaddr_in6*>(&storage_); }
    [[nodiscard]] bool IsIPv4Mapped() const;
    // An IPv4-mapped IPv6 address as IPv4; any other address as it is.
    [[nodiscard]] WSocketAddress Unmapped() const;
    // The same address as the family `family` takes it: IPv4 as IPv4-mapped
    // IPv6 for an IPv6 socket, a mapped one as IPv4 for an IPv4 socket.
    [[nodiscard]] WSocketAddress ForFamily(int family) const;
    [[nodiscard]] bool IsMulticast() const;
    // "1.2.3.4" or "::1" (a mapped address as IPv4, a scope as "%lo");
    // empty for no address.
    [[nodiscard]] QString AddressText() const;
    // "1.2.3.4:5" or "[::1]:5": a stable text and key of the address.
    [[nodiscard]] QString Text() const;

    friend bool operator==(const WSocketAddress& a, const WSocketAddress& b);

private:
    sockaddr_storage storage_{};
};

// Splits "host:port", "[v6 address]:port" and "v6 address" texts: the port
// after the last colon of a text whose host is in brackets or holds no
// other colon. False when there is no port part; the brackets are not part
// of the host.
[[nodiscard]] bool SplitHostPort(const QString& text, QString& host, QString& port);
