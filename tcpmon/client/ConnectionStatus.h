#pragma once

#include <QDateTime>
#include <QString>

namespace tamrel {

// Why a connection to the device could not be made or was lost.
enum class FailureKind {
    None,           // no failure: not connected yet, or the user disconnected
    Refused,        // nothing listens on the port
    NoRoute,        // host or network unreachable
    TimedOut,       // no connection within the connect time-out
    NameNotFound,   // the host name does not resolve
    ResetByDevice,  // the device reset the connection
    ClosedByDevice, // the device closed the connection
    Other           // any other socket error (its number and text kept)
};

struct ConnectionFailure {
    FailureKind kind = FailureKind::None;
    int error = 0;    // the socket error number (10061, 11001, ...), 0 for none
    QString host;     // the host as the user gave it
    int port = 0;
    int timeoutMs = 0; // the connect time-out in force
};

// The kind of a failed connect (resolution included) from its socket error.
[[nodiscard]] FailureKind ConnectFailureKind(int error);
// The kind of a lost connection from the error it ended with (0: the
// device closed it).
[[nodiscard]] FailureKind LostConnectionKind(int error);

enum class ConnectionState { Disconnected, Connecting, Connected };

struct ConnectionStatus {
    ConnectionState state = ConnectionState::Disconnected;
    // What Connect was last given.
    QString host;
    int port = 0;
    // Connecting: the host name is being looked up.
    bool resolving = false;
    // Disconnected: why (kind None after the user's Disconnect or before any
    // connect).
    ConnectionFailure why;
    // Disconnected: a reconnection attempt is due in reconnectSeconds.
    bool retryPending = false;
    int reconnectSeconds = 0;
    // Connected: both ends and since when.
    QString localAddr;
    int localPort = 0;
    QString remoteAddr;
    int remotePort = 0;
    QDateTime since;
};

} // namespace tamrel
