#include "tcpmon/client/ClientSide.h"

#include "tcpmon/client/ConnectionTexts.h"
#include "tcpmon/client/ServerConnection.h"
#include "tcpmon/client/u_connect.h"

#include <QCoreApplication>
#include <QMessageBox>

// The guide is a resource of this static library: registered by hand.
static void InitClientResources()
{
    Q_INIT_RESOURCE(client);
}

namespace tamrel {

ClientSide::ClientSide()
    : words_ {
        QCoreApplication::translate("tamrel::ClientSide", "Tamrel-通用TCP通信客户端监测工具（V1.0版）"),
        QCoreApplication::translate("tamrel::ClientSide", "客户端连接"),
        QCoreApplication::translate("tamrel::ClientSide", "连接服务器"),
        QCoreApplication::translate("tamrel::ClientSide", "断开连接"),
        QCoreApplication::translate("tamrel::ClientSide", "连接配置"),
        QCoreApplication::translate("tamrel::ClientSide", "连接配置"),
        QKeySequence(Qt::Key_F4),
        true,
        QCoreApplication::translate("tamrel::ClientSide", "TCP客户端监测 V1.0"),
        390,
        QCoreApplication::translate("tamrel::ClientSide", "Tamrel-通用TCP通信客户端监测工具  V1.0版"),
        QCoreApplication::translate("tamrel::ClientSide",
                                    "TCP客户端：连接到作为服务器的设备（主机名或IP地址与端口），\n"
                                    "后台连接并有超时，可选断线后自动重连；\n"
                                    "收报、发报、过滤、定时保存、触发应答与报文解析同服务器版。"),
        false,
        QStringLiteral(":/tamrel_c/help/Tamrel_C.html"),
    }
{
    InitClientResources();
}

ClientSide::~ClientSide()
{
    // No socket event may reach the window while it is taken apart.
    connection_.reset();
}

const Side::Texts& ClientSide::Words() const
{
    return words_;
}

void ClientSide::Create(monitor::ReceiveRoute& route, QWidget& window, TamrelState& /*state*/)
{
    connection_ = std::make_unique<ServerConnection>(route);
    connection_->StateChanged = [this](const ConnectionStatus& status) {
        const bool on = status.state != ConnectionState::Disconnected;
        if (on && status.state == ConnectionState::Connected && events.peerConnected)
            events.peerConnected();
        if (on != wasOn_) {
            wasOn_ = on;
            if (events.switched)
                events.switched(on);
        } else if (events.panelChanged) {
            events.panelChanged();
        }
    };
    connection_->Failed = [this](const ConnectionFailure& failure) {
        if (events.failed)
            events.failed(FailureMessage(failure));
    };
    connection_->Note = [this](const QString& note) {
        if (events.note)
            events.note(note);
    };
    F_connect = new TF_connect(
        [dialog = &window](const QString& text) {
            QMessageBox::warning(dialog, QCoreApplication::translate("tamrel::ClientSide", "连接配置"), text);
        },
        &window);
}

void ClientSide::ReadSettings(const IniFile& settings)
{
    SetTarget(ReadConnectTarget(settings));
}

void ClientSide::WriteSettings(IniFile& settings) const
{
    WriteConnectTarget(settings, target_);
}

void ClientSide::SetTarget(const ConnectTarget& target)
{
    target_ = target;
    connection_->SetConnectTimeoutMs(target.timeoutSeconds * 1000);
    connection_->SetReconnect(target.reconnect, target.reconnectSeconds);
}

bool ClientSide::On() const
{
    return connection_->State() != ConnectionState::Disconnected;
}

void ClientSide::Switch()
{
    if (On())
        connection_->Disconnect();
    else
        connection_->Connect(target_.host, target_.port.toInt());
}

void ClientSide::Setup()
{
    const std::optional<ConnectTarget> target = F_connect->Ask(target_);
    if (!target)
        return;
    SetTarget(*target);
    if (events.panelChanged)
        events.panelChanged();
}

QString ClientSide::PanelText() const
{
    const ConnectionStatus& status = connection_->Status();
    if (status.state == ConnectionState::Disconnected && status.host.isEmpty())
        return QCoreApplication::translate("tamrel::ClientSide", "未连接 %1:%2").arg(target_.host, target_.port);
    return StatusText(status);
}

void ClientSide::Send(std::span<const std::uint8_t> bytes)
{
    connection_->Send(bytes);
}

void ClientSide::Shutdown()
{
    connection_->Shutdown();
}

void ClientSide::SetReadPassMs(int readPassMs)
{
    connection_->SetReadPassMs(readPassMs);
}

} // namespace tamrel
