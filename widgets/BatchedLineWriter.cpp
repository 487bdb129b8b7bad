#include "widgets/BatchedLineWriter.h"

#include "widgets/PaintPacer.h"
#include "widgets/TSMemo.h"

#include <QEvent>
#include <QScrollBar>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// The lines as one text (as TSMemo::SetLines writes them): joined by line
// breaks, and an empty last line followed by one so that it counts.
QString TextOfLines(const std::vector<QString>& lines)
{
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 1;
    QString text;
    text.reserve(size);
    for (const QString& line : lines) {
        if (&line != &lines.front())
            text += QLatin1Char('\n');
        text += line;
    }
    if (!lines.empty() && lines.back().isEmpty())
        text += QLatin1Char('\n');
    return text;
}

// Appends the lines after the window's last line in one edit and leaves the
// text ending with a line break; the user's caret and selection stay where
// they were and the last line is scrolled into view.
void AppendWithFinalBreak(TSMemo* memo, const std::vector<QString>& lines)
{
    QTextDocument* doc = memo->document();
    qsizetype size = 1;
    for (const QString& line : lines)
        size += line.size() + 1;
    QString text;
    text.reserve(size);
    if (!doc->isEmpty() && doc->lastBlock().length() > 1)
        text += QLatin1Char('\n');
    for (const QString& line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    const QTextCursor caret = memo->textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    if (memo->textCursor().anchor() != anchor || memo->textCursor().position() != position) {
        QTextCursor restored(doc);
        restored.setPosition(anchor);
        restored.setPosition(position, QTextCursor::KeepAnchor);
        memo->setTextCursor(restored);
    }
    QScrollBar* bar = memo->verticalScrollBar();
    bar->setValue(bar->maximum());
}

} // namespace

BatchedLineWriter::BatchedLineWriter(TSMemo* memo, int delayMs, int lineLimit, QObject* parent)
    : QObject(parent)
    , memo_(memo)
    , delayMs_(delayMs)
    , lineLimit_(lineLimit)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &BatchedLineWriter::Flush);
    memo_->installEventFilter(this);
    memo_->viewport()->installEventFilter(this);
}

BatchedLineWriter::~BatchedLineWriter() = default;

void BatchedLineWriter::SetPaintPacing(int intervalMs, qsizetype deferChars)
{
    delete pacer_;
    pacer_ = intervalMs > 0 ? new PaintPacer(intervalMs, this) : nullptr;
    deferPaintChars_ = deferChars;
}

void BatchedLineWriter::Open()
{
    if (open_)
        return;
    open_ = true;
    cleared_ = false;
    baseLines_ = memo_->LineCount();
    openedAt_.start();
}

void BatchedLineWriter::Append(QString line)
{
    Open();
    ++waitingEdits_;
    pendingChars_ += line.size();
    lines_.push_back({std::move(line), {}, nullptr});
}

void BatchedLineWriter::Append(QByteArray bytes, LineFormat format)
{
    Open();
    ++waitingEdits_;
    pendingChars_ += 3 * bytes.size();
    lines_.push_back({{}, std::move(bytes), format});
}

void BatchedLineWriter::Clear()
{
    Open();
    ++waitingEdits_;
    cleared_ = true;
    lines_.clear();
    pendingChars_ = 0;
}

bool BatchedLineWriter::EmptyIfFull()
{
    if (lineLimit_ <= 0 || LineCount() <= lineLimit_)
        return false;
    Clear();
    return true;
}

int BatchedLineWriter::LineCount() const
{
    if (!open_)
        return memo_->LineCount();
    return (cleared_ ? 0 : baseLines_) + static_cast<int>(lines_.size());
}

void BatchedLineWriter::Flush()
{
    timer_.stop();
    if (open_)
        Write(0);
}

void BatchedLineWriter::SetFlushPacing(int minIntervalMs, double waitPerCost, qsizetype maxChars)
{
    pacedMinIntervalMs_ = minIntervalMs;
    pacedWaitPerCost_ = waitPerCost;
    pacedMaxChars_ = maxChars;
    disconnect(&timer_, &QTimer::timeout, this, nullptr);
    if (maxChars > 0)
        connect(&timer_, &QTimer::timeout, this, &BatchedLineWriter::PacedFlush);
    else
        connect(&timer_, &QTimer::timeout, this, &BatchedLineWriter::Flush);
}

