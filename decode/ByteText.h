#pragma once

#include "decode/Field.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The small pieces every decoder shares: numbers read out of a frame, and
// bytes, check codes and short lengths written as text. Callers check the
// frame's size before reading; these helpers never do.

namespace decode::text {

[[nodiscard]] inline unsigned Be16(Bytes frame, std::size_t at)
{
    return static_cast<unsigned>(frame[at] << 8 | frame[at + 1]);
}

[[nodiscard]] inline unsigned Le16(Bytes frame, std::size_t at)
{
    return static_cast<unsigned>(frame[at] | frame[at + 1] << 8);
}

// Bytes as upper-case hex pairs separated by single spaces ("C5 CD").
[[nodiscard]] inline std::string HexPairs(std::span<const uint8_t> bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        if (!text.empty())
            text += ' ';
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

// One byte's value as its hex pair ("3C"); the caller keeps it below 256.
[[nodiscard]] inline std::string HexByte(unsigned value)
{
    const uint8_t byte = static_cast<uint8_t>(value);
    return HexPairs(std::span<const uint8_t>(&byte, 1));
}

// A value as "0x" and `digits` upper-case hex digits ("0x0A", "0x840E").
[[nodiscard]] inline std::string Hex(unsigned value, int digits)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = hex[value & 0x0F];
    return "0x" + text;
}

// A 16-bit value as its two bytes in the order they are sent.
[[nodiscard]] inline std::string LowHighPairs(unsigned value)
{
    const uint8_t bytes[] = {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8 & 0xFF)};
    return HexPairs(bytes);
}

[[nodiscard]] inline std::string HighLowPairs(unsigned value)
{
    const uint8_t bytes[] = {static_cast<uint8_t>(value >> 8 & 0xFF), static_cast<uint8_t>(value & 0xFF)};
    return HexPairs(bytes);
}

// What a field the frame is too short for says: "truncated: 3 of 4 bytes".
[[nodiscard]] inline std::string Truncated(std::size_t have, std::size_t need)
{
    return Arg(C_("decode", "truncated: %1 of %2 bytes"), {std::to_string(have), std::to_string(need)});
}

// A flag bit as "1" or "0".
[[nodiscard]] inline std::string Bit(unsigned value, int bit)
{
    return (value >> bit & 1u) ? "1" : "0";
}

// Whether the frame holds the `need` bytes of its first part `def`;
// otherwise adds that part, Bad, saying how many bytes it has.
inline bool HoldsFirst(FieldWriter& w, const FieldDef& def, std::size_t need)
{
    if (w.Frame().size() >= need)
        return true;
    w.Add(0, def, 0, need, Truncated(w.Frame().size(), need), Verdict::Bad);
    return false;
}

// A check code of `digits` hex digits: "0x1A", Good when the sent one is the
// computed one, otherwise the sent one, Bad, expecting `expected` (the
// computed code's bytes as they are sent): the tree says the code that would
// verify once, in its verdict.
inline Field& AddCheckCode(FieldWriter& w, int depth, const FieldDef& def, std::size_t at,
                           unsigned sent, unsigned computed, int digits, std::string expected)
{
    const std::size_t length = static_cast<std::size_t>(digits / 2);
    Field& f = sent == computed ? w.Add(depth, def, at, length, Hex(computed, digits), Verdict::Good)
                                : w.Add(depth, def, at, length, Hex(sent, digits), Verdict::Bad, std::move(expected));
    f.number = sent;
    return f;
}

} // namespace decode::text
