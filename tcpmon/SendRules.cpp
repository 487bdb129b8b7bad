#include "tcpmon/SendRules.h"

#include <QCoreApplication>

#include "frame/HexText.h"
#include "platform/Conversions.h"

#include <climits>
#include <cmath>
#include <optional>

namespace tamrel {

bool RandomStyleTrimsFirstLine(int lineCount)
{
    return lineCount > kRandomStyleLineLimit;
}

SendLineParse ParseSendLine(const QString& line)
{
    SendLineParse result;
    if (line.isEmpty())
        return result;
    const QByteArray text = line.toUtf8();
    if (FramePairCount(static_cast<std::size_t>(text.size())) > static_cast<std::size_t>(kFrameBufferLimit)) {
        result.kind = SendLineParse::Kind::FormatError;
        return result;
    }
    FrameParseResult parsed = HexTextToBytes(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!parsed.ok()) {
        result.kind = SendLineParse::Kind::FormatError;
        return result;
    }
    if (parsed.bytes.empty())
        return result;
    result.kind = SendLineParse::Kind::Frame;
    result.bytes = std::move(parsed.bytes);
    return result;
}

int TimerPeriodMs(double value, double unitMs)
{
    const double period = std::trunc(value * unitMs);
    if (!std::isfinite(period) && period > 0)
        return INT_MAX;
    if (!(period > 0))
        return 0;
    if (period >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(period);
}

IntervalTextCheck CheckIntervalText(const QString& text)
{
    const std::optional<double> value = TryStrToFloat(text);
    if (!value)
        return IntervalTextCheck::NotANumber;
    if (*value < 0)
        return IntervalTextCheck::Negative;
    return IntervalTextCheck::Ok;
}

QString IntervalTextMessage(IntervalTextCheck check)
{
    switch (check) {
    case IntervalTextCheck::NotANumber:
        return QCoreApplication::translate("tamrel::SendRules", "请输入正实数！");
    case IntervalTextCheck::Negative:
        return QCoreApplication::translate("tamrel::SendRules", "请输入正实数!");
    case IntervalTextCheck::Ok:
        break;
    }
    return {};
}

SendStyleOutcome ConfirmSendStyle(std::uint8_t selectedStyle, bool timedTicked, double interval)
{
    SendStyleOutcome outcome;
    outcome.style = selectedStyle;
    const bool loop = selectedStyle == StyleLoop;
    outcome.timerOn = timedTicked || loop;
    if (outcome.timerOn) {
        outcome.periodMs = TimerPeriodMs(interval, 1000.0);
        outcome.storeInterval = true;
    }
    outcome.sendNowEnabled = !loop;
    return outcome;
}

} // namespace tamrel
