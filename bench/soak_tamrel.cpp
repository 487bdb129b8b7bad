// Tamrel_S for a shift, compressed: the real main window (offscreen) with
// display, a display filter, timed save every 0.1 minute and loop sending
// every 0.1 s on, serving a client process that streams and is replaced by
// a new connection every second, for MINUTES (10).
//
// usage: soak_tamrel CLIENT [MINUTES]
//
// Every minute one row: resident memory, open descriptors and, apart, the
// timed-save capture's spill files, CPU share of one core, the worst
// lateness of a 10 ms timer in the event loop, and the lines saved so far;
// then the connections served and the boxes the window would have shown.
// Goals: memory and descriptors flat after the first minute (growth under
// 2 MB, no descriptor more, at most two spill files), no stall over 100 ms.
#include "tcpmon/Main.h"
#include "tcpmon/Prompts.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/u_csn.h"
#include "tcpmon/u_filter.h"
#include "tcpmon/u_save.h"
#include "tcpmon/u_sendstyle.h"

#include "SoakProbe.h"

#include "socket/WSocket.h"
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

#include <cstdio>
#include <functional>

using namespace tamrel;

namespace {

// Runs `fill` once the dialog shows, then the command that opens it.
void WithDialog(QWidget* dialog, const std::function<void()>& open, const std::function<void()>& fill)
{
    QTimer::singleShot(0, [dialog, fill] {
        if (dialog->isVisible())
            fill();
    });
    open();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CLIENT [MINUTES]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QuietOffscreenWarnings();
    const QString client = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const int minutes = argc > 2 ? std::atoi(argv[2]) : 10;
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());

    int boxes = 0;
    Prompts prompts = DefaultPrompts();
    prompts.Message = [&boxes](const QString&) { ++boxes; };
    prompts.ErrorBox = [&boxes](const std::exception&) { ++boxes; };
    prompts.Question = [](const QString&, const QString&) { return true; };
    Tf_main window(folder.filePath(QStringLiteral("Tamrel_S.ini")), prompts);
    window.show();

    window.State().ServerPort = QStringLiteral("0");
    window.Actions().Btn_closecom->click();
    const int port = window.SrvWSocket()->LocalPort().toInt();
    if (port <= 0) {
        std::fprintf(stderr, "Tamrel_S is not listening\n");
        return 1;
    }
    WithDialog(window.FilterDialog(), [&] { window.Actions().Btn_flilter->click(); }, [&] {
        window.FilterDialog()->CheckBoxes[0]->setChecked(true);
        window.FilterDialog()->Positions[0]->setText(QStringLiteral("1"));
        window.FilterDialog()->Values[0]->setText(QStringLiteral("0"));
        window.FilterDialog()->BitBtn2->click();
    });
    WithDialog(window.TimedSaveDialog(), [&] { window.Actions().N9->trigger(); }, [&] {
        window.TimedSaveDialog()->CheckBox1->click();
        window.TimedSaveDialog()->edit1->setText(QStringLiteral("0.1"));
        window.TimedSaveDialog()->BitBtn2->click();
    });
    window.Area().Memo2->setPlainText(QStringLiteral("01 03 00 00 00 0A\n01 03 00 0A 00 05"));
    WithDialog(window.SendStyleDialog(), [&] { window.Actions().N_fbfs->trigger(); }, [&] {
        window.SendStyleDialog()->RadioButton1->click();
        window.SendStyleDialog()->edit1->setText(QStringLiteral("0.1"));
        window.SendStyleDialog()->BitBtn3->click();
    });

    std::printf("Tamrel_S soak: a client streaming 100 kB/s, replaced every second, for %d min; filter, timed save "
                "0.1 min, loop send 0.1 s\n",
                minutes);
    QProcess peer;
    peer.start(client, {QString::number(port), QString::number(minutes * 60)});
    SoakProbe probe(minutes, [] { return CountSavedLines(QDir::currentPath()); });
    probe.Run([&peer] { return peer.state() == QProcess::NotRunning; });
    QByteArray output = peer.readAllStandardOutput().trimmed();
    std::printf("client: %s", output.replace('\n', ", ").constData());
    std::printf("\nboxes the window would have shown: %d\n", boxes);
    const bool ok = probe.Report();
    window.CloseWithoutAsking();
    return ok ? 0 : 1;
}
