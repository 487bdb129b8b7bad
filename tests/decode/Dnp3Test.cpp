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

namespace {

// A response of two analog inputs (1000 and 2000, online) cut into two
// segments inside the first point: C0 81 00 00 1E 01 00 00 01 01 E8 03 | 00 00
// 01 D0 07 00 00. Link frames and CRCs made apart from the decoder.
constexpr const char* kFirst = "05 64 12 44 03 00 04 00 61 4C 41 C0 81 00 00 1E 01 00 00 01 01 E8 03 B4 AB";
constexpr const char* kFirstBadCrc = "05 64 12 44 03 00 04 00 61 4C 41 C0 81 00 00 1E 01 00 00 01 01 E8 03 B4 AA";
constexpr const char* kFirstOtherSource = "05 64 12 44 03 00 05 00 2F E7 41 C0 81 00 00 1E 01 00 00 01 01 E8 03 B4 AB";
constexpr const char* kLast = "05 64 0D 44 03 00 04 00 42 70 82 00 00 01 D0 07 00 00 D1 3E";
constexpr const char* kLastSkipping = "05 64 0D 44 03 00 04 00 42 70 83 00 00 01 D0 07 00 00 C3 28";
constexpr const char* kMiddle = "05 64 09 44 03 00 04 00 2C 3D 02 00 00 01 08 01";          // 00 00 01, sequence 2
constexpr const char* kLastAfterMiddle = "05 64 0A 44 03 00 04 00 7C AE 83 D0 07 00 00 3C 1A"; // sequence 3
constexpr const char* kWhole = "05 64 0A 44 03 00 04 00 7C AE C1 C0 81 00 00 9A CB";         // FIR and FIN

const decode::Field* Named(const decode::Fields& fields, std::string_view name)
{
    const auto it = std::ranges::find_if(fields, [&](const auto& f) { return f.name == name; });
    return it == fields.end() ? nullptr : &*it;
}

TEST(Dnp3, SegmentsAreJoinedFromTheEarlierFramesOfTheWindow)
{
    const struct {
        std::vector<const char*> earlier;
        const char* frame;
        const char* fragment; // how the Fragment line starts
        bool unverified;      // what was read from the earlier frame is unverified
        bool secondHere = true; // the second point lies wholly in this frame
    } cases[] = {
        {{kFirst}, kLast, "2 segments, 1 from an earlier frame of this window and this one, 19 bytes", false},
        {{kFirst, kFirstOtherSource}, kLast, "2 segments", false}, // another link's frame between
        {{kFirst, kMiddle}, kLastAfterMiddle, "3 segments, 2 from earlier frames of this window and this one", false,
         false},
        {{kFirstBadCrc}, kLast, "2 segments", true},
        {{kFirstOtherSource}, kLast, "not joined", false},
        {{kFirst}, kLastSkipping, "not joined", false}, // sequence 3 after 1
        {{kFirst, kWhole}, kLast, "not joined", false}, // a newer fragment came between
        {{kFirst, kLast}, kLast, "not joined", false},  // that fragment has ended
        {{}, kFirst, "this frame's segment begins it, 12 bytes; it goes on in a later frame", false},
    };
    for (const auto& c : cases) {
        decode::Options options;
        options.protocol = decode::Protocol::Dnp3;
        for (const char* e : c.earlier)
            options.earlier.push_back(Hex(e));
        const auto fields = decode::Decode(Hex(c.frame), options).fields;
        const std::string where = std::string(c.frame) + " after " + std::to_string(c.earlier.size());
        EXPECT_TRUE(std::ranges::none_of(fields, [](const auto& f) { return f.verdict == Verdict::Bad; })) << where;
        const auto* fragment = Named(fields, "Fragment");
        ASSERT_NE(fragment, nullptr) << where;
        EXPECT_TRUE(fragment->value.starts_with(c.fragment)) << where << ": " << fragment->value;
        const auto* first = Named(fields, "Point 0");
        const auto* second = Named(fields, "Point 1");
        if (std::string_view(c.fragment) == "not joined") {
            EXPECT_NE(Named(fields, "Segment data"), nullptr) << where;
            EXPECT_EQ(first, nullptr) << where;
            continue;
        }
        ASSERT_NE(first, nullptr) << where;
        EXPECT_EQ(Named(fields, "Application header")->value.find("unverified") != std::string::npos, c.unverified)
            << where;
        if (c.earlier.empty()) {
            // the first point goes on in the next segment
            EXPECT_EQ(first->value, "3 of 5 bytes here, the rest in a later frame") << where;
            EXPECT_EQ(second, nullptr) << where;
            continue;
        }
        // the first point began in an earlier frame: no bytes of this one
        EXPECT_TRUE(first->raw.empty()) << where;
        EXPECT_TRUE(first->value.starts_with("1000, flags 0x01: online")) << where << ": " << first->value;
        EXPECT_EQ(first->value.find("unverified") != std::string::npos, c.unverified) << where;
        ASSERT_NE(second, nullptr) << where;
        EXPECT_EQ(second->value, "2000, flags 0x01: online") << where;
        EXPECT_EQ(second->number, 2000) << where;
        EXPECT_EQ(second->raw, c.secondHere ? std::vector<uint8_t>({0x01, 0xD0, 0x07, 0x00, 0x00})
                                            : std::vector<uint8_t>()) << where;
    }
}

} // namespace
