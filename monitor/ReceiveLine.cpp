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
