#include "frame/Crc.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

std::span<const uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Check values of the CRC catalogue over the ASCII text "123456789".
struct CatalogueCase {
    const char* name;
    unsigned (*crc)(std::span<const uint8_t>);
    unsigned check;
};

void PrintTo(const CatalogueCase& c, std::ostream* os) { *os << c.name; }

class CrcCatalogueTest : public testing::TestWithParam<CatalogueCase> {};

TEST_P(CrcCatalogueTest, MatchesTheCheckValue)
{
    const CatalogueCase& c = GetParam();
    EXPECT_EQ(c.crc(AsBytes("123456789")), c.check) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Models, CrcCatalogueTest, testing::Values(
    CatalogueCase{"CRC-16/MODBUS", [](std::span<const uint8_t> b) -> unsigned { return CrcModbus(b); }, 0x4B37},
    CatalogueCase{"CRC-16/DNP", [](std::span<const uint8_t> b) -> unsigned { return CrcDnp(b); }, 0xEA82},
    // CRC-8, generator 0x07, initial 0, no reflection: 0xF4; the CDT check
    // byte is its complement.
    CatalogueCase{"CDT", [](std::span<const uint8_t> b) -> unsigned { return CrcCdt(b); }, 0xF4 ^ 0xFF}));

TEST(CrcTables, HoldTheStandardEntries)
{
    EXPECT_EQ(CdtTable[0], 0x00);
    EXPECT_EQ(CdtTable[1], 0x07);
    EXPECT_EQ(CdtTable[0x80], 0x89);
    EXPECT_EQ(CdtTable[0xFF], 0xF3);
    EXPECT_EQ(DnpTable[0], 0x0000);
    EXPECT_EQ(DnpTable[1], 0x3D65);
}

} // namespace
