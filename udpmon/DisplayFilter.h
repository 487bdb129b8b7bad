#pragma once

#include "udpmon/OstrelState.h"

#include <QString>
#include <QStringView>

#include <array>

namespace ostrel {

// The display filter: a hex-mode line is shown when any rule that is on finds
// its value at its position. A rule compares the two characters of byte p of
// the hex text (characters 3p - 2 and 3p - 1, counted from 1) with its value
// text, ignoring case; a one-digit value therefore never matches, and a
// frame shorter than p bytes never matches that rule.

using FilterRules = std::array<FilterRule, 3>;

[[nodiscard]] bool AnyFilterRuleOn(const FilterRules& rules);

// True when the line with this hex text is shown; the rules that are off
// take no part. With no rule on nothing is shown: callers ask only while a
// rule is on.
[[nodiscard]] bool ApplyDisplayFilter(const FilterRules& rules, QStringView hexText);

// Whether a received line with this hex text is shown: always while no rule
// is on, else as ApplyDisplayFilter says.
[[nodiscard]] bool ShowsLine(const FilterRules& rules, QStringView hexText);

// What one row of the filter dialog holds.
struct FilterRow {
    bool checked = false;
    QString position;
    QString value;
};

// The OK of the filter dialog: a rule is on when its box is checked and both
// fields hold text; an off rule keeps no texts.
[[nodiscard]] FilterRules FilterRulesFromRows(const std::array<FilterRow, 3>& rows);

// The checks the filter dialog makes on every change of a field. A position
// is a whole number above 0 (decimal, or "$" and hexadecimal digits); a value
// is hexadecimal from 0 to FF.
[[nodiscard]] bool IsFilterPositionText(const QString& text);
[[nodiscard]] bool IsFilterValueText(const QString& text);

} // namespace ostrel
