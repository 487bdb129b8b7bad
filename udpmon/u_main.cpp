#include "udpmon/u_main.h"

#include "monitor/Language.h"
#include "widgets/HelpWindow.h"
#include "widgets/WindowFit.h"

#include "udpmon/DockForm.h"
#include "udpmon/EditCommands.h"
#include "udpmon/OstrelSettings.h"
#include "udpmon/DatagramSender.h"
#include "udpmon/MainView.h"
#include "udpmon/ReceivePass.h"
#include "udpmon/StatusTexts.h"
#include "udpmon/ToolbarImages.h"
#include "udpmon/SendPlan.h"
#include "udpmon/SendStyleConfirm.h"
#include "udpmon/u_csn.h"
#include "udpmon/u_sendstyle.h"
#include "udpmon/u_filter.h"
#include "udpmon/u_save.h"
#include "udpmon/u_version.h"

#include "monitor/CheckCodeLine.h"
#include "monitor/DecodePanel.h"
#include "monitor/LinkPanel.h"
#include "monitor/FrameLogDialogs.h"
#include "monitor/IntervalTimer.h"
#include "monitor/ReceiveRoute.h"
#include "monitor/ReceiveWindowSink.h"
#include "monitor/SendLineChoice.h"
#include "monitor/TimedSave.h"
#include "monitor/TrafficCounters.h"
#include "monitor/Triggers.h"
#include "monitor/u_trigger.h"
#include "platform/Calculator.h"
#include "platform/FreeMemory.h"
#include "platform/IniFile.h"
#include "widgets/BatchedLineWriter.h"
#include "widgets/CaretReadout.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/ShowMessage.h"
#include "widgets/StatusPanels.h"
#include "widgets/TF_color.h"
#include "widgets/TSMemo.h"
#include "widgets/TerminationSignals.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFont>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

