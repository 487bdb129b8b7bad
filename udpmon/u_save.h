#pragma once

#include "monitor/TimedSaveDialog.h"

#include <QDialog>

namespace monitor {
class IntervalTimer;
} // namespace monitor

namespace ostrel {

// The timed-save dialog "定时收报对话框": the check box "定时保存" and the
// minutes field with its label "分", shown while the box is ticked. Showing
// the dialog ticks the box exactly when the timer runs. OK switches the timer
// off, or on with the typed period; minutes outside 0 to 71582 are refused
// with a message and the dialog stays open; a text that is not a number
// closes the dialog with the conversion error. Cancel changes nothing.
class Tf_save final : public QDialog, public monitor::TimedSaveControls {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_save)

public:
    // The timer is the main window's and outlives the dialog.
    explicit Tf_save(monitor::IntervalTimer& timer, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BitBtn2Click();

    monitor::IntervalTimer& timer_;
};

} // namespace ostrel
