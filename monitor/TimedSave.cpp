#include "monitor/TimedSave.h"

#include "platform/DateTimeText.h"

#include <QDateTime>
#include <QDir>

#include <utility>

namespace monitor {

TimedSave::TimedSave(int& number, ErrorReport report, QObject* parent)
    : QObject(parent)
    , number_(number)
    , report_(std::move(report))
    , timer_(new IntervalTimer(this))
{
    connect(timer_, &IntervalTimer::OnTimer, this, &TimedSave::Tick);
}

void TimedSave::Save()
{
    buffer_.Save(QDir::currentPath(), number_, DateTimeText(QDateTime::currentDateTime()));
}

void TimedSave::Tick()
{
    RunShowingErrors([this] { Save(); }, report_);
}

} // namespace monitor
