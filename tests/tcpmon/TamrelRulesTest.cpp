#include "tcpmon/LineLimits.h"
#include "tcpmon/MainLayout.h"
#include "tcpmon/ReceiveFilter.h"
#include "tcpmon/SendRules.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/TamrelSettings.h"

#include "frame/LineRandom.h"
#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace tamrel;

namespace {

using Bytes = std::vector<std::uint8_t>;

} // namespace

// ---- the numeric display filter ----

struct FilterCase {
    Bytes chunk;
    const char* position;
    const char* value;
    bool satisfied;
};

class FilterRuleTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterRuleTest, ComparesTheByteAtThePositionAsANumber)
{
    const FilterCase& c = GetParam();
    EXPECT_EQ(FilterRuleSatisfied(c.chunk, QString::fromLatin1(c.position), QString::fromLatin1(c.value)), c.satisfied)
        << "position '" << c.position << "' value '" << c.value << "'";
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterRuleTest, ::testing::Values(
    FilterCase{{0x01, 0x03, 0x1A}, "2", "3", true},     // one digit is compared as a number
    FilterCase{{0x01, 0x03, 0x1A}, "2", "03", true},
    FilterCase{{0x01, 0x03, 0x1A}, "3", "1a", true},    // lower case
    FilterCase{{0x01, 0x0A}, "2", "a", true},
    FilterCase{{0x01, 0x0A}, "2", "0A", true},
    FilterCase{{0x01}, "2", "3", false},                // the chunk is too short
    FilterCase{{}, "1", "0", false},                    // the empty line of a closing client
    FilterCase{{0x01, 0x03}, "", "03", false},          // empty fields
    FilterCase{{0x01, 0x03}, "2", "", false},
    FilterCase{{0x01, 0x03}, "0", "01", false},         // not a position
    FilterCase{{0x01, 0x03}, "x", "01", false},
    FilterCase{{0x01, 0x03}, "2", "1G", false},         // not a byte value
    FilterCase{{0x01, 0x03}, "2", "103", false},
    FilterCase{{0x68, 0x0A}, "1", "68", true},
    FilterCase{{0x10, 0x49}, "1", "68", false}));

TEST(DisplayFilter, NoRuleOnShowsEverythingAndRulesAreJoinedByOr)
{
    const Bytes chunk{0x01, 0x03, 0x1A};
    std::array<FilterRuleInput, 3> rules{};
    EXPECT_TRUE(PassesDisplayFilter(chunk, rules));

    // Parameters of a rule that is off count for nothing.
    rules[0] = {false, QStringLiteral("1"), QStringLiteral("FF")};
    EXPECT_TRUE(PassesDisplayFilter(chunk, rules));

    rules[0] = {true, QStringLiteral("1"), QStringLiteral("FF")};
    EXPECT_FALSE(PassesDisplayFilter(chunk, rules));
    rules[2] = {true, QStringLiteral("3"), QStringLiteral("1A")};
    EXPECT_TRUE(PassesDisplayFilter(chunk, rules));
    rules[1] = {true, QStringLiteral("2"), QStringLiteral("3")};
    EXPECT_TRUE(PassesDisplayFilter(chunk, rules));
    EXPECT_FALSE(PassesDisplayFilter(Bytes{0x02}, rules));
}

TEST(DisplayFilter, DialogFieldChecks)
{
    for (const char* good : {"", "1", "16", "$10", "+3"})
        EXPECT_TRUE(IsFilterPositionTextOrEmpty(QString::fromLatin1(good))) << good;
    for (const char* bad : {"0", "-", "-1", "1x", "abc"})
        EXPECT_FALSE(IsFilterPositionTextOrEmpty(QString::fromLatin1(bad))) << bad;
    for (const char* good : {"", "0", "a", "0A", "ff", "FF"})
        EXPECT_TRUE(IsFilterValueTextOrEmpty(QString::fromLatin1(good))) << good;
    for (const char* bad : {"1G", "100", "-1", "$1", " 1"})
        EXPECT_FALSE(IsFilterValueTextOrEmpty(QString::fromLatin1(bad))) << bad;
}

// ---- the line a send takes, and what follows it ----

TEST(SendLineChoice, EachStyleTakesItsLine)
{
    LineRandom random;
    EXPECT_EQ(monitor::ChooseSendLine(StyleSingle, 3, 5, 1, random), 3);
    EXPECT_EQ(monitor::ChooseSendLine(StyleLoop, 3, 5, 1, random), 1);

    // The loop visits 0, 1, 2, 0, 1 over three lines.
    std::vector<int> visited;
    int loopLine = 0;
    for (int i = 0; i < 5; ++i) {
        visited.push_back(monitor::ChooseSendLine(StyleLoop, 0, 3, loopLine, random));
        loopLine = monitor::NextLoopLine(loopLine, 3);
    }
    EXPECT_EQ(visited, (std::vector<int>{0, 1, 2, 0, 1}));
    // A window that shrank under the loop sends it back to the top.
    EXPECT_EQ(monitor::NextLoopLine(7, 3), 0);
}

