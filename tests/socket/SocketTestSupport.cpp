#include "SocketTestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

bool SpinUntil(const std::function<bool()>& done, int boundMs)
{
    const QDeadlineTimer deadline(boundMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

Raised RaisedBy(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ESocketException& e) {
        return {e.what(), e.ErrorCode()};
    }
    return {"(no exception)", -1};
}

std::string MessageOf(const std::function<void()>& action)
{
    return RaisedBy(action).message;
}

PlainSocket::~PlainSocket()
{
    Close();
}

PlainSocket& PlainSocket::operator=(PlainSocket&& other) noexcept
{
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

void PlainSocket::Close()
{
    if (handle_ >= 0)
        ::close(handle_);
    handle_ = -1;
}

uint16_t PlainSocket::LocalPort() const
{
    return LocalPortOf(handle_);
}

uint16_t LocalPortOf(int handle)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("getsockname failed");
    return ntohs(address.sin_port);
}

namespace {

sockaddr_in Loopback(uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

PlainSocket BoundSocket(int type)
{
    PlainSocket socket(::socket(AF_INET, type | SOCK_CLOEXEC, 0));
    const sockaddr_in address = Loopback(0);
    if (socket.Handle() < 0 || bind(socket.Handle(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot bind a test socket");
    return socket;
}

} // namespace

PlainSocket PlainSocket::UdpReceiver()
{
    return BoundSocket(SOCK_DGRAM);
}

PlainSocket PlainSocket::TcpListener()
{
    PlainSocket socket = BoundSocket(SOCK_STREAM);
    if (::listen(socket.Handle(), 16) != 0)
        throw std::runtime_error("cannot listen");
    return socket;
}

PlainSocket PlainSocket::TcpClient(uint16_t port)
{
    PlainSocket socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in address = Loopback(port);
    if (socket.Handle() < 0
        || ::connect(socket.Handle(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot connect");
    return socket;
}

void Aim(TCustomWSocket& socket, const char* proto, uint16_t port)
{
    socket.SetProto(QString::fromLatin1(proto));
    socket.SetAddr(QStringLiteral("127.0.0.1"));
    socket.SetPort(QString::number(port));
}

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 13 + i / 1000) & 0xFF);
    return bytes;
}
