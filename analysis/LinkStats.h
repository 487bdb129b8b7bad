#pragma once

#include <array>
#include <cstdint>

// Timing summaries of the link supervisor: min, mean and max of measured
// times, and for MODBUS response times a percentile from a fixed histogram.

namespace analysis {

struct TimeStats {
    std::uint64_t count = 0;
    std::int64_t minUs = 0;
    std::int64_t maxUs = 0;
    double sumUs = 0;

    void Add(std::int64_t us)
    {
        if (count == 0 || us < minUs)
            minUs = us;
        if (count == 0 || us > maxUs)
            maxUs = us;
        sumUs += static_cast<double>(us);
        ++count;
    }
    [[nodiscard]] double MeanUs() const { return count ? sumUs / static_cast<double>(count) : 0.0; }
};

// Times with their distribution: a histogram of 32 buckets per power of two
// (times below 32 µs exact), so a percentile is within 1/32 of the true one.
class ResponseTimes : public TimeStats {
public:
    void Add(std::int64_t us);
    // The time below which `fraction` (0.95 for the 95th percentile) of the
    // times lie: the upper end of the bucket that holds it, never above the
    // maximum. 0 with no times.
    [[nodiscard]] std::int64_t PercentileUs(double fraction) const;
    [[nodiscard]] std::int64_t P95Us() const { return PercentileUs(0.95); }

    static constexpr int kSubBuckets = 32;
    static constexpr int kBuckets = kSubBuckets * 40;

private:
    std::array<std::uint32_t, kBuckets> buckets_{};
};

} // namespace analysis
