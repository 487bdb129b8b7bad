#include "tcpmon/Main.h"
#include "tcpmon/client/ClientSide.h"
#include "tcpmon/client/ConnectTarget.h"

#include "monitor/WindowProgram.h"

#include <QDir>

#include <memory>

int main(int argc, char** argv)
{
    const monitor::WindowProgram program{
        QStringLiteral("Tamrel_C"),
        QStringLiteral(TAMREL_C_VERSION),
        QStringLiteral("TCP client monitor for telecontrol frames: connects to a device that "
                       "listens, shows what it sends as hex text and sends typed frames to it. "
                       "Settings: $XDG_CONFIG_HOME/telemon/Tamrel_C.ini."),
        QString(),
        QT_TRANSLATE_NOOP("Tamrel_C", "Tamrel-通用TCP通信客户端监测工具"),
        QStringLiteral("net.telemon.Tamrel_C"),
        QStringLiteral(":/app/Tamrel_C.svg"),
        {},
    };
    return monitor::RunWindowProgram(argc, argv, program, [](TerminationSignals& termination) {
        tamrel::Tf_main window(tamrel::ClientSettingsPath(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath()),
                               tamrel::DefaultPrompts(), std::make_unique<tamrel::ClientSide>());
        return monitor::ShowUntilClosed(window, termination);
    });
}
