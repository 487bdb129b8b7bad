#include "decode/Decode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using decode::Decode;
using decode::Protocol;

TEST(FieldWriter, ClipsAFieldToTheFrame)
{
    const std::vector<uint8_t> frame{0x01, 0x02, 0x03};
    decode::Fields out;
    decode::FieldWriter w(out, frame);
    w.Add(0, "inside", 1, 2, "");
    w.Add(0, "past the end", 2, 5, "");
    w.Add(0, "beyond", 7, 3, "");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].raw, (std::vector<uint8_t>{0x02, 0x03}));
    EXPECT_EQ(out[1].raw, (std::vector<uint8_t>{0x03}));
    EXPECT_TRUE(out[2].raw.empty());
}

TEST(Decode, AFrameThatMatchesNothingIsUnrecognisedWithItsLength)
{
    const std::vector<uint8_t> frame{0xAA, 0xBB, 0xCC, 0xDD};
    const auto d = Decode(frame, {Protocol::Unrecognised, {}});
    EXPECT_EQ(d.protocol, Protocol::Unrecognised);
    ASSERT_EQ(d.fields.size(), 1u);
    EXPECT_EQ(d.fields[0].length, 4u);
    EXPECT_EQ(d.fields[0].value, "4 bytes");
}

} // namespace
