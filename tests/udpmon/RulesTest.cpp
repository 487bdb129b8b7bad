#include "udpmon/DisplayFilter.h"
#include "udpmon/FrameLogPeriod.h"
#include "udpmon/Triggers.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ostrel;

namespace {

FilterRules Rules(std::initializer_list<std::pair<const char*, const char*>> on)
{
    FilterRules rules;
    std::size_t k = 0;
    for (const auto& [position, value] : on) {
        if (position != nullptr)
            rules[k] = {true, QString::fromUtf8(position), QString::fromUtf8(value)};
        ++k;
    }
    return rules;
}

TEST(DisplayFilter, ComparesTheTwoDigitsOfOneByteIgnoringCase)
{
    struct Case {
        const char* position;
        const char* value;
        const char* hex;
        bool shown;
    };
    const Case cases[] = {
        {"1", "68", "68 0A 0A 68 ", true},
        {"1", "68", "10 49 01 4A 16 ", false},
        {"2", "0a", "68 0A 0A 68 ", true},   // lower-case value
        {"2", "0A", "68 0a ", true},         // lower-case text
        {"2", "A", "68 0A ", false},         // one digit never matches
        {"5", "16", "68 0A 0A 68 ", false},  // frame shorter than the position
        {"4", "68", "68 0A 0A 68", true},    // last byte without its space
        {"$10", "FF", "00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E FF ", true},
        {"2147483647", "00", "00 ", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ApplyDisplayFilter(Rules({{c.position, c.value}}), QString::fromUtf8(c.hex)), c.shown)
            << c.position << " " << c.value << " in " << c.hex;
    }
}

TEST(DisplayFilter, RulesAreJoinedByOrAndOffRulesTakeNoPart)
{
    const FilterRules both = Rules({{"1", "68"}, {"1", "10"}});
    EXPECT_TRUE(ApplyDisplayFilter(both, u"68 0A "));
    EXPECT_TRUE(ApplyDisplayFilter(both, u"10 49 "));
    EXPECT_FALSE(ApplyDisplayFilter(both, u"01 03 "));

    const FilterRules third = Rules({{nullptr, nullptr}, {nullptr, nullptr}, {"2", "03"}});
    EXPECT_TRUE(ApplyDisplayFilter(third, u"01 03 "));
    EXPECT_FALSE(ApplyDisplayFilter(third, u"03 01 "));
    EXPECT_TRUE(AnyFilterRuleOn(third));
    EXPECT_FALSE(AnyFilterRuleOn(FilterRules{}));
}

TEST(DisplayFilter, DialogFieldChecks)
{
    for (const char* good : {"1", "16", "$10", "+3", "2147483647"})
        EXPECT_TRUE(IsFilterPositionText(QString::fromUtf8(good))) << good;
    for (const char* bad : {"", "0", "-", "-1", "1G", "1.5", "$", "x"})
        EXPECT_FALSE(IsFilterPositionText(QString::fromUtf8(bad))) << bad;
    for (const char* good : {"0", "A", "0a", "FF", "ff", "00"})
        EXPECT_TRUE(IsFilterValueText(QString::fromUtf8(good))) << good;
    for (const char* bad : {"", "1G", "100", "G", "-1", "FFFFFFFF", " 1"})
        EXPECT_FALSE(IsFilterValueText(QString::fromUtf8(bad))) << bad;
}

TEST(DisplayFilter, OkTurnsOnlyCompleteCheckedRowsOn)
{
    const FilterRules rules = FilterRulesFromRows({{
        {true, QStringLiteral("1"), QStringLiteral("68")},
        {true, QStringLiteral("2"), QString()},
        {false, QStringLiteral("3"), QStringLiteral("16")},
    }});
    EXPECT_TRUE(rules[0].FilterRuleOn);
    EXPECT_EQ(rules[0].FilterPosition, QStringLiteral("1"));
    EXPECT_EQ(rules[0].FilterValue, QStringLiteral("68"));
    EXPECT_FALSE(rules[1].FilterRuleOn);
    EXPECT_FALSE(rules[2].FilterRuleOn);
}

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

TEST(FrameLogPeriod, MinutesToMilliseconds)
{
    EXPECT_EQ(SavePeriodMs(QStringLiteral("0.5")), 30000);
    EXPECT_EQ(SavePeriodMs(QStringLiteral("60")), 3600000);
    EXPECT_EQ(SavePeriodMs(QStringLiteral("0.1")), 6000);
    EXPECT_EQ(SavePeriodMs(QStringLiteral("0")), 0);
    EXPECT_EQ(SavePeriodMs(QStringLiteral("0.00001")), 0); // 0.6 ms cut to 0
    EXPECT_EQ(SavePeriodMs(QStringLiteral("71582")), 4294920000LL);
    EXPECT_EQ(SavePeriodMs(QStringLiteral("71583")), std::nullopt);
    EXPECT_EQ(SavePeriodMs(QStringLiteral("99999")), std::nullopt);
    EXPECT_EQ(SavePeriodMs(QStringLiteral("-1")), std::nullopt);
    try {
        (void)SavePeriodMs(QStringLiteral("abc"));
        ADD_FAILURE() << "a text that is not a number was taken";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
}

} // namespace
