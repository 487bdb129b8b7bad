#include "widgets/PanelLayout.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace {

// Shares `total` out in proportion to `weights`; the rounding remainder goes
// to the last entry, so the shares add up to `total` exactly.
std::vector<int> Share(const std::vector<int>& weights, int total)
{
    std::vector<int> shares(weights.size(), 0);
    const std::int64_t sum = std::accumulate(weights.begin(), weights.end(), std::int64_t{0});
    if (weights.empty() || sum <= 0 || total <= 0)
        return shares;
    int given = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        shares[i] = static_cast<int>(std::int64_t{weights[i]} * total / sum);
        given += shares[i];
    }
    shares.back() += total - given;
    return shares;
}

} // namespace

std::vector<int> LayoutPanels(const std::vector<int>& widths, const std::vector<int>& needed, int available)
{
    const size_t count = widths.size();
    std::vector<int> result(widths);
    if (count == 0)
        return result;
    available = std::max(available, 0);

    const int own = std::accumulate(widths.begin(), widths.end(), 0);
    if (own <= available) {
        result.back() += available - own;
        return result;
    }

    std::vector<int> floor(count);
    std::vector<int> slack(count);
    for (size_t i = 0; i < count; ++i) {
        const int need = i < needed.size() ? needed[i] : 0;
        floor[i] = std::clamp(need, 0, widths[i]);
        slack[i] = widths[i] - floor[i];
    }
    const int floorSum = std::accumulate(floor.begin(), floor.end(), 0);
    if (floorSum >= available) {
        // Not even the texts fit: the rightmost panels give way first.
        int deficit = floorSum - available;
        for (size_t i = count; i-- > 0 && deficit > 0;) {
            const int take = std::min(floor[i], deficit);
            floor[i] -= take;
            deficit -= take;
        }
        return floor;
    }

    const std::vector<int> extra = Share(slack, available - floorSum);
    for (size_t i = 0; i < count; ++i)
        result[i] = floor[i] + extra[i];
    return result;
}
