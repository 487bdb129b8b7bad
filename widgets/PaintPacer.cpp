#include "widgets/PaintPacer.h"

#include <QWidget>

PaintPacer::PaintPacer(int intervalMs, QObject* parent)
    : QObject(parent)
{
    interval_.setSingleShot(true);
    interval_.setInterval(intervalMs);
    connect(&interval_, &QTimer::timeout, this, &PaintPacer::IntervalOver);
}

PaintPacer::~PaintPacer()
{
    Release();
}

void PaintPacer::Changed(QWidget* widget)
{
    if (!interval_.isActive()) {
        // Painted as usual; changes within the interval wait.
        interval_.start();
        return;
    }
    if (held_ == widget)
        return;
    Release();
    // Updates held off by someone else stay theirs.
    if (widget->updatesEnabled()) {
        widget->setUpdatesEnabled(false);
        held_ = widget;
    }
}

void PaintPacer::Release()
{
    if (held_)
        held_->setUpdatesEnabled(true);
    held_ = nullptr;
}

void PaintPacer::IntervalOver()
{
    if (!held_)
        return;
    // Painted now with everything changed meanwhile; the next change waits
    // for the next interval.
    Release();
    interval_.start();
}
