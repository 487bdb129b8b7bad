#include "monitor/ReceiveRoute.h"

#include "monitor/TimedSave.h"
#include "platform/PcapngWriter.h"

#include <QPointer>

#include <utility>

#include <arpa/inet.h>

namespace monitor {

namespace {

bool On(const bool* flag)
{
    return flag != nullptr && *flag;
}

} // namespace

ReceiveRoute::ReceiveRoute(LineSink& sink, TimedSave& capture, ReceivePolicy policy, ReceiveSwitches switches)
    : sink_(sink)
    , capture_(capture)
    , policy_(std::move(policy))
    , switches_(switches)
{
}

QString SourceText(const ReceivedFrame& frame)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (frame.source6.sin6_family == AF_INET6) {
        ::inet_ntop(AF_INET6, &frame.source6.sin6_addr, text, sizeof text);
        return QStringLiteral("[%1]:%2").arg(QString::fromLatin1(text)).arg(ntohs(frame.source6.sin6_port));
    }
    if (frame.source.sin_family != AF_INET)
        return {};
    ::inet_ntop(AF_INET, &frame.source.sin_addr, text, sizeof text);
    return QStringLiteral("%1:%2").arg(QString::fromLatin1(text)).arg(ntohs(frame.source.sin_port));
}

std::int64_t ReceiveRoute::NowUs()
{
    return static_cast<std::int64_t>(PcapngWriter::NowMicroseconds());
}

QString HexLineOf(const QByteArray& bytes)
{
    return ReceiveHexText(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
}

void ReceiveRoute::Sent(std::span<const std::uint8_t> bytes, const sockaddr_in& destination)
{
    ReceivedFrame frame;
    frame.bytes = bytes;
    frame.source = destination;
    TellSent(frame);
}

void ReceiveRoute::Sent(std::span<const std::uint8_t> bytes, const sockaddr_in6& destination)
{
    ReceivedFrame frame;
    frame.bytes = bytes;
    frame.source6 = destination;
    TellSent(frame);
}

void ReceiveRoute::TellSent(ReceivedFrame& frame)
{
    if (sentObservers_.empty())
        return;
    frame.arrivalUs = NowUs();
    frame.direction = Direction::ToDevice;
    for (const Observer& observer : sentObservers_)
        observer(frame);
}

void ReceiveRoute::WatchTraffic(QObject* watcher, const Observer& frames, const ConnectionObserver& connections)
{
    const QPointer<QObject> alive(watcher);
    const auto onFrame = [alive, frames](const ReceivedFrame& frame) {
        if (alive)
            frames(frame);
    };
    AddObserver(onFrame);
    AddSentObserver(onFrame);
    AddConnectionObserver([alive, connections](const ConnectionChange& change) {
        if (alive)
            connections(change);
    });
}

void ReceiveRoute::ConnectionChanged(bool opened, const sockaddr_in& peer)
{
    if (connectionObservers_.empty())
        return;
    const ConnectionChange change{opened, peer, NowUs()};
    for (const ConnectionObserver& observer : connectionObservers_)
        observer(change);
}

void ReceiveRoute::Receive(const ReceivedFrame& frame)
{
    for (const Observer& observer : observers_)
        observer(frame);
    const std::span<const std::uint8_t> bytes = frame.bytes;
    if (bytes.empty() && !policy_.emptyFramesMakeLines)
        return;
    if (On(switches_.ascii)) {
        ReceiveAscii(frame);
        return;
    }
    // The line is made once, when the first rule needs it.
    QString hex;
    QString line;
    bool made = false;
    const auto hexText = [&]() -> const QString& {
        if (!made) {
            hex = ReceiveHexText(bytes.data(), bytes.size());
            line = ReceiveDisplayLine(hex, TimeOf(frame), On(switches_.showSource) ? SourceText(frame) : QString());
            made = true;
        }
        return hex;
    };
    const auto displayLine = [&]() -> const QString& {
        hexText();
        return line;
    };

    if (policy_.captureFirst && capture_.Capturing())
        capture_.Capture(displayLine());
    if (!On(switches_.displayPaused)) {
        if (!policy_.lineRuleAfter)
            sink_.EmptyIfFull();
        const bool shown = (!policy_.byteFilter || policy_.byteFilter(bytes))
            && (!policy_.hexFilter || policy_.hexFilter(hexText()));
        if (shown) {
            if (policy_.linesMadeLate && !made && !On(switches_.showTime) && !On(switches_.millis)
                && !On(switches_.showSource))
                sink_.Line(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())),
                           &HexLineOf);
            else
                sink_.Line(displayLine());
        }
    }
    if (policy_.lineRuleAfter)
        sink_.EmptyIfFull();
    if (!policy_.captureFirst && capture_.Capturing())
        capture_.Capture(displayLine());
    if (policy_.answer && !bytes.empty())
        policy_.answer(frame);
}

void ReceiveRoute::ReceiveAscii(const ReceivedFrame& frame)
{
    if (On(switches_.displayPaused))
        return;
    sink_.Text(ReceiveDisplayLine(ReceiveAsciiText(frame.bytes.data(), frame.bytes.size()), TimeOf(frame),
                                  On(switches_.showSource) ? SourceText(frame) : QString()));
}

QString ReceiveRoute::TimeOf(const ReceivedFrame& frame)
{
    if (!On(switches_.showTime) && !On(switches_.millis))
        return {};
    if (!On(switches_.millis))
        return time_.Now();
    return time_.AtUs(frame.arrivalUs != 0 ? frame.arrivalUs : NowUs(), true);
}

} // namespace monitor
