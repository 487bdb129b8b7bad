#include "udpmon/SendStyleConfirm.h"

#include "frame/HexText.h"
#include "platform/Conversions.h"
#include "platform/Exceptions.h"

namespace ostrel {

namespace {

SendStyleOutcome Refused(const QString& message, SendStyleOutcome::Field field, bool errorBox = false)
{
    SendStyleOutcome outcome;
    outcome.message = message;
    outcome.field = field;
    outcome.errorBox = errorBox;
    return outcome;
}

} // namespace

SendStyleOutcome ConfirmSendStyle(const SendSchedule& current, const SendStyleForm& form)
{
    using Field = SendStyleOutcome::Field;
    SendStyleOutcome outcome;
    outcome.schedule = current;
    SendSchedule& next = outcome.schedule;

    next.CopiesPerSend = 1;
    if (form.copies) {
        const std::optional<int> copies = TryStrToInt(form.copiesText);
        if (!copies || *copies <= 0)
            return Refused(SendStyleMessage::NotPositiveInteger, Field::Copies);
        next.CopiesPerSend = *copies;
    }
    if (static_cast<std::size_t>(next.CopiesPerSend) > SendBufferLimit)
        return Refused(SendStyleMessage::TooManyCopies, Field::Copies);

    next.SendStyle = form.style;
    const bool loop = form.style == 0;
    outcome.timerOn = form.timed || loop;
    if (outcome.timerOn) {
        const std::optional<double> seconds = TryStrToFloat(form.interval);
        if (!seconds)
            return Refused(SendStyleMessage::NotANumber, Field::Interval);
        if (*seconds < 0)
            return Refused(SendStyleMessage::Negative, Field::Interval);
        const double ms = *seconds * 1000.0;
        if (ms >= 9.2e18)
            return Refused(SendStyleMessage::NotANumber, Field::Interval);
        outcome.timerMs = static_cast<std::int64_t>(ms);
        next.SendInterval = *seconds;
    }

    if (loop && form.range) {
        int first = 0;
        int last = 0;
        try {
            first = StrToInt(form.first);
        } catch (const EConvertError& error) {
            return Refused(QString::fromUtf8(error.what()), Field::First, true);
        }
        try {
            last = StrToInt(form.last);
        } catch (const EConvertError& error) {
            return Refused(QString::fromUtf8(error.what()), Field::Last, true);
        }
        // The fields' own checks keep both at 1 or more while the user
        // types; a range that still starts before line 1 is refused alike.
        if (first <= 0)
            return Refused(SendStyleMessage::NotPositiveInteger, Field::First);
        if (first >= last)
            return Refused(SendStyleMessage::RangeOrder, Field::Last);
        next.LoopFirst = first - 1;
        next.LoopLast = last - 1;
        next.LoopLine = next.LoopFirst;
    }
    outcome.accepted = true;
    return outcome;
}

std::optional<QString> IntervalTextProblem(const QString& text)
{
    const std::optional<double> value = TryStrToFloat(text);
    if (!value)
        return SendStyleMessage::NotANumber;
    if (*value < 0)
        return SendStyleMessage::Negative;
    return std::nullopt;
}

std::optional<QString> PositiveIntegerTextProblem(const QString& text)
{
    const std::optional<int> value = TryStrToInt(text);
    if (!value || *value <= 0)
        return SendStyleMessage::NotPositiveInteger;
    return std::nullopt;
}

QString SendStylePanelText(std::uint8_t style, std::int32_t copiesPerSend)
{
    switch (style) {
    case 0:
        return QCoreApplication::translate("ostrel::SendStyleMessage", "单行循环发送方式，一次发送%1遍")
            .arg(copiesPerSend);
    case 2:
        return QCoreApplication::translate("ostrel::SendStyleMessage", "随机选行发送方式，一次发送%1遍")
            .arg(copiesPerSend);
    default:
        return QCoreApplication::translate("ostrel::SendStyleMessage", "单行发送方式，一次发送%1遍").arg(copiesPerSend);
    }
}

} // namespace ostrel
