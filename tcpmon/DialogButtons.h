#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

// The Cancel and OK buttons of a dialog, right-aligned in one row: Cancel
// rejects, OK accepts. The buttons get the given component names.
struct CancelOkButtons {
    QPushButton* cancel;
    QPushButton* ok;
    QHBoxLayout* row;
};

[[nodiscard]] CancelOkButtons MakeCancelOkButtons(QDialog* dialog, const char* cancelName, const char* okName);
