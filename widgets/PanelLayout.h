#pragma once

#include <vector>

// Lays the panels of a status bar out along `available` pixels, left to
// right: every panel keeps its own width (`widths`, one entry per panel,
// non-negative) and the last one also takes what is left over, so that it
// reaches the right edge. A row narrower than the widths together is not
// squeezed: the panels past its right edge are cut there by the window.
[[nodiscard]] std::vector<int> LayoutPanels(const std::vector<int>& widths, int available);
