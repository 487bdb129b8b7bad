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
// Under English (the language of the translations installed) the dialog is
// also made at least as wide as its title needs (TitleWidth), so that the
// window system does not cut a caption that its English controls leave too
// narrow; the Chinese dialogs keep the width of their controls.
void AddCancelOkRow(QDialog* dialog, QVBoxLayout* layout, QPushButton*& cancel, QPushButton*& ok,
                    const char* okName = "BitBtn2");

// The width a title bar needs for the dialog's present title: the title in
// the dialog's font made bold, and room for the window's icon and its
// buttons.
[[nodiscard]] int TitleWidth(const QDialog& dialog);

} // namespace monitor
