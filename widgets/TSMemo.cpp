#include "widgets/TSMemo.h"

#include "widgets/SelectionColors.h"

#include "widgets/MemoLines.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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
