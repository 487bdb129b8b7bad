#pragma once

#include <cstdint>

namespace analysis {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
[[nodiscard]] inline std::int64_t DaysFromCivil(int y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return std::int64_t{era} * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

} // namespace analysis