namespace ostrel {

namespace {

const QColor kLime(0, 255, 0);
const QColor kYellow(255, 255, 0);

// The receive window is emptied when it holds more than this many lines as
// a received line is to be added, so it holds at most 101 received lines.
constexpr int kReceiveWindowLineLimit = 100;

} // namespace

Tf_main::Tf_main(QWidget* parent)
    : QMainWindow(parent)
    , A(this)
{
    setWindowTitle(tr("Ostrel-通用以太网UDP通信监测工具（V2.15版）"));
    // Wider only where the style draws the toolbar wider than the start
    // width, smaller only on a screen smaller than the window.
    A.ToolBar1->ensurePolished();
    resize(StartSize(QSize(kStartWidth, kStartHeight), A.ToolBar1->sizeHint().width(), *this));
    CentreOnScreen(*this);
    CreateStatusBar();
    CreateTextWindows();
    ReadSettings();

    Panels_->SetPanelText(PanelSendStyle, SendStyleStartText(state_.SendStyleState.CopiesPerSend));
    Panels_->SetPanelText(PanelPorts, PortStatusText(state_.ServerPort, state_.ClientHost, state_.ClientPort));
    Panels_->SetPanelText(PanelCredit, CreditText());

    F_version = new Tf_version(this);
    F_color = new TF_color(RecvMemo(), SendMemo(), this);
    // Received lines are hex digits and spaces: laying them out needs no
    // text shaping, which keeps long lines cheap.
    QFont recvFont = RecvMemo()->font();
    recvFont.setStyleStrategy(QFont::PreferNoShaping);
    RecvMemo()->setFont(recvFont);

    F_csn = new TF_csn(state_, this);
    connect(F_csn, &TF_csn::PortsChanged, this, [this] {
        Panels_->SetPanelText(PanelPorts, PortStatusText(state_.ServerPort, state_.ClientHost, state_.ClientPort));
    });

    F_sendstyle = new Tf_sendstyle(state_.SendStyleState, this);
    connect(F_sendstyle, &Tf_sendstyle::Confirmed, this, &Tf_main::SendStyleConfirmed);

    timedSave_ = new monitor::TimedSave(state_.SaveNumber, [](const std::exception& error) { ShowErrorBox(error); }, this);
    Timer3_ = new monitor::IntervalTimer(this);
    connect(Timer3_, &monitor::IntervalTimer::OnTimer, this,
            [this] { RunShowingErrorsUnlessBusy(sendTickBusy_, [this] { Btn_ljfbClick(); }); });
    CreateReceivePass();
    CreateRuleDialogs();
    CreateNetworkParts();
    CreateProfileCommands();

    ConnectCommands();
}

Tf_main::~Tf_main() = default;

void Tf_main::CreateReceivePass()
{
    // Every pass's lines wait for the window's paced flushes.
    recvSink_ = std::make_unique<monitor::ReceiveWindowSink>(RecvMemo(),
        monitor::ReceiveWindowSink::kDatagramPacing, 0, kReceiveWindowLineLimit, -1, this);
    recvSink_->Writer().SetFinalLineBreak(true);
    sender_ = std::make_unique<DatagramSender>(state_);
    route_ = std::make_unique<monitor::ReceiveRoute>(*recvSink_, *timedSave_, OstrelReceivePolicy(state_, *sender_),
                                                     OstrelReceiveSwitches(state_));
    receivePass_ = new ReceivePass(state_, *route_, this);
    // Every datagram sent (send now, the send timer, trigger answers) is told
    // to the route's sent-frame observers; the decode window pairs a
    // response with the last of them.
    sender_->TellRoute(*route_);
    decodeForm_->Panel->FollowSent(*route_);
    // The link supervision window, hidden at start, below the decode window.
    linkForm_ = CreateLinkForm(*this, *route_, state_, RecvMemo(), SendMemo(), [this] { FlushReceiveWindow(); });
    connect(linkForm_, &QDockWidget::visibilityChanged, A.N_linkwatch, &QAction::setChecked);
    // The point table window, hidden at start, likewise.
    pointForm_ = CreatePointForm(*this, *route_, *decodeForm_, *A.N_decode);
    connect(pointForm_, &QDockWidget::visibilityChanged, A.N_points, &QAction::setChecked);
}

monitor::ReceivePolicy& Tf_main::ReceiveRules()
{
    return route_->Policy();
}

TWSocket& Tf_main::UDPServer1()
{
    return receivePass_->UDPServer1();
}

TSMemo* Tf_main::RecvMemo() const
{
    return recvForm_->Memo1;
}

TSMemo* Tf_main::SendMemo() const
{
    return sendForm_->Memo1;
}

CaptureBuffer& Tf_main::SMemo1()
{
    return timedSave_->SMemo1();
}

monitor::IntervalTimer* Tf_main::Timer1() const
{
    return timedSave_->Timer1();
}

void Tf_main::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    Panels_ = new StatusPanels(StatusBar1);
    for (const auto& [width, alignment] : {std::pair{200, Qt::AlignLeft}, std::pair{50, Qt::AlignLeft},
                                           std::pair{100, Qt::AlignHCenter}, std::pair{260, Qt::AlignHCenter},
                                           std::pair{200, Qt::AlignRight}})
        Panels_->AddPanel(width, alignment);
    // The start size cuts the port panel; in English the panels before it
    // give way to their shorter texts, so that it is whole there.
    Panels_->SetGivesWayToTexts(monitor::InstalledLanguage() == monitor::Language::English);
    StatusBar1->addPermanentWidget(Panels_, 1);
    setStatusBar(StatusBar1);
}

void Tf_main::CreateTextWindows()
{
    recvForm_ = new TDockableForm(tr("接收报文"), kLime, this);
    sendForm_ = new TDockableForm(tr("发送报文"), kYellow, this);

    new SideBySideDocks(this, recvForm_, sendForm_);

    // The decode window stands at the right of the pair, hidden at start;
    // its menu item's check mark follows it (also when its close button or
    // the window system hides it).
    decodeForm_ = new TDecodeForm(this);
    addDockWidget(Qt::RightDockWidgetArea, decodeForm_);
    decodeForm_->hide();
    decodeForm_->Panel->SetSources(RecvMemo(), [this] { return RecvLineRule(state_); }, SendMemo(),
                                   [this] { return SendLineRule(state_); });
    connect(decodeForm_, &QDockWidget::visibilityChanged, A.N_decode, &QAction::setChecked);

    for (TSMemo* memo : {RecvMemo(), SendMemo()}) {
        memo->SetPopupMenu(A.PopupMenu1);
        ConnectCaretReadout(memo, [this](const QString& text) { Panels_->SetPanelText(PanelCaret, text); });
    }
}

