#include "tcpmon/u_decode.h"

#include "monitor/DecodePanel.h"

#include <QCoreApplication>
#include <QScreen>

#include <algorithm>

namespace tamrel {

Tf_decode::Tf_decode(QWidget* parent)
    : ToolWindow(parent, QStringLiteral("Tf_decode"), QCoreApplication::translate("tamrel::Tf_decode", "报文解析"),
                 new monitor::DecodePanel, QSize(kWidth, kHeight))
    , Panel(findChild<monitor::DecodePanel*>())
{
}

void ShowBeside(QWidget& owner, QWidget& tool, bool show, bool& shownBefore)
{
    if (show && !shownBefore) {
        shownBefore = true;
        const QRect frame = owner.frameGeometry();
        int x = frame.right() + 1;
        if (const QScreen* place = owner.screen();
            place != nullptr && x + tool.width() > place->availableGeometry().right())
            x = std::max(frame.left(), frame.right() + 1 - tool.width());
        tool.move(x, frame.top());
    }
    tool.setVisible(show);
    if (show)
        tool.raise();
}

} // namespace tamrel
