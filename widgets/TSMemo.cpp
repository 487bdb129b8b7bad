#include "widgets/TSMemo.h"

#include "widgets/SelectionColors.h"

#include "widgets/MemoLines.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QHash>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

TSMemo::TSMemo(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The editor's own connections were made first, so the view has moved
    // by the time these run.
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &TSMemo::OnHScroll);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &TSMemo::OnVScroll);
}

int TSMemo::CaretLine() const
{
    const QTextCursor cursor = textCursor();
    return document()->findBlock(cursor.selectionStart()).blockNumber();
}

int TSMemo::CaretColumn() const
{
    const QTextCursor cursor = textCursor();
    const int position = cursor.selectionStart();
    return position - document()->findBlock(position).position();
}

QStringList TSMemo::Lines() const
{
    return MemoLines(toPlainText());
}

int TSMemo::LineCount() const
{
    const QTextDocument* doc = document();
    if (doc->isEmpty())
        return 0;
    const int blocks = doc->blockCount();
    return doc->lastBlock().text().isEmpty() ? blocks - 1 : blocks;
}

QString TSMemo::Line(int index) const
{
    if (index < 0 || index >= LineCount())
        return {};
    return document()->findBlockByNumber(index).text();
}

void TSMemo::SetLines(const QStringList& lines)
{
    QString text = lines.join(QLatin1Char('\n'));
    // An empty last line needs the line break after it to count as a line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        text += QLatin1Char('\n');
    setPlainText(text);
}

void TSMemo::AppendLine(const QString& line)
{
    QTextDocument* doc = document();
    const QTextCursor caret = textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();

    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    // A text that ends with a line break already has the empty last block
    // that the new line goes into; an empty new line needs a line break
    // after it to count as a line.
    if (!doc->isEmpty() && !doc->lastBlock().text().isEmpty())
        cursor.insertBlock();
    cursor.insertText(line);
    if (line.isEmpty())
        cursor.insertBlock();

    // A caret at the end would have moved along with the new text.
    if (textCursor().anchor() != anchor || textCursor().position() != position) {
        QTextCursor restored(doc);
        restored.setPosition(anchor);
        restored.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(restored);
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}

QColor TSMemo::TextColor() const
{
    return palette().color(QPalette::Text);
}

void TSMemo::SetTextColor(const QColor& color)
{
    SetPaletteColor(QPalette::Text, color);
}

QColor TSMemo::BackgroundColor() const
{
    return palette().color(QPalette::Base);
}

void TSMemo::SetBackgroundColor(const QColor& color)
{
    SetPaletteColor(QPalette::Base, color);
}

void TSMemo::SetPaletteColor(QPalette::ColorRole role, const QColor& color)
{
    QPalette pal = palette();
    pal.setColor(role, color);
    // Selected text stays visible whatever the window's colours.
    const QPalette stylePalette = QApplication::palette(this);
    const SelectionColors selection
        = SelectionColorsFor(pal.color(QPalette::Base), pal.color(QPalette::Text),
                             {stylePalette.color(QPalette::Highlight), stylePalette.color(QPalette::HighlightedText)});
    pal.setColor(QPalette::Highlight, selection.highlight);
    pal.setColor(QPalette::HighlightedText, selection.highlightedText);
    setPalette(pal);
}

namespace {

// The characters drawn on either side of the part of a long line the view
// shows, so that glyphs cut by the view's edges are drawn whole.
constexpr int kPartialPaintMargin = 4;

// The x of each character of a line in a font laid out without shaping:
// the sum of the advances of the characters before it, as the layout adds
// them up.
class LineAdvances {
public:
    LineAdvances(const QFont& font, const QPaintDevice* device) : metrics_(font, device) {}

    // The first character from `from` (whose x is fromX) whose right edge
    // passes x, the text's size when none does; and that character's x.
    std::pair<int, qreal> CharAt(const QString& text, qreal x, int from = 0, qreal fromX = 0)
    {
        int i = from;
        qreal at = fromX;
        for (; i < text.size(); ++i) {
            const qreal next = at + Of(text[i]);
            if (next > x)
                break;
            at = next;
        }
        return {i, at};
    }
    // The x of character `index`.
    qreal XOf(const QString& text, int index)
    {
        qreal at = 0;
        for (int i = 0; i < index && i < text.size(); ++i)
            at += Of(text[i]);
        return at;
    }

private:
    qreal Of(QChar c)
    {
        auto it = cache_.find(c.unicode());
        if (it == cache_.end())
            it = cache_.insert(c.unicode(), metrics_.horizontalAdvance(c));
        return *it;
    }

    QFontMetricsF metrics_;
    QHash<char16_t, qreal> cache_;
};

// Draws the part of a laid-out one-line block that falls within `area`
// (viewport coordinates; the block's top left at `offset`): a layout of
// just those characters, placed where the block's own layout puts them,
// and the caret when it is on the line (`caret` its index, -1 for none).
// The whole line's layout is asked for its line's place only: asking it
// for a character's x would shape the whole line again.
void DrawPartOfLine(QPainter& painter, const QTextLayout& whole, const QString& text, QPointF offset,
                    const QList<QTextLayout::FormatRange>& selections, const QRect& area, int caret,
                    int caretWidth)
{
    const QTextLine line = whole.lineAt(0);
    LineAdvances advances(whole.font(), painter.device());
    const qreal lineX = line.x();
    const int left = advances.CharAt(text, area.left() - offset.x() - lineX).first;
    const int first = std::max(0, left - kPartialPaintMargin);
    const qreal firstX = advances.XOf(text, first);
    const int right = advances.CharAt(text, area.right() + 1 - offset.x() - lineX, first, firstX).first;
    const int last = std::min(static_cast<int>(text.size()), right + kPartialPaintMargin);
    if (last > first) {
        QTextLayout part(text.mid(first, last - first), whole.font());
        part.setTextOption(whole.textOption());
        part.beginLayout();
        QTextLine partLine = part.createLine();
        partLine.setPosition(QPointF(0, line.y()));
        part.endLayout();
        QList<QTextLayout::FormatRange> partSelections;
        for (const QTextLayout::FormatRange& range : selections) {
            const int start = std::max(range.start, first);
            const int end = std::min(range.start + range.length, last);
            if (end > start)
                partSelections.append({start - first, end - start, range.format});
        }
        part.draw(&painter, QPointF(offset.x() + lineX + firstX, offset.y()), partSelections, area);
    }
    if (caret >= 0) {
        const qreal caretX = offset.x() + lineX + advances.XOf(text, caret);
        painter.fillRect(QRectF(caretX, offset.y() + line.y(), caretWidth, line.height()), painter.pen().brush());
    }
}

} // namespace

bool TSMemo::ShowsLongLine(const QRect& area) const
{
    // Where the characters of a part fall is summed from their advances,
    // which is what the layout does only when it does not shape the text.
    if (partialPaintFrom_ <= 0 || !(font().styleStrategy() & QFont::PreferNoShaping))
        return false;
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF r = blockBoundingRect(block).translated(offset);
        if (r.top() > area.bottom())
            break;
        if (r.bottom() >= area.top() && block.length() > partialPaintFrom_)
            return true;
    }
    return false;
}

