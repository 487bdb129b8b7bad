// libFuzzer target for Tamrel_S's display filter: any field texts and any
// chunk. With no rule on every chunk is shown; otherwise a chunk is shown
// when any rule that is on is satisfied; a rule whose fields pass the
// dialog's checks is satisfied by the chunk built to hold its value.
#include "FilterField.h"
#include "FuzzRequire.h"
#include "tcpmon/ReceiveFilter.h"

#include "platform/Conversions.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

using namespace tamrel;

namespace {

void TcpFilter(FuzzedDataProvider& input, const std::vector<std::uint8_t>& frame)
{
    std::array<FilterRuleInput, 3> rules;
    for (FilterRuleInput& rule : rules)
        rule = {input.ConsumeBool(), FilterField(input), FilterField(input)};
    const std::span<const std::uint8_t> chunk(frame);
    bool anyOn = false;
    bool any = false;
    for (const FilterRuleInput& rule : rules) {
        anyOn = anyOn || rule.on;
        any = any || (rule.on && FilterRuleSatisfied(chunk, rule.position, rule.value));
    }
    FUZZ_REQUIRE(PassesDisplayFilter(chunk, rules) == (!anyOn || any));

    const FilterRuleInput& rule = rules[0];
    if (!IsFilterPositionTextOrEmpty(rule.position) || !IsFilterValueTextOrEmpty(rule.value) || rule.position.isEmpty()
        || rule.value.isEmpty())
        return;
    const int position = *TryStrToInt(rule.position);
    if (position > 600)
        return;
    std::vector<std::uint8_t> holding = frame;
    holding.resize(std::max(holding.size(), static_cast<std::size_t>(position)), 0);
    holding[static_cast<std::size_t>(position) - 1]
        = static_cast<std::uint8_t>(*TryStrToInt(QLatin1Char('$') + rule.value));
    FUZZ_REQUIRE(FilterRuleSatisfied(holding, rule.position, rule.value));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::vector<std::uint8_t> frame = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<int>(0, 64));
    TcpFilter(input, frame);
    return 0;
}
