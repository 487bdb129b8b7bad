#pragma once

#include "socket/WSocketAddress.h"

#include <QString>

#include <cstdint>

// Name resolution of the socket component. Each function raises
// ESocketException with the message the user sees when the text cannot be
// converted; host lookups block.

// True when the text is four dot-separated decimal numbers of at most 255,
// optionally surrounded by spaces ("1.2.3.4", " 10.0.0.1 ").
[[nodiscard]] bool IsDottedQuad(const QString& text);

// IPv4 address in network byte order. "255.255.255.255" gives the broadcast
// address; any other text that is no dotted quad is looked up as a host name
// (first IPv4 address).
[[nodiscard]] uint32_t WSocketResolveHost(const QString& text);

// An IPv4 or IPv6 address (port 0): a dotted quad as WSocketResolveHost
// reads it, an IPv6 address (in brackets or not, with its zone as in
// "fe80::1%eth0"), else a host name looked up in both families: its first
// IPv4 address, or when it has none its first IPv6 address. Raises as
// WSocketResolveHost.
[[nodiscard]] WSocketAddress WSocketResolveAddress(const QString& text);

// Whether the system makes IPv6 sockets at all (a socket listening on "::"
// then serves both families).
[[nodiscard]] bool SystemHasIPv6();

// Port number in host byte order: the leading decimal digits ("1888x" gives
// 1888), else a service name for the protocol. Numbers above 65535 are
// refused as "WSocketResolvePort: Invalid Port.".
[[nodiscard]] uint16_t WSocketResolvePort(const QString& portText, const QString& protoText);

// Protocol number: leading decimal digits, else a name from the protocol
// database, with "tcp" (6) and "udp" (17) known without one.
[[nodiscard]] int WSocketResolveProto(const QString& text);
