#include "widgets/PanelLayout.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

std::vector<int> LayoutPanels(const std::vector<int>& widths, int available)
{
    std::vector<int> result(widths);
    const int own = std::accumulate(widths.begin(), widths.end(), 0);
    if (!result.empty() && own < available)
        result.back() += available - own;
    return result;
}

std::vector<int> LayoutPanelsForTexts(const std::vector<int>& widths, const std::vector<int>& needed, int available)
{
    std::vector<int> result = LayoutPanels(widths, available);
    // The first panel the right edge cuts, and by how much.
    int right = 0;
    std::size_t cut = 0;
    while (cut < result.size() && right + result[cut] <= available)
        right += result[cut++];
    if (cut == result.size())
        return result;
    int missing = right + result[cut] - available;
    for (std::size_t i = 0; i < cut && missing > 0; ++i) {
        const int need = i < needed.size() ? std::max(needed[i], 0) : result[i];
        const int given = std::clamp(result[i] - need, 0, missing);
        result[i] -= given;
        missing -= given;
    }
    return result;
}
