#include "monitor/ReceiveWindowSink.h"

#include "widgets/BatchedLineWriter.h"
#include "widgets/TSMemo.h"

#include <utility>

namespace monitor {

ReceiveWindowSink::ReceiveWindowSink(TSMemo* memo, FlushPacing pacing, int delayMs, int lineLimit,
    int showAtOnceLines, QObject* parent)
    : memo_(memo)
    , writer_(new BatchedLineWriter(memo, delayMs, lineLimit, parent))
    , pacing_(pacing)
    , showAtOnceLines_(showAtOnceLines)
{
    writer_->SetFlushPacing(pacing.flushIntervalMs, pacing.restPerWork, pacing.flushChars);
    writer_->SetPaintPacing(kPaintIntervalMs, kDeferPaintChars);
}

void ReceiveWindowSink::EmptyIfFull()
{
    writer_->EmptyIfFull();
}

void ReceiveWindowSink::Line(const QString& line)
{
    writer_->Append(line);
}

void ReceiveWindowSink::Line(QByteArray bytes, QString (*format)(const QByteArray& bytes))
{
    writer_->Append(std::move(bytes), format);
}

void ReceiveWindowSink::Text(const QString& text)
{
    // The text may hold line breaks of its own: it goes to the window
    // directly, which counts its lines as they are.
    writer_->Flush();
    writer_->EmptyIfFull();
    writer_->Append(text);
    writer_->Flush();
}

void ReceiveWindowSink::PassEnded(PassEnd end)
{
    // A peer that pauses after every few lines (a master polling back to
    // back) would otherwise have the window laid out once per request, in
    // the turn of its next one: at once only when the window was last
    // written a flush interval ago, else with the paced flushes.
    const bool showNow = (end == PassEnd::PeerGone && showAtOnceLines_ >= 0)
        || (end == PassEnd::PeerPaused && writer_->WaitingEdits() <= showAtOnceLines_
            && writer_->MsSinceFlush() >= pacing_.flushIntervalMs);
    if (showNow)
        writer_->Flush();
    else
        writer_->FlushSoon();
}

void ReceiveWindowSink::Note(const QString& line)
{
    if (writer_->PendingChars() > pacing_.flushChars) {
        writer_->Append(line);
        writer_->FlushSoon();
        return;
    }
    writer_->Flush();
    memo_->AppendLine(line);
}

void ReceiveWindowSink::DropWaitingLines()
{
    writer_->Clear();
    writer_->Flush();
}

} // namespace monitor
