// Load speed and peak memory of "提取收报" on a large log: a 200 MB receive
// file of 2 million hex lines is loaded the way the receive window loads it
// (read in pieces, only the last 499 lines kept, then shown), beside
// `wc -l` counting the lines of the same file in the same run. Each is run
// three times after one warm-up read; the best time is printed, then the
// ratio (ours over wc). Peak memory is the resident high-water mark of the
// load alone (reset before it) and that of wc.
#include "platform/TextFile.h"
#include "widgets/TSMemo.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kLines = 2'000'000;
constexpr int kReceiveLoadLimit = 500;
constexpr int kRuns = 3;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Lines of 33 bytes of hex text and CR LF: 101 bytes each, 202 MB in all.
bool WriteLog(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    static const char* const kDigits = "0123456789ABCDEF";
    QByteArray block;
    for (int i = 0; i < kLines; ++i) {
        for (int b = 0; b < 33; ++b) {
            const unsigned value = static_cast<unsigned>(i * 7 + b * 13) & 0xFF;
            block += kDigits[value >> 4];
            block += kDigits[value & 0xF];
            block += ' ';
        }
        block += "\r\n";
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    return file.write(block) == block.size() && file.flush();
}

// Resident high-water mark of this process in KiB.
long PeakKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long value = 0;
        if (key == "VmHWM:" && status >> value)
            return value;
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Runs wc -l on the file; its time, and its peak memory in KiB.
double RunWc(const QString& path, long& peakKiB)
{
    const QByteArray name = QFile::encodeName(path);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0)
            ::dup2(null, STDOUT_FILENO);
        execlp("wc", "wc", "-l", name.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds = Seconds(start);
    peakKiB = usage.ru_maxrss;
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.rcv"));
    if (!dir.isValid() || !WriteLog(path)) {
        std::fprintf(stderr, "cannot write the test log\n");
        return 1;
    }
    std::printf("file: %lld bytes, %d lines\n", static_cast<long long>(QFile(path).size()), kLines);

    long wcPeak = 0;
    (void)RunWc(path, wcPeak); // warm the page cache
    double wcBest = 1e9;
    for (int i = 0; i < kRuns; ++i)
        wcBest = std::min(wcBest, RunWc(path, wcPeak));

    TSMemo memo;
    double oursBest = 1e9;
    long oursPeak = 0;
    const long before = PeakKiB();
    for (int i = 0; i < kRuns; ++i) {
        memo.clear();
        ResetPeak();
        const long base = PeakKiB();
        const auto start = Clock::now();
        memo.SetLines(LoadTrimmedTextLines(path, kReceiveLoadLimit));
        oursBest = std::min(oursBest, Seconds(start));
        oursPeak = std::max(oursPeak, PeakKiB() - base);
    }
    if (memo.LineCount() != kReceiveLoadLimit - 1) {
        std::fprintf(stderr, "the window holds %d lines, not %d\n", memo.LineCount(), kReceiveLoadLimit - 1);
        return 1;
    }
    std::printf("process resident before loading: %ld KiB\n", before);
    std::printf("wc -l:        %8.3f s   peak resident %7ld KiB (whole process)\n", wcBest, wcPeak);
    std::printf("receive load: %8.3f s   peak resident growth %7ld KiB (499 lines kept)\n", oursBest, oursPeak);
    std::printf("ratio ours/wc: %.2f\n", oursBest / wcBest);
    return 0;
}