TEST(SendLineChoice, RandomStyleRepeatsTheSameSequenceEveryRun)
{
    LineRandom random;
    std::vector<int> chosen;
    for (int i = 0; i < 8; ++i)
        chosen.push_back(monitor::ChooseSendLine(StyleRandom, 0, 10, 0, random));
    EXPECT_EQ(chosen, (std::vector<int>{0, 0, 8, 2, 2, 6, 3, 1}));
}

TEST(SendLineChoice, RandomStyleTrimsAboveAThousandLines)
{
    EXPECT_FALSE(RandomStyleTrimsFirstLine(1000));
    EXPECT_TRUE(RandomStyleTrimsFirstLine(1001));
}

struct ParseCase {
    QString line;
    SendLineParse::Kind kind;
    Bytes bytes;
};

TEST(SendLineParsing, TheLineIsConvertedAsItStands)
{
    const std::vector<ParseCase> cases{
        {QStringLiteral("01 03 1A"), SendLineParse::Kind::Frame, {0x01, 0x03, 0x1A}},
        {QStringLiteral("01-03-1a"), SendLineParse::Kind::Frame, {0x01, 0x03, 0x1A}},
        {QStringLiteral("01 03 1"), SendLineParse::Kind::Frame, {0x01, 0x03}},
        // No comment or double-blank clean-up here.
        {QStringLiteral("01  03"), SendLineParse::Kind::FormatError, {}},
        {QStringLiteral("01 02 // x"), SendLineParse::Kind::FormatError, {}},
        {QStringLiteral("1 03"), SendLineParse::Kind::FormatError, {}},
        {QStringLiteral(""), SendLineParse::Kind::Nothing, {}},
        {QStringLiteral("7"), SendLineParse::Kind::Nothing, {}},
        {QStringLiteral("报文"), SendLineParse::Kind::FormatError, {}},
    };
    for (const ParseCase& c : cases) {
        const SendLineParse parsed = ParseSendLine(c.line);
        EXPECT_EQ(parsed.kind, c.kind) << c.line.toStdString();
        EXPECT_EQ(parsed.bytes, c.bytes) << c.line.toStdString();
    }
}

TEST(SendLineParsing, AFrameLongerThanTheBufferIsRefused)
{
    QString line;
    for (int i = 0; i < kFrameBufferLimit; ++i)
        line += QStringLiteral("AB ");
    line.chop(1); // 1535 characters, 512 pairs
    EXPECT_EQ(ParseSendLine(line).bytes.size(), 512u);
    EXPECT_EQ(ParseSendLine(line + QStringLiteral(" ")).kind, SendLineParse::Kind::Frame); // still 512
    // 1538 characters hold 513 pairs.
    EXPECT_EQ(ParseSendLine(line + QStringLiteral(" CD")).kind, SendLineParse::Kind::FormatError);
    EXPECT_EQ(ParseSendLine(line + QStringLiteral(" CD")).bytes.size(), 0u);
}

// ---- timers and the send style dialog ----

TEST(TimerPeriod, WholeMillisecondsHeldToThe32BitRange)
{
    EXPECT_EQ(TimerPeriodMs(0.5, 1000.0), 500);
    EXPECT_EQ(TimerPeriodMs(1.0009, 1000.0), 1000);
    EXPECT_EQ(TimerPeriodMs(1.5, 1000.0), 1500);
    EXPECT_EQ(TimerPeriodMs(0.0005, 1000.0), 0);
    EXPECT_EQ(TimerPeriodMs(0.5, 60000.0), 30000);
    EXPECT_EQ(TimerPeriodMs(35791.0, 60000.0), 35791 * 60000);
    EXPECT_EQ(TimerPeriodMs(35792.0, 60000.0), INT_MAX);
    EXPECT_EQ(TimerPeriodMs(1e300 * 1e300, 1000.0), INT_MAX);
    EXPECT_EQ(TimerPeriodMs(-1.0, 60000.0), 0);
}

TEST(SendStyleDialog, IntervalTextCheckAndItsTwoMessages)
{
    EXPECT_EQ(CheckIntervalText(QStringLiteral("1")), IntervalTextCheck::Ok);
    EXPECT_EQ(CheckIntervalText(QStringLiteral("0")), IntervalTextCheck::Ok);
    EXPECT_EQ(CheckIntervalText(QStringLiteral("0.5")), IntervalTextCheck::Ok);
    EXPECT_EQ(CheckIntervalText(QStringLiteral("")), IntervalTextCheck::NotANumber);
    EXPECT_EQ(CheckIntervalText(QStringLiteral("1x")), IntervalTextCheck::NotANumber);
    EXPECT_EQ(CheckIntervalText(QStringLiteral("-2")), IntervalTextCheck::Negative);
    EXPECT_EQ(IntervalTextMessage(IntervalTextCheck::NotANumber), QStringLiteral("请输入正实数！"));
    EXPECT_EQ(IntervalTextMessage(IntervalTextCheck::Negative), QStringLiteral("请输入正实数!"));
}

