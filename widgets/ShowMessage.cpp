#include "widgets/ShowMessage.h"

#include "widgets/BoxParent.h"

#include <QApplication>
#include <QMessageBox>

void ShowMessage(const QString& text)
{
    QMessageBox::information(MessageBoxParent(), QCoreApplication::applicationName(), text);
}
