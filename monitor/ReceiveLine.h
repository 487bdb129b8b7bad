#pragma once

#include "platform/DateTimeText.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <ctime>

namespace monitor {

// How a received datagram becomes one line of the receive window.

// The hex text: two upper-case digits and one space per byte ("01 03 1A "),
// the line of a datagram or a chunk in both programs.
[[nodiscard]] QString ReceiveHexText(const std::uint8_t* data, std::size_t n);

// The ASCII-mode text: the bytes up to the first zero byte (at most n), read
// as text (UTF-8 when valid, else GBK).
[[nodiscard]] QString ReceiveAsciiText(const std::uint8_t* data, std::size_t n);

// The line shown: the text, or with time display on the time, two spaces
// and the text.
[[nodiscard]] QString ReceiveDisplayLine(const QString& text, bool showTime, const QString& timeText);

// The longest line the programs write into a window or a file, in bytes:
// the hex text of the largest datagram (65507 bytes, 196521 characters)
// behind the time display (ReceiveDisplayLine: the locale's time, at most
// kLongestTimeText characters, and two spaces), each character of the time
// at most 4 bytes in any character set the programs write.
inline constexpr qint64 kLargestDatagram = 65507;
inline constexpr qint64 kLongestWrittenLineBytes = 3 * kLargestDatagram + 2 + 4 * kLongestTimeText;

// The local time of handling as the receive window shows it (the long time
// format: hours, minutes and seconds). The text is formatted once per second
// of the clock, not once per datagram.
class ReceiveTimeText final {
public:
    [[nodiscard]] const QString& Now();
    [[nodiscard]] const QString& At(std::time_t second);

private:
    std::time_t second_ = -1;
    QString text_;
};

} // namespace monitor
