#include "widgets/WindowFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// What a window manager's frame takes around the client area, at most.
const QSize kFrame(16, 48);

QSize AvailableClientArea(const QWidget& window)
{
    const QScreen* screen = window.screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    return (screen->availableGeometry().size() - kFrame).expandedTo(QSize(1, 1));
}

} // namespace

QSize StartSizeWithin(const QSize& specified, int toolbarWidth, const QSize& available)
{
    const QSize wanted(std::max(specified.width(), toolbarWidth), specified.height());
    return available.isValid() ? wanted.boundedTo(available) : wanted;
}

QSize FitToAvailableArea(const QSize& wanted, const QWidget& window)
{
    return StartSizeWithin(wanted, 0, AvailableClientArea(window));
}

QSize StartSize(const QSize& specified, int toolbarWidth, const QWidget& window)
{
    return StartSizeWithin(specified, toolbarWidth, AvailableClientArea(window));
}
