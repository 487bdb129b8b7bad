#include "monitor/TimedSave.h"

#include "platform/DateTimeText.h"

#include <QDateTime>
#include <QDir>

#include <utility>

namespace monitor {

namespace {

// What one event-loop turn copies of a save in progress.
constexpr qint64 kSaveStepBytes = 4 << 20;

QString Now()
{
    return DateTimeText(QDateTime::currentDateTime());
}

} // namespace

TimedSave::TimedSave(int& number, ErrorReport report, QObject* parent, QString folder)
    : QObject(parent)
    , number_(number)
    , report_(std::move(report))
    , folder_(std::move(folder))
    , timer_(new IntervalTimer(this))
    , buffer_(folder_)
    , steps_(new QTimer(this))
{
    connect(timer_, &IntervalTimer::OnTimer, this, &TimedSave::Tick);
    connect(steps_, &QTimer::timeout, this, &TimedSave::Step);
}

TimedSave::~TimedSave()
{
    try {
        while (!buffer_.SaveStep(kSaveStepBytes)) {
        }
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): nowhere left to report it
    }
}

QString TimedSave::Folder() const
{
    return folder_.isEmpty() ? QDir::currentPath() : folder_;
}

void TimedSave::Save()
{
    buffer_.Save(Folder(), number_, Now());
}

void TimedSave::Tick()
{
    RunShowingErrors(
        [this] {
            // A capture of a few megabytes is in its file when the tick ends.
            buffer_.BeginSave(Folder(), number_, Now());
            if (!buffer_.SaveStep(kSaveStepBytes))
                steps_->start(0);
        },
        report_);
}

void TimedSave::Step()
{
    bool done = true;
    RunShowingErrors([this, &done] { done = buffer_.SaveStep(kSaveStepBytes); }, report_);
    if (done)
        steps_->stop();
}

} // namespace monitor
