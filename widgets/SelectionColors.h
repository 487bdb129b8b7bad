#pragma once

#include <QColor>

// The colours a text window shows its selection in.
struct SelectionColors {
    QColor highlight;       // behind selected text
    QColor highlightedText; // selected text
};

// The selection keeps the style's own colours unless their background is
// hard to tell from the window's background (a window coloured like the
// selection, say); then selected text is shown inverted: the text colour
// behind it and the window's background colour in front.
[[nodiscard]] SelectionColors SelectionColorsFor(const QColor& background, const QColor& text,
                                                 const SelectionColors& style);
