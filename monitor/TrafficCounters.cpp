#include "monitor/TrafficCounters.h"

#include <QCoreApplication>

#include "monitor/ReceiveRoute.h"

namespace monitor {

namespace {

constexpr std::int64_t kTenthUs = 100'000;

std::int64_t TenthOf(std::int64_t us)
{
    return us >= 0 ? us / kTenthUs : (us - kTenthUs + 1) / kTenthUs;
}

} // namespace

void TrafficCounters::Count(Way way, std::size_t bytes, std::int64_t nowUs)
{
    OneWay& counts = way == Way::Received ? received_ : sent_;
    ++counts.total.frames;
    counts.total.bytes += bytes;
    const std::int64_t index = TenthOf(nowUs);
    Tenth& tenth = counts.tenths[static_cast<std::size_t>(((index % kTenths) + kTenths) % kTenths)];
    if (tenth.index != index) {
        tenth.index = index;
        tenth.count = {};
    }
    ++tenth.count.frames;
    tenth.count.bytes += bytes;
}

void TrafficCounters::Reset()
{
    received_ = {};
    sent_ = {};
}

TrafficCount TrafficCounters::Total(Way way) const
{
    return Of(way).total;
}

TrafficCount TrafficCounters::LastSecond(Way way, std::int64_t nowUs) const
{
    const std::int64_t now = TenthOf(nowUs);
    TrafficCount sum;
    for (const Tenth& tenth : Of(way).tenths) {
        if (tenth.index > now - kTenths && tenth.index <= now) {
            sum.frames += tenth.count.frames;
            sum.bytes += tenth.count.bytes;
        }
    }
    return sum;
}

void TrafficCounters::Watch(ReceiveRoute& route)
{
    route.AddObserver([this](const ReceivedFrame& frame) { Count(Way::Received, frame.bytes.size(), frame.arrivalUs); });
    route.AddSentObserver([this](const ReceivedFrame& frame) { Count(Way::Sent, frame.bytes.size(), frame.arrivalUs); });
}

QString TrafficText(const TrafficCounters& counters, std::int64_t nowUs)
{
    const auto line = [&](const QString& name, TrafficCounters::Way way) {
        const TrafficCount total = counters.Total(way);
        const TrafficCount second = counters.LastSecond(way, nowUs);
        return QCoreApplication::translate("monitor::TrafficCounters", "%1: %2 帧 %3 字节 (1 秒内 %4 帧/秒 %5 字节/秒)")
            .arg(name)
            .arg(total.frames)
            .arg(total.bytes)
            .arg(second.frames)
            .arg(second.bytes);
    };
    return line(QCoreApplication::translate("monitor::TrafficCounters", "接收"), TrafficCounters::Way::Received)
        + QLatin1Char('\n')
        + line(QCoreApplication::translate("monitor::TrafficCounters", "发送"), TrafficCounters::Way::Sent);
}

} // namespace monitor
