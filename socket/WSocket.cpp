#include "socket/WSocket.h"

#include "socket/WSocketOutcome.h"
#include "socket/WSocketReadiness.h"

#include <arpa/inet.h>
#include <cerrno>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// At most this many chunks go out in one send call on a stream socket.
constexpr int MaxGatheredChunks = 256;
// Sent chunks kept for reuse instead of being freed.
constexpr size_t MaxSpareChunks = 64;
// Unwanted incoming data is drained through a buffer of this size.
constexpr int DiscardSize = 1024;

constexpr unsigned ListenInterest = FD_READ | FD_WRITE | FD_ACCEPT | FD_CLOSE;
constexpr unsigned ConnectInterest = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
constexpr unsigned DupInterest = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;

// True for an accepted stream handle whose peer reset the connection before
// it was taken (a port scan connects and resets at once): it has no peer any
// more and a reset waits on it. Reading the pending error clears it; such a
// handle is closed right after.
bool PeerResetBeforeTaken(int handle)
{
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (getpeername(handle, reinterpret_cast<sockaddr*>(&peer), &length) == 0 || errno != ENOTCONN)
        return false;
    int pending = 0;
    socklen_t size = sizeof pending;
    return getsockopt(handle, SOL_SOCKET, SO_ERROR, &pending, &size) == 0 && pending != 0;
}

int PlatformSendFlags(TSocketSendFlags flags)
{
    return MSG_NOSIGNAL | (flags == wsSendUrgent ? MSG_OOB : 0);
}

} // namespace

TCustomWSocket::TCustomWSocket()
    : readiness_(new WSocketReadiness(
        [this](int handle, unsigned events, int error) { ProcessNotification(handle, events, error); }))
{
    ResetDefaults();
}

TCustomWSocket::~TCustomWSocket()
{
    guard_.MarkDestroyed();
    destroying_ = true;
    if (state_ != wsClosed) {
        try {
            InternalClose(true, 0);
        } catch (...) { // NOLINT(bugprone-empty-catch): nothing can be reported from a destructor
        }
    }
    CloseHandleQuietly();
    readiness_->Detach();
    // Destroyed from one of its own notifications: the endpoint is still on
    // the stack and goes when the event loop comes back.
    if (notificationDepth_ > 0)
        readiness_->deleteLater();
    else
        delete readiness_;
}

void TCustomWSocket::ResetDefaults()
{
    lastCount_ = WaitingCount{};
    socketAddress_ = WSocketAddress::Any(AF_INET, 0);
    proto_ = QStringLiteral("tcp");
    protoMarks_ = {true, false};
    protocolNumber_ = IPPROTO_TCP;
    socketType_ = SOCK_STREAM;
    addrMarks_ = {};
    portMarks_ = {};
    localPort_ = QStringLiteral("0");
    localPortResolved_ = false;
    localAddr_ = QStringLiteral("0.0.0.0");
    lingerOnOff_ = wsLingerOn;
    lingerTimeout_ = 0;
    handle_ = -1;
    state_ = wsClosed;
    allSent_ = true;
    readCount_ = 0;
    closeReported_ = false;
}

// ---- properties ----

void TCustomWSocket::SetNameProperty(const QString& value, QString& text, NameProperty& marks, const char* name)
{
    if (marks.assigned && value == text)
        return;
    if (state_ != wsClosed) {
        ReportError(std::string("Cannot change ") + name + " if not closed", 0);
        return;
    }
    text = value.trimmed();
    marks.assigned = !text.isEmpty();
    marks.resolved = false;
}

void TCustomWSocket::SetAddr(const QString& value)
{
    SetNameProperty(value, addr_, addrMarks_, "Addr");
}

void TCustomWSocket::SetPort(const QString& value)
{
    SetNameProperty(value, port_, portMarks_, "Port");
}

void TCustomWSocket::SetProto(const QString& value)
{
    SetNameProperty(value, proto_, protoMarks_, "Proto");
}

void TCustomWSocket::SetLocalPort(const QString& value)
{
    if (state_ != wsClosed) {
        ReportError("Cannot change LocalPort if not closed", 0);
        return;
    }
    localPort_ = value;
    localPortResolved_ = false;
}

void TCustomWSocket::SetLocalAddr(const QString& value)
{
    if (state_ != wsClosed) {
        ReportError("Cannot change LocalAddr if not closed", 0);
        return;
    }
    const QByteArray text = value.isEmpty() ? QByteArray("0.0.0.0") : value.toLatin1();
    in_addr address{};
    in6_addr address6{};
    if (inet_aton(text.constData(), &address) != 0 && address.s_addr != INADDR_NONE) {
        localAddr_ = QString::fromLatin1(inet_ntoa(address));
        return;
    }
    if (inet_pton(AF_INET6, text.constData(), &address6) == 1) {
        char normal[INET6_ADDRSTRLEN] = {};
        localAddr_ = QString::fromLatin1(inet_ntop(AF_INET6, &address6, normal, sizeof normal));
        return;
    }
    ReportError("SetLocalAddr(): Invalid IP address", 0);
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags flags)
{
    if (flags != wsSendNormal && flags != wsSendUrgent) {
        ReportError("Invalid SendFlags", 0);
        return;
    }
    sendFlags_ = flags;
}

