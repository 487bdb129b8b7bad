#include "tcpmon/ServerSide.h"

#include <QCoreApplication>

#include "tcpmon/TamrelSettings.h"

#include "socket/WSocketResolve.h"
#include "tcpmon/TamrelState.h"
#include "tcpmon/u_csn.h"

namespace tamrel {

namespace {

QString PortPrefix()
{
    return QCoreApplication::translate("tamrel::ServerSide", "服务器端口:");
}
const QString kAlreadyRunning = QStringLiteral("Already running as server");
const QString kConnectedWith = QStringLiteral("Connected with ");

} // namespace

ServerSide::ServerSide()
    : words_ {
        QCoreApplication::translate("tamrel::ServerSide", "Tamrel-通用TCP通信服务器监测工具（V1.5版）"),
        QCoreApplication::translate("tamrel::ServerSide", "服务器监听"),
        QCoreApplication::translate("tamrel::ServerSide", "开始监听"),
        QCoreApplication::translate("tamrel::ServerSide", "停止监听"),
        QCoreApplication::translate("tamrel::ServerSide", "服务器配置"),
        QStringLiteral("Config"),
        QKeySequence(),
        false,
        QCoreApplication::translate("tamrel::ServerSide", "TCP服务器监测 V1.5"),
        250,
        QCoreApplication::translate("tamrel::ServerSide", "Tamrel-通用TCP通信服务器监测工具  V1.5版"),
        QCoreApplication::translate("tamrel::ServerSide",
                                    "本版新增：\n"
                                    "1. 过滤报文功能，只显示指定字节为指定值的报文；\n"
                                    "2. 修正收报定时保存的问题；\n"
                                    "3. 改进窗口布局，接收区与发送区可拖动分隔。"),
        true,
        QStringLiteral(":/tamrel/help/Tamrel_S.html"),
    }
{
}

ServerSide::~ServerSide()
{
    // No socket event may reach the window while it is taken apart.
    session_.reset();
}

const Side::Texts& ServerSide::Words() const
{
    return words_;
}

void ServerSide::Create(monitor::ReceiveRoute& route, QWidget& window, TamrelState& state)
{
    state_ = &state;
    session_ = std::make_unique<ClientSession>(route);
    session_->ListeningChanged = [this](bool listening) {
        // While listening the port bound, which for port 0 the system chose;
        // otherwise the port the next start will ask for.
        panelText_ = PortPrefix() + (listening ? session_->SrvWSocket().LocalPort() : state_->ServerPort);
        if (events.switched)
            events.switched(listening);
    };
    session_->AddressInUse = [this] {
        if (events.note)
            events.note(kAlreadyRunning);
    };
    session_->ClientConnected = [this](const QString& peer) {
        if (events.peerConnected)
            events.peerConnected();
        if (events.note)
            events.note(kConnectedWith + peer);
    };
    F_csn = new TF_csn(&window);
}

void ServerSide::ReadSettings(const IniFile& settings)
{
    state_->ListenAddr = QStringLiteral("0.0.0.0");
    state_->ServerPort = ReadServerPort(settings);
    panelText_ = PortPrefix() + state_->ServerPort;
}

void ServerSide::WriteSettings(IniFile& settings) const
{
    WriteServerPort(settings, state_->ServerPort);
}

bool ServerSide::On() const
{
    return session_->Listening();
}

void ServerSide::Switch()
{
    if (session_->Listening())
        session_->Stop();
    else
        session_->Listen(state_->Ipv4Only || !SystemHasIPv6() ? state_->ListenAddr : QStringLiteral("::"),
                         state_->ServerPort);
}

void ServerSide::Setup()
{
    const std::optional<QString> port = F_csn->Ask(state_->ServerPort, state_->Ipv4Only);
    if (!port)
        return;
    state_->ServerPort = *port;
    panelText_ = PortPrefix() + *port;
    if (events.panelChanged)
        events.panelChanged();
}

QString ServerSide::PanelText() const
{
    return panelText_;
}

void ServerSide::Send(std::span<const std::uint8_t> bytes)
{
    session_->Send(bytes);
}

void ServerSide::Shutdown()
{
    session_->Shutdown();
}

void ServerSide::SetReadPassMs(int readPassMs)
{
    session_->SetReadPassMs(readPassMs);
}

} // namespace tamrel
