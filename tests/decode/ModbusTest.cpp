#include "decode/Decode.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// What the comparison with tshark cannot show: the values a bad check code or
// length should have had, byte counts that disagree with their quantity, the
// request/response choice where the lengths alone leave it open, and frames
// cut short.

namespace {

using decode::Verdict;

std::vector<uint8_t> Hex(std::string_view text)
{
    return HexTextToBytes(text).bytes;
}

const decode::Field* Find(const decode::Fields& fields, std::string_view name)
{
    const auto it = std::ranges::find_if(fields, [&](const auto& f) { return f.name == name; });
    return it == fields.end() ? nullptr : &*it;
}

struct CheckCase {
    const char* frame;
    bool tcp;
    const char* field;
    Verdict verdict;
    const char* expected;
};

TEST(Modbus, ChecksAndCountsGiveTheValueThatWouldVerify)
{
    const CheckCase cases[] = {
        {"01 03 00 00 00 0A C5 CD", false, "CRC", Verdict::Good, ""},
        {"01 03 00 00 00 0A CD C5", false, "CRC", Verdict::Bad, "C5 CD"},
        {"00 01 00 00 00 06 01 03 00 00 00 0A", true, "Length", Verdict::Good, ""},
        {"00 01 00 00 00 07 01 03 00 00 00 0A", true, "Length", Verdict::Bad, "00 06"},
        {"00 01 00 05 00 06 01 03 00 00 00 0A", true, "Protocol identifier", Verdict::Bad, "00 00"},
        // 10 outputs need 2 bytes, 3 registers 6 bytes
        {"00 01 00 00 00 0A 01 0F 00 13 00 0A 03 CD 01 00", true, "Byte count", Verdict::Bad, "02"},
        {"00 01 00 00 00 0B 01 10 00 01 00 03 04 00 0A 01 02", true, "Byte count", Verdict::Bad, "06"},
        {"00 01 00 00 00 11 01 17 00 03 00 06 00 0E 00 02 06 00 FF 00 FF 00 FF", true, "Write byte count",
         Verdict::Bad, "04"},
    };
    for (const auto& c : cases) {
        const auto frame = Hex(c.frame);
        const auto fields = c.tcp ? decode::DecodeModbusTcp(frame) : decode::DecodeModbusRtu(frame);
        const auto* f = Find(fields, c.field);
        ASSERT_NE(f, nullptr) << c.frame;
        EXPECT_EQ(f->verdict, c.verdict) << c.frame;
        EXPECT_EQ(f->expected, c.expected) << c.frame;
    }
}

TEST(Modbus, RequestOrResponseByTheLengths)
{
    const struct {
        const char* pdu;
        const char* value;
    } cases[] = {
        // four bytes of a read-coils PDU: a request, unless the quantity is impossible
        {"01 00 13 00 25", "1 Read Coils, request"},
        {"01 03 CD 6B 05", "1 Read Coils, response"},
        {"02 03 07 00 00", "2 Read Discrete Inputs, response"},
        {"03 06 02 2B 00 00 00 64", "3 Read Holding Registers, response"},
        {"05 00 AC FF 00", "5 Write Single Coil, request or its echoed response"},
        {"0F 00 13 00 0A", "15 Write Multiple Coils, response"},
        {"17 0C 00 FE 0A CD 00 01 00 03 00 0D 00 FF", "23 Read/Write Multiple Registers, response"},
        // an odd register byte count fits no shape
        {"03 05 02 2B 00 00 00", "3 Read Holding Registers"},
        {"83 02", "exception response to 3 Read Holding Registers"},
    };
    for (const auto& c : cases) {
        const auto pdu = Hex(c.pdu);
        std::vector<uint8_t> frame{0x00, 0x01, 0x00, 0x00, 0x00, static_cast<uint8_t>(pdu.size() + 1), 0x01};
        frame.insert(frame.end(), pdu.begin(), pdu.end());
        const auto fields = decode::DecodeModbusTcp(frame);
        const auto* f = Find(fields, "PDU");
        ASSERT_NE(f, nullptr) << c.pdu;
        EXPECT_EQ(f->value, c.value) << c.pdu;
    }
    const auto odd = decode::DecodeModbusTcp(Hex("00 01 00 00 00 08 01 03 05 02 2B 00 00 00"));
    EXPECT_EQ(Find(odd, "Data")->verdict, Verdict::Bad);
}

TEST(Modbus, AShortFrameEndsInOneBadField)
{
    const struct {
        const char* frame;
        bool tcp;
        const char* value;
    } cases[] = {
        {"01 03 C5", false, "truncated: 3 of 4 bytes (unit, function code and CRC at least)"},
        {"00 01 00 00 00", true, "truncated: 5 of 7 bytes"},
        {"00 01 00 00 00 01 01", true, "truncated: no function code"},
        {"00 01 00 00 00 02 01 83", true, "truncated: 0 of 1 bytes"},
    };
    for (const auto& c : cases) {
        const auto frame = Hex(c.frame);
        const auto fields = c.tcp ? decode::DecodeModbusTcp(frame) : decode::DecodeModbusRtu(frame);
        ASSERT_FALSE(fields.empty()) << c.frame;
        EXPECT_EQ(fields.back().verdict, Verdict::Bad) << c.frame;
        EXPECT_EQ(fields.back().value, c.value) << c.frame;
    }
}

} // namespace
