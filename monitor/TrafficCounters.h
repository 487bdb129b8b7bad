#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

namespace monitor {

class ReceiveRoute;

// Frames and bytes one way: in all since the last reset, or in the last
// second.
struct TrafficCount {
    std::uint64_t frames = 0;
    std::uint64_t bytes = 0;
};

// The frames and bytes a monitor received and sent, in all and over the
// last second (in tenths of a second: the last ten tenths up to the present
// one). Fed by the receive route (every frame received, every frame sent);
// reset by the receive window's clear command. Needs no display.
class TrafficCounters final {
public:
    enum class Way { Received, Sent };

    void Count(Way way, std::size_t bytes, std::int64_t nowUs);
    void Reset();

    [[nodiscard]] TrafficCount Total(Way way) const;
    // What was counted in the second up to `nowUs`.
    [[nodiscard]] TrafficCount LastSecond(Way way, std::int64_t nowUs) const;

    // Counts every frame the route receives (empty datagrams too) and every
    // frame the program tells it of sending.
    void Watch(ReceiveRoute& route);

private:
    static constexpr int kTenths = 10;
    struct Tenth {
        std::int64_t index = -1; // tenths of a second since 1970
        TrafficCount count;
    };
    struct OneWay {
        TrafficCount total;
        std::array<Tenth, kTenths> tenths{};
    };
    [[nodiscard]] const OneWay& Of(Way way) const { return way == Way::Received ? received_ : sent_; }

    OneWay received_;
    OneWay sent_;
};

// The counters as the status bar's tooltip and the link window show them:
// "接收: 12 帧 345 字节 (1 秒内 3 帧/秒 90 字节/秒)" and the same line for
// "发送".
[[nodiscard]] QString TrafficText(const TrafficCounters& counters, std::int64_t nowUs);

} // namespace monitor
