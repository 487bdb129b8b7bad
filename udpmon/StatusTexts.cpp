#include "udpmon/StatusTexts.h"

#include <QCoreApplication>

namespace ostrel {

QString PortStatusText(const QString& serverPort, const QString& clientHost, const QString& clientPort)
{
    // An IPv6 address stands with its port as "[addr]:port".
    if (clientHost.contains(QLatin1Char(':'))) {
        QString host = clientHost.trimmed();
        if (!host.startsWith(QLatin1Char('[')))
            host = QLatin1Char('[') + host + QLatin1Char(']');
        return QCoreApplication::translate("ostrel::StatusTexts", "接收端口:%1, 信宿地址:%2")
            .arg(serverPort, host + QLatin1Char(':') + clientPort);
    }
    return QCoreApplication::translate("ostrel::StatusTexts", "接收端口:%1, 信宿地址:%2")
        .arg(serverPort, clientHost + QLatin1Char(' ') + clientPort);
}

QString SendStyleStartText(int copiesPerSend)
{
    return QCoreApplication::translate("ostrel::StatusTexts", "单行发送方式,一次发送%1遍").arg(copiesPerSend);
}

QString CreditText()
{
    return QStringLiteral("© 2026 Telemon");
}

} // namespace ostrel
