#pragma once

class QObject;
class TSMemo;

namespace ostrel {

class MainActions;

// The edit commands of the main menu and the text windows' context menu:
// copy, cut, paste, select all and undo act on the text field that has the
// input focus (a text window or a dialog's line); delete removes the
// selection of the receive window when it has the focus, else of the send
// window, unless that window is read-only.
void ConnectEditCommands(const MainActions& actions, QObject* context, TSMemo* receive, TSMemo* send);

} // namespace ostrel
