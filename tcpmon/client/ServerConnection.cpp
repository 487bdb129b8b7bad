#include "tcpmon/client/ServerConnection.h"

#include "socket/WSocket.h"
#include "socket/WSocketResolve.h"
#include "tcpmon/StreamReader.h"
#include "tcpmon/client/ConnectionTexts.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace tamrel {

namespace {

// Socket error numbers the component's table knows by text only.
constexpr int kNetDown = 10050;
constexpr int kNetUnreachable = 10051;
constexpr int kNetReset = 10052;
constexpr int kTimedOut = 10060;
constexpr int kHostDown = 10064;
constexpr int kHostUnreachable = 10065;

} // namespace

FailureKind ConnectFailureKind(int error)
{
    switch (error) {
    case WSAECONNREFUSED:
        return FailureKind::Refused;
    case kNetDown:
    case kNetUnreachable:
    case kHostDown:
    case kHostUnreachable:
        return FailureKind::NoRoute;
    case kTimedOut:
        return FailureKind::TimedOut;
    case WSAHOST_NOT_FOUND:
    case WSATRY_AGAIN:
    case WSANO_RECOVERY:
    case WSANO_DATA:
        return FailureKind::NameNotFound;
    case kNetReset:
    case WSAECONNABORTED:
    case WSAECONNRESET:
        return FailureKind::ResetByDevice;
    default:
        return FailureKind::Other;
    }
}

FailureKind LostConnectionKind(int error)
{
    return error == 0 ? FailureKind::ClosedByDevice : ConnectFailureKind(error);
}

// One connection attempt: its socket and the reader of what comes in.
struct ServerConnection::Link {
    explicit Link(monitor::ReceiveRoute& route)
        : reader(route, socket)
    {
    }
    TWSocket socket;
    StreamReader reader;
};

// Shared by the connection and its lookup threads: the descriptor that
// wakes the event loop when a lookup has answered. A thread keeps it open
// until it is done, so its wake-up never reaches a descriptor reused since.
struct ServerConnection::LookupChannel {
    int wakeFd = -1;
    ~LookupChannel()
    {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }
};

// One lookup's answer, written by its thread.
struct ServerConnection::Lookup {
    std::mutex mutex;
    bool done = false;
    int error = 0;
    QString address; // the address found, as text (either family)
};

// Code of a link running: links let go of meanwhile are freed at its end.
class ServerConnection::LinkScope {
public:
    explicit LinkScope(ServerConnection& connection)
        : connection_(connection)
    {
        ++connection_.linkDepth_;
    }
    ~LinkScope()
    {
        if (--connection_.linkDepth_ == 0)
            connection_.retired_.clear();
    }
    LinkScope(const LinkScope&) = delete;
    LinkScope& operator=(const LinkScope&) = delete;

private:
    ServerConnection& connection_;
};

ServerConnection::ServerConnection(monitor::ReceiveRoute& route)
    : route_(route)
    , readPassMs_(StreamReader::kReadPassMs)
{
    attemptTimer_.setSingleShot(true);
    reconnectTimer_.setSingleShot(true);
    QObject::connect(&attemptTimer_, &QTimer::timeout, &attemptTimer_,
                     [this] { AttemptFailed(FailureKind::TimedOut, kTimedOut); });
    QObject::connect(&reconnectTimer_, &QTimer::timeout, &reconnectTimer_, [this] { ReconnectNow(); });
}

ServerConnection::~ServerConnection()
{
    // The sockets close without events as they go; a lookup still running
    // finds nobody waiting for it.
    StateChanged = nullptr;
    Failed = nullptr;
    Note = nullptr;
}

void ServerConnection::Connect(const QString& host, int port)
{
    if (port < 1 || port > 65535)
        throw ESocketException("WSocketResolvePort: Invalid Port.", 0);
    Drop(false);
    host_ = host.trimmed();
    port_ = port;
    userAttempt_ = true;
    StartAttempt();
}

void ServerConnection::Disconnect()
{
    const bool settled = status_.state == ConnectionState::Disconnected && status_.why.kind == FailureKind::None
        && !status_.retryPending;
    Drop(false);
    userAttempt_ = true;
    if (settled)
        return;
    ConnectionStatus status;
    status.host = host_;
    status.port = port_;
    SetStatus(status);
}

void ServerConnection::Shutdown()
{
    Drop(true);
    ConnectionStatus status;
    status.host = host_;
    status.port = port_;
    status_ = status;
}

void ServerConnection::Send(std::span<const std::uint8_t> bytes)
{
    if (status_.state != ConnectionState::Connected || !link_) {
        WSocketSetLastError(WSAENOTCONN);
        throw ESocketException("Error " + std::to_string(WSAENOTCONN) + " in function Send\r\n" + ErrorText(WSAENOTCONN),
                               WSAENOTCONN);
    }
    // A send that finds the connection gone closes it from inside: the link
    // stays until the send has returned.
    const LinkScope scope(*this);
    if (link_->socket.Send(bytes.data(), static_cast<int>(bytes.size())) > 0 && link_)
        link_->reader.Sent(bytes);
}

