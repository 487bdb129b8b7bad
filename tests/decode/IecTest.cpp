// The IEC 60870-5-104 and -101 decoders where tshark cannot judge them:
// detection, check codes and lengths that do not verify, truncated frames,
// the link's size settings, and the elements tshark leaves undecoded. The
// values tshark prints are compared over the corpus by compare_iec.py.
#include "decode/Decode.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using decode::Decode;
using decode::Field;
using decode::Fields;
using decode::IecSizes;
using decode::Options;
using decode::Protocol;
using decode::Verdict;

std::vector<uint8_t> Hex(std::string_view text)
{
    const auto parsed = HexTextToBytes(text);
    EXPECT_TRUE(parsed.ok()) << text;
    return parsed.bytes;
}

// The n-th (from 0) field of that name, or a field named "missing".
Field Find(const Fields& fields, std::string_view name, int n = 0)
{
    for (const Field& f : fields)
        if (f.name == name && n-- == 0)
            return f;
    return Field{0, "missing", 0, 0, {}, "missing", Verdict::None, {}};
}

// Every field lies inside the frame, and only the last may say "truncated".
void ExpectInside(const Fields& fields, std::size_t size, std::string_view frame)
{
    for (std::size_t k = 0; k < fields.size(); ++k) {
        EXPECT_LE(fields[k].offset + fields[k].length, size) << frame << ": " << fields[k].name;
        if (fields[k].value.starts_with("truncated")) {
            EXPECT_EQ(k + 1, fields.size()) << frame << ": " << fields[k].name;
        }
    }
}

TEST(IecDetection, TheFrameShapeChoosesTheProtocol)
{
    const IecSizes twoOctetLink{2, 1, 1, 2};
    const struct {
        std::string_view frame;
        IecSizes sizes;
        Protocol expected;
    } cases[] = {
        {"68 04 07 00 00 00", {}, Protocol::Iec104},
        {"68 04 01 00 0A 00 68 04 43 00 00 00", {}, Protocol::Iec104},
        // one APDU's length runs past the chunk, or is below 4
        {"68 04 01 00 0A 00 68 05 43 00 00 00", {}, Protocol::Unrecognised},
        {"68 03 01 00 0A", {}, Protocol::Unrecognised},
        {"10 49 01 4A 16", {}, Protocol::Iec101},
        // a wrong checksum keeps the shape: it is shown red, not lost
        {"10 49 01 4B 16", {}, Protocol::Iec101},
        {"10 49 01 00 4A 16", twoOctetLink, Protocol::Iec101},
        {"10 49 01 4A 16", twoOctetLink, Protocol::Unrecognised},
        // the 0x68 frame command's output, around a short line and an empty one
        {"68 03 03 68 01 03 1A 1E 16", {}, Protocol::Iec101},
        {"68 00 00 68 00 16", {}, Protocol::Iec101},
        // both lengths must agree with the frame's size
        {"68 03 04 68 01 03 1A 1E 16", {}, Protocol::Unrecognised},
        {"68 04 04 68 01 03 1A 1E 16", {}, Protocol::Unrecognised},
    };
    for (const auto& c : cases) {
        const auto d = Decode(Hex(c.frame), Options{Protocol::Auto, c.sizes});
        EXPECT_EQ(d.protocol, c.expected) << c.frame;
    }
}

