#pragma once

#include "tcpmon/ToolWindow.h"

namespace monitor {
class DecodePanel;
} // namespace monitor

namespace tamrel {

// "报文解析": the decode window, a tool window of its own beside the main
// window, not modal. Closing it only hides it; its choices stay for the run.
class Tf_decode final : public ToolWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_decode)

public:
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 380;

    explicit Tf_decode(QWidget* parent = nullptr);

    monitor::DecodePanel* Panel;
};

// Shows or hides a tool window of the main window `owner`. The first time,
// it opens at the right of the main window, or at its right edge when the
// screen has no room there, leaving the receive window free.
void ShowBeside(QWidget& owner, QWidget& tool, bool show, bool& shownBefore);

} // namespace tamrel
