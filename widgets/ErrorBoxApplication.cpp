#include "widgets/ErrorBoxApplication.h"

#include "widgets/BoxParent.h"

#include <QMessageBox>

ErrorBoxApplication::ErrorBoxApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool ErrorBoxApplication::notify(QObject* receiver, QEvent* event)
{
    bool handled = false;
    RunShowingErrors([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void RunShowingErrors(const std::function<void()>& command)
{
    RunShowingErrors(command, [](const std::exception& error) { ShowErrorBox(error); });
}

void RunShowingErrorsUnlessBusy(bool& busy, const std::function<void()>& command)
{
    RunShowingErrorsUnlessBusy(busy, command, [](const std::exception& error) { ShowErrorBox(error); });
}

void RunShowingErrorsUnlessBusy(bool& busy, const std::function<void()>& command, const ErrorReport& report)
{
    if (busy)
        return;
    busy = true;
    RunShowingErrors(command, report);
    busy = false;
}

void ShowErrorBox(const std::exception& error)
{
    ShowErrorBox(QString::fromUtf8(error.what()));
}

void ShowErrorBox(const QString& message)
{
    QMessageBox::critical(MessageBoxParent(), QCoreApplication::applicationName(), message);
}
