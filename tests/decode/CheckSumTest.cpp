#include "decode/Decode.h"
#include "frame/CheckCodes.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using decode::Protocol;
using decode::Verdict;

std::vector<uint8_t> Hex(std::string_view text)
{
    return HexTextToBytes(text).bytes;
}

// A line the sum or parity command made decodes as that code, verified; a
// changed check byte gives the sum as the value expected.
TEST(CheckSum, TheCommandsFramesVerify)
{
    const struct {
        CheckCodeResult (*command)(std::string_view);
        const char* line;
        const char* name;
    } cases[] = {
        {AddSumCode, "10 20 30", "Sum"},
        {AddParityCode, "10 20 30", "Parity"},
        {AddSumCode, "FF FF", "Sum"},
        {AddParityCode, "00", "Parity"},
    };
    for (const auto& c : cases) {
        auto frame = Hex(c.command(c.line).text);
        ASSERT_TRUE(decode::ShapeCheckSum(frame)) << c.line;
        auto fields = decode::DecodeCheckSum(frame);
        ASSERT_EQ(fields.size(), 2u);
        EXPECT_EQ(fields[0].length, frame.size() - 1);
        EXPECT_EQ(fields[1].name, c.name) << c.line;
        EXPECT_EQ(fields[1].verdict, Verdict::Good) << c.line;

        const uint8_t sum = Hex(AddSumCode(c.line).text).back();
        frame.back() ^= 0x5A;
        fields = decode::DecodeCheckSum(frame);
        EXPECT_EQ(fields[1].verdict, Verdict::Bad) << c.line;
        EXPECT_EQ(fields[1].expected, HexValueText(sum)) << c.line;
    }
    const auto one = decode::DecodeCheckSum(Hex("12"));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].verdict, Verdict::Bad);
}

// Each shape takes its own frames and not the others' (the detection order
// tries DNP3 and CDT first, the shapes that rest on a check code last).
TEST(Detection, EachFrameGoesToItsProtocol)
{
    const struct {
        const char* frame;
        Protocol protocol;
    } cases[] = {
        {"05 64 05 C0 01 00 00 04 E9 21", Protocol::Dnp3},
        {"05 64 05 C0 01 00 00 04 E9 22", Protocol::Dnp3}, // a bad header CRC shows red
        {"EB 90 EB 90 EB 90 71 4C 00 00 01 00", Protocol::Cdt},
        {"00 01 00 00 00 06 01 03 00 00 00 0A", Protocol::ModbusTcp},
        {"00 01 00 00 00 03 01 83 02", Protocol::ModbusTcp},
        {"01 03 00 00 00 0A C5 CD", Protocol::ModbusRtu},
        {"01 02 03 06", Protocol::CheckSum},
        {"01 02 03 FF", Protocol::CheckSum},
        // a DNP3 length that does not fit, an MBAP length that does not
        {"05 64 06 C0 01 00 00 04 E9 21", Protocol::Unrecognised},
        {"00 01 00 00 00 07 01 03 00 00 00 0A", Protocol::Unrecognised},
        {"00 01 00 00 00 02 01 00", Protocol::Unrecognised}, // function 0 is no function
    };
    for (const auto& c : cases)
        EXPECT_EQ(decode::Decode(Hex(c.frame)).protocol, c.protocol) << c.frame;
}

} // namespace