int TCustomWSocket::RcvdCount()
{
    int waiting = 0;
    if (ioctl(handle_, FIONREAD, &waiting) != 0) {
        WSocketSetLastErrorFromErrno();
        ReportSocketError("ioctlSocket");
        return -1;
    }
    lastCount_ = {handle_, readsMade_, waiting};
    return waiting;
}

bool TCustomWSocket::PeerName(WSocketAddress& peer, const char* functionName)
{
    if (state_ != wsConnected)
        return false;
    sockaddr_storage name{};
    socklen_t length = sizeof name;
    if (getpeername(handle_, reinterpret_cast<sockaddr*>(&name), &length) == 0) {
        peer = WSocketAddress::From(reinterpret_cast<const sockaddr*>(&name), length);
        return true;
    }
    const int error = WSocketSetLastErrorFromErrno();
    // The peer has reset the connection and its close notification has not
    // come yet: the connection is closed now, as a send would find it.
    if (ClassifyCall(SocketCall::Other, -1, error) == CallOutcome::PeerGone) {
        ConnectionLost(error);
        return false;
    }
    ReportSocketError(functionName);
    return false;
}

QString TCustomWSocket::PeerAddr()
{
    WSocketAddress peer;
    return PeerName(peer, "GetPeerName") ? peer.AddressText() : QStringLiteral("error");
}

QString TCustomWSocket::PeerPort()
{
    WSocketAddress peer;
    return PeerName(peer, "GetPeerPort") ? QString::number(peer.Port()) : QStringLiteral("error");
}

// ---- errors and state ----

void TCustomWSocket::ReportError(const std::string& message, int errorCode)
{
    if (OnError && !destroying_) {
        OnError(this);
        return;
    }
    throw ESocketException(message, errorCode);
}

void TCustomWSocket::ReportSocketError(const std::string& functionName)
{
    const int error = WSocketGetLastError();
    const std::string message = "Error " + std::to_string(error) + " in function " + functionName + "\r\n"
        + ErrorText(error);
    if (ClassifyCall(SocketCall::Other, -1, error) == CallOutcome::PeerGone) {
        CloseHandleQuietly();
        const DestructionGuard::Scope instance(guard_);
        SetState(wsClosed);
        // An instance its handler destroyed reports nothing more.
        if (!instance.Alive())
            return;
    }
    lastError_ = error;
    ReportError(message, error);
}

void TCustomWSocket::SetState(TSocketState newState)
{
    const TSocketState oldState = state_;
    state_ = newState;
    if (OnChangeState && !destroying_)
        OnChangeState(this, oldState, newState);
}

// ---- opening ----

bool TCustomWSocket::Resolve(const char* prefix, bool withLocalPort)
{
    try {
        if (!protoMarks_.resolved) {
            protocolNumber_ = WSocketResolveProto(proto_);
            socketType_ = protocolNumber_ == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
            protoMarks_.resolved = true;
        }
        if (!portMarks_.resolved) {
            portNumber_ = WSocketResolvePort(port_, proto_);
            socketAddress_.SetPort(portNumber_);
            portMarks_.resolved = true;
        }
        if (withLocalPort && !localPortResolved_) {
            localPortNumber_ = WSocketResolvePort(localPort_, proto_);
            localPortResolved_ = true;
        }
        if (!addrMarks_.resolved) {
            socketAddress_ = WSocketResolveAddress(addr_);
            socketAddress_.SetPort(portNumber_);
            addrMarks_.resolved = true;
        }
    } catch (const ESocketException& e) {
        ReportError(prefix + std::string(e.what()), e.ErrorCode());
        return false;
    }
    return true;
}

int TCustomWSocket::CreateSocket(const char* prefix, bool withLocalPort, const char* functionName)
{
    if (!Resolve(prefix, withLocalPort))
        return -1;
    ClearSendQueue();
    // Non-blocking from the start: the notification endpoint needs it so.
    socketFamily_ = socketAddress_.Family();
    const int handle = socket(socketFamily_, socketType_ | SOCK_CLOEXEC | SOCK_NONBLOCK, protocolNumber_);
    if (handle < 0) {
        WSocketSetLastErrorFromErrno();
        ReportSocketError(functionName);
        return handle;
    }
    if (socketFamily_ == AF_INET6) {
        // Where the system allows it, an IPv6 socket serves IPv4 peers too
        // (as IPv4-mapped addresses); where it does not, IPv6 peers only.
        const int only = ipv6Only_ ? 1 : 0;
        (void)setsockopt(handle, IPPROTO_IPV6, IPV6_V6ONLY, &only, sizeof only);
    }
    if (receiveQueueBytes_ > 0) {
        // The system caps the size (net.core.rmem_max on Linux) and may
        // refuse it; either way the socket works with what it has, so a
        // failure is no error.
        (void)setsockopt(handle, SOL_SOCKET, SO_RCVBUF, &receiveQueueBytes_, sizeof receiveQueueBytes_);
    }
    return handle;
}

