#include "tcpmon/TamrelProfile.h"

#include <QCoreApplication>

#include "tcpmon/ReceiveFilter.h"
#include "tcpmon/SendRules.h"

#include "platform/Conversions.h"
#include "platform/IniFile.h"

namespace tamrel {

namespace {

const QString kSend = QStringLiteral("Send Style");
const QString kLayout = QStringLiteral("Layout");
const QString kSplitter = QStringLiteral("Splitter");

bool Minutes(const QString& text)
{
    const std::optional<double> minutes = TryStrToFloat(text);
    return minutes && *minutes >= 0;
}

} // namespace

std::vector<QString> TamrelProfileWindows()
{
    return {monitor::kLinkWindow};
}

void WriteTamrelProfile(IniFile& file, const QString& program, const TamrelProfile& profile)
{
    monitor::WriteCommonProfile(file, program, profile.common);
    file.WriteInteger(kSend, QStringLiteral("Style"), profile.sendStyle);
    file.WriteInteger(kSend, QStringLiteral("Timed"), profile.timed ? 1 : 0);
    file.WriteString(kSend, QStringLiteral("Interval"), profile.interval);
    QStringList sizes;
    for (const int size : profile.splitter)
        sizes.append(QString::number(size));
    file.WriteString(kLayout, kSplitter, sizes.join(QLatin1Char(',')));
}

TamrelProfileRead ReadTamrelProfile(const IniFile& file)
{
    monitor::ProfileReader r(file);
    TamrelProfileRead read;
    TamrelProfile& p = read.profile;
    p.common = monitor::ReadCommonProfile(
        r, {&IsFilterPositionTextOrEmpty, &IsFilterValueTextOrEmpty, &Minutes, TamrelProfileWindows()});
    p.sendStyle = static_cast<std::uint8_t>(r.Integer(kSend, QStringLiteral("Style"), p.sendStyle, 0, 2));
    p.timed = r.Flag(kSend, QStringLiteral("Timed"), p.timed);
    p.interval = r.Checked(
        kSend, QStringLiteral("Interval"), p.interval,
        [](const QString& text) { return CheckIntervalText(text) == IntervalTextCheck::Ok; },
        QCoreApplication::translate("tamrel::TamrelProfile", "发送间隔应为不小于0的秒数"));
    const QString sizes = r.Text(kLayout, kSplitter, QString());
    for (const QString& size : sizes.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int value = size.trimmed().toInt(&ok);
        if (!ok || value < 0) {
            r.Refuse(kLayout, kSplitter,
                     QCoreApplication::translate("tamrel::TamrelProfile", "“Splitter”应为以逗号分开的高度"));
            break;
        }
        p.splitter.append(value);
    }
    read.fault = r.Fault();
    return read;
}

} // namespace tamrel