TEST(SendStyleDialog, Confirmation)
{
    // The loop always runs on the timer and disables send now.
    SendStyleOutcome loop = ConfirmSendStyle(StyleLoop, false, 0.5);
    EXPECT_TRUE(loop.timerOn);
    EXPECT_EQ(loop.periodMs, 500);
    EXPECT_TRUE(loop.storeInterval);
    EXPECT_FALSE(loop.sendNowEnabled);

    SendStyleOutcome single = ConfirmSendStyle(StyleSingle, false, 3.0);
    EXPECT_FALSE(single.timerOn);
    EXPECT_FALSE(single.storeInterval);
    EXPECT_TRUE(single.sendNowEnabled);

    SendStyleOutcome random = ConfirmSendStyle(StyleRandom, true, 0.0);
    EXPECT_TRUE(random.timerOn);
    EXPECT_EQ(random.periodMs, 0); // on, but never ticks
    EXPECT_TRUE(random.sendNowEnabled);
    EXPECT_EQ(random.style, StyleRandom);
}

// ---- line limits ----

TEST(LineLimits, TheReceiveWindowEmptiesAbove600Lines)
{
    EXPECT_FALSE(ReceiveWindowOverflows(600));
    EXPECT_TRUE(ReceiveWindowOverflows(601));
}

// ---- layout ----

TEST(MainLayout, MarginsReceiveWindowAndLabels)
{
    EXPECT_EQ(MainAreaFor(1100).margin, 50);
    EXPECT_EQ(MainAreaFor(1100).receive, 500);
    EXPECT_EQ(MainAreaFor(739).margin, 33);
    EXPECT_EQ(MainAreaFor(739).receive, 335);
    EXPECT_EQ(LabelLeft(50, 501), 300);
}

// ---- the flat button's looks ----

TEST(OutlookButton, FrameAndFillByStyleAndState)
{
    using B = TOutlookBtn;
    EXPECT_EQ(B::FrameFor(B::bsNormal, false, false), B::Frame::Raised);
    EXPECT_EQ(B::FrameFor(B::bsNormal, true, true), B::Frame::Sunken);
    for (B::BStyle flat : {B::bsMSOffice, B::bsOutlook}) {
        EXPECT_EQ(B::FrameFor(flat, false, false), B::Frame::None);
        EXPECT_EQ(B::FrameFor(flat, false, true), B::Frame::Raised);
        EXPECT_EQ(B::FrameFor(flat, true, true), B::Frame::Sunken);
    }
    EXPECT_EQ(B::FrameFor(B::bsNone, true, true), B::Frame::None);
    EXPECT_TRUE(B::FillsFace(B::bsOutlook, true));
    EXPECT_FALSE(B::FillsFace(B::bsOutlook, false));
    EXPECT_FALSE(B::FillsFace(B::bsMSOffice, true));
}

// ---- the settings file ----

TEST(SettingsPath, BesideTheProgramOrInTheConfigurationFolder)
{
    EXPECT_EQ(SettingsBesideProgram(QStringLiteral("/opt/t/Tamrel_S")), QStringLiteral("/opt/t/Tamrel_S.ini"));
    EXPECT_EQ(SettingsBesideProgram(QStringLiteral("/opt/t/Tamrel_S.exe")), QStringLiteral("/opt/t/Tamrel_S.ini"));
    EXPECT_EQ(TamrelSettingsPath(QStringLiteral("/opt/t/Tamrel_S"), true, QStringLiteral("/x"), QStringLiteral("/home/u")),
              QStringLiteral("/opt/t/Tamrel_S.ini"));
    EXPECT_EQ(TamrelSettingsPath(QStringLiteral("/usr/bin/Tamrel_S"), false, QStringLiteral("/cfg"), QStringLiteral("/home/u")),
              QStringLiteral("/cfg/Tamrel_S.ini"));
    EXPECT_EQ(TamrelSettingsPath(QStringLiteral("/usr/bin/Tamrel_S"), false, QString(), QStringLiteral("/home/u")),
              QStringLiteral("/home/u/.config/Tamrel_S.ini"));
    // A relative $XDG_CONFIG_HOME is ignored, as the base directory rules say.
    EXPECT_EQ(TamrelSettingsPath(QStringLiteral("/usr/bin/Tamrel_S"), false, QStringLiteral("rel"), QStringLiteral("/home/u")),
              QStringLiteral("/home/u/.config/Tamrel_S.ini"));
}

TEST(SettingsPath, FolderProbe)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(FolderWritable(dir.path()));
    EXPECT_FALSE(FolderWritable(dir.filePath(QStringLiteral("missing"))));
    QFile file(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(FolderWritable(file.fileName()));
    // The probe leaves nothing behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(SettingsFile, DefaultPortAndRoundTripIntoAFolderNotYetMade)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("config/sub/Tamrel_S.ini"));
    {
        IniFile settings(path);
        EXPECT_EQ(ReadServerPort(settings), QStringLiteral("8888"));
        WriteServerPort(settings, QStringLiteral("9000"));
    }
    IniFile again(path);
    EXPECT_EQ(ReadServerPort(again), QStringLiteral("9000"));
    EXPECT_EQ(again.ReadString(QStringLiteral("tcpserver"), QStringLiteral("server port"), QString()),
              QStringLiteral("9000"));
}
