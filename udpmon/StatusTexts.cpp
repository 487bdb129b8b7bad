#include "udpmon/StatusTexts.h"

namespace ostrel {

QString PortStatusText(const QString& serverPort, const QString& clientHost, const QString& clientPort)
{
    // An IPv6 address stands with its port as "[addr]:port".
    if (clientHost.contains(QLatin1Char(':'))) {
        QString host = clientHost.trimmed();
        if (!host.startsWith(QLatin1Char('[')))
            host = QLatin1Char('[') + host + QLatin1Char(']');
        return QStringLiteral("接收端口:") + serverPort + QStringLiteral(", 信宿地址:") + host + QLatin1Char(':')
            + clientPort;
    }
    return QStringLiteral("接收端口:") + serverPort + QStringLiteral(", 信宿地址:") + clientHost
        + QLatin1Char(' ') + clientPort;
}

QString SendStyleStartText(int copiesPerSend)
{
    return QStringLiteral("单行发送方式,一次发送%1遍").arg(copiesPerSend);
}

QString CreditText()
{
    return QStringLiteral("© 2026 Telemon");
}

} // namespace ostrel
