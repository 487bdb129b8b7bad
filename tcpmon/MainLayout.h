#pragma once

namespace tamrel {

// The main area of the window: an empty margin on each side and, between
// them, the receive window, a splitter and the send window.
struct MainAreaWidths {
    int margin;      // each side margin: Trunc(window width / 22)
    int receive;     // the receive window: Trunc(window width × 5 / 11)
};

inline constexpr int kSplitterWidth = 4;
inline constexpr int kLabelStripHeight = 22;

[[nodiscard]] MainAreaWidths MainAreaFor(int windowWidth);

// A window's label stands with its left edge at the window's left plus half
// the window's width (fraction dropped).
[[nodiscard]] int LabelLeft(int windowLeft, int windowWidth);

} // namespace tamrel
