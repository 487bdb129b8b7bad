#include "widgets/Contrast.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

double Linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

} // namespace

double ContrastRatio(const QColor& text, const QColor& background)
{
    const double a = Luminance(text);
    const double b = Luminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QString ContrastNote(const QString& area, const QColor& text, const QColor& background)
{
    const double ratio = ContrastRatio(text, background);
    if (ratio >= kReadableContrast)
        return {};
    // A ratio just below the limit never reads as 3.0.
    const double shown = std::min(std::round(ratio * 10.0), kReadableContrast * 10.0 - 1.0) / 10.0;
    return QCoreApplication::translate("Contrast",
                                       "注意：%1的字体颜色与背景颜色对比度为 %2:1，低于 3:1，文字不易看清。")
        .arg(area, QString::number(shown, 'f', 1));
}
