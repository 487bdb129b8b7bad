// The point table alone: frames per second of processor time for an IEC 104
// flood of time-tagged measured values spread over 10 000 points (one
// object per frame, each point in turn), as datagrams and as 64 KiB stream
// chunks; and the memory a table of 100 000 points takes (resident set
// growth, each row holding its last frame). The flood a monitor must keep up
// with is 100 000 frames a second; the table must stay below 100 MB.
#include "analysis/Points.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t kStart = 1'765'000'000'000'000;

// M_ME_TF_1, one object at `ioa` of common address 1 + ioa / 50 000, its value
// `value`, a tag of 2025-12-06 05:46:40.000.
Bytes Tagged(unsigned ns, unsigned ioa, float value)
{
    std::uint32_t raw = 0;
    static_assert(sizeof raw == sizeof value);
    __builtin_memcpy(&raw, &value, sizeof raw);
    const unsigned common = 1 + ioa / 50'000;
    return {0x68, 0x19, static_cast<std::uint8_t>(ns << 1), static_cast<std::uint8_t>(ns >> 7), 0, 0,
            0x24, 0x01, 0x03, 0x00, static_cast<std::uint8_t>(common), static_cast<std::uint8_t>(common >> 8),
            static_cast<std::uint8_t>(ioa), static_cast<std::uint8_t>(ioa >> 8), static_cast<std::uint8_t>(ioa >> 16),
            static_cast<std::uint8_t>(raw), static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw >> 16),
            static_cast<std::uint8_t>(raw >> 24), 0x00, 0x40, 0x9C, 0x2E, 0x05, 0x06, 0x0C, 0x19};
}

std::vector<Bytes> Flood(unsigned points, unsigned frames)
{
    std::vector<Bytes> out;
    out.reserve(frames);
    for (unsigned n = 0; n < frames; ++n)
        out.push_back(Tagged(n & 0x7FFF, 1 + n % points, static_cast<float>(n / points)));
    return out;
}

void BM_Iec104Datagrams(benchmark::State& state)
{
    const auto flood = Flood(10'000, 65'536);
    analysis::PointModel model;
    std::int64_t t = kStart;
    for (auto _ : state)
        for (const Bytes& frame : flood)
            model.Feed(frame, analysis::Direction::FromDevice, t += 10, 1);
    if (model.Size() != 10'000)
        state.SkipWithError("not one row per point");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 65'536);
    state.counters["rows"] = static_cast<double>(model.Size());
}
BENCHMARK(BM_Iec104Datagrams)->Unit(benchmark::kMillisecond);

void BM_Iec104Chunks(benchmark::State& state)
{
    const auto flood = Flood(10'000, 65'536);
    Bytes joined;
    for (const Bytes& frame : flood)
        joined.insert(joined.end(), frame.begin(), frame.end());
    analysis::PointModel model;
    std::int64_t t = kStart;
    const std::size_t chunk = 65'536;
    for (auto _ : state)
        for (std::size_t at = 0; at < joined.size(); at += chunk)
            model.Feed(std::span(joined).subspan(at, std::min(chunk, joined.size() - at)),
                       analysis::Direction::FromDevice, t += 10, 1, true);
    if (model.Size() != 10'000)
        state.SkipWithError("not one row per point");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 65'536);
}
BENCHMARK(BM_Iec104Chunks)->Unit(benchmark::kMillisecond);

std::int64_t ResidentBytes()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<std::int64_t>(resident) * sysconf(_SC_PAGESIZE);
}

// 100 000 points, each seen twice (a value and a change): the resident
// set's growth while the table is made, without a list (range 0) and with a
// point list of all of them (range 1, the list's text made beforehand).
void BM_Memory100kPoints(benchmark::State& state)
{
    const bool withList = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string csv = "protocol,station,address,name,type,unit,low,high\n";
        for (unsigned ioa = 1; withList && ioa <= 100'000; ++ioa)
            csv += "IEC104," + std::to_string(1 + ioa / 50'000) + "," + std::to_string(ioa) + ",Point "
                + std::to_string(ioa) + ",短浮点数,MW,0,1000\n";
        malloc_trim(0); // what earlier runs freed given back, so that it is not counted as reused
        const std::int64_t before = ResidentBytes();
        state.ResumeTiming();
        {
            analysis::PointModel model;
            if (withList) {
                analysis::PointList list;
                std::string error;
                if (!list.Read(csv, error))
                    state.SkipWithError(error.c_str());
                model.SetList(std::move(list));
            }
            std::int64_t t = kStart;
            for (int round = 0; round < 2; ++round)
                for (unsigned ioa = 1; ioa <= 100'000; ++ioa)
                    model.Feed(Tagged(ioa & 0x7FFF, ioa, static_cast<float>(round)), analysis::Direction::FromDevice,
                               t += 10, 1);
            state.counters["rows"] = static_cast<double>(model.Size());
            state.counters["MB"] = static_cast<double>(ResidentBytes() - before) / 1e6;
            state.counters["missing"] = static_cast<double>(model.Counts().missing);
        }
    }
}
BENCHMARK(BM_Memory100kPoints)->Arg(0)->Arg(1)->ArgName("list")->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
