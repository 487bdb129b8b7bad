#pragma once

#include "platform/ErrorReport.h"

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

// The application object of both programs. An exception that escapes an
// event handler (a command, a timer tick, a dialog button) does not unwind
// through the event loop: it is caught here, its message is shown in a modal
// error box titled with the application name, and the program goes on.
// This is the last net: commands are best run through RunShowingErrors, so
// that no exception passes through the toolkit's own event code at all.
class ErrorBoxApplication final : public QApplication {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ErrorBoxApplication)

public:
    ErrorBoxApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the error box for an exception: modal, over the program's own window
// (see MessageBoxParent), titled
// with the application name, the text being what() read as UTF-8.
void ShowErrorBox(const std::exception& error);
void ShowErrorBox(const QString& message);

// Runs a command; an exception it throws is shown in the error box and goes
// no further (platform/ErrorReport.h has the form with a report of its own,
// which the windows' tests use).
void RunShowingErrors(const std::function<void()>& command);

// Runs a command that a timer repeats, as RunShowingErrors does, unless a
// run before it is still under way (its error box open): `busy` marks that,
// one flag per timer, so that a failing timer's boxes do not pile up.
void RunShowingErrorsUnlessBusy(bool& busy, const std::function<void()>& command);
void RunShowingErrorsUnlessBusy(bool& busy, const std::function<void()>& command, const ErrorReport& report);
