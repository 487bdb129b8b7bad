#pragma once

#include "monitor/SendLineChoice.h"

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <vector>

namespace tamrel {

// The rules of sending to the client: which line a send takes, how a line
// becomes bytes, what follows a send, and the send style dialog's checks
// and confirmation.

// The most bytes one frame line may give; a longer line is refused with the
// format message and nothing is sent.
inline constexpr int kFrameBufferLimit = 512;
// After a random-style send the send window keeps at most this many lines.
inline constexpr int kRandomStyleLineLimit = 1000;

// The Chinese source texts, marked for translation; the window shows their
// translation (monitor::Translated with the context "tamrel::SendRules").
inline constexpr char kSendFormatMessage[]
    = QT_TRANSLATE_NOOP("tamrel::SendRules", "发报格式错误,请修改! eg:\"01 03 1A\"");
inline constexpr char kLoopStyleHint[] = QT_TRANSLATE_NOOP("tamrel::SendRules", "请更改循环发送方式为其它");

using monitor::SendStyleCode;
using monitor::StyleLoop;
using monitor::StyleRandom;
using monitor::StyleSingle;

// Whether the first line goes after a random-style send.
[[nodiscard]] bool RandomStyleTrimsFirstLine(int lineCount);

struct SendLineParse {
    enum class Kind {
        Nothing,     // an empty line, or one without a whole pair: send nothing, say nothing
        Frame,       // bytes holds the frame
        FormatError  // not pair notation, or more than kFrameBufferLimit pairs
    };
    Kind kind = Kind::Nothing;
    std::vector<std::uint8_t> bytes;
};

// Converts the line as it stands (no comment or blank clean-up): pair k is
// the characters 3k-2 and 3k-1 of its UTF-8 text, separators are not looked
// at, characters after the last whole pair are ignored.
[[nodiscard]] SendLineParse ParseSendLine(const QString& line);

// A timer period in whole milliseconds: value × unitMs with the fraction
// dropped, held to 0 .. INT_MAX (a negative or non-finite value gives 0, a
// too large one the largest period).
[[nodiscard]] int TimerPeriodMs(double value, double unitMs);

// The check of the interval field on every change of its text.
enum class IntervalTextCheck { Ok, NotANumber, Negative };
[[nodiscard]] IntervalTextCheck CheckIntervalText(const QString& text);
// The message for a refused text; empty for Ok.
[[nodiscard]] QString IntervalTextMessage(IntervalTextCheck check);

// What the send style dialog's OK does to the program.
struct SendStyleOutcome {
    std::uint8_t style = StyleSingle;
    bool timerOn = false;      // the send timer runs and the send window is read-only
    int periodMs = 0;          // the timer period when timerOn
    bool storeInterval = false; // SendInterval takes the dialog's interval
    bool sendNowEnabled = true; // false in loop style: send now is disabled with kLoopStyleHint
};
[[nodiscard]] SendStyleOutcome ConfirmSendStyle(std::uint8_t selectedStyle, bool timedTicked, double interval);

} // namespace tamrel
