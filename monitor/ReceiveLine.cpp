#include "monitor/ReceiveLine.h"

#include "frame/HexText.h"
#include "platform/DateTimeText.h"
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QDateTime>

#include <cstring>

namespace monitor {

QString ReceiveHexText(const std::uint8_t* data, std::size_t n)
{
    const std::string text = BytesToHexText(data, n);
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString ReceiveAsciiText(const std::uint8_t* data, std::size_t n)
{
    const void* zero = std::memchr(data, 0, n);
    const std::size_t length = zero != nullptr ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data) : n;
    return DecodeText(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length)));
}

QString ReceiveDisplayLine(const QString& text, bool showTime, const QString& timeText)
{
    if (!showTime)
        return text;
    return timeText + QStringLiteral("  ") + text;
}

QString ReceiveDisplayLine(const QString& text, const QString& timeText, const QString& sourceText)
{
    if (timeText.isEmpty() && sourceText.isEmpty())
        return text;
    QString line;
    line.reserve(timeText.size() + sourceText.size() + 4 + text.size());
    if (!timeText.isEmpty())
        line += timeText + QStringLiteral("  ");
    if (!sourceText.isEmpty())
        line += sourceText + QStringLiteral("  ");
    line += text;
    return line;
}

QString WithMilliseconds(const QString& timeText, int milliseconds)
{
    qsizetype at = timeText.size();
    while (at > 0 && !(timeText[at - 1] >= QLatin1Char('0') && timeText[at - 1] <= QLatin1Char('9')))
        --at;
    if (at == 0)
        at = timeText.size();
    const QString ms = QStringLiteral(".%1").arg(milliseconds, 3, 10, QLatin1Char('0'));
    return timeText.left(at) + ms + timeText.mid(at);
}

QString ReceiveTimeText::AtUs(std::int64_t microseconds, bool milliseconds)
{
    const std::int64_t second = microseconds >= 0 ? microseconds / 1'000'000 : (microseconds - 999'999) / 1'000'000;
    const QString& text = At(static_cast<std::time_t>(second));
    if (!milliseconds)
        return text;
    return WithMilliseconds(text, static_cast<int>((microseconds - second * 1'000'000) / 1000));
}

const QString& ReceiveTimeText::Now()
{
    return At(std::time(nullptr));
}

const QString& ReceiveTimeText::At(std::time_t second)
{
    if (second != second_) {
        second_ = second;
        text_ = TimeText(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(second)));
    }
    return text_;
}

} // namespace monitor
