#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The frame text notation: a frame is one line, byte k is the two characters
// at positions 3k-2 and 3k-1 (counted from 1, in bytes of the text), and the
// character between two pairs is never looked at. A text of length L holds
// (L + 1) / 3 pairs.

// The bytes one hex send may hand to the socket (the frame times its copies).
inline constexpr std::size_t SendBufferLimit = 4096;
// The byte positions a trigger pattern or a trigger response may hold.
inline constexpr std::size_t TriggerFrameLimit = 255;

struct FrameParseResult {
    enum class Kind {
        Ok,
        MissingPair, // the first character of the pair is NUL
        BadHexPair   // the pair is not two hexadecimal digits
    };
    Kind kind = Kind::Ok;
    int badPair = 0; // 1-based number of the first bad pair; 0 when ok
    std::vector<uint8_t> bytes; // the frame; empty on failure

    [[nodiscard]] bool ok() const { return kind == Kind::Ok; }
};

// The number of pairs a text of the given length holds.
[[nodiscard]] constexpr std::size_t FramePairCount(std::size_t textLength)
{
    return (textLength + 1) / 3;
}

// Reads every pair of the text; stops at the first bad one and then returns no
// bytes at all. Lower-case digits are accepted; separators can be anything.
[[nodiscard]] FrameParseResult HexTextToBytes(std::string_view text);

// Two upper-case digits and one space per byte ("01 03 1A "); no bytes give "".
[[nodiscard]] std::string BytesToHexText(const uint8_t* data, std::size_t n);
[[nodiscard]] std::string BytesToHexText(std::span<const uint8_t> bytes);

// The part of a send line that is sent: the text before the first "//", and of
// that the text before the first two consecutive spaces.
[[nodiscard]] std::string_view TrimSendLine(std::string_view line);

// A value as upper-case hex digits, at least two ("1E", "100").
[[nodiscard]] std::string HexValueText(unsigned value);
