#include "decode/Decode.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// What the comparison with tshark cannot show: the CRC and length values a
// bad frame should have had, and frames that end inside a block.

namespace {

using decode::Verdict;

std::vector<uint8_t> Hex(std::string_view text)
{
    return HexTextToBytes(text).bytes;
}

// The field `name` under the depth-0 heading `part`.
const decode::Field* Find(const decode::Fields& fields, std::string_view part, std::string_view name)
{
    std::string_view heading;
    for (const auto& f : fields) {
        if (f.depth == 0)
            heading = f.name;
        else if (heading == part && f.name == name)
            return &f;
    }
    return nullptr;
}

TEST(Dnp3, BadChecksGiveTheValueThatWouldVerify)
{
    const struct {
        const char* frame;
        const char* part;
        const char* field;
        Verdict verdict;
        const char* expected;
    } cases[] = {
        {"05 64 05 C0 01 00 00 04 E9 21", "Link header", "Header CRC", Verdict::Good, ""},
        {"05 64 05 C0 01 00 00 04 21 E9", "Link header", "Header CRC", Verdict::Bad, "E9 21"},
        {"05 64 07 C4 01 00 02 00 DB 49 01 02 0D 38", "Data block 1", "CRC", Verdict::Good, ""},
        {"05 64 07 C4 01 00 02 00 DB 49 01 02 0D 39", "Data block 1", "CRC", Verdict::Bad, "0D 38"},
        // two user data bytes and their CRC make a 14-byte frame: length 7
        {"05 64 08 C4 01 00 02 00 DB 49 01 02 0D 38", "Link header", "Length", Verdict::Bad, "07"},
        {"05 63 05 C0 01 00 00 04 E9 21", "Link header", "Start", Verdict::Bad, "05 64"},
    };
    for (const auto& c : cases) {
        const auto fields = decode::DecodeDnp3(Hex(c.frame));
        const auto* f = Find(fields, c.part, c.field);
        ASSERT_NE(f, nullptr) << c.frame;
        EXPECT_EQ(f->verdict, c.verdict) << c.frame;
        EXPECT_EQ(f->expected, c.expected) << c.frame;
    }
}

TEST(Dnp3, AShortFrameEndsInOneBadField)
{
    // A response whose 17 bytes of user data take two blocks.
    const std::string whole = "05 64 16 44 03 00 04 00 0F 01 C1 C1 81 90 00 01 02 00 00 06 81 81 81 01 81 01 "
                              "CC A5 01 A1 C9";
    ASSERT_TRUE(std::ranges::all_of(decode::DecodeDnp3(Hex(whole)),
                                    [](const auto& f) { return f.verdict != Verdict::Bad; }));
    const struct {
        std::size_t size;
        const char* name;
        const char* value;
    } cases[] = {
        {9, "Link header", "truncated: 9 of 10 bytes"},
        {12, "Application header", "truncated: 1 of 2 bytes"},
        {14, "Internal indications", "truncated: 1 of 2 bytes"},
        {27, "Data block 1", "truncated: 17 of 18 bytes"},
        {30, "Data block 2", "truncated: 2 of 3 bytes"},
    };
    const auto frame = Hex(whole);
    for (const auto& c : cases) {
        const auto fields = decode::DecodeDnp3(std::span(frame).first(c.size));
        const auto cut = std::ranges::find_if(fields, [&](const auto& f) { return f.name == c.name; });
        ASSERT_NE(cut, fields.end()) << c.size;
        EXPECT_EQ(cut->verdict, Verdict::Bad) << c.size;
        EXPECT_EQ(cut->value, c.value) << c.size;
        EXPECT_EQ(&*cut, &fields.back()) << c.size;
        // the length does not fit a cut frame either; nothing else is bad
        const auto bad = std::ranges::count_if(fields, [](const auto& f) { return f.verdict == Verdict::Bad; });
        EXPECT_EQ(bad, c.size < 10 ? 1 : 2) << c.size;
    }
}

} // namespace