TEST(IecCheckCodes, AWrongCodeOrLengthIsBadWithTheValueThatVerifies)
{
    const struct {
        Protocol protocol;
        std::string_view frame;
        std::string_view field;
        Verdict verdict;
        std::string_view expected;
    } cases[] = {
        {Protocol::Iec101, "10 49 01 4A 16", "Checksum", Verdict::Good, ""},
        {Protocol::Iec101, "10 49 01 4B 16", "Checksum", Verdict::Bad, "4A"},
        {Protocol::Iec101, "68 09 09 68 73 01 64 01 06 01 00 00 14 EA 16", "Checksum",
         Verdict::Bad, "F4"},
        {Protocol::Iec101, "68 09 09 68 73 01 64 01 06 01 00 00 14 F4 16", "Checksum",
         Verdict::Good, ""},
        {Protocol::Iec101, "68 09 09 68 73 01 64 01 06 01 00 00 14 F4 17", "End", Verdict::Bad,
         "16"},
        {Protocol::Iec101, "68 09 0A 68 73 01 64 01 06 01 00 00 14 F4 16", "Length",
         Verdict::Bad, "09 09"},
        {Protocol::Iec101, "68 09 09 68 73 01 64 01 06 01 00 00 14 F4 16 00", "Extra bytes",
         Verdict::Bad, "0 bytes"},
        {Protocol::Iec104, "68 0E 00 00 00 00 64 01 06 00 01 00 00 00 00 14", "Length",
         Verdict::Good, ""},
        {Protocol::Iec104, "68 0F 00 00 00 00 64 01 06 00 01 00 00 00 00 14", "Length",
         Verdict::Bad, "0E"},
        {Protocol::Iec104, "68 03 01 00 0A", "Length", Verdict::Bad, "04"},
        {Protocol::Iec104, "68 04 43 00 00 00 00", "Start", Verdict::Bad, "68"},
        {Protocol::Iec104, "68 05 43 00 00 00 00", "Extra bytes", Verdict::Bad, "0 bytes"},
    };
    for (const auto& c : cases) {
        const auto frame = Hex(c.frame);
        const auto fields = Decode(frame, {c.protocol, {}}).fields;
        const Field f = Find(fields, c.field, c.field == "Start" ? 1 : 0);
        EXPECT_EQ(f.verdict, c.verdict) << c.frame;
        EXPECT_EQ(f.expected, c.expected) << c.frame;
        ExpectInside(fields, frame.size(), c.frame);
    }
}

TEST(IecTruncation, AShortFrameEndsInOneBadFieldSayingWhatIsMissing)
{
    const struct {
        Protocol protocol;
        std::string_view frame;
        std::string_view lastField;
        std::string_view lastValue;
    } cases[] = {
        {Protocol::Iec104, "68", "Length", "truncated: 0 of 1 bytes"},
        {Protocol::Iec104, "68 04 43 00", "Control field", "truncated: 2 of 4 bytes"},
        // a float measurement cut inside its value, and inside its time tag
        {Protocol::Iec104, "68 19 02 00 04 00 24 01 03 00 01 00 01 40 00 AE 47",
         "Short floating point", "truncated: 2 of 4 bytes"},
        {Protocol::Iec104,
         "68 19 02 00 04 00 24 01 03 00 01 00 01 40 00 AE 47 48 42 00 09 05 0E",
         "CP56Time2a", "truncated: 3 of 7 bytes"},
        // the VSQ counts two objects, the APDU holds one and a byte
        {Protocol::Iec104, "68 0F 00 00 00 00 01 02 14 00 01 00 01 00 00 01 02",
         "Information object address", "truncated: 1 of 3 bytes"},
        {Protocol::Iec104, "68 0A 00 00 00 00 01 01 14 00", "Common address",
         "truncated: 0 of 2 bytes"},
        {Protocol::Iec101, "10 49", "Link address", "truncated: 0 of 1 bytes"},
        {Protocol::Iec101, "68 09 09 68 73 01 64 01 06 01 00 00 14 F4", "End",
         "truncated: 0 of 1 bytes"},
        {Protocol::Iec101, "68 09 09 68 73 01 64", "Checksum",
         "truncated: the user data has 3 of 9 bytes"},
        {Protocol::Iec101, "68 09", "Length", "truncated: 1 of 2 bytes"},
    };
    for (const auto& c : cases) {
        const auto frame = Hex(c.frame);
        const auto fields = Decode(frame, {c.protocol, {}}).fields;
        ASSERT_FALSE(fields.empty()) << c.frame;
        EXPECT_EQ(fields.back().name, c.lastField) << c.frame;
        EXPECT_EQ(fields.back().value, c.lastValue) << c.frame;
        EXPECT_EQ(fields.back().verdict, Verdict::Bad) << c.frame;
        ExpectInside(fields, frame.size(), c.frame);
    }
}

