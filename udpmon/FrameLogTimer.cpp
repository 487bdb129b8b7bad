#include "udpmon/FrameLogTimer.h"

#include <algorithm>
#include <limits>

FrameLogTimer::FrameLogTimer(QObject* parent)
    : QObject(parent)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &FrameLogTimer::Expired);
}

void FrameLogTimer::SetEnabled(bool on)
{
    enabled_ = on;
    Restart();
}

void FrameLogTimer::SetInterval(std::int64_t periodMs)
{
    periodMs_ = std::max<std::int64_t>(periodMs, 0);
    Restart();
}

void FrameLogTimer::Restart()
{
    timer_.stop();
    if (!enabled_ || periodMs_ == 0)
        return;
    since_.start();
    Arm();
}

void FrameLogTimer::Arm()
{
    const std::int64_t left = std::max<std::int64_t>(periodMs_ - since_.elapsed(), 0);
    timer_.start(static_cast<int>(std::min<std::int64_t>(left, std::numeric_limits<int>::max())));
}

void FrameLogTimer::Expired()
{
    if (since_.elapsed() < periodMs_) {
        Arm();
        return;
    }
    since_.start();
    Arm();
    emit OnTimer();
}
