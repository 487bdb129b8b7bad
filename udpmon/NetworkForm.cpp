#include "udpmon/NetworkForm.h"

#include "udpmon/OstrelState.h"
#include "udpmon/ReceivePass.h"

#include "socket/ESocketException.h"
#include "socket/WSocketResolve.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <net/if.h>
#include <netinet/in.h>

namespace ostrel {

namespace {

bool InterfaceExists(const QString& name)
{
    return name.isEmpty() || if_nametoindex(name.toLocal8Bit().constData()) != 0;
}

// The family of a multicast group text, or 0 when it is none. Only
// literal addresses count: a name is never looked up here.
int GroupFamily(const QString& group)
{
    if (group.isEmpty() || !(group.contains(QLatin1Char(':')) || IsDottedQuad(group)))
        return 0;
    try {
        const WSocketAddress address = WSocketResolveAddress(group).Unmapped();
        return address.IsMulticast() ? address.Family() : 0;
    } catch (const ESocketException&) {
        return 0;
    }
}

} // namespace

NetworkForm NetworkFormOf(const OstrelState& state)
{
    return {state.Ipv4Only, state.Groups.join(QLatin1Char(' ')), state.GroupInterface, state.MulticastHops,
            state.MulticastInterface};
}

QStringList GroupsOfText(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    return text.split(separators, Qt::SkipEmptyParts);
}

QString CheckNetworkForm(const NetworkForm& form)
{
    if (!InterfaceExists(form.groupInterface.trimmed()))
        return QCoreApplication::translate("ostrel::NetworkForm", "没有接口 %1").arg(form.groupInterface.trimmed());
    if (!InterfaceExists(form.sendInterface.trimmed()))
        return QCoreApplication::translate("ostrel::NetworkForm", "没有接口 %1").arg(form.sendInterface.trimmed());
    if (form.hops < -1 || form.hops > 255)
        return QCoreApplication::translate("ostrel::NetworkForm", "TTL应为0到255");
    for (const QString& entry : GroupsOfText(form.groups)) {
        const GroupEntry join = SplitGroupEntry(entry, form.groupInterface);
        const int family = GroupFamily(join.group);
        if (family == 0)
            return QCoreApplication::translate("ostrel::NetworkForm", "%1 不是组播地址").arg(join.group);
        if (family == AF_INET6 && form.ipv4Only)
            return QCoreApplication::translate("ostrel::NetworkForm", "只监听IPv4时不能加入IPv6组播组 %1")
                .arg(join.group);
        if (!InterfaceExists(join.interfaceName))
            return QCoreApplication::translate("ostrel::NetworkForm", "没有接口 %1").arg(join.interfaceName);
    }
    return {};
}

void ApplyNetworkForm(OstrelState& state, const NetworkForm& form)
{
    state.Ipv4Only = form.ipv4Only;
    state.Groups = GroupsOfText(form.groups);
    state.GroupInterface = form.groupInterface.trimmed();
    state.MulticastHops = form.hops;
    state.MulticastInterface = form.sendInterface.trimmed();
}

} // namespace ostrel