TEST(Iec101Sizes, TheLinksSizesPlaceEveryAddress)
{
    // M_ME_NB_1 scaled value -300, spontaneous, common address 1, object 16400
    const struct {
        IecSizes sizes;
        std::string_view frame;
        std::string_view linkAddress;
        std::string_view originator;
        std::string_view commonAddress;
        std::string_view objectAddress;
    } cases[] = {
        {{1, 1, 1, 1}, "68 0A 0A 68 08 03 0B 01 03 01 10 D4 FE 00 FD 16", "3", "missing", "1",
         "16"},
        {{1, 1, 1, 2}, "68 0B 0B 68 08 03 0B 01 03 01 10 40 D4 FE 00 3D 16", "3", "missing",
         "1", "16400"},
        {{2, 2, 2, 3}, "68 0F 0F 68 08 01 02 0B 01 03 07 01 00 10 40 00 D4 FE 00 44 16",
         "513", "7", "1", "16400"},
        {{0, 1, 2, 3}, "68 0C 0C 68 08 0B 01 03 01 00 10 40 00 D4 FE 00 3A 16", "missing",
         "missing", "1", "16400"},
    };
    for (const auto& c : cases) {
        const auto frame = Hex(c.frame);
        const auto d = Decode(frame, {Protocol::Auto, c.sizes});
        EXPECT_EQ(d.protocol, Protocol::Iec101) << c.frame;
        EXPECT_EQ(Find(d.fields, "Link address").value.substr(0, c.linkAddress.size()),
                  c.linkAddress) << c.frame;
        EXPECT_EQ(Find(d.fields, "Originator address").value, c.originator) << c.frame;
        EXPECT_EQ(Find(d.fields, "Common address").value, c.commonAddress) << c.frame;
        EXPECT_EQ(Find(d.fields, "Information object address").value, c.objectAddress)
            << c.frame;
        EXPECT_EQ(Find(d.fields, "Scaled value").value, "-300") << c.frame;
        EXPECT_EQ(Find(d.fields, "Checksum").verdict, Verdict::Good) << c.frame;
    }
}

TEST(Iec101UserData, UserDataThatIsNoAsduIsShownRawWithTheLinkLayer)
{
    const struct {
        std::string_view frame;
        std::string_view userData; // the raw field's bytes
    } cases[] = {
        // the 0x68 frame command around "01 03 1A", and around nothing
        {"68 03 03 68 01 03 1A 1E 16", "1A"},
        {"68 00 00 68 00 16", "missing"},
        // an ASDU whose VSQ counts one object more than it holds
        {"68 09 09 68 73 01 64 02 06 01 00 00 14 F5 16", "64 02 06 01 00 00 14"},
        // a reserved type identification
        {"68 07 07 68 73 01 16 01 06 01 00 92 16", "16 01 06 01 00"},
        // fewer bytes than the control field and the link address
        {"68 01 01 68 01 01 16", "01"},
    };
    for (const auto& c : cases) {
        const auto frame = Hex(c.frame);
        const auto d = Decode(frame);
        EXPECT_EQ(d.protocol, Protocol::Iec101) << c.frame;
        EXPECT_EQ(Find(d.fields, "ASDU").name, "missing") << c.frame;
        const Field raw = Find(d.fields, "User data");
        EXPECT_EQ(raw.name == "missing" ? "missing" : BytesToHexText(raw.raw).substr(0, raw.raw.size() * 3 - 1),
                  c.userData) << c.frame;
        EXPECT_EQ(Find(d.fields, "Checksum").verdict, Verdict::Good) << c.frame;
        EXPECT_EQ(Find(d.fields, "End").value, "16") << c.frame;
    }
}

