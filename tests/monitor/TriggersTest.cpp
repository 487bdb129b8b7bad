#include "monitor/Triggers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace monitor;

namespace {

// A rule made from the texts, enabled; fails the test when they are refused.
TriggerRule Trigger(const char* pattern, const char* response)
{
    TriggerRule rule;
    const TriggerValidation result = ValidateTrigger(rule, QString::fromUtf8(pattern), QString::fromUtf8(response));
    EXPECT_TRUE(result.ok) << pattern << " -> " << response << ": " << result.message.toStdString();
    rule.Enabled = true;
    return rule;
}

bool Matches(const TriggerRule& rule, std::vector<std::uint8_t> frame)
{
    return TriggerMatches(rule, frame.data(), frame.size());
}

TEST(Triggers, ValidationMessagesInTheirOrder)
{
    const std::string longText = [] {
        std::string text;
        for (int i = 0; i < 256; ++i)
            text += "01 ";
        return text;
    }();
    const std::string longest = longText.substr(0, 255 * 3 - 1); // 255 pairs
    struct Case {
        std::string pattern;
        std::string response;
        QString message; // empty: accepted
    };
    const Case cases[] = {
        {"", "01", TriggerMessage::Empty},
        {"01", "", TriggerMessage::Empty},
        {longText, "01", TriggerMessage::TooLong},
        {"01", longText, TriggerMessage::TooLong},
        {longText.substr(0, 256 * 3 - 1), "", TriggerMessage::Empty}, // emptiness is checked first
        {longest, longest, QString()},
        {"01 ?? ?? 02", "01", TriggerMessage::TwoWildcards},
        {"01 ** 02 ??", "01", TriggerMessage::TwoWildcards},
        {"01 ** 02 **", "zz", TriggerMessage::TwoWildcards}, // the pattern is read before the response
        {"01 0G", "01", TriggerMessage::PatternInvalid},
        {"01 ?*", "01", TriggerMessage::PatternInvalid},
        {std::string("01 \0" "1", 5), "01", TriggerMessage::PatternFormat},
        {"01", "01 zz", TriggerMessage::ResponseInvalid},
        {"01", "01 ??", TriggerMessage::ResponseInvalid},
        {"01", std::string("\0" "1", 2), TriggerMessage::ResponseFormat},
        {"7", "7", QString()},
        {"0a 0b", "10 49 01 4A 16", QString()},
    };
    for (const Case& c : cases) {
        TriggerRule rule;
        const TriggerValidation result = ValidateTrigger(
            rule, QString::fromUtf8(c.pattern.data(), static_cast<qsizetype>(c.pattern.size())),
            QString::fromUtf8(c.response.data(), static_cast<qsizetype>(c.response.size())));
        EXPECT_EQ(result.ok, c.message.isEmpty()) << c.pattern.substr(0, 20) << " -> " << c.response.substr(0, 20);
        EXPECT_EQ(result.message, c.message) << c.pattern.substr(0, 20) << " -> " << c.response.substr(0, 20);
    }
}

TEST(Triggers, StoresPatternWildcardAndResponse)
{
    const TriggerRule rule = Trigger("68 ** 16", "10 49 01 4A 16");
    EXPECT_EQ(rule.PatternCount, 3);
    EXPECT_EQ(rule.MultiBytePos, 2);
    EXPECT_EQ(rule.OneBytePos, 0);
    EXPECT_EQ(rule.PatternBytes[0], 0x68);
    EXPECT_EQ(rule.PatternBytes[2], 0x16);
    ASSERT_EQ(rule.ResponseCount, 5);
    EXPECT_EQ(rule.ResponseBytes[3], 0x4A);

    // A refused edit leaves the rule as it was; an accepted one replaces the
    // wildcard of the earlier text.
    TriggerRule kept = rule;
    EXPECT_FALSE(ValidateTrigger(kept, QStringLiteral("?? ??"), QStringLiteral("01")).ok);
    EXPECT_EQ(kept.MultiBytePos, 2);
    EXPECT_EQ(kept.PatternCount, 3);
    EXPECT_TRUE(ValidateTrigger(kept, QStringLiteral("01 ??"), QStringLiteral("7")).ok);
    EXPECT_EQ(kept.MultiBytePos, 0);
    EXPECT_EQ(kept.OneBytePos, 2);
    EXPECT_EQ(kept.ResponseCount, 0);
}

TEST(Triggers, WildcardMatching)
{
    struct Case {
        const char* pattern;
        std::vector<std::uint8_t> frame;
        bool matches;
    };
    const std::vector<std::uint8_t> big(1000, 0x55);
    const Case cases[] = {
        {"01 03 ?? 1A", {0x01, 0x03, 0x77, 0x1A}, true},
        {"01 03 ?? 1A", {0x01, 0x03, 0x77, 0x1A, 0x00}, false},
        {"01 03 ?? 1A", {0x01, 0x04, 0x77, 0x1A}, false},
        {"68 ** 16", {0x68, 0x00, 0x16}, true},
        {"68 ** 16", {0x68, 0x01, 0x02, 0x03, 0x16}, true},
        {"68 ** 16", {0x68, 0x16}, false},
        {"68 ** 16", {0x68, 0x01, 0x02, 0x03, 0x17}, false},
        {"68 ** 16", {0x69, 0x01, 0x16}, false},
        {"**", {0x00}, true},
        {"**", big, true},
        {"??", {0xFE}, true},
        {"??", {0xFE, 0x01}, false},
        {"** 16", {0x16}, false},
        {"** 16", {0x01, 0x16}, true},
        {"68 **", {0x68, 0x01, 0x02}, true},
        {"68 **", {0x67, 0x01}, false},
        {"0a 0b", {0x0A, 0x0B}, true},
        {"0a 0b", {0x0A, 0x0B, 0x0B}, false},
        {"7", {0x07}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Matches(Trigger(c.pattern, "01"), c.frame), c.matches) << c.pattern << ", " << c.frame.size() << " bytes";
}

TEST(Triggers, FirstEnabledMatchingRuleWins)
{
    const std::vector<std::uint8_t> frame{0x68, 0x01, 0x16};
    TriggerRules rules{Trigger("68 ** 16", "01"), Trigger("68 ?? 16", "02"), Trigger("**", "03")};
    EXPECT_EQ(MatchTriggers(rules, frame.data(), frame.size()), 0);
    rules[0].Enabled = false;
    EXPECT_EQ(MatchTriggers(rules, frame.data(), frame.size()), 1);

    // A failed "**" test of rule 1 does not disturb the "??" test of rule 2.
    rules = {Trigger("68 ** 17", "01"), Trigger("68 ?? 16", "02"), TriggerRule{}};
    EXPECT_EQ(MatchTriggers(rules, frame.data(), frame.size()), 1);

    // An empty response still stops the search: rule 3 is not tried.
    rules = {TriggerRule{}, Trigger("68 ?? 16", "7"), Trigger("**", "03")};
    ASSERT_EQ(MatchTriggers(rules, frame.data(), frame.size()), 1);
    EXPECT_EQ(rules[1].ResponseCount, 0);

    EXPECT_EQ(MatchTriggers(TriggerRules{}, frame.data(), frame.size()), std::nullopt);
    EXPECT_FALSE(AnyTriggerEnabled(TriggerRules{}));
    EXPECT_TRUE(AnyTriggerEnabled(rules));
}

TEST(Triggers, OkProcessesEveryRowAndCollectsTheMessages)
{
    TriggerRules rules{Trigger("01", "02"), Trigger("03", "04"), Trigger("05", "06")};
    const QStringList messages = ApplyTriggerRows(rules, {{
        {true, QStringLiteral("?? ??"), QStringLiteral("01")},
        {false, QStringLiteral("01"), QStringLiteral("02")},
        {true, QString(), QStringLiteral("02")},
    }});
    EXPECT_EQ(messages, (QStringList{TriggerMessage::TwoWildcards, TriggerMessage::Empty}));
    EXPECT_FALSE(rules[0].Enabled);
    EXPECT_FALSE(rules[1].Enabled);
    EXPECT_FALSE(rules[2].Enabled);

    EXPECT_TRUE(ApplyTriggerRows(rules, {{{true, QStringLiteral("68 ** 16"), QStringLiteral("10 49 01 4A 16")}, {}, {}}})
                    .isEmpty());
    EXPECT_TRUE(rules[0].Enabled);
    EXPECT_FALSE(rules[1].Enabled);
}

} // namespace
