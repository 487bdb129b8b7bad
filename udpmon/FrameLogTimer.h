#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>

// The timed-save timer: while on it fires every period milliseconds. Periods
// up to 2^32 - 1 ms (longer than one QTimer can count) are kept; a period of
// 0 leaves it on without ever firing. Setting the period or switching it on
// starts the count again.
class FrameLogTimer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FrameLogTimer)

public:
    explicit FrameLogTimer(QObject* parent = nullptr);

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
};
