#pragma once

#include "monitor/IntervalTimer.h"
#include "platform/CaptureBuffer.h"
#include "platform/ErrorReport.h"

#include <QObject>
#include <QTimer>

namespace monitor {

// Timed saving of received lines, as both programs do it: while the timer
// (`Timer1`) runs, every received line is captured in the buffer (`SMemo1`);
// each tick writes what the buffer holds, after a date line, to the next
// numbered file of its folder (the current directory unless one is given).
// A tick whose save fails reports the error and the program goes on (the
// lines wait for the next tick). Needs no display.
// A large capture is copied into its file a few megabytes per event-loop
// turn, so that it never holds the program up; lines received
// meanwhile go to the next file, and a save still in progress when the next
// tick comes, or when the program ends, is finished first.
// The numbers go on after the highest "receive<N>.dat" of the folder, so a
// program started again never replaces the files of its runs before; a
// symbolic link at the next file's name is passed over, never followed, and
// the tick names it in a report; the
// temporary files of saves that a killed program left are removed when the
// folder is first used.
class TimedSave final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TimedSave)

public:
    // `number` is the program's count of the next file; `report` shows a
    // failed save; `folder` holds the files (empty: the current directory at
    // each save).
    TimedSave(int& number, ErrorReport report, QObject* parent = nullptr, QString folder = QString());
    ~TimedSave() override;

    [[nodiscard]] IntervalTimer* Timer1() const { return timer_; }
    [[nodiscard]] CaptureBuffer& SMemo1() { return buffer_; }
    [[nodiscard]] const CaptureBuffer& SMemo1() const { return buffer_; }

    // True while received lines are captured (the timer runs): a caller
    // whose line costs to make asks first.
    [[nodiscard]] bool Capturing() const { return timer_->Enabled(); }
    // A received line, captured while the timer runs.
    void Capture(const QString& line)
    {
        if (Capturing())
            buffer_.Append(line);
    }

    // One timed save now, as a tick makes it; errors are thrown.
    void Save();

    // At the program's end: the timer stops, and what was captured since the
    // last save goes to the next file as a tick would write it (also the
    // lines kept while timed saving was switched off); nothing when the timer
    // was off and nothing is kept. Errors are thrown.
    void SaveAtEnd();

private:
    void Tick();
    void Step();
    void NextStep();
    [[nodiscard]] QString Folder() const;
    // The folder of the next file, once a save under way is finished and
    // the number of the next file moved past the files the folder holds, so
    // that no file is ever replaced.
    [[nodiscard]] QString NextFileFolder();
    // Reports a failed save, one report at a time: ticks while a report is
    // shown keep their lines for a later tick.
    void Report(const std::exception& error);

    int& number_;
    ErrorReport report_;
    QString folder_;
    IntervalTimer* timer_;
    CaptureBuffer buffer_;
    QTimer* steps_;
    // The folder whose files the number was last moved past.
    QString scanned_;
    // A symbolic link found at the name the next file was to have, passed
    // over; a tick names it once its save is under way.
    QString passedLink_;
    bool reporting_ = false;
};

} // namespace monitor
