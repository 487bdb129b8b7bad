// The network parts of Ostrel's main window: the peer's address and the
// milliseconds in front of received lines, the traffic counters in the port
// panel's tooltip, the network dialog (IPv4 only, multicast) and the trigger
// answers to the sender, with their settings.
#include "udpmon/u_main.h"

#include "udpmon/DatagramSender.h"
#include "udpmon/OstrelSettings.h"
#include "udpmon/ReceivePass.h"
#include "udpmon/u_network.h"

#include "monitor/LinkPanel.h"
#include "monitor/ReceiveRoute.h"
#include "monitor/TrafficCounters.h"
#include "monitor/u_trigger.h"
#include "widgets/StatusPanels.h"

#include "udpmon/DockForm.h"

#include <QAction>

namespace ostrel {

void Tf_main::CreateNetworkParts()
{
    traffic_ = std::make_unique<monitor::TrafficCounters>();
    traffic_->Watch(*route_);
    Panels_->SetPanelToolTip(PanelPorts,
                             [this] { return monitor::TrafficText(*traffic_, monitor::ReceiveRoute::NowUs()); });
    linkForm_->Panel->SetTrafficText([this] { return monitor::TrafficText(*traffic_, monitor::ReceiveRoute::NowUs()); });
    F_network = new Tf_network(state_, this);
    // Answers to the sender leave from the listening port.
    sender_->SetReplySocket(&UDPServer1());
    F_trigger->AddReplyToSender(state_.ReplyToSender);
}

void Tf_main::ReadNetworkSettings(const OstrelSettings& settings)
{
    state_.ShowSource = settings.Network.showSource;
    state_.Millis = settings.Network.millis;
    state_.Ipv4Only = settings.Network.ipv4Only;
    state_.Groups = settings.Groups;
    state_.GroupInterface = settings.GroupInterface;
    state_.MulticastHops = settings.MulticastHops;
    state_.MulticastInterface = settings.MulticastInterface;
    A.N_showsource->setChecked(state_.ShowSource);
    A.N_millis->setChecked(state_.Millis);
}

void Tf_main::StoreNetworkSettings(OstrelSettings& settings) const
{
    settings.Network = {state_.ShowSource, state_.Millis, state_.Ipv4Only};
    settings.Groups = state_.Groups;
    settings.GroupInterface = state_.GroupInterface;
    settings.MulticastHops = state_.MulticastHops;
    settings.MulticastInterface = state_.MulticastInterface;
}

void Tf_main::N_showsourceClick()
{
    // The menu has already inverted the check mark.
    state_.ShowSource = A.N_showsource->isChecked();
}

void Tf_main::N_millisClick()
{
    state_.Millis = A.N_millis->isChecked();
}

void Tf_main::N_networkClick()
{
    F_network->exec();
}

} // namespace ostrel
