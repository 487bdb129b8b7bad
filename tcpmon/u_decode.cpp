#include "tcpmon/u_decode.h"

#include "monitor/DecodePanel.h"

#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace tamrel {

Tf_decode::Tf_decode(QWidget* parent)
    : QDialog(parent, Qt::Tool)
    , Panel(new monitor::DecodePanel(this))
{
    setObjectName(QStringLiteral("Tf_decode"));
    setWindowTitle(QStringLiteral("报文解析"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel);
    resize(kWidth, kHeight);
}

void Tf_decode::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    emit VisibilityChanged(true);
}

void Tf_decode::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    emit VisibilityChanged(false);
}

void ShowBeside(QWidget& owner, QWidget& tool, bool show, bool& shownBefore)
{
    if (show && !shownBefore) {
        shownBefore = true;
        const QRect frame = owner.frameGeometry();
        int x = frame.right() + 1;
        if (const QScreen* place = owner.screen();
            place != nullptr && x + tool.width() > place->availableGeometry().right())
            x = std::max(frame.left(), frame.right() + 1 - tool.width());
        tool.move(x, frame.top());
    }
    tool.setVisible(show);
    if (show)
        tool.raise();
}

} // namespace tamrel