void Tf_main::ReadSettings()
{
    iniFile_ = std::make_unique<IniFile>(OstrelSettingsPath(QDir::currentPath()));
    const OstrelSettings settings = ReadOstrelSettings(*iniFile_);
    state_.ServerPort = settings.ServerPort;
    state_.ClientHost = settings.ClientHost;
    state_.ClientPort = settings.ClientPort;
    SendMemo()->SetLines(settings.SendLines);
    ReadNetworkSettings(settings);
}

void Tf_main::WriteSettings()
{
    OstrelSettings settings;
    settings.ServerPort = state_.ServerPort;
    settings.ClientHost = state_.ClientHost;
    settings.ClientPort = state_.ClientPort;
    settings.SendLines = SendMemo()->Lines();
    StoreNetworkSettings(settings);
    StoreOstrelSettings(*iniFile_, settings);
}

void Tf_main::ConnectCommands()
{
    // A command's exception is shown in the error box right where it is
    // thrown, never passing through the toolkit's event code.
    for (const MainActions::CommandEntry& command : A.Commands()) {
        const QByteArray handler = QByteArray(command.handler);
        if (metaObject()->indexOfMethod(handler + "()") < 0)
            qFatal("Tf_main has no command %s", command.handler);
        connect(command.entry, &QAction::triggered, this, [this, handler] {
            RunShowingErrors([this, &handler] { QMetaObject::invokeMethod(this, handler.constData(), Qt::DirectConnection); });
        });
    }
    ConnectEditCommands(A, this, RecvMemo(), SendMemo());
    // The check-code commands on the send window's caret line.
    for (const MainActions::CheckCodeEntry& command : A.CheckCodeCommands()) {
        connect(command.entry, &QAction::triggered, this,
                [this, code = command.code] { RunShowingErrors([this, code] { ApplyCheckCode(code); }); });
    }
}

void Tf_main::CloseWithoutAsking()
{
    unattendedClose_ = true;
    close();
}

void Tf_main::closeEvent(QCloseEvent* event)
{
    // Closing is always allowed; a settings file or a last timed save that
    // cannot be written is reported and the program still ends.
    const auto report = [this](const std::exception& error) {
        unattendedClose_ ? ReportOnStandardError(error) : ShowErrorBox(error);
    };
    try {
        // What was captured since the last timed save goes to its next file.
        timedSave_->SaveAtEnd();
    } catch (const std::exception& error) {
        report(error);
    }
    try {
        WriteSettings();
    } catch (const std::exception& error) {
        settingsWritten_ = false;
        report(error);
    }
    event->accept();
    emit Closed();
}

QMenu* Tf_main::createPopupMenu()
{
    return nullptr;
}

// ---- Listening and port dialog ----

bool Tf_main::Listening() const
{
    return A.ShowsListening();
}

void Tf_main::B_openClick()
{
    if (Listening())
        StopListening();
    else
        StartListening();
}

void Tf_main::StartListening()
{
    SendMemo()->setReadOnly(Timer3_->Enabled());
    AppendRecvNote(tr("开始监听接收端口"));
    // A failed start leaves every control in the not-listening state, so the
    // next start command starts again.
    receivePass_->SetListenAddress(ListenAddressFor(state_.Ipv4Only));
    receivePass_->Start();
    // The port bound, which for port 0 the system chose; the setting stays.
    Panels_->SetPanelText(PanelPorts, PortStatusText(UDPServer1().LocalPort(), state_.ClientHost, state_.ClientPort));
    A.ShowListening(true);
    A.ShowSendNow(state_.SendStyleState.SendStyle, true);
}

