#include "tcpmon/Main.h"

#include "widgets/HelpWindow.h"
#include "widgets/WindowFit.h"

#include "tcpmon/LineLimits.h"
#include "tcpmon/MainActions.h"
#include "tcpmon/MainArea.h"
#include "tcpmon/ReceiveFilter.h"
#include "tcpmon/SendRules.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/u_decode.h"
#include "tcpmon/u_linkwatch.h"
#include "tcpmon/u_points.h"
#include "tcpmon/u_filter.h"
#include "tcpmon/u_save.h"
#include "tcpmon/u_sendstyle.h"
#include "tcpmon/u_version.h"

#include "frame/CheckCodes.h"
#include "monitor/CheckCodeLine.h"
#include "monitor/DecodePanel.h"
#include "monitor/LinkPanel.h"
#include "monitor/FrameLogDialogs.h"
#include "monitor/IntervalTimer.h"
#include "monitor/Language.h"
#include "monitor/NetworkChoices.h"
#include "monitor/ReceiveRoute.h"
#include "monitor/TrafficCounters.h"
#include "monitor/ReceiveWindowSink.h"
#include "monitor/TimedSave.h"
#include "monitor/TriggerAnswers.h"
#include "monitor/u_trigger.h"
#include "platform/Conversions.h"
#include "platform/DateTimeText.h"
#include "platform/FreeMemory.h"
#include "platform/IniFile.h"
#include "widgets/BatchedLineWriter.h"
#include "widgets/CaretReadout.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/StatusPanels.h"
#include "widgets/TSMemo.h"
#include "widgets/TerminationSignals.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QToolBar>

#include <algorithm>
#include <array>
#include <stdexcept>

// The images are compiled into this static library; a static library's
// resources must be registered by hand.
static void InitTamrelResources()
{
    Q_INIT_RESOURCE(tamrel);
}