bool TCustomWSocket::SetIntOption(int option, int value, const char* functionName)
{
    if (setsockopt(handle_, SOL_SOCKET, option, &value, sizeof value) == 0)
        return true;
    WSocketSetLastErrorFromErrno();
    ReportSocketError(functionName);
    return false;
}

void TCustomWSocket::Listen()
{
    const std::pair<const NameProperty*, const char*> required[] = {
        {&portMarks_, "listen: port not assigned"},
        {&protoMarks_, "listen: protocol not assigned"},
        {&addrMarks_, "listen: address not assigned"},
    };
    for (const auto& [marks, functionName] : required) {
        if (!marks->assigned) {
            WSocketSetLastError(WSAEINVAL);
            ReportSocketError(functionName);
            return;
        }
    }
    const int handle = CreateSocket("listen: ", false, "socket");
    if (handle < 0)
        return;
    // Lets a stream port be listened on again while connections of an
    // earlier listening wait out their close; a port that another socket
    // listens on is still refused with "Address already in use".
    int reuse = 1;
    if (socketType_ == SOCK_STREAM && setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse) != 0) {
        WSocketSetLastErrorFromErrno();
        ::close(handle);
        ReportSocketError("setsockopt(SO_REUSEADDR)");
        return;
    }
    if (socketType_ == SOCK_DGRAM && receiveDestination_) {
        // IPV6_PKTINFO also tells the destination of an IPv4 datagram on a
        // dual-stack socket. A system that refuses gives no destination.
        const int on = 1;
        (void)(socketFamily_ == AF_INET6 ? setsockopt(handle, IPPROTO_IPV6, IPV6_RECVPKTINFO, &on, sizeof on)
                                         : setsockopt(handle, IPPROTO_IP, IP_PKTINFO, &on, sizeof on));
    }
    if (bind(handle, socketAddress_.Sockaddr(), socketAddress_.Length()) != 0) {
        WSocketSetLastErrorFromErrno();
        ::close(handle);
        ReportSocketError("Bind");
        return;
    }
    handle_ = handle;
    // LocalPort tells the port actually bound: the system's choice for port 0.
    sockaddr_storage bound{};
    socklen_t boundLength = sizeof bound;
    if (getsockname(handle, reinterpret_cast<sockaddr*>(&bound), &boundLength) == 0) {
        localPortNumber_ = WSocketAddress::From(reinterpret_cast<const sockaddr*>(&bound), boundLength).Port();
        localPort_ = QString::number(localPortNumber_);
        localPortResolved_ = true;
    }
    const DestructionGuard::Scope instance(guard_);
    SetState(wsBound);
    if (!instance.Alive())
        return;
    if (socketType_ == SOCK_DGRAM) {
        SetState(wsListening);
        if (instance.Alive())
            SetState(wsConnected);
        if (instance.Alive() && OnSessionConnected)
            OnSessionConnected(this, 0);
    } else {
        if (::listen(handle, 5) != 0) {
            WSocketSetLastErrorFromErrno();
            ReportSocketError("Listen");
            return;
        }
        SetState(wsListening);
    }
    if (!instance.Alive() || handle_ != handle)
        return;
    readiness_->Start(handle, ListenInterest,
                      socketType_ == SOCK_DGRAM ? WSocketReadiness::Created::Datagram
                                                : WSocketReadiness::Created::Listening,
                      WSocketReadiness::ReadWatch::Now);
}

void TCustomWSocket::Connect()
{
    if (handle_ >= 0 && state_ != wsClosed) {
        ReportError("Connect: Socket already in use", 0);
        return;
    }
    if (!portMarks_.assigned) {
        ReportError("Connect: No Port Specified", 0);
        return;
    }
    if (!addrMarks_.assigned) {
        ReportError("Connect: No IP Address Specified", 0);
        return;
    }
    if (!protoMarks_.assigned) {
        ReportError("Connect: No Protocol Specified", 0);
        return;
    }
    const int handle = CreateSocket("connect: ", true, "Connect (socket)");
    if (handle < 0)
        return;
    handle_ = handle;
    const DestructionGuard::Scope instance(guard_);
    SetState(wsOpened);
    if (!instance.Alive() || handle_ != handle)
        return;
    if (socketType_ == SOCK_DGRAM) {
        if (!BindLocal())
            return;
        if (socketAddress_.Family() == AF_INET && socketAddress_.In4().sin_addr.s_addr == INADDR_BROADCAST
            && !SetIntOption(SO_BROADCAST, 1, "setsockopt(SO_BROADCAST)"))
            return;
        if (socketAddress_.IsMulticast() && !SetMulticastOptions())
            return;
    } else {
        if ((localPortNumber_ != 0 || localAddr_ != QLatin1String("0.0.0.0")) && !BindLocal())
            return;
        ApplyLinger();
        if (!instance.Alive())
            return;
        if (!SetIntOption(SO_KEEPALIVE, -1, "setsockopt(SO_KEEPALIVE)")
            || !SetIntOption(SO_REUSEADDR, -1, "setsockopt(SO_REUSEADDR)"))
            return;
    }
    // A datagram socket is often opened to send one frame and closed again
    // at once: its read readiness is watched only if it lives on, and never
    // when it only sends.
    const bool sendsOnly = sendOnly_ && socketType_ == SOCK_DGRAM;
    readiness_->Start(handle, ConnectInterest,
                      socketType_ == SOCK_DGRAM ? WSocketReadiness::Created::Datagram
                                                : WSocketReadiness::Created::Unconnected,
                      sendsOnly ? WSocketReadiness::ReadWatch::Never : WSocketReadiness::ReadWatch::NextTurn);
    if (socketType_ == SOCK_DGRAM) {
        SetState(wsConnected);
        if (instance.Alive() && OnSessionConnected)
            OnSessionConnected(this, 0);
        return;
    }
    int result;
    do {
        result = ::connect(handle, socketAddress_.Sockaddr(), socketAddress_.Length());
    } while (result != 0 && errno == EINTR);
    if (result == 0 || errno == EINPROGRESS) {
        readiness_->ConnectStarted();
        SetState(wsConnecting);
        return;
    }
    lastError_ = WSocketSetLastErrorFromErrno();
    ReportSocketError("Connect");
}

