#include "frame/CheckCodes.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Kind = CheckCodeResult::Kind;
using Command = CheckCodeResult (*)(std::string_view);

const std::string FormatMessage = "发报格式错误,无法添加校验码,格式应如\"01 03 1A\"";
const std::string CdtMessage = "CDT规约帧长（除校验码外）应为5的倍数.";
const std::string DnpMessage = "长度不够，帧长至少为5,才能添加CRC校验码!";

struct CommandCase {
    const char* name;
    Command command;
    std::string line;
    Kind kind;
    std::string text;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name << " of \"" << c.line << '"'; }

class CheckCodeCommandTest : public testing::TestWithParam<CommandCase> {};

TEST_P(CheckCodeCommandTest, GivesTheNewLineOrTheMessage)
{
    const CommandCase& c = GetParam();
    const CheckCodeResult result = c.command(c.line);
    EXPECT_EQ(result.kind, c.kind);
    EXPECT_EQ(result.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(Sum, CheckCodeCommandTest, testing::Values(
    CommandCase{"sum", AddSumCode, "01 03 1A", Kind::Replaced, "01 03 1A 1E"},
    CommandCase{"sum", AddSumCode, "01 03 1A ", Kind::Replaced, "01 03 1A 1E"},
    // The line is kept as typed; only one trailing space goes.
    CommandCase{"sum", AddSumCode, "01-03-1a  ", Kind::Replaced, "01-03-1a  1E"},
    CommandCase{"sum", AddSumCode, "FF FF 03", Kind::Replaced, "FF FF 03 01"},
    CommandCase{"sum", AddSumCode, " ", Kind::Replaced, " 00"},
    CommandCase{"sum", AddSumCode, "7", Kind::Replaced, "7 00"},
    CommandCase{"sum", AddSumCode, "", Kind::Unchanged, ""},
    CommandCase{"sum", AddSumCode, "01 0X", Kind::Message, FormatMessage},
    CommandCase{"sum", AddSumCode, "1 2 3", Kind::Message, FormatMessage}));

INSTANTIATE_TEST_SUITE_P(Parity, CheckCodeCommandTest, testing::Values(
    CommandCase{"parity", AddParityCode, "01 03 1A", Kind::Replaced, "01 03 1A E7"},
    CommandCase{"parity", AddParityCode, " ", Kind::Replaced, " FF"},
    CommandCase{"parity", AddParityCode, "FF", Kind::Replaced, "FF 00"},
    CommandCase{"parity", AddParityCode, "", Kind::Unchanged, ""},
    CommandCase{"parity", AddParityCode, "0 1", Kind::Message, FormatMessage}));

INSTANTIATE_TEST_SUITE_P(Frame68, CheckCodeCommandTest, testing::Values(
    CommandCase{"0x68", Add68Frame, "01 03 1A", Kind::Replaced, "68 03 03 68 01 03 1A 1E 16"},
    CommandCase{"0x68", Add68Frame, "01 03 1A ", Kind::Replaced, "68 03 03 68 01 03 1A 1E 16"},
    CommandCase{"0x68", Add68Frame, " ", Kind::Replaced, "68 00 00 68  00 16"},
    CommandCase{"0x68", Add68Frame, "", Kind::Unchanged, ""},
    CommandCase{"0x68", Add68Frame, "68 ZZ", Kind::Message, FormatMessage}));

INSTANTIATE_TEST_SUITE_P(Cdt, CheckCodeCommandTest, testing::Values(
    CommandCase{"CDT", AddCdtCode, "01 02 03 04 05", Kind::Replaced, "01 02 03 04 05 43 "},
    CommandCase{"CDT", AddCdtCode, "00 00 00 00 00", Kind::Replaced, "00 00 00 00 00 FF "},
    CommandCase{"CDT", AddCdtCode, "01-02-03-04-05 00 00 00 00 00 ", Kind::Replaced,
                "01 02 03 04 05 43 00 00 00 00 00 FF "},
    CommandCase{"CDT", AddCdtCode, "01 02 03", Kind::Message, CdtMessage},
    // The length rule comes before any pair is read.
    CommandCase{"CDT", AddCdtCode, "zz zz", Kind::Message, CdtMessage},
    CommandCase{"CDT", AddCdtCode, "01 02 03 04 0Q", Kind::Message, FormatMessage},
    CommandCase{"CDT", AddCdtCode, " ", Kind::Replaced, ""},
    CommandCase{"CDT", AddCdtCode, "", Kind::Unchanged, ""}));

INSTANTIATE_TEST_SUITE_P(Modbus, CheckCodeCommandTest, testing::Values(
    CommandCase{"MODBUS", AddModbusCode, "01 03 00 00 00 01", Kind::Replaced, "01 03 00 00 00 01 84 0A"},
    CommandCase{"MODBUS", AddModbusCode, "01 03 00 00 00 0A", Kind::Replaced, "01 03 00 00 00 0A C5 CD"},
    CommandCase{"MODBUS", AddModbusCode, "01 03 00 00 00 0a ", Kind::Replaced, "01 03 00 00 00 0a C5 CD"},
    CommandCase{"MODBUS", AddModbusCode, " ", Kind::Replaced, " FF FF"},
    CommandCase{"MODBUS", AddModbusCode, "", Kind::Unchanged, ""},
    CommandCase{"MODBUS", AddModbusCode, "01 03 00 00 00 0", Kind::Replaced, "01 03 00 00 00 0 19 84"},
    CommandCase{"MODBUS", AddModbusCode, "01 03 00 00  0A", Kind::Message, FormatMessage}));

INSTANTIATE_TEST_SUITE_P(Dnp, CheckCodeCommandTest, testing::Values(
    CommandCase{"DNP", AddDnpCode, "C0 01 00 00 04", Kind::Replaced, "05 64 05 C0 01 00 00 04 E9 21 "},
    CommandCase{"DNP", AddDnpCode, "C4 01 00 02 00 01 02", Kind::Replaced,
                "05 64 07 C4 01 00 02 00 DB 49 01 02 0D 38 "},
    CommandCase{"DNP", AddDnpCode, "c4-01-00-02-00-01-02 ", Kind::Replaced,
                "05 64 07 C4 01 00 02 00 DB 49 01 02 0D 38 "},
    CommandCase{"DNP", AddDnpCode, "C0 01 00 00", Kind::Message, DnpMessage},
    CommandCase{"DNP", AddDnpCode, " ", Kind::Message, DnpMessage},
    CommandCase{"DNP", AddDnpCode, "C0 01 00 00 G4", Kind::Message, FormatMessage},
    CommandCase{"DNP", AddDnpCode, "", Kind::Unchanged, ""}));

std::vector<uint8_t> Parse(const std::string& text)
{
    const FrameParseResult result = HexTextToBytes(text);
    EXPECT_TRUE(result.ok()) << text;
    return result.bytes;
}

// A typed line of n bytes 00, 01, 02, ...
std::string TypedLine(std::size_t n)
{
    std::vector<uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    std::string line = BytesToHexText(bytes);
    if (!line.empty())
        line.pop_back();
    return line;
}

TEST(AddDnpCode, SplitsTheUserDataIntoBlocksOfSixteen)
{
    for (const std::size_t n : {5u, 6u, 21u, 22u, 37u, 38u, 255u}) {
        const CheckCodeResult result = AddDnpCode(TypedLine(n));
        ASSERT_EQ(result.kind, Kind::Replaced) << n;
        const std::vector<uint8_t> frame = Parse(result.text);
        const std::size_t data = n - 5;
        const std::size_t blocks = (data + 15) / 16;
        ASSERT_EQ(frame.size(), 10 + data + 2 * blocks) << n;
        EXPECT_EQ(frame[0], 0x05);
        EXPECT_EQ(frame[1], 0x64);
        EXPECT_EQ(frame[2], n);
        // Each block carries its CRC low byte first.
        std::size_t at = 0;
        std::size_t typed = 0;
        std::size_t blockSize = 8;
        while (at < frame.size()) {
            const std::span<const uint8_t> block(frame.data() + at, blockSize);
            const uint16_t crc = CrcDnp(block);
            EXPECT_EQ(frame[at + blockSize], crc & 0xFF) << n << " at " << at;
            EXPECT_EQ(frame[at + blockSize + 1], crc >> 8) << n << " at " << at;
            for (std::size_t i = at == 0 ? 3 : 0; i < blockSize; ++i)
                EXPECT_EQ(frame[at + i], typed++) << n << " at " << at + i;
            at += blockSize + 2;
            blockSize = std::min<std::size_t>(16, n - typed);
        }
        EXPECT_EQ(typed, n);
    }
}

TEST(AddDnpCode, TwentyTwoBytesGiveAFullAndAOneByteBlock)
{
    const CheckCodeResult result = AddDnpCode(TypedLine(22));
    ASSERT_EQ(result.kind, Kind::Replaced);
    const std::vector<uint8_t> frame = Parse(result.text);
    ASSERT_EQ(frame.size(), 10u + 18u + 3u);
    EXPECT_EQ(frame[2], 0x16);
    EXPECT_EQ(frame[28], 21); // the last typed byte, alone in its block
    EXPECT_EQ(result.text.back(), ' ');
}

TEST(CheckCodeCommands, RebuiltLinesParseBackToTheFrame)
{
    const CheckCodeResult cdt = AddCdtCode(TypedLine(165));
    ASSERT_EQ(cdt.kind, Kind::Replaced);
    const std::vector<uint8_t> frame = Parse(cdt.text);
    ASSERT_EQ(frame.size(), 33u * 6u);
    for (std::size_t g = 0; g < 33; ++g)
        EXPECT_EQ(frame[6 * g + 5], CrcCdt(std::span<const uint8_t>(frame.data() + 6 * g, 5))) << g;
}

struct LimitCase {
    const char* name;
    Command command;
    std::size_t accepted; // the longest line taken, in typed bytes
    std::size_t refused;  // a longer line, refused with the format message
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }

class CheckCodeLimitTest : public testing::TestWithParam<LimitCase> {};

TEST_P(CheckCodeLimitTest, RefusesLinesLongerThanTheWorkingBuffer)
{
    const LimitCase& c = GetParam();
    const CheckCodeResult taken = c.command(TypedLine(c.accepted));
    EXPECT_EQ(taken.kind, Kind::Replaced) << c.accepted;
    for (const std::size_t n : {c.refused, std::size_t{5000}}) {
        const CheckCodeResult refused = c.command(TypedLine(n));
        EXPECT_EQ(refused.kind, Kind::Message) << n;
        EXPECT_EQ(refused.text, FormatMessage) << n;
        // With the trailing space the count is the same.
        EXPECT_EQ(c.command(TypedLine(n) + " ").kind, Kind::Message) << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Buffers, CheckCodeLimitTest, testing::Values(
    LimitCase{"sum", AddSumCode, 512, 513},
    LimitCase{"parity", AddParityCode, 512, 513},
    LimitCase{"0x68", Add68Frame, 512, 513},
    LimitCase{"MODBUS", AddModbusCode, 300, 301},
    LimitCase{"CDT", AddCdtCode, 165, 170},
    // The length byte of the link frame holds at most 255.
    LimitCase{"DNP", AddDnpCode, 255, 256}));

TEST(Add68Frame, WritesLengthsOfMoreThanAByteWithThreeDigits)
{
    const CheckCodeResult result = Add68Frame(TypedLine(512));
    ASSERT_EQ(result.kind, Kind::Replaced);
    EXPECT_EQ(result.text.substr(0, 13), "68 200 200 68");
    EXPECT_EQ(result.text.substr(result.text.size() - 6), " 00 16");
}

} // namespace
