#pragma once

#include <QString>

// The program's information box: modal, over the program's own window
// (see MessageBoxParent), titled with
// the application name, with an OK button.
void ShowMessage(const QString& text);
