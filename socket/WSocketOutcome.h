#pragma once

#include <sys/types.h>

// What a system call on a socket came to, judged in one place.
enum class CallOutcome {
    // The call did its work.
    Done,
    // Nothing could be done now; readiness tells when to try again.
    WouldBlock,
    // The connection is over: the peer closed or reset it, or the handle
    // no longer carries it. Closed quietly, never reported as a failure.
    PeerGone,
    // A failure to report.
    Failed
};

// The kind of call: one error number means different things after each.
enum class SocketCall {
    // send, sendto, sendmsg.
    Send,
    // A read or peek on a stream; 0 bytes is the end of the stream.
    Receive,
    // setsockopt on a connection about to be adopted.
    AdoptOption,
    // Any other call (getpeername, setsockopt on an open socket, ...).
    Other
};

// Judges result (the call's return value, below 0 for a failure) with error,
// the socket error number of the failure (see WSocketErrors.h).
[[nodiscard]] CallOutcome ClassifyCall(SocketCall call, ssize_t result, int error);

// Judges the outcome of accept from errno itself: the losses of a
// connection before it was taken include EPROTO and ENONET, which share
// their socket error number (10022) with EINVAL, a socket that does not
// listen, which is a failure.
[[nodiscard]] CallOutcome ClassifyAccept(int result, int posixErrno);