// The editor's own painting, except that a long line is drawn in part (see
// SetPartialPaintFrom); the window never wraps, so each line is one block
// of one laid-out line. (Full-width extra selections and the block caret of
// overwrite mode, which no window here uses, are not drawn on this path.)
void TSMemo::paintEvent(QPaintEvent* event)
{
    QElapsedTimer clock;
    clock.start();
    PaintText(event);
    lastPaintNs_ = clock.nsecsElapsed();
}

void TSMemo::PaintText(QPaintEvent* event)
{
    QRect area = event->rect();
    if (!ShowsLongLine(area)) {
        QPlainTextEdit::paintEvent(event);
        return;
    }
    QPainter painter(viewport());
    QPointF offset = contentOffset();
    const QRect viewportRect = viewport()->rect();
    const qreal maximumWidth = document()->documentLayout()->documentSize().width();
    painter.setBrushOrigin(offset);
    const int maxX = static_cast<int>(offset.x() + std::max<qreal>(viewportRect.width(), maximumWidth)
                                      - document()->documentMargin() + cursorWidth());
    area.setRight(std::min(area.right(), maxX));
    painter.setClipRect(area);
    const QAbstractTextDocumentLayout::PaintContext context = getPaintContext();
    painter.setPen(context.palette.text().color());
    const bool caretShown = !isReadOnly() || (textInteractionFlags() & Qt::TextSelectableByKeyboard);
    QTextBlock block = firstVisibleBlock();
    for (; block.isValid(); block = block.next()) {
        const QRectF r = blockBoundingRect(block).translated(offset);
        if (!block.isVisible()) {
            offset.ry() += r.height();
            continue;
        }
        if (r.bottom() >= area.top() && r.top() <= area.bottom()) {
            QTextLayout* layout = block.layout();
            const int blockStart = block.position();
            const int blockLength = block.length();
            QList<QTextLayout::FormatRange> selections;
            for (const QAbstractTextDocumentLayout::Selection& range : context.selections) {
                const int start = range.cursor.selectionStart() - blockStart;
                const int end = range.cursor.selectionEnd() - blockStart;
                if (start < blockLength && end > 0 && end > start)
                    selections.append({start, end - start, range.format});
            }
            const int caret = context.cursorPosition;
            const bool caretHere = caretShown && caret >= blockStart && caret < blockStart + blockLength;
            if (blockLength > partialPaintFrom_ && layout->lineCount() == 1) {
                DrawPartOfLine(painter, *layout, block.text(), offset, selections, area,
                               caretHere ? caret - blockStart : -1, cursorWidth());
            } else {
                layout->draw(&painter, offset, selections, area);
                if (caretHere)
                    layout->drawCursor(&painter, offset, caret - blockStart, cursorWidth());
            }
        }
        offset.ry() += r.height();
        if (offset.y() > viewportRect.height())
            break;
    }
    if (backgroundVisible() && !block.isValid() && offset.y() <= area.bottom()
        && (centerOnScroll() || verticalScrollBar()->maximum() == verticalScrollBar()->minimum()))
        painter.fillRect(QRect(QPoint(area.left(), static_cast<int>(offset.y())), area.bottomRight()),
                         palette().window());
}

void TSMemo::SetPopupMenu(QMenu* menu)
{
    popupMenu_ = menu;
}

void TSMemo::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    emit mouseReleased();
}

void TSMemo::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyReleased();
}

void TSMemo::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Mouse)
        emit mouseReleased();
    if (popupMenu_ == nullptr) {
        QPlainTextEdit::contextMenuEvent(event);
        return;
    }
    popupMenu_->exec(event->globalPos());
}
