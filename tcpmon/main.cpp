#include "tcpmon/Main.h"
#include "tcpmon/TamrelSettings.h"

#include "monitor/WindowProgram.h"

int main(int argc, char** argv)
{
    const monitor::WindowProgram program{
        QStringLiteral("Tamrel_S"),
        QStringLiteral(TAMREL_S_VERSION),
        QStringLiteral("TCP server monitor for telecontrol frames: serves one client at a time, "
                       "shows what it sends as hex text and sends typed frames back."),
        QString(),
        QT_TRANSLATE_NOOP("Tamrel_S", "Tamrel-通用TCP通信服务器监测工具"),
        QStringLiteral("net.telemon.Tamrel_S"),
        QStringLiteral(":/app/Tamrel_S.svg"),
        {},
    };
    return monitor::RunWindowProgram(argc, argv, program, [](TerminationSignals& termination) {
        tamrel::Tf_main window(tamrel::TamrelSettingsPathForThisProgram(), tamrel::DefaultPrompts());
        return monitor::ShowUntilClosed(window, termination);
    });
}
