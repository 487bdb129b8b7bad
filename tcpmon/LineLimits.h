#pragma once

namespace tamrel {

// The receive window is emptied completely once a received chunk leaves it
// with more than this many lines.
inline constexpr int kReceiveWindowLineLimit = 600;

[[nodiscard]] bool ReceiveWindowOverflows(int lineCount);

// Loaded text: a receive file of more than 500 lines keeps its last 499, a
// send file of more than 2000 lines its last 1999.
inline constexpr int kLoadedReceiveLimit = 500;
inline constexpr int kLoadedSendLimit = 2000;

} // namespace tamrel
