// Trigger answers over TCP: a master (tcp_master, a process of its own) that
// sends a request, waits for its answer and sends the next one at once, for
// a fixed time, on one loopback connection (TCP_NODELAY on its socket),
// against
//   reference: tcp_resp, a minimal blocking C responder (its own process);
//   Tamrel_S:  the server monitor's main window (shown, offscreen, display
//              on) with one trigger rule set through its trigger dialog; the
//              master connects to it;
//   Tamrel_C:  the client monitor's main window, the same rule; it connects
//              to the master, which listens and then sends its requests.
// The windows run in this process, each new for its turn: they are set up
// through their own dialogs as a user sets them, and a 10 ms timer in their
// event loop shows how long it stalled. The master is the same program for
// all three, so every answer crosses from one process to another as it does
// between a real master and a monitor. Request: a MODBUS/TCP read of one
// holding register (12 bytes); answer: 11 bytes; an answer of other bytes is
// counted apart and not as an answer.
// Printed: answers per second, median and 99th-percentile latency (request
// sent to answer read), and the responder's processor time per answer (the
// windows: this process, all its threads; the minimal responder: its
// process), per turn; the three are measured in turns, several rounds, and
// the median over the rounds is the figure. On a machine whose processors
// wake slowly from idle, the time per answer shows a responder's own cost
// where the rates and latencies mostly show the wake-ups.
// Goals: each window's answers per second at least 0.95 of the minimal
// responder's, its median latency at most 1.5 times the minimal responder's
// plus 5 us.
//   usage: tamrel_trigger TCP_MASTER TCP_RESP [SECONDS_PER_TURN [ROUNDS [paused]]]
// ("paused": the windows' display paused, for finding where the time goes)
#include "WindowProbes.h"

#include "monitor/u_trigger.h"
#include "tcpmon/Main.h"
#include "tcpmon/MainActions.h"
#include "tcpmon/MainArea.h"
#include "tcpmon/Prompts.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/client/ClientSide.h"
#include "tcpmon/client/ConnectTarget.h"
#include "tcpmon/client/ServerConnection.h"

#include "socket/WSocket.h"
#include "widgets/TSMemo.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHash>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

using namespace tamrel;

