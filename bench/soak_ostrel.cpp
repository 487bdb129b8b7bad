// Ostrel for a shift, compressed: the real main window (offscreen) with every
// feature on, configured through its own dialogs as a user would have it
// (time display, a display filter, a trigger rule, timed save every 0.1
// minute, loop sending every 0.1 s), under a steady stream from the load
// rig's paced sender for MINUTES (10).
//
// usage: soak_ostrel UDP_BLAST [MINUTES]
//
// Every minute one row: resident memory, open descriptors and, apart, the
// timed-save capture's spill files, CPU share of one core, the worst
// lateness of a 10 ms timer in the event loop, and the lines saved so far.
// At the end, once the last save has run: the datagrams sent, those the
// kernel dropped before the window read them, and the lines of the
// timed-save files, which must equal what the kernel delivered. Goals:
// memory and descriptors flat after the first minute (growth under 2 MB, no
// descriptor more, at most two spill files), no stall over 100 ms, every
// delivered datagram saved.
#include "monitor/u_trigger.h"
#include "udpmon/MainActions.h"
#include "udpmon/u_csn.h"
#include "udpmon/u_filter.h"
#include "udpmon/u_main.h"
#include "udpmon/u_save.h"
#include "udpmon/u_sendstyle.h"

#include "SoakProbe.h"
#include "WindowProbes.h"

#include "widgets/TSMemo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

using namespace ostrel;
using monitor::Tf_trigger;

namespace {

constexpr int kRate = 5000;
constexpr int kSize = 64;

// A bound UDP socket that nobody reads: where answers and loop sends go.
int SinkPort(int& fd)
{
    fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0
        || getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return 0;
    return ntohs(a.sin_port);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s UDP_BLAST [MINUTES]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QuietOffscreenWarnings();
    const QString blast = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const int minutes = argc > 2 ? std::atoi(argv[2]) : 10;
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    int sinkFd = -1;
    const int sinkPort = SinkPort(sinkFd);
    const int serverPort = FreeUdpPort();
    Tf_main window;
    window.show();
    const MainActions& a = window.Actions();
    WithDialog(a.Btn_setupcom, [&](QWidget* modal) {
        auto* d = qobject_cast<TF_csn*>(modal);
        d->Edit1->setText(QString::number(serverPort));
        d->Edit2->setText(QStringLiteral("127.0.0.1"));
        d->Edit3->setText(QString::number(sinkPort));
        d->BitBtn4->click();
    });
    a.N_Showtime->trigger();
    WithDialog(a.Btn_filter, [](QWidget* modal) {
        auto* d = qobject_cast<Tf_filter*>(modal);
        d->CheckBox[0]->setChecked(true);
        d->PositionEdit[0]->setText(QStringLiteral("1"));
        d->ValueEdit[0]->setText(QStringLiteral("07"));
        d->BitBtn2->click();
    });
    WithDialog(a.Btn_trigger, [](QWidget* modal) {
        auto* d = qobject_cast<Tf_trigger*>(modal);
        d->CheckBox[0]->click();
        d->PatternEdit[0]->setText(QStringLiteral("00 ** 3F"));
        d->ResponseEdit[0]->setText(QStringLiteral("05 06"));
        d->BitBtn2->click();
    });
    WithDialog(a.N_intervalsave, [](QWidget* modal) {
        auto* d = qobject_cast<Tf_save*>(modal);
        d->CheckBox1->click();
        d->edit1->setText(QStringLiteral("0.1"));
        d->BitBtn2->click();
    });
    window.SendMemo()->SetLines({QStringLiteral("01 03 00 00 00 0A"), QStringLiteral("01 03 00 0A 00 05")});
    WithDialog(a.N_fbfs, [](QWidget* modal) {
        auto* d = qobject_cast<Tf_sendstyle*>(modal);
        d->RadioButton1->click();
        d->edit1->setText(QStringLiteral("0.1"));
        d->BitBtn3->click();
    });
    a.N_opencom->trigger();
    if (!window.Listening()) {
        std::fprintf(stderr, "Ostrel is not listening on %d\n", serverPort);
        return 1;
    }

    std::printf("Ostrel soak: %d datagrams/s of %d bytes for %d min; time, filter, trigger, timed save 0.1 min, "
                "loop send 0.1 s\n",
                kRate, kSize, minutes);
    QProcess sender;
    sender.start(blast, {QString::number(serverPort), QString::number(kRate), QString::number(minutes * 60),
                         QString::number(kSize)});
    SoakProbe probe(minutes, [] { return CountSavedLines(QDir::currentPath()); });
    probe.Run([&sender] { return sender.state() == QProcess::NotRunning; });
    const long long sent = SentCount(sender.readAllStandardOutput());
    const long long drops = UdpDrops(serverPort);
    // The lines read since the last save are written at the next tick.
    WaitFor(7000);
    const long long saved = CountSavedLines(QDir::currentPath());
    const long long delivered = sent - drops;
    std::printf("sent %lld, dropped by the kernel %lld, delivered %lld, saved %lld   %s\n", sent, drops, delivered,
                saved, saved == delivered ? "goal met" : "goal NOT met");
    const bool ok = probe.Report() && saved == delivered;
    window.close();
    ::close(sinkFd);
    return ok ? 0 : 1;
}
