#pragma once

#include "tcpmon/ClientSession.h"
#include "tcpmon/Side.h"

#include <memory>

namespace tamrel {

class TF_csn;

// Tamrel_S's side of the window: it listens on the port of the state
// (ServerPort, all interfaces) and serves one client at a time
// (ClientSession); the setup dialog is the port dialog, reached from the
// toolbar only; the status panel shows "服务器端口:" and the port (while
// listening the port bound, which for port 0 the system chose). A second
// start on a port in use notes "Already running as server", a new client
// "Connected with " and its address.
class ServerSide final : public Side {
public:
    ServerSide();
    ~ServerSide() override;
    ServerSide(const ServerSide&) = delete;
    ServerSide& operator=(const ServerSide&) = delete;

    [[nodiscard]] const Texts& Words() const override;
    void Create(monitor::ReceiveRoute& route, QWidget& window, TamrelState& state) override;
    void ReadSettings(const IniFile& settings) override;
    void WriteSettings(IniFile& settings) const override;
    [[nodiscard]] bool On() const override;
    void Switch() override;
    void Setup() override;
    [[nodiscard]] QString PanelText() const override;
    void Send(std::span<const std::uint8_t> bytes) override;
    void Shutdown() override;
    void SetReadPassMs(int readPassMs) override;

    [[nodiscard]] ClientSession& Session() const { return *session_; }
    [[nodiscard]] TF_csn* PortDialog() const { return F_csn; }

private:
    Texts words_; // made with the side, in the language installed by then
    TamrelState* state_ = nullptr;
    std::unique_ptr<ClientSession> session_;
    TF_csn* F_csn = nullptr;
    QString panelText_;
};

} // namespace tamrel
