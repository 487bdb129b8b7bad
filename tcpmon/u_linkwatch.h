#pragma once

#include "tcpmon/ToolWindow.h"

namespace monitor {
class LinkPanel;
} // namespace monitor

namespace tamrel {

// "链路监视": the link supervision window, a tool window of its own beside
// the main window, not modal. Closing it only hides it; the watch goes on.
class Tf_linkwatch final : public ToolWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_linkwatch)

public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 420;

    explicit Tf_linkwatch(QWidget* parent = nullptr);

    monitor::LinkPanel* Panel;
};

} // namespace tamrel