namespace tamrel {

namespace {

// Made when asked, in the language installed by then.
QString ExitText()
{
    return Tf_main::tr("您真要退出吗？提醒您保存数据！");
}
QString ExitTitle()
{
    return Tf_main::tr("退出应用程序？");
}

} // namespace

Tf_main::Tf_main(const QString& settingsPath, Prompts prompts, QWidget* parent)
    : Tf_main(settingsPath, std::move(prompts), std::make_unique<ServerSide>(), parent)
{
}

Tf_main::Tf_main(const QString& settingsPath, Prompts prompts, std::unique_ptr<Side> side, QWidget* parent)
    : QMainWindow(parent)
    , prompts_(std::move(prompts))
    , side_(std::move(side))
    , A((InitTamrelResources(), *this), side_->Words())
{
    setWindowTitle(side_->Words().windowTitle);
    resize(kStartWidth + side_->Words().panelWidth - Side::Texts{}.panelWidth, kStartHeight);
    // Topmost once shown: it stays above other programs' windows.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    BindMenu();
    BindToolBar();
    area_ = std::make_unique<MainArea>(*this, side_->Words().credit, side_->Words().panelWidth);
    for (TSMemo* memo : {area_->Memo1, area_->Memo2})
        ConnectCaretReadout(memo, [this](const QString& text) { area_->Panels->SetPanelText(PanelCaret, text); });

    timedSave_ = new monitor::TimedSave(state_.SaveNumber, [this](const std::exception& error) { prompts_.ErrorBox(error); }, this);
    Timer1()->SetInterval(60000);
    CreateSession();
    Timer2_ = new monitor::IntervalTimer(1000, this);
    Timer3_ = new monitor::IntervalTimer(1000, this);
    connect(Timer2_, &monitor::IntervalTimer::OnTimer, this, &Tf_main::Timer2Timer);
    connect(Timer3_, &monitor::IntervalTimer::OnTimer, this, &Tf_main::Timer3Timer);
    Timer2_->SetEnabled(true);
    Timer2Timer();

    // The settings: read once here, written once at the end.
    iniFile_ = std::make_unique<IniFile>(settingsPath);
    side_->ReadSettings(*iniFile_);
    monitor::ReadTriggerSettings(*iniFile_, triggers_);
    area_->Panels->SetPanelText(PanelPort, side_->PanelText());
    state_.LoopLine = 0;
    state_.SaveNumber = 0;
    state_.SendStyle = StyleSingle;
    state_.SendInterval = 1.0;

    CreateDialogs();
    CreateNetworkParts();
    CreateProfileCommands();

    // Smaller only on a screen smaller than the window (a large scale
    // factor); wider only where the style draws the toolbar wider.
    A.ToolBar1->ensurePolished();
    resize(StartSize(size(), A.ToolBar1->sizeHint().width(), *this));
}

Tf_main::~Tf_main()
{
    // No socket event may reach the window while it is taken apart.
    side_.reset();
}

// ---- construction ----

void Tf_main::BindMenu()
{
    Bind(A.N_receiveclear, &Tf_main::N_receiveclearClick);
    Bind(A.N_savereceive, &Tf_main::Btn_savereceiveClick);
    Bind(A.N_loadreceive, &Tf_main::N_loadreceiveClick);
    Bind(A.N_savesend, &Tf_main::N_savesendClick);
    Bind(A.N_loadsend, &Tf_main::N_loadsendClick);
    Bind(A.N_sendclear, &Tf_main::N_sendclearClick);
    Bind(A.N_startlisten, &Tf_main::Btn_closecomClick);
    Bind(A.N_stoplisten, &Tf_main::Btn_closecomClick);
    Bind(A.N_fbfs, &Tf_main::N_fbfsClick);
    Bind(A.N_setupcom, &Tf_main::Btn_setupcomClick);
    Bind(A.N_ljfb, &Tf_main::Btn_ljfbClick);
    Bind(A.N_watch, &Tf_main::Btn_watchClick);
    Bind(A.N_verify, &Tf_main::N_verifyClick);
    Bind(A.N_68, &Tf_main::N_68Click);
    Bind(A.N_flilter, &Tf_main::Btn_flilterClick);
    Bind(A.N_trigger, &Tf_main::Btn_triggerClick);
    Bind(A.N9, &Tf_main::N9Click);
    Bind(A.N_saveprofile, &Tf_main::N_saveprofileClick);
    Bind(A.N_openprofile, &Tf_main::N_openprofileClick);
    Bind(A.N_showtoolbar, &Tf_main::N_showtoolbarClick);
    Bind(A.N_decode, &Tf_main::N_decodeClick);
    Bind(A.N_linkwatch, &Tf_main::N_linkwatchClick);
    Bind(A.N_points, &Tf_main::N_pointsClick);
    Bind(A.N_help, &Tf_main::N_helpClick);
    Bind(A.About1, &Tf_main::About1Click);
}

void Tf_main::BindToolBar()
{
    Bind(A.Btn_closecom, &Tf_main::Btn_closecomClick);
    Bind(A.Btn_setupcom, &Tf_main::Btn_setupcomClick);
    Bind(A.Btn_watch, &Tf_main::Btn_watchClick);
    Bind(A.Btn_flilter, &Tf_main::Btn_flilterClick);
    Bind(A.Btn_trigger, &Tf_main::Btn_triggerClick);
    Bind(A.Btn_ljfb, &Tf_main::Btn_ljfbClick);
    Bind(A.Btn_savereceive, &Tf_main::Btn_savereceiveClick);
    Bind(A.Btn_loadsend, &Tf_main::N_loadsendClick);
    Bind(A.Btn_exit, &Tf_main::Btn_exitClick);
}

void Tf_main::CreateSession()
{
    // Each chunk's line waits for the window; a client that paused after a
    // few lines sees them at once.
    receiveSink_ = std::make_unique<monitor::ReceiveWindowSink>(area_->Memo1,
        monitor::ReceiveWindowSink::kStreamPacing, kDisplayDelayMs, kReceiveWindowLineLimit, kShowAtOnceLines, this);
    route_ = std::make_unique<monitor::ReceiveRoute>(
        *receiveSink_, *timedSave_,
        TamrelReceivePolicy(
            state_, [this] { return F_filter->RuleInputs(state_.FilterRuleOn); }, triggers_,
            [this](std::span<const std::uint8_t> response) { side_->Send(response); }),
        monitor::ReceiveSwitches{&displayPaused_, nullptr, nullptr, &state_.Millis, &state_.ShowSource});
    side_->events.switched = [this](bool on) { ShowSwitch(on); };
    side_->events.panelChanged = [this] { area_->Panels->SetPanelText(PanelPort, side_->PanelText()); };
    side_->events.note = [this](const QString& note) { Note(note); };
    side_->events.peerConnected = [this] { PeerConnected(); };
    // One box at a time: a failure while the box of an earlier one is open
    // (a reconnection every few seconds) shows nothing more.
    side_->events.failed = [this](const QString& message) {
        RunShowingErrorsUnlessBusy(
            sideErrorShowing_, [&message] { throw std::runtime_error(message.toStdString()); }, prompts_.ErrorBox);
    };
    side_->Create(*route_, *this, state_);
}

ServerSide& Tf_main::Server() const
{
    return dynamic_cast<ServerSide&>(*side_);
}

BatchedLineWriter* Tf_main::ReceiveLines() const
{
    return &receiveSink_->Writer();
}

void Tf_main::CreateDialogs()
{
    F_sendstyle = new Tf_sendstyle(prompts_, this);
    F_save = new Tf_save(this);
    F_filter = new Tf_filter(this);
    F_trigger = new monitor::Tf_trigger(triggers_, this);
    A.ShowTriggers(triggers_.AnyEnabled());
    F_version = new Tf_version(side_->Words().aboutTitle, side_->Words().aboutNote, this);
    // The decode window, hidden at start; the menu item's check mark follows
    // it, also when its own close button hides it.
    F_decode = new Tf_decode(this);
    F_decode->Panel->SetSources(area_->Memo1, [] { return monitor::FrameLineRule::Receive; },
                                area_->Memo2, [] { return monitor::FrameLineRule::SendAsTyped; });
    F_decode->Panel->SetDevice(side_->Words().peerAsks ? decode::DeviceRole::Asks : decode::DeviceRole::Answers);
    connect(F_decode, &Tf_decode::VisibilityChanged, A.N_decode, &QAction::setChecked);
    // A response in the receive window pairs with the last frame sent.
    F_decode->Panel->FollowSent(*route_);
    // The link supervision window, hidden at start, likewise; it watches
    // each connection as one link.
    F_linkwatch = new Tf_linkwatch(this);
    F_linkwatch->Panel->SetSources(*route_, true, area_->Memo1, [] { return monitor::FrameLineRule::Receive; },
                                   area_->Memo2, [] { return monitor::FrameLineRule::SendAsTyped; },
                                   [this] { receiveSink_->Writer().Flush(); });
    F_linkwatch->Panel->SetDevice(side_->Words().peerAsks ? decode::DeviceRole::Asks : decode::DeviceRole::Answers);
    connect(F_linkwatch, &Tf_linkwatch::VisibilityChanged, A.N_linkwatch, &QAction::setChecked);
    F_points = new Tf_points(*route_, *F_decode, *A.N_decode, side_->Words().peerAsks, this);
    connect(F_points, &Tf_points::VisibilityChanged, A.N_points, &QAction::setChecked);
    fileDialogs_ = std::make_unique<monitor::FrameLogDialogs>(this);
}

void Tf_main::Guarded(const std::function<void()>& command)
{
    RunShowingErrors(command, prompts_.ErrorBox);
}

monitor::IntervalTimer* Tf_main::Timer1() const
{
    return timedSave_->Timer1();
}

CaptureBuffer& Tf_main::SMemo1()
{
    return timedSave_->SMemo1();
}

// A command sees and edits the receive window with every line read so far.
void Tf_main::Bind(QAction* action, void (Tf_main::*handler)())
{
    connect(action, &QAction::triggered, this, [this, handler] {
        receiveSink_->Writer().Flush();
        Guarded([this, handler] { (this->*handler)(); });
    });
}

void Tf_main::Bind(TOutlookBtn* button, void (Tf_main::*handler)())
{
    connect(button, &TOutlookBtn::clicked, this, [this, handler] {
        receiveSink_->Writer().Flush();
        Guarded([this, handler] { (this->*handler)(); });
    });
}

QString Tf_main::PanelText(Panel panel) const
{
    return area_->Panels->PanelText(panel);
}

// ---- layout ----

void Tf_main::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    area_->Place();
}

