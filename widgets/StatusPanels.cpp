#include "widgets/StatusPanels.h"

#include "widgets/PanelLayout.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QStringList>
#include <QStyle>
#include <QToolTip>
#include <qdrawutil.h>

#include <algorithm>

namespace {

constexpr int kTextMargin = 4;
constexpr int kPanelGap = 2;

} // namespace

StatusPanels::StatusPanels(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // The panels are painted: assistive tools read their texts from the
    // description, one panel after the other.
    setAccessibleName(QCoreApplication::translate("StatusPanels", "状态栏"));
}

int StatusPanels::AddPanel(int width, Qt::Alignment alignment)
{
    panels_.push_back(Panel{width, alignment, QString(), {}});
    updateGeometry();
    update();
    return static_cast<int>(panels_.size()) - 1;
}

int StatusPanels::PanelCount() const
{
    return static_cast<int>(panels_.size());
}

int StatusPanels::PanelWidth(int index) const
{
    return panels_.at(static_cast<size_t>(index)).width;
}

Qt::Alignment StatusPanels::PanelAlignment(int index) const
{
    return panels_.at(static_cast<size_t>(index)).alignment;
}

QString StatusPanels::PanelText(int index) const
{
    return panels_.at(static_cast<size_t>(index)).text;
}

void StatusPanels::SetPanelText(int index, const QString& text)
{
    Panel& panel = panels_.at(static_cast<size_t>(index));
    if (panel.text == text)
        return;
    panel.text = text;
    QStringList texts;
    for (const Panel& each : panels_) {
        if (!each.text.isEmpty())
            texts.append(each.text);
    }
    setAccessibleDescription(texts.join(QStringLiteral(" | ")));
    update();
}

std::vector<int> StatusPanels::Layout() const
{
    std::vector<int> widths;
    std::vector<int> needed;
    for (const Panel& panel : panels_) {
        widths.push_back(panel.width);
        needed.push_back(panel.text.isEmpty()
                             ? 0
                             : fontMetrics().horizontalAdvance(panel.text) + 2 * kTextMargin + kPanelGap + 1);
    }
    return givesWayToTexts_ ? LayoutPanelsForTexts(widths, needed, width()) : LayoutPanels(widths, width());
}

QRect StatusPanels::PanelRect(int index) const
{
    const std::vector<int> widths = Layout();
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += widths.at(static_cast<size_t>(i));
    const int w = widths.at(static_cast<size_t>(index));
    // Panels are separated by a small gap, as the classic status bar draws them.
    return QRect(left, 0, std::max(w - kPanelGap, 0), height());
}

QRect StatusPanels::PanelTextRect(int index) const
{
    QRect rect = PanelRect(index);
    if (givesWayToTexts_)
        rect.setRight(std::min(rect.right(), width() - 1));
    return rect.adjusted(kTextMargin, 1, -kTextMargin, -1);
}

void StatusPanels::SetGivesWayToTexts(bool on)
{
    givesWayToTexts_ = on;
    update();
}

QSize StatusPanels::sizeHint() const
{
    int total = 0;
    for (const Panel& panel : panels_)
        total += panel.width;
    return {total, minimumSizeHint().height()};
}

QSize StatusPanels::minimumSizeHint() const
{
    return {0, fontMetrics().height() + 6};
}

void StatusPanels::SetPanelToolTip(int index, std::function<QString()> text)
{
    if (index >= 0 && index < PanelCount())
        panels_[static_cast<std::size_t>(index)].toolTip = std::move(text);
}

QString StatusPanels::PanelToolTip(int index) const
{
    if (index < 0 || index >= PanelCount() || !panels_[static_cast<std::size_t>(index)].toolTip)
        return {};
    return panels_[static_cast<std::size_t>(index)].toolTip();
}

bool StatusPanels::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    for (int k = 0; k < PanelCount(); ++k) {
        if (PanelRect(k).contains(help->pos())) {
            const QString text = PanelToolTip(k);
            if (!text.isEmpty()) {
                QToolTip::showText(help->globalPos(), text, this, PanelRect(k));
                return true;
            }
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void StatusPanels::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    for (int i = 0; i < PanelCount(); ++i) {
        const QRect rect = PanelRect(i);
        if (rect.width() <= 0 || rect.left() >= width())
            continue;
        qDrawShadePanel(&painter, rect, palette(), true, 1);
        const QRect textRect = PanelTextRect(i);
        const Panel& panel = panels_[static_cast<size_t>(i)];
        const QString shown = fontMetrics().elidedText(panel.text, Qt::ElideRight, textRect.width());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(textRect, static_cast<int>(panel.alignment | Qt::AlignVCenter), shown);
    }
}
