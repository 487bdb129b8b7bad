#include "analysis/LinkStats.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace analysis {

namespace {

// Bucket b < 32 holds the time b exactly; above, each power of two
// [2^e, 2^(e+1)) is cut into 32 equal buckets.
int BucketOf(std::int64_t us)
{
    if (us < ResponseTimes::kSubBuckets)
        return static_cast<int>(std::max<std::int64_t>(us, 0));
    const auto v = static_cast<std::uint64_t>(us);
    const int e = std::bit_width(v) - 1; // 2^e <= v, e >= 5
    const int sub = static_cast<int>((v >> (e - 5)) & (ResponseTimes::kSubBuckets - 1));
    const int b = (e - 4) * ResponseTimes::kSubBuckets + sub;
    return std::min(b, ResponseTimes::kBuckets - 1);
}

// The largest time bucket b holds.
std::int64_t UpperOf(int b)
{
    if (b < ResponseTimes::kSubBuckets)
        return b;
    const int e = b / ResponseTimes::kSubBuckets + 4;
    const int sub = b % ResponseTimes::kSubBuckets;
    const std::int64_t width = std::int64_t{1} << (e - 5);
    return (std::int64_t{1} << e) + (sub + 1) * width - 1;
}

} // namespace

void ResponseTimes::Add(std::int64_t us)
{
    TimeStats::Add(us);
    ++buckets_[static_cast<std::size_t>(BucketOf(us))];
}

std::int64_t ResponseTimes::PercentileUs(double fraction) const
{
    if (count == 0)
        return 0;
    const auto rank = static_cast<std::uint64_t>(std::ceil(fraction * static_cast<double>(count)));
    std::uint64_t seen = 0;
    for (int b = 0; b < kBuckets; ++b) {
        seen += buckets_[static_cast<std::size_t>(b)];
        if (seen >= std::max<std::uint64_t>(rank, 1))
            return std::clamp(UpperOf(b), minUs, maxUs);
    }
    return maxUs;
}

} // namespace analysis