void Tf_main::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    area_->Place();
}

QMenu* Tf_main::createPopupMenu()
{
    return nullptr;
}

// ---- closing ----

void Tf_main::CloseWithoutAsking()
{
    closeConfirmed_ = true;
    close();
}

void Tf_main::Btn_exitClick()
{
    close();
}

void Tf_main::closeEvent(QCloseEvent* event)
{
    if (closed_) {
        event->accept();
        return;
    }
    // A termination signal while the question is open rejects it and
    // confirms the close.
    if (!closeConfirmed_ && !prompts_.Question(ExitText(), ExitTitle()) && !closeConfirmed_) {
        event->ignore();
        return;
    }
    closed_ = true;
    receiveSink_->Writer().Flush();
    side_->Shutdown();
    Timer3_->SetEnabled(false);
    try {
        // What was captured since the last timed save goes to its next file.
        timedSave_->SaveAtEnd();
    } catch (const std::exception& error) {
        if (closeConfirmed_)
            ReportOnStandardError(error);
        else
            prompts_.ErrorBox(error);
    }
    try {
        // The trigger rules only once a user set any: a file of a user who
        // never did stays as it was.
        monitor::StoreTriggerSettings(*iniFile_, triggers_);
        monitor::StoreNetworkChoices(*iniFile_, {state_.ShowSource, state_.Millis, state_.Ipv4Only});
        side_->WriteSettings(*iniFile_);
    } catch (const std::exception& error) {
        settingsWritten_ = false;
        // Closed without asking (a termination signal), nobody may be there
        // to click a box.
        if (closeConfirmed_)
            ReportOnStandardError(error);
        else
            prompts_.ErrorBox(error);
    }
    event->accept();
    emit Closed();
}

