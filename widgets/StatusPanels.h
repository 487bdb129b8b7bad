#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

// A row of sunken text panels, each with its own width and alignment, as the
// status bar of a main window shows them. Panels keep their widths: in a row
// narrower than the widths together the last panels are cut at the right
// edge (see LayoutPanels); a text wider than its panel is elided.
class StatusPanels final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusPanels)

public:
    explicit StatusPanels(QWidget* parent = nullptr);

    // Adds a panel at the right end; returns its index.
    int AddPanel(int width, Qt::Alignment alignment);
    [[nodiscard]] int PanelCount() const;
    [[nodiscard]] int PanelWidth(int index) const;
    [[nodiscard]] Qt::Alignment PanelAlignment(int index) const;
    [[nodiscard]] QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    // Where the panel is drawn at the widget's present width.
    [[nodiscard]] QRect PanelRect(int index) const;
    // Where its text is laid out (by the panel's alignment, elided to it):
    // inside the panel's margins, and with SetGivesWayToTexts only in the
    // part of a panel cut by the right edge that is seen.
    [[nodiscard]] QRect PanelTextRect(int index) const;
    // Off (the default): the panels keep their widths and a panel the right
    // edge cuts is cut with its text. On: in a row narrower than the panels
    // together, the panels before the cut one give up the width their texts
    // leave unused (LayoutPanelsForTexts), and the cut panel's text is placed
    // in its part that is seen.
    void SetGivesWayToTexts(bool on);
    // The tooltip of a panel, made when it is to be shown (none by default).
    void SetPanelToolTip(int index, std::function<QString()> text);
    [[nodiscard]] QString PanelToolTip(int index) const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Panel {
        int width;
        Qt::Alignment alignment;
        QString text;
        std::function<QString()> toolTip;
    };

    [[nodiscard]] std::vector<int> Layout() const;

    std::vector<Panel> panels_;
    bool givesWayToTexts_ = false;
};
