#include "tcpmon/ReceiveFilter.h"

#include "platform/Conversions.h"
#include "tcpmon/TamrelState.h"

#include <optional>

namespace tamrel {

namespace {

std::optional<int> PositionOf(const QString& text)
{
    const std::optional<int> position = TryStrToInt(text);
    if (!position || *position <= 0)
        return std::nullopt;
    return position;
}

std::optional<int> ByteValueOf(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<int> value = TryStrToInt(QLatin1Char('$') + text);
    if (!value || *value < 0 || *value > 0xFF)
        return std::nullopt;
    return value;
}

} // namespace

bool FilterRuleSatisfied(std::span<const std::uint8_t> chunk, const QString& position, const QString& value)
{
    const std::optional<int> p = PositionOf(position);
    const std::optional<int> v = ByteValueOf(value);
    if (!p || !v || static_cast<std::size_t>(*p) > chunk.size())
        return false;
    return chunk[static_cast<std::size_t>(*p - 1)] == *v;
}

bool PassesDisplayFilter(std::span<const std::uint8_t> chunk, const std::array<FilterRuleInput, 3>& rules)
{
    bool anyOn = false;
    for (const FilterRuleInput& rule : rules) {
        if (!rule.on)
            continue;
        anyOn = true;
        if (FilterRuleSatisfied(chunk, rule.position, rule.value))
            return true;
    }
    return !anyOn;
}

bool IsFilterPositionTextOrEmpty(const QString& text)
{
    return text.isEmpty() || PositionOf(text).has_value();
}

bool IsFilterValueTextOrEmpty(const QString& text)
{
    return text.isEmpty() || ByteValueOf(text).has_value();
}

monitor::ReceivePolicy TamrelReceivePolicy(const TamrelState& state, std::function<std::array<FilterRuleInput, 3>()> rules,
                                           const monitor::TriggerAnswers& triggers,
                                           std::function<void(std::span<const std::uint8_t>)> send)
{
    monitor::ReceivePolicy policy;
    policy.captureFirst = true;
    policy.lineRuleAfter = true;
    policy.linesMadeLate = true;
    policy.emptyFramesMakeLines = true;
    policy.byteFilter = [&state, rules = std::move(rules)](std::span<const std::uint8_t> chunk) {
        const bool anyRule = state.FilterRuleOn[0] || state.FilterRuleOn[1] || state.FilterRuleOn[2];
        return !anyRule || PassesDisplayFilter(chunk, rules());
    };
    policy.answer = [&triggers, send = std::move(send)](const monitor::ReceivedFrame& frame) {
        if (const auto response = triggers.Answer(frame.bytes); response && !response->empty())
            send(*response);
    };
    return policy;
}

} // namespace tamrel
