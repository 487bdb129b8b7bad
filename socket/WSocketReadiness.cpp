#include "socket/WSocketReadiness.h"

#include "socket/WSocketErrors.h"
#include "socket/WSocketOutcome.h"
#include "socket/WSocketTypes.h"

#include <QCoreApplication>
#include <QEvent>

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>

namespace {

const QEvent::Type notificationEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

// Carries no data: it tells the endpoint to deliver what has been posted.
class NotificationEvent final : public QEvent {
public:
    NotificationEvent()
        : QEvent(notificationEventType)
    {
    }
};

int SocketOption(int handle, int option)
{
    int value = 0;
    socklen_t length = sizeof value;
    if (getsockopt(handle, SOL_SOCKET, option, &value, &length) != 0)
        return -1;
    return value;
}

} // namespace

WSocketReadiness::WSocketReadiness(Handler handler)
    : handler_(std::move(handler))
    , readNotifier_(QSocketNotifier::Read)
    , writeNotifier_(QSocketNotifier::Write)
{
    connect(&readNotifier_, &QSocketNotifier::activated, this, [this] { Readable(); });
    connect(&writeNotifier_, &QSocketNotifier::activated, this, [this] { Writable(); });
}

WSocketReadiness::~WSocketReadiness()
{
    Stop();
}

bool WSocketReadiness::Start(int handle, unsigned interest)
{
    Stop();
    const int flags = fcntl(handle, F_GETFL);
    if (flags < 0 || ((flags & O_NONBLOCK) == 0 && fcntl(handle, F_SETFL, flags | O_NONBLOCK) < 0)) {
        WSocketSetLastErrorFromErrno();
        return false;
    }
    Kind kind = Kind::Unconnected;
    if (SocketOption(handle, SO_TYPE) == SOCK_DGRAM) {
        kind = Kind::Datagram;
    } else if (SocketOption(handle, SO_ACCEPTCONN) == 1) {
        kind = Kind::Listening;
    } else {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const bool connected = getpeername(handle, reinterpret_cast<sockaddr*>(&peer), &length) == 0;
        kind = connected ? Kind::Stream : Kind::Unconnected;
    }
    Watch(handle, interest, kind, ReadWatch::Now);
    return true;
}

void WSocketReadiness::Start(int handle, unsigned interest, Created kind, ReadWatch readWatch)
{
    Stop();
    const Kind known = kind == Created::Datagram ? Kind::Datagram
        : kind == Created::Listening             ? Kind::Listening
                                                 : Kind::Unconnected;
    Watch(handle, interest, known, readWatch);
}

void WSocketReadiness::Watch(int handle, unsigned interest, Kind kind, ReadWatch readWatch)
{
    handle_ = handle;
    interest_ = interest;
    kind_ = kind;
    closeSignalled_ = false;
    readWatched_ = readWatch != ReadWatch::Never;
    readNotifier_.setSocket(handle);
    writeNotifier_.setSocket(handle);
    if (!readWatched_)
        return;
    if (kind_ != Kind::Unconnected) {
        if (readWatch == ReadWatch::Now) {
            ArmRead();
        } else {
            armReadPending_ = true;
            QueueEvent();
        }
    }
    if (kind_ == Kind::Datagram || kind_ == Kind::Stream)
        Post(FD_WRITE, 0);
}

void WSocketReadiness::Stop()
{
    if (handle_ < 0)
        return;
    readNotifier_.setEnabled(false);
    writeNotifier_.setEnabled(false);
    readNotifier_.setSocket(-1);
    writeNotifier_.setSocket(-1);
    handle_ = -1;
    interest_ = 0;
    armReadPending_ = false;
    ++generation_;
    // What was posted for the handle is of no use any more.
    posted_.clear();
}

void WSocketReadiness::Detach()
{
    Stop();
    detached_ = true;
}

void WSocketReadiness::ConnectStarted()
{
    if (handle_ < 0)
        return;
    kind_ = Kind::Connecting;
    writeNotifier_.setEnabled(true);
}

bool WSocketReadiness::ReadWatchable() const
{
    return handle_ >= 0 && readWatched_ && !closeSignalled_ && kind_ != Kind::Unconnected && kind_ != Kind::Connecting;
}

void WSocketReadiness::ReadDone()
{
    if (ReadWatchable() && !readNotifier_.isEnabled())
        readNotifier_.setEnabled(true);
}

void WSocketReadiness::WriteBlocked()
{
    if (handle_ >= 0 && kind_ != Kind::Connecting)
        writeNotifier_.setEnabled(true);
}

void WSocketReadiness::Post(unsigned events, int error)
{
    if (handle_ < 0)
        return;
    posted_.push_back({generation_, events, error});
    QueueEvent();
}

void WSocketReadiness::QueueEvent()
{
    // One event in the queue carries every notification posted until it is
    // handled: a socket opened, used and closed many times between two turns
    // of the event loop costs one event, not one per notification.
    if (!eventQueued_) {
        eventQueued_ = true;
        QCoreApplication::postEvent(this, new NotificationEvent());
    }
}

bool WSocketReadiness::event(QEvent* e)
{
    if (e->type() != notificationEventType)
        return QObject::event(e);
    eventQueued_ = false;
    if (armReadPending_) {
        armReadPending_ = false;
        if (ReadWatchable())
            ArmRead();
    }
    // Notifications posted by the handlers below go into the next event.
    std::vector<Posted> batch;
    batch.swap(posted_);
    for (const Posted& notification : batch) {
        if (notification.generation == generation_ && handle_ >= 0)
            Deliver(notification.events, notification.error);
    }
    return true;
}

void WSocketReadiness::ArmRead()
{
    readNotifier_.setEnabled(true);
}

void WSocketReadiness::Readable()
{
    readNotifier_.setEnabled(false);
    switch (kind_) {
    case Kind::Datagram:
        Deliver(FD_READ, 0);
        return;
    case Kind::Listening:
        Deliver(FD_ACCEPT, 0);
        return;
    case Kind::Stream: {
        char probe = 0;
        const ssize_t count = recv(handle_, &probe, 1, MSG_PEEK);
        const int error = count < 0 ? WSocketErrorFromErrno(errno) : 0;
        const CallOutcome outcome = ClassifyCall(SocketCall::Receive, count, error);
        if (outcome == CallOutcome::Done) {
            Deliver(FD_READ, 0);
        } else if (outcome == CallOutcome::WouldBlock) {
            ArmRead();
        } else {
            // The end of the stream (error 0) or a failure such as a reset.
            closeSignalled_ = true;
            Deliver(FD_CLOSE, error);
        }
        return;
    }
    case Kind::Unconnected:
    case Kind::Connecting:
        return;
    }
}

void WSocketReadiness::Writable()
{
    writeNotifier_.setEnabled(false);
    if (kind_ != Kind::Connecting) {
        Deliver(FD_WRITE, 0);
        return;
    }
    int error = SocketOption(handle_, SO_ERROR);
    error = error < 0 ? WSocketSetLastErrorFromErrno() : WSocketErrorFromErrno(error);
    kind_ = Kind::Stream;
    if (error == 0) {
        ArmRead();
        Post(FD_WRITE, 0);
    }
    Deliver(FD_CONNECT, error);
}

void WSocketReadiness::Deliver(unsigned events, int error)
{
    events &= interest_;
    if (events != 0 && !detached_ && handler_)
        handler_(handle_, events, error);
}
