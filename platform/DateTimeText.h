#pragma once

#include <QDateTime>
#include <QString>

// Local date and time as the process locale writes them. Call InitLocale()
// once at program start (QCoreApplication does the same on Unix, calling it
// again is harmless).

// setlocale(LC_ALL, "") on the first call; later calls do nothing.
void InitLocale();

// The longest text TimeText, DateText give, in characters.
inline constexpr int kLongestTimeText = 127;

// The time as the locale's %X ("14:05:09" in most locales).
[[nodiscard]] QString TimeText(const QDateTime& when);
// The date as the locale's %x ("03/09/24" in the C locale).
[[nodiscard]] QString DateText(const QDateTime& when);
// The date, one blank, the time: the line at the top of a timed-save file
// and the clock of the status bar.
[[nodiscard]] QString DateTimeText(const QDateTime& when);
