#pragma once

#include "tcpmon/ClientSession.h"
#include "tcpmon/ServerSide.h"
#include "tcpmon/MainActions.h"
#include "tcpmon/MainArea.h"
#include "tcpmon/Prompts.h"
#include "tcpmon/TamrelState.h"

#include "frame/LineRandom.h"
#include "monitor/TriggerAnswers.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class BatchedLineWriter;
class CaptureBuffer;
class IniFile;
class QAction;
class StatusPanels;
class TSMemo;

namespace monitor {
class FrameLogDialogs;
class IntervalTimer;
class ProfileCommands;
class ReceiveWindowSink;
class TimedSave;
class TrafficCounters;
class Tf_trigger;
} // namespace monitor

class HelpWindow;

namespace tamrel {

class TF_csn;
class Tf_filter;
class Tf_save;
class Tf_sendstyle;
class Tf_version;
class Tf_decode;
class Tf_linkwatch;
class Tf_points;
struct TamrelProfile;

// The main window of the TCP monitors. It owns the program-wide state, the
// settings file (open from start-up to the end of the run), the side (the
// server's listening and client, or the client's connection: its sockets
// and setup dialog), the three timers, the text windows, the capture buffer
// and every dialog, and wires the commands and the side to them.
// Everything runs on the GUI thread.
//
// Errors: a command that fails with an exception (a socket error, a file
// error, a number that does not convert) reports it through the prompts'
// error box and the program goes on, as an uncaught error would be reported.
// Closing asks first (unless CloseWithoutAsking), then shuts both sockets
// down and writes the settings.
class Tf_main final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Tf_main)

public:
    static constexpr int kStartWidth = 739;
    static constexpr int kStartHeight = 507;
    static constexpr int kReadSize = ClientSession::kReadSize;
    // One readiness event reads chunk after chunk while they come full, for
    // at most kReadPassMs (see ClientSession). Showing lines costs far more
    // than reading them, so the receive window is brought up to date before
    // any command, at once when the client paused after at most
    // kShowAtOnceLines lines and the window was last written a flush
    // interval ago, and otherwise once its oldest unshown line has
    // waited kDisplayDelayMs, at the receive window's pace
    // (monitor::ReceiveWindowSink).
    static constexpr int kReadPassMs = ClientSession::kReadPassMs;
    static constexpr int kDisplayDelayMs = 50;
    static constexpr int kShowAtOnceLines = 64;

    // Status bar panels, left to right.
    using Panel = MainArea::Panel;
    static constexpr Panel PanelClock = MainArea::PanelClock;
    static constexpr Panel PanelCaret = MainArea::PanelCaret;
    static constexpr Panel PanelPort = MainArea::PanelPort;
    static constexpr Panel PanelCredit = MainArea::PanelCredit;

    // The window of `side`.
    Tf_main(const QString& settingsPath, Prompts prompts, std::unique_ptr<Side> side, QWidget* parent = nullptr);
    // Tamrel_S's window: the server's side.
    Tf_main(const QString& settingsPath, Prompts prompts, QWidget* parent = nullptr);
    ~Tf_main() override;

    [[nodiscard]] TamrelState& State() { return state_; }
    [[nodiscard]] const IniFile& Settings() const { return *iniFile_; }
    [[nodiscard]] bool DisplayPaused() const { return displayPaused_; }
    [[nodiscard]] QString PanelText(Panel panel) const;
    // Frames and bytes received and sent since the start or the last clear
    // of the receive window (the port panel's tooltip).
    [[nodiscard]] const monitor::TrafficCounters& Traffic() const { return *traffic_; }

    // Closes like "Yes" to the exit question, without asking (termination
    // signals): nobody may be there to click a box, so a settings file that
    // cannot be written is reported on standard error instead.
    void CloseWithoutAsking();
    // False once a close failed to write the settings (the program's exit
    // status then says so).
    [[nodiscard]] bool SettingsWritten() const { return settingsWritten_; }

    // The pacing above, changed (tests and benchmarks): a pass of 0 ms reads
    // one chunk per readiness event.
    void SetReceivePacing(int readPassMs, int displayDelayMs);

    // The parts of the window, as the program's commands and windows know
    // them: the menu and toolbar, the client area and status bar, the dialogs.
    [[nodiscard]] const MainActions& Actions() const { return A; }
    [[nodiscard]] const MainArea& Area() const { return *area_; }
    [[nodiscard]] Side& TheSide() const { return *side_; }
    // Tamrel_S's port dialog and sockets (a window of the server's side only).
    [[nodiscard]] TF_csn* PortDialog() const { return Server().PortDialog(); }
    [[nodiscard]] Tf_sendstyle* SendStyleDialog() const { return F_sendstyle; }
    [[nodiscard]] Tf_save* TimedSaveDialog() const { return F_save; }
    [[nodiscard]] Tf_filter* FilterDialog() const { return F_filter; }
    [[nodiscard]] monitor::Tf_trigger* TriggerDialog() const { return F_trigger; }
    [[nodiscard]] const monitor::TriggerAnswers& Triggers() const { return triggers_; }
    [[nodiscard]] Tf_version* VersionDialog() const { return F_version; }
    [[nodiscard]] Tf_decode* DecodeDialog() const { return F_decode; }
    [[nodiscard]] Tf_linkwatch* LinkDialog() const { return F_linkwatch; }
    [[nodiscard]] Tf_points* PointDialog() const { return F_points; }
    [[nodiscard]] monitor::FrameLogDialogs& FileDialogs() const { return *fileDialogs_; }
    // "保存配置..." and "打开配置..." (tcpmon/MainProfile.cpp).
    [[nodiscard]] monitor::ProfileCommands& Profiles() const { return *profiles_; }
    // Opens the profile the settings remember for the start, if any.
    void OpenProfileAtStart();
    // The profile of the window as it is, and a profile put into force.
    [[nodiscard]] TamrelProfile ProfileOfWindow() const;
    void ApplyProfile(const TamrelProfile& profile);
    // Received lines on their way into Memo1; every other edit of Memo1 is
    // made after flushing it.
    [[nodiscard]] BatchedLineWriter* ReceiveLines() const;
    [[nodiscard]] TWSocket* SrvWSocket() const { return &Server().Session().SrvWSocket(); }
    [[nodiscard]] TWSocket* TmpWSocket() const { return &Server().Session().TmpWSocket(); }
    // The timed-save timer and the lines captured for the next timed save,
    // the status bar clock and the send timer.
    [[nodiscard]] monitor::IntervalTimer* Timer1() const;
    [[nodiscard]] CaptureBuffer& SMemo1();
    [[nodiscard]] monitor::IntervalTimer* Timer2() const { return Timer2_; }
    [[nodiscard]] monitor::IntervalTimer* Timer3() const { return Timer3_; }

