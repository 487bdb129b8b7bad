#pragma once

class QDialog;
class QPushButton;
class QVBoxLayout;

namespace monitor {

// Ends the dialog's layout with the right-aligned row of "Cancel" and "OK"
// that ends the rule dialogs of both programs, and gives the dialog a fixed
// size. Cancel rejects; OK is the default button and its click is the
// caller's to connect. The buttons are put in `cancel` ("BitBtn1") and `ok`
// (named okName).
void AddCancelOkRow(QDialog* dialog, QVBoxLayout* layout, QPushButton*& cancel, QPushButton*& ok,
                    const char* okName = "BitBtn2");

} // namespace monitor
