#pragma once

class QDialog;
class QPushButton;
class QVBoxLayout;

namespace monitor {

// The Cancel and OK buttons that end the rule dialogs of both programs.
struct CancelOkButtons {
    QPushButton* cancel;
    QPushButton* ok;
};

// Ends the dialog's layout with a right-aligned row of "Cancel" and "OK"
// and gives the dialog a fixed size. Cancel rejects; OK is the default button
// and its click is the caller's to connect. The buttons get the component
// names given (the cancel button is always "BitBtn1").
[[nodiscard]] CancelOkButtons AddCancelOkRow(QDialog* dialog, QVBoxLayout* layout, const char* okName = "BitBtn2");

} // namespace monitor
