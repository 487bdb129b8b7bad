#include "frame/Crc.h"

namespace {

constexpr std::array<uint8_t, 256> MakeCdtTable()
{
    std::array<uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = i;
        for (int bit = 0; bit < 8; ++bit)
            r = (r & 0x80) ? (r << 1) ^ 0x07 : r << 1;
        table[i] = static_cast<uint8_t>(r);
    }
    return table;
}

constexpr std::array<uint16_t, 256> MakeDnpTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = i * 256;
        for (int bit = 0; bit < 8; ++bit)
            r = ((r & 0x8000) ? (r << 1) ^ 0x3D65 : r << 1) & 0xFFFF;
        table[i] = static_cast<uint16_t>(r);
    }
    return table;
}

constexpr uint8_t Reverse8(uint8_t b)
{
    unsigned r = 0;
    for (int bit = 0; bit < 8; ++bit)
        r |= ((b >> bit) & 1u) << (7 - bit);
    return static_cast<uint8_t>(r);
}

constexpr uint16_t Reflect16(unsigned v)
{
    unsigned r = 0;
    for (int bit = 0; bit < 16; ++bit)
        r |= ((v >> bit) & 1u) << (15 - bit);
    return static_cast<uint16_t>(r);
}

} // namespace

constexpr std::array<uint8_t, 256> CdtTable = MakeCdtTable();
constexpr std::array<uint16_t, 256> DnpTable = MakeDnpTable();

uint8_t CrcCdt(std::span<const uint8_t> bytes)
{
    uint8_t c = 0;
    for (uint8_t b : bytes)
        c = CdtTable[c ^ b];
    return static_cast<uint8_t>(c ^ 0xFF);
}

uint16_t CrcModbus(std::span<const uint8_t> bytes)
{
    unsigned crc = 0xFFFF;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return static_cast<uint16_t>(crc);
}

uint16_t CrcDnp(std::span<const uint8_t> bytes)
{
    unsigned r = 0;
    for (uint8_t b : bytes)
        r = DnpTable[((r >> 8) ^ Reverse8(b)) & 0xFF] ^ ((r << 8) & 0xFFFF);
    return static_cast<uint16_t>(~Reflect16(r) & 0xFFFF);
}
