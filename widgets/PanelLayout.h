#pragma once

#include <vector>

// Lays the panels of a status bar out along `available` pixels.
// `widths` are the panels' own widths, `needed` the widths their present texts
// need (both one entry per panel, non-negative).
// - When the own widths fit, every panel gets its own width and the last one
//   also takes what is left over, so it reaches the right edge.
// - When they do not fit, every panel keeps what its text needs (up to its own
//   width) and the remaining room is shared in proportion to what each panel
//   gave up; when even the texts do not fit, the rightmost panels give way
//   first (their texts are cut), down to nothing.
// The result has one entry per panel and adds up to `available` (or to the
// own widths' sum, whichever is larger, when there is room).
[[nodiscard]] std::vector<int> LayoutPanels(const std::vector<int>& widths, const std::vector<int>& needed,
                                            int available);
