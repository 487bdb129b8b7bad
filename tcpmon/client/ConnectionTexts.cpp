#include "tcpmon/client/ConnectionTexts.h"

#include <QCoreApplication>

#include "socket/WSocketErrors.h"

namespace tamrel {

namespace {

// "1.2.3.4:502", "host:502", "[::1]:502".
QString Endpoint(const QString& host, int port)
{
    if (host.contains(u':') && !host.startsWith(u'['))
        return u'[' + host + QStringLiteral("]:") + QString::number(port);
    return host + u':' + QString::number(port);
}

// "5", "0.3", "2.5": seconds as few digits as they need.
QString Seconds(int ms)
{
    return QString::number(ms / 1000.0, 'g', 4);
}

QString SystemText(int error)
{
    return QString::fromStdString(ErrorText(error));
}

} // namespace

QString FailureMessage(const ConnectionFailure& failure)
{
    const QString at = Endpoint(failure.host, failure.port);
    switch (failure.kind) {
    case FailureKind::None:
        return {};
    case FailureKind::Refused:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "连接被拒绝：%1 上没有程序在监听").arg(at);
    case FailureKind::NoRoute:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "没有到 %1 的路由").arg(at);
    case FailureKind::TimedOut:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "连接 %1 超时（%2 秒）")
            .arg(at, Seconds(failure.timeoutMs));
    case FailureKind::NameNotFound:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "找不到主机 %1").arg(failure.host);
    case FailureKind::ResetByDevice:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "连接被设备复位：%1").arg(at);
    case FailureKind::ClosedByDevice:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "连接被设备关闭：%1").arg(at);
    case FailureKind::Other:
        break;
    }
    return QCoreApplication::translate("tamrel::ConnectionTexts", "连接 %1 失败：%2（错误 %3）")
        .arg(at, SystemText(failure.error))
        .arg(failure.error);
}

QString FailureReason(const ConnectionFailure& failure)
{
    switch (failure.kind) {
    case FailureKind::None:
        return {};
    case FailureKind::Refused:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "连接被拒绝");
    case FailureKind::NoRoute:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "没有路由");
    case FailureKind::TimedOut:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "连接超时");
    case FailureKind::NameNotFound:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "找不到主机");
    case FailureKind::ResetByDevice:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "连接被设备复位");
    case FailureKind::ClosedByDevice:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "连接被设备关闭");
    case FailureKind::Other:
        break;
    }
    return SystemText(failure.error);
}

QString StatusText(const ConnectionStatus& status)
{
    switch (status.state) {
    case ConnectionState::Connecting:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "正在连接 %1…")
            .arg(Endpoint(status.host, status.port));
    case ConnectionState::Connected:
        return QCoreApplication::translate("tamrel::ConnectionTexts", "已连接 %1 → %2，自 %3")
            .arg(Endpoint(status.localAddr, status.localPort), Endpoint(status.remoteAddr, status.remotePort),
                 status.since.toString(QStringLiteral("HH:mm:ss")));
    case ConnectionState::Disconnected:
        break;
    }
    QString text = QCoreApplication::translate("tamrel::ConnectionTexts", "未连接");
    if (status.why.kind != FailureKind::None)
        text += QCoreApplication::translate("tamrel::ConnectionTexts", "（%1）").arg(FailureReason(status.why));
    if (status.retryPending)
        text
            += QCoreApplication::translate("tamrel::ConnectionTexts", "，%1 秒后重新连接").arg(status.reconnectSeconds);
    return text;
}

QString ConnectedNote(const QString& addr, int port)
{
    return QStringLiteral("Connected to ") + Endpoint(addr, port);
}

QString LostNote(const ConnectionFailure& failure)
{
    switch (failure.kind) {
    case FailureKind::ResetByDevice:
        return QStringLiteral("Reset by the device");
    case FailureKind::ClosedByDevice:
        return QStringLiteral("Closed by the device");
    default:
        return QStringLiteral("Connection lost: ") + SystemText(failure.error);
    }
}

QString ReconnectingNote(const QString& host, int port)
{
    return QStringLiteral("Reconnecting to ") + Endpoint(host, port);
}

QString ReconnectFailedNote(const ConnectionFailure& failure)
{
    QString reason;
    switch (failure.kind) {
    case FailureKind::Refused:
        reason = QStringLiteral("connection refused");
        break;
    case FailureKind::NoRoute:
        reason = QStringLiteral("no route to host");
        break;
    case FailureKind::TimedOut:
        reason = QStringLiteral("timed out after %1 s").arg(Seconds(failure.timeoutMs));
        break;
    case FailureKind::NameNotFound:
        reason = QStringLiteral("host not found");
        break;
    case FailureKind::ResetByDevice:
        reason = QStringLiteral("reset by the device");
        break;
    case FailureKind::ClosedByDevice:
        reason = QStringLiteral("closed by the device");
        break;
    case FailureKind::None:
    case FailureKind::Other:
        reason = SystemText(failure.error);
        break;
    }
    return QStringLiteral("Reconnection failed: ") + reason;
}

} // namespace tamrel
