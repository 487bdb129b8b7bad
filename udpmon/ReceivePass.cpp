#include "udpmon/ReceivePass.h"

#include "udpmon/DatagramSender.h"
#include "udpmon/DisplayFilter.h"
#include "udpmon/OstrelState.h"
#include "udpmon/Triggers.h"

#include <QTimer>

#include <netinet/in.h>

#include <optional>
#include <utility>

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

ReceivePass::ReceivePass(OstrelState& state, DatagramSender& sender, ReceiveOutlet outlet, QObject* parent)
    : QObject(parent)
    , state_(state)
    , outlet_(std::move(outlet))
    , buffer_(kReceiveBufferSize)
{
    UDPServer1_.OnDataAvailable = [this](TCustomWSocket*, int) { DataAvailable(); };
    // A larger queue in the kernel rides out bursts (capped by the system).
    UDPServer1_.SetReceiveQueueBytes(kReceiveQueueBytes);
    hooks_.ApplyDisplayFilter = [this](QStringView hex) {
        return !AnyFilterRuleOn(state_.FilterRules) || ApplyDisplayFilter(state_.FilterRules, hex);
    };
    hooks_.MatchTriggers = [this, &sender](const std::uint8_t* data, std::size_t n) {
        const std::optional<int> rule = MatchTriggers(state_.TriggerRules, data, n);
        if (!rule)
            return;
        const TriggerRule& matched = state_.TriggerRules[static_cast<std::size_t>(*rule)];
        sender.Send(matched.ResponseBytes.data(), matched.ResponseCount);
    };
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
    yieldNext_ = false;
}

// The socket component calls this once per waiting datagram and goes on
// while datagrams wait. The lines of one pass are shown together when
// nothing more waits; a pass that has run for its budget ends by not
// reading, and goes on from the event loop once that has run.
void ReceivePass::DataAvailable()
{
    if (yieldNext_) {
        yieldNext_ = false;
        QTimer::singleShot(0, this, &ReceivePass::Resume);
        return;
    }
    if (!passClock_.isValid())
        passClock_.start();
    ReadOneDatagram();
}

void ReceivePass::Resume()
{
    if (UDPServer1_.State() != wsListening)
        return;
    passClock_.start();
    try {
        ReadOneDatagram();
    } catch (...) { // NOLINT(bugprone-empty-catch): as in the socket's own pass, a failed answer is not shown
        outlet_.ShowLines();
    }
}

void ReceivePass::ReadOneDatagram()
{
    sockaddr_in from{};
    int fromLength = static_cast<int>(sizeof(from));
    const int n = UDPServer1_.ReceiveFrom(buffer_.data(), kReceiveBufferSize, from, fromLength);
    // An empty datagram is received (a capture holds it) but makes no line.
    if (n >= 0 && hooks_.Received)
        hooks_.Received(buffer_.data(), static_cast<std::size_t>(n), from);
    if (n > 0) {
        const auto count = static_cast<std::size_t>(n);
        if (state_.RecvAscii)
            ReceiveAscii(buffer_.data(), count);
        else
            ReceiveHex(buffer_.data(), count);
    }
    // The answer leaves before the lines are laid out, so laying them out
    // never delays it; the lines read so far are shown also when the answer
    // fails (which ends the pass).
    try {
        if (n > 0 && !state_.RecvAscii && hooks_.MatchTriggers)
            hooks_.MatchTriggers(buffer_.data(), static_cast<std::size_t>(n));
    } catch (...) {
        outlet_.ShowLines();
        passClock_.invalidate();
        throw;
    }
    // The pass ends when nothing more waits or its budget is spent.
    const bool moreWaiting = UDPServer1_.RcvdCount() > 0;
    const bool budgetSpent = passClock_.isValid() && passClock_.elapsed() >= kReceivePassBudgetMs;
    if (!moreWaiting || budgetSpent) {
        outlet_.ShowLines();
        passClock_.invalidate();
        yieldNext_ = moreWaiting;
    }
}

void ReceivePass::ReceiveHex(const std::uint8_t* data, std::size_t n)
{
    const QString hex = monitor::ReceiveHexText(data, n);
    const QString line = monitor::ReceiveDisplayLine(hex, state_.ShowTime, state_.ShowTime ? time_.Now() : QString());
    if (!state_.DisplayPaused)
        outlet_.HexLine(line, !hooks_.ApplyDisplayFilter || hooks_.ApplyDisplayFilter(hex));
    outlet_.Capture(line);
}

void ReceivePass::ReceiveAscii(const std::uint8_t* data, std::size_t n)
{
    if (state_.DisplayPaused)
        return;
    outlet_.AsciiText(monitor::ReceiveDisplayLine(monitor::ReceiveAsciiText(data, n), state_.ShowTime,
                                                  state_.ShowTime ? time_.Now() : QString()));
}

} // namespace ostrel
