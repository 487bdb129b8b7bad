#include "udpmon/ReceivePass.h"

#include "udpmon/DatagramSender.h"
#include "udpmon/DisplayFilter.h"
#include "udpmon/OstrelState.h"

#include <QElapsedTimer>

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
constexpr qint64 kReceivePassBudgetMs = 10;
// The kernel queue asked for the listening socket.
constexpr int kReceiveQueueBytes = 4 << 20;

} // namespace

ReceivePass::ReceivePass(OstrelState& state, monitor::ReceiveRoute& route, QObject* parent)
    : QObject(parent)
    , state_(state)
    , route_(route)
    , buffer_(kReceiveBufferSize)
{
    UDPServer1_.OnDataAvailable = [this](TCustomWSocket*, int) { DataAvailable(); };
    // The pass owns its read loop: one readiness event, one pass.
    UDPServer1_.SetComponentOptions(UDPServer1_.ComponentOptions() | WSocketOptionBit(wsoNoReceiveLoop));
    // A larger queue in the kernel rides out bursts (capped by the system).
    UDPServer1_.SetReceiveQueueBytes(kReceiveQueueBytes);
}

void ReceivePass::Start()
{
    UDPServer1_.Close();
    UDPServer1_.SetProto(QStringLiteral("udp"));
    UDPServer1_.SetAddr(QStringLiteral("0.0.0.0"));
    UDPServer1_.SetPort(state_.ServerPort);
    UDPServer1_.Listen();
}

void ReceivePass::Stop()
{
    UDPServer1_.Close();
}

// Reads datagram after datagram until none waits or the pass has spent its
// budget; each goes to the route, which answers it before its line is laid
// out. An answer that fails ends the pass (its lines are shown all the
// same), and the datagrams still waiting are read by the next one.
void ReceivePass::DataAvailable()
{
    QElapsedTimer pass;
    pass.start();
    for (;;) {
        sockaddr_in from{};
        int fromLength = static_cast<int>(sizeof(from));
        const int n = UDPServer1_.ReceiveFrom(buffer_.data(), kReceiveBufferSize, from, fromLength);
        if (n < 0) {
            route_.PassEnded(monitor::PassEnd::PeerPaused);
            return;
        }
        monitor::ReceivedFrame frame;
        frame.bytes = std::span<const std::uint8_t>(buffer_.data(), static_cast<std::size_t>(n));
        frame.source = from;
        frame.arrivalUs = monitor::ReceiveRoute::NowUs();
        try {
            route_.Receive(frame);
        } catch (...) {
            route_.PassEnded(monitor::PassEnd::MoreWaiting);
            throw;
        }
        if (pass.elapsed() >= kReceivePassBudgetMs || UDPServer1_.State() != wsListening) {
            route_.PassEnded(monitor::PassEnd::MoreWaiting);
            return;
        }
    }
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
    return {&state.DisplayPaused, &state.RecvAscii, &state.ShowTime};
}

} // namespace ostrel
