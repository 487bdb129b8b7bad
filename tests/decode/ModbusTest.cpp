#include "decode/Decode.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <utility>
#include <string>
#include <vector>

// What the comparison with tshark cannot show: the values a bad check code or
// length should have had, byte counts that disagree with their quantity, the
// request/response choice where the lengths alone leave it open, and frames
// cut short.

namespace {

using decode::Decode;
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
    const char* value = nullptr; // checked where given
};

TEST(Modbus, ChecksAndCountsGiveTheValueThatWouldVerify)
{
    const CheckCase cases[] = {
        {"01 03 00 00 00 0A C5 CD", false, "CRC", Verdict::Good, ""},
        // the CRC that would verify is said once, in the verdict
        {"01 03 00 00 00 0A CD C5", false, "CRC", Verdict::Bad, "C5 CD", "0xC5CD"},
        {"00 01 00 00 00 06 01 03 00 00 00 0A", true, "Length", Verdict::Good, ""},
        {"00 01 00 00 00 07 01 03 00 00 00 0A", true, "Length", Verdict::Bad, "00 06"},
        {"00 01 00 05 00 06 01 03 00 00 00 0A", true, "Protocol identifier", Verdict::Bad, "00 00"},
        // 10 outputs need 2 bytes, 3 registers 6 bytes
        {"00 01 00 00 00 0A 01 0F 00 13 00 0A 03 CD 01 00", true, "Byte count", Verdict::Bad, "02"},
        {"00 01 00 00 00 0B 01 10 00 01 00 03 04 00 0A 01 02", true, "Byte count", Verdict::Bad, "06"},
        {"00 01 00 00 00 11 01 17 00 03 00 06 00 0E 00 02 06 00 FF 00 FF 00 FF", true, "Write byte count",
         Verdict::Bad, "04"},
        // file records: the reference type is always 6, records are 0 to 9999, a sub-response's
        // length counts the bytes after it
        {"00 01 00 00 00 0B 01 14 07 06 00 04 00 01 00 02 00", true, "Byte count", Verdict::Bad, "08"},
        {"00 01 00 00 00 0A 01 14 07 07 00 04 00 01 00 02", true, "Reference type", Verdict::Bad, "06"},
        {"00 01 00 00 00 0A 01 14 07 06 00 04 27 10 00 02", true, "Record number", Verdict::Bad, ""},
        {"00 01 00 00 00 0A 01 14 07 06 00 00 00 01 00 02", true, "File number", Verdict::Bad, ""},
        {"00 01 00 00 00 0A 01 15 07 06 00 04 00 01 00 02", true, "Record data", Verdict::Bad, ""},
        // device identification: the number of objects against the objects there are
        {"00 01 00 00 00 0C 01 2B 0E 01 01 00 00 02 00 02 41 42", true, "Number of objects", Verdict::Bad,
         "01"},
    };
    // frames from the device, read as responses
    const CheckCase responses[] = {
        {"00 01 00 00 00 09 01 14 06 07 06 0D FE 00 20", true, "File response length", Verdict::Bad, "05"},
        {"01 14 05 04 06 0D FE 00 F5 78", false, "File response length", Verdict::Bad, ""},
        {"00 01 00 00 00 0C 01 2B 0E 01 01 00 00 01 00 05 41 42", true, "Object length", Verdict::Bad, "02"},
    };
    decode::Options fromDevice;
    fromDevice.direction = decode::Direction::FromDevice;
    for (const auto& [list, options] : {std::pair{std::span<const CheckCase>(cases), decode::Options{}},
                                        std::pair{std::span<const CheckCase>(responses), fromDevice}}) {
        for (const auto& c : list) {
            const auto frame = Hex(c.frame);
            const auto fields =
                c.tcp ? decode::DecodeModbusTcp(frame, options) : decode::DecodeModbusRtu(frame, options);
            const auto* f = Find(fields, c.field);
            ASSERT_NE(f, nullptr) << c.frame;
            EXPECT_EQ(f->verdict, c.verdict) << c.frame;
            EXPECT_EQ(f->expected, c.expected) << c.frame;
            if (c.value) {
                EXPECT_EQ(f->value, c.value) << c.frame;
            }
        }
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
        // an odd register byte count: read on as a response, the count bad
        {"03 05 02 2B 00 00 00", "3 Read Holding Registers, response"},
        // too short for either
        {"03", "3 Read Holding Registers"},
        {"83 02", "exception response to 3 Read Holding Registers"},
        // file records: 7-byte sub-requests, or sub-responses of a length, type 6 and registers
        {"14 07 06 00 04 00 01 00 02", "20 Read File Record, request"},
        {"14 0C 05 06 0D FE 00 20 05 06 33 CD 00 40", "20 Read File Record, response"},
        {"15 09 06 00 04 00 07 00 01 06 AF", "21 Write File Record, request or its echoed response"},
        // device identification: a request of 3 bytes, a response of 6 and its objects
        {"2B 0E 04 05", "43 Encapsulated Interface Transport, request"},
        {"2B 0E 01 83 00 00 01 00 01 41", "43 Encapsulated Interface Transport, response"},
        {"2B 0D 00 10 20", "43 Encapsulated Interface Transport, request or response"},
        {"AB 01", "exception response to 43 Encapsulated Interface Transport"},
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
    ASSERT_NE(Find(odd, "Byte count"), nullptr);
    EXPECT_EQ(Find(odd, "Byte count")->verdict, Verdict::Bad);
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

decode::Options Going(decode::Direction direction, decode::DeviceRole device = decode::DeviceRole::Answers)
{
    decode::Options options;
    options.direction = direction;
    options.device = device;
    return options;
}

// The PDU headings of a decoding, one per reading, joined by " | ".
std::string Headings(const decode::Fields& fields)
{
    std::string text;
    for (const auto& f : fields)
        if (f.name == "PDU")
            text += (text.empty() ? "" : " | ") + f.value;
    return text;
}

TEST(Modbus, TheWindowsDirectionTellsARequestFromAResponse)
{
    using decode::DeviceRole;
    using decode::Direction;
    const struct {
        const char* frame;
        decode::Options options;
        const char* headings;
        const char* field;
        const char* value;
        Verdict verdict;
    } cases[] = {
        // three status bytes whose last two also read as a quantity of 1
        {"10 71 00 00 00 06 FF 01 03 0D 00 01", Going(Direction::FromDevice), "1 Read Coils, response",
         "Coils 16-23", "1 0 0 0 0 0 0 0", Verdict::None},
        {"10 71 00 00 00 06 FF 01 03 0D 00 01", Going(Direction::ToDevice), "1 Read Coils, request",
         "Starting address", "781", Verdict::None},
        // a device that asks: what it sends is a request
        {"10 71 00 00 00 06 FF 01 03 0D 00 01", Going(Direction::FromDevice, DeviceRole::Asks),
         "1 Read Coils, request", "Quantity of coils", "1", Verdict::None},
        {"10 71 00 00 00 06 FF 01 03 0D 00 01", {},
         "1 Read Coils, request (or a response: read below) | "
         "1 Read Coils, response (the other reading: the direction is not known)",
         "Byte count", "3", Verdict::Good},
        {"FF 01 03 0D 00 01 79 93", Going(Direction::FromDevice), "1 Read Coils, response", "Byte count", "3",
         Verdict::Good},
        // an odd register byte count: the response read on, the count bad
        {"00 01 00 00 00 06 09 03 03 00 01 02", Going(Direction::FromDevice), "3 Read Holding Registers, response",
         "Byte count", "3 (odd: a register takes 2 bytes)", Verdict::Bad},
        {"14 BF 00 00 00 0A 09 10 00 01 00 02 03 00 0A 01", Going(Direction::ToDevice),
         "16 Write Multiple Registers, request", "Register 1", "10 (0x000A)", Verdict::None},
        {"14 BF 00 00 00 0A 09 10 00 01 00 02 03 00 0A 01", {}, "16 Write Multiple Registers, request", "Byte count",
         "3 (the quantity needs 4)", Verdict::Bad},
        // a whole response in the send window (a device simulated from it)
        {"00 01 00 00 00 07 01 03 04 00 0A 00 0B", Going(Direction::ToDevice),
         "3 Read Holding Registers, response (sent as a request, read as a response)", "Value 2", "11 (0x000B)",
         Verdict::None},
        // the echo of a write is a response where the direction says so
        {"00 01 00 00 00 06 01 06 00 01 00 03", Going(Direction::FromDevice), "6 Write Single Register, response",
         "Register value", "3 (0x0003)", Verdict::None},
        {"00 01 00 00 00 06 01 05 00 01 12 34", Going(Direction::ToDevice), "5 Write Single Coil, request",
         "Output value", "0x1234 (neither FF00 on nor 0000 off)", Verdict::Bad},
        {"00 01 00 00 00 06 01 03 00 00 00 7E", Going(Direction::ToDevice), "3 Read Holding Registers, request",
         "Quantity of registers", "126 (1 to 125)", Verdict::Bad},
    };
    for (const auto& c : cases) {
        const auto frame = Hex(c.frame);
        const auto fields = Decode(frame, c.options).fields;
        EXPECT_EQ(Headings(fields), c.headings) << c.frame;
        const auto* f = Find(fields, c.field);
        ASSERT_NE(f, nullptr) << c.frame << ": " << c.field;
        EXPECT_EQ(f->value, c.value) << c.frame;
        EXPECT_EQ(f->verdict, c.verdict) << c.frame;
    }
}

TEST(Modbus, AResponsePairedWithItsRequestNumbersItsValuesByAddress)
{
    const auto readRegisters = Hex("00 05 00 00 00 06 01 03 00 6B 00 03");
    const auto readCoils = Hex("00 06 00 00 00 06 01 01 00 13 00 0A");
    const auto readCoilsRtu = Hex("01 01 00 13 00 0A 4D C8");
    const struct {
        const char* response;
        std::vector<uint8_t> lastSent;
        std::vector<std::vector<uint8_t>> earlier;
        decode::Direction direction;
        const char* field;
        const char* value;
        Verdict verdict;
    } cases[] = {
        {"00 05 00 00 00 09 01 03 06 02 2B 00 00 00 64", readRegisters, {}, decode::Direction::FromDevice,
         "Register 109", "100 (0x0064)", Verdict::None},
        // coils numbered from the first asked for, the padding bits left out
        {"00 06 00 00 00 05 01 01 02 CD 01", readCoils, {}, decode::Direction::FromDevice, "Coils 27-28", "1 0",
         Verdict::None},
        {"01 01 02 CD 01 2C AC", readCoilsRtu, {}, decode::Direction::FromDevice, "Coils 19-26",
         "1 0 1 1 0 0 1 1", Verdict::None},
        // the quantity asked for needs 6 bytes
        {"00 05 00 00 00 07 01 03 04 02 2B 00 00", readRegisters, {}, decode::Direction::FromDevice, "Byte count",
         "4 (the quantity needs 6)", Verdict::Bad},
        // another transaction: not its request
        {"00 07 00 00 00 09 01 03 06 02 2B 00 00 00 64", readRegisters, {}, decode::Direction::FromDevice,
         "Value 3", "100 (0x0064)", Verdict::None},
        // a log of both directions pairs with the nearest earlier request
        {"00 05 00 00 00 09 01 03 06 02 2B 00 00 00 64", {}, {readRegisters, readCoils},
         decode::Direction::Unknown, "Register 107", "555 (0x022B)", Verdict::None},
        // a window of one direction never pairs with its own lines
        {"00 05 00 00 00 09 01 03 06 02 2B 00 00 00 64", {}, {readRegisters}, decode::Direction::FromDevice,
         "Value 1", "555 (0x022B)", Verdict::None},
    };
    for (const auto& c : cases) {
        decode::Options options = Going(c.direction);
        options.lastSent = c.lastSent;
        options.earlier = c.earlier;
        const auto fields = Decode(Hex(c.response), options).fields;
        const auto* f = Find(fields, c.field);
        ASSERT_NE(f, nullptr) << c.response << ": " << c.field;
        EXPECT_EQ(f->value, c.value) << c.response;
        EXPECT_EQ(f->verdict, c.verdict) << c.response;
    }
    const auto pair = decode::PairModbus(readRegisters, Hex("00 05 00 00 00 03 01 83 02"), decode::Protocol::ModbusTcp);
    ASSERT_TRUE(pair.has_value());
    EXPECT_EQ(pair->start, 107u);
    EXPECT_EQ(pair->quantity, 3u);
    EXPECT_FALSE(decode::PairModbus(readRegisters, Hex("00 05 00 00 00 03 02 83 02"), decode::Protocol::ModbusTcp));
    EXPECT_FALSE(decode::PairModbus(readRegisters, readRegisters, decode::Protocol::ModbusRtu));
}

TEST(Modbus, DetectionTriesAVerifiedCrcBeforeAnMbapHeaderThatFits)
{
    const struct {
        const char* frame;
        decode::Protocol protocol;
        Verdict crc;
        const char* expected;
    } cases[] = {
        {"01 03 00 00 00 02 C4 0B", decode::Protocol::ModbusRtu, Verdict::Good, ""},
        // an RTU frame in all but its CRC shows the CRC it should have
        {"01 03 00 00 00 02 C4 0C", decode::Protocol::ModbusRtu, Verdict::Bad, "C4 0B"},
        {"11 03 06 02 2B 00 00 00 64 37 BA", decode::Protocol::ModbusRtu, Verdict::Bad, "C8 BA"},
        {"01 83 02 00 00", decode::Protocol::ModbusRtu, Verdict::Bad, "C0 F1"},
        // the broadcast address does not read; an IEC 101 frame gone wrong stays one
        {"00 03 00 00 00 02 00 00", decode::Protocol::Unrecognised, Verdict::None, ""},
        {"68 03 04 68 01 03 1A 1E 16", decode::Protocol::Unrecognised, Verdict::None, ""},
    };
    for (const auto& c : cases) {
        const auto d = Decode(Hex(c.frame));
        EXPECT_EQ(d.protocol, c.protocol) << c.frame;
        const auto* crc = Find(d.fields, "CRC");
        if (c.protocol != decode::Protocol::ModbusRtu)
            continue;
        ASSERT_NE(crc, nullptr) << c.frame;
        EXPECT_EQ(crc->verdict, c.crc) << c.frame;
        EXPECT_EQ(crc->expected, c.expected) << c.frame;
    }
}

} // namespace
