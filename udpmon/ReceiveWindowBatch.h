#pragma once

#include <QString>
#include <QStringList>

// The receive window's line rule over a run of received lines, kept apart
// from the window so that a run of datagrams can be laid out at once: when
// the window holds more than 100 lines as a line is to be added, it is
// emptied first, so it holds at most 101 received lines. The result of a run
// is exactly what adding the lines one by one would have left.
class ReceiveWindowBatch final {
public:
    static constexpr int kLineLimit = 100;

    // What the window has to do at the end of a run: be emptied first or
    // not, then get these lines appended in order.
    struct Update {
        bool emptyFirst = false;
        QStringList lines;
    };

    [[nodiscard]] bool IsOpen() const { return open_; }
    // Starts a run over a window that holds this many lines; a run already
    // open goes on.
    void Begin(int windowLines);
    // The window is emptied when it holds more than 100 lines. Comes before
    // the display filter decides about the line.
    void EmptyIfFull();
    void Append(const QString& line);
    // The lines the window holds once the run is applied.
    [[nodiscard]] int WindowLines() const { return windowLines_; }
    // The characters waiting to be laid out.
    [[nodiscard]] qsizetype PendingChars() const { return pendingChars_; }
    // Ends the run.
    [[nodiscard]] Update Take();

private:
    bool open_ = false;
    int windowLines_ = 0;
    qsizetype pendingChars_ = 0;
    Update update_;
};
