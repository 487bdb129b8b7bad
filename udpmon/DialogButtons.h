#pragma once

class QDialog;
class QPushButton;
class QVBoxLayout;

// The Cancel (BitBtn1) and OK (BitBtn2) buttons of the rule dialogs.
struct CancelOkButtons {
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};

// Ends the dialog's layout with a right-aligned row of Cancel and OK and
// gives the dialog a fixed size. Cancel rejects; OK is the default button and
// its click is the caller's to connect.
[[nodiscard]] CancelOkButtons AddCancelOkRow(QDialog* dialog, QVBoxLayout* layout);