namespace {

// The master's request and its answer (tcp_master, tcp_resp), as the
// trigger dialog takes them.
const QString kPatternText = QStringLiteral("00 01 00 00 00 06 01 03 00 00 00 01");
const QString kResponseText = QStringLiteral("00 01 00 00 00 05 01 03 02 00 2A");

struct Figures {
    double perSecond = 0;
    double p50Us = 0;
    double p99Us = 0;
    long long wrong = 0;
    double cpuUsPerAnswer = -1; // -1: not measured
    double worstStallMs = -1; // -1: not measured (not a window)
    long long edits = -1;     // receive-window edits (lines written in one go); -1: not a window
    QString ended;            // why the master stopped early; empty when it ran its time
};

// The figures of the master's RESULT line.
Figures FiguresOf(QProcess& master)
{
    Figures figures;
    QByteArray result;
    for (const QByteArray& line : master.readAllStandardOutput().split('\n')) {
        if (line.startsWith("RESULT "))
            result = line;
    }
    if (result.isEmpty()) {
        figures.ended = QStringLiteral("no result from the master (%1)").arg(QString::fromLocal8Bit(master.readAllStandardError()).trimmed());
        return figures;
    }
    QHash<QByteArray, QByteArray> v;
    for (const QByteArray& field : result.mid(7).split(' ')) {
        const qsizetype at = field.indexOf('=');
        if (at > 0)
            v.insert(field.left(at), field.mid(at + 1));
    }
    const double seconds = v.value("seconds").toDouble();
    figures.perSecond = seconds > 0 ? v.value("answers").toDouble() / seconds : 0;
    figures.p50Us = v.value("p50_us").toDouble();
    figures.p99Us = v.value("p99_us").toDouble();
    figures.wrong = v.value("wrong").toLongLong();
    if (v.value("ended") != "-")
        figures.ended = QString::fromLatin1(v.value("ended"));
    return figures;
}

// Processor time of this process, all its threads, in microseconds.
double OwnCpuUs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// Processor time of a single-threaded process, in microseconds (-1: not
// known).
double ProcessCpuUs(qint64 pid)
{
    std::FILE* file = std::fopen(QStringLiteral("/proc/%1/schedstat").arg(pid).toLatin1().constData(), "r");
    if (file == nullptr)
        return -1;
    unsigned long long ns = 0;
    const bool read = std::fscanf(file, "%llu", &ns) == 1;
    std::fclose(file);
    return read ? static_cast<double>(ns) / 1e3 : -1;
}

double PerAnswer(double cpuUs, const Figures& figures, double seconds)
{
    const double answers = figures.perSecond * seconds;
    return cpuUs >= 0 && answers > 0 ? cpuUs / answers : -1;
}

// Runs the event loop until `done` holds, for at most `ms`.
void RunUntilOrAfter(const std::function<bool()>& done, int ms)
{
    QElapsedTimer waited;
    waited.start();
    RunUntil([&] { return done() || waited.elapsed() >= ms; });
}

bool HasResult(QProcess& master)
{
    return master.state() == QProcess::NotRunning || (master.canReadLine() && master.peek(1 << 16).contains("RESULT "));
}

Prompts RecordingPrompts(QStringList& errors)
{
    Prompts prompts = DefaultPrompts();
    prompts.ErrorBox = [&errors](const std::exception& e) { errors << QString::fromUtf8(e.what()); };
    prompts.Question = [](const QString&, const QString&) { return true; };
    return prompts;
}

// Set from the command line: the windows run with their display paused
// (for finding where the time goes).
bool displayPaused = false;

// The window as the turn starts: the rule set through the trigger dialog as
// a user sets it, the display paused when asked, its receive-window edits
// counted into `edits`.
bool PrepareWindow(Tf_main& window, long long& edits)
{
    QObject::connect(window.Area().Memo1->document(), &QTextDocument::blockCountChanged, [&edits] { ++edits; });
    if (displayPaused)
        window.Actions().N_watch->trigger();
    WithDialog(window.Actions().N_trigger, [](QWidget* shown) {
        auto* dialog = qobject_cast<monitor::Tf_trigger*>(shown);
        if (!dialog)
            return;
        dialog->CheckBox[0]->setChecked(true);
        dialog->PatternEdit[0]->setText(kPatternText);
        dialog->ResponseEdit[0]->setText(kResponseText);
        dialog->BitBtn2->click();
    });
    return window.Triggers().AnyEnabled();
}

void PrintErrors(const char* who, const QStringList& errors)
{
    for (const QString& error : errors)
        std::printf("  %s: error shown: %s\n", who, qPrintable(error));
}

QString Seconds(double seconds)
{
    return QString::number(seconds, 'f', 3);
}

Figures ServerWindow(const QString& masterProgram, double seconds)
{
    QTemporaryDir dir;
    QStringList errors;
    Figures figures;
    long long edits = 0; // outlives the window, which counts into it
    {
        Tf_main window(dir.filePath(QStringLiteral("Tamrel_S.ini")), RecordingPrompts(errors));
        window.show();
        if (!PrepareWindow(window, edits)) {
            figures.ended = QStringLiteral("the trigger dialog took no rule");
            return figures;
        }
        window.State().ServerPort = QStringLiteral("0");
        window.Actions().Btn_closecom->click();
        const QString port = window.SrvWSocket()->LocalPort();
        QProcess master;
        const StallProbe stalls;
        const double cpuBefore = OwnCpuUs();
        master.start(masterProgram, {QStringLiteral("connect"), port, Seconds(seconds)});
        RunUntilOrAfter([&master] { return master.state() == QProcess::NotRunning; },
                        static_cast<int>(seconds * 1000) + 10000);
        const double cpu = OwnCpuUs() - cpuBefore;
        const double stall = stalls.WorstMs();
        if (master.state() != QProcess::NotRunning) {
            master.kill();
            master.waitForFinished();
        }
        figures = FiguresOf(master);
        figures.cpuUsPerAnswer = PerAnswer(cpu, figures, seconds);
        figures.worstStallMs = stall;
        figures.edits = edits;
        // The window sees its client go before it closes.
        RunUntilOrAfter([&window] { return window.TmpWSocket()->State() != wsConnected; }, 5000);
        window.CloseWithoutAsking();
    }
    PrintErrors("Tamrel_S", errors);
    return figures;
}

Figures ClientWindow(const QString& masterProgram, double seconds)
{
    QTemporaryDir dir;
    QStringList errors;
    Figures figures;
    long long edits = 0; // outlives the window, which counts into it
    {
        Tf_main window(dir.filePath(QStringLiteral("Tamrel_C.ini")), RecordingPrompts(errors),
                       std::make_unique<ClientSide>());
        window.show();
        if (!PrepareWindow(window, edits)) {
            figures.ended = QStringLiteral("the trigger dialog took no rule");
            return figures;
        }
        QProcess master;
        master.start(masterProgram, {QStringLiteral("listen"), Seconds(seconds)});
        if (!master.waitForReadyRead(5000)) {
            figures.ended = QStringLiteral("the master did not listen");
            return figures;
        }
        const QByteArray portLine = master.readLine().trimmed();
        auto& side = dynamic_cast<ClientSide&>(window.TheSide());
        ConnectTarget target;
        target.host = QStringLiteral("127.0.0.1");
        target.port = QString::fromLatin1(portLine.mid(portLine.indexOf(' ') + 1));
        side.SetTarget(target);
        const StallProbe stalls;
        const double cpuBefore = OwnCpuUs();
        window.Actions().Btn_closecom->click();
        RunUntilOrAfter([&master] { return HasResult(master); }, static_cast<int>(seconds * 1000) + 10000);
        const double cpu = OwnCpuUs() - cpuBefore;
        const double stall = stalls.WorstMs();
        // The user disconnects before the device goes.
        if (side.Connection().State() != ConnectionState::Disconnected)
            window.Actions().Btn_closecom->click();
        if (!master.waitForFinished(5000)) {
            master.kill();
            master.waitForFinished();
        }
        figures = FiguresOf(master);
        figures.cpuUsPerAnswer = PerAnswer(cpu, figures, seconds);
        figures.worstStallMs = stall;
        figures.edits = edits;
        window.CloseWithoutAsking();
    }
    PrintErrors("Tamrel_C", errors);
    return figures;
}

Figures MinimalResponder(const QString& masterProgram, const QString& port, double seconds, qint64 responderPid)
{
    const double cpuBefore = ProcessCpuUs(responderPid);
    QProcess master;
    master.start(masterProgram, {QStringLiteral("connect"), port, Seconds(seconds)});
    if (!master.waitForFinished(static_cast<int>(seconds * 1000) + 10000)) {
        master.kill();
        master.waitForFinished();
    }
    const double cpuAfter = ProcessCpuUs(responderPid);
    Figures figures = FiguresOf(master);
    figures.cpuUsPerAnswer = PerAnswer(cpuBefore >= 0 && cpuAfter >= 0 ? cpuAfter - cpuBefore : -1, figures, seconds);
    return figures;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void PrintFigures(const char* who, const Figures& f)
{
    std::printf("    %-24s %9.0f answers/s   p50 %7.1f us   p99 %7.1f us", who, f.perSecond, f.p50Us, f.p99Us);
    if (f.cpuUsPerAnswer >= 0)
        std::printf("   cpu %5.1f us/answer", f.cpuUsPerAnswer);
    if (f.worstStallMs >= 0)
        std::printf("   worst stall %5.1f ms", f.worstStallMs);
    if (f.edits >= 0)
        std::printf("   %lld receive-window edits", f.edits);
    if (f.wrong > 0)
        std::printf("   %lld answers of other bytes", f.wrong);
    if (!f.ended.isEmpty())
        std::printf("   ended early: %s", qPrintable(f.ended));
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TCP_MASTER TCP_RESP [SECONDS_PER_TURN [ROUNDS [paused]]]\n", argv[0]);
        return 2;
    }
    const QString masterProgram = QString::fromLocal8Bit(argv[1]);
    const double seconds = argc > 3 ? std::atof(argv[3]) : 3.0;
    const int rounds = argc > 4 ? std::atoi(argv[4]) : 5;
    displayPaused = argc > 5 && QLatin1String(argv[5]) == QLatin1String("paused");
    if (seconds <= 0 || rounds < 1) {
        std::fprintf(stderr, "%s: SECONDS_PER_TURN and ROUNDS must be positive\n", argv[0]);
        return 2;
    }

    QProcess responder;
    responder.start(QString::fromLocal8Bit(argv[2]), {QStringLiteral("0")});
    if (!responder.waitForStarted() || !responder.waitForReadyRead(5000)) {
        std::fprintf(stderr, "%s: %s did not start\n", argv[0], argv[2]);
        return 1;
    }
    const QString responderPort = QString::fromLatin1(responder.readLine().trimmed());

    std::printf("tamrel_trigger: %d rounds of %.1f s per responder, a master sending a 12-byte request and waiting"
                " for its 11-byte answer, back to back, on one loopback connection%s\n",
                rounds, seconds, displayPaused ? " (the windows' display paused)" : "");
    std::vector<Figures> minimal;
    std::vector<Figures> server;
    std::vector<Figures> client;
    for (int round = 1; round <= rounds; ++round) {
        minimal.push_back(MinimalResponder(masterProgram, responderPort, seconds, responder.processId()));
        server.push_back(ServerWindow(masterProgram, seconds));
        client.push_back(ClientWindow(masterProgram, seconds));
        std::printf("  round %d:\n", round);
        PrintFigures("minimal C responder", minimal.back());
        PrintFigures("Tamrel_S main window", server.back());
        PrintFigures("Tamrel_C main window", client.back());
        std::fflush(stdout);
    }
    responder.kill();
    responder.waitForFinished();

    const auto median = [](const std::vector<Figures>& turns, double Figures::*figure) {
        std::vector<double> values;
        for (const Figures& f : turns)
            values.push_back(f.*figure);
        return Median(values);
    };
    const double cRate = median(minimal, &Figures::perSecond);
    const double cP50 = median(minimal, &Figures::p50Us);
    std::printf("  median over the rounds:\n");
    std::printf("    %-24s %9.0f answers/s   p50 %7.1f us   p99 %7.1f us   cpu %5.1f us/answer\n", "minimal C responder",
                cRate, cP50, median(minimal, &Figures::p99Us), median(minimal, &Figures::cpuUsPerAnswer));
    for (const auto& [who, turns] : {std::pair{"Tamrel_S main window", &server}, std::pair{"Tamrel_C main window", &client}}) {
        std::vector<double> rateRatios;
        for (std::size_t i = 0; i < turns->size(); ++i)
            rateRatios.push_back(minimal[i].perSecond > 0 ? (*turns)[i].perSecond / minimal[i].perSecond : 0);
        const double rate = median(*turns, &Figures::perSecond);
        const double p50 = median(*turns, &Figures::p50Us);
        const double rateRatio = Median(rateRatios);
        const double p50Limit = 1.5 * cP50 + 5;
        double worstStall = 0;
        for (const Figures& f : *turns)
            worstStall = std::max(worstStall, f.worstStallMs);
        std::printf("    %-24s %9.0f answers/s   p50 %7.1f us   p99 %7.1f us   cpu %5.1f us/answer   worst stall %.1f ms\n",
                    who, rate, p50, median(*turns, &Figures::p99Us), median(*turns, &Figures::cpuUsPerAnswer), worstStall);
        std::printf("      answers/s: %.3f of the minimal C responder's (median of the rounds' ratios;"
                    " goal >= 0.95: %s)\n",
                    rateRatio, rateRatio >= 0.95 ? "met" : "NOT met");
        std::printf("      median latency: %.1f us = %.2f x the minimal C responder's %.1f us"
                    " (goal <= 1.5 x + 5 us = %.1f us: %s)\n",
                    p50, cP50 > 0 ? p50 / cP50 : 0, cP50, p50Limit, p50 <= p50Limit ? "met" : "NOT met");
    }
    return 0;
}