signals:
    // The window has closed, the sockets are shut and the settings written.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    void BindMenu();
    void BindToolBar();
    void CreateSession();
    [[nodiscard]] ServerSide& Server() const;
    void CreateDialogs();

    // Runs a command; an exception it raises goes to the error box.
    void Guarded(const std::function<void()>& command);
    void Bind(QAction* action, void (Tf_main::*handler)());
    void Bind(TOutlookBtn* button, void (Tf_main::*handler)());

    // The side's switch, peers and notes.
    void Btn_closecomClick();
    void ShowSwitch(bool on);
    void PeerConnected();
    void Note(const QString& note);
    void Btn_watchClick();
    // Sending.
    void Btn_ljfbClick();
    void Timer3Timer();
    void SendLine(const QString& line);
    void StopTimedSending();
    void SetSendNowForStyle();
    void N_sendclearClick();
    void N_fbfsClick();
    void ApplySendStyle(std::uint8_t style, bool timedTicked, double interval);
    void CreateProfileCommands();
    // The peer and milliseconds items and the traffic counters
    // (tcpmon/MainNetwork.cpp).
    void CreateNetworkParts();
    // Dialogs and smaller commands.
    void Btn_setupcomClick();
    void Btn_flilterClick();
    void Btn_triggerClick();
    void N9Click();
    void N_saveprofileClick();
    void N_openprofileClick();
    void Timer2Timer();
    void Btn_savereceiveClick();
    void N_loadreceiveClick();
    void N_savesendClick();
    void N_loadsendClick();
    void N_receiveclearClick();
    void N_verifyClick();
    void N_68Click();
    void ApplyCheckCode(bool frame68);
    void N_showtoolbarClick();
    void N_decodeClick();
    void N_linkwatchClick();
    void N_pointsClick();
    void N_helpClick();
    void About1Click();
    void Btn_exitClick();

    TamrelState state_;
    Prompts prompts_;
    std::unique_ptr<IniFile> iniFile_;
    std::unique_ptr<Side> side_;
    MainActions A;
    std::unique_ptr<MainArea> area_;
    monitor::IntervalTimer* Timer2_ = nullptr;
    monitor::IntervalTimer* Timer3_ = nullptr;
    Tf_sendstyle* F_sendstyle = nullptr;
    Tf_save* F_save = nullptr;
    Tf_filter* F_filter = nullptr;
    monitor::Tf_trigger* F_trigger = nullptr;
    Tf_version* F_version = nullptr;
    HelpWindow* F_help = nullptr;
    Tf_decode* F_decode = nullptr;
    Tf_linkwatch* F_linkwatch = nullptr;
    Tf_points* F_points = nullptr;
    std::unique_ptr<monitor::ReceiveWindowSink> receiveSink_;
    std::unique_ptr<monitor::ReceiveRoute> route_;
    std::unique_ptr<monitor::FrameLogDialogs> fileDialogs_;
    std::unique_ptr<monitor::TrafficCounters> traffic_;
    monitor::ProfileCommands* profiles_ = nullptr;
    monitor::TimedSave* timedSave_ = nullptr;
    monitor::TriggerAnswers triggers_;
    LineRandom random_;
    bool displayPaused_ = false;
    bool closeConfirmed_ = false;
    bool sendErrorShowing_ = false;
    bool sideErrorShowing_ = false;
    bool closed_ = false;
    bool decodeShownBefore_ = false;
    bool linkwatchShownBefore_ = false;
    bool pointsShownBefore_ = false;
    bool settingsWritten_ = true;
};

} // namespace tamrel
