#pragma once

#include <QString>

#include <functional>

class TSMemo;

// The caret position readout "第" f "帧第" b "字节": f is the 1-based line
// (frame) and b the 1-based byte of a line written as byte pairs each followed
// by one space, so columns 0 to 2 are byte 1, 3 to 5 byte 2 and so on.
[[nodiscard]] QString CaretReadoutText(int caretLine, int caretColumn);

// Refreshes the readout whenever a mouse button or a key is released in the
// memo (any button, any key): the sink receives the new text. The connection
// lives as long as the memo.
void ConnectCaretReadout(TSMemo* memo, std::function<void(const QString&)> sink);
