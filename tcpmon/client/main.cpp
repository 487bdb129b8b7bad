#include "tcpmon/Main.h"
#include "tcpmon/client/ClientSide.h"
#include "tcpmon/client/ConnectTarget.h"

#include "monitor/Language.h"
#include "platform/CommandLine.h"
#include "platform/DateTimeText.h"
#include "platform/DesktopPlaces.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/TerminationSignals.h"

#include <QDir>
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
                        {QStringLiteral("Tamrel_C"), QStringLiteral(TAMREL_C_VERSION),
                         QStringLiteral("TCP client monitor for telecontrol frames: connects to a device that "
                                        "listens, shows what it sends as hex text and sends typed frames to it. "
                                        "Settings: $XDG_CONFIG_HOME/telemon/Tamrel_C.ini.")});
    if (!commandLine.startWindow) {
        PrintOutcome(commandLine);
        return commandLine.exitCode;
    }

    // Without a display: a message and status 1, not the toolkit's abort.
    const QString hint = QString();
    if (!PrepareWindowStart(QStringLiteral("Tamrel_C"), hint, arguments, commandLine.ownFolder))
        return EXIT_FAILURE;

    InitLocale();
    auto displayGuard = std::make_unique<DisplayOpenGuard>(QStringLiteral("Tamrel_C"), hint);
    ErrorBoxApplication app(argc, argv);
    displayGuard.reset();
    // The texts in the language asked for, else in the desktop's.
    monitor::InstallTranslations(app, monitor::ChooseLanguage(commandLine.language, QLocale::system().uiLanguages()));
    // The message boxes' title.
    ErrorBoxApplication::setApplicationName(
        QCoreApplication::translate("Tamrel_C", "Tamrel-通用TCP通信客户端监测工具"));
    ErrorBoxApplication::setApplicationVersion(QStringLiteral(TAMREL_C_VERSION));
    ErrorBoxApplication::setDesktopFileName(QStringLiteral("net.telemon.Tamrel_C"));
    ErrorBoxApplication::setWindowIcon(QIcon(QStringLiteral(":/app/Tamrel_C.svg")));

    // A logout, `kill` or Ctrl+C closes the window as "Yes" to the exit
    // question does: connection closed, settings written, nothing asked.
    TerminationSignals termination;
    tamrel::Tf_main window(tamrel::ClientSettingsPath(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath()),
                           tamrel::DefaultPrompts(), std::make_unique<tamrel::ClientSide>());
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window, &tamrel::Tf_main::CloseWithoutAsking);
    QObject::connect(&window, &tamrel::Tf_main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    window.show();
    window.OpenProfileAtStart();
    const int status = ErrorBoxApplication::exec();
    return window.SettingsWritten() ? status : EXIT_FAILURE;
}
