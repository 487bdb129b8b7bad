#include "udpmon/u_main.h"

#include "platform/DateTimeText.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/TerminationSignals.h"

#include <QFont>
#include <QFontDatabase>

#include <cstdlib>

int main(int argc, char** argv)
{
    InitLocale();
    ErrorBoxApplication app(argc, argv);
    ErrorBoxApplication::setApplicationName(QStringLiteral("Ostrel-通用以太网UDP通信监测工具"));

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
    Tf_main window;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window, &Tf_main::CloseWithoutAsking);
    QObject::connect(&window, &Tf_main::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    window.show();
    const int status = ErrorBoxApplication::exec();
    return window.SettingsWritten() ? status : EXIT_FAILURE;
}