void Tf_main::StopListening()
{
    AppendRecvNote(tr("停止监听接收端口"));
    receivePass_->Stop();
    Panels_->SetPanelText(PanelPorts, PortStatusText(state_.ServerPort, state_.ClientHost, state_.ClientPort));
    A.ShowListening(false);
    Timer1()->SetEnabled(false);
    SendMemo()->setReadOnly(false);
}

void Tf_main::Btn_setupcomClick()
{
    F_csn->exec();
}

// ---- Receive window ----

void Tf_main::FlushReceiveWindow()
{
    recvSink_->Writer().Flush();
}

void Tf_main::DropWaitingReceiveLines()
{
    recvSink_->DropWaitingLines();
}

void Tf_main::AppendRecvNote(const QString& line)
{
    recvSink_->Note(line);
}

// ---- Receive display ----

void Tf_main::Btn_watchClick()
{
    const bool pause = !A.ShowsDisplayPaused();
    A.ShowDisplayPaused(pause);
    state_.DisplayPaused = pause;
    AppendRecvNote(pause ? tr("已暂停显示!") : tr("已恢复显示!"));
}

void Tf_main::Btn_recvascClick()
{
    state_.RecvAscii = !state_.RecvAscii;
    A.ShowRecvAscii(state_.RecvAscii);
    decodeForm_->Panel->Refresh();
}

void Tf_main::N_ShowtimeClick()
{
    // The menu has already inverted the check mark.
    state_.ShowTime = A.N_Showtime->isChecked();
}

// ---- Sending ----

void Tf_main::SendDatagram(const std::uint8_t* bytes, std::size_t length)
{
    sender_->Send(bytes, length);
}

void Tf_main::Btn_ljfbClick()
{
    TSMemo* memo = SendMemo();
    if (memo->document()->isEmpty())
        return;
    const SendNowStep step = PlanSendNow(state_.SendStyleState, memo->CaretLine(), memo->LineCount(),
                                         [memo](int index) { return memo->Line(index); }, F_sendstyle->RangeOn(), lineRandom_);
    const HexSendPlan& plan = step.plan;
    switch (plan.kind) {
    case HexSendPlan::Kind::Nothing:
        break;
    case HexSendPlan::Kind::FormatError:
        StopTimedSendingOnError();
        ShowMessage(monitor::Translated("ostrel::SendMessage", SendMessage::FormatError));
        break;
    case HexSendPlan::Kind::TooLong:
        ShowMessage(monitor::Translated("ostrel::SendMessage", SendMessage::BufferLimit));
        break;
    case HexSendPlan::Kind::Send:
        SendDatagram(plan.buffer.data(), plan.buffer.size());
        break;
    }
    state_.SendStyleState.LoopLine = step.nextLoopLine;
}

void Tf_main::StopTimedSendingOnError()
{
    Timer3_->SetEnabled(false);
    Panels_->SetPanelText(PanelTimed, QString());
    SendMemo()->setReadOnly(false);
    F_sendstyle->UncheckTimed();
}

void Tf_main::Btn_sendascClick()
{
    bool& ascii = state_.SendStyleState.SendAscii;
    ascii = !ascii;
    A.ShowSendAscii(ascii);
    decodeForm_->Panel->Refresh();
}

void Tf_main::N_fbfsClick()
{
    F_sendstyle->exec();
}

void Tf_main::SendStyleConfirmed(const SendStyleOutcome& outcome)
{
    state_.SendStyleState = outcome.schedule;
    if (outcome.timerOn) {
        Timer3_->SetInterval(outcome.timerMs);
        Timer3_->SetEnabled(true);
    } else {
        Timer3_->SetEnabled(false);
    }
    SendMemo()->setReadOnly(outcome.timerOn);
    A.ShowSendNow(outcome.schedule.SendStyle, false);
    Panels_->SetPanelText(PanelSendStyle, SendStylePanelText(outcome.schedule.SendStyle, outcome.schedule.CopiesPerSend));
    Panels_->SetPanelText(PanelTimed, outcome.timerOn ? tr("定时") : QString());
}

