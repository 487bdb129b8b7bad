#include "udpmon/OstrelProfile.h"

#include "udpmon/DisplayFilter.h"
#include "udpmon/FrameLogPeriod.h"

#include "monitor/Language.h"
#include "platform/Conversions.h"
#include "platform/IniFile.h"

namespace ostrel {

namespace {

const QString kSend = QStringLiteral("Send Style");
const QString kLayout = QStringLiteral("Layout");
const QString kTriggers = QStringLiteral("Triggers");
const QString kReplyToSender = QStringLiteral("Reply To Sender");

bool SaveMinutesAccepted(const QString& text)
{
    try {
        return SavePeriodMs(text).has_value();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

std::vector<QString> OstrelProfileWindows()
{
    return {monitor::kLinkWindow};
}

SendStyleForm SendStyleFormOf(const SendSchedule& schedule, bool timed, bool range)
{
    SendStyleForm form;
    form.style = schedule.SendStyle;
    form.timed = timed;
    form.interval = FloatToStr(schedule.SendInterval);
    form.range = range;
    form.first = QString::number(schedule.LoopFirst + 1);
    form.last = QString::number(schedule.LoopLast + 1);
    form.copies = schedule.CopiesPerSend > 1;
    form.copiesText = QString::number(schedule.CopiesPerSend);
    return form;
}

monitor::TimedSaveForm TimedSaveFormOf(bool on, std::int64_t periodMs)
{
    return {on, FloatToStr(static_cast<double>(periodMs) / 60000.0)};
}

void WriteOstrelProfile(IniFile& file, const OstrelProfile& profile)
{
    monitor::WriteCommonProfile(file, QStringLiteral("Ostrel"), profile.common);
    const SendStyleForm& s = profile.send;
    file.WriteInteger(kSend, QStringLiteral("Style"), s.style);
    file.WriteInteger(kSend, QStringLiteral("Timed"), s.timed ? 1 : 0);
    file.WriteString(kSend, QStringLiteral("Interval"), s.interval);
    file.WriteInteger(kSend, QStringLiteral("Range"), s.range ? 1 : 0);
    file.WriteString(kSend, QStringLiteral("First"), s.first);
    file.WriteString(kSend, QStringLiteral("Last"), s.last);
    file.WriteInteger(kSend, QStringLiteral("Copies"), s.copies ? 1 : 0);
    file.WriteString(kSend, QStringLiteral("Copies Count"), s.copiesText);
    file.WriteInteger(kLayout, QStringLiteral("Receive Shown"), profile.recvShown ? 1 : 0);
    file.WriteInteger(kLayout, QStringLiteral("Send Shown"), profile.sendShown ? 1 : 0);
    file.WriteString(kLayout, QStringLiteral("Docks"), QString::fromLatin1(profile.docks.toBase64()));
    // Only while on: the profile of a user who never answers to the sender
    // is as it always was.
    if (profile.replyToSender)
        file.WriteInteger(kTriggers, kReplyToSender, 1);
    else
        file.DeleteKey(kTriggers, kReplyToSender);
}

OstrelProfileRead ReadOstrelProfile(const IniFile& file, const SendSchedule& current)
{
    monitor::ProfileReader r(file);
    OstrelProfileRead read;
    OstrelProfile& p = read.profile;
    p.common = monitor::ReadCommonProfile(
        r, {&IsFilterPositionText, &IsFilterValueText, &SaveMinutesAccepted, OstrelProfileWindows()});

    const SendStyleForm defaults = SendStyleFormOf(current, false, false);
    SendStyleForm& s = p.send;
    s.style = static_cast<std::uint8_t>(r.Integer(kSend, QStringLiteral("Style"), defaults.style, 0, 2));
    s.timed = r.Flag(kSend, QStringLiteral("Timed"), false);
    s.interval = r.Text(kSend, QStringLiteral("Interval"), defaults.interval);
    s.range = r.Flag(kSend, QStringLiteral("Range"), false);
    s.first = r.Text(kSend, QStringLiteral("First"), defaults.first);
    s.last = r.Text(kSend, QStringLiteral("Last"), defaults.last);
    s.copies = r.Flag(kSend, QStringLiteral("Copies"), false);
    s.copiesText = r.Text(kSend, QStringLiteral("Copies Count"), defaults.copiesText);
    const SendStyleOutcome outcome = ConfirmSendStyle(current, s);
    if (!outcome.accepted) {
        using Field = SendStyleOutcome::Field;
        const QString key = outcome.field == Field::First ? QStringLiteral("First")
            : outcome.field == Field::Last                ? QStringLiteral("Last")
            : outcome.field == Field::Copies              ? QStringLiteral("Copies Count")
                                                          : QStringLiteral("Interval");
        r.Refuse(kSend, key,
                 QCoreApplication::translate("ostrel::OstrelProfile", "发送方式：%1")
                     .arg(monitor::Translated("ostrel::SendStyleMessage", outcome.message)));
    }

    p.recvShown = r.Flag(kLayout, QStringLiteral("Receive Shown"), true);
    p.sendShown = r.Flag(kLayout, QStringLiteral("Send Shown"), true);
    p.docks = r.Base64(kLayout, QStringLiteral("Docks"));
    p.replyToSender = r.Flag(kTriggers, kReplyToSender, false);
    read.fault = r.Fault();
    return read;
}

} // namespace ostrel
