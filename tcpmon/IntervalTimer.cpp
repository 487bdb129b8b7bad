#include "tcpmon/IntervalTimer.h"

IntervalTimer::IntervalTimer(int periodMs, QObject* parent)
    : QObject(parent)
    , periodMs_(periodMs)
{
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