void BatchedLineWriter::PacedFlush()
{
    if (open_ && Write(pacedMaxChars_))
        FlushSoon();
}

bool BatchedLineWriter::Write(qsizetype maxChars)
{
    QElapsedTimer cost;
    cost.start();
    // The first lines up to maxChars (at least one); the rest wait.
    std::size_t count = lines_.size();
    qsizetype chars = 0;
    if (maxChars > 0) {
        count = 0;
        while (count < lines_.size() && (count == 0 || chars < maxChars)) {
            const Line& line = lines_[count];
            chars += line.format != nullptr ? 3 * line.bytes.size() : line.text.size();
            ++count;
        }
    } else {
        chars = pendingChars_;
    }
    const bool rest = count < lines_.size();
    std::vector<QString> lines;
    lines.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        Line& line = lines_[i];
        lines.push_back(line.format != nullptr ? line.format(line.bytes) : std::move(line.text));
    }
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(count));
    pendingChars_ = rest ? pendingChars_ - chars : 0;
    waitingEdits_ = rest ? static_cast<int>(lines_.size()) : 0;
    open_ = false;
    // A visible view that scrolls lays out every line it passes, so that
    // scrolling to the new last line would lay out every new line; with its
    // updates off it just moves, and the one repaint afterwards lays out the
    // lines it shows.
    // Painting that is already held off (the paint pacing holds the whole
    // window) is left alone: switching it back on here would keep the view
    // unpainted after the window is released.
    QWidget* view = memo_->viewport();
    // Long lines cost as much to paint as to lay out: with paint pacing, the
    // painting of a large flush waits until the event loop has run once, so
    // that the two are not one stall (held off before the edit, so that the
    // edit itself schedules no painting).
    if (pacer_ != nullptr && deferPaintChars_ > 0 && chars >= deferPaintChars_ && view->updatesEnabled()) {
        view->setUpdatesEnabled(false);
        QTimer::singleShot(0, view, [view] { view->setUpdatesEnabled(true); });
    }
    const bool updates = view->updatesEnabled();
    if (updates)
        view->setUpdatesEnabled(false);
    if (finalLineBreak_) {
        if (cleared_)
            memo_->clear();
        if (!lines.empty())
            AppendWithFinalBreak(memo_, lines);
    } else if (cleared_) {
        // Emptied, then the lines: the caret is at the start once the window
        // is emptied, and appending keeps it there.
        memo_->setPlainText(TextOfLines(lines));
        QScrollBar* bar = memo_->verticalScrollBar();
        bar->setValue(bar->maximum());
    } else if (!lines.empty()) {
        // Appending "a\nb" is appending "a" and then "b".
        memo_->AppendLine(TextOfLines(lines));
    }
    if (updates)
        view->setUpdatesEnabled(true);
    if (pacer_ != nullptr)
        pacer_->Changed(memo_);
    // The lines still waiting follow what is now in the window.
    cleared_ = false;
    open_ = rest;
    baseLines_ = memo_->LineCount();
    lastFlushCostNs_ = cost.nsecsElapsed() + memo_->LastPaintNs();
    sinceFlush_.start();
    return rest;
}

void BatchedLineWriter::FlushSoon()
{
    if (!open_)
        return;
    qint64 left = delayMs_ - openedAt_.elapsed();
    if (pacedMaxChars_ > 0 && sinceFlush_.isValid()) {
        const auto wait = pacedMinIntervalMs_
            + static_cast<qint64>(static_cast<double>(lastFlushCostNs_) * pacedWaitPerCost_ / 1e6);
        left = std::max(left, wait - sinceFlush_.elapsed());
    }
    if (left <= 0) {
        if (pacedMaxChars_ > 0)
            PacedFlush();
        else
            Flush();
        return;
    }
    if (!timer_.isActive())
        timer_.start(static_cast<int>(left));
}

bool BatchedLineWriter::eventFilter(QObject* watched, QEvent* event)
{
    if (open_) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            Flush();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