void ServerConnection::SetReconnect(bool on, int seconds)
{
    reconnect_ = on;
    reconnectSeconds_ = std::max(seconds, 1);
    if (on || !reconnectTimer_.isActive())
        return;
    reconnectTimer_.stop();
    ConnectionStatus status = status_;
    status.retryPending = false;
    SetStatus(status);
}

void ServerConnection::SetReadPassMs(int readPassMs)
{
    readPassMs_ = readPassMs;
    if (link_)
        link_->reader.SetReadPassMs(readPassMs);
}

void ServerConnection::SetStatus(ConnectionStatus status)
{
    status_ = std::move(status);
    if (StateChanged)
        StateChanged(status_);
}

ConnectionFailure ServerConnection::Failure(FailureKind kind, int error) const
{
    ConnectionFailure failure;
    failure.kind = kind;
    failure.error = error;
    failure.host = host_;
    failure.port = port_;
    failure.timeoutMs = connectTimeoutMs_;
    return failure;
}

void ServerConnection::StartAttempt()
{
    const std::uint64_t attempt = ++attempt_;
    attemptTimer_.start(connectTimeoutMs_);
    // An address of either family needs no lookup.
    const bool dotted = IsDottedQuad(host_) || host_.contains(QLatin1Char(':'));
    ConnectionStatus status;
    status.state = ConnectionState::Connecting;
    status.host = host_;
    status.port = port_;
    status.resolving = !dotted;
    SetStatus(status);
    if (attempt_ != attempt)
        return;
    if (dotted)
        OpenLink(host_);
    else
        StartLookup();
}

void ServerConnection::StartLookup()
{
    if (!channel_) {
        auto channel = std::make_shared<LookupChannel>();
        channel->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (channel->wakeFd < 0) {
            AttemptFailed(FailureKind::Other, WSocketErrorFromErrno(errno));
            return;
        }
        lookupNotifier_ = std::make_unique<QSocketNotifier>(channel->wakeFd, QSocketNotifier::Read);
        QObject::connect(lookupNotifier_.get(), &QSocketNotifier::activated, lookupNotifier_.get(),
                         [this] { LookupAnswered(); });
        channel_ = std::move(channel);
    }
    auto lookup = std::make_shared<Lookup>();
    const QString name = host_;
    try {
        std::thread([channel = channel_, lookup, name] {
            int error = 0;
            QString address;
            try {
                // Either family: the first IPv4 address, else the first IPv6 one.
                address = WSocketResolveAddress(name).AddressText();
            } catch (const ESocketException& e) {
                error = e.ErrorCode() != 0 ? e.ErrorCode() : WSAHOST_NOT_FOUND;
            }
            {
                const std::lock_guard<std::mutex> lock(lookup->mutex);
                lookup->done = true;
                lookup->error = error;
                lookup->address = address;
            }
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = ::write(channel->wakeFd, &one, sizeof one);
        }).detach();
    } catch (const std::system_error& e) {
        AttemptFailed(FailureKind::Other, WSocketErrorFromErrno(e.code().value()));
        return;
    }
    lookup_ = std::move(lookup);
}

void ServerConnection::LookupAnswered()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(channel_->wakeFd, &count, sizeof count);
    // A lookup given up on may wake us: only the present one's answer counts.
    if (!lookup_)
        return;
    int error = 0;
    QString address;
    {
        const std::lock_guard<std::mutex> lock(lookup_->mutex);
        if (!lookup_->done)
            return;
        error = lookup_->error;
        address = lookup_->address;
    }
    lookup_.reset();
    if (error != 0) {
        AttemptFailed(ConnectFailureKind(error) == FailureKind::Other ? FailureKind::NameNotFound
                                                                      : ConnectFailureKind(error),
                      error);
        return;
    }
    const std::uint64_t attempt = attempt_;
    ConnectionStatus status = status_;
    status.resolving = false;
    SetStatus(status);
    if (attempt_ == attempt)
        OpenLink(address);
}

void ServerConnection::OpenLink(const QString& address)
{
    RetireLink(false);
    auto link = std::make_unique<Link>(route_);
    Link* raw = link.get();
    TWSocket& socket = link->socket;
    link->reader.SetReadPassMs(readPassMs_);
    // The reader owns the socket's read loop: a device streaming without
    // pause cannot hold the event loop.
    socket.SetLingerOnOff(wsLingerOff);
    socket.OnSessionConnected = [this, raw](TCustomWSocket*, int error) { LinkConnected(raw, error); };
    socket.OnSessionClosed = [this, raw](TCustomWSocket*, int error) { LinkClosed(raw, error); };
    socket.OnDataAvailable = [this, raw](TCustomWSocket*, int) { LinkData(raw); };
    link_ = std::move(link);
    const std::uint64_t attempt = attempt_;
    const LinkScope scope(*this);
    try {
        socket.SetProto(QStringLiteral("tcp"));
        socket.SetAddr(address);
        socket.SetPort(QString::number(port_));
        socket.Connect();
    } catch (const ESocketException& e) {
        if (attempt_ == attempt)
            AttemptFailed(ConnectFailureKind(e.ErrorCode()), e.ErrorCode());
    }
}

