#pragma once

#include <QIcon>

class QAction;

namespace ostrel {

// The main window's image list: one picture per index. A command that
// switches a button's look sets one of these indices.
namespace ToolbarImage {
constexpr int ListenOff = 0;
constexpr int ListenOn = 1;
constexpr int PortSetup = 2;
constexpr int DisplayRunning = 3;
constexpr int DisplayPaused = 4;
constexpr int FilterOff = 5;
constexpr int FilterOn = 6;
constexpr int SendNow = 7;
constexpr int SaveRecv = 8;
constexpr int SaveSend = 9;
constexpr int LoadRecv = 10;
constexpr int LoadSend = 11;
constexpr int OnTop = 12;
constexpr int Help = 14;
constexpr int Exit = 15;
constexpr int RecvAscii = 16;
constexpr int TriggerOff = 18;
constexpr int TriggerOn = 19;
constexpr int SendAscii = 20;
} // namespace ToolbarImage

// The picture of an index; a null icon for an index without one.
[[nodiscard]] QIcon ToolbarIcon(int index);

// Gives the action the picture of `index` and remembers the index.
void SetImageIndex(QAction* action, int index);
// The index last set on the action, -1 when none was.
[[nodiscard]] int ImageIndex(const QAction* action);

} // namespace ostrel
