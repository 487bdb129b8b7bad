#include "widgets/ShowMessage.h"

#include <QApplication>
#include <QMessageBox>

void ShowMessage(const QString& text)
{
    QMessageBox::information(QApplication::activeWindow(), QCoreApplication::applicationName(), text);
}
