#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <functional>
#include <vector>

// What a soak run watches in its own process while the window works: every
// minute the resident memory, the open descriptors (the timed-save
// capture's spill files apart, which open and close with the ticks), the
// CPU share of one core over that minute, the worst lateness of a 10 ms
// timer in the event loop with the CPU time the window's thread used in
// that interval ("busy": near the stall, the window's own work; far below,
// the thread waited, for a CPU or for the disk), and the lines saved so
// far; then the table and its goals.
class SoakProbe {
public:
    SoakProbe(int minutes, std::function<long long()> savedLines);

    // Turns the event loop until `done` says so or the minutes and ten
    // seconds are over.
    void Run(const std::function<bool()>& done);
    // Prints the table and the goals; true when all are met: memory grown by
    // less than 2 MB and no descriptor more after the first minute (spill
    // files apart), at most kMaxSpillFiles spill files open, no stall over
    // 100 ms.
    [[nodiscard]] bool Report() const;

    // The spill file being filled, and the one a save in steps is copying.
    static constexpr int kMaxSpillFiles = 2;

private:
    struct Row {
        int minute;
        long rssKb;
        int descriptors;
        int spillFiles;
        double cpuPct;
        double worstStallMs;
        double worstStallBusyMs;
        long long saved;
    };
    void TakeRow(int minute, double worstStallMs, double worstStallBusyMs);

    int minutes_;
    std::function<long long()> savedLines_;
    std::vector<Row> rows_;
    double lastCpuSeconds_ = 0;
};

[[nodiscard]] int FreeUdpPort();
// The received lines in the timed-save files of a folder (date lines not
// counted); a file already counted is not read again.
[[nodiscard]] long long CountSavedLines(const QString& folder);
// N of the sender's "sent=N" or "sent N".
[[nodiscard]] long long SentCount(const QByteArray& output);
// The kernel's drop count of the UDP socket bound to the port.
[[nodiscard]] long long UdpDrops(int port);
// Drops the offscreen platform's notes on window features it lacks.
void QuietOffscreenWarnings();
// Turns the event loop for the milliseconds.
void WaitFor(int ms);
