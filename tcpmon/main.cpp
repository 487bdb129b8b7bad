#include "tcpmon/Main.h"
#include "tcpmon/TamrelSettings.h"

#include "platform/DateTimeText.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/TerminationSignals.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    InitLocale();
    ErrorBoxApplication app(argc, argv);
    ErrorBoxApplication::setApplicationName(QStringLiteral("Tamrel-通用TCP通信服务器监测工具"));

    // A logout, `kill` or Ctrl+C closes the window as "Yes" to the exit
    // question does: sockets shut down, settings written, nothing asked; a
    // failure to write them goes to standard error and the exit status is 1.
    TerminationSignals termination;
    Tf_main window(TamrelSettingsPathForThisProgram(), DefaultPrompts());
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window, &Tf_main::CloseWithoutAsking);
    QObject::connect(&window, &Tf_main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    window.show();
    const int status = ErrorBoxApplication::exec();
    return window.SettingsWritten() ? status : EXIT_FAILURE;
}
