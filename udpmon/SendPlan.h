#pragma once

#include "udpmon/OstrelState.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

namespace ostrel {

// How a line of the send window becomes the bytes of a datagram.

// The bytes of an ASCII-mode line: the text in the locale's character set
// (EncodeText), where each backslash character followed by a lower-case r
// becomes the byte 0x0D. Nothing else is read. A GBK character whose second
// byte is that of a backslash is never taken for one.
[[nodiscard]] QByteArray AsciiLineBytes(const QString& line);

// What a hex-mode send of one (trimmed) line does.
struct HexSendPlan {
    enum class Kind {
        Nothing,     // empty line: nothing is sent or shown
        FormatError, // not frame text: the schedule stops, a message shows
        TooLong,     // the frame times its copies exceeds the send buffer
        Send         // the buffer holds the copies back to back
    };
    Kind kind = Kind::Nothing;
    std::vector<std::uint8_t> buffer;
};

[[nodiscard]] HexSendPlan PlanHexSend(std::string_view trimmedLine, std::int32_t copiesPerSend);

// What a send of a send-window line does under the schedule: in ASCII mode
// the line's bytes (AsciiLineBytes; nothing for an empty line), sent whole
// whatever their length; in hex mode the plan of the line with its comment
// and surrounding blanks trimmed (TrimSendLine).
[[nodiscard]] HexSendPlan PlanLineSend(const QString& line, const SendSchedule& schedule);

namespace SendMessage {
inline const QString FormatError = QStringLiteral("发报格式错误,请修改! eg:\"01 03 1A\"");
inline const QString BufferLimit = QStringLiteral("超过发送缓冲区4096字节限制，请修改发送个数");
} // namespace SendMessage

} // namespace ostrel