// Time tags out of their ranges, a U-format of two functions and an object
// count the ASDU disagrees with are bad, with what they should be; the
// decoding goes on.
TEST(IecChecks, AFieldOutOfItsRangeIsBadAndSaysWhatItShouldBe)
{
    const struct {
        std::string_view apdu;
        std::string_view field;
        std::string_view value;
        std::string_view expected; // empty: not bad
    } cases[] = {
        {"68 15 00 00 00 00 1E 01 03 00 01 00 01 10 00 01 FF FF BF 9F FF 0F 7F", "CP56Time2a",
         "2127-15-31 31:63:65.535 Sun SU IV",
         "year 0 to 99 (2000 to 2099), month 1 to 12, hour 0 to 23, minute 0 to 59, milliseconds 0 to 59999"},
        {"68 15 00 00 00 00 1E 01 03 00 01 00 01 00 00 01 A3 23 05 0E 48 0C 64", "CP56Time2a",
         "2100-12-08 14:05:09.123 Tue", "year 0 to 99 (2000 to 2099)"},
        {"68 15 00 00 00 00 1E 01 03 00 01 00 01 00 00 01 A3 23 05 0E 68 0C 1A", "CP56Time2a",
         "2026-12-08 14:05:09.123 Wed", "day of week Tue for this date"},
        {"68 15 00 00 00 00 1E 01 03 00 01 00 01 00 00 01 A3 23 05 0E 5E 02 1A", "CP56Time2a",
         "2026-02-30 14:05:09.123 Tue", "day 1 to 28"},
        // a leap year's 29 February; no day of week given
        {"68 15 00 00 00 00 1E 01 03 00 01 00 01 00 00 01 A3 23 05 0E 1D 02 1C", "CP56Time2a",
         "2028-02-29 14:05:09.123", ""},
        {"68 15 00 00 00 00 1E 01 03 00 01 00 01 00 00 01 A3 23 45 0E 48 0C 1A", "CP56Time2a",
         "2026-12-08 14:05:09.123 Tue GEN substituted", ""},
        {"68 11 00 00 00 00 02 01 03 00 01 00 01 00 00 01 60 EA 3C", "CP24Time2a", "minute 60, 60.000 s",
         "minute 0 to 59, milliseconds 0 to 59999"},
        {"68 04 0F 00 00 00", "Function", "STARTDT act + STARTDT con", "one function bit"},
        {"68 04 03 00 00 00", "Function", "none", "one function bit"},
        {"68 04 07 00 00 00", "Function", "STARTDT act", ""},
        {"68 17 00 00 00 00 26 01 03 00 01 00 01 00 00 1A 78 00 A3 23 05 0E 48 0C 1A",
         "Elapsed time (CP16Time2a)", "120 ms", ""},
        {"68 0E 00 00 00 00 01 02 14 00 01 00 01 00 00 01", "Number of objects",
         "2 (the ASDU holds 1 object)", "1"},
        {"68 0E 00 00 00 00 01 02 14 00 01 00 01 00 00 01", "SIQ", "1 on, good", ""},
    };
    for (const auto& c : cases) {
        const auto frame = Hex(c.apdu);
        const auto fields = Decode(frame).fields;
        const Field f = Find(fields, c.field);
        EXPECT_EQ(f.value, c.value) << c.apdu;
        EXPECT_EQ(f.verdict, c.expected.empty() ? Verdict::None : Verdict::Bad) << c.apdu;
        EXPECT_EQ(f.expected, c.expected) << c.apdu;
        ExpectInside(fields, frame.size(), c.apdu);
    }
}

