#include "monitor/Language.h"
#include "platform/CommandLine.h"
#include "platform/DateTimeText.h"
#include "udpmon/headless/HeadlessMonitor.h"
#include "udpmon/headless/HeadlessOptions.h"
#include "udpmon/headless/HeadlessText.h"
#include "platform/SignalPipe.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <exception>

#include <unistd.h>

namespace {

void PrintError(const QString& message)
{
    const QByteArray text = QStringLiteral("ostrel-headless: %1\n").arg(message).toLocal8Bit();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stderr);
    std::fflush(stderr);
}

// The program's own messages in Chinese (their source texts are English)
// and Qt's own (the help's headings, the option parser's faults). The
// messages shared with Ostrel's window have Chinese source texts and need
// nothing; the printed lines and the files use no translation at all.
void InstallChinese(QCoreApplication& app)
{
    for (const QString& file : {QStringLiteral(":/i18n/headless_zh_CN.qm"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm")}) {
        auto* translator = new QTranslator(&app);
        if (!translator->load(file) || !QCoreApplication::installTranslator(translator))
            delete translator;
    }
}

} // namespace

int main(int argc, char** argv)
{
    InitLocale();
    // Qt's own event loop wakes for a datagram sooner than the GLib one (the
    // median answer at 5 000 requests/s came 10 to 20 % sooner); a setting
    // in the environment is kept.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ostrel-headless"));
    QCoreApplication::setApplicationVersion(QStringLiteral(OSTREL_VERSION));

    // Every message in the language chosen: under English the messages
    // Ostrel's window shares (a refused trigger rule) and the point list's
    // faults are translated, the program's own are their source texts; under
    // Chinese the other way round.
    const auto chooseLanguage = [&app](const QString& language) {
        if (monitor::ChooseLanguage(language, QLocale::system().uiLanguages()) == monitor::Language::English)
            monitor::InstallTranslations(app, monitor::Language::English);
        else
            InstallChinese(app);
    };
    const ostrel::HeadlessCommandLine commandLine =
        ostrel::ReadHeadlessCommandLine(ArgumentsOf(argc, argv), QStringLiteral(OSTREL_VERSION), chooseLanguage);
    if (!commandLine.options) {
        PrintOutcome({false, commandLine.exitCode, commandLine.standardOutput, commandLine.standardError, false, {}});
        return commandLine.exitCode;
    }
    const ostrel::HeadlessOptions& options = *commandLine.options;

    // Lines go out per line to a terminal and in blocks to a file or a pipe;
    // a reader that went away costs the lines, not the program.
    std::signal(SIGPIPE, SIG_IGN);
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, ::isatty(STDOUT_FILENO) != 0 ? _IOLBF : _IOFBF, sizeof(outBuffer));

    ostrel::HeadlessMonitor monitor(options, options.quiet ? nullptr : stdout,
                                    [](const std::exception& error) { PrintError(QString::fromUtf8(error.what())); });
    int status = ostrel::HeadlessExit::Ok;
    // The signal is read from the event loop, between passes: the pass under
    // way is done first.
    const SignalPipe signalPipe({SIGTERM, SIGINT, SIGHUP}, [&](int signalNumber) {
        if (signalNumber == SIGHUP) {
            monitor.NewCaptureFile();
            return;
        }
        QCoreApplication::quit();
    });
    try {
        monitor.Start();
    } catch (const std::exception& error) {
        PrintError(QString::fromUtf8(error.what()));
        return ostrel::HeadlessExit::Failure;
    }
    const QString port = QString::number(monitor.ListeningPort());
    // The same words in every language: scripts that start the program read
    // the port it listens on from this line.
    PrintError(monitor.CaptureFile().isEmpty()
                   ? QStringLiteral("listening on %1:%2").arg(monitor.ListeningAddress(), port)
                   : QStringLiteral("listening on %1:%2, capture to %3")
                         .arg(monitor.ListeningAddress(), port, monitor.CaptureFile()));

    QCoreApplication::exec();
    try {
        monitor.Finish();
    } catch (const std::exception& error) {
        PrintError(QString::fromUtf8(error.what()));
        status = ostrel::HeadlessExit::Failure;
    }
    if (monitor.CapturePacketsLost() > 0) {
        PrintError(HT_("ostrel-headless", "%1 packets lost: they could not be written to the capture")
                       .arg(monitor.CapturePacketsLost()));
        status = ostrel::HeadlessExit::Failure;
    }
    return status;
}
