#include "udpmon/FrameLogPeriod.h"

#include "platform/Conversions.h"

#include <cmath>

namespace ostrel {

std::optional<std::int64_t> SavePeriodMs(const QString& minutesText)
{
    const double minutes = StrToFloat(minutesText);
    if (!(minutes >= 0.0 && minutes <= kMaxSaveMinutes))
        return std::nullopt;
    return static_cast<std::int64_t>(std::trunc(minutes * 60000.0));
}

} // namespace ostrel
