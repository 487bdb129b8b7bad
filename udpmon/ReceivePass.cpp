#include "udpmon/ReceivePass.h"

#include "udpmon/DatagramSender.h"
#include "udpmon/DisplayFilter.h"
#include "udpmon/OstrelState.h"

#include "socket/ESocketException.h"
#include "socket/WSocketErrors.h"
#include "socket/WSocketResolve.h"

#include <netinet/in.h>

#include <functional>

namespace ostrel {

namespace {

// The largest datagram read at once.
constexpr int kReceiveBufferSize = 65536;
// A receive pass that has run this long lets the event loop run (timers,
// input, painting) before it goes on with the datagrams still waiting. The
// window paces its own work, so the pass reads as fast as the socket
// delivers.
constexpr int kReceivePassBudgetMs = 10;
// The kernel queue asked for the listening socket.
constexpr int kReceiveQueueBytes = 4 << 20;

} // namespace

ReceivePass::ReceivePass(OstrelState& state, monitor::ReceiveRoute& route, QObject* parent)
    : QObject(parent)
    , state_(state)
    , route_(route)
    , loop_(UDPServer1_, kReceivePassBudgetMs)
    , buffer_(kReceiveBufferSize)
{
    UDPServer1_.OnDataAvailable = [this](TCustomWSocket*, int) { ReadPass(); };
    // A larger queue in the kernel rides out bursts (capped by the system).
    UDPServer1_.SetReceiveQueueBytes(kReceiveQueueBytes);
}

void ReceivePass::Start()
{
    UDPServer1_.Close();
    UDPServer1_.SetProto(QStringLiteral("udp"));
    UDPServer1_.SetAddr(listenAddress_);
    UDPServer1_.SetPort(state_.ServerPort);
    UDPServer1_.Listen();
    for (const QString& entry : state_.Groups) {
        const GroupEntry join = SplitGroupEntry(entry, state_.GroupInterface);
        if (!UDPServer1_.JoinGroup(join.group, join.interfaceName)) {
            const int error = UDPServer1_.LastError();
            UDPServer1_.Close();
            throw ESocketException("不能加入组播组 " + entry.toStdString() + ": " + ErrorText(error), error);
        }
    }
}

QString ListenAddressFor(bool ipv4Only)
{
    return !ipv4Only && SystemHasIPv6() ? QStringLiteral("::") : QStringLiteral("0.0.0.0");
}

GroupEntry SplitGroupEntry(const QString& entry, const QString& interfaceName)
{
    const QString trimmed = entry.trimmed();
    const qsizetype percent = trimmed.lastIndexOf(QLatin1Char('%'));
    if (percent < 0)
        return {trimmed, interfaceName.trimmed()};
    return {trimmed.left(percent), trimmed.mid(percent + 1)};
}

void ReceivePass::Stop()
{
    UDPServer1_.Close();
}

// The lines of a pass are shown together when nothing more waits or the
// pass has spent its budget. An answer that fails ends the pass (its lines
// are shown all the same); the datagrams still waiting are read by the next.
void ReceivePass::ReadPass()
{
    loop_.Begin();
    try {
        // Another datagram waits when the kernel counts its bytes.
        while (loop_.ReadsOn(ReadOneDatagram() && UDPServer1_.RcvdCount() > 0 ? ReadLoop::Read::Waiting
                                                                              : ReadLoop::Read::Drained)) {
        }
    } catch (...) {
        route_.PassEnded(monitor::PassEnd::MoreWaiting);
        throw;
    }
    route_.PassEnded(loop_.Ended() == ReadLoop::End::BudgetSpent ? monitor::PassEnd::MoreWaiting
                                                                 : monitor::PassEnd::PeerPaused);
}

bool ReceivePass::ReadOneDatagram()
{
    WSocketAddress from;
    WSocketAddress to;
    // The destination only when it is asked for (a packet capture).
    const int n = UDPServer1_.ReceiveDestination() ? UDPServer1_.ReceiveFrom(buffer_.data(), kReceiveBufferSize, from, to)
                                                   : UDPServer1_.ReceiveFrom(buffer_.data(), kReceiveBufferSize, from);
    if (n < 0)
        return false;
    monitor::ReceivedFrame frame;
    frame.bytes = std::span<const std::uint8_t>(buffer_.data(), static_cast<std::size_t>(n));
    // An IPv4 peer of a dual-stack socket is told as IPv4.
    from = from.Unmapped();
    if (from.Family() == AF_INET)
        frame.source = from.In4();
    else if (from.Family() == AF_INET6)
        frame.source6 = from.In6();
    if (to.IsValid()) {
        to = to.Unmapped();
        if (to.Family() == AF_INET)
            frame.destination = to.In4();
        else
            frame.destination6 = to.In6();
    }
    frame.arrivalUs = monitor::ReceiveRoute::NowUs();
    route_.Receive(frame);
    return true;
}

monitor::ReceivePolicy OstrelReceivePolicy(OstrelState& state, DatagramSender& sender)
{
    monitor::ReceivePolicy policy;
    policy.hexFilter = std::bind_front(&ShowsLine, std::cref(state.FilterRules));
    policy.answer = std::bind_front(&DatagramSender::Answer, &sender);
    return policy;
}

monitor::ReceiveSwitches OstrelReceiveSwitches(const OstrelState& state)
{
    return {&state.DisplayPaused, &state.RecvAscii, &state.ShowTime, &state.Millis, &state.ShowSource};
}

} // namespace ostrel
