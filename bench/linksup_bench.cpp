// The link supervisor alone: frames per second of processor time for a clean
// IEC 104 flood (I-frames with one time-tagged measured value, an S-frame
// every eighth), as datagrams, as one stream chunk per frame and as 64 KiB
// stream chunks of many frames; and for MODBUS/TCP request-response pairs.
// The flood a monitor must keep up with is 100 000 I-frames a second.
#include "analysis/LinkSupervisor.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t kStart = 1'765'000'000'000'000;

Bytes Tagged(unsigned ns)
{
    // M_ME_TF_1, one object, a tag of 2025-12-06 05:46:40.000.
    return {0x68, 0x19, static_cast<std::uint8_t>(ns << 1), static_cast<std::uint8_t>(ns >> 7), 0, 0,
            0x24, 0x01, 0x03, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00,
            0x40, 0x9C, 0x2E, 0x05, 0x06, 0x0C, 0x19};
}

Bytes S(unsigned nr)
{
    return {0x68, 0x04, 0x01, 0x00, static_cast<std::uint8_t>(nr << 1), static_cast<std::uint8_t>(nr >> 7)};
}

// One run of the flood: `frames` I-frames from the device, 10 µs apart.
struct Flood {
    std::vector<Bytes> frames;
    std::vector<analysis::Direction> directions;
};

const Flood& MakeFlood()
{
    static const Flood flood = [] {
        Flood f;
        for (unsigned n = 0; n < 65'536; ++n) {
            f.frames.push_back(Tagged(n & 0x7FFF));
            f.directions.push_back(analysis::Direction::FromDevice);
            if ((n + 1) % 8 == 0) {
                f.frames.push_back(S((n + 1) & 0x7FFF));
                f.directions.push_back(analysis::Direction::ToDevice);
            }
        }
        return f;
    }();
    return flood;
}

void Start(analysis::LinkSupervisor& sup)
{
    const Bytes act{0x68, 0x04, 0x07, 0, 0, 0}, con{0x68, 0x04, 0x0B, 0, 0, 0};
    sup.NewConnection(1, kStart, "device");
    sup.Frame(1, analysis::Direction::ToDevice, kStart, act, true);
    sup.Frame(1, analysis::Direction::FromDevice, kStart + 1000, con, true);
}

void BM_Iec104Frames(benchmark::State& state)
{
    const bool stream = state.range(0) != 0;
    const Flood& flood = MakeFlood();
    analysis::Settings settings;
    settings.clockSkewLimitUs = std::int64_t{1} << 60; // the tags are fixed: no skew event per run
    analysis::LinkSupervisor sup(settings);
    Start(sup);
    std::int64_t t = kStart + 2000;
    std::size_t frames = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < flood.frames.size(); ++i)
            sup.Frame(1, flood.directions[i], t += 10, flood.frames[i], stream);
        frames += flood.frames.size();
    }
    if (sup.LastSerial() != 2)
        state.SkipWithError("the clean flood made events");
    state.SetItemsProcessed(static_cast<std::int64_t>(frames));
}
BENCHMARK(BM_Iec104Frames)->Arg(0)->Arg(1)->ArgName("stream");

// The device's I-frames read 64 KiB at a time (the acknowledgements left out:
// the device sends 65 536 I-frames, the monitor's S-frames are not read).
void BM_Iec104Chunks(benchmark::State& state)
{
    const Flood& flood = MakeFlood();
    Bytes joined;
    for (std::size_t i = 0; i < flood.frames.size(); ++i)
        if (flood.directions[i] == analysis::Direction::FromDevice)
            joined.insert(joined.end(), flood.frames[i].begin(), flood.frames[i].end());
    analysis::Settings settings;
    settings.clockSkewLimitUs = std::int64_t{1} << 60;
    settings.k = settings.w = 0x7FFF; // no acknowledgements in this run
    settings.t1Us = settings.t2Us = settings.t3Us = std::int64_t{1} << 50;
    analysis::LinkSupervisor sup(settings);
    std::int64_t t = kStart;
    const std::size_t chunk = 65'536;
    for (auto _ : state) {
        for (std::size_t at = 0; at < joined.size(); at += chunk)
            sup.Frame(1, analysis::Direction::FromDevice, t += 10,
                      std::span(joined).subspan(at, std::min(chunk, joined.size() - at)), true);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 65'536);
}
BENCHMARK(BM_Iec104Chunks);

void BM_ModbusPairs(benchmark::State& state)
{
    analysis::LinkSupervisor sup;
    sup.NewConnection(1, kStart, "device");
    std::int64_t t = kStart;
    unsigned tid = 0;
    Bytes ask{0, 0, 0, 0, 0, 6, 1, 3, 0, 0, 0, 1}, answer{0, 0, 0, 0, 0, 5, 1, 3, 2, 0, 42};
    for (auto _ : state) {
        ask[0] = answer[0] = static_cast<std::uint8_t>(tid >> 8);
        ask[1] = answer[1] = static_cast<std::uint8_t>(tid++);
        sup.Frame(1, analysis::Direction::ToDevice, t += 100, ask, true);
        sup.Frame(1, analysis::Direction::FromDevice, t += 500, answer, true);
    }
    if (sup.LastSerial() != 1)
        state.SkipWithError("the clean pairs made events");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 2);
}
BENCHMARK(BM_ModbusPairs);

} // namespace

BENCHMARK_MAIN();
