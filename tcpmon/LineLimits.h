#pragma once

namespace tamrel {

// The receive window is emptied completely once a received chunk leaves it
// with more than this many lines.
inline constexpr int kReceiveWindowLineLimit = 600;

[[nodiscard]] bool ReceiveWindowOverflows(int lineCount);

} // namespace tamrel
