#pragma once

#include <QObject>
#include <QTimer>

// A program timer with an on switch and a period: while on it fires every
// period milliseconds; a period of 0 leaves it on without ever firing.
// Changing the period of a running timer restarts its count.
class IntervalTimer final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IntervalTimer)

public:
    explicit IntervalTimer(int periodMs, QObject* parent = nullptr);

    [[nodiscard]] bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    [[nodiscard]] int Interval() const { return periodMs_; }
    void SetInterval(int periodMs);

signals:
    void OnTimer();

private:
    void Apply();

    QTimer timer_;
    bool enabled_ = false;
    int periodMs_;
};
