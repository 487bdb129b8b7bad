#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

#include <functional>

class QAction;
class QWidget;

// What the window benchmarks watch in their own process: CPU time, resident
// memory, the event loop's stalls, the paintings of a widget, and the
// window's answers to _NET_WM_PING on a display.

[[nodiscard]] double CpuSeconds();
[[nodiscard]] long long RssKb();
// Triggers a command that opens a modal dialog, and fills the dialog in
// (ending with its OK) as soon as it is open.
void WithDialog(QAction* command, const std::function<void(QWidget*)>& fill);
// Runs the event loop until `done` holds, asking every 10 ms.
void RunUntil(const std::function<bool()>& done);

// The worst lateness of a 10 ms timer in the event loop while it lives.
class StallProbe {
public:
    StallProbe();
    [[nodiscard]] double WorstMs() const { return worstMs_; }

private:
    QTimer ticker_;
    QElapsedTimer sinceTick_;
    double worstMs_ = 0;
};

// Counts the paintings of a widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget* widget);
    ~PaintCounter() override;
    PaintCounter(const PaintCounter&) = delete;
    PaintCounter& operator=(const PaintCounter&) = delete;
    [[nodiscard]] int Count() const { return count_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* widget_;
    int count_ = 0;
};

// The answers of the window to _NET_WM_PING for `seconds`, from the load
// rig's x_ping named by XPING (nothing when not asked for or not on a
// display).
class PingProbe {
public:
    explicit PingProbe(double seconds);
    // pongs/pings,p50_ms,max_ms once x_ping has ended (it waits 3 s for late
    // answers); "-" when not started.
    QString Result();

private:
    QProcess process_;
    bool started_ = false;
};