// ---- the side's switch, peers and notes ----

void Tf_main::ShowSwitch(bool on)
{
    A.ShowSwitch(on);
    area_->Panels->SetPanelText(PanelPort, side_->PanelText());
}

void Tf_main::Btn_closecomClick()
{
    side_->Switch();
}

void Tf_main::PeerConnected()
{
    SetSendNowForStyle();
    if (state_.SendStyle != StyleLoop)
        A.Btn_ljfb->setCursor(Qt::PointingHandCursor);
}

void Tf_main::Note(const QString& note)
{
    receiveSink_->Writer().Flush();
    area_->Memo1->AppendLine(note);
}

void Tf_main::SetReceivePacing(int readPassMs, int displayDelayMs)
{
    side_->SetReadPassMs(readPassMs);
    receiveSink_->Writer().SetDelay(displayDelayMs);
}

void Tf_main::Btn_watchClick()
{
    const bool pause = !displayPaused_;
    A.ShowDisplayPaused(pause);
    area_->Memo1->setReadOnly(pause);
    displayPaused_ = pause;
}

// ---- dialogs and smaller commands ----

void Tf_main::Btn_setupcomClick()
{
    side_->Setup();
}

void Tf_main::Btn_flilterClick()
{
    if (const std::optional<std::array<bool, 3>> flags = F_filter->Ask())
        state_.FilterRuleOn = *flags;
}

