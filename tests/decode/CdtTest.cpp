#include "decode/Decode.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <algorithm>
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

} // namespace
