#include "frame/HexText.h"

#include "frame/HexTextWide.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

constexpr uint16_t BadDigit = 0x100;

// Digit value of every character: the value of a hex digit, or BadDigit.
constexpr std::array<uint16_t, 256> MakeDigitTable()
{
    std::array<uint16_t, 256> table{};
    for (unsigned c = 0; c < 256; ++c) {
        if (c >= '0' && c <= '9')
            table[c] = static_cast<uint16_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            table[c] = static_cast<uint16_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            table[c] = static_cast<uint16_t>(c - 'a' + 10);
        else
            table[c] = BadDigit;
    }
    return table;
}

constexpr std::array<uint16_t, 256> DigitTable = MakeDigitTable();

// The text of every byte value as it sits in memory: two digits and a space
// in the three low bytes of a little-endian word.
constexpr std::array<uint32_t, 256> MakePairTable()
{
    std::array<uint32_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        table[b] = static_cast<uint32_t>(static_cast<unsigned char>(HexDigits[b >> 4]))
            | static_cast<uint32_t>(static_cast<unsigned char>(HexDigits[b & 0xF])) << 8
            | static_cast<uint32_t>(' ') << 16;
    }
    return table;
}

constexpr std::array<uint32_t, 256> PairTable = MakePairTable();

unsigned DigitOf(char c)
{
    return DigitTable[static_cast<unsigned char>(c)];
}

// The failure at pair k (0-based) of a text known to hold a bad pair there.
FrameParseResult PairFailure(std::string_view text, std::size_t k)
{
    FrameParseResult result;
    result.kind = text[3 * k] == '\0' ? FrameParseResult::Kind::MissingPair
                                      : FrameParseResult::Kind::BadHexPair;
    result.badPair = static_cast<int>(k + 1);
    return result;
}

void StoreLittleEndian(char* out, uint64_t word, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = static_cast<char>(word >> (8 * i));
}

void StoreWord(char* out, uint64_t word)
{
    if constexpr (std::endian::native == std::endian::little)
        std::memcpy(out, &word, sizeof word);
    else
        StoreLittleEndian(out, word, sizeof word);
}

} // namespace

FrameParseResult HexTextToBytes(std::string_view text)
{
    const std::size_t n = FramePairCount(text.size());
    FrameParseResult result;
    result.bytes.resize(n);
    uint8_t* out = result.bytes.data();
    const char* in = text.data();

    // Blocks of pairs are converted with one check per block; the first bad
    // pair of a failing block is then looked up pair by pair.
    constexpr std::size_t Block = 16;
    std::size_t k = 0;
    while (k < n) {
        const std::size_t end = std::min(n, k + Block);
        unsigned bad = 0;
        for (std::size_t i = k; i < end; ++i) {
            const unsigned value = DigitOf(in[3 * i]) << 4 | DigitOf(in[3 * i + 1]);
            bad |= value;
            out[i] = static_cast<uint8_t>(value);
        }
        if (bad & (BadDigit | BadDigit << 4)) {
            for (std::size_t i = k; i < end; ++i) {
                if ((DigitOf(in[3 * i]) | DigitOf(in[3 * i + 1])) & BadDigit)
                    return PairFailure(text, i);
            }
        }
        k = end;
    }
    return result;
}

std::string BytesToHexText(const uint8_t* data, std::size_t n)
{
    std::string text(3 * n, '\0');
    char* out = text.data();
    std::size_t i = WriteHexTextWide(data, n, out);
    out += 3 * i;
    // Eight bytes give 24 characters, written as three 64-bit words.
    for (; i + 8 <= n; i += 8) {
        const uint8_t* b = data + i;
        const uint64_t w0 = PairTable[b[0]] | uint64_t{PairTable[b[1]]} << 24
            | uint64_t{PairTable[b[2]]} << 48;
        const uint64_t w1 = PairTable[b[2]] >> 16 | uint64_t{PairTable[b[3]]} << 8
            | uint64_t{PairTable[b[4]]} << 32 | uint64_t{PairTable[b[5]]} << 56;
        const uint64_t w2 = PairTable[b[5]] >> 8 | uint64_t{PairTable[b[6]]} << 16
            | uint64_t{PairTable[b[7]]} << 40;
        StoreWord(out, w0);
        StoreWord(out + 8, w1);
        StoreWord(out + 16, w2);
        out += 24;
    }
    for (; i < n; ++i) {
        StoreLittleEndian(out, PairTable[data[i]], 3);
        out += 3;
    }
    return text;
}

std::string BytesToHexText(std::span<const uint8_t> bytes)
{
    return BytesToHexText(bytes.data(), bytes.size());
}

std::string_view TrimSendLine(std::string_view line)
{
    line = line.substr(0, line.find("//"));
    return line.substr(0, line.find("  "));
}

std::string HexValueText(unsigned value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), HexDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (digits.size() < 2)
        digits.insert(digits.begin(), '0');
    return digits;
}
