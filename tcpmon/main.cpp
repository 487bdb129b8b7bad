#include "tcpmon/Main.h"
#include "tcpmon/TamrelSettings.h"

#include "monitor/Language.h"
#include "platform/CommandLine.h"
#include "platform/DateTimeText.h"
#include "platform/DesktopPlaces.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/TerminationSignals.h"

#include <QIcon>
#include <QLocale>

#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    // --help and --version answer before any display is opened.
    const QStringList arguments = ArgumentsOf(argc, argv);
    const CommandLineOutcome commandLine =
        ReadCommandLine(arguments,
                        {QStringLiteral("Tamrel_S"), QStringLiteral(TAMREL_S_VERSION),
                         QStringLiteral("TCP server monitor for telecontrol frames: serves one client at a time, "
                                        "shows what it sends as hex text and sends typed frames back.")});
    if (!commandLine.startWindow) {
        PrintOutcome(commandLine);
        return commandLine.exitCode;
    }

    // Without a display: a message and status 1, not the toolkit's abort.
    const QString hint = QString();
    if (!PrepareWindowStart(QStringLiteral("Tamrel_S"), hint, arguments, commandLine.ownFolder))
        return EXIT_FAILURE;

    InitLocale();
    auto displayGuard = std::make_unique<DisplayOpenGuard>(QStringLiteral("Tamrel_S"), hint);
    ErrorBoxApplication app(argc, argv);
    displayGuard.reset();
    // The texts in the language asked for, else in the desktop's.
    monitor::InstallTranslations(app, monitor::ChooseLanguage(commandLine.language, QLocale::system().uiLanguages()));
    // The message boxes' title.
    ErrorBoxApplication::setApplicationName(
        QCoreApplication::translate("Tamrel_S", "Tamrel-通用TCP通信服务器监测工具"));
    ErrorBoxApplication::setApplicationVersion(QStringLiteral(TAMREL_S_VERSION));
    // Task bars match the window to its menu entry and show the entry's icon;
    // the icon from the resource also serves when the program is not installed.
    ErrorBoxApplication::setDesktopFileName(QStringLiteral("net.telemon.Tamrel_S"));
    ErrorBoxApplication::setWindowIcon(QIcon(QStringLiteral(":/app/Tamrel_S.svg")));

    // A logout, `kill` or Ctrl+C closes the window as "Yes" to the exit
    // question does: sockets shut down, settings written, nothing asked; a
    // failure to write them goes to standard error and the exit status is 1.
    TerminationSignals termination;
    tamrel::Tf_main window(tamrel::TamrelSettingsPathForThisProgram(), tamrel::DefaultPrompts());
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window, &tamrel::Tf_main::CloseWithoutAsking);
    QObject::connect(&window, &tamrel::Tf_main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    window.show();
    window.OpenProfileAtStart();
    const int status = ErrorBoxApplication::exec();
    return window.SettingsWritten() ? status : EXIT_FAILURE;
}
