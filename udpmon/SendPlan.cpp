#include "udpmon/SendPlan.h"

#include "monitor/SendLineChoice.h"

#include "frame/HexText.h"
#include "platform/TextCodec.h"

namespace ostrel {

QByteArray AsciiLineBytes(const QString& line)
{
    QString text;
    text.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u'\\' && i + 1 < line.size() && line[i + 1] == u'r') {
            text.append(u'\r');
            ++i;
        } else {
            text.append(line[i]);
        }
    }
    return EncodeText(text);
}

HexSendPlan PlanLineSend(const QString& line, const SendSchedule& schedule)
{
    if (schedule.SendAscii) {
        HexSendPlan plan;
        if (line.isEmpty())
            return plan;
        const QByteArray bytes = AsciiLineBytes(line);
        plan.kind = HexSendPlan::Kind::Send;
        plan.buffer.assign(bytes.begin(), bytes.end());
        return plan;
    }
    const QByteArray text = line.toUtf8();
    return PlanHexSend(TrimSendLine(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))),
                       schedule.CopiesPerSend);
}

HexSendPlan PlanHexSend(std::string_view trimmedLine, std::int32_t copiesPerSend)
{
    HexSendPlan plan;
    if (trimmedLine.empty())
        return plan;
    FrameParseResult frame = HexTextToBytes(trimmedLine);
    if (!frame.ok()) {
        plan.kind = HexSendPlan::Kind::FormatError;
        return plan;
    }
    const std::size_t copies = copiesPerSend > 0 ? static_cast<std::size_t>(copiesPerSend) : 0;
    if (frame.bytes.size() * copies > SendBufferLimit) {
        plan.kind = HexSendPlan::Kind::TooLong;
        return plan;
    }
    plan.kind = HexSendPlan::Kind::Send;
    if (frame.bytes.empty())
        return plan; // any number of copies of no bytes is no bytes
    plan.buffer.reserve(frame.bytes.size() * copies);
    for (std::size_t i = 0; i < copies; ++i)
        plan.buffer.insert(plan.buffer.end(), frame.bytes.begin(), frame.bytes.end());
    return plan;
}

SendNowStep PlanSendNow(const SendSchedule& schedule, int caretLine, int lineCount,
                        const std::function<QString(int index)>& line, bool rangeOn, LineRandom& random)
{
    const int index = monitor::ChooseSendLine(schedule.SendStyle, caretLine, lineCount, schedule.LoopLine, random);
    SendNowStep step{PlanLineSend(line(index), schedule), schedule.LoopLine};
    if (schedule.SendStyle == 0)
        step.nextLoopLine = monitor::NextLoopLine(
            schedule.LoopLine, lineCount,
            rangeOn ? std::optional(monitor::LoopRange{schedule.LoopFirst, schedule.LoopLast}) : std::nullopt);
    return step;
}

} // namespace ostrel
