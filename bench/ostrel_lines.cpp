// Long frames at line rate: the real Ostrel window on a display (run under
// Xvfb with a window manager), with display, time display and timed save
// every 0.05 minute on, under paced datagrams of 1 400 bytes (RATES_1400,
// "2500 5000 10000 20000 40000 80000") and of 65 507 bytes (RATES_65507,
// "100 200"), D (5) seconds each, from the load rig's paced sender. Beside
// it in the same run, the physical reference: a plain C loop that receives
// the same 1 400-byte datagrams, formats each as hex text and appends it to
// a file (hex_sink).
//
// usage: ostrel_lines UDP_BLAST HEX_SINK
// env: XPING (the load rig's x_ping), D, RATES_1400, RATES_65507, NO_SAVE
//      (set: timed save off, to see its share; nothing is then saved)
//
// Per run: datagrams sent, dropped by the kernel before they were read
// (/proc/net/udp), lines that reached the timed-save files (for the plain
// loop: its file), those missing (sent - saved), the window's answers to
// _NET_WM_PING every 100 ms (pongs/pings, median, worst), the worst lateness
// of a 10 ms timer, the paintings of the receive window, whether the window
// took the pause command and its undo half-way through (the time the
// pause note took to show), the CPU share of
// one core and the resident memory before and after. Then the largest
// lossless rate of each and the goals.
#include "SoakProbe.h"
#include "WindowProbes.h"

#include "udpmon/MainActions.h"
#include "udpmon/u_csn.h"
#include "udpmon/u_main.h"
#include "udpmon/u_save.h"

#include "widgets/TSMemo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace ostrel;

namespace {

constexpr int kSavePeriodMs = 3000; // 0.05 minute
constexpr int kLong = 65507;

struct Row {
    QString who;
    int size = 0;
    double rate = 0;
    long long sent = 0;
    long long drops = 0;
    long long saved = 0;
    QString ping = QStringLiteral("-");
    double stallMs = 0;
    int paints = 0;
    QString command = QStringLiteral("-");
    double cpuPct = 0;
    long long rss0 = 0;
    long long rss1 = 0;

    [[nodiscard]] bool Lossless() const { return sent > 0 && drops == 0 && saved == sent; }
};

std::vector<double> Rates(const char* variable, const char* fallback)
{
    const QByteArray text = qEnvironmentVariableIsSet(variable) ? qgetenv(variable) : QByteArray(fallback);
    std::vector<double> rates;
    for (const QByteArray& rate : text.split(' ')) {
        if (!rate.isEmpty())
            rates.push_back(rate.toDouble());
    }
    return rates;
}

// The plain loop: a process of its own, the sender beside it.
Row PlainRun(const QString& blast, const QString& sink, double rate, double seconds)
{
    Row row{QStringLiteral("plain"), 1400, rate};
    const int port = FreeUdpPort();
    const QString file = QDir::current().filePath(QStringLiteral("plain.txt"));
    QProcess loop;
    loop.start(sink, {QString::number(port), file, QStringLiteral("2")});
    if (!loop.waitForStarted() || !loop.waitForReadyRead(5000))
        qFatal("hex_sink did not start");
    const long long drops0 = UdpDrops(port);
    QProcess sender;
    sender.start(blast, {QString::number(port), QString::number(rate), QString::number(seconds),
                         QString::number(row.size)});
    sender.waitForFinished(-1);
    row.drops = UdpDrops(port) - drops0;
    loop.waitForFinished(-1);
    row.sent = SentCount(sender.readAllStandardOutput());
    row.saved = SentCount(loop.readAllStandardOutput().replace("received", "sent"));
    QFile::remove(file);
    return row;
}

struct OstrelRunner {
    Tf_main& window;
    QString blast;
    int port;

    // The window's last line, read without copying the whole text.
    [[nodiscard]] QString LastLine() const
    {
        const TSMemo* memo = window.RecvMemo();
        return memo->Line(memo->LineCount() - 1);
    }

