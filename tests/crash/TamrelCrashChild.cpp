// The Tamrel_S side of the crash-safety test: the real main window with its
// settings file at PATH and a server port text marked ROUND (padded so that
// writing the file takes a while), left running until SIGTERM closes it the
// normal way or SIGKILL ends it wherever it is.
#include "tcpmon/Main.h"
#include "tcpmon/Prompts.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/TerminationSignals.h"

#include <cstdio>

using namespace tamrel;

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SETTINGS ROUND PADDING\n", argv[0]);
        return 2;
    }
    ErrorBoxApplication app(argc, argv);
    TerminationSignals termination;
    Tf_main window(QString::fromLocal8Bit(argv[1]), DefaultPrompts());
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window, &Tf_main::CloseWithoutAsking);
    QObject::connect(&window, &Tf_main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    window.show();
    window.State().ServerPort = QStringLiteral("round %1 ").arg(QString::fromLatin1(argv[2]))
        + QString(QString::fromLatin1(argv[3]).toInt(), QLatin1Char('7'));
    std::puts("ready");
    std::fflush(stdout);
    return ErrorBoxApplication::exec();
}
