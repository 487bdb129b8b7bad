#include "tcpmon/u_decode.h"

#include "monitor/DecodePanel.h"

#include <QVBoxLayout>

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

} // namespace tamrel
