#pragma once

#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <optional>

namespace ostrel {

// The period of timed saving, typed in minutes. The timer counts
// milliseconds in 32 bits, so the longest period is 71582 minutes; negative
// minutes give no period at all. 0 minutes are accepted: the timer is then on
// but never fires.

inline constexpr double kMaxSaveMinutes = 71582.0;
// The Chinese source text; the window shows its translation (monitor::Translated).
inline const QString kSaveMinutesMessage
    = QString::fromUtf8(QT_TRANSLATE_NOOP("ostrel::FrameLogPeriod", "保存间隔应为0到71582之间的分钟数（可带小数）"));

// The period in milliseconds, cut to a whole number (0.5 gives 30000); none
// for minutes outside 0 to 71582. A text that is not a number throws
// EConvertError("'<text>' is not a valid floating point value").
[[nodiscard]] std::optional<std::int64_t> SavePeriodMs(const QString& minutesText);

} // namespace ostrel