bool TCustomWSocket::SetMulticastOptions()
{
    const bool six = socketFamily_ == AF_INET6;
    if (multicastHops_ >= 0) {
        const int hops = multicastHops_;
        const unsigned char ttl = static_cast<unsigned char>(std::min(hops, 255));
        const int result = six ? setsockopt(handle_, IPPROTO_IPV6, IPV6_MULTICAST_HOPS, &hops, sizeof hops)
                               : setsockopt(handle_, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
        if (result != 0) {
            WSocketSetLastErrorFromErrno();
            ReportSocketError("setsockopt(MULTICAST_TTL)");
            return false;
        }
    }
    if (!multicastInterface_.isEmpty()) {
        const unsigned index = if_nametoindex(multicastInterface_.toLocal8Bit().constData());
        int result = -1;
        if (index == 0) {
            errno = ENODEV;
        } else if (six) {
            const int six_index = static_cast<int>(index);
            result = setsockopt(handle_, IPPROTO_IPV6, IPV6_MULTICAST_IF, &six_index, sizeof six_index);
        } else {
            ip_mreqn request{};
            request.imr_ifindex = static_cast<int>(index);
            result = setsockopt(handle_, IPPROTO_IP, IP_MULTICAST_IF, &request, sizeof request);
        }
        if (result != 0) {
            WSocketSetLastErrorFromErrno();
            ReportSocketError("setsockopt(MULTICAST_IF)");
            return false;
        }
    }
    return true;
}

bool TCustomWSocket::JoinGroup(const QString& group, const QString& interfaceName)
{
    WSocketAddress address;
    try {
        address = WSocketResolveAddress(group).Unmapped();
    } catch (const ESocketException&) {
    }
    unsigned index = 0;
    if (!interfaceName.isEmpty())
        index = if_nametoindex(interfaceName.toLocal8Bit().constData());
    if (handle_ < 0 || socketType_ != SOCK_DGRAM || !address.IsMulticast() || (!interfaceName.isEmpty() && index == 0)
        || (address.Family() == AF_INET6 && socketFamily_ != AF_INET6)) {
        lastError_ = WSAEINVAL;
        WSocketSetLastError(WSAEINVAL);
        return false;
    }
    int result;
    if (address.Family() == AF_INET6) {
        ipv6_mreq request{};
        request.ipv6mr_multiaddr = address.In6().sin6_addr;
        request.ipv6mr_interface = index;
        result = setsockopt(handle_, IPPROTO_IPV6, IPV6_JOIN_GROUP, &request, sizeof request);
    } else {
        // An IPv4 group on a socket of either family (a dual-stack socket
        // takes IPv4 options).
        ip_mreqn request{};
        request.imr_multiaddr = address.In4().sin_addr;
        request.imr_ifindex = static_cast<int>(index);
        result = setsockopt(handle_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &request, sizeof request);
    }
    if (result != 0) {
        lastError_ = WSocketSetLastErrorFromErrno();
        return false;
    }
    return true;
}

bool TCustomWSocket::BindLocal()
{
    // The any address of the socket's family unless a local address is set.
    WSocketAddress local = localAddr_ == QLatin1String("0.0.0.0")
        ? WSocketAddress::Any(socketFamily_, localPortNumber_)
        : WSocketResolveAddress(localAddr_).ForFamily(socketFamily_);
    local.SetPort(localPortNumber_);
    if (bind(handle_, local.Sockaddr(), local.Length()) != 0) {
        lastError_ = WSocketSetLastErrorFromErrno();
        ReportError("winsock.bind failed, error #" + std::to_string(lastError_), lastError_);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (getsockname(handle_, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        lastError_ = WSocketSetLastErrorFromErrno();
        ReportError("winsock.getsockname failed, error #" + std::to_string(lastError_), lastError_);
        return false;
    }
    localPortNumber_ = WSocketAddress::From(reinterpret_cast<const sockaddr*>(&bound), length).Port();
    localPort_ = QString::number(localPortNumber_);
    return true;
}

int TCustomWSocket::SetLinger(int handle) const
{
    linger value{};
    value.l_onoff = lingerOnOff_ == wsLingerOn ? 1 : 0;
    value.l_linger = lingerTimeout_;
    return setsockopt(handle, SOL_SOCKET, SO_LINGER, &value, sizeof value) == 0 ? 0 : WSocketSetLastErrorFromErrno();
}

void TCustomWSocket::ApplyLinger()
{
    if (lingerOnOff_ == wsLingerNoSet)
        return;
    if (handle_ < 0) {
        ReportError("Cannot set linger option at this time", 0);
        return;
    }
    if (SetLinger(handle_) != 0)
        ReportSocketError("setsockopt(SO_LINGER)");
}

// ---- accepting and adopting ----

int TCustomWSocket::Accept()
{
    if (state_ != wsListening) {
        WSocketSetLastError(WSAEINVAL);
        ReportSocketError("not a listening socket");
        return -1;
    }
    socklen_t length = sizeof socketAddress_;
    int handle;
    do {
        handle = accept4(handle_, reinterpret_cast<sockaddr*>(&socketAddress_), &length, SOCK_CLOEXEC);
    } while (handle < 0 && errno == EINTR);
    const int savedErrno = errno;
    readiness_->ReadDone();
    if (handle < 0) {
        errno = savedErrno;
        lastError_ = WSocketSetLastErrorFromErrno();
        // A connection that went away before it was taken is no error.
        if (ClassifyAccept(handle, savedErrno) == CallOutcome::Failed)
            ReportSocketError("Accept");
        return -1;
    }
    return handle;
}

void TCustomWSocket::Dup(int handle)
{
    // Descriptor 0 is a valid socket on POSIX; only negative handles are none.
    if (handle < 0) {
        WSocketSetLastError(WSAEINVAL);
        ReportSocketError("Dup");
        return;
    }
    if (PeerResetBeforeTaken(handle)) {
        ::close(handle);
        lastError_ = WSAECONNRESET;
        return;
    }
    // Linger goes on before anything held is let go. Some systems refuse
    // options on a connection the peer has reset: dropped as above.
    if (lingerOnOff_ != wsLingerNoSet) {
        const int error = SetLinger(handle);
        const CallOutcome outcome = ClassifyCall(SocketCall::AdoptOption, error == 0 ? 0 : -1, error);
        if (outcome == CallOutcome::PeerGone) {
            ::close(handle);
            lastError_ = error;
            return;
        }
        if (outcome != CallOutcome::Done) {
            ReportSocketError("setsockopt(SO_LINGER)");
            return;
        }
    }
    if (state_ != wsClosed) {
        if (handle_ >= 0) {
            readiness_->Stop();
            const int result = ::close(handle_);
            const int savedErrno = errno;
            handle_ = -1;
            if (result != 0 && savedErrno != EINTR) {
                errno = savedErrno;
                WSocketSetLastErrorFromErrno();
                ReportSocketError("Dup (closesocket)");
                return;
            }
        }
        const DestructionGuard::Scope instance(guard_);
        SetState(wsClosed);
        // Destroyed by its handler: the handle would have been its own.
        if (!instance.Alive()) {
            ::close(handle);
            return;
        }
    }
    ClearSendQueue();
    lastCount_ = WaitingCount{};
    handle_ = handle;
    if (!readiness_->Start(handle, DupInterest)) {
        ReportSocketError("WSAAsyncSelect");
        return;
    }
    SetState(wsConnected);
}

// ---- closing ----

void TCustomWSocket::CloseHandleQuietly()
{
    if (handle_ < 0)
        return;
    readiness_->Stop();
    ::close(handle_);
    handle_ = -1;
    ClearSendQueue();
}

void TCustomWSocket::InternalClose(bool shutdownFirst, int error)
{
    if (handle_ < 0) {
        if (state_ != wsClosed) {
            const DestructionGuard::Scope instance(guard_);
            SetState(wsClosed);
            if (instance.Alive())
                ResetDefaults();
        }
        return;
    }
    if (state_ == wsClosed) {
        // A handle adopted by a Dup that failed half-way: never leak it.
        CloseHandleQuietly();
        return;
    }
    // A datagram socket has no sending direction to shut down.
    if (shutdownFirst && socketType_ != SOCK_DGRAM)
        ::shutdown(handle_, SHUT_WR);
    readiness_->Stop();
    const int result = ::close(handle_);
    const int savedErrno = errno;
    handle_ = -1;
    ClearSendQueue();
    // The descriptor is released even when close() is interrupted.
    if (result != 0 && savedErrno != EINTR) {
        errno = savedErrno;
        lastError_ = WSocketSetLastErrorFromErrno();
        ReportSocketError("Disconnect (closesocket)");
        return;
    }
    const DestructionGuard::Scope instance(guard_);
    SetState(wsClosed);
    if (!instance.Alive())
        return;
    if (!destroying_ && !closeReported_) {
        closeReported_ = true;
        if (OnSessionClosed) {
            OnSessionClosed(this, error);
            if (!instance.Alive())
                return;
        }
    }
    // A handler that opened a new socket keeps it and its settings.
    if (handle_ < 0)
        ResetDefaults();
}

void TCustomWSocket::Close()
{
    InternalClose(true, 0);
}

void TCustomWSocket::Shutdown(int how)
{
    if (handle_ >= 0)
        ::shutdown(handle_, how);
}

void TCustomWSocket::Abort()
{
    ClearSendQueue();
    if (state_ == wsConnected && protocolNumber_ == IPPROTO_TCP) {
        const DestructionGuard::Scope instance(guard_);
        lingerOnOff_ = wsLingerOff;
        ApplyLinger();
        if (!instance.Alive())
            return;
    }
    InternalClose(false, 0);
}

// ---- sending ----

std::unique_ptr<TBuffer> TCustomWSocket::NewChunk()
{
    if (spareChunks_.empty())
        return std::make_unique<TBuffer>(ChunkSize);
    std::unique_ptr<TBuffer> chunk = std::move(spareChunks_.back());
    spareChunks_.pop_back();
    return chunk;
}

void TCustomWSocket::RecycleFrontChunk()
{
    if (spareChunks_.size() < MaxSpareChunks)
        spareChunks_.push_back(std::move(sendQueue_.front()));
    sendQueue_.pop_front();
}

void TCustomWSocket::ClearSendQueue()
{
    decltype(sendQueue_)().swap(sendQueue_);
    decltype(spareChunks_)().swap(spareChunks_);
    queuedBytes_ = 0;
}

size_t TCustomWSocket::HeldChunks() const
{
    return sendQueue_.size() + spareChunks_.size();
}

void TCustomWSocket::QueueData(const char* data, int len)
{
    queuedBytes_ += len;
    if (sendQueue_.empty())
        sendQueue_.push_back(NewChunk());
    int copied = sendQueue_.back()->Append(data, len);
    while (copied < len) {
        sendQueue_.push_back(NewChunk());
        copied += sendQueue_.back()->Append(data + copied, len - copied);
    }
}

int TCustomWSocket::Send(const void* data, int len)
{
    if (state_ != wsConnected) {
        WSocketSetLastError(WSAENOTCONN);
        ReportSocketError("Send");
        return -1;
    }
    if (len > 0 && queuedBytes_ + len > MaxQueuedBytes) {
        // Nothing of a frame that does not fit whole is sent or queued.
        WSocketSetLastError(WSAENOBUFS);
        ReportSocketError("Send");
        return -1;
    }
    allSent_ = false;
    const DestructionGuard::Scope instance(guard_);
    const char* bytes = static_cast<const char*>(data);
    if (len > 0 && socketType_ == SOCK_STREAM && !sending_ && QueueIsEmpty()) {
        // Nothing waits: send straight from the caller's bytes and queue
        // only what the socket does not take, before any handler runs.
        const int sent = SendDirect(bytes, len);
        if (sent < 0)
            return len;
        if (sent < len) {
            QueueData(bytes + sent, len - sent);
            readiness_->WriteBlocked();
        } else {
            allSent_ = true;
            readiness_->Post(FD_WRITE, 0);
        }
        if (sent > 0 && OnSendData)
            OnSendData(this, sent);
        return len;
    }
    if (len > 0)
        QueueData(bytes, len);
    TryToSend();
    if (instance.Alive() && allSent_ && !(sendOnly_ && socketType_ == SOCK_DGRAM))
        readiness_->Post(FD_WRITE, 0);
    return std::max(len, 0);
}

int TCustomWSocket::Send(const QByteArray& data)
{
    return Send(data.constData(), static_cast<int>(data.size()));
}

void TCustomWSocket::ConsumeSent(int64_t count)
{
    queuedBytes_ -= count;
    while (count > 0) {
        TBuffer& front = *sendQueue_.front();
        count -= front.Consume(static_cast<int>(std::min<int64_t>(count, front.Unread())));
        if (front.Unread() != 0 || sendQueue_.size() == 1)
            break;
        RecycleFrontChunk();
    }
}

// One send call: a datagram socket sends the unread part of the first chunk
// as one datagram; a stream socket gathers the unread parts of the first
// chunks. offered is the number of bytes handed to the call.
ssize_t TCustomWSocket::SendQueued(int handle, int64_t& offered)
{
    const int flags = PlatformSendFlags(sendFlags_);
    if (socketType_ == SOCK_DGRAM) {
        int len = 0;
        const char* bytes = sendQueue_.front()->Front(len);
        offered = len;
        return sendto(handle, bytes, static_cast<size_t>(len), flags, socketAddress_.Sockaddr(),
                      socketAddress_.Length());
    }
    std::array<iovec, MaxGatheredChunks> parts{};
    size_t count = 0;
    offered = 0;
    for (const std::unique_ptr<TBuffer>& chunk : sendQueue_) {
        if (count == parts.size())
            break;
        int len = 0;
        const char* bytes = chunk->Front(len);
        if (len == 0)
            continue;
        parts[count++] = {const_cast<char*>(bytes), static_cast<size_t>(len)};
        offered += len;
    }
    msghdr message{};
    message.msg_iov = parts.data();
    message.msg_iovlen = count;
    return sendmsg(handle, &message, flags);
}

bool TCustomWSocket::QueueIsEmpty() const
{
    return sendQueue_.empty() || (sendQueue_.size() == 1 && sendQueue_.front()->Unread() == 0);
}

void TCustomWSocket::ConnectionLost(int error)
{
    const DestructionGuard::Scope instance(guard_);
    closeReported_ = true;
    Close();
    if (instance.Alive() && OnSessionClosed)
        OnSessionClosed(this, error);
}

void TCustomWSocket::SendFailed(int error)
{
    const CallOutcome outcome = ClassifyCall(SocketCall::Send, -1, error);
    if (outcome == CallOutcome::PeerGone) {
        ConnectionLost(error);
    } else if (outcome == CallOutcome::WouldBlock) {
        readiness_->WriteBlocked();
    } else {
        ReportSocketError("TryToSend failed");
    }
}

int TCustomWSocket::SendDirect(const char* data, int len)
{
    ssize_t count;
    do {
        count = ::send(handle_, data, static_cast<size_t>(len), PlatformSendFlags(sendFlags_));
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        const int error = WSocketSetLastErrorFromErrno();
        if (ClassifyCall(SocketCall::Send, count, error) == CallOutcome::WouldBlock)
            return 0;
        SendFailed(error);
        return -1;
    }
    return static_cast<int>(count);
}

void TCustomWSocket::TryToSend()
{
    if (handle_ < 0 || sending_)
        return;
    if (sendQueue_.empty()) {
        allSent_ = true;
        return;
    }
    const int handle = handle_;
    const DestructionGuard::Scope instance(guard_);
    sending_ = true;
    for (;;) {
        if (sendQueue_.front()->Unread() == 0) {
            if (sendQueue_.size() > 1) {
                RecycleFrontChunk();
                continue;
            }
            allSent_ = true;
            break;
        }
        int64_t offered = 0;
        const ssize_t count = SendQueued(handle, offered);
        if (count < 0 && errno == EINTR)
            continue;
        if (count == 0)
            break;
        if (count < 0) {
            sending_ = false;
            SendFailed(WSocketSetLastErrorFromErrno());
            return;
        }
        ConsumeSent(count);
        if (OnSendData) {
            sending_ = false;
            OnSendData(this, static_cast<int>(count));
            if (!instance.Alive() || handle_ != handle)
                return;
            sending_ = true;
        }
        if (count < offered) {
            // The socket took part of it: go on when it can send again.
            readiness_->WriteBlocked();
            break;
        }
    }
    sending_ = false;
}

// ---- receiving ----

void TCustomWSocket::ReadMade()
{
    ++readsMade_;
    readiness_->ReadDone();
}

int TCustomWSocket::Receive(void* buffer, int size)
{
    ssize_t count;
    do {
        count = recv(handle_, buffer, static_cast<size_t>(std::max(size, 0)), 0);
    } while (count < 0 && errno == EINTR);
    return ReadFinished(count);
}

int TCustomWSocket::ReadFinished(ssize_t count)
{
    const int savedErrno = errno;
    ReadMade();
    if (count < 0) {
        errno = savedErrno;
        lastError_ = WSocketSetLastErrorFromErrno();
        return -1;
    }
    readCount_ += count;
    return static_cast<int>(count);
}

int TCustomWSocket::ReceiveFrom(void* buffer, int size, sockaddr_in& from, int& fromLen)
{
    socklen_t length = static_cast<socklen_t>(std::max(fromLen, 0));
    ssize_t count;
    do {
        count = recvfrom(handle_, buffer, static_cast<size_t>(std::max(size, 0)), 0,
                         reinterpret_cast<sockaddr*>(&from), &length);
    } while (count < 0 && errno == EINTR);
    const int result = ReadFinished(count);
    if (result >= 0)
        fromLen = static_cast<int>(length);
    return result;
}

int TCustomWSocket::ReceiveFrom(void* buffer, int size, WSocketAddress& from)
{
    sockaddr_storage name{};
    socklen_t length = sizeof name;
    ssize_t count;
    do {
        count = recvfrom(handle_, buffer, static_cast<size_t>(std::max(size, 0)), 0,
                         reinterpret_cast<sockaddr*>(&name), &length);
    } while (count < 0 && errno == EINTR);
    const int result = ReadFinished(count);
    from = result >= 0 ? WSocketAddress::From(reinterpret_cast<const sockaddr*>(&name), length) : WSocketAddress();
    return result;
}

int TCustomWSocket::ReceiveFrom(void* buffer, int size, WSocketAddress& from, WSocketAddress& to)
{
    sockaddr_storage name{};
    // Room for either packet information, aligned as the system's macros need.
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in6_pktinfo)) + CMSG_SPACE(sizeof(in_pktinfo))];
    iovec part{buffer, static_cast<size_t>(std::max(size, 0))};
    msghdr message{};
    ssize_t count;
    do {
        message.msg_name = &name;
        message.msg_namelen = sizeof name;
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        message.msg_flags = 0;
        count = recvmsg(handle_, &message, 0);
    } while (count < 0 && errno == EINTR);
    const int result = ReadFinished(count);
    from = result >= 0 ? WSocketAddress::From(reinterpret_cast<const sockaddr*>(&name), message.msg_namelen)
                       : WSocketAddress();
    to = WSocketAddress();
    if (result < 0)
        return result;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IPV6 && c->cmsg_type == IPV6_PKTINFO
            && c->cmsg_len >= CMSG_LEN(sizeof(in6_pktinfo))) {
            in6_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            sockaddr_in6 address{};
            address.sin6_family = AF_INET6;
            address.sin6_addr = info.ipi6_addr;
            to = WSocketAddress::From(reinterpret_cast<const sockaddr*>(&address), sizeof address);
        } else if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO
                   && c->cmsg_len >= CMSG_LEN(sizeof(in_pktinfo))) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            // The destination in the datagram's header, not the local
            // address an answer would leave from.
            to = WSocketAddress::IPv4(info.ipi_addr.s_addr, 0);
        }
    }
    if (to.IsValid())
        to.SetPort(localPortNumber_);
    return result;
}

