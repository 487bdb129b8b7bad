#include "platform/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cstdio>

namespace {

// The options the application object reads itself (the toolkit's and the
// X11 ones); they pass here unchanged and are not shown by --help.
const char* const kToolkitValueOptions[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "display", "geometry", "title", "name", "style", "stylesheet", "session",
};
const char* const kToolkitFlagOptions[] = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

QString UsageError(const ProgramIdentity& program, const QString& problem)
{
    return QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(program.name, problem);
}

} // namespace

CommandLineOutcome ReadCommandLine(const QStringList& arguments, const ProgramIdentity& program)
{
    QCommandLineParser parser;
    // "-platform offscreen" is one option, as the toolkit reads it.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(program.description);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information and exits."));
    const QCommandLineOption ownFolder(
        QStringLiteral("own-folder"),
        QStringLiteral("Works in the folder ~/%1 (made at the first start): the files the program keeps in its "
                       "current folder go there. The menu entry starts the program so.")
            .arg(program.name));
    const QCommandLineOption language(
        QStringLiteral("lang"),
        QStringLiteral("Shows the window's texts in <language>: zh (Chinese) or en (English). Without it the "
                       "desktop's language decides: Chinese for a Chinese desktop and the C locale, English for "
                       "any other."),
        QStringLiteral("language"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(ownFolder);
    parser.addOption(language);
    for (const char* name : kToolkitValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kToolkitFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLineOutcome outcome;
    if (!parser.parse(arguments)) {
        outcome.startWindow = false;
        outcome.exitCode = 2;
        outcome.standardError = UsageError(program, parser.errorText());
        return outcome;
    }
    if (parser.isSet(help)) {
        outcome.startWindow = false;
        // The parser's own usage line names the path the program was started
        // by; the help names the program.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: %1 [options]").arg(program.name));
        outcome.standardOutput = text;
        return outcome;
    }
    if (parser.isSet(version)) {
        outcome.startWindow = false;
        outcome.standardOutput = QStringLiteral("%1 %2\n").arg(program.name, program.version);
        return outcome;
    }
    outcome.ownFolder = parser.isSet(ownFolder);
    if (parser.isSet(language)) {
        const QString value = parser.value(language).trimmed().toLower();
        if (value != QLatin1String("zh") && value != QLatin1String("en")) {
            outcome.startWindow = false;
            outcome.exitCode = 2;
            outcome.standardError
                = UsageError(program, QStringLiteral("unknown language '%1' (zh or en).").arg(parser.value(language)));
            return outcome;
        }
        outcome.language = value;
    }
    if (!parser.positionalArguments().isEmpty()) {
        outcome.startWindow = false;
        outcome.exitCode = 2;
        outcome.standardError =
            UsageError(program, QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    }
    return outcome;
}

QStringList ArgumentsOf(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void PrintOutcome(const CommandLineOutcome& outcome)
{
    std::fputs(outcome.standardOutput.toLocal8Bit().constData(), stdout);
    std::fputs(outcome.standardError.toLocal8Bit().constData(), stderr);
    std::fflush(stdout);
}
