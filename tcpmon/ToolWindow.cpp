#include "tcpmon/ToolWindow.h"

#include <QVBoxLayout>

namespace tamrel {

ToolWindow::ToolWindow(QWidget* parent, const QString& objectName, const QString& title, QWidget* content,
                       QSize size)
    : QDialog(parent, Qt::Tool)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setModal(false);
    content->setParent(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    resize(size);
}

void ToolWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    emit VisibilityChanged(true);
}

void ToolWindow::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    emit VisibilityChanged(false);
}

} // namespace tamrel