int TCustomWSocket::SendTo(const void* data, int len, const sockaddr_in& to)
{
    return SendTo(data, len, WSocketAddress::From(reinterpret_cast<const sockaddr*>(&to), sizeof to));
}

int TCustomWSocket::SendTo(const void* data, int len, const WSocketAddress& to)
{
    const WSocketAddress peer = to.ForFamily(socketFamily_);
    ssize_t count;
    do {
        count = sendto(handle_, data, static_cast<size_t>(std::max(len, 0)), 0, peer.Sockaddr(), peer.Length());
    } while (count < 0 && errno == EINTR);
    if (count < 0) {
        lastError_ = WSocketSetLastErrorFromErrno();
        return -1;
    }
    return static_cast<int>(count);
}

// ---- notifications ----

void TCustomWSocket::ReceivePass(int error)
{
    const int handle = handle_;
    const DestructionGuard::Scope instance(guard_);
    for (;;) {
        lastError_ = 0;
        const int readsBefore = readsMade_;
        try {
            if (OnDataAvailable) {
                OnDataAvailable(this, error);
            } else {
                std::array<char, DiscardSize> discard{};
                const int count = Receive(discard.data(), DiscardSize);
                if (ClassifyCall(SocketCall::Receive, count, lastError_) == CallOutcome::WouldBlock)
                    lastError_ = 0;
            }
        } catch (...) {
            // An exception escaping the handler ends the pass unreported.
            return;
        }
        if (!instance.Alive() || handle_ != handle)
            return;
        if ((options_ & WSocketOptionBit(wsoNoReceiveLoop)) != 0 || lastError_ != 0)
            return;
        // A handler that did not read would be called for ever: the next
        // read notification comes after its next read.
        if (readsMade_ == readsBefore)
            return;
        // A handler that asked how much waits after its last read has the
        // answer already: data arriving since is signalled anew.
        int waiting = 0;
        if (lastCount_.handle == handle && lastCount_.reads == readsMade_) {
            waiting = lastCount_.waiting;
        } else if (ioctl(handle, FIONREAD, &waiting) != 0) {
            lastError_ = WSocketSetLastErrorFromErrno();
            return;
        }
        if (waiting == 0)
            return;
    }
}

