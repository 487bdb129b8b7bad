#include "tcpmon/u_points.h"

#include "monitor/DecodePanel.h"
#include "monitor/PointPanel.h"
#include "tcpmon/u_decode.h"

#include <QAction>
#include <QCoreApplication>

namespace tamrel {

Tf_points::Tf_points(monitor::ReceiveRoute& route, Tf_decode& decode, QAction& showDecode, bool peerAsks,
                     QWidget* parent)
    : ToolWindow(parent, QStringLiteral("Tf_points"), QCoreApplication::translate("tamrel::Tf_points", "数据点表"),
                 new monitor::PointPanel, QSize(kWidth, kHeight))
    , Panel(findChild<monitor::PointPanel*>())
{
    Panel->SetDevice(peerAsks ? decode::DeviceRole::Asks : decode::DeviceRole::Answers);
    Panel->SetSources(route, true, [&decode, &showDecode](const monitor::PointFrame& frame) {
        decode.Panel->ShowFrame(frame.bytes, frame.direction, frame.request);
        if (!showDecode.isChecked())
            showDecode.trigger();
    });
}

} // namespace tamrel
