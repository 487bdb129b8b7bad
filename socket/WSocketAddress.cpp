#include "socket/WSocketAddress.h"

#include <arpa/inet.h>
#include <net/if.h>

#include <cstring>

WSocketAddress WSocketAddress::From(const sockaddr* address, socklen_t length)
{
    WSocketAddress result;
    if (address == nullptr)
        return result;
    if ((address->sa_family == AF_INET && length >= static_cast<socklen_t>(sizeof(sockaddr_in)))
        || (address->sa_family == AF_INET6 && length >= static_cast<socklen_t>(sizeof(sockaddr_in6))))
        std::memcpy(&result.storage_, address, address->sa_family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6));
    return result;
}

WSocketAddress WSocketAddress::IPv4(std::uint32_t address, std::uint16_t port)
{
    WSocketAddress result;
    auto& in = *reinterpret_cast<sockaddr_in*>(&result.storage_);
    in.sin_family = AF_INET;
    in.sin_addr.s_addr = address;
    in.sin_port = htons(port);
    return result;
}

WSocketAddress WSocketAddress::Any(int family, std::uint16_t port)
{
    if (family != AF_INET6)
        return IPv4(htonl(INADDR_ANY), port);
    WSocketAddress result;
    auto& in6 = *reinterpret_cast<sockaddr_in6*>(&result.storage_);
    in6.sin6_family = AF_INET6;
    in6.sin6_addr = in6addr_any;
    in6.sin6_port = htons(port);
    return result;
}

std::uint16_t WSocketAddress::Port() const
{
    if (Family() == AF_INET)
        return ntohs(In4().sin_port);
    if (Family() == AF_INET6)
        return ntohs(In6().sin6_port);
    return 0;
}

void WSocketAddress::SetPort(std::uint16_t port)
{
    if (Family() == AF_INET)
        reinterpret_cast<sockaddr_in*>(&storage_)->sin_port = htons(port);
    else if (Family() == AF_INET6)
        reinterpret_cast<sockaddr_in6*>(&storage_)->sin6_port = htons(port);
}

socklen_t WSocketAddress::Length() const
{
    if (Family() == AF_INET)
        return sizeof(sockaddr_in);
    if (Family() == AF_INET6)
        return sizeof(sockaddr_in6);
    return 0;
}

bool WSocketAddress::IsIPv4Mapped() const
{
    return Family() == AF_INET6 && IN6_IS_ADDR_V4MAPPED(&In6().sin6_addr);
}

WSocketAddress WSocketAddress::Unmapped() const
{
    if (!IsIPv4Mapped())
        return *this;
    std::uint32_t address = 0;
    std::memcpy(&address, In6().sin6_addr.s6_addr + 12, sizeof(address));
    return IPv4(address, Port());
}

WSocketAddress WSocketAddress::ForFamily(int family) const
{
    if (family == AF_INET)
        return Unmapped();
    if (family != AF_INET6 || Family() != AF_INET)
        return *this;
    WSocketAddress result;
    auto& in6 = *reinterpret_cast<sockaddr_in6*>(&result.storage_);
    in6.sin6_family = AF_INET6;
    in6.sin6_port = In4().sin_port;
    in6.sin6_addr.s6_addr[10] = 0xFF;
    in6.sin6_addr.s6_addr[11] = 0xFF;
    std::memcpy(in6.sin6_addr.s6_addr + 12, &In4().sin_addr.s_addr, 4);
    return result;
}

bool WSocketAddress::IsMulticast() const
{
    const WSocketAddress plain = Unmapped();
    if (plain.Family() == AF_INET)
        return IN_MULTICAST(ntohl(plain.In4().sin_addr.s_addr));
    return plain.Family() == AF_INET6 && IN6_IS_ADDR_MULTICAST(&plain.In6().sin6_addr);
}

QString WSocketAddress::AddressText() const
{
    const WSocketAddress plain = Unmapped();
    char text[INET6_ADDRSTRLEN] = {};
    if (plain.Family() == AF_INET) {
        ::inet_ntop(AF_INET, &plain.In4().sin_addr, text, sizeof(text));
        return QString::fromLatin1(text);
    }
    if (plain.Family() != AF_INET6)
        return {};
    ::inet_ntop(AF_INET6, &plain.In6().sin6_addr, text, sizeof(text));
    QString result = QString::fromLatin1(text);
    if (plain.In6().sin6_scope_id != 0) {
        char name[IF_NAMESIZE] = {};
        result += QLatin1Char('%')
            + (::if_indextoname(plain.In6().sin6_scope_id, name) != nullptr ? QString::fromLatin1(name)
                                                                            : QString::number(plain.In6().sin6_scope_id));
    }
    return result;
}

QString WSocketAddress::Text() const
{
    const WSocketAddress plain = Unmapped();
    if (!plain.IsValid())
        return {};
    if (plain.Family() == AF_INET6)
        return QStringLiteral("[%1]:%2").arg(plain.AddressText()).arg(plain.Port());
    return QStringLiteral("%1:%2").arg(plain.AddressText()).arg(plain.Port());
}

bool operator==(const WSocketAddress& a, const WSocketAddress& b)
{
    const WSocketAddress x = a.Unmapped();
    const WSocketAddress y = b.Unmapped();
    if (x.Family() != y.Family() || x.Port() != y.Port())
        return false;
    if (x.Family() == AF_INET)
        return x.In4().sin_addr.s_addr == y.In4().sin_addr.s_addr;
    if (x.Family() == AF_INET6)
        return std::memcmp(&x.In6().sin6_addr, &y.In6().sin6_addr, sizeof(in6_addr)) == 0
            && x.In6().sin6_scope_id == y.In6().sin6_scope_id;
    return true;
}

bool SplitHostPort(const QString& text, QString& host, QString& port)
{
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0 || close + 1 >= text.size() || text[close + 1] != QLatin1Char(':'))
            return false;
        host = text.mid(1, close - 1);
        port = text.mid(close + 2);
        return true;
    }
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0 || text.indexOf(QLatin1Char(':')) != colon)
        return false; // no port, or an IPv6 address without brackets
    host = text.left(colon);
    port = text.mid(colon + 1);
    return true;
}
