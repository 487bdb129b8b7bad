#include "tcpmon/u_linkwatch.h"

#include <QCoreApplication>

#include "monitor/LinkPanel.h"

namespace tamrel {

Tf_linkwatch::Tf_linkwatch(QWidget* parent)
    : ToolWindow(parent, QStringLiteral("Tf_linkwatch"),
                 QCoreApplication::translate("tamrel::Tf_linkwatch", "链路监视"), new monitor::LinkPanel,
                 QSize(kWidth, kHeight))
    , Panel(findChild<monitor::LinkPanel*>())
{
}

} // namespace tamrel
