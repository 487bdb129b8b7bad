#pragma once

#include <QObject>

#include <exception>

class SignalPipe;

// Reports an error met while the program ends without anyone at the screen
// (a termination signal): one line "<program file name>: <message>" on
// standard error, instead of a box that would wait for a click forever.
void ReportOnStandardError(const std::exception& error);

// Turns SIGTERM and SIGINT (a logout, `kill`, Ctrl+C in the starting terminal)
// into a Qt signal delivered on the thread that created the object, so the
// program can close its main window the normal way. The signal handler only
// writes to a socket pair; everything else runs in the event loop. Before the
// Qt signal goes out, every modal dialog and box open is rejected (a box
// waiting for a click would otherwise hold the program, its close included,
// for ever); each returns from its own event loop once the handler is done.
// One instance per process; the destructor puts back the previous handlers.
class TerminationSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    static void RejectModalWindows();

    SignalPipe* pipe_ = nullptr;
};
