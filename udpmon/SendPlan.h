#pragma once

#include "udpmon/OstrelState.h"

#include <QByteArray>
#include "frame/LineRandom.h"

#include <QCoreApplication>
#include <QString>

#include <functional>

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

// One "send now" (the command and each send-timer tick) over the send
// window's lines: the plan of the send of the line the schedule's style
// picks (monitor::ChooseSendLine from the caret line), and the loop line
// once it is done: in loop style the next (within the loop range when
// `rangeOn`), else as it was. `line` gives the text of a 0-based line.
struct SendNowStep {
    HexSendPlan plan;
    int nextLoopLine = 0;
};
[[nodiscard]] SendNowStep PlanSendNow(const SendSchedule& schedule, int caretLine, int lineCount,
                                      const std::function<QString(int index)>& line, bool rangeOn, LineRandom& random);

// The Chinese source texts; the window shows their translation (monitor::Translated).
namespace SendMessage {
inline const QString FormatError
    = QString::fromUtf8(QT_TRANSLATE_NOOP("ostrel::SendMessage", "发报格式错误,请修改! eg:\"01 03 1A\""));
inline const QString BufferLimit
    = QString::fromUtf8(QT_TRANSLATE_NOOP("ostrel::SendMessage", "超过发送缓冲区4096字节限制，请修改发送个数"));
} // namespace SendMessage

} // namespace ostrel
