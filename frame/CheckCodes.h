#pragma once

#include "frame/Crc.h"

#include <cstddef>
#include <string>
#include <string_view>

// The check-code commands: each takes the text of the send window's caret line
// and gives either the line that replaces it or the message to show (the line
// then stays as it was). An empty line is left alone without a message.

struct CheckCodeResult {
    enum class Kind {
        Unchanged, // empty line: do nothing
        Replaced,  // text is the new line
        Message    // text is the message to show; the line stays
    };
    Kind kind = Kind::Unchanged;
    std::string text;
};

// Shown for a line that is not in pair notation or is longer than the
// command's working buffer.
inline constexpr std::string_view CheckCodeFormatMessage =
    "发报格式错误,无法添加校验码,格式应如\"01 03 1A\"";
inline constexpr std::string_view CdtLengthMessage =
    "CDT规约帧长（除校验码外）应为5的倍数.";
inline constexpr std::string_view DnpLengthMessage =
    "长度不够，帧长至少为5,才能添加CRC校验码!";

// The most bytes each command accepts in a typed line.
inline constexpr std::size_t SumFrameLimit = 512;
inline constexpr std::size_t ModbusFrameLimit = 300;
inline constexpr std::size_t CdtFrameLimit = 165;   // 33 groups of 5
inline constexpr std::size_t DnpFrameLimit = 255;   // what the length byte holds
inline constexpr std::size_t CdtGroupSize = 5;
inline constexpr std::size_t DnpHeaderBytes = 5;    // control, destination, source
inline constexpr std::size_t DnpBlockSize = 16;

// line + " " + (b1 + ... + bn) mod 256.
[[nodiscard]] CheckCodeResult AddSumCode(std::string_view caretLine);
// line + " " + (0xFF ^ b1 ^ ... ^ bn).
[[nodiscard]] CheckCodeResult AddParityCode(std::string_view caretLine);
// "68 L L 68 " + line + " CS 16".
[[nodiscard]] CheckCodeResult Add68Frame(std::string_view caretLine);
// Every group of 5 bytes followed by its CDT check byte, rebuilt as hex text.
[[nodiscard]] CheckCodeResult AddCdtCode(std::string_view caretLine);
// line + " " + CRC low byte + " " + CRC high byte.
[[nodiscard]] CheckCodeResult AddModbusCode(std::string_view caretLine);
// The link frame 05 64 n, the 5 header bytes and the data in blocks of 16,
// each block followed by its CRC (low byte first), rebuilt as hex text.
[[nodiscard]] CheckCodeResult AddDnpCode(std::string_view caretLine);
