#include "socket/WSocketResolve.h"

#include "socket/ESocketException.h"
#include "socket/WSocketErrors.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace {

std::string Formatted(const char* prefix, const QString& text, const char* middle, int error)
{
    return std::string(prefix) + text.toStdString() + middle + std::to_string(error);
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Value of the leading decimal digits, saturated above 0xFFFFFFFF.
uint64_t LeadingNumber(const QString& text)
{
    uint64_t number = 0;
    for (QChar c : text) {
        if (!IsDigit(c))
            break;
        number = number * 10 + static_cast<uint64_t>(c.unicode() - '0');
        if (number > 0xFFFFFFFFull)
            number = 0x100000000ull;
    }
    return number;
}

struct ProtoEntry {
    const char* name;
    int number;
};

// Used when the protocol database has no answer (no /etc/protocols).
constexpr std::array<ProtoEntry, 6> builtinProtocols{{
    {"ip", 0}, {"icmp", 1}, {"tcp", 6}, {"TCP", 6}, {"udp", 17}, {"UDP", 17},
}};

// The addresses of `name` (freed with freeaddrinfo); a lookup that fails sets
// the last error and is thrown, naming the host as typed (`text`).
addrinfo* LookUp(const QString& text, const QByteArray& name, const addrinfo& hints)
{
    addrinfo* result = nullptr;
    const int code = getaddrinfo(name.constData(), nullptr, &hints, &result);
    if (code != 0 || result == nullptr) {
        const int error = code != 0 ? WSocketErrorFromLookup(code) : WSAHOST_NOT_FOUND;
        WSocketSetLastError(error);
        throw ESocketException(Formatted("WSocketResolveHost: Cannot convert host address '", text, "', Error #", error),
                               error);
    }
    return result;
}

} // namespace

bool IsDottedQuad(const QString& text)
{
    const qsizetype length = text.size();
    qsizetype i = 0;
    while (i < length && text[i] == QLatin1Char(' '))
        ++i;
    if (i < length && text[i] == QLatin1Char('.'))
        return false;
    int dots = 0;
    uint64_t number = 0;
    for (; i < length; ++i) {
        const QChar c = text[i];
        if (IsDigit(c)) {
            number = number * 10 + static_cast<uint64_t>(c.unicode() - '0');
            if (number > 256)
                number = 256;
        } else if (c == QLatin1Char('.')) {
            ++dots;
            if (dots > 3 || number > 255 || i + 1 >= length || !IsDigit(text[i + 1]))
                return false;
            number = 0;
        } else {
            // Only trailing spaces may follow the last number.
            for (qsizetype j = i; j < length; ++j) {
                if (text[j] != QLatin1Char(' '))
                    return false;
            }
            break;
        }
    }
    return dots == 3 && number <= 255;
}

