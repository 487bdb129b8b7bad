#include "udpmon/DisplayFilter.h"
#include "udpmon/FrameLogPeriod.h"
#include "udpmon/NetworkForm.h"
#include "udpmon/OstrelState.h"
#include "udpmon/ReceivePass.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

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

// The network dialog's form: groups must be multicast addresses given as
// addresses (never looked up), an IPv6 group needs both families, and each
// interface named must exist.
TEST(NetworkForm, ChecksGroupsAndInterfaces)
{
    struct Case {
        ostrel::NetworkForm form;
        const char* message; // part of it; empty: accepted
    };
    const Case cases[] = {
        {{false, QStringLiteral(" 239.1.2.3, ff15::1%lo  224.0.0.251 "), QStringLiteral("lo"), 1, QString()}, ""},
        {{false, QString(), QString(), -1, QStringLiteral("lo")}, ""},
        {{false, QStringLiteral("10.1.2.3"), QString(), -1, QString()}, "10.1.2.3 不是组播地址"},
        {{false, QStringLiteral("localhost"), QString(), -1, QString()}, "localhost 不是组播地址"},
        {{true, QStringLiteral("ff15::1"), QString(), -1, QString()}, "只监听IPv4时不能加入IPv6组播组 ff15::1"},
        {{false, QStringLiteral("239.1.2.3%no-such-if0"), QString(), -1, QString()}, "没有接口 no-such-if0"},
        {{false, QStringLiteral("239.1.2.3"), QStringLiteral("no-such-if0"), -1, QString()}, "没有接口 no-such-if0"},
        {{false, QString(), QString(), -1, QStringLiteral("no-such-if1")}, "没有接口 no-such-if1"},
    };
    for (const Case& c : cases) {
        const QString message = ostrel::CheckNetworkForm(c.form);
        if (*c.message == '\0')
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
        else
            EXPECT_TRUE(message.contains(QString::fromUtf8(c.message))) << message.toStdString();
    }
    ostrel::OstrelState state;
    ostrel::ApplyNetworkForm(state, cases[0].form);
    EXPECT_EQ(state.Groups, QStringList({QStringLiteral("239.1.2.3"), QStringLiteral("ff15::1%lo"),
                                         QStringLiteral("224.0.0.251")}));
    EXPECT_EQ(ostrel::SplitGroupEntry(state.Groups[1], state.GroupInterface).interfaceName, QStringLiteral("lo"));
    EXPECT_EQ(ostrel::SplitGroupEntry(state.Groups[0], state.GroupInterface).interfaceName, QStringLiteral("lo"));
    EXPECT_EQ(ostrel::NetworkFormOf(state).groups, QStringLiteral("239.1.2.3 ff15::1%lo 224.0.0.251"));
}
