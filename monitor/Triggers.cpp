#include "monitor/Triggers.h"

#include "frame/HexText.h"

#include <QByteArray>

#include <algorithm>
#include <string_view>

namespace monitor {

namespace {

std::optional<std::uint8_t> HexPair(char high, char low)
{
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    const int h = digit(high);
    const int l = digit(low);
    if (h < 0 || l < 0)
        return std::nullopt;
    return static_cast<std::uint8_t>(h * 16 + l);
}

// Reads the pattern pairs into the rule; the message of the first bad pair.
std::optional<QString> ReadPattern(TriggerRule& rule, std::string_view text)
{
    const std::size_t pairs = FramePairCount(text.size());
    for (std::size_t k = 0; k < pairs; ++k) {
        const char first = text[3 * k];
        const char second = text[3 * k + 1];
        const auto position = static_cast<std::uint8_t>(k + 1);
        if (first == '\0')
            return TriggerMessage::PatternFormat;
        const bool one = first == '?' && second == '?';
        const bool multi = first == '*' && second == '*';
        if (one || multi) {
            if (rule.OneBytePos != 0 || rule.MultiBytePos != 0)
                return TriggerMessage::TwoWildcards;
            (one ? rule.OneBytePos : rule.MultiBytePos) = position;
            continue;
        }
        const std::optional<std::uint8_t> byte = HexPair(first, second);
        if (!byte)
            return TriggerMessage::PatternInvalid;
        rule.PatternBytes[k] = *byte;
    }
    rule.PatternCount = static_cast<std::uint8_t>(pairs);
    return std::nullopt;
}

std::optional<QString> ReadResponse(TriggerRule& rule, std::string_view text)
{
    const FrameParseResult parsed = HexTextToBytes(text);
    switch (parsed.kind) {
    case FrameParseResult::Kind::MissingPair:
        return TriggerMessage::ResponseFormat;
    case FrameParseResult::Kind::BadHexPair:
        return TriggerMessage::ResponseInvalid;
    case FrameParseResult::Kind::Ok:
        break;
    }
    std::copy(parsed.bytes.begin(), parsed.bytes.end(), rule.ResponseBytes.begin());
    rule.ResponseCount = static_cast<std::uint8_t>(parsed.bytes.size());
    return std::nullopt;
}

} // namespace

TriggerValidation ValidateTrigger(TriggerRule& rule, const QString& pattern, const QString& response)
{
    const QByteArray patternBytes = pattern.toUtf8();
    const QByteArray responseBytes = response.toUtf8();
    if (patternBytes.isEmpty() || responseBytes.isEmpty())
        return {false, TriggerMessage::Empty};
    if (FramePairCount(static_cast<std::size_t>(patternBytes.size())) > TriggerFrameLimit
        || FramePairCount(static_cast<std::size_t>(responseBytes.size())) > TriggerFrameLimit)
        return {false, TriggerMessage::TooLong};

    TriggerRule checked = rule;
    checked.OneBytePos = 0;
    checked.MultiBytePos = 0;
    std::optional<QString> failure = ReadPattern(checked, std::string_view(patternBytes.constData(), patternBytes.size()));
    if (!failure)
        failure = ReadResponse(checked, std::string_view(responseBytes.constData(), responseBytes.size()));
    if (failure)
        return {false, *failure};
    rule = checked;
    return {true, QString()};
}

bool TriggerMatches(const TriggerRule& rule, const std::uint8_t* data, std::size_t n)
{
    const std::size_t count = rule.PatternCount;
    const auto* pattern = rule.PatternBytes.data();
    if (rule.MultiBytePos != 0) {
        const std::size_t w = rule.MultiBytePos;
        if (n < count)
            return false;
        const std::size_t tail = count - w;
        return std::equal(pattern, pattern + (w - 1), data)
            && std::equal(pattern + w, pattern + count, data + (n - tail));
    }
    if (n != count)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (i + 1 != rule.OneBytePos && data[i] != pattern[i])
            return false;
    }
    return true;
}

std::optional<int> MatchTriggers(std::span<const TriggerRule> rules, const std::uint8_t* data, std::size_t n)
{
    for (std::size_t k = 0; k < rules.size(); ++k) {
        if (rules[k].Enabled && TriggerMatches(rules[k], data, n))
            return static_cast<int>(k);
    }
    return std::nullopt;
}

std::optional<std::span<const std::uint8_t>> TriggerResponse(std::span<const TriggerRule> rules,
                                                             std::span<const std::uint8_t> frame)
{
    const std::optional<int> rule = MatchTriggers(rules, frame.data(), frame.size());
    if (!rule)
        return std::nullopt;
    const TriggerRule& matched = rules[static_cast<std::size_t>(*rule)];
    return std::span<const std::uint8_t>(matched.ResponseBytes.data(), matched.ResponseCount);
}

QStringList ApplyTriggerRows(TriggerRules& rules, const TriggerRows& rows)
{
    QStringList messages;
    for (std::size_t k = 0; k < rules.size(); ++k) {
        if (!rows[k].checked) {
            rules[k].Enabled = false;
            continue;
        }
        const TriggerValidation result = ValidateTrigger(rules[k], rows[k].pattern, rows[k].response);
        rules[k].Enabled = result.ok;
        if (!result.ok)
            messages.append(result.message);
    }
    return messages;
}

bool AnyTriggerEnabled(const TriggerRules& rules)
{
    return std::any_of(rules.begin(), rules.end(), [](const TriggerRule& rule) { return rule.Enabled; });
}

} // namespace monitor
