#include "udpmon/u_main.h"

#include "platform/CommandLine.h"
#include "platform/DateTimeText.h"
#include "monitor/Language.h"
#include "platform/DesktopPlaces.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/TerminationSignals.h"

#include <QFont>
#include <QFontDatabase>
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
                        {QStringLiteral("Ostrel"), QStringLiteral(OSTREL_VERSION),
                         QStringLiteral("UDP monitor for telecontrol frames: shows every datagram received on one "
                                        "port as hex text and sends typed frames.")});
    if (!commandLine.startWindow) {
        PrintOutcome(commandLine);
        return commandLine.exitCode;
    }

    // Without a display: a message and status 1, not the toolkit's abort.
    const QString hint = QStringLiteral("; ostrel-headless runs without one");
    if (!PrepareWindowStart(QStringLiteral("Ostrel"), hint, arguments, commandLine.ownFolder))
        return EXIT_FAILURE;

    InitLocale();
    auto displayGuard = std::make_unique<DisplayOpenGuard>(QStringLiteral("Ostrel"), hint);
    ErrorBoxApplication app(argc, argv);
    displayGuard.reset();
    // The texts in the language asked for, else in the desktop's.
    monitor::InstallTranslations(app, monitor::ChooseLanguage(commandLine.language, QLocale::system().uiLanguages()));
    // The message boxes' title.
    ErrorBoxApplication::setApplicationName(QCoreApplication::translate("Ostrel", "Ostrel-通用以太网UDP通信监测工具"));
    ErrorBoxApplication::setApplicationVersion(QStringLiteral(OSTREL_VERSION));
    // Task bars match the window to its menu entry and show the entry's icon;
    // the icon from the resource also serves when the program is not installed.
    ErrorBoxApplication::setDesktopFileName(QStringLiteral("net.telemon.Ostrel"));
    ErrorBoxApplication::setWindowIcon(QIcon(QStringLiteral(":/app/Ostrel.svg")));

    // The texts are Chinese: prefer a font drawn for them, whose Latin
    // letters are also narrow enough for the status bar's panels.
    const QString chineseFamily = QStringLiteral("WenQuanYi Micro Hei");
    if (QFontDatabase::families().contains(chineseFamily)) {
        QFont font = ErrorBoxApplication::font();
        font.setFamily(chineseFamily);
        ErrorBoxApplication::setFont(font);
    }

    // A logout, `kill` or Ctrl+C closes the window the normal way, so the
    // settings are written as at any other exit; a failure to write them goes
    // to standard error, not to a box, and the exit status is 1.
    TerminationSignals termination;
    ostrel::Tf_main window;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window, &ostrel::Tf_main::CloseWithoutAsking);
    QObject::connect(&window, &ostrel::Tf_main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    window.show();
    window.OpenProfileAtStart();
    const int status = ErrorBoxApplication::exec();
    return window.SettingsWritten() ? status : EXIT_FAILURE;
}
