#pragma once

#include "monitor/ReceiveRoute.h"

class BatchedLineWriter;
class QObject;
class TSMemo;

namespace monitor {

// How often and how much a receive window writes. The lines read go into
// the window at most every `flushIntervalMs`, and after each flush the
// window rests `restPerWork` times as long as the flush and its painting
// took, so that however fast and long the lines, the window's work takes at
// most a set share of the time and the rest is the reader's; a flush writes
// lines of at most `flushChars` characters together.
struct FlushPacing {
    int flushIntervalMs;
    double restPerWork;
    qsizetype flushChars;
};

// The receive window as the route's line sink: lines taken in at constant
// cost by a batched writer and written into the window at a pace a screen
// can show. A datagram window takes at most half the time. A stream window
// (TCP) takes at most a third in shorter flushes: a peer that streams
// without pause fills the socket's buffer in a few milliseconds, and a
// longer flush would make it wait. The window is painted at most every
// kPaintIntervalMs, a flush of kDeferPaintChars characters or more one
// event-loop turn later.
class ReceiveWindowSink final : public LineSink {
public:
    static constexpr FlushPacing kDatagramPacing{20, 1.0, 50000};
    static constexpr FlushPacing kStreamPacing{20, 2.0, 16000};
    static constexpr int kPaintIntervalMs = 25;
    static constexpr qsizetype kDeferPaintChars = 20000;

    // `delayMs`: how long a line waits at most before a flush; `lineLimit`:
    // the window's line rule (more lines → emptied); `showAtOnceLines`: a
    // pass that ends with the peer pausing or gone after at most this many
    // waiting lines (gone: whatever waits) shows them at once (-1: never at
    // once, every pass's lines wait for the paced flushes); a pausing peer's
    // lines only when the window was last written at least the pacing's
    // flush interval ago, so that a peer pausing after every request costs
    // at most one edit per interval.
    ReceiveWindowSink(TSMemo* memo, FlushPacing pacing, int delayMs, int lineLimit, int showAtOnceLines,
        QObject* parent);

    [[nodiscard]] BatchedLineWriter& Writer() const { return *writer_; }

    void EmptyIfFull() override;
    void Line(const QString& line) override;
    void Line(QByteArray bytes, QString (*format)(const QByteArray& bytes)) override;
    void Text(const QString& text) override;
    void PassEnded(PassEnd end) override;

    // A note of the window's own ("已暂停显示!", …): written at once after the
    // waiting lines, or, behind more than a flush of waiting characters,
    // in its turn by the paced flushes (writing them all at once would lay
    // out every long line the view then shows, a stall of seconds).
    void Note(const QString& line);
    // For a command that replaces the whole text: the lines still waiting
    // are emptied away unmade instead of being laid out first.
    void DropWaitingLines();

private:
    TSMemo* memo_;
    BatchedLineWriter* writer_;
    FlushPacing pacing_;
    int showAtOnceLines_;
};

} // namespace monitor