void ServerConnection::LinkConnected(Link* link, int error)
{
    const LinkScope scope(*this);
    if (link != link_.get() || status_.state != ConnectionState::Connecting)
        return;
    if (error != 0) {
        AttemptFailed(ConnectFailureKind(error), error);
        return;
    }
    sockaddr_storage local{};
    sockaddr_storage remote{};
    socklen_t localLength = sizeof local;
    socklen_t remoteLength = sizeof remote;
    const int handle = link->socket.SocketHandle();
    if (::getsockname(handle, reinterpret_cast<sockaddr*>(&local), &localLength) != 0
        || ::getpeername(handle, reinterpret_cast<sockaddr*>(&remote), &remoteLength) != 0) {
        // Connected and reset again before this notification.
        AttemptFailed(FailureKind::ResetByDevice, WSAECONNRESET);
        return;
    }
    attemptTimer_.stop();
    link->reader.Restart();
    const WSocketAddress localAddress = WSocketAddress::From(reinterpret_cast<const sockaddr*>(&local), localLength).Unmapped();
    const WSocketAddress remoteAddress =
        WSocketAddress::From(reinterpret_cast<const sockaddr*>(&remote), remoteLength).Unmapped();
    link->reader.SetPeer(remoteAddress);
    ConnectionStatus status;
    status.state = ConnectionState::Connected;
    status.host = host_;
    status.port = port_;
    status.localAddr = localAddress.AddressText();
    status.localPort = localAddress.Port();
    status.remoteAddr = remoteAddress.AddressText();
    status.remotePort = remoteAddress.Port();
    status.since = QDateTime::currentDateTime();
    const std::uint64_t attempt = attempt_;
    SetStatus(status);
    if (attempt_ == attempt && Note)
        Note(ConnectedNote(status_.remoteAddr, status_.remotePort));
}

void ServerConnection::LinkClosed(Link* link, int error)
{
    const LinkScope scope(*this);
    if (link != link_.get() || status_.state != ConnectionState::Connected)
        return;
    // A reset that a read met first leaves only the end of the stream to
    // the close notification.
    const int why = error != 0 ? error : link->reader.LastReadError();
    ConnectionLost(LostConnectionKind(why), why);
}

void ServerConnection::LinkData(Link* link)
{
    const LinkScope scope(*this);
    link->reader.ReadPass();
}

bool ServerConnection::EndWith(const ConnectionFailure& failure)
{
    Drop(false);
    ConnectionStatus status;
    status.host = host_;
    status.port = port_;
    status.why = failure;
    status.retryPending = reconnect_;
    status.reconnectSeconds = reconnectSeconds_;
    if (reconnect_)
        reconnectTimer_.start(reconnectSeconds_ * 1000);
    const std::uint64_t attempt = attempt_;
    SetStatus(status);
    return attempt_ == attempt;
}

void ServerConnection::AttemptFailed(FailureKind kind, int error)
{
    const ConnectionFailure failure = Failure(kind, error);
    const bool user = userAttempt_;
    if (!EndWith(failure))
        return;
    if (user) {
        if (Failed)
            Failed(failure);
    } else if (Note) {
        Note(ReconnectFailedNote(failure));
    }
}

void ServerConnection::ConnectionLost(FailureKind kind, int error)
{
    const ConnectionFailure failure = Failure(kind, error);
    if (!EndWith(failure))
        return;
    const std::uint64_t attempt = attempt_;
    if (Note)
        Note(LostNote(failure));
    if (attempt_ == attempt && Failed)
        Failed(failure);
}

void ServerConnection::ReconnectNow()
{
    userAttempt_ = false;
    const std::uint64_t attempt = attempt_;
    if (Note)
        Note(ReconnectingNote(host_, port_));
    if (attempt_ == attempt)
        StartAttempt();
}

void ServerConnection::Drop(bool shutdown)
{
    ++attempt_;
    attemptTimer_.stop();
    reconnectTimer_.stop();
    lookup_.reset();
    RetireLink(shutdown);
}

void ServerConnection::RetireLink(bool shutdown)
{
    if (!link_)
        return;
    std::unique_ptr<Link> link = std::move(link_);
    link->reader.Ended();
    TWSocket& socket = link->socket;
    socket.OnSessionConnected = nullptr;
    socket.OnSessionClosed = nullptr;
    socket.OnDataAvailable = nullptr;
    try {
        if (shutdown)
            socket.Shutdown(2);
        socket.Close();
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): the handle is released either way
    }
    // Its own code may be below on the stack (a notification, a read pass,
    // a send): it goes when that has returned.
    if (linkDepth_ > 0)
        retired_.push_back(std::move(link));
}

} // namespace tamrel
