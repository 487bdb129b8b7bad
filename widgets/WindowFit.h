#pragma once

#include <QSize>

class QWidget;

// Window sizes that fit the screen.

// The wanted size bounded by the available area of the screen (the screen
// less its panels), less room for the window's frame: a window never opens
// larger than the screen. Without a screen, the wanted size.
[[nodiscard]] QSize FitToAvailableArea(const QSize& wanted, const QWidget& window);

// The start size of a main window: the specified size, widened to show the
// whole toolbar when the style draws it wider (every button reachable
// without its overflow menu), then fitted to the screen.
[[nodiscard]] QSize StartSize(const QSize& specified, int toolbarWidth, const QWidget& window);

// The pure rule of both: `available` is the room for the window's client area.
[[nodiscard]] QSize StartSizeWithin(const QSize& specified, int toolbarWidth, const QSize& available);
