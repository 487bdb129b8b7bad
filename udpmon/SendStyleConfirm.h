#pragma once

#include "udpmon/OstrelState.h"

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <optional>

namespace ostrel {

// The send style dialog's rules, apart from its controls.

// What the dialog's controls hold when OK is pressed.
struct SendStyleForm {
    std::uint8_t style = 1;  // 0 loop, 1 single line, 2 random line
    bool timed = false;      // "定时发报"
    QString interval;        // seconds
    bool range = false;      // "从第"
    QString first;           // first line of the range, from 1
    QString last;            // last line of the range, from 1
    bool copies = false;     // "一次发"
    QString copiesText;

    bool operator==(const SendStyleForm&) const = default;
};

// The outcome of OK. Everything is checked before anything is put in force:
// a refused confirmation changes nothing.
struct SendStyleOutcome {
    enum class Field { None, Interval, First, Last, Copies };

    bool accepted = false;
    // Refused: the message, whether it is an error (the error box) rather
    // than an information box, and the field to select or focus.
    QString message;
    bool errorBox = false;
    Field field = Field::None;

    // Accepted: the schedule to put in force and the send timer.
    SendSchedule schedule;
    bool timerOn = false;
    std::int64_t timerMs = 0;
};

[[nodiscard]] SendStyleOutcome ConfirmSendStyle(const SendSchedule& current, const SendStyleForm& form);

// The checks made on every change of a field: none, or the message to show
// before the field is set to "1".
[[nodiscard]] std::optional<QString> IntervalTextProblem(const QString& text);
[[nodiscard]] std::optional<QString> PositiveIntegerTextProblem(const QString& text);

// Status panel 0 after a confirmation: the style and the copies per send.
[[nodiscard]] QString SendStylePanelText(std::uint8_t style, std::int32_t copiesPerSend);

// The Chinese source texts; the window shows their translation (monitor::Translated).
namespace SendStyleMessage {
inline const QString NotANumber = QString::fromUtf8(QT_TRANSLATE_NOOP("ostrel::SendStyleMessage", "请输入正实数！"));
inline const QString Negative = QString::fromUtf8(QT_TRANSLATE_NOOP("ostrel::SendStyleMessage", "请输入正实数!"));
inline const QString NotPositiveInteger
    = QString::fromUtf8(QT_TRANSLATE_NOOP("ostrel::SendStyleMessage", "请输入正整数!"));
inline const QString TooManyCopies
    = QString::fromUtf8(QT_TRANSLATE_NOOP("ostrel::SendStyleMessage", "一次发送拷贝个数不能超过4096个"));
inline const QString RangeOrder
    = QString::fromUtf8(QT_TRANSLATE_NOOP("ostrel::SendStyleMessage", "循环末行行数应大于起始行数"));
} // namespace SendStyleMessage

} // namespace ostrel