// The names and the texts of the elements tshark does not decode or prints
// only as numbers.
TEST(IecElements, EveryElementReadsAsItsMeaning)
{
    const struct {
        std::string_view apdu;
        std::string_view field;
        std::string_view value;
    } cases[] = {
        {"68 0E 00 00 00 00 64 01 06 00 01 00 00 00 00 14", "Type identification",
         "100 C_IC_NA_1 (interrogation command)"},
        {"68 0E 00 00 00 00 64 01 1A 00 01 00 00 00 00 16", "QOI",
         "22 interrogation of group 2"},
        {"68 0E 00 00 00 00 64 01 1A 00 01 00 00 00 00 16", "Cause of transmission",
         "26 interrogated by group 6 interrogation"},
        {"68 10 00 00 00 00 09 01 03 00 01 00 01 40 00 00 40 00", "Normalised value",
         "0.5 (16384)"},
        {"68 15 00 00 00 00 1E 01 03 00 01 00 01 00 00 01 A3 23 05 0E 48 0C 1A",
         "CP56Time2a", "2026-12-08 14:05:09.123 Tue"},
        {"68 15 00 00 00 00 1E 01 03 00 01 00 01 00 00 01 5F EA BB 97 3E 06 19",
         "CP56Time2a", "2025-06-30 23:59:59.999 Mon SU IV"},
        {"68 11 00 00 00 00 02 01 03 00 01 00 01 00 00 01 5F EA BB", "CP24Time2a",
         "minute 59, 59.999 s IV"},
        {"68 13 00 00 00 00 11 01 03 00 01 00 01 00 00 1A 78 00 A3 23 05", "SEP",
         "2 on, EI BL"},
        {"68 14 00 00 00 00 12 01 03 00 01 00 01 00 00 23 88 FA 00 A3 23 05", "SPE",
         "GS SL1 SRD"},
        {"68 14 00 00 00 00 12 01 03 00 01 00 01 00 00 23 88 FA 00 A3 23 05", "QDP", "EI IV"},
        {"68 14 00 00 00 00 12 01 03 00 01 00 01 00 00 23 88 FA 00 A3 23 05", "Relay duration time (CP16Time2a)",
         "250 ms"},
        {"68 18 00 00 00 00 27 01 03 00 01 00 01 00 00 23 88 FA 00 A3 23 05 0E 48 0C 1A",
         "Relay duration time (CP16Time2a)", "250 ms"},
        {"68 18 00 00 00 00 28 01 03 00 01 00 01 00 00 0E 00 28 00 A3 23 05 0E 48 0C 1A",
         "Relay operating time (CP16Time2a)", "40 ms"},
        {"68 14 00 00 00 00 13 01 03 00 01 00 01 00 00 0E 00 28 00 A3 23 05", "OCI",
         "CL1 CL2 CL3"},
        {"68 12 00 00 00 00 14 01 03 00 01 00 01 00 00 F0 00 10 00 00", "SCD",
         "ST 0x00F0, CD 0x0010"},
        {"68 0F 00 00 00 00 68 01 06 00 01 00 00 00 00 AA 55", "Fixed test pattern", "0x55AA"},
        {"68 0E 00 00 00 00 71 01 06 00 01 00 74 40 00 02", "QPA",
         "2 act/deact of the parameter of the addressed object"},
        // objects of a sequence take the addresses after the first
        {"68 11 02 00 0E 00 01 84 14 00 01 00 64 00 00 01 00 41 20", "Information object 4",
         "IOA 103 (sequence): 0 off, SB"},
        {"68 13 00 00 00 00 7D 01 0D 00 01 00 01 00 00 01 00 01 04 01 02", "Information elements",
         "6 bytes"},
        {"68 0C 00 00 00 00 16 01 03 00 01 00 01 00", "Information objects",
         "2 bytes of a reserved type"},
    };
    for (const auto& c : cases) {
        const auto frame = Hex(c.apdu);
        const auto d = Decode(frame);
        EXPECT_EQ(d.protocol, Protocol::Iec104) << c.apdu;
        EXPECT_EQ(Find(d.fields, c.field).value, c.value) << c.apdu;
        for (const Field& f : d.fields)
            EXPECT_NE(f.verdict, Verdict::Bad) << c.apdu << ": " << f.name;
    }
}

// A short float of all ones is a NaN: the same frame still decodes to equal
// fields (a NaN compares unequal to itself unless fields say otherwise).
TEST(IecFloats, ANotANumberDecodesToEqualFieldsTwice)
{
    const auto frame = Hex("68 12 00 00 00 00 0D 01 03 00 01 00 01 00 00 FF FF FF FF 00");
    const Fields once = decode::DecodeIec104(frame);
    ASSERT_TRUE(std::any_of(once.begin(), once.end(),
                            [](const Field& f) { return f.number && std::isnan(*f.number); }));
    EXPECT_EQ(decode::DecodeIec104(frame), once);
}

} // namespace

