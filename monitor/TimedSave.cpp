#include "monitor/TimedSave.h"

#include "platform/DateTimeText.h"
#include "platform/Exceptions.h"
#include "platform/TimedSaveFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

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
    RemoveStaleTimedSaveFiles(Folder());
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

QString TimedSave::NextFileFolder()
{
    // A save still under way takes its number first.
    buffer_.FinishSave();
    const QString folder = Folder();
    if (folder == scanned_ && !NameTaken(TimedSaveFileName(folder, number_)))
        return folder;
    if (folder != scanned_)
        RemoveStaleTimedSaveFiles(folder);
    const QString planned = TimedSaveFileName(folder, number_);
    if (QFileInfo(planned).isSymLink())
        passedLink_ = planned;
    number_ = NextFreeTimedSaveNumber(folder, number_);
    scanned_ = folder;
    return folder;
}

void TimedSave::Save()
{
    const QString folder = NextFileFolder();
    buffer_.Save(folder, number_, Now());
}

void TimedSave::SaveAtEnd()
{
    const bool capturing = Capturing();
    timer_->SetEnabled(false);
    steps_->stop();
    if (capturing || !buffer_.IsEmpty())
        Save();
    else
        buffer_.FinishSave();
}

void TimedSave::Report(const std::exception& error)
{
    reporting_ = true;
    try {
        report_(error);
    } catch (...) {
        reporting_ = false;
        throw;
    }
    reporting_ = false;
}

void TimedSave::Tick()
{
    // While a failed save is being reported (an error box waiting for its
    // click), ticks write nothing: the lines wait for a later tick.
    if (reporting_)
        return;
    RunShowingErrors(
        [this] {
            const QString folder = NextFileFolder();
            // A capture of a few megabytes is in its file when the tick ends.
            buffer_.BeginSave(folder, number_, Now());
            if (!buffer_.SaveStep(kSaveStepBytes))
                NextStep();
        },
        [this](const std::exception& error) { Report(error); });
    // A planted link is worth a word, but it costs no lines: the save went
    // to the next free name.
    if (!passedLink_.isEmpty()) {
        const QString link = std::exchange(passedLink_, QString());
        Report(EInOutError(
            QStringLiteral("%1 is a symbolic link: not followed, the timed save takes the next free name").arg(link)));
    }
}

void TimedSave::Step()
{
    bool done = true;
    RunShowingErrors([this, &done] { done = buffer_.SaveStep(kSaveStepBytes); },
                     [this](const std::exception& error) { Report(error); });
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
