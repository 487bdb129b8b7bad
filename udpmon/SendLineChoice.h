#pragma once

#include "udpmon/OstrelState.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

class LineRandom;

// Which line of the send window a send uses, and how loop sending moves on.

// The 0-based index of the line to send: the loop line (style 0), the caret
// line (style 1) or a random line of lineCount (style 2, which advances the
// generator). An index at or past the last line reads as an empty line.
[[nodiscard]] int ChooseSendLine(const SendSchedule& schedule, int caretLine, int lineCount, LineRandom& random);

// The loop line after a loop send: the next one; with the range on, past
// LoopLast it goes back to LoopFirst; without it, past the last line it goes
// back to the first.
[[nodiscard]] std::int32_t NextLoopLine(const SendSchedule& schedule, bool rangeOn, int lineCount);

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

namespace SendMessage {
inline const QString FormatError = QStringLiteral("发报格式错误,请修改! eg:\"01 03 1A\"");
inline const QString BufferLimit = QStringLiteral("超过发送缓冲区4096字节限制，请修改发送个数");
} // namespace SendMessage
