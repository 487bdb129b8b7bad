#include "tcpmon/client/ConnectTarget.h"

#include "platform/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tamrel {

namespace {

const QString kSection = QStringLiteral("TCPClient");
const QString kHostKey = QStringLiteral("Host");
const QString kPortKey = QStringLiteral("Port");
const QString kTimeoutKey = QStringLiteral("Connect Timeout");
const QString kReconnectKey = QStringLiteral("Reconnect");
const QString kReconnectSecondsKey = QStringLiteral("Reconnect Seconds");

int Bounded(int value, int low, int high, int fallback)
{
    return value >= low && value <= high ? value : fallback;
}

} // namespace

std::optional<QString> ConnectTargetFault(const QString& host, const QString& port)
{
    const QString h = host.trimmed();
    if (h.isEmpty())
        return QCoreApplication::translate("tamrel::ConnectTarget", "请输入服务器的主机名或IP地址");
    for (const QChar c : h) {
        if (c.isSpace())
            return QCoreApplication::translate("tamrel::ConnectTarget", "主机名或IP地址中不能有空格");
    }
    const QString p = port.trimmed();
    bool digits = !p.isEmpty() && p.size() <= 5;
    for (const QChar c : p)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!digits || p.toInt() < 1 || p.toInt() > 65535)
        return QCoreApplication::translate("tamrel::ConnectTarget", "端口应为1到65535之间的整数");
    return std::nullopt;
}

QString ClientSettingsPath(const QString& xdgConfigHome, const QString& home)
{
    const QString folder = !xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome)
        ? xdgConfigHome
        : QDir(home).filePath(QStringLiteral(".config"));
    return QDir(folder).filePath(QStringLiteral("telemon/Tamrel_C.ini"));
}

ConnectTarget ReadConnectTarget(const IniFile& settings)
{
    const ConnectTarget defaults;
    ConnectTarget target;
    target.host = settings.ReadString(kSection, kHostKey, defaults.host);
    target.port = settings.ReadString(kSection, kPortKey, defaults.port);
    if (ConnectTargetFault(target.host, target.port)) {
        target.host = defaults.host;
        target.port = defaults.port;
    }
    target.timeoutSeconds = Bounded(settings.ReadInteger(kSection, kTimeoutKey, defaults.timeoutSeconds), kMinSeconds,
                                    kMaxTimeoutSeconds, defaults.timeoutSeconds);
    target.reconnect = settings.ReadInteger(kSection, kReconnectKey, defaults.reconnect ? 1 : 0) == 1;
    target.reconnectSeconds = Bounded(settings.ReadInteger(kSection, kReconnectSecondsKey, defaults.reconnectSeconds),
                                      kMinSeconds, kMaxReconnectSeconds, defaults.reconnectSeconds);
    return target;
}

void WriteConnectTarget(IniFile& settings, const ConnectTarget& target)
{
    settings.WriteString(kSection, kHostKey, target.host);
    settings.WriteString(kSection, kPortKey, target.port);
    settings.WriteInteger(kSection, kTimeoutKey, target.timeoutSeconds);
    settings.WriteInteger(kSection, kReconnectKey, target.reconnect ? 1 : 0);
    settings.WriteInteger(kSection, kReconnectSecondsKey, target.reconnectSeconds);
    QDir().mkpath(QFileInfo(settings.FileName()).absolutePath());
    settings.UpdateFile();
}

} // namespace tamrel
