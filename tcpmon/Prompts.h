#pragma once

#include <QString>

#include <exception>
#include <functional>

class QFileDialog;

namespace tamrel {

// The program's modal boxes and file dialogs, reached through one object so
// that the windows can be driven without a person: tests replace the
// functions, the program keeps the defaults (the platform's boxes).
struct Prompts {
    // The information box with an OK button.
    std::function<void(const QString& text)> Message;
    // The default error report: the modal error box with the exception's
    // message.
    std::function<void(const std::exception& error)> ErrorBox;
    // The yes/no question; true for Yes.
    std::function<bool(const QString& text, const QString& title)> Question;
    // Runs a file dialog; the chosen file, or an empty text when cancelled.
    std::function<QString(QFileDialog& dialog)> RunFileDialog;
};

[[nodiscard]] Prompts DefaultPrompts();

} // namespace tamrel
