#include "SoakProbe.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// The open descriptors, the timed-save capture's spill files apart: those
// come and go with the ticks (one fills between two saves, opened by its
// first block; a save in steps seals it and the next lines start another),
// so they are counted on their own, against a goal of their own.
struct Descriptors {
    int others = 0;
    int spillFiles = 0;
};

Descriptors OpenDescriptors()
{
    Descriptors count;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System)) {
        // A spill file is unlinked from its folder as soon as it is made.
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        const bool spill = target.contains(QStringLiteral("/.capture-")) && target.endsWith(QStringLiteral(" (deleted)"));
        ++(spill ? count.spillFiles : count.others);
    }
    return count;
}

// The CPU time of the calling thread (the window's), in milliseconds.
double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

SoakProbe::SoakProbe(int minutes, std::function<long long()> savedLines)
    : minutes_(minutes)
    , savedLines_(std::move(savedLines))
    , lastCpuSeconds_(CpuSeconds())
{
}

void SoakProbe::Run(const std::function<bool()>& done)
{
    std::printf("%6s %10s %6s %6s %7s %10s %8s %12s\n", "minute", "RSS kB", "fds", "spill", "CPU %", "stall ms",
                "busy ms", "lines saved");
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer tick;
    tick.start();
    double worst = 0;
    double worstBusy = 0;
    double tickCpu = ThreadCpuMs();
    int minute = 0;
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const double late = static_cast<double>(tick.nsecsElapsed()) / 1e6 - 10.0;
        const double cpu = ThreadCpuMs();
        if (late > worst) {
            worst = late;
            worstBusy = cpu - tickCpu;
        }
        tick.restart();
        tickCpu = cpu;
        if (clock.elapsed() >= (minute + 1) * 60000LL) {
            ++minute;
            TakeRow(minute, worst, worstBusy);
            worst = 0;
            worstBusy = 0;
            tick.restart(); // the row's own reading is not the window's stall
            tickCpu = ThreadCpuMs();
        }
        if (done() || clock.elapsed() > minutes_ * 60000LL + 10000)
            loop.quit();
    });
    timer.start(10);
    loop.exec();
}

void SoakProbe::TakeRow(int minute, double worstStallMs, double worstStallBusyMs)
{
    const double cpu = CpuSeconds();
    const Descriptors fds = OpenDescriptors();
    const Row row{minute,         ResidentKb(),  fds.others, fds.spillFiles, (cpu - lastCpuSeconds_) / 60.0 * 100.0,
                  worstStallMs, worstStallBusyMs, savedLines_()};
    lastCpuSeconds_ = cpu;
    rows_.push_back(row);
    std::printf("%6d %10ld %6d %6d %7.1f %10.1f %8.1f %12lld\n", row.minute, row.rssKb, row.descriptors,
                row.spillFiles, row.cpuPct, row.worstStallMs, row.worstStallBusyMs, row.saved);
    std::fflush(stdout);
}

bool SoakProbe::Report() const
{
    if (rows_.empty()) {
        std::printf("no minute completed\n");
        return false;
    }
    const Row& first = rows_.front();
    long growth = 0;
    int moreFds = 0;
    int spillFiles = 0;
    double stall = 0;
    double stallBusy = 0;
    for (const Row& row : rows_) {
        growth = std::max(growth, row.rssKb - first.rssKb);
        moreFds = std::max(moreFds, row.descriptors - first.descriptors);
        spillFiles = std::max(spillFiles, row.spillFiles);
        if (row.worstStallMs > stall) {
            stall = row.worstStallMs;
            stallBusy = row.worstStallBusyMs;
        }
    }
    const bool memoryOk = growth < 2048;
    const bool fdsOk = moreFds == 0;
    const bool spillOk = spillFiles <= kMaxSpillFiles;
    const bool stallOk = stall <= 100;
    std::printf("memory after the first minute: +%ld kB   %s\n", growth, memoryOk ? "goal met" : "goal NOT met");
    std::printf("descriptors after the first minute (spill files apart): +%d   %s\n", moreFds,
                fdsOk ? "goal met" : "goal NOT met");
    std::printf("capture spill files open at most: %d (of %d)   %s\n", spillFiles, kMaxSpillFiles,
                spillOk ? "goal met" : "goal NOT met");
    std::printf("worst stall: %.1f ms (the window's thread on a CPU %.1f ms of it)   %s\n", stall, stallBusy,
                stallOk ? "goal met" : "goal NOT met");
    return memoryOk && fdsOk && spillOk && stallOk;
}

int FreeUdpPort()
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0
        && getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

long long CountSavedLines(const QString& folder)
{
    // Each numbered file is written once: it is counted once, reading it in
    // pieces so that counting costs no memory.
    static QHash<QString, long long> counted;
    long long lines = 0;
    const QStringList names = QDir(folder).entryList({QStringLiteral("receive*.dat")}, QDir::Files);
    for (const QString& name : names) {
        const QString path = QDir(folder).filePath(name);
        if (!counted.contains(path)) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            long long rows = 0;
            QByteArray piece(1 << 20, Qt::Uninitialized);
            char last = 0;
            for (qint64 n = file.read(piece.data(), piece.size()); n > 0; n = file.read(piece.data(), piece.size())) {
                for (qint64 i = 0; i < n; ++i) {
                    rows += last == '\r' && piece[i] == '\n';
                    last = piece[i];
                }
            }
            counted.insert(path, std::max(rows - 1, 0LL));
        }
        lines += counted.value(path);
    }
    return lines;
}

long long SentCount(const QByteArray& output)
{
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("sent[= ](\\d+)")).match(QString::fromLatin1(output));
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

long long UdpDrops(int port)
{
    // A socket listening on "::" takes IPv4 too and is listed only in the
    // IPv6 table.
    const QString hexPort = QStringLiteral(":%1").arg(port, 4, 16, QLatin1Char('0')).toUpper();
    for (const QString& path : {QStringLiteral("/proc/net/udp"), QStringLiteral("/proc/net/udp6")}) {
        QFile table(path);
        if (!table.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 2 && QString::fromLatin1(fields[1]).endsWith(hexPort))
                return fields.last().toLongLong();
        }
    }
    return -1;
}

void WaitFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void QuietOffscreenWarnings()
{
    static const QtMessageHandler previous = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith(QStringLiteral("This plugin does not support")))
            previous(type, context, message);
    });
}
