#include "decode/Decode.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

// The CDT corpus holds frames whose CRC-8s were worked out apart from the
// check-code library: every one verifies, and a changed byte in any word turns
// that word's CRC, and only it, bad; a changed CRC byte expects the corpus's.

namespace {

using decode::Verdict;

std::vector<uint8_t> Hex(std::string_view text)
{
    return HexTextToBytes(text).bytes;
}

std::vector<std::vector<uint8_t>> CorpusFrames()
{
    std::vector<std::vector<uint8_t>> frames;
    std::ifstream in(TELEMON_DECODE_CORPUS "/cdt.txt");
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            frames.push_back(Hex(line));
    return frames;
}

std::vector<const decode::Field*> Crcs(const decode::Fields& fields)
{
    std::vector<const decode::Field*> crcs;
    for (const auto& f : fields)
        if (f.name == "CRC")
            crcs.push_back(&f);
    return crcs;
}

TEST(Cdt, EveryCorpusCrcVerifiesAndAChangedByteFailsItsWordOnly)
{
    const auto frames = CorpusFrames();
    ASSERT_GE(frames.size(), 8u);
    for (const auto& frame : frames) {
        const auto fields = decode::Decode(frame).fields;
        ASSERT_EQ(decode::Decode(frame).protocol, decode::Protocol::Cdt);
        EXPECT_TRUE(std::ranges::none_of(fields, [](const auto& f) { return f.verdict == Verdict::Bad; }));
        const auto words = (frame.size() - 6) / 6;
        ASSERT_EQ(Crcs(fields).size(), words);
        for (std::size_t word = 0; word < words; ++word) {
            // a changed data byte fails its word; a changed CRC byte expects the corpus's
            for (const std::size_t at : {std::size_t{2}, std::size_t{5}}) {
                auto changed = frame;
                changed[6 + 6 * word + at] ^= 0x10;
                const auto decoded = decode::DecodeCdt(changed);
                const auto crcs = Crcs(decoded);
                for (std::size_t k = 0; k < words; ++k)
                    EXPECT_EQ(crcs[k]->verdict, k == word ? Verdict::Bad : Verdict::Good);
                if (at == 5) {
                    EXPECT_EQ(crcs[word]->expected, HexValueText(frame[6 + 6 * word + 5]));
                }
            }
        }
    }
}

TEST(Cdt, ControlWordAndShortFrames)
{
    const struct {
        const char* frame;
        const char* field;
        Verdict verdict;
        const char* value;
        const char* expected;
    } cases[] = {
        // one information word, though the control word says two
        {"EB 90 EB 90 EB 90 71 F4 02 01 00 9B F0 01 00 00 80 69", "Information words", Verdict::Bad,
         "2 (the frame holds 1)", "01"},
        {"EB 90 EB 90 EB 90 71 4C 00 00 01 77", "Frame type", Verdict::None,
         "4C read the station clock (to a station)", ""},
        {"EB 90 EB 90 EB 90 71 61 01 01 00 00 01 FB 0F 00 01 54", "Data", Verdict::None,
         "FB 0F 00 01: 2 = -5, 3 = 256", ""},
        {"EB 90 EB 90 EB 90 71 4C", "Control word", Verdict::Bad, "truncated: 2 of 6 bytes", ""},
        {"EB 90 EB 90 EB 90 71 4C 01 00 01 77 F0 01", "Information word 1", Verdict::Bad,
         "truncated: 2 of 6 bytes", ""},
        {"EB 90 EB 90", "Synchronisation word", Verdict::Bad, "truncated: 4 of 6 bytes", ""},
        {"EB 90 EB 90 EB 91 71 4C 00 00 01 77", "Synchronisation word", Verdict::Bad, "EB 90 EB 90 EB 91",
         "EB 90 EB 90 EB 90"},
    };
    for (const auto& c : cases) {
        const auto fields = decode::DecodeCdt(Hex(c.frame));
        const auto f = std::ranges::find_if(fields, [&](const auto& x) { return x.name == c.field; });
        ASSERT_NE(f, fields.end()) << c.frame;
        EXPECT_EQ(f->verdict, c.verdict) << c.frame;
        EXPECT_EQ(f->value, c.value) << c.frame;
        EXPECT_EQ(f->expected, c.expected) << c.frame;
        if (c.verdict == Verdict::Bad && std::string_view(c.value).starts_with("truncated")) {
            EXPECT_EQ(&*f, &fields.back()) << c.frame;
        }
    }
}

// The information words read by their function code, from frames of the
// corpus (CRCs worked out apart) and a few changed ones (their CRCs bad).
TEST(Cdt, WordsByFunctionCode)
{
    const char* soe = "EB 90 EB 90 EB 90 71 26 02 01 00 7A 80 7B 00 09 05 76 81 0E 08 05 01 D9";
    const char* clockAndSoe = "EB 90 EB 90 EB 90 71 26 04 01 00 07 84 7B 00 09 05 F9 85 0E 08 0C 1A AA "
                              "80 E7 03 3B 3B 1C 81 17 1F 02 88 71";
    const char* select = "EB 90 EB 90 EB 90 71 61 03 00 01 FA E0 CC 05 CC 05 4C E0 CC 05 CC 05 4C E0 CC 05 CC 05 4C";
    const char* controls = "EB 90 EB 90 EB 90 71 C2 03 00 01 3F E2 AA 05 AA 05 22 E3 55 05 55 05 46 E5 CC 02 CC 02 A2";
    const char* frequency = "EB 90 EB 90 EB 90 71 C2 02 01 00 46 8A 00 50 95 49 C9 86 64 00 C8 00 6B";
    const struct {
        const char* frame;
        const char* field;
        const char* value;
        Verdict verdict;
        double number; // NaN where the field has none
        int offset = -1; // the field's first byte and its byte count, checked where given
        int bytes = -1;
    } cases[] = {
        {soe, "Sequence of events record", "signal 261 open at day 8 14:05:09.123", Verdict::None, NAN},
        // the time is read from both words: a heading whose parts name their own bytes
        {soe, "Time", "day 8 14:05:09.123", Verdict::None, NAN, 13, 0},
        {soe, "Minute", "5", Verdict::None, 5, 16, 1},
        {soe, "Hour", "14", Verdict::None, 14, 19, 1},
        {soe, "Signal", "261", Verdict::None, 261},
        {soe, "State", "0 open", Verdict::None, 0},
        // the clock returned ends with the time the station waited; the clock set, with the date
        {clockAndSoe, "Station clock", "day 8 14:05:09.123, waiting time 6668 ms", Verdict::None, NAN},
        {clockAndSoe, "Waiting time", "6668 ms (read as a date: month 12, year 26)", Verdict::None, 6668, 21, 2},
        {"EB 90 EB 90 EB 90 71 7A 02 00 01 7C EE 7B 00 09 05 88 EF 0E 08 0C 1A DB", "Station clock",
         "2026-12-08 14:05:09.123", Verdict::None, NAN},
        {clockAndSoe, "Sequence of events record", "signal 2050 closed at day 31 23:59:59.999", Verdict::None, NAN},
        // minute 61 and day 0
        {"EB 90 EB 90 EB 90 71 26 02 01 00 7A 80 7B 00 09 3D 00 81 0E 00 05 01 00", "Time",
         "day 0 14:61:09.123 (minute 61 is out of range; day 0 is out of range)", Verdict::Bad, NAN},
        {select, "Command", "CC close", Verdict::None, 0xCC},
        {select, "Object", "5", Verdict::None, 5},
        {select, "Repeat", "CC 05", Verdict::Good, NAN},
        {"EB 90 EB 90 EB 90 71 61 03 00 01 FA E0 CC 05 CC 06 4C", "Repeat", "CC 06", Verdict::Bad, NAN},
        {controls, "Command", "AA execute", Verdict::None, 0xAA},
        {"EB 90 EB 90 EB 90 71 C2 01 00 01 3F E2 55 05 55 05 22", "Command", "55 cancel", Verdict::Bad, 0x55},
        {"EB 90 EB 90 EB 90 71 C2 01 00 01 3F E5 CC 02 CC 02 A2", "Command", "CC raise", Verdict::None, 0xCC},
        {frequency, "Frequency 1", "50.00 Hz", Verdict::None, 50},
        {frequency, "Frequency 2", "49.95 Hz", Verdict::None, 49.95},
        {"EB 90 EB 90 EB 90 71 C2 01 01 00 46 8A A8 13 00 00 2B", "Frequency 1", "0x13A8 (not BCD digits)",
         Verdict::Bad, NAN},
        {frequency, "Remote measurement 0", "100", Verdict::None, 100},
        // the count in bits 0-23, BCD where bit 29 is set, invalid where bit 31 is
        {"EB 90 EB 90 EB 90 71 85 02 01 00 BF A0 78 56 34 12 04", "Pulse count 0",
         "3430008 (reserved bits set: 0x12000000)", Verdict::None, 3430008},
        {"EB 90 EB 90 EB 90 71 85 01 01 00 BF A1 56 34 12 20 00", "Pulse count 1", "123456 (BCD)", Verdict::None,
         123456},
        {"EB 90 EB 90 EB 90 71 85 01 01 00 BF A2 10 00 00 80 00", "Pulse count 2", "16 invalid", Verdict::None, 16},
        {"EB 90 EB 90 EB 90 71 85 01 01 00 BF DF 5A 34 12 A0 00", "Pulse count 63",
         "0x12345A (not BCD digits) invalid", Verdict::Bad, NAN},
        {"EB 90 EB 90 EB 90 71 61 01 01 00 00 01 FB 0F 00 01 54", "Remote measurement 2", "-5", Verdict::None, -5},
    };
    for (const auto& c : cases) {
        const auto fields = decode::DecodeCdt(Hex(c.frame));
        const auto f = std::ranges::find_if(fields, [&](const auto& x) { return x.name == c.field; });
        ASSERT_NE(f, fields.end()) << c.frame << ": " << c.field;
        EXPECT_EQ(f->value, c.value) << c.field;
        EXPECT_EQ(f->verdict, c.verdict) << c.field;
        if (std::isnan(c.number)) {
            EXPECT_FALSE(f->number.has_value()) << c.field;
        } else {
            ASSERT_TRUE(f->number.has_value()) << c.field;
            EXPECT_DOUBLE_EQ(*f->number, c.number) << c.field;
        }
        if (c.offset >= 0) {
            EXPECT_EQ(f->offset, static_cast<std::size_t>(c.offset)) << c.field;
            EXPECT_EQ(f->raw.size(), static_cast<std::size_t>(c.bytes)) << c.field;
        }
    }
}

} // namespace
