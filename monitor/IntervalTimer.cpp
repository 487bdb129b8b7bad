#include "monitor/IntervalTimer.h"

#include <algorithm>
#include <limits>

namespace monitor {

IntervalTimer::IntervalTimer(std::int64_t periodMs, QObject* parent)
    : QObject(parent)
    , periodMs_(std::max<std::int64_t>(periodMs, 0))
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &IntervalTimer::Expired);
}

IntervalTimer::IntervalTimer(QObject* parent)
    : IntervalTimer(0, parent)
{
}

void IntervalTimer::SetEnabled(bool on)
{
    enabled_ = on;
    Restart();
}

void IntervalTimer::SetInterval(std::int64_t periodMs)
{
    periodMs_ = std::max<std::int64_t>(periodMs, 0);
    Restart();
}

void IntervalTimer::Restart()
{
    timer_.stop();
    if (!enabled_ || periodMs_ == 0)
        return;
    since_.start();
    nextMs_ = periodMs_;
    Arm();
}

void IntervalTimer::Arm()
{
    const std::int64_t left = std::max<std::int64_t>(nextMs_ - since_.elapsed(), 0);
    timer_.start(static_cast<int>(std::min<std::int64_t>(left, std::numeric_limits<int>::max())));
}

void IntervalTimer::Expired()
{
    const std::int64_t now = since_.elapsed();
    if (now < nextMs_) {
        Arm();
        return;
    }
    // Each tick is due one period after the one before, so that late ticks
    // do not add up; after a stall (a modal box, a busy handler) the count
    // starts again from now instead of firing the missed ticks at once.
    nextMs_ += periodMs_;
    if (nextMs_ <= now)
        nextMs_ = now + periodMs_;
    Arm();
    emit OnTimer();
}

} // namespace monitor
