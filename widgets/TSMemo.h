#pragma once

#include <QColor>
#include <QPlainTextEdit>
#include <QStringList>

class QMenu;

// The text control of every text window: a plain multi-line editor that never
// wraps lines (one line is one frame), shows both scroll bars when needed and
// reports the caret as a line and a column. The caret position is the start
// of the selection, whichever way the selection was made.
class TSMemo final : public QPlainTextEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSMemo)

public:
    explicit TSMemo(QWidget* parent = nullptr);

    // 0-based index of the line that holds the caret position.
    [[nodiscard]] int CaretLine() const;
    // 0-based column of the caret position within its line.
    [[nodiscard]] int CaretColumn() const;

    // The lines as the rest of the program counts them (see MemoLines).
    [[nodiscard]] QStringList Lines() const;
    [[nodiscard]] int LineCount() const;
    // The line with this index; an index outside the lines reads as "".
    [[nodiscard]] QString Line(int index) const;
    // Replaces the whole text by these lines.
    void SetLines(const QStringList& lines);
    // Adds a line after the last one and scrolls the new last line into view.
    // The user's caret and selection stay where they were.
    void AppendLine(const QString& line);

    [[nodiscard]] QColor TextColor() const;
    void SetTextColor(const QColor& color);
    [[nodiscard]] QColor BackgroundColor() const;
    void SetBackgroundColor(const QColor& color);

    // Lines of more characters than this are painted in part: only the
    // characters the view shows (and a few beside them) are drawn, so that
    // painting costs what is shown, not the line's length. 0 paints every
    // line whole; so does a font that is shaped (see QFont::PreferNoShaping),
    // since where its characters fall depends on their neighbours.
    void SetPartialPaintFrom(int chars) { partialPaintFrom_ = chars; }
    // How long the last painting of the text took.
    [[nodiscard]] qint64 LastPaintNs() const { return lastPaintNs_; }

    // The menu that a right click opens in place of the editor's own one;
    // not owned. nullptr restores the editor's own menu.
    void SetPopupMenu(QMenu* menu);

signals:
    // After the view has moved horizontally or vertically.
    void OnHScroll();
    void OnVScroll();
    // After any mouse button is released over the text, and when a right
    // click opens the context menu (the release then goes to the menu).
    void mouseReleased();
    // After any key is released while the text has the focus.
    void keyReleased();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void SetPaletteColor(QPalette::ColorRole role, const QColor& color);

    [[nodiscard]] bool ShowsLongLine(const QRect& area) const;
    void PaintText(QPaintEvent* event);

    QMenu* popupMenu_ = nullptr;
    int partialPaintFrom_ = 2000;
    qint64 lastPaintNs_ = 0;
};
