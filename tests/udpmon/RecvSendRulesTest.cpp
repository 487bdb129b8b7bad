#include "udpmon/DatagramSender.h"
#include "monitor/ReceiveLine.h"
#include "monitor/SendLineChoice.h"
#include "udpmon/SendPlan.h"
#include "udpmon/SendStyleConfirm.h"

#include "frame/LineRandom.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

using namespace ostrel;

namespace {

std::string Std(const QString& text)
{
    return text.toStdString();
}

// ---- Receive lines ----

TEST(ReceiveLine, HexTextWithAndWithoutTime)
{
    const std::uint8_t bytes[] = {0x01, 0x03, 0x1A};
    const QString hex = monitor::ReceiveHexText(bytes, 3);
    EXPECT_EQ(Std(hex), "01 03 1A ");
    EXPECT_EQ(Std(monitor::ReceiveDisplayLine(hex, false, QStringLiteral("9:05:03"))), "01 03 1A ");
    EXPECT_EQ(Std(monitor::ReceiveDisplayLine(hex, true, QStringLiteral("9:05:03"))), "9:05:03  01 03 1A ");
}

// The time (with or without milliseconds) and the peer in front of a line;
// with neither the line is the hex text alone, as it always was.
TEST(ReceiveLine, PrefixesInFrontOfTheHexText)
{
    struct Case {
        const char* time;
        const char* source;
        const char* line;
    };
    const Case cases[] = {
        {"", "", "01 03 "},
        {"9:05:03", "", "9:05:03  01 03 "},
        {"", "[::1]:5000", "[::1]:5000  01 03 "},
        {"9:05:03.120", "10.0.0.7:2404", "9:05:03.120  10.0.0.7:2404  01 03 "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Std(monitor::ReceiveDisplayLine(QStringLiteral("01 03 "), QString::fromUtf8(c.time),
                                                  QString::fromUtf8(c.source))),
                  c.line);
    struct MsCase {
        const char* time;
        int ms;
        const char* text;
    };
    const MsCase msCases[] = {
        {"14:05:09", 7, "14:05:09.007"},
        {"2:05:09 PM", 999, "2:05:09.999 PM"},
        {"14时05分09秒", 120, "14时05分09.120秒"},
        {"noon", 0, "noon.000"},
    };
    for (const MsCase& c : msCases)
        EXPECT_EQ(Std(monitor::WithMilliseconds(QString::fromUtf8(c.time), c.ms)), c.text);
    monitor::ReceiveTimeText clock;
    const QString second = clock.At(1000);
    EXPECT_EQ(clock.AtUs(1'000'045'678, false), second);
    EXPECT_EQ(clock.AtUs(1'000'045'678, true), monitor::WithMilliseconds(second, 45));
}

TEST(ReceiveLine, LargestDatagramGivesItsFullLine)
{
    const std::vector<std::uint8_t> bytes(65507, 0xFF);
    const QString hex = monitor::ReceiveHexText(bytes.data(), bytes.size());
    EXPECT_EQ(hex.size(), 196521);
    EXPECT_TRUE(hex.startsWith(QStringLiteral("FF FF ")));
}

TEST(ReceiveLine, AsciiEndsAtTheFirstZeroByte)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::string text;
    };
    const std::vector<Case> cases = {
        {{'A', 'B', 0, 'C', 'D'}, "AB"},
        {{0, 'A'}, ""},
        {{'A', 'B', 'C'}, "ABC"},
        {{0xE4, 0xB8, 0xAD}, "中"},        // UTF-8
        {{0xD6, 0xD0, 0xCE, 0xC4}, "中文"}, // GBK
    };
    for (const Case& c : cases)
        EXPECT_EQ(Std(monitor::ReceiveAsciiText(c.bytes.data(), c.bytes.size())), c.text);
    EXPECT_EQ(Std(monitor::ReceiveDisplayLine(monitor::ReceiveAsciiText(cases[1].bytes.data(), 2), true, QStringLiteral("T"))), "T  ");
}

TEST(ReceiveLine, TimeTextFollowsTheSecond)
{
    monitor::ReceiveTimeText clock;
    const QString first = clock.At(1000);
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(clock.At(1000), first);
    EXPECT_NE(clock.At(1001), first);
}

// ---- Choice of the line to send ----

SendSchedule Loop(int line, int first = 0, int last = 0)
{
    SendSchedule s;
    s.SendStyle = 0;
    s.LoopLine = line;
    s.LoopFirst = first;
    s.LoopLast = last;
    return s;
}

std::vector<int> LoopSends(SendSchedule s, bool range, int lineCount, int sends)
{
    LineRandom random;
    std::vector<int> lines;
    for (int i = 0; i < sends; ++i) {
        lines.push_back(monitor::ChooseSendLine(s.SendStyle, 0, lineCount, s.LoopLine, random) + 1);
        s.LoopLine = monitor::NextLoopLine(s.LoopLine, lineCount,
                                          range ? std::optional(monitor::LoopRange{s.LoopFirst, s.LoopLast}) : std::nullopt);
    }
    return lines;
}

TEST(SendLineChoice, LoopSending)
{
    // Three lines, no range: 1, 2, 3, 1, 2, 3.
    EXPECT_EQ(LoopSends(Loop(0), false, 3, 6), (std::vector<int>{1, 2, 3, 1, 2, 3}));
    // The range from line 2 to line 3 (the dialog starts at its first line).
    EXPECT_EQ(LoopSends(Loop(1, 1, 2), true, 3, 4), (std::vector<int>{2, 3, 2, 3}));
    // A range past the last line spends a send on each missing line (4, 5
    // read as empty lines).
    EXPECT_EQ(LoopSends(Loop(1, 1, 4), true, 3, 5), (std::vector<int>{2, 3, 4, 5, 2}));
    // A range never confirmed (0..0) and switched on with the dialog
    // cancelled: one more line at the current place, then line 1 for ever.
    EXPECT_EQ(LoopSends(Loop(1), true, 3, 4), (std::vector<int>{2, 1, 1, 1}));
    // Lines deleted under a running loop: past the end it starts again.
    EXPECT_EQ(LoopSends(Loop(5), false, 3, 2), (std::vector<int>{6, 1}));
}

TEST(SendLineChoice, SingleLineIsTheCaretLine)
{
    SendSchedule s;
    s.SendStyle = 1;
    LineRandom random;
    EXPECT_EQ(monitor::ChooseSendLine(s.SendStyle, 4, 10, s.LoopLine, random), 4);
    EXPECT_EQ(random.Next(10), 0); // the generator was not advanced
}

TEST(SendLineChoice, RandomSendingSequenceAfterStart)
{
    SendSchedule s;
    s.SendStyle = 2;
    LineRandom random;
    std::vector<int> lines;
    for (int i = 0; i < 8; ++i)
        lines.push_back(monitor::ChooseSendLine(s.SendStyle, 0, 10, s.LoopLine, random) + 1);
    EXPECT_EQ(lines, (std::vector<int>{1, 1, 9, 3, 3, 7, 4, 2}));
}

// ---- Hex and ASCII sends ----

TEST(SendLineChoice, AsciiBytes)
{
    struct Case {
        QString line;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("AB\\rC"), QByteArray("AB\rC")},
        {QStringLiteral("AB\\"), QByteArray("AB\\")},
        {QStringLiteral("\\R\\n"), QByteArray("\\R\\n")},
        {QStringLiteral("\\\\r"), QByteArray("\\\r")},
        {QStringLiteral("01 02 // x"), QByteArray("01 02 // x")},
        {QStringLiteral("中"), QByteArray("\xE4\xB8\xAD")},
    };
    SetWrittenCharset(TextCharset::Utf8);
    for (const Case& c : cases)
        EXPECT_EQ(AsciiLineBytes(c.line), c.bytes) << Std(c.line);
    // Under a GBK locale: "中" is D6 D0, and the second byte of "乗" (81 5C)
    // is no backslash.
    SetWrittenCharset(TextCharset::Gbk);
    EXPECT_EQ(AsciiLineBytes(QStringLiteral("中\\r")), QByteArray("\xD6\xD0\r"));
    EXPECT_EQ(AsciiLineBytes(QStringLiteral("乗r")), QByteArray("\x81\x5Cr"));
    SetWrittenCharset(std::nullopt);
}

TEST(SendLineChoice, HexSendPlans)
{
    using Kind = HexSendPlan::Kind;
    struct Case {
        std::string line;
        int copies;
        Kind kind;
        std::size_t size;
    };
    const std::vector<Case> cases = {
        {"", 1, Kind::Nothing, 0},
        {"7", 1, Kind::Send, 0},             // no pair: nothing leaves
        {"7", 2147483647, Kind::Send, 0},    // at once, whatever the copies
        {"01 02", 3, Kind::Send, 6},
        {"01 02 03", 600, Kind::Send, 1800},
        {"01 02", 2048, Kind::Send, 4096},
        {"01 02", 2049, Kind::TooLong, 0},
        {"0G", 1, Kind::FormatError, 0},
        {"01 0", 1, Kind::Send, 1},          // a lone last digit is no pair
    };
    for (const Case& c : cases) {
        const HexSendPlan plan = PlanHexSend(c.line, c.copies);
        EXPECT_EQ(plan.kind, c.kind) << c.line << " x" << c.copies;
        EXPECT_EQ(plan.buffer.size(), c.size) << c.line << " x" << c.copies;
    }
    EXPECT_EQ(PlanHexSend("01 02", 3).buffer, (std::vector<std::uint8_t>{1, 2, 1, 2, 1, 2}));
    // A format error is found before the buffer limit.
    EXPECT_EQ(PlanHexSend("ZZ", 5000).kind, Kind::FormatError);
}

// ---- The send style dialog's rules ----

SendStyleForm Form(std::uint8_t style)
{
    SendStyleForm f;
    f.style = style;
    f.interval = QStringLiteral("1");
    f.copiesText = QStringLiteral("1");
    return f;
}

TEST(SendStyleConfirm, TimerIntervals)
{
    struct Case {
        QString interval;
        std::int64_t ms;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("1.5"), 1500},
        {QStringLiteral("0"), 0},
        {QStringLiteral("0.0005"), 0},
        {QStringLiteral("2"), 2000},
        {QStringLiteral("1e3"), 1000000},
    };
    for (const Case& c : cases) {
        SendStyleForm f = Form(1);
        f.timed = true;
        f.interval = c.interval;
        const SendStyleOutcome o = ConfirmSendStyle(SendSchedule{}, f);
        ASSERT_TRUE(o.accepted) << Std(c.interval);
        EXPECT_TRUE(o.timerOn);
        EXPECT_EQ(o.timerMs, c.ms) << Std(c.interval);
    }
    // Without timed sending the typed interval is not taken.
    SendStyleForm f = Form(2);
    f.interval = QStringLiteral("7");
    const SendStyleOutcome o = ConfirmSendStyle(SendSchedule{}, f);
    EXPECT_TRUE(o.accepted);
    EXPECT_FALSE(o.timerOn);
    EXPECT_EQ(o.schedule.SendInterval, 1.0);
    EXPECT_EQ(o.schedule.SendStyle, 2);
}

TEST(SendStyleConfirm, LoopStyleAlwaysRunsTheTimer)
{
    SendSchedule current;
    current.LoopLine = 2;
    const SendStyleOutcome o = ConfirmSendStyle(current, Form(0));
    ASSERT_TRUE(o.accepted);
    EXPECT_TRUE(o.timerOn);
    EXPECT_EQ(o.timerMs, 1000);
    EXPECT_EQ(o.schedule.LoopLine, 2); // without a range the loop stays where it is
}

TEST(SendStyleConfirm, RangeRules)
{
    SendStyleForm f = Form(0);
    f.range = true;
    f.first = QStringLiteral("2");
    f.last = QStringLiteral("3");
    SendStyleOutcome o = ConfirmSendStyle(SendSchedule{}, f);
    ASSERT_TRUE(o.accepted);
    EXPECT_EQ(o.schedule.LoopFirst, 1);
    EXPECT_EQ(o.schedule.LoopLast, 2);
    EXPECT_EQ(o.schedule.LoopLine, 1);

    f.first = QStringLiteral("3");
    o = ConfirmSendStyle(SendSchedule{}, f);
    EXPECT_FALSE(o.accepted);
    EXPECT_EQ(o.message, SendStyleMessage::RangeOrder);
    EXPECT_EQ(o.field, SendStyleOutcome::Field::Last);
    EXPECT_FALSE(o.errorBox);

    f.first = QString();
    o = ConfirmSendStyle(SendSchedule{}, f);
    EXPECT_FALSE(o.accepted);
    EXPECT_EQ(Std(o.message), "'' is not a valid integer value");
    EXPECT_TRUE(o.errorBox);
    EXPECT_EQ(o.field, SendStyleOutcome::Field::First);

    // A range starting before line 1 never reaches the loop.
    for (const char* text : {"0", "-2147483648"}) {
        f.first = QString::fromLatin1(text);
        o = ConfirmSendStyle(SendSchedule{}, f);
        EXPECT_FALSE(o.accepted) << text;
        EXPECT_EQ(o.message, SendStyleMessage::NotPositiveInteger) << text;
        EXPECT_EQ(o.field, SendStyleOutcome::Field::First) << text;
    }

    // The range fields are not read in the other styles.
    f.style = 1;
    EXPECT_TRUE(ConfirmSendStyle(SendSchedule{}, f).accepted);
}

TEST(SendStyleConfirm, CopiesAndTheirLimit)
{
    SendStyleForm f = Form(1);
    f.copies = true;
    f.copiesText = QStringLiteral("4096");
    SendStyleOutcome o = ConfirmSendStyle(SendSchedule{}, f);
    ASSERT_TRUE(o.accepted);
    EXPECT_EQ(o.schedule.CopiesPerSend, 4096);

    f.copiesText = QStringLiteral("4097");
    o = ConfirmSendStyle(SendSchedule{}, f);
    EXPECT_FALSE(o.accepted);
    EXPECT_EQ(o.message, SendStyleMessage::TooManyCopies);
    EXPECT_EQ(o.field, SendStyleOutcome::Field::Copies);

    // The copies box off means one copy, whatever the field holds.
    f.copies = false;
    o = ConfirmSendStyle(SendSchedule{}, f);
    ASSERT_TRUE(o.accepted);
    EXPECT_EQ(o.schedule.CopiesPerSend, 1);
}

TEST(SendStyleConfirm, ARefusalChecksEverythingFirst)
{
    // Too many copies with the loop style: refused before the style, the
    // timer or the range would be taken.
    SendStyleForm f = Form(0);
    f.copies = true;
    f.copiesText = QStringLiteral("5000");
    f.range = true;
    f.first = QStringLiteral("2");
    f.last = QStringLiteral("3");
    const SendStyleOutcome o = ConfirmSendStyle(SendSchedule{}, f);
    EXPECT_FALSE(o.accepted);
    EXPECT_FALSE(o.timerOn);
}

TEST(SendStyleConfirm, ChecksWhileTyping)
{
    EXPECT_EQ(IntervalTextProblem(QStringLiteral("abc")), SendStyleMessage::NotANumber);
    EXPECT_EQ(IntervalTextProblem(QString()), SendStyleMessage::NotANumber);
    EXPECT_EQ(IntervalTextProblem(QStringLiteral("-1")), SendStyleMessage::Negative);
    EXPECT_EQ(IntervalTextProblem(QStringLiteral("0")), std::nullopt);
    EXPECT_EQ(IntervalTextProblem(QStringLiteral("0.5")), std::nullopt);
    for (const char* bad : {"", "0", "-3", "x", "1.5"})
        EXPECT_EQ(PositiveIntegerTextProblem(QString::fromLatin1(bad)), SendStyleMessage::NotPositiveInteger) << bad;
    EXPECT_EQ(PositiveIntegerTextProblem(QStringLiteral("12")), std::nullopt);
}

TEST(SendStyleConfirm, PanelTexts)
{
    EXPECT_EQ(Std(SendStylePanelText(0, 3)), "单行循环发送方式，一次发送3遍");
    EXPECT_EQ(Std(SendStylePanelText(1, 1)), "单行发送方式，一次发送1遍");
    EXPECT_EQ(Std(SendStylePanelText(2, 4096)), "随机选行发送方式，一次发送4096遍");
}

// ---- Destination of answers ----

TEST(ClientAddress, ANameIsLookedUpOnceWithinItsLifetime)
{
    std::vector<std::string> asked;
    ClientAddress address([&](const QString& host) {
        asked.push_back(Std(host));
        return host == QStringLiteral("plc") ? htonl(0x0A000105) : htonl(0x7F000001);
    }, 60000);
    EXPECT_EQ(Std(address.AddrFor(QStringLiteral("plc"))), "10.0.1.5");
    EXPECT_EQ(Std(address.AddrFor(QStringLiteral("plc"))), "10.0.1.5");
    EXPECT_EQ(asked, (std::vector<std::string>{"plc"}));
    // Another name is looked up, and so is the first one again after it.
    EXPECT_EQ(Std(address.AddrFor(QStringLiteral("localhost"))), "127.0.0.1");
    EXPECT_EQ(Std(address.AddrFor(QStringLiteral("plc"))), "10.0.1.5");
    EXPECT_EQ(asked, (std::vector<std::string>{"plc", "localhost", "plc"}));
}

TEST(ClientAddress, AnOldAnswerIsAskedAgain)
{
    int lookups = 0;
    ClientAddress address([&](const QString&) {
        ++lookups;
        return htonl(lookups == 1 ? 0x0A000001 : 0x0A000002);
    }, 0);
    EXPECT_EQ(Std(address.AddrFor(QStringLiteral("plc"))), "10.0.0.1");
    EXPECT_EQ(Std(address.AddrFor(QStringLiteral("plc"))), "10.0.0.2");
    EXPECT_EQ(lookups, 2);
}

TEST(ClientAddress, AddressesAndFailedNamesGoToTheSocketAsTyped)
{
    int lookups = 0;
    bool fail = true;
    ClientAddress address([&](const QString& host) -> std::uint32_t {
        ++lookups;
        if (fail)
            throw std::runtime_error("WSocketResolveHost: Cannot convert host address '" + Std(host) + "'");
        return htonl(0xC0A80001);
    }, 0);
    for (const char* typed : {"127.0.0.1", " 192.168.0.7 ", "255.255.255.255", ""})
        EXPECT_EQ(Std(address.AddrFor(QString::fromLatin1(typed))), typed);
    EXPECT_EQ(lookups, 0);
    // A failed name goes as typed, and is asked again once its answer is
    // old; once it can be looked up its address is used.
    EXPECT_EQ(Std(address.AddrFor(QStringLiteral("plc"))), "plc");
    EXPECT_EQ(Std(address.AddrFor(QStringLiteral("plc"))), "plc");
    fail = false;
    EXPECT_EQ(Std(address.AddrFor(QStringLiteral("plc"))), "192.168.0.1");
    EXPECT_EQ(lookups, 3);
}

TEST(ClientAddress, AFailedNameIsNotAskedAgainWithinItsLifetime)
{
    // The socket looks the typed name up itself and reports the failure;
    // asking here too would double the wait for every frame.
    int lookups = 0;
    ClientAddress address([&](const QString&) -> std::uint32_t {
        ++lookups;
        throw std::runtime_error("no such host");
    }, 60000);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Std(address.AddrFor(QStringLiteral("plc"))), "plc");
    EXPECT_EQ(lookups, 1);
}

} // namespace
