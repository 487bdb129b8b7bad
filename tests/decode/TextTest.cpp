#include "decode/Text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using decode::Decoded;
using decode::Field;
using decode::Protocol;
using decode::Verdict;

Field MakeField(int depth, std::string name, std::size_t offset, std::vector<uint8_t> raw, std::string value,
                Verdict verdict = Verdict::None, std::string expected = {})
{
    Field f;
    f.depth = depth;
    f.name = std::move(name);
    f.offset = offset;
    f.length = raw.size();
    f.raw = std::move(raw);
    f.value = std::move(value);
    f.verdict = verdict;
    f.expected = std::move(expected);
    return f;
}

// The tree of a small frame: the protocol's name, the fields indented by
// depth with offset, bytes, name and meaning; a heading without bytes; the
// verdicts of check codes, and only the bad one is a bad line.
TEST(RenderTree, IndentsFieldsAndMarksTheCheckCodesThatDoNotVerify)
{
    Decoded d;
    d.protocol = Protocol::ModbusRtu;
    d.fields = {
        MakeField(0, "Unit", 0, {0x01}, "1"),
        MakeField(0, "PDU", 1, {}, ""),
        MakeField(1, "Function", 1, {0x03}, "3 Read holding registers"),
        MakeField(1, "Byte count", 2, {0x02}, "2", Verdict::Good),
        MakeField(2, "Register 0", 3, {0x00, 0x0A}, "10"),
        MakeField(0, "CRC", 1234, {0x38, 0x43}, "4338", Verdict::Bad, "3C"),
        MakeField(0, "Length", 7, {}, "truncated", Verdict::Bad),
    };
    const decode::TreeText text = decode::RenderTree(d);
    const std::vector<std::string> expected{
        "MODBUS RTU",
        "     0  01  Unit: 1",
        "     1  PDU",
        "       1  03  Function: 3 Read holding registers",
        "       2  02  Byte count: 2 (ok)",
        "         3  00 0A  Register 0: 10",
        "  1234  38 43  CRC: 4338 (bad, expected 3C)",
        "     7  Length: truncated (bad)",
    };
    EXPECT_EQ(text.lines, expected);
    EXPECT_EQ(text.badLines, (std::vector<std::size_t>{6, 7}));
}

TEST(RenderTree, AnUnrecognisedFrameShowsItsLength)
{
    const std::vector<uint8_t> frame{0xAA, 0xBB, 0xCC};
    const decode::TreeText text = decode::RenderTree(decode::Decode(frame, {Protocol::Unrecognised, {}}));
    EXPECT_EQ(text.lines, (std::vector<std::string>{"Unrecognised", "     0  AA BB CC  Unrecognised frame: 3 bytes"}));
    EXPECT_TRUE(text.badLines.empty());
}

} // namespace
