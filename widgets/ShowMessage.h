#pragma once

#include <QString>

// The program's information box: modal, over the active window, titled with
// the application name, with an OK button.
void ShowMessage(const QString& text);
