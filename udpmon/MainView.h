#pragma once

#include "monitor/FrameLine.h"

#include <QObject>
#include <QSize>

class QAction;
class QMainWindow;
class QStatusBar;
class QWidget;

namespace ostrel {

class MainActions;
class TDockableForm;

// What the view commands do to the main window's parts.

// Keeps the two text windows docked side by side, receive on the left, as at
// start: wherever one of them is dropped while both are docked and shown,
// the pair is docked again that way (never as tabs, never one above the
// other). Floating or hidden windows are left where they are.
class SideBySideDocks final : public QObject {
public:
    SideBySideDocks(QMainWindow* window, TDockableForm* left, TDockableForm* right);

    // Docks the pair side by side again unless it already stands so.
    void Arrange();

private:
    QMainWindow* window_;
    TDockableForm* left_;
    TDockableForm* right_;
    bool arranging_ = false;
};

// "窗口总在最前": the window becomes a small always-on-top tool window in the
// screen's top-left corner without menus, toolbar and status bar, shown
// without taking the focus; leaving it brings them back (the toolbar as its
// menu item says) at `restoredSize`, where the compact window stood. The
// button's hint tells the mode.
// The rule the lines of the receive and the send window follow now (the
// ASCII switches of the state).
struct OstrelState;
[[nodiscard]] monitor::FrameLineRule RecvLineRule(const OstrelState& state);
[[nodiscard]] monitor::FrameLineRule SendLineRule(const OstrelState& state);

// Puts the window in the middle of the primary screen.
void CentreOnScreen(QWidget& window);

[[nodiscard]] bool InCompactMode(const MainActions& actions);
void EnterCompactMode(QMainWindow& window, MainActions& actions, QStatusBar* statusBar);
void LeaveCompactMode(QMainWindow& window, MainActions& actions, QStatusBar* statusBar, QSize restoredSize);

} // namespace ostrel
