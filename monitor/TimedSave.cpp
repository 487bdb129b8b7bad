#include "monitor/TimedSave.h"

#include "platform/DateTimeText.h"

#include <QDateTime>
#include <QDir>

#include <utility>

namespace monitor {

TimedSave::TimedSave(int& number, ErrorReport report, QObject* parent, QString folder)
    : QObject(parent)
    , number_(number)
    , report_(std::move(report))
    , folder_(std::move(folder))
    , timer_(new IntervalTimer(this))
    , buffer_(folder_)
{
    connect(timer_, &IntervalTimer::OnTimer, this, &TimedSave::Tick);
}

void TimedSave::Save()
{
    buffer_.Save(folder_.isEmpty() ? QDir::currentPath() : folder_, number_, DateTimeText(QDateTime::currentDateTime()));
}

void TimedSave::Tick()
{
    RunShowingErrors([this] { Save(); }, report_);
}

} // namespace monitor
