#pragma once

#include <QString>
#include <QWidget>

#include <vector>

// A row of sunken text panels, each with its own width and alignment, as the
// status bar of a main window shows them. The row may be narrower than the
// panels' widths together: panels then give up their empty room first (see
// LayoutPanels) and a text that still does not fit is elided.
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

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Panel {
        int width;
        Qt::Alignment alignment;
        QString text;
    };

    [[nodiscard]] std::vector<int> Layout() const;
    [[nodiscard]] int NeededWidth(const QString& text) const;

    std::vector<Panel> panels_;
};
