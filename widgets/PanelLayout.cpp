#include "widgets/PanelLayout.h"

#include <numeric>

std::vector<int> LayoutPanels(const std::vector<int>& widths, int available)
{
    std::vector<int> result(widths);
    const int own = std::accumulate(widths.begin(), widths.end(), 0);
    if (!result.empty() && own < available)
        result.back() += available - own;
    return result;
}
