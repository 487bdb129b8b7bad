#include "socket/WSocketOutcome.h"

#include "socket/WSocketErrors.h"

#include <cerrno>

CallOutcome ClassifyCall(SocketCall call, ssize_t result, int error)
{
    if (result >= 0)
        return result == 0 && call == SocketCall::Receive ? CallOutcome::PeerGone : CallOutcome::Done;
    switch (error) {
    case WSAEWOULDBLOCK:
        return CallOutcome::WouldBlock;
    case WSAECONNRESET:
    case WSAENOTCONN:
        return CallOutcome::PeerGone;
    default:
        break;
    }
    switch (call) {
    case SocketCall::Send:
        // A system short of buffers takes the bytes later; a broken pipe
        // (10053), a handle that is no socket any more and the invalid
        // argument some systems give for a reset connection all end it.
        if (error == WSAENOBUFS)
            return CallOutcome::WouldBlock;
        if (error == WSAECONNABORTED || error == WSAENOTSOCK || error == WSAEINVAL)
            return CallOutcome::PeerGone;
        return CallOutcome::Failed;
    case SocketCall::Receive:
        // An interrupted read is tried again on the next readiness; any
        // other failure to read ends the connection.
        return error == WSAEINTR ? CallOutcome::WouldBlock : CallOutcome::PeerGone;
    case SocketCall::AdoptOption:
        // Some systems refuse options on a connection the peer has reset.
        return error == WSAEINVAL ? CallOutcome::PeerGone : CallOutcome::Failed;
    case SocketCall::Other:
        break;
    }
    return CallOutcome::Failed;
}

CallOutcome ClassifyAccept(int result, int posixErrno)
{
    if (result >= 0)
        return CallOutcome::Done;
    switch (posixErrno) {
    case EAGAIN:
#if EAGAIN != EWOULDBLOCK
    case EWOULDBLOCK:
#endif
        // Nothing waits any more: taken elsewhere, or removed by a reset.
        return CallOutcome::WouldBlock;
    // The connection broke before it was taken (errors the system hands on
    // from the new connection).
    case ECONNABORTED:
    case ECONNRESET:
    case EPROTO:
    case ENETDOWN:
    case ENOPROTOOPT:
    case EHOSTDOWN:
    case ENONET:
    case EHOSTUNREACH:
    case EOPNOTSUPP:
    case ENETUNREACH:
        return CallOutcome::PeerGone;
    default:
        return CallOutcome::Failed;
    }
}
