#pragma once

#include "udpmon/MainActions.h"
#include "udpmon/OstrelState.h"

#include "frame/CheckCodes.h"
#include "frame/LineRandom.h"
#include "socket/WSocket.h"

#include <QMainWindow>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

class HelpWindow;
class IniFile;
class QStatusBar;
class StatusPanels;
class TF_color;
class TSMemo;
class CaptureBuffer;

namespace monitor {
class FrameLogDialogs;
class ProfileCommands;
struct ProfileFault;
class IntervalTimer;
class ReceiveRoute;
class ReceiveWindowSink;
class TimedSave;
class TrafficCounters;
class Tf_trigger;
struct ReceivePolicy;
} // namespace monitor

namespace ostrel {

class DatagramSender;
class ReceivePass;
class TDecodeForm;
class TLinkForm;
class TPointForm;
class TDockableForm;
class Tf_version;
class Tf_filter;
class Tf_save;
class TF_csn;
class Tf_network;
class Tf_sendstyle;
struct SendStyleOutcome;
struct OstrelProfile;
struct OstrelSettings;

// The main window of the UDP monitor. It owns the program-wide state, the
// settings file (open from start-up to the end of the run), the receive and
// send windows and the dialogs, and wires the commands to them.
//
// Creating the window runs the start-up: both text windows, the settings
// file "Ostrel.ini" of the current directory read into the state and the send
// window, the status bar texts. Closing it always succeeds and writes the
// settings. Resizing it only lays the windows out again: nothing of their
// text, caret, undo history, colours, pause or floating place changes.
class Tf_main final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_main)

public:
    static constexpr int kStartWidth = 541;
    static constexpr int kStartHeight = 415;
    static constexpr int kRestoredWidth = 600;
    static constexpr int kRestoredHeight = 450;

    explicit Tf_main(QWidget* parent = nullptr);
    ~Tf_main() override;

    [[nodiscard]] OstrelState& State() { return state_; }
    [[nodiscard]] const MainActions& Actions() const { return A; }
    [[nodiscard]] TDockableForm* RecvForm() const { return recvForm_; }
    [[nodiscard]] TDockableForm* SendForm() const { return sendForm_; }
    [[nodiscard]] TDecodeForm* DecodeForm() const { return decodeForm_; }
    [[nodiscard]] TLinkForm* LinkForm() const { return linkForm_; }
    [[nodiscard]] TPointForm* PointForm() const { return pointForm_; }
    [[nodiscard]] TSMemo* RecvMemo() const;
    [[nodiscard]] TSMemo* SendMemo() const;
    [[nodiscard]] StatusPanels* Panels() const { return Panels_; }
    [[nodiscard]] QStatusBar* StatusBar() const { return StatusBar1; }
    [[nodiscard]] TF_color* ColorDialog() const { return F_color; }
    [[nodiscard]] Tf_version* VersionDialog() const { return F_version; }
    [[nodiscard]] TF_csn* PortDialog() const { return F_csn; }
    [[nodiscard]] Tf_network* NetworkDialog() const { return F_network; }
    // Frames and bytes received and sent since the start or the last clear
    // of the receive window (the port panel's tooltip).
    [[nodiscard]] const monitor::TrafficCounters& Traffic() const { return *traffic_; }
    [[nodiscard]] Tf_sendstyle* SendStyleDialog() const { return F_sendstyle; }
    [[nodiscard]] Tf_filter* FilterDialog() const { return F_filter; }
    [[nodiscard]] monitor::Tf_trigger* TriggerDialog() const { return F_trigger; }
    [[nodiscard]] Tf_save* TimedSaveDialog() const { return F_save; }
    [[nodiscard]] monitor::FrameLogDialogs& FileDialogs() const { return *fileDialogs_; }
    // "保存配置..." and "打开配置..." (udpmon/MainProfile.cpp).
    [[nodiscard]] monitor::ProfileCommands& Profiles() const { return *profiles_; }
    // Opens the profile the settings remember for the start, if any.
    void OpenProfileAtStart();
    // The profile of the window as it is, and a profile put into force.
    [[nodiscard]] OstrelProfile ProfileOfWindow() const;
    void ApplyProfile(const OstrelProfile& profile);

    // The rules of the receive route (display filter, triggers), which
    // tests replace.
    [[nodiscard]] monitor::ReceivePolicy& ReceiveRules();
    // The capture buffer of received lines for timed saving, filled while
    // Timer1 runs.
    [[nodiscard]] CaptureBuffer& SMemo1();
    // The timed-save timer; the receive path only asks whether it runs.
    [[nodiscard]] monitor::IntervalTimer* Timer1() const;
    // The send timer: each tick sends as the send-now command does.
    [[nodiscard]] monitor::IntervalTimer* Timer3() const { return Timer3_; }
    // The receiving socket, listening on 0.0.0.0 : ServerPort while the
    // monitor listens.
    [[nodiscard]] TWSocket& UDPServer1();
    // True while the monitor listens (the hint of B_open is the marker).
    [[nodiscard]] bool Listening() const;

    // Sends the bytes to ClientHost:ClientPort from a new ephemeral port, at
    // most 1514 bytes per datagram; nothing for a length of 0. Socket errors
    // are thrown as ESocketException.
    void SendDatagram(const std::uint8_t* bytes, std::size_t length);

    // The receive window shows everything read so far (received lines are
    // laid out once per receive pass).
    void FlushReceiveWindow();
    void DropWaitingReceiveLines();

    // Closes as the user's close does, for a termination signal: nobody may
    // be there to click a box, so a settings file that cannot be written is
    // reported on standard error instead.
    void CloseWithoutAsking();
    // False once a close failed to write the settings (the program's exit
    // status then says so).
    [[nodiscard]] bool SettingsWritten() const { return settingsWritten_; }

    // Status bar panels, left to right.
    enum Panel { PanelSendStyle = 0, PanelTimed, PanelCaret, PanelPorts, PanelCredit };