void TCustomWSocket::ProcessNotification(int handle, unsigned events, int error)
{
    if (handle != handle_)
        return;
    const DestructionGuard::Scope instance(guard_);
    ++notificationDepth_;
    try {
        if ((events & FD_CONNECT) != 0) {
            SetState(wsConnected);
            if (instance.Alive() && OnSessionConnected)
                OnSessionConnected(this, error);
            if (instance.Alive() && error != 0 && state_ != wsClosed)
                Close();
        }
        if (instance.Alive() && (events & FD_READ) != 0)
            ReceivePass(error);
        if (instance.Alive() && (events & FD_WRITE) != 0) {
            TryToSend();
            if (instance.Alive() && allSent_ && OnDataSent)
                OnDataSent(this, error);
        }
        if (instance.Alive() && (events & FD_ACCEPT) != 0 && OnSessionAvailable)
            OnSessionAvailable(this, error);
        if (instance.Alive() && (events & FD_CLOSE) != 0 && state_ != wsConnecting) {
            ReceivePass(0);
            if (instance.Alive() && !closeReported_) {
                closeReported_ = true;
                if (OnSessionClosed)
                    OnSessionClosed(this, error);
            }
            if (instance.Alive() && state_ != wsClosed)
                Close();
        }
    } catch (const std::exception& e) {
        if (instance.Alive())
            HandleBgException(e);
    } catch (...) {
        if (instance.Alive())
            HandleBgException(std::runtime_error("Unknown exception"));
    }
    if (instance.Alive())
        --notificationDepth_;
}

void TCustomWSocket::HandleBgException(const std::exception& e)
{
    const DestructionGuard::Scope instance(guard_);
    bool canClose = true;
    if (OnBgException) {
        try {
            OnBgException(this, e, canClose);
        } catch (...) { // NOLINT(bugprone-empty-catch): a failing handler changes nothing
        }
    }
    if (instance.Alive() && canClose) {
        try {
            Abort();
        } catch (...) { // NOLINT(bugprone-empty-catch): the instance is closed as far as it goes
        }
    }
}
