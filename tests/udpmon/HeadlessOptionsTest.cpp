#include "udpmon/headless/HeadlessOptions.h"

#include "monitor/Triggers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ostrel {
namespace {

using monitor::TriggerRule;
namespace TriggerMessage = monitor::TriggerMessage;

struct Refused {
    std::vector<const char*> args;
    QString message; // part of the one line on standard error
};

class HeadlessRefusalTest : public ::testing::TestWithParam<Refused> {};

// Every refusal ends with 2 and one line and a hint on standard error; a
// trigger rule is refused with the trigger dialog's own message, also when
// the good rules before it were read.
TEST_P(HeadlessRefusalTest, EndsWithStatus2AndItsMessage)
{
    QStringList arguments{QStringLiteral("ostrel-headless")};
    for (const char* arg : GetParam().args)
        arguments << QString::fromUtf8(arg);
    const HeadlessCommandLine result = ReadHeadlessCommandLine(arguments, QStringLiteral("2.15"));
    EXPECT_FALSE(result.options);
    EXPECT_EQ(result.exitCode, HeadlessExit::UsageError);
    EXPECT_TRUE(result.standardOutput.isEmpty());
    EXPECT_TRUE(result.standardError.startsWith(QStringLiteral("ostrel-headless: ")));
    EXPECT_TRUE(result.standardError.contains(GetParam().message)) << result.standardError.toStdString();
    EXPECT_TRUE(result.standardError.endsWith(QStringLiteral("Try 'ostrel-headless --help' for more information.\n")));
}

INSTANTIATE_TEST_SUITE_P(
    Headless, HeadlessRefusalTest,
    ::testing::Values(
        Refused{{"--trigger", "01 03=05", "--trigger", "01 ?? ?? 02=05"}, TriggerMessage::TwoWildcards},
        Refused{{"--trigger", "01 ** 02 ?" "?=05"}, TriggerMessage::TwoWildcards},
        Refused{{"--trigger=01 0G=05"}, TriggerMessage::PatternInvalid},
        Refused{{"--trigger", "01 03=05 XX"}, TriggerMessage::ResponseInvalid},
        Refused{{"--trigger", "01 03=05 ** 06"}, TriggerMessage::ResponseInvalid},
        Refused{{"--trigger", "=05"}, TriggerMessage::Empty},
        Refused{{"--trigger", "01 03="}, TriggerMessage::Empty},
        Refused{{"--trigger", "01 03"}, QStringLiteral("not PATTERN=RESPONSE")},
        Refused{{"--trigger", "0=1"}, TriggerMessage::PatternFormat},
        Refused{{"--trigger", "0103=05"}, TriggerMessage::PatternFormat},
        Refused{{"--trigger", "01 03=05 0"}, TriggerMessage::ResponseFormat},
        Refused{{"--listen", "65536"}, QStringLiteral("--listen: '65536' is not a port number.")},
        Refused{{"--listen", "-1"}, QStringLiteral("not a port number")},
        Refused{{"--listen", " 80"}, QStringLiteral("--listen: ' 80' is not a port number.")},
        Refused{{"--to", "h:80 "}, QStringLiteral("is not HOST:PORT")},
        Refused{{"--listen", "0", "--listen=0"}, QStringLiteral("--listen given more than once.")},
        Refused{{"--to", "h:1", "--to", "h:1"}, QStringLiteral("--to given more than once.")},
        Refused{{"--save-minutes", "1", "--save-minutes", "2"}, QStringLiteral("--save-minutes given more than once.")},
        Refused{{"--save-minutes", "1", "--save-dir", "a", "--save-dir", "b"}, QStringLiteral("--save-dir given more than once.")},
        Refused{{"--pcap", "a", "--pcap", "b"}, QStringLiteral("--pcap given more than once.")},
        Refused{{"--events=", "--pcap", "a"}, QStringLiteral("--events needs a file name.")},
        Refused{{"--points="}, QStringLiteral("--points needs a file name.")},
        Refused{{"--point-list", "a.csv", "--point-list", "b.csv"}, QStringLiteral("--point-list given more than once.")},
        Refused{{"--to", "127.0.0.1"}, QStringLiteral("is not HOST:PORT")},
        Refused{{"--to", "127.0.0.1:0"}, QStringLiteral("is not HOST:PORT")},
        Refused{{"--to", ":1889"}, QStringLiteral("is not HOST:PORT")},
        Refused{{"--to", "::1:1889"}, QStringLiteral("is not HOST:PORT")},
        Refused{{"--to", "[::1]"}, QStringLiteral("is not HOST:PORT")},
        Refused{{"--to", "[]:1889"}, QStringLiteral("is not HOST:PORT")},
        Refused{{"--save-minutes", "0"}, QStringLiteral("--save-minutes: '0'")},
        Refused{{"--save-minutes", "-5"}, QStringLiteral("--save-minutes: '-5'")},
        Refused{{"--save-minutes", "ten"}, QStringLiteral("--save-minutes: 'ten'")},
        Refused{{"--save-dir", "/tmp"}, QStringLiteral("--save-dir needs --save-minutes.")},
        Refused{{"--no-such-option"}, QStringLiteral("no-such-option")},
        Refused{{"extra"}, QStringLiteral("unexpected argument 'extra'.")}));

// The values given arrive as the monitor uses them: rules in their order
// (more than the window's three), the 256-pair limit of the dialog, both
// forms of a long option's value, and the timed-save period in milliseconds.
TEST(HeadlessOptions, ValuesAsGiven)
{
    const std::string longest = [] {
        std::string text;
        for (int k = 0; k < 255; ++k)
            text += "AB ";
        return text.substr(0, text.size() - 1);
    }();
    const QStringList arguments{QStringLiteral("ostrel-headless"), QStringLiteral("--listen=0"),
                                QStringLiteral("--to"), QStringLiteral("device.local:2404"),
                                QStringLiteral("--trigger"), QStringLiteral("68 ** 16=10 5B"),
                                QStringLiteral("--trigger=**=01"), QStringLiteral("--trigger"),
                                QStringLiteral("0a 0b=07 "), QStringLiteral("--trigger"),
                                QString::fromStdString(longest + "=" + longest),
                                QStringLiteral("--save-minutes"), QStringLiteral("0.5"),
                                QStringLiteral("--save-dir"), QStringLiteral("/var/lib/x"),
                                QStringLiteral("--events=link.csv"), QStringLiteral("--points"),
                                QStringLiteral("points.csv"), QStringLiteral("--point-list=list.csv")};
    const HeadlessCommandLine result = ReadHeadlessCommandLine(arguments, QStringLiteral("2.15"));
    ASSERT_TRUE(result.options) << result.standardError.toStdString();
    const HeadlessOptions& o = *result.options;
    EXPECT_EQ(o.listenPort, QStringLiteral("0"));
    EXPECT_EQ(o.toHost, QStringLiteral("device.local"));
    EXPECT_EQ(o.toPort, QStringLiteral("2404"));
    ASSERT_EQ(o.triggers.size(), 4U);
    EXPECT_EQ(o.triggers[0].MultiBytePos, 2);
    EXPECT_EQ(o.triggers[1].MultiBytePos, 1);
    EXPECT_EQ(o.triggers[1].PatternCount, 1);
    EXPECT_EQ(o.triggers[2].PatternBytes[0], 0x0A);
    EXPECT_EQ(o.triggers[2].ResponseCount, 1); // a space after the last pair, as in a received line
    EXPECT_EQ(o.triggers[2].ResponseBytes[0], 0x07);
    EXPECT_EQ(o.triggers[3].PatternCount, 255);
    for (const TriggerRule& rule : o.triggers)
        EXPECT_TRUE(rule.Enabled);
    EXPECT_EQ(o.savePeriodMs, 30000);
    EXPECT_EQ(o.saveDir, QStringLiteral("/var/lib/x"));
    EXPECT_EQ(o.eventsFile, QStringLiteral("link.csv"));
    EXPECT_EQ(o.pointsFile, QStringLiteral("points.csv"));
    EXPECT_EQ(o.pointListFile, QStringLiteral("list.csv"));

    const QString tooLong = QString::fromStdString(longest + " AB");
    const HeadlessCommandLine refused = ReadHeadlessCommandLine(
        {QStringLiteral("ostrel-headless"), QStringLiteral("--trigger"), tooLong + QStringLiteral("=01")},
        QStringLiteral("2.15"));
    EXPECT_TRUE(refused.standardError.contains(TriggerMessage::TooLong));
}

struct FlagCase {
    const char* flag;
    bool HeadlessOptions::* field;
};

class HeadlessFlagTest : public ::testing::TestWithParam<FlagCase> {};

// Each switch sets its own option and no other; none is on by default.
TEST_P(HeadlessFlagTest, SetsItsOptionOnly)
{
    const auto read = [](const QStringList& arguments) {
        const HeadlessCommandLine result = ReadHeadlessCommandLine(arguments, QStringLiteral("2.15"));
        EXPECT_TRUE(result.options) << result.standardError.toStdString();
        return result.options.value_or(HeadlessOptions{});
    };
    const HeadlessOptions plain = read({QStringLiteral("ostrel-headless")});
    const HeadlessOptions set = read({QStringLiteral("ostrel-headless"), QString::fromUtf8(GetParam().flag)});
    EXPECT_TRUE(set.*GetParam().field);
    for (const FlagCase& other : std::vector<FlagCase>{{"--ascii", &HeadlessOptions::ascii},
                                                        {"--time", &HeadlessOptions::showTime},
                                                        {"--reply-to-sender", &HeadlessOptions::replyToSender},
                                                        {"--new-port-each-time", &HeadlessOptions::newPortEachTime},
                                                        {"--ipv4-only", &HeadlessOptions::ipv4Only},
                                                        {"--quiet", &HeadlessOptions::quiet}}) {
        EXPECT_FALSE(plain.*other.field) << other.flag;
        if (other.field != GetParam().field) {
            EXPECT_FALSE(set.*other.field) << other.flag << " with " << GetParam().flag;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Headless, HeadlessFlagTest,
                         ::testing::Values(FlagCase{"--ascii", &HeadlessOptions::ascii},
                                           FlagCase{"--time", &HeadlessOptions::showTime},
                                           FlagCase{"--reply-to-sender", &HeadlessOptions::replyToSender},
                                           FlagCase{"--new-port-each-time", &HeadlessOptions::newPortEachTime},
                                           FlagCase{"--ipv4-only", &HeadlessOptions::ipv4Only},
                                           FlagCase{"--quiet", &HeadlessOptions::quiet}));

TEST(HeadlessOptions, IPv6DestinationInBrackets)
{
    const HeadlessCommandLine result = ReadHeadlessCommandLine(
        {QStringLiteral("ostrel-headless"), QStringLiteral("--to=[fe80::1%eth0]:2404")}, QStringLiteral("2.15"));
    ASSERT_TRUE(result.options) << result.standardError.toStdString();
    EXPECT_EQ(result.options->toHost, QStringLiteral("fe80::1%eth0"));
    EXPECT_EQ(result.options->toPort, QStringLiteral("2404"));
    const HeadlessCommandLine joins = ReadHeadlessCommandLine(
        {QStringLiteral("ostrel-headless"), QStringLiteral("--join=239.1.2.3%lo"), QStringLiteral("--join"),
         QStringLiteral("ff12::1")},
        QStringLiteral("2.15"));
    ASSERT_TRUE(joins.options);
    EXPECT_EQ(joins.options->joins, QStringList({QStringLiteral("239.1.2.3%lo"), QStringLiteral("ff12::1")}));
}

TEST(HeadlessOptions, NumberedCaptureFiles)
{
    EXPECT_EQ(NumberedCaptureFile(QStringLiteral("/var/log/cap.pcapng"), 1), QStringLiteral("/var/log/cap.1.pcapng"));
    EXPECT_EQ(NumberedCaptureFile(QStringLiteral("a.b/cap"), 12), QStringLiteral("a.b/cap.12"));
    EXPECT_EQ(NumberedCaptureFile(QStringLiteral(".hidden"), 2), QStringLiteral(".hidden.2"));
}

} // namespace
} // namespace ostrel
