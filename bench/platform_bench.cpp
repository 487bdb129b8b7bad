// Settings file speed: storing the send window's lines at exit and reading
// them back at start, for 200, 2000 and 20000 lines, beside QSettings doing
// the same with an INI file in the same run. The time ratio (ours over
// QSettings) is printed last.
#include "platform/IniFile.h"

#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

const QString kLine = QStringLiteral("68 0C 0C 68 53 01 64 01 06 00 01 00 00 00 00 14 2E 16 ");

QString KeyOf(int i) { return QStringLiteral("Line%1").arg(i); }

void BM_IniFile(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Ostrel.ini"));
    for (auto _ : state) {
        IniFile out(path);
        out.WriteInteger(QStringLiteral("SendFrame"), QStringLiteral("SendLinesCount"), lines);
        for (int i = 0; i < lines; ++i) {
            out.WriteString(QStringLiteral("SendFrame"), KeyOf(i), kLine);
        }
        out.UpdateFile();
        const IniFile in(path);
        const int n = in.ReadInteger(QStringLiteral("SendFrame"), QStringLiteral("SendLinesCount"), 0);
        qsizetype total = 0;
        for (int i = 0; i < n; ++i) {
            total += in.ReadString(QStringLiteral("SendFrame"), KeyOf(i), QString()).size();
        }
        benchmark::DoNotOptimize(total);
    }
}

void BM_QSettings(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Ostrel.ini"));
    for (auto _ : state) {
        {
            QSettings out(path, QSettings::IniFormat);
            out.beginGroup(QStringLiteral("SendFrame"));
            out.setValue(QStringLiteral("SendLinesCount"), lines);
            for (int i = 0; i < lines; ++i) {
                out.setValue(KeyOf(i), kLine);
            }
            out.endGroup();
            out.sync();
        }
        QSettings in(path, QSettings::IniFormat);
        in.beginGroup(QStringLiteral("SendFrame"));
        const int n = in.value(QStringLiteral("SendLinesCount"), 0).toInt();
        qsizetype total = 0;
        for (int i = 0; i < n; ++i) {
            total += in.value(KeyOf(i)).toString().size();
        }
        benchmark::DoNotOptimize(total);
    }
}

BENCHMARK(BM_IniFile)->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QSettings)->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// The console report, plus the real time per iteration of every run.
class TimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0) {
                seconds[run.benchmark_name()] = run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
    }

    std::map<std::string, double> seconds;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nSave and load of the send lines, IniFile against QSettings (INI format):\n");
    for (const char* lines : {"200", "2000", "20000"}) {
        const auto ours = reporter.seconds.find(std::string("BM_IniFile/") + lines);
        const auto reference = reporter.seconds.find(std::string("BM_QSettings/") + lines);
        if (ours == reporter.seconds.end() || reference == reporter.seconds.end()) {
            continue;
        }
        std::printf("  %6s lines: IniFile %8.2f ms, QSettings %8.2f ms, ratio %.2f\n", lines,
                    ours->second * 1e3, reference->second * 1e3, ours->second / reference->second);
    }
    return 0;
}
