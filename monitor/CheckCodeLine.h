#pragma once

#include "frame/CheckCodes.h"

#include <QString>

#include <optional>
#include <string_view>

class QPlainTextEdit;

namespace monitor {

using CheckCodeCommand = CheckCodeResult (*)(std::string_view caretLine);

// Where the window's caret is left after a check code replaced its line.
enum class CaretAfterCheckCode {
    EndOfLine, // at the end of the new line, any selection dropped
    Kept       // where the edit leaves it (inside the line: at its end)
};

// Runs a check-code command on the line of the text window that holds the
// caret (the start of the selection). A new line replaces that line and
// nothing else, as one step that the window's undo takes back. Returns the
// message to show when the command refuses the line (the line then stays as
// it was).
[[nodiscard]] std::optional<QString> ApplyCheckCodeToCaretLine(QPlainTextEdit& memo, int caretLine,
                                                               CheckCodeCommand command,
                                                               CaretAfterCheckCode caret = CaretAfterCheckCode::EndOfLine);

} // namespace monitor
