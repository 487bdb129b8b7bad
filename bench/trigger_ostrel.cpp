// Ostrel as a polling master's device: the real main window (offscreen),
// configured through its own dialogs as a user would have it (listening on a
// free port, hex display with the time on, trigger rule 1 "01 03" -> "05 06",
// destination 127.0.0.1 and the generator's reply port), answering the
// request generator (a separate process) at each offered rate.
//
// usage: trigger_ostrel UDP_GEN RESULTS_TSV
// env: D (seconds per run, 5), REPS (2), RATES ("250 1000 5000 20000 100000"),
//      CLIENT_HOST (the destination host typed into the port dialog, 127.0.0.1)
//
// For each run one tab-separated line goes to RESULTS_TSV, in the format of
// the anchors' results (the generator's RESULT keys, then resp_cpu_pct,
// rss0_kb, rss1_kb, resp_kdrops) plus stall_ms: the worst lateness of a
// 10 ms timer in the event loop while the generator ran, the paintings of the
// receive window, and whether the window took the pause command and its undo
// half-way through (command=ok). Run on a display (xcb platform, e.g. under
// Xvfb) with XPING set to the load rig's x_ping, each run also sends the
// window a _NET_WM_PING every 100 ms while the generator runs and records
// gui_ping=pongs/pings,p50_ms,max_ms of the answers. After the floods,
// 10 requests at 10/s right away (recov-now) and once idle (recov-idle).
#include "SoakProbe.h"
#include "WindowProbes.h"

#include "monitor/u_trigger.h"
#include "udpmon/u_csn.h"
#include "udpmon/u_main.h"

#include "widgets/TSMemo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace ostrel;
using monitor::Tf_trigger;

namespace {

void WhenModalOpens(std::function<void(QWidget*)> handle)
{
    QTimer::singleShot(0, [handle = std::move(handle)] {
        if (QWidget* modal = QApplication::activeModalWidget())
            handle(modal);
        else
            qFatal("no dialog opened");
    });
}

QString ClientHost()
{
    return qEnvironmentVariableIsSet("CLIENT_HOST") ? qEnvironmentVariable("CLIENT_HOST") : QStringLiteral("127.0.0.1");
}

// The port dialog and the trigger dialog, filled in and confirmed with OK.
void Configure(Tf_main& window, int serverPort, int replyPort)
{
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<TF_csn*>(modal);
        dialog->Edit1->setText(QString::number(serverPort));
        dialog->Edit2->setText(ClientHost());
        dialog->Edit3->setText(QString::number(replyPort));
        dialog->BitBtn4->click();
    });
    window.Actions().Btn_setupcom->trigger();
    WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_trigger*>(modal);
        dialog->CheckBox[0]->click();
        dialog->PatternEdit[0]->setText(QStringLiteral("01 03"));
        dialog->ResponseEdit[0]->setText(QStringLiteral("05 06"));
        dialog->BitBtn2->click();
    });
    window.Actions().Btn_trigger->trigger();
    window.Actions().N_Showtime->trigger();
    window.Actions().N_opencom->trigger();
    if (!window.Listening() || window.State().ClientPort != QString::number(replyPort)
        || !window.State().TriggerRules[0].Enabled || !window.State().ShowTime)
        qFatal("Ostrel is not configured as asked");
}

// Lets the event loop run until nothing waits on the listening socket.
void WaitIdle(Tf_main& window)
{
    QElapsedTimer clock;
    clock.start();
    int quiet = 0;
    RunUntil([&] {
        quiet = window.UDPServer1().RcvdCount() == 0 ? quiet + 1 : 0;
        return quiet >= 30 || clock.elapsed() > 60000;
    });
}


struct Runner {
    Tf_main& window;
    QString generator;
    int serverPort;
    int replyPort;
    FILE* results;

