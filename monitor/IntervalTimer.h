#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>

namespace monitor {

// A program timer with an on switch and a period (the send timers, the
// timed-save timers, the status bar clock): while on it fires every period
// milliseconds, to the millisecond (a coarse timer may tick 5 % early or
// late). Periods up to 2^32 - 1 ms and more (longer than one QTimer can
// count) are kept; a period of 0 leaves it on without ever firing. Setting
// the period or switching it on starts the count again.
class IntervalTimer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IntervalTimer)

public:
    explicit IntervalTimer(std::int64_t periodMs = 0, QObject* parent = nullptr);
    explicit IntervalTimer(QObject* parent);

    [[nodiscard]] bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    [[nodiscard]] std::int64_t Interval() const { return periodMs_; }
    void SetInterval(std::int64_t periodMs);

signals:
    void OnTimer();

private:
    void Restart();
    void Arm();
    void Expired();

    QTimer timer_;
    QElapsedTimer since_;
    bool enabled_ = false;
    std::int64_t periodMs_ = 0;
    // When the next tick is due, in milliseconds of since_.
    std::int64_t nextMs_ = 0;
};

} // namespace monitor
