#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT (a logout, `kill`, Ctrl+C in the starting terminal)
// into a Qt signal delivered on the thread that created the object, so the
// program can close its main window the normal way. The signal handler only
// writes to a socket pair; everything else runs in the event loop.
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
    void ReadPending();

    QSocketNotifier* notifier_ = nullptr;
};
