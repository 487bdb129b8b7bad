#pragma once

#include "tcpmon/ToolWindow.h"

class QAction;

namespace monitor {
class PointPanel;
class ReceiveRoute;
} // namespace monitor

namespace tamrel {

class Tf_decode;

// "数据点表": the point table window, a tool window of its own beside the
// main window, not modal. Closing it only hides it; the table goes on
// filling. It is fed from `route` (each connection one link); a row's frame
// is shown in the decode window `decode`, which `showDecode` opens when
// hidden; `peerAsks`: the device connected asks (a monitor that serves).
class Tf_points final : public ToolWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_points)

public:
    static constexpr int kWidth = 760;
    static constexpr int kHeight = 460;

    Tf_points(monitor::ReceiveRoute& route, Tf_decode& decode, QAction& showDecode, bool peerAsks,
              QWidget* parent = nullptr);

    monitor::PointPanel* Panel;
};

} // namespace tamrel
