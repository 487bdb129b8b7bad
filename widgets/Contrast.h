#pragma once

#include <QColor>
#include <QString>

// How well text of one colour reads on another: the ratio of their relative
// luminances (each plus 0.05), from 1 (the same) to 21 (black on white).
[[nodiscard]] double ContrastRatio(const QColor& text, const QColor& background);

// Below this ratio text is hard to read; the colour dialog says so.
inline constexpr double kReadableContrast = 3.0;

// The colour dialog's note for one text area ("接收报文区"): empty at a
// readable contrast, otherwise the ratio and a warning.
[[nodiscard]] QString ContrastNote(const QString& area, const QColor& text, const QColor& background);
