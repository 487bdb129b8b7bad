// The network parts of the TCP window: the peer's address and the
// milliseconds in front of received lines, remembered in the settings, and
// the traffic counters in the port panel's tooltip and the link window.
#include "tcpmon/Main.h"

#include "tcpmon/u_linkwatch.h"

#include "monitor/LinkPanel.h"
#include "monitor/NetworkChoices.h"
#include "monitor/ReceiveRoute.h"
#include "monitor/TrafficCounters.h"
#include "platform/IniFile.h"
#include "widgets/StatusPanels.h"

#include <QAction>

namespace tamrel {

void Tf_main::CreateNetworkParts()
{
    const monitor::NetworkChoices choices = monitor::ReadNetworkChoices(*iniFile_);
    state_.ShowSource = choices.showSource;
    state_.Millis = choices.millis;
    state_.Ipv4Only = choices.ipv4Only;
    A.N_showsource->setChecked(state_.ShowSource);
    A.N_millis->setChecked(state_.Millis);
    // The menu has already inverted the check mark.
    connect(A.N_showsource, &QAction::triggered, this, [this] { state_.ShowSource = A.N_showsource->isChecked(); });
    connect(A.N_millis, &QAction::triggered, this, [this] { state_.Millis = A.N_millis->isChecked(); });

    traffic_ = std::make_unique<monitor::TrafficCounters>();
    traffic_->Watch(*route_);
    const auto text = [this] { return monitor::TrafficText(*traffic_, monitor::ReceiveRoute::NowUs()); };
    area_->Panels->SetPanelToolTip(PanelPort, text);
    F_linkwatch->Panel->SetTrafficText(text);
}

} // namespace tamrel
