#include "platform/DateTimeText.h"

#include <clocale>
#include <ctime>
#include <cwchar>
#include <mutex>

namespace {

// Formats one conversion of wcsftime for the local time of `when`, so that
// the text is right in any locale encoding.
QString Format(const QDateTime& when, const wchar_t* format)
{
    const std::time_t seconds = static_cast<std::time_t>(when.toSecsSinceEpoch());
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        return {};
    }
    wchar_t buffer[kLongestTimeText + 1];
    const std::size_t length = std::wcsftime(buffer, sizeof buffer / sizeof buffer[0], format, &local);
    return QString::fromWCharArray(buffer, static_cast<qsizetype>(length));
}

} // namespace

void InitLocale()
{
    static std::once_flag once;
    std::call_once(once, [] { std::setlocale(LC_ALL, ""); });
}

QString TimeText(const QDateTime& when)
{
    return Format(when, L"%X");
}

QString DateText(const QDateTime& when)
{
    return Format(when, L"%x");
}

QString DateTimeText(const QDateTime& when)
{
    return DateText(when) + u' ' + TimeText(when);
}
