#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWidget;

// Paces the painting of a widget whose content changes far more often than
// a screen can show: a change is painted at once when nothing was painted
// within the interval, otherwise once the interval is over, together with
// every change made meanwhile. The content itself changes at once; only the
// painting waits (the widget's updates are held off meanwhile).
class PaintPacer final : public QObject {
public:
    PaintPacer(int intervalMs, QObject* parent);
    ~PaintPacer() override;

    PaintPacer(const PaintPacer&) = delete;
    PaintPacer& operator=(const PaintPacer&) = delete;

    // The widget's content has just changed.
    void Changed(QWidget* widget);

private:
    void Release();
    void IntervalOver();

    QTimer interval_;
    // The widget whose updates are held off until the interval is over.
    QPointer<QWidget> held_;
};
