#pragma once

#include <QApplication>
#include <QString>

#include <exception>

// The application object of both programs. An exception that escapes an
// event handler (a command, a timer tick, a dialog button) does not unwind
// through the event loop: it is caught here, its message is shown in a modal
// error box titled with the application name, and the program goes on.
class ErrorBoxApplication final : public QApplication {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ErrorBoxApplication)

public:
    ErrorBoxApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the error box for an exception: modal, over the active window, titled
// with the application name, the text being what() read as UTF-8.
void ShowErrorBox(const std::exception& error);
void ShowErrorBox(const QString& message);
