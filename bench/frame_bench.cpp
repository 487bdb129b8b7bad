// Hex frame text speed: writing and reading the text of the largest UDP
// payload (65507 bytes), each beside memcpy of the same text in the same run.
// Rates are bytes of text per second of processor time; the ratio to memcpy
// is printed last.
#include "frame/HexText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr std::size_t FrameBytes = 65507;

const std::vector<uint8_t>& Frame()
{
    static const std::vector<uint8_t> frame = [] {
        std::vector<uint8_t> bytes(FrameBytes);
        uint32_t x = 12345;
        for (uint8_t& b : bytes) {
            x = x * 1103515245u + 12345u;
            b = static_cast<uint8_t>(x >> 16);
        }
        return bytes;
    }();
    return frame;
}

const std::string& FrameText()
{
    static const std::string text = BytesToHexText(Frame());
    return text;
}

void BM_Memcpy(benchmark::State& state)
{
    const std::string& text = FrameText();
    std::string copy(text.size(), '\0');
    for (auto _ : state) {
        std::memcpy(copy.data(), text.data(), text.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_BytesToHexText(benchmark::State& state)
{
    const std::vector<uint8_t>& frame = Frame();
    for (auto _ : state) {
        std::string text = BytesToHexText(frame);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FrameText().size()));
}

void BM_HexTextToBytes(benchmark::State& state)
{
    const std::string& text = FrameText();
    for (auto _ : state) {
        FrameParseResult result = HexTextToBytes(text);
        benchmark::DoNotOptimize(result.bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_BytesToHexText);
BENCHMARK(BM_HexTextToBytes);

// The console report, plus the text rate of every run kept for the ratios.
class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.cpu_accumulated_time <= 0)
                continue;
            const double bytes = static_cast<double>(run.iterations) * static_cast<double>(FrameText().size());
            rates[run.benchmark_name()] = bytes / run.cpu_accumulated_time;
        }
    }

    std::map<std::string, double> rates;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto reference = reporter.rates.find("BM_Memcpy");
    if (reference == reporter.rates.end())
        return 0;
    std::printf("\nText of a %zu-byte frame (%zu bytes), against memcpy at %.2f GB/s:\n",
                FrameBytes, FrameText().size(), reference->second / 1e9);
    for (const char* name : {"BM_BytesToHexText", "BM_HexTextToBytes"}) {
        const auto rate = reporter.rates.find(name);
        if (rate == reporter.rates.end())
            continue;
        std::printf("  %-18s %6.2f GB/s  ratio to memcpy %.3f\n",
                    name + 3, rate->second / 1e9, rate->second / reference->second);
    }
    std::printf("Goal: BytesToHexText at least 0.25 of memcpy.\n");
    return 0;
}
