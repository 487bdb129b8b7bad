#include "udpmon/ClientAddress.h"

#include "socket/WSocketResolve.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <exception>
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

} // namespace ostrel
