#pragma once

#include "tcpmon/Side.h"
#include "tcpmon/client/ConnectTarget.h"

#include <functional>
#include <memory>

namespace tamrel {

class ServerConnection;
class TF_connect;

// Tamrel_C's side of the window: it connects to the device at the target's
// host and port (ServerConnection: in the background, with the target's
// time-out and reconnection); the switch connects and disconnects (F4, as
// listening in the siblings), the setup dialog is the connection dialog
// (also from the settings menu), the status panel shows the connection's
// state, and the receive window notes each connection, its end and each
// reconnection attempt. A connect the user asked for that fails, and a
// connection the device ends, are shown in the error box.
class ClientSide final : public Side {
public:
    ClientSide();
    ~ClientSide() override;
    ClientSide(const ClientSide&) = delete;
    ClientSide& operator=(const ClientSide&) = delete;

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

    [[nodiscard]] const ConnectTarget& Target() const { return target_; }
    void SetTarget(const ConnectTarget& target);
    [[nodiscard]] ServerConnection& Connection() const { return *connection_; }
    [[nodiscard]] TF_connect* ConnectDialog() const { return F_connect; }

private:
    Texts words_; // made with the side, in the language installed by then
    ConnectTarget target_;
    std::unique_ptr<ServerConnection> connection_;
    TF_connect* F_connect = nullptr;
    bool wasOn_ = false;
};

} // namespace tamrel
