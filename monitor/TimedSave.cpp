#include "monitor/TimedSave.h"

#include "platform/DateTimeText.h"

#include <QDateTime>
#include <QDir>

#include <utility>

namespace monitor {

namespace {

// What one event-loop turn copies of a save in progress.
constexpr qint64 kSaveStepBytes = 4 << 20;
// How often a save whose file is being flushed to disk looks whether it is
// in place.
constexpr int kCommitPollMs = 5;

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
        buffer_.FinishSave();
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
                NextStep();
        },
        report_);
}

void TimedSave::Step()
{
    bool done = true;
    RunShowingErrors([this, &done] { done = buffer_.SaveStep(kSaveStepBytes); }, report_);
    if (done)
        steps_->stop();
    else
        NextStep();
}

void TimedSave::NextStep()
{
    // Copying goes on at the next event-loop turn; a file on its way to
    // the disk is only looked at now and then.
    const int interval = buffer_.Committing() ? kCommitPollMs : 0;
    if (!steps_->isActive() || steps_->interval() != interval)
        steps_->start(interval);
}

} // namespace monitor