uint32_t WSocketResolveHost(const QString& text)
{
    if (text.isEmpty() || text.size() > 256)
        throw ESocketException("WSocketResolveHost: '" + text.toStdString() + "' Invalid Hostname.", 0);
    const QString trimmed = text.trimmed();
    if (IsDottedQuad(text)) {
        in_addr address{};
        const QByteArray latin = trimmed.toLatin1();
        if (inet_aton(latin.constData(), &address) != 0 && address.s_addr != INADDR_NONE)
            return address.s_addr;
        if (trimmed == QLatin1String("255.255.255.255"))
            return INADDR_NONE;
        throw ESocketException("WSocketResolveHost: '" + text.toStdString() + "' Invalid IP address.", 0);
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* result = LookUp(text, trimmed.toUtf8(), hints);
    const uint32_t address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(result);
    return address;
}

WSocketAddress WSocketResolveAddress(const QString& text)
{
    if (text.isEmpty() || text.size() > 256)
        throw ESocketException("WSocketResolveHost: '" + text.toStdString() + "' Invalid Hostname.", 0);
    if (IsDottedQuad(text))
        return WSocketAddress::IPv4(WSocketResolveHost(text), 0);
    QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
        trimmed = trimmed.mid(1, trimmed.size() - 2);
    const QByteArray name = trimmed.toUtf8();
    addrinfo hints{};
    hints.ai_socktype = SOCK_DGRAM;
    if (trimmed.contains(QLatin1Char(':'))) {
        hints.ai_family = AF_INET6;
        hints.ai_flags = AI_NUMERICHOST;
        addrinfo* result = nullptr;
        if (getaddrinfo(name.constData(), nullptr, &hints, &result) != 0 || result == nullptr)
            throw ESocketException("WSocketResolveHost: '" + text.toStdString() + "' Invalid IP address.", 0);
        const WSocketAddress address = WSocketAddress::From(result->ai_addr, result->ai_addrlen);
        freeaddrinfo(result);
        return address;
    }
    hints.ai_family = AF_UNSPEC;
    addrinfo* result = LookUp(text, name, hints);
    // IPv4 first: a name that has both reaches the place it reached before
    // IPv6 was known here.
    const addrinfo* chosen = nullptr;
    for (const addrinfo* entry = result; entry != nullptr && chosen == nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET)
            chosen = entry;
    }
    for (const addrinfo* entry = result; entry != nullptr && chosen == nullptr; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET6)
            chosen = entry;
    }
    WSocketAddress address;
    if (chosen != nullptr)
        address = WSocketAddress::From(chosen->ai_addr, chosen->ai_addrlen);
    freeaddrinfo(result);
    if (!address.IsValid()) {
        WSocketSetLastError(WSAHOST_NOT_FOUND);
        throw ESocketException(Formatted("WSocketResolveHost: Cannot convert host address '", text, "', Error #",
                                         WSAHOST_NOT_FOUND),
                               WSAHOST_NOT_FOUND);
    }
    address.SetPort(0);
    return address;
}

uint16_t WSocketResolvePort(const QString& portText, const QString& protoText)
{
    if (portText.isEmpty() || portText.size() >= 32)
        throw ESocketException("WSocketResolvePort: Invalid Port.", 0);
    if (IsDigit(portText[0])) {
        const uint64_t number = LeadingNumber(portText);
        if (number > 65535)
            throw ESocketException("WSocketResolvePort: Invalid Port.", 0);
        return static_cast<uint16_t>(number);
    }
    const QByteArray service = portText.trimmed().toUtf8();
    const QByteArray proto = protoText.trimmed().toUtf8();
    servent entry{};
    servent* found = nullptr;
    std::array<char, 1024> buffer{};
    getservbyname_r(service.constData(), proto.isEmpty() ? nullptr : proto.constData(), &entry,
                    buffer.data(), buffer.size(), &found);
    if (found == nullptr) {
        WSocketSetLastError(WSANO_DATA);
        throw ESocketException(Formatted("WSocketResolvePort: Cannot convert port '", portText, "', Error #", WSANO_DATA),
                               WSANO_DATA);
    }
    return ntohs(static_cast<uint16_t>(found->s_port));
}

int WSocketResolveProto(const QString& text)
{
    if (text.isEmpty() || text.size() >= 32)
        throw ESocketException("WSocketResolveProto: Invalid Protocol.", 0);
    const QString trimmed = text.trimmed();
    if (!trimmed.isEmpty() && IsDigit(trimmed[0]))
        return static_cast<int>(std::min<uint64_t>(LeadingNumber(trimmed), 0x7FFFFFFF));
    // The two protocols every socket names are answered without reading the
    // protocol database (their numbers are fixed for good).
    for (const ProtoEntry& builtin : builtinProtocols) {
        if ((builtin.number == IPPROTO_TCP || builtin.number == IPPROTO_UDP) && trimmed == QLatin1String(builtin.name))
            return builtin.number;
    }
    const QByteArray name = trimmed.toUtf8();
    protoent entry{};
    protoent* found = nullptr;
    std::array<char, 1024> buffer{};
    getprotobyname_r(name.constData(), &entry, buffer.data(), buffer.size(), &found);
    if (found != nullptr)
        return found->p_proto;
    for (const ProtoEntry& builtin : builtinProtocols) {
        if (std::strcmp(builtin.name, name.constData()) == 0)
            return builtin.number;
    }
    WSocketSetLastError(WSANO_DATA);
    throw ESocketException(Formatted("WSocketResolveProto: Cannot convert protocol '", text, "', Error #", WSANO_DATA),
                           WSANO_DATA);
}

bool SystemHasIPv6()
{
    const int probe = ::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    ::close(probe);
    return true;
}