    void Run(double rate, double seconds, const QString& rep, bool idleFirst)
    {
        if (idleFirst)
            WaitIdle(window);
        const double cpu0 = CpuSeconds();
        const long long rss0 = RssKb();
        const long long drops0 = UdpDrops(serverPort);
        QProcess gen;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("REPLY_PORT"), QString::number(replyPort));
        gen.setProcessEnvironment(environment);
        gen.start(generator, {QString::number(serverPort), QString::number(rate), QString::number(seconds),
                              QStringLiteral("127.0.0.1"), QStringLiteral("2")});
        if (!gen.waitForStarted())
            qFatal("the generator did not start");
        const StallProbe probe;
        PingProbe ping(seconds);
        const PaintCounter paints(window.RecvMemo()->viewport());
        // Half-way through, the window takes the pause command and its undo;
        // each note must be its last line at once.
        QString command = QStringLiteral("-");
        QTimer::singleShot(static_cast<int>(seconds * 500), &window, [&] {
            window.Actions().N_watch->trigger();
            const bool paused = window.RecvMemo()->Lines().last() == QStringLiteral("已暂停显示!");
            window.Actions().N_watch->trigger();
            const bool resumed = window.RecvMemo()->Lines().last() == QStringLiteral("已恢复显示!");
            command = paused && resumed ? QStringLiteral("ok") : QStringLiteral("FAILED");
        });
        RunUntil([&] { return gen.state() == QProcess::NotRunning; });
        const double stall = probe.WorstMs();
        gen.waitForFinished(-1);
        const QString guiPing = ping.Result();
        const double cpu = CpuSeconds() - cpu0;
        const long long rss1 = RssKb();
        const long long drops = UdpDrops(serverPort) - drops0;
        QByteArray result;
        for (const QByteArray& row : gen.readAllStandardOutput().split('\n')) {
            if (row.startsWith("RESULT "))
                result = row.mid(7);
        }
        const QByteArray line = QStringLiteral("ostrel\tR=%1\trep=%2\t%3\tresp_cpu_pct=%4\trss0_kb=%5\trss1_kb=%6\t"
                                               "resp_kdrops=%7\tstall_ms=%8\tpaints=%9\tcommand=%10\tgui_ping=%11")
                                    .arg(rate)
                                    .arg(rep, QString::fromLatin1(result))
                                    .arg(cpu / seconds * 100, 0, 'f', 0)
                                    .arg(rss0)
                                    .arg(rss1)
                                    .arg(drops)
                                    .arg(stall, 0, 'f', 1)
                                    .arg(paints.Count())
                                    .arg(command)
                                    .arg(guiPing)
                                    .toLatin1();
        std::fprintf(results, "%s\n", line.constData());
        std::fflush(results);
        std::fprintf(stderr, "%s\n", line.constData());
    }
};

QList<double> Rates()
{
    const QByteArray text = qgetenv("RATES");
    QList<double> rates;
    for (const QByteArray& rate : (text.isEmpty() ? QByteArray("250 1000 5000 20000 100000") : text).split(' ')) {
        if (!rate.isEmpty())
            rates.append(rate.toDouble());
    }
    return rates;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s UDP_GEN RESULTS_TSV\n", argv[0]);
        return 2;
    }
    const double seconds = qEnvironmentVariableIsSet("D") ? qEnvironmentVariable("D").toDouble() : 5.0;
    const int reps = qEnvironmentVariableIsSet("REPS") ? qEnvironmentVariableIntValue("REPS") : 2;
    // Paths are taken before the working directory changes.
    const QString generator = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    FILE* results = std::fopen(argv[2], "a");
    if (results == nullptr)
        return 1;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    Tf_main window;
    window.show();
    const int serverPort = FreeUdpPort();
    const int replyPort = FreeUdpPort();
    Configure(window, serverPort, replyPort);
    std::fprintf(stderr, "ostrel: listening on %d, rule 1 01 03 -> 05 06 to %s:%d, rss_start_kb=%lld\n",
                 serverPort, qPrintable(ClientHost()), replyPort, RssKb());

    Runner runner{window, generator, serverPort, replyPort, results};
    for (const double rate : Rates()) {
        for (int k = 1; k <= reps; ++k)
            runner.Run(rate, seconds, QString::number(k), true);
    }
    runner.Run(10, 1, QStringLiteral("recov-now"), false);
    runner.Run(10, 1, QStringLiteral("recov-idle"), true);
    std::fprintf(stderr, "ostrel: rss_end_kb=%lld, receive window %d lines\n", RssKb(), window.RecvMemo()->LineCount());
    std::fclose(results);
    window.close();
    return 0;
}