signals:
    // The window has closed and the settings are written; the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    // No toolbar/dock visibility menu on right clicks: "工具条" and the show
    // commands are the only switches.
    QMenu* createPopupMenu() override;

private slots:
    // The commands, one handler each (MainActions::Commands names them).
    // Listening and port dialog.
    void B_openClick();
    void Btn_setupcomClick();
    // Receive display.
    void Btn_watchClick();
    void Btn_recvascClick();
    void N_ShowtimeClick();
    void N_showsourceClick();
    void N_millisClick();
    void N_networkClick();
    // Sending.
    void Btn_ljfbClick();
    void Btn_sendascClick();
    void N_fbfsClick();
    // Filter and triggers.
    void Btn_filterClick();
    void Btn_triggerClick();
    void N_triggerClick();
    // Frame logs.
    void Btn_savereceiveClick();
    void Btn_savesendClick();
    void Btn_loadrecvClick();
    void Btn_loadsendClick();
    void N_receiveclearClick();
    void N_sendclearClick();
    void N_intervalsaveClick();
    void N_saveprofileClick();
    void N_openprofileClick();
    // View.
    void N_showrecvClick();
    void N_showsendClick();
    void N_decodeClick();
    void N_linkwatchClick();
    void N_pointsClick();
    void N_showtoolbarClick();
    void N_colorClick();
    void N_CalcClick();
    void Btn_RTopClick();
    // Edit and program.
    void N_helpClick();
    void About1Click();
    void Btn_exitClick();

private:
    void CreateStatusBar();
    void CreateTextWindows();
    void ConnectCommands();
    void ReadSettings();
    void WriteSettings();
    void StartListening();
    void StopListening();
    void CreateReceivePass();
    void AppendRecvNote(const QString& line);
    void StopTimedSendingOnError();
    void SendStyleConfirmed(const SendStyleOutcome& outcome);
    // The rules' parts of the main window.
    void CreateRuleDialogs();
    // The check-code commands on the send window's caret line.
    void ApplyCheckCode(CheckCodeResult (*command)(std::string_view));
    void ShowFilterImage();
    void ShowTriggerImage();
    void ShowForm(TDockableForm* form);
    void CreateProfileCommands();
    // The network parts (udpmon/MainNetwork.cpp): the counters, the network
    // dialog, the answers to the sender, and their settings.
    void CreateNetworkParts();
    void ReadNetworkSettings(const OstrelSettings& settings);
    void StoreNetworkSettings(OstrelSettings& settings) const;

    OstrelState state_;
    std::unique_ptr<IniFile> iniFile_;
    MainActions A;
    QStatusBar* StatusBar1 = nullptr;
    StatusPanels* Panels_ = nullptr;
    TDockableForm* recvForm_ = nullptr;
    TDockableForm* sendForm_ = nullptr;
    TDecodeForm* decodeForm_ = nullptr;
    bool decodeFormShownBefore_ = false;
    TLinkForm* linkForm_ = nullptr;
    bool linkFormShownBefore_ = false;
    TPointForm* pointForm_ = nullptr;
    bool pointFormShownBefore_ = false;
    TF_color* F_color = nullptr;
    Tf_version* F_version = nullptr;
    HelpWindow* F_help = nullptr;
    TF_csn* F_csn = nullptr;
    Tf_network* F_network = nullptr;
    std::unique_ptr<monitor::TrafficCounters> traffic_;
    Tf_sendstyle* F_sendstyle = nullptr;
    Tf_filter* F_filter = nullptr;
    monitor::Tf_trigger* F_trigger = nullptr;
    Tf_save* F_save = nullptr;
    std::unique_ptr<monitor::FrameLogDialogs> fileDialogs_;
    monitor::ProfileCommands* profiles_ = nullptr;

    monitor::TimedSave* timedSave_ = nullptr;
    monitor::IntervalTimer* Timer3_ = nullptr;
    // A send tick is under way, its error box perhaps open.
    bool sendTickBusy_ = false;
    LineRandom lineRandom_;
    std::unique_ptr<DatagramSender> sender_;
    // Received lines on their way into the receive window, the route that
    // makes them, and the pass that reads the datagrams.
    std::unique_ptr<monitor::ReceiveWindowSink> recvSink_;
    std::unique_ptr<monitor::ReceiveRoute> route_;
    ReceivePass* receivePass_ = nullptr;

    bool unattendedClose_ = false;  // CloseWithoutAsking: errors go to standard error
    bool settingsWritten_ = true;
};

} // namespace ostrel
