#pragma once

class QWidget;

// The window a message box of the program opens over: the program's active
// window, else its topmost modal dialog, else its main window (the first
// visible top-level QMainWindow). The active window is none while another
// program is active; a box without a parent would then open under an
// always-on-top main window, modal and out of sight.
[[nodiscard]] QWidget* MessageBoxParent();
