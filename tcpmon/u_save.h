#pragma once

#include "monitor/TimedSaveDialog.h"

#include <QDialog>

#include <optional>

namespace tamrel {

// The timed-save dialog "定时收报对话框": the check box "定时保存" and the
// minutes field with its label "分", shown while the box is ticked. The box
// keeps the state it was left in between showings.
class Tf_save final : public QDialog, public monitor::TimedSaveControls {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_save)

public:
    struct Choice {
        bool on;              // "定时保存" ticked
        QString minutesText;  // the minutes as typed
    };

    explicit Tf_save(QWidget* parent = nullptr);

    // Shows the dialog modally; the choice on OK, nothing on Cancel.
    [[nodiscard]] std::optional<Choice> Ask();
};

} // namespace tamrel
