#pragma once

#include <QString>
#include <QStringList>

namespace ostrel {

struct OstrelState;

// The dialog "网络与组播" as the user fills it: listening for IPv4 peers
// only, the multicast groups joined while listening (separated by blanks or
// commas, each "GROUP" or "GROUP%IFACE") and the interface they are joined
// on, and what datagrams to a group are sent with (hop limit, -1 for the
// system's; interface).
struct NetworkForm {
    bool ipv4Only = false;
    QString groups;
    QString groupInterface;
    int hops = -1;
    QString sendInterface;
};

// The form of the state in force.
[[nodiscard]] NetworkForm NetworkFormOf(const OstrelState& state);

// Checks the form: every group a multicast address (IPv4 or IPv6, an IPv6
// one not with IPv4 only), every interface named one the system has. Empty
// when it is right, else the message to show.
[[nodiscard]] QString CheckNetworkForm(const NetworkForm& form);

// Puts a checked form into the state (takes effect at the next start of
// listening and the next send).
void ApplyNetworkForm(OstrelState& state, const NetworkForm& form);

// The groups of the text, in order, without empty ones.
[[nodiscard]] QStringList GroupsOfText(const QString& text);

} // namespace ostrel
