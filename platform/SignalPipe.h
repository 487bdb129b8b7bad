#pragma once

#include <QObject>

#include <functional>
#include <initializer_list>

class QSocketNotifier;

// Turns POSIX signals into calls on the thread that made the object, from
// its event loop: the signal handler only writes the signal's number to a
// socket pair. One instance per process; the destructor puts back the
// previous handlers.
class SignalPipe final : public QObject {
public:
    SignalPipe(std::initializer_list<int> signalNumbers, std::function<void(int signalNumber)> handler,
               QObject* parent = nullptr);
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;
    ~SignalPipe() override;

private:
    void ReadPending();

    std::function<void(int)> handler_;
    QSocketNotifier* notifier_ = nullptr;
};
