#pragma once

#include "socket/WSocket.h"

#include <QElapsedTimer>

// The read loop of a reader on a socket, the same for a datagram socket and a
// stream: the socket's readiness notification runs one pass, which reads
// until nothing more waits or the pass has run for its time budget, and then
// lets the event loop run (timers, input, painting). The last read of a pass
// re-arms the readiness notification, so a pass that spent its budget is
// followed, once the event loop has run, by the next for what still waits.
// The loop is the reader's: the socket runs with wsoNoReceiveLoop, one
// notification, one pass. GUI thread only, like the socket.
class ReadLoop final {
public:
    // What one read of a pass found.
    enum class Read {
        Drained, // nothing more waits: the read found nothing, came short, or met the end of a stream
        Full,    // the read came full: read on while the budget lasts and the socket says more waits
        Waiting, // more is known to wait: read on while the budget lasts
        Stop,    // the pass ends here (the connection is gone)
    };
    // How a pass ended.
    enum class End { Drained, BudgetSpent, Stopped };

    // A budget of 0 ms: one read per pass.
    ReadLoop(TCustomWSocket& socket, int budgetMs)
        : socket_(socket)
        , budgetMs_(budgetMs)
    {
        socket_.SetComponentOptions(socket_.ComponentOptions() | WSocketOptionBit(wsoNoReceiveLoop));
    }
    ReadLoop(const ReadLoop&) = delete;
    ReadLoop& operator=(const ReadLoop&) = delete;

    void SetBudgetMs(int budgetMs) { budgetMs_ = budgetMs; }
    [[nodiscard]] int BudgetMs() const { return budgetMs_; }
    // Milliseconds since the pass running began.
    [[nodiscard]] qint64 PassElapsedMs() const { return pass_.elapsed(); }

    // One pass: `readOne` (returning Read) reads once and hands on what it
    // read. An exception from it ends the pass and goes on to the caller.
    template <typename ReadOne>
    End Pass(ReadOne&& readOne)
    {
        pass_.start();
        for (;;) {
            switch (readOne()) {
            case Read::Drained:
                return End::Drained;
            case Read::Stop:
                return End::Stopped;
            case Read::Full:
                if (pass_.elapsed() >= budgetMs_)
                    return End::BudgetSpent;
                if (socket_.RcvdCount() <= 0)
                    return End::Drained;
                break;
            case Read::Waiting:
                if (pass_.elapsed() >= budgetMs_)
                    return End::BudgetSpent;
                break;
            }
        }
    }

private:
    TCustomWSocket& socket_;
    int budgetMs_;
    QElapsedTimer pass_;
};
