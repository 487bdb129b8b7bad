#include "widgets/ErrorBoxApplication.h"

#include <QMessageBox>

ErrorBoxApplication::ErrorBoxApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool ErrorBoxApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowErrorBox(error);
    } catch (...) {
        ShowErrorBox(QStringLiteral("未知错误"));
    }
    return false;
}

void ShowErrorBox(const std::exception& error)
{
    ShowErrorBox(QString::fromUtf8(error.what()));
}

void ShowErrorBox(const QString& message)
{
    QMessageBox::critical(QApplication::activeWindow(), QCoreApplication::applicationName(), message);
}
