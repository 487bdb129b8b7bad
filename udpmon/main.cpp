#include "udpmon/u_main.h"

#include "monitor/WindowProgram.h"
#include "widgets/ErrorBoxApplication.h"

#include <QFont>
#include <QFontDatabase>

int main(int argc, char** argv)
{
    const monitor::WindowProgram program{
        QStringLiteral("Ostrel"),
        QStringLiteral(OSTREL_VERSION),
        QStringLiteral("UDP monitor for telecontrol frames: shows every datagram received on one "
                       "port as hex text and sends typed frames."),
        QStringLiteral("; ostrel-headless runs without one"),
        QT_TRANSLATE_NOOP("Ostrel", "Ostrel-通用以太网UDP通信监测工具"),
        QStringLiteral("net.telemon.Ostrel"),
        QStringLiteral(":/app/Ostrel.svg"),
        [] {
            // The texts are Chinese: prefer a font drawn for them, whose Latin
            // letters are also narrow enough for the status bar's panels.
            const QString chineseFamily = QStringLiteral("WenQuanYi Micro Hei");
            if (QFontDatabase::families().contains(chineseFamily)) {
                QFont font = ErrorBoxApplication::font();
                font.setFamily(chineseFamily);
                ErrorBoxApplication::setFont(font);
            }
        },
    };
    return monitor::RunWindowProgram(argc, argv, program, [](TerminationSignals& termination) {
        ostrel::Tf_main window;
        return monitor::ShowUntilClosed(window, termination);
    });
}
