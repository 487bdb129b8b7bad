#include "widgets/SelectionColors.h"

#include <cstdlib>

namespace {

// Below this sum of the red, green and blue differences two colours look
// alike in a text window.
constexpr int kAlike = 96;

int Difference(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

} // namespace

SelectionColors SelectionColorsFor(const QColor& background, const QColor& text, const SelectionColors& style)
{
    if (Difference(style.highlight, background) >= kAlike)
        return style;
    return {text, background};
}