    Row Run(int size, double rate, double seconds)
    {
        Row row{QStringLiteral("ostrel"), size, rate};
        // Everything earlier is read and saved before the run starts.
        RunUntil([this] { return window.UDPServer1().RcvdCount() == 0; });
        WaitFor(kSavePeriodMs + 500);
        const long long saved0 = CountSavedLines(QDir::currentPath());
        const long long drops0 = UdpDrops(port);
        row.rss0 = RssKb();
        const double cpu0 = CpuSeconds();
        QElapsedTimer clock;
        clock.start();
        QProcess sender;
        sender.start(blast, {QString::number(port), QString::number(rate), QString::number(seconds),
                             QString::number(size)});
        if (!sender.waitForStarted())
            qFatal("the paced sender did not start");
        const StallProbe stalls;
        PingProbe ping(seconds);
        const PaintCounter paints(window.RecvMemo()->viewport());
        // Half-way: pause, and once the note shows (behind the lines that
        // still wait for the window), resume; the column gives how long the
        // note took to show.
        QElapsedTimer pausedAt;
        QTimer notePoll;
        notePoll.setInterval(5);
        QObject::connect(&notePoll, &QTimer::timeout, &window, [&] {
            if (LastLine() != QStringLiteral("已暂停显示!"))
                return;
            notePoll.stop();
            const qint64 ms = pausedAt.elapsed();
            window.Actions().N_watch->trigger();
            row.command = LastLine() == QStringLiteral("已恢复显示!") ? QStringLiteral("%1ms").arg(ms)
                                                                        : QStringLiteral("FAILED");
        });
        QTimer::singleShot(static_cast<int>(seconds * 500), &window, [&] {
            row.command = QStringLiteral("FAILED");
            pausedAt.start();
            window.Actions().N_watch->trigger();
            notePoll.start();
        });
        RunUntil([&] { return sender.state() == QProcess::NotRunning; });
        RunUntil([this] { return window.UDPServer1().RcvdCount() == 0; });
        row.stallMs = stalls.WorstMs();
        row.paints = paints.Count();
        row.cpuPct = (CpuSeconds() - cpu0) / (static_cast<double>(clock.elapsed()) / 1000.0) * 100.0;
        row.ping = ping.Result();
        row.drops = UdpDrops(port) - drops0;
        row.sent = SentCount(sender.readAllStandardOutput());
        WaitFor(kSavePeriodMs + 500);
        row.saved = CountSavedLines(QDir::currentPath()) - saved0;
        row.rss1 = RssKb();
        return row;
    }
};

void Print(const Row& r)
{
    std::printf("%-7s %6d %7.0f %8lld %8lld %8lld %8lld  %-20s %9.1f %6d %-8s %5.0f %8.1f %8.1f\n", qPrintable(r.who),
                r.size, r.rate, r.sent, r.drops, r.saved, r.sent - r.saved, qPrintable(r.ping), r.stallMs, r.paints,
                qPrintable(r.command), r.cpuPct, static_cast<double>(r.rss0) / 1024.0,
                static_cast<double>(r.rss1) / 1024.0);
    std::fflush(stdout);
}

double LosslessCeiling(const std::vector<Row>& rows, const QString& who, int size)
{
    double best = 0;
    for (const Row& r : rows) {
        if (r.who == who && r.size == size && r.Lossless())
            best = std::max(best, r.rate);
    }
    return best;
}

bool LosslessAt(const std::vector<Row>& rows, int size, double rate)
{
    return std::any_of(rows.begin(), rows.end(), [&](const Row& r) {
        return r.who == QLatin1String("ostrel") && r.size == size && r.rate == rate && r.Lossless();
    });
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s UDP_BLAST HEX_SINK\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QuietOffscreenWarnings();
    const QString blast = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString sink = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const double seconds = qEnvironmentVariableIsSet("D") ? qEnvironmentVariable("D").toDouble() : 5.0;
    const std::vector<double> rates1400 = Rates("RATES_1400", "2500 5000 10000 20000 40000 80000");
    const std::vector<double> ratesLong = Rates("RATES_65507", "100 200");
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    std::printf("Long frames at line rate, %.0f s per run, platform %s; timed save every 0.05 min\n", seconds,
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-7s %6s %7s %8s %8s %8s %8s  %-20s %9s %6s %-8s %5s %8s %8s\n", "who", "size", "rate", "sent",
                "kdrops", "saved", "missing", "x_ping pongs,p50,max", "stall_ms", "paints", "pause", "cpu%",
                "rss0_MB", "rss1_MB");
    std::vector<Row> rows;
    for (const double rate : rates1400) {
        rows.push_back(PlainRun(blast, sink, rate, seconds));
        Print(rows.back());
    }

    const int port = FreeUdpPort();
    Tf_main window;
    window.show();
    const MainActions& a = window.Actions();
    WithDialog(a.Btn_setupcom, [&](QWidget* modal) {
        auto* d = qobject_cast<TF_csn*>(modal);
        d->Edit1->setText(QString::number(port));
        d->Edit2->setText(QStringLiteral("127.0.0.1"));
        d->Edit3->setText(QString::number(FreeUdpPort()));
        d->BitBtn4->click();
    });
    a.N_Showtime->trigger();
    if (!qEnvironmentVariableIsSet("NO_SAVE")) {
        WithDialog(a.N_intervalsave, [](QWidget* modal) {
            auto* d = qobject_cast<Tf_save*>(modal);
            d->CheckBox1->click();
            d->edit1->setText(QStringLiteral("0.05"));
            d->BitBtn2->click();
        });
    }
    a.N_opencom->trigger();
    if (!window.Listening() || !window.State().ShowTime) {
        std::fprintf(stderr, "Ostrel is not configured as asked\n");
        return 1;
    }
    WaitFor(1000);
    const long long rssStart = RssKb();
    OstrelRunner ostrel{window, blast, port};
    for (const double rate : rates1400) {
        rows.push_back(ostrel.Run(1400, rate, seconds));
        Print(rows.back());
    }
    for (const double rate : ratesLong) {
        rows.push_back(ostrel.Run(kLong, rate, seconds));
        Print(rows.back());
    }
    const long long rssEnd = RssKb();

    const double plainCeiling = LosslessCeiling(rows, QStringLiteral("plain"), 1400);
    const double ourCeiling = LosslessCeiling(rows, QStringLiteral("ostrel"), 1400);
    double worstPing = 0;
    double worstStall = 0;
    for (const Row& r : rows) {
        worstStall = r.who == QLatin1String("ostrel") ? std::max(worstStall, r.stallMs) : worstStall;
        const QStringList parts = r.ping.split(QLatin1Char(','));
        if (parts.size() == 3)
            worstPing = std::max(worstPing, parts[2].toDouble());
    }
    std::printf("\nlargest lossless rate of 1400-byte datagrams: plain loop %.0f/s, Ostrel %.0f/s, ratio %.2f "
                "(goal >= 0.5)\n",
                plainCeiling, ourCeiling, plainCeiling > 0 ? ourCeiling / plainCeiling : 0.0);
    std::printf("lossless at 1400 B x 10000/s: %s; at 65507 B x 200/s: %s (goal: both)\n",
                LosslessAt(rows, 1400, 10000) ? "yes" : "no", LosslessAt(rows, kLong, 200) ? "yes" : "no");
    std::printf("worst _NET_WM_PING answer %.1f ms, worst timer stall %.1f ms (goal: within 100 ms)\n", worstPing,
                worstStall);
    std::printf("RSS %.1f MB at the start, %.1f MB after all runs: +%.1f MB (goal: at most +20 MB)\n",
                static_cast<double>(rssStart) / 1024.0, static_cast<double>(rssEnd) / 1024.0,
                static_cast<double>(rssEnd - rssStart) / 1024.0);
    window.close();
    return 0;
}
