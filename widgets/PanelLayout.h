#pragma once

#include <vector>

// Lays the panels of a status bar out along `available` pixels, left to
// right: every panel keeps its own width (`widths`, one entry per panel,
// non-negative) and the last one also takes what is left over, so that it
// reaches the right edge. A row narrower than the widths together is not
// squeezed: the panels past its right edge are cut there by the window.
[[nodiscard]] std::vector<int> LayoutPanels(const std::vector<int>& widths, int available);

// The same for a row whose panels give way to their texts (the English
// status bars, whose texts differ in length from the specified Chinese
// ones): when the row is narrower than the widths together, the panels
// before the first one its right edge cuts give up the width their texts
// leave unused (`needed`, one entry per panel: the text with its margins, 0
// for an empty panel), left to right, until that panel is whole or they
// have nothing more to give. A panel never grows and never becomes narrower
// than its text.
[[nodiscard]] std::vector<int> LayoutPanelsForTexts(const std::vector<int>& widths, const std::vector<int>& needed,
                                                    int available);