void Tf_main::Btn_triggerClick()
{
    F_trigger->exec();
    A.ShowTriggers(triggers_.AnyEnabled());
}

void Tf_main::N9Click()
{
    const std::optional<Tf_save::Choice> choice = F_save->Ask();
    if (!choice)
        return;
    if (!choice->on) {
        Timer1()->SetEnabled(false);
        return;
    }
    const double minutes = StrToFloat(choice->minutesText);
    Timer1()->SetInterval(TimerPeriodMs(minutes, 60000.0));
    Timer1()->SetEnabled(true);
}

void Tf_main::Timer2Timer()
{
    area_->Panels->SetPanelText(PanelClock, DateTimeText(QDateTime::currentDateTime()));
}

void Tf_main::Btn_savereceiveClick()
{
    monitor::FrameLogDialogs::SaveLines(*fileDialogs_->SaveDialog1, prompts_.RunFileDialog, [this] { return area_->Memo1->Lines(); });
}

void Tf_main::N_loadreceiveClick()
{
    monitor::FrameLogDialogs::LoadLines(*fileDialogs_->OpenDialog1, prompts_.RunFileDialog, monitor::FrameLogDialogs::Window::Receive,
                                        [this](const QStringList& lines) { area_->Memo1->SetLines(lines); });
}

void Tf_main::N_savesendClick()
{
    monitor::FrameLogDialogs::SaveLines(*fileDialogs_->SaveDialog2, prompts_.RunFileDialog, [this] { return area_->Memo2->Lines(); });
}

void Tf_main::N_loadsendClick()
{
    monitor::FrameLogDialogs::LoadLines(*fileDialogs_->OpenDialog2, prompts_.RunFileDialog, monitor::FrameLogDialogs::Window::Send,
                                        [this](const QStringList& lines) {
                                            area_->Memo2->clear();
                                            area_->Memo2->SetLines(lines);
                                        });
}

void Tf_main::N_receiveclearClick()
{
    area_->Memo1->clear();
    traffic_->Reset();
    area_->Panels->SetPanelText(PanelCaret, QString());
    GiveFreedMemoryBack();
}

void Tf_main::N_verifyClick()
{
    ApplyCheckCode(false);
}

void Tf_main::N_68Click()
{
    ApplyCheckCode(true);
}

void Tf_main::ApplyCheckCode(bool frame68)
{
    if (const std::optional<QString> message = monitor::ApplyCheckCodeToCaretLine(
            *area_->Memo2, area_->Memo2->CaretLine(), frame68 ? &Add68Frame : &AddSumCode, monitor::CaretAfterCheckCode::Kept))
        prompts_.Message(*message);
}

void Tf_main::N_showtoolbarClick()
{
    const bool show = A.ToolBar1->isHidden();
    A.N_showtoolbar->setChecked(show);
    A.ToolBar1->setVisible(show);
}

void Tf_main::N_decodeClick()
{
    // The menu has already inverted the check mark.
    ShowBeside(*this, *F_decode, A.N_decode->isChecked(), decodeShownBefore_);
}

void Tf_main::N_linkwatchClick()
{
    ShowBeside(*this, *F_linkwatch, A.N_linkwatch->isChecked(), linkwatchShownBefore_);
}

void Tf_main::N_pointsClick()
{
    ShowBeside(*this, *F_points, A.N_points->isChecked(), pointsShownBefore_);
}

void Tf_main::N_helpClick()
{
    if (F_help == nullptr)
        F_help = new HelpWindow(monitor::PageInLanguage(side_->Words().helpPage, monitor::InstalledLanguage()), this);
    F_help->ShowGuide();
}

void Tf_main::About1Click()
{
    F_version->exec();
}

} // namespace tamrel
