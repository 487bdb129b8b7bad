#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <limits>
#include <vector>

class PaintPacer;
class TSMemo;

// Lines bound for a text window, taken in at constant cost each and written
// into the window in one edit. Laying out and drawing a long line is what a
// text window spends its time on, so a reader that produces lines faster than
// the screen can show them collects them here: an Append or Clear only
// records the edit, and Flush brings the window to exactly the text that
// appending the lines one by one (TSMemo::AppendLine) and emptying it (clear)
// would have left, with the user's caret and selection kept and the last line
// scrolled into view.
//
// While lines wait, the window shows the text as it was at the last Flush: a
// state the window really passed through, never a mixture. The owner flushes
// before anything reads or changes the window; the writer itself flushes
// before the user's input reaches the window (keys, mouse presses, drops),
// and FlushSoon flushes on a timer. Nothing else may edit the window while
// lines wait. GUI thread only; the window is not owned, and the writer is
// not used once the window is gone.
class BatchedLineWriter final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BatchedLineWriter)

public:
    // `delayMs`: how long FlushSoon lets lines wait at most. `lineLimit`: the
    // window's line rule, applied by EmptyIfFull (0: no rule).
    BatchedLineWriter(TSMemo* memo, int delayMs, int lineLimit = 0, QObject* parent = nullptr);
    ~BatchedLineWriter() override;

    // Makes a line of bytes, for lines that are costly to make.
    using LineFormat = QString (*)(const QByteArray& bytes);

    // Adds a line after the window's last line.
    void Append(QString line);
    // Adds the line that `format` makes of `bytes`, made only if it is still
    // in the window when written (an emptying before then drops it unmade).
    void Append(QByteArray bytes, LineFormat format);
    // Empties the window; lines appended afterwards start it again.
    void Clear();
    // The window's line rule: empties it when it holds more than lineLimit
    // lines. Each window applies it at its own moment (before or after a
    // line is added); true when it emptied the window.
    bool EmptyIfFull();
    // The number of lines the window holds once flushed (TSMemo::LineCount).
    [[nodiscard]] int LineCount() const;
    // True while edits wait to be written.
    [[nodiscard]] bool Pending() const { return open_; }
    // The number of Append and Clear calls that wait to be written.
    [[nodiscard]] int WaitingEdits() const { return waitingEdits_; }
    // The characters of the lines that wait to be written.
    [[nodiscard]] qsizetype PendingChars() const { return pendingChars_; }
    // Milliseconds since the window was last written (a large number when
    // it never was).
    [[nodiscard]] qint64 MsSinceFlush() const
    {
        return sinceFlush_.isValid() ? sinceFlush_.elapsed() : std::numeric_limits<qint64>::max();
    }

    void SetDelay(int delayMs) { delayMs_ = delayMs; }

    // Paces the painting of a window whose lines come far faster than a
    // screen can show them: after a flush the window is painted at most once
    // per intervalMs, together with every change made meanwhile; a flush of
    // at least deferChars characters is painted only after the event loop
    // has run once, so that laying out and painting are not one stall. The
    // text itself is always up to date after Flush.
    void SetPaintPacing(int intervalMs, qsizetype deferChars);

    // Paces the flushes that FlushSoon makes, for a window whose lines come
    // faster than it can lay them out and paint them: a flush waits
    // minIntervalMs after the last one, and besides as long as the last
    // one took (its edit and the painting after it) times waitPerCost, so
    // that the window's own work takes at most a share of the time whatever
    // the rate and the length of the lines; and it writes lines of at most
    // maxChars characters together (at least one line), the others waiting
    // for the next flush, so that the window shows states it really passes
    // through. Lines that the line rule empties away while they wait are
    // never laid out. Flush, which the owner calls before it reads or
    // changes the window, still writes every line.
    void SetFlushPacing(int minIntervalMs, double waitPerCost, qsizetype maxChars);

    // Leaves the window's text ending with a line break (which adds no line)
    // after each flush: the next lines then go into the empty last block, and
    // a long line before them is not laid out again. The lines are those that
    // appending them one by one leaves; only the text's end differs.
    void SetFinalLineBreak(bool on) { finalLineBreak_ = on; }

    // Writes the waiting edits into the window now.
    void Flush();
    // Flushes once the oldest waiting edit has waited `delayMs`, from a
    // timer; at once when it already has.
    void FlushSoon();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Open();
    // Writes the first waiting lines, of at most `maxChars` characters (all
    // of them when maxChars is 0); true when lines still wait.
    bool Write(qsizetype maxChars);
    void PacedFlush();

    TSMemo* memo_;
    int delayMs_;
    QTimer timer_;
    QElapsedTimer openedAt_;
    // While open: the window had baseLines_ lines at the first waiting edit
    // (none if cleared_ since), followed by lines_.
    bool open_ = false;
    bool cleared_ = false;
    int baseLines_ = 0;
    int waitingEdits_ = 0;
    int lineLimit_ = 0;
    qsizetype pendingChars_ = 0;
    PaintPacer* pacer_ = nullptr;
    qsizetype deferPaintChars_ = 0;
    bool finalLineBreak_ = false;
    // Flush pacing: off while pacedMaxChars_ is 0.
    int pacedMinIntervalMs_ = 0;
    double pacedWaitPerCost_ = 0;
    qsizetype pacedMaxChars_ = 0;
    QElapsedTimer sinceFlush_;
    qint64 lastFlushCostNs_ = 0;
    struct Line {
        QString text;
        QByteArray bytes;
        LineFormat format = nullptr;
    };
    std::vector<Line> lines_;
};
