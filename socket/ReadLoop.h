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

    // A pass begins: the reader then reads once and tells ReadsOn what the
    // read found, for as long as ReadsOn says to read on:
    //     loop.Begin();
    //     while (loop.ReadsOn(ReadOnce())) {}
    // after which Ended() tells how the pass ended.
    void Begin()
    {
        pass_.start();
        end_ = End::Drained;
    }
    [[nodiscard]] bool ReadsOn(Read read)
    {
        switch (read) {
        case Read::Drained:
            return Over(End::Drained);
        case Read::Stop:
            return Over(End::Stopped);
        case Read::Full:
            if (pass_.elapsed() >= budgetMs_)
                return Over(End::BudgetSpent);
            if (socket_.RcvdCount() <= 0)
                return Over(End::Drained);
            return true;
        case Read::Waiting:
            if (pass_.elapsed() >= budgetMs_)
                return Over(End::BudgetSpent);
            return true;
        }
        return Over(End::Drained);
    }
    [[nodiscard]] End Ended() const { return end_; }

private:
    bool Over(End end)
    {
        end_ = end;
        return false;
    }

    TCustomWSocket& socket_;
    int budgetMs_;
    QElapsedTimer pass_;
    End end_ = End::Drained;
};
