#pragma once

#include "frame/CheckCodes.h"

#include <QString>

#include <optional>
#include <string_view>

class QPlainTextEdit;

using CheckCodeCommand = CheckCodeResult (*)(std::string_view caretLine);

// Runs a check-code command on the line of the text window that holds the
// caret (the start of the selection). A new line replaces that line and
// nothing else, as one step that the window's undo takes back; the caret is
// put at the end of the new line. Returns the message to show when the
// command refuses the line (the line then stays as it was).
[[nodiscard]] std::optional<QString> ApplyCheckCodeToCaretLine(QPlainTextEdit& memo, int caretLine,
                                                               CheckCodeCommand command);
