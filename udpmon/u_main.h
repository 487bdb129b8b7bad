#pragma once

#include "udpmon/MainActions.h"
#include "udpmon/OstrelState.h"

#include <QMainWindow>

#include <memory>

class IniFile;
class QStatusBar;
class StatusPanels;
class TDockableForm;
class TF_color;
class TSMemo;
class Tf_version;

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
    [[nodiscard]] TSMemo* RecvMemo() const;
    [[nodiscard]] TSMemo* SendMemo() const;
    [[nodiscard]] StatusPanels* Panels() const { return Panels_; }
    [[nodiscard]] QStatusBar* StatusBar() const { return StatusBar1; }
    [[nodiscard]] TF_color* ColorDialog() const { return F_color; }
    [[nodiscard]] Tf_version* VersionDialog() const { return F_version; }

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

private:
    void CreateStatusBar();
    void CreateTextWindows();
    void ConnectCommands();
    void ReadSettings();
    void WriteSettings();
    void CentreOnScreen();

    // Listening and port dialog.
    void B_openClick();
    void Btn_setupcomClick();
    // Receive display.
    void Btn_watchClick();
    void Btn_recvascClick();
    void N_ShowtimeClick();
    // Sending.
    void Btn_ljfbClick();
    void Btn_sendascClick();
    void N_fbfsClick();
    // Check codes.
    void N_verify1Click();
    void N_68Click();
    void N_verify2Click();
    void N_CDTClick();
    void N_modbusClick();
    void N_dnpClick();
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
    // View.
    void N_showrecvClick();
    void N_showsendClick();
    void ShowForm(TDockableForm* form);
    void N_showtoolbarClick();
    void N_colorClick();
    void N_CalcClick();
    void Btn_RTopClick();
    void EnterCompactMode();
    void LeaveCompactMode();
    // Edit and program.
    void Delete2Click();
    void About1Click();
    void Btn_exitClick();

    OstrelState state_;
    std::unique_ptr<IniFile> iniFile_;
    MainActions A;
    QStatusBar* StatusBar1 = nullptr;
    StatusPanels* Panels_ = nullptr;
    TDockableForm* recvForm_ = nullptr;
    TDockableForm* sendForm_ = nullptr;
    TF_color* F_color = nullptr;
    Tf_version* F_version = nullptr;
};
