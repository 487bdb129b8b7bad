#pragma once

#include "analysis/Points.h"

// What the point table's own sources share; only they include it.

namespace analysis {

// The point type of an IEC type identification (Unknown: it carries no point).
[[nodiscard]] PointType IecPointType(std::uint8_t typeId);
// Its mnemonic ("M_ME_NC_1"), empty when it carries no point.
[[nodiscard]] std::string_view IecMnemonic(std::uint8_t typeId);
// The words of the HTML report's head (PointTexts.cpp).
enum class ReportWord : std::uint8_t {
    Stations, TimeSpan, Seen, Listed, OnList, Missing, Unlisted, OutOfRange, WrongType, BadQuality, Commands, Dropped
};
[[nodiscard]] std::string_view ReportText(ReportWord word);

// Whether a point of this type is told to the device rather than by it.
[[nodiscard]] bool IsCommandType(PointType type);

} // namespace analysis
