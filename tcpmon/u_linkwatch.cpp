#include "tcpmon/u_linkwatch.h"

#include "monitor/LinkPanel.h"

#include <QVBoxLayout>

namespace tamrel {

Tf_linkwatch::Tf_linkwatch(QWidget* parent)
    : QDialog(parent, Qt::Tool)
    , Panel(new monitor::LinkPanel(this))
{
    setObjectName(QStringLiteral("Tf_linkwatch"));
    setWindowTitle(QStringLiteral("链路监视"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel);
    resize(kWidth, kHeight);
}

void Tf_linkwatch::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    emit VisibilityChanged(true);
}

void Tf_linkwatch::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    emit VisibilityChanged(false);
}

} // namespace tamrel
