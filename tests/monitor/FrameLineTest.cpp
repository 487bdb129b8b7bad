#include "monitor/FrameLine.h"
#include "monitor/LinkPanel.h"
#include "monitor/ReceiveLine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using monitor::FrameLineRule;
using monitor::FrameOfLine;
using Kind = monitor::FrameOfLine::Kind;
using Bytes = std::vector<std::uint8_t>;

struct LineCase {
    const char* line;
    FrameLineRule rule;
    Kind kind;
    Bytes bytes;
};

// Every kind of window line: received hex lines with and without the time,
// notes, send lines with comments and trailing text, and the ASCII modes.
TEST(FrameOfLineText, EachLineFormatGivesItsFrame)
{
    const LineCase cases[] = {
        {"68 04 07 00 00 00 ", FrameLineRule::Receive, Kind::Frame, {0x68, 0x04, 0x07, 0x00, 0x00, 0x00}},
        {"14:05:09  01 03 1A ", FrameLineRule::Receive, Kind::Frame, {0x01, 0x03, 0x1A}},
        {"2:05:09 PM  01 03 ", FrameLineRule::Receive, Kind::Frame, {0x01, 0x03}},
        {"14:05:09.120  [::1]:5000  01 03 ", FrameLineRule::Receive, Kind::Frame, {0x01, 0x03}},
        {"10.0.0.7:2404  01 03 ", FrameLineRule::Receive, Kind::Frame, {0x01, 0x03}},
        {"14:05:09  [::1]:5000  hello", FrameLineRule::Receive, Kind::NotHex, {}},
        {"开始监听接收端口", FrameLineRule::Receive, Kind::NotHex, {}},
        {"Connected with 127.0.0.1", FrameLineRule::Receive, Kind::NotHex, {}},
        {"14:05:09  hello", FrameLineRule::Receive, Kind::NotHex, {}},
        {"", FrameLineRule::Receive, Kind::Empty, {}},
        {"01 03 1a // read", FrameLineRule::Send, Kind::Frame, {0x01, 0x03, 0x1A}},
        {"01 03  trailing words", FrameLineRule::Send, Kind::Frame, {0x01, 0x03}},
        {"// only a comment", FrameLineRule::Send, Kind::Empty, {}},
        {"01 0G", FrameLineRule::Send, Kind::NotHex, {}},
        {"01 03 // read", FrameLineRule::SendAsTyped, Kind::NotHex, {}},
        {"01 03 1A", FrameLineRule::SendAsTyped, Kind::Frame, {0x01, 0x03, 0x1A}},
        {"01 03 1A", FrameLineRule::ReceiveAscii, Kind::Ascii, {}},
        {"AB", FrameLineRule::SendAscii, Kind::Ascii, {}},
    };
    for (const LineCase& c : cases) {
        const FrameOfLine frame = monitor::FrameOfLineText(QString::fromUtf8(c.line), c.rule);
        EXPECT_EQ(frame.kind, c.kind) << c.line;
        EXPECT_EQ(frame.bytes, c.bytes) << c.line;
    }
}

// The view of a line: a frame's tree (the protocol's name first), or one
// line saying why there is none.
TEST(EarlierFrames, TheNearestFramesBeforeTheLineOldestFirst)
{
    const QStringList lines{QStringLiteral("01"), QStringLiteral("12:00:00  02 03 "), QStringLiteral("a note"),
                            QString(), QStringLiteral("04"), QStringLiteral("05")};
    const auto lineAt = [&lines](int k) { return lines.at(k); };
    using Frames = std::vector<std::vector<uint8_t>>;
    EXPECT_EQ(monitor::EarlierFrames(lineAt, 5, FrameLineRule::Receive), (Frames{{0x01}, {0x02, 0x03}, {0x04}}));
    EXPECT_EQ(monitor::EarlierFrames(lineAt, 5, FrameLineRule::Receive, 2), (Frames{{0x02, 0x03}, {0x04}}));
    EXPECT_TRUE(monitor::EarlierFrames(lineAt, 0, FrameLineRule::Receive).empty());
    EXPECT_TRUE(monitor::EarlierFrames(lineAt, 5, FrameLineRule::ReceiveAscii).empty());
}

// The link window finds the line of a frame by its bytes and, where the line
// shows one, the second of its time, also with milliseconds and the peer in
// front of the pairs.
TEST(FrameLineOf, FindsTheLineOfTheFramesSecond)
{
    monitor::ReceiveTimeText clock;
    const QStringList lines{clock.AtUs(1'000'100'000, true) + QStringLiteral("  [::1]:5  01 02 "),
                            clock.AtUs(1'001'500'000, true) + QStringLiteral("  [::1]:5  01 02 "),
                            QStringLiteral("127.0.0.1:7  03 04 "),
                            clock.AtUs(1'002'000'000, false) + QStringLiteral("  05 "),
                            QStringLiteral("12:00:00  05 ")};
    const auto lineAt = [&lines](int k) { return lines.at(k); };
    struct Case {
        Bytes frame;
        std::int64_t us;
        int line;
    };
    const Case cases[] = {
        {{0x01, 0x02}, 1'000'900'000, 0},
        {{0x01, 0x02}, 1'001'000'000, 1},
        {{0x01, 0x02}, 1'009'000'000, 1}, // no line of that second: the last with the bytes
        {{0x03, 0x04}, 1'000'000'000, 2},
        {{0x05}, 1'002'200'000, 3},
        {{0x06}, 1'000'000'000, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(monitor::FrameLineOf(lineAt, static_cast<int>(lines.size()), FrameLineRule::Receive, c.frame, c.us),
                  c.line)
            << c.us;
}

TEST(DecodeLineView, ShowsTheTreeOrWhyThereIsNone)
{
    const decode::Options unrecognised{decode::Protocol::Unrecognised, {}};
    const monitor::DecodeView frame = monitor::DecodeLineView(QStringLiteral("12:00:00  AA BB "), FrameLineRule::Receive, unrecognised);
    ASSERT_EQ(frame.lines.size(), 2);
    EXPECT_EQ(frame.lines[1], QStringLiteral("     0  AA BB  Unrecognised frame: 2 bytes"));

    const monitor::DecodeView ascii = monitor::DecodeLineView(QStringLiteral("AA"), FrameLineRule::ReceiveAscii, {});
    EXPECT_EQ(ascii.lines, QStringList{QStringLiteral("ASCII码模式的报文行没有可解析的字节")});
    EXPECT_TRUE(ascii.badLines.isEmpty());
}

} // namespace
