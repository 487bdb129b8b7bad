#include "tcpmon/IntervalTimer.h"

IntervalTimer::IntervalTimer(int periodMs, QObject* parent)
    : QObject(parent)
    , periodMs_(periodMs)
{
    // Sends and saves keep their period to the millisecond; a coarse timer
    // may tick 5 % early or late.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &IntervalTimer::OnTimer);
}

void IntervalTimer::SetEnabled(bool on)
{
    enabled_ = on;
    Apply();
}

void IntervalTimer::SetInterval(int periodMs)
{
    periodMs_ = periodMs < 0 ? 0 : periodMs;
    Apply();
}

void IntervalTimer::Apply()
{
    if (enabled_ && periodMs_ > 0)
        timer_.start(periodMs_);
    else
        timer_.stop();
}
