#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Kind = FrameParseResult::Kind;

struct ParseCase {
    std::string text;
    Kind kind;
    int badPair;
    Bytes bytes;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class HexTextToBytesTest : public testing::TestWithParam<ParseCase> {};

TEST_P(HexTextToBytesTest, ReadsPairsByPosition)
{
    const ParseCase& c = GetParam();
    const FrameParseResult result = HexTextToBytes(c.text);
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(result.ok(), c.kind == Kind::Ok);
    EXPECT_EQ(result.badPair, c.badPair);
    EXPECT_EQ(result.bytes, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Frames, HexTextToBytesTest, testing::Values(
    ParseCase{"01 03 1A", Kind::Ok, 0, {0x01, 0x03, 0x1A}},
    ParseCase{"01 03 1A ", Kind::Ok, 0, {0x01, 0x03, 0x1A}},
    ParseCase{"01-03-1a", Kind::Ok, 0, {0x01, 0x03, 0x1A}},
    ParseCase{"ff,Ab;cD", Kind::Ok, 0, {0xFF, 0xAB, 0xCD}},
    // The lone digit after the last full pair is ignored.
    ParseCase{"01 03 1", Kind::Ok, 0, {0x01, 0x03}},
    // Text without separators is read by position.
    ParseCase{"0103", Kind::Ok, 0, {0x01}},
    ParseCase{"010203", Kind::Ok, 0, {0x01, 0x20}},
    ParseCase{"7", Kind::Ok, 0, {}},
    ParseCase{"", Kind::Ok, 0, {}},
    ParseCase{"1 2 3", Kind::BadHexPair, 1, {}},
    ParseCase{"01  03", Kind::BadHexPair, 2, {}},
    ParseCase{"01 0G", Kind::BadHexPair, 2, {}},
    ParseCase{"01 +1", Kind::BadHexPair, 2, {}},
    ParseCase{"0x01", Kind::BadHexPair, 1, {}},
    ParseCase{"01 g3", Kind::BadHexPair, 2, {}},
    ParseCase{std::string("01 \0\0 03", 8), Kind::MissingPair, 2, {}},
    // Only the second character of the pair is NUL: a bad pair, not a missing one.
    ParseCase{std::string("01 0\0 03", 8), Kind::BadHexPair, 2, {}}));

TEST(HexTextToBytes, FindsTheFirstBadPairAnywhereInALongFrame)
{
    for (const int bad : {1, 15, 16, 17, 32, 33, 200, 300}) {
        std::string text;
        for (int k = 1; k <= 300; ++k)
            text += k == bad ? "Z0 " : "5A ";
        text += "zz"; // pair 301 is bad too; the first one counts
        const FrameParseResult result = HexTextToBytes(text);
        EXPECT_EQ(result.kind, Kind::BadHexPair) << "bad pair " << bad;
        EXPECT_EQ(result.badPair, bad);
        EXPECT_TRUE(result.bytes.empty());
    }
}

TEST(HexTextToBytes, NeverLooksAtSeparators)
{
    std::string text;
    for (int c = 0; c < 256; ++c) {
        text += "C3";
        text += static_cast<char>(c);
    }
    const FrameParseResult result = HexTextToBytes(text);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.bytes, Bytes(256, 0xC3));
}

TEST(BytesToHexText, WritesUpperCasePairsEachFollowedByASpace)
{
    EXPECT_EQ(BytesToHexText(Bytes{0x1A}), "1A ");
    EXPECT_EQ(BytesToHexText(Bytes{0x01, 0x03, 0x1A}), "01 03 1A ");
    EXPECT_EQ(BytesToHexText(Bytes{}), "");
    EXPECT_EQ(BytesToHexText(Bytes{0xAB, 0xCD, 0xEF, 0x00, 0x10, 0x9F, 0xFA, 0x5B, 0xC7, 0x02}),
              "AB CD EF 00 10 9F FA 5B C7 02 ");
}

TEST(BytesToHexText, RoundTripsAllByteValues)
{
    // Every value alone, and every length from 0 to 256 over all values, so the
    // wide path and the tail both meet every byte.
    for (int v = 0; v < 256; ++v) {
        const Bytes one{static_cast<uint8_t>(v)};
        const std::string text = BytesToHexText(one);
        ASSERT_EQ(text.size(), 3u);
        EXPECT_EQ(text[2], ' ');
        EXPECT_EQ(HexTextToBytes(text).bytes, one) << text;
    }
    Bytes all;
    for (int v = 0; v < 256; ++v)
        all.push_back(static_cast<uint8_t>(255 - v));
    for (std::size_t n = 0; n <= all.size(); ++n) {
        const Bytes head(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(n));
        const std::string text = BytesToHexText(head.data(), head.size());
        ASSERT_EQ(text.size(), 3 * n);
        const FrameParseResult back = HexTextToBytes(text);
        ASSERT_TRUE(back.ok());
        EXPECT_EQ(back.bytes, head) << "length " << n;
    }
}

struct TrimCase {
    std::string line;
    std::string sent;
};

void PrintTo(const TrimCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class TrimSendLineTest : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimSendLineTest, CutsTheCommentThenTheDoubleSpace)
{
    EXPECT_EQ(TrimSendLine(GetParam().line), GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(Lines, TrimSendLineTest, testing::Values(
    TrimCase{"01 03 1A  read // note", "01 03 1A"},
    TrimCase{"01  03", "01"},
    TrimCase{"01 03 1A", "01 03 1A"},
    TrimCase{"01 03 1A ", "01 03 1A "},
    TrimCase{"01 02//  03", "01 02"},
    // The comment is cut first: the double space after it no longer counts.
    TrimCase{"01 02 // x  y", "01 02 "},
    TrimCase{"01 02 /3", "01 02 /3"},
    TrimCase{"// all comment", ""},
    TrimCase{"  01", ""},
    TrimCase{"", ""}));

} // namespace
