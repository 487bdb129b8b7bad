#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <functional>

namespace ostrel {

// The text given to the sending socket as its destination host. A host
// name is looked up at most once within the lifetime (a lookup may read
// files or ask a name server, and would otherwise delay every answer to a
// polling master); its address goes to the socket as dotted text, so the
// same datagrams reach the same place. A dotted address, and a name that
// could not be looked up, go to the socket as typed: the socket reports what
// is wrong with them (a failed name is not asked twice for one frame; it is
// asked here again once the lifetime is over).
class ClientAddress {
public:
    using Lookup = std::function<std::uint32_t(const QString& host)>; // network byte order; throws on failure

    explicit ClientAddress(Lookup lookup, qint64 lifetimeMs = 1000);

    [[nodiscard]] QString AddrFor(const QString& host);

private:
    Lookup lookup_;
    qint64 lifetimeMs_;
    QString host_;
    QString addr_;
    QElapsedTimer age_;
};

} // namespace ostrel
