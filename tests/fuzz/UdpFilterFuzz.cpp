// libFuzzer target for Ostrel's display filter: any field texts and any
// line. Rules that are on act each on their own (the line is shown when any
// one of them finds its value); a rule whose fields pass the dialog's checks
// finds a two-digit value at its position in the frame built to hold it.
#include "FilterField.h"
#include "FuzzRequire.h"
#include "udpmon/DisplayFilter.h"

#include "frame/HexText.h"
#include "platform/Conversions.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace ostrel;

namespace {

void UdpFilter(FuzzedDataProvider& input, const std::vector<std::uint8_t>& frame, const QString& line)
{
    std::array<FilterRow, 3> rows;
    for (FilterRow& row : rows)
        row = {input.ConsumeBool(), FilterField(input), FilterField(input)};
    const FilterRules rules = FilterRulesFromRows(rows);
    bool any = false;
    for (std::size_t k = 0; k < rules.size(); ++k) {
        FUZZ_REQUIRE(rules[k].FilterRuleOn == (rows[k].checked && !rows[k].position.isEmpty() && !rows[k].value.isEmpty()));
        FilterRules alone{};
        alone[k] = rules[k];
        any = any || ApplyDisplayFilter(alone, line);
    }
    FUZZ_REQUIRE(ApplyDisplayFilter(rules, line) == any);
    if (!AnyFilterRuleOn(rules))
        FUZZ_REQUIRE(!any);

    // A checked rule with good fields and a two-digit value shows the frame
    // that holds that value at that position.
    const FilterRow& row = rows[0];
    if (!row.checked || !IsFilterPositionText(row.position) || !IsFilterValueText(row.value) || row.value.size() != 2)
        return;
    const int position = *TryStrToInt(row.position);
    if (position > 600)
        return;
    std::vector<std::uint8_t> holding = frame;
    holding.resize(std::max(holding.size(), static_cast<std::size_t>(position)), 0);
    holding[static_cast<std::size_t>(position) - 1]
        = static_cast<std::uint8_t>(*TryStrToInt(QLatin1Char('$') + row.value));
    const std::string text = BytesToHexText(holding);
    FUZZ_REQUIRE(ApplyDisplayFilter(rules, QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::vector<std::uint8_t> frame = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<int>(0, 64));
    const std::string text = BytesToHexText(frame);
    const bool typed = input.ConsumeBool();
    const std::string other = typed ? input.ConsumeRandomLengthString(200) : std::string();
    const QString line = typed ? QString::fromUtf8(other.data(), static_cast<qsizetype>(other.size()))
                               : QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    UdpFilter(input, frame, line);
    return 0;
}
