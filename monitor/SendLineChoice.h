#pragma once

#include <cstdint>
#include <optional>

class LineRandom;

namespace monitor {

// Which line of the send window a send takes, and how loop sending moves on.

// The send styles of both programs.
enum SendStyleCode : std::uint8_t { StyleLoop = 0, StyleSingle = 1, StyleRandom = 2 };

// The 0-based index of the line to send: the loop line (style 0), the caret
// line (style 1 and any other) or a random line of lineCount (style 2, which
// advances the generator). An index at or past the last line reads as an
// empty line.
[[nodiscard]] int ChooseSendLine(std::uint8_t style, int caretLine, int lineCount, int loopLine, LineRandom& random);

// The 0-based lines a loop send goes round, both included.
struct LoopRange {
    int first = 0;
    int last = 0;
};

// The loop line after a loop send: the next one; within a range, past its
// last line it goes back to its first; without one, past the window's last
// line it goes back to the first.
[[nodiscard]] int NextLoopLine(int loopLine, int lineCount, std::optional<LoopRange> range = std::nullopt);

} // namespace monitor
