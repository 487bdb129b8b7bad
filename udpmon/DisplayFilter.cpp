#include "udpmon/DisplayFilter.h"

#include "platform/Conversions.h"

#include <algorithm>

namespace ostrel {

bool AnyFilterRuleOn(const FilterRules& rules)
{
    return std::any_of(rules.begin(), rules.end(), [](const FilterRule& rule) { return rule.FilterRuleOn; });
}

bool ApplyDisplayFilter(const FilterRules& rules, QStringView hexText)
{
    for (const FilterRule& rule : rules) {
        if (!rule.FilterRuleOn)
            continue;
        const std::optional<int> position = TryStrToInt(rule.FilterPosition);
        if (!position || *position <= 0)
            continue;
        const qint64 start = 3 * static_cast<qint64>(*position) - 3;
        const QStringView pair = start < hexText.size() ? hexText.mid(start, 2) : QStringView();
        if (pair.compare(rule.FilterValue, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

FilterRules FilterRulesFromRows(const std::array<FilterRow, 3>& rows)
{
    FilterRules rules;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const FilterRow& row = rows[k];
        rules[k].FilterRuleOn = row.checked && !row.position.isEmpty() && !row.value.isEmpty();
        if (rules[k].FilterRuleOn) {
            rules[k].FilterPosition = row.position;
            rules[k].FilterValue = row.value;
        }
    }
    return rules;
}

bool IsFilterPositionText(const QString& text)
{
    const std::optional<int> position = TryStrToInt(text);
    return position && *position > 0;
}

bool IsFilterValueText(const QString& text)
{
    const std::optional<int> value = TryStrToInt(QLatin1Char('$') + text);
    return value && *value >= 0 && *value <= 0xFF;
}

bool ShowsLine(const FilterRules& rules, QStringView hexText)
{
    return !AnyFilterRuleOn(rules) || ApplyDisplayFilter(rules, hexText);
}

} // namespace ostrel
