#include "monitor/WindowProgram.h"

#include "monitor/Language.h"
#include "platform/CommandLine.h"
#include "platform/DateTimeText.h"
#include "platform/DesktopPlaces.h"
#include "widgets/ErrorBoxApplication.h"

#include <QIcon>
#include <QLocale>

#include <memory>

namespace monitor {

int RunWindowProgram(int argc, char** argv, const WindowProgram& program,
                     const std::function<int(TerminationSignals&)>& runWindow)
{
    const QStringList arguments = ArgumentsOf(argc, argv);
    const CommandLineOutcome commandLine = ReadCommandLine(arguments, {program.name, program.version, program.summary});
    if (!commandLine.startWindow) {
        PrintOutcome(commandLine);
        return commandLine.exitCode;
    }
    if (!PrepareWindowStart(program.name, program.hint, arguments, commandLine.ownFolder))
        return EXIT_FAILURE;

    InitLocale();
    auto displayGuard = std::make_unique<DisplayOpenGuard>(program.name, program.hint);
    ErrorBoxApplication app(argc, argv);
    displayGuard.reset();
    InstallTranslations(app, ChooseLanguage(commandLine.language, QLocale::system().uiLanguages()));
    ErrorBoxApplication::setApplicationName(
        QCoreApplication::translate(program.name.toUtf8().constData(), program.title));
    ErrorBoxApplication::setApplicationVersion(program.version);
    // Task bars match the window to its menu entry and show the entry's icon;
    // the icon from the resource also serves when the program is not installed.
    ErrorBoxApplication::setDesktopFileName(program.desktopId);
    ErrorBoxApplication::setWindowIcon(QIcon(program.icon));
    if (program.styleApplication)
        program.styleApplication();

    TerminationSignals termination;
    return runWindow(termination);
}

} // namespace monitor
