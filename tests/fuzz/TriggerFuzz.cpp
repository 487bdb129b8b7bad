// libFuzzer target for the trigger rules: any pattern and response text is
// either refused with a message, leaving the rule as it was, or stored; a
// stored pattern matches the frame built from its own bytes with its
// wildcard filled, and any datagram is matched without reading past it.
#include "FuzzRequire.h"
#include "monitor/Triggers.h"

#include "frame/HexText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace monitor;

namespace {

QString Text(FuzzedDataProvider& input)
{
    const std::string bytes = input.ConsumeRandomLengthString(800);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool SameRule(const TriggerRule& a, const TriggerRule& b)
{
    return a.Enabled == b.Enabled && a.PatternCount == b.PatternCount && a.PatternBytes == b.PatternBytes
        && a.OneBytePos == b.OneBytePos && a.MultiBytePos == b.MultiBytePos && a.ResponseCount == b.ResponseCount
        && a.ResponseBytes == b.ResponseBytes;
}

// The frame the pattern stands for, its wildcard filled with `fill`
// (one byte for "??", the whole run for "**").
std::vector<std::uint8_t> FrameOf(const TriggerRule& rule, const std::vector<std::uint8_t>& fill)
{
    std::vector<std::uint8_t> frame;
    for (std::size_t k = 0; k < rule.PatternCount; ++k) {
        if (k + 1 == rule.OneBytePos)
            frame.push_back(fill.empty() ? 0 : fill.front());
        else if (k + 1 == rule.MultiBytePos)
            frame.insert(frame.end(), fill.begin(), fill.end());
        else
            frame.push_back(rule.PatternBytes[k]);
    }
    return frame;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString pattern = Text(input);
    const QString response = Text(input);
    std::vector<std::uint8_t> fill = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<int>(1, 40));
    if (fill.empty())
        fill.push_back(0x5A);
    const std::vector<std::uint8_t> datagram = input.ConsumeRemainingBytes<std::uint8_t>();

    TriggerRule rule;
    rule.PatternCount = 2;
    rule.PatternBytes[0] = 0x01;
    rule.PatternBytes[1] = 0x03;
    const TriggerRule before = rule;
    const TriggerValidation result = ValidateTrigger(rule, pattern, response);
    if (!result.ok) {
        FUZZ_REQUIRE(!result.message.isEmpty());
        FUZZ_REQUIRE(SameRule(rule, before));
        return 0;
    }
    FUZZ_REQUIRE(rule.OneBytePos == 0 || rule.MultiBytePos == 0);
    FUZZ_REQUIRE(rule.OneBytePos <= rule.PatternCount && rule.MultiBytePos <= rule.PatternCount);
    const QByteArray responseText = response.toUtf8();
    const FrameParseResult parsed = HexTextToBytes(std::string_view(responseText.constData(), responseText.size()));
    FUZZ_REQUIRE(parsed.ok() && parsed.bytes.size() == rule.ResponseCount);
    FUZZ_REQUIRE(std::equal(parsed.bytes.begin(), parsed.bytes.end(), rule.ResponseBytes.begin()));

    const std::vector<std::uint8_t> own = FrameOf(rule, fill);
    FUZZ_REQUIRE(TriggerMatches(rule, own.data(), own.size()));
    rule.Enabled = true;
    TriggerRules rules{};
    rules[1] = rule;
    FUZZ_REQUIRE(MatchTriggers(rules, own.data(), own.size()) == 1);

    // Any datagram: a match has the pattern's length (or more, with "**")
    // and its fixed bytes where they belong.
    if (TriggerMatches(rule, datagram.data(), datagram.size())) {
        if (rule.MultiBytePos == 0)
            FUZZ_REQUIRE(datagram.size() == rule.PatternCount);
        else
            FUZZ_REQUIRE(datagram.size() >= rule.PatternCount);
        const std::size_t head = rule.MultiBytePos != 0 ? rule.MultiBytePos - 1u : rule.PatternCount;
        for (std::size_t k = 0; k < head; ++k)
            FUZZ_REQUIRE(k + 1 == rule.OneBytePos || datagram[k] == rule.PatternBytes[k]);
    }
    return 0;
}
