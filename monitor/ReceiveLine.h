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

// The line shown with what the user asked to see in front of it: the time
// (when `timeText` is not empty) and the peer's address and port (when
// `sourceText` is not empty), each followed by two spaces:
// "14:05:09.123  [::1]:5000  01 03 ".
[[nodiscard]] QString ReceiveDisplayLine(const QString& text, const QString& timeText, const QString& sourceText);

// The time text with the milliseconds after its seconds: ".123" after its
// last digit ("14:05:09" gives "14:05:09.123", "2:05:09 PM" gives
// "2:05:09.123 PM"), or at its end when it holds no digit.
[[nodiscard]] QString WithMilliseconds(const QString& timeText, int milliseconds);

// The longest peer text in front of a line: "[" an IPv6 address with its
// zone "]:" and a port.
inline constexpr qint64 kLongestSourceText = 46 + 8;

// The longest line the programs write into a window or a file, in bytes:
// the hex text of the largest datagram (65507 bytes, 196521 characters)
// behind the time display (ReceiveDisplayLine: the locale's time, at most
// kLongestTimeText characters, its milliseconds, and two spaces) and the
// peer's address (and two spaces), each character of the time at most 4
// bytes in any character set the programs write.
inline constexpr qint64 kLargestDatagram = 65507;
inline constexpr qint64 kLongestWrittenLineBytes =
    3 * kLargestDatagram + 2 + 4 * kLongestTimeText + 4 + kLongestSourceText + 2;

// The local time of handling as the receive window shows it (the long time
// format: hours, minutes and seconds). The text is formatted once per second
// of the clock, not once per datagram.
class ReceiveTimeText final {
public:
    [[nodiscard]] const QString& Now();
    [[nodiscard]] const QString& At(std::time_t second);
    // The time of `microseconds` since 1970, with its milliseconds when
    // `milliseconds` is set.
    [[nodiscard]] QString AtUs(std::int64_t microseconds, bool milliseconds);

private:
    std::time_t second_ = -1;
    QString text_;
};

} // namespace monitor