// ---- Check codes ----

void Tf_main::ApplyCheckCode(CheckCodeResult (*command)(std::string_view))
{
    TSMemo* memo = SendMemo();
    if (const std::optional<QString> message = monitor::ApplyCheckCodeToCaretLine(*memo, memo->CaretLine(), command))
        ShowMessage(*message);
}

// ---- Filter and triggers ----

void Tf_main::CreateRuleDialogs()
{
    F_filter = new Tf_filter(this);
    F_trigger = new monitor::Tf_trigger(state_.TriggerRules, this);
    connect(F_trigger, &monitor::Tf_trigger::RulesApplied, this, &Tf_main::ShowTriggerImage);
    F_save = new Tf_save(*Timer1(), this);
    fileDialogs_ = std::make_unique<monitor::FrameLogDialogs>(this);
}

void Tf_main::Btn_filterClick()
{
    if (const std::optional<FilterRules> rules = F_filter->Ask())
        state_.FilterRules = *rules;
    ShowFilterImage();
}

void Tf_main::ShowFilterImage()
{
    SetImageIndex(A.Btn_filter, AnyFilterRuleOn(state_.FilterRules) ? ToolbarImage::FilterOn : ToolbarImage::FilterOff);
}

void Tf_main::Btn_triggerClick()
{
    F_trigger->exec();
    ShowTriggerImage();
}

void Tf_main::N_triggerClick()
{
    Btn_triggerClick();
}

void Tf_main::ShowTriggerImage()
{
    SetImageIndex(A.Btn_trigger,
                  monitor::AnyTriggerEnabled(state_.TriggerRules) ? ToolbarImage::TriggerOn : ToolbarImage::TriggerOff);
}

// ---- View ----

void Tf_main::N_showrecvClick()
{
    ShowForm(recvForm_);
}

void Tf_main::N_showsendClick()
{
    ShowForm(sendForm_);
}

void Tf_main::ShowForm(TDockableForm* form)
{
    // A hidden window comes back where it was, docked or floating.
    form->show();
    form->raise();
}

void Tf_main::N_decodeClick()
{
    // The menu has already inverted the check mark.
    ShowRightDock(*this, decodeForm_, A.N_decode->isChecked(), decodeFormShownBefore_);
}

void Tf_main::N_linkwatchClick()
{
    ShowRightDock(*this, linkForm_, A.N_linkwatch->isChecked(), linkFormShownBefore_);
}

void Tf_main::N_pointsClick()
{
    ShowRightDock(*this, pointForm_, A.N_points->isChecked(), pointFormShownBefore_);
}

void Tf_main::N_showtoolbarClick()
{
    // Check mark and toolbar change together, also while the toolbar floats.
    const bool shown = !A.ToolBar1->isHidden();
    A.N_showtoolbar->setChecked(!shown);
    A.ToolBar1->setVisible(!shown);
}

void Tf_main::N_colorClick()
{
    F_color->exec();
}

void Tf_main::N_CalcClick()
{
    if (!StartCalculator())
        ShowMessage(
            tr("没有找到计算器程序（gnome-calculator、kcalc、mate-calc、galculator、qalculate-gtk 或 xcalc）。"));
}

void Tf_main::Btn_RTopClick()
{
    if (InCompactMode(A))
        LeaveCompactMode(*this, A, StatusBar1, QSize(kRestoredWidth, kRestoredHeight));
    else
        EnterCompactMode(*this, A, StatusBar1);
}

// ---- Edit and program ----

void Tf_main::N_helpClick()
{
    if (F_help == nullptr)
        F_help = new HelpWindow(
            monitor::PageInLanguage(QStringLiteral(":/ostrel/help/Ostrel.html"), monitor::InstalledLanguage()), this);
    F_help->ShowGuide();
}

void Tf_main::About1Click()
{
    F_version->exec();
}

void Tf_main::Btn_exitClick()
{
    close();
}

} // namespace ostrel
