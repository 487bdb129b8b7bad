#include "udpmon/u_main.h"

#include "udpmon/DisplayFilter.h"
#include "udpmon/DockForm.h"
#include "udpmon/OstrelSettings.h"
#include "udpmon/PaintPacer.h"
#include "udpmon/StatusTexts.h"
#include "udpmon/ToolbarImages.h"
#include "udpmon/Triggers.h"
#include "udpmon/SendLineChoice.h"
#include "udpmon/SendStyleConfirm.h"
#include "udpmon/u_csn.h"
#include "udpmon/u_sendstyle.h"
#include "udpmon/u_filter.h"
#include "udpmon/u_save.h"
#include "udpmon/u_trigger.h"
#include "udpmon/u_version.h"

#include "frame/HexText.h"
#include "monitor/CheckCodeLine.h"
#include "monitor/FrameLogDialogs.h"
#include "monitor/IntervalTimer.h"
#include "monitor/SendLineChoice.h"
#include "monitor/TimedSave.h"
#include "platform/Calculator.h"
#include "platform/DateTimeText.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"
#include "widgets/CaretReadout.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/ShowMessage.h"
#include "widgets/StatusPanels.h"
#include "widgets/TF_color.h"
#include "widgets/TSMemo.h"
#include "widgets/TerminationSignals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFont>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>

namespace {

const QColor kLime(0, 255, 0);
const QColor kYellow(255, 255, 0);

// The largest datagram read at once.
constexpr int kReceiveBufferSize = 65536;
// A receive pass that has run this long lets the event loop run (timers,
// input, painting) before it goes on with the datagrams still waiting.
constexpr qint64 kReceivePassBudgetMs = 10;
// Nor does it gather more text for the window than can be laid out in about
// as long (long lines cost the layout time per character).
constexpr qsizetype kReceivePassTextBudget = 50000;
// Lines of a pass with this much text are painted after the event loop has
// run once more.
constexpr qsizetype kReceiveDeferPaintChars = 20000;
// Received lines are painted at most this often (the lines themselves are
// in the window at the end of every pass).
constexpr int kReceivePaintIntervalMs = 25;
// The kernel queue asked for the listening socket.
constexpr int kReceiveQueueBytes = 4 << 20;

const QString kListenOffHint = QStringLiteral("开始监听");
const QString kListenOnHint = QStringLiteral("停止监听");

// Runs an edit operation on the text control that has the input focus.
template <typename Operation>
void OnFocusedEditor(Operation operation)
{
    QWidget* focus = QApplication::focusWidget();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(focus))
        operation(memo);
    else if (auto* line = qobject_cast<QLineEdit*>(focus))
        operation(line);
}

void SetHint(QAction* action, const QString& hint)
{
    action->setToolTip(hint);
    action->setText(hint);
}

// Lays out the received lines of one pass in the window, leaving the same
// lines as appending them one by one would have. The text is left ending
// with a line break (which adds no line): the next lines then go into the
// empty last block, and a long line before them is not laid out again.
void AppendReceivedLines(TSMemo* memo, const ReceiveWindowBatch::Update& update)
{
    if (update.emptyFirst)
        memo->clear();
    if (update.lines.isEmpty())
        return;
    QTextDocument* doc = memo->document();
    QString text;
    if (!doc->isEmpty() && doc->lastBlock().length() > 1)
        text += QLatin1Char('\n');
    text += update.lines.join(QLatin1Char('\n'));
    text += QLatin1Char('\n');

    // The user's caret and selection stay where they were.
    const QTextCursor caret = memo->textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    if (memo->textCursor().anchor() != anchor || memo->textCursor().position() != position) {
        QTextCursor restored(doc);
        restored.setPosition(anchor);
        restored.setPosition(position, QTextCursor::KeepAnchor);
        memo->setTextCursor(restored);
    }
    QScrollBar* bar = memo->verticalScrollBar();
    bar->setValue(bar->maximum());
}

} // namespace

Tf_main::Tf_main(QWidget* parent)
    : QMainWindow(parent)
    , A(this)
{
    setWindowTitle(QStringLiteral("Ostrel-通用以太网UDP通信监测工具（V2.15版）"));
    resize(kStartWidth, kStartHeight);
    CentreOnScreen();
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
    recvBuffer_.resize(kReceiveBufferSize);
    recvPaintPacer_ = new PaintPacer(kReceivePaintIntervalMs, this);
    UDPServer1_.OnDataAvailable = [this](TCustomWSocket* Sender, int Error) { UDPServer1DataAvailable(Sender, Error); };
    CreateRuleDialogs();

    ConnectCommands();
}

Tf_main::~Tf_main() = default;

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

void Tf_main::CentreOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect desktop = screen->availableGeometry();
    move(desktop.center() - QPoint(width() / 2, height() / 2));
}

void Tf_main::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    Panels_ = new StatusPanels(StatusBar1);
    Panels_->AddPanel(200, Qt::AlignLeft);
    Panels_->AddPanel(50, Qt::AlignLeft);
    Panels_->AddPanel(100, Qt::AlignHCenter);
    Panels_->AddPanel(260, Qt::AlignHCenter);
    Panels_->AddPanel(200, Qt::AlignRight);
    StatusBar1->addPermanentWidget(Panels_, 1);
    setStatusBar(StatusBar1);
}

void Tf_main::CreateTextWindows()
{
    recvForm_ = new TDockableForm(QStringLiteral("接收报文"), kLime, this);
    sendForm_ = new TDockableForm(QStringLiteral("发送报文"), kYellow, this);

    // A window dropped onto the other docks beside it, never as a tab of it.
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    addDockWidget(Qt::LeftDockWidgetArea, recvForm_);
    splitDockWidget(recvForm_, sendForm_, Qt::Horizontal);
    for (TDockableForm* form : {recvForm_, sendForm_}) {
        connect(form, &QDockWidget::topLevelChanged, this, [this](bool floating) {
            if (!floating)
                QTimer::singleShot(0, this, &Tf_main::DockFormsSideBySide);
        });
        connect(form, &QDockWidget::dockLocationChanged, this,
                [this] { QTimer::singleShot(0, this, &Tf_main::DockFormsSideBySide); });
    }

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
}

void Tf_main::WriteSettings()
{
    OstrelSettings settings;
    settings.ServerPort = state_.ServerPort;
    settings.ClientHost = state_.ClientHost;
    settings.ClientPort = state_.ClientPort;
    settings.SendLines = SendMemo()->Lines();
    StoreOstrelSettings(*iniFile_, settings);
}

void Tf_main::ConnectCommands()
{
    // A command's exception is shown in the error box right where it is
    // thrown, never passing through the toolkit's event code.
    const auto bind = [this](QAction* action, void (Tf_main::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { RunShowingErrors([this, handler] { (this->*handler)(); }); });
    };

    bind(A.N_receiveclear, &Tf_main::N_receiveclearClick);
    bind(A.N_savereceive, &Tf_main::Btn_savereceiveClick);
    bind(A.N_loadreceive, &Tf_main::Btn_loadrecvClick);
    bind(A.N_savesend, &Tf_main::Btn_savesendClick);
    bind(A.N_loadsend, &Tf_main::Btn_loadsendClick);
    bind(A.N_sendclear, &Tf_main::N_sendclearClick);

    bind(A.N_opencom, &Tf_main::B_openClick);

    for (QAction* copy : {A.Copy1, A.Copy2})
        connect(copy, &QAction::triggered, this, [] { OnFocusedEditor([](auto* e) { e->copy(); }); });
    for (QAction* cut : {A.Cut1, A.Cut2})
        connect(cut, &QAction::triggered, this, [] { OnFocusedEditor([](auto* e) { e->cut(); }); });
    for (QAction* paste : {A.Paste1, A.Paste2})
        connect(paste, &QAction::triggered, this, [] { OnFocusedEditor([](auto* e) { e->paste(); }); });
    for (QAction* selectAll : {A.SelectAll1, A.SelectAll2})
        connect(selectAll, &QAction::triggered, this, [] { OnFocusedEditor([](auto* e) { e->selectAll(); }); });
    for (QAction* undo : {A.Undo1, A.Undo2})
        connect(undo, &QAction::triggered, this, [] { OnFocusedEditor([](auto* e) { e->undo(); }); });
    bind(A.Delete1, &Tf_main::Delete2Click);
    bind(A.Delete2, &Tf_main::Delete2Click);

    bind(A.N_fbfs, &Tf_main::N_fbfsClick);
    bind(A.N_setupcom, &Tf_main::Btn_setupcomClick);
    bind(A.N_recvasc, &Tf_main::Btn_recvascClick);
    bind(A.N_sendasc, &Tf_main::Btn_sendascClick);
    bind(A.N_ljfb, &Tf_main::Btn_ljfbClick);
    bind(A.N_watch, &Tf_main::Btn_watchClick);

    bind(A.N_verify1, &Tf_main::N_verify1Click);
    bind(A.N_68, &Tf_main::N_68Click);
    bind(A.N_verify2, &Tf_main::N_verify2Click);
    bind(A.N_CDT, &Tf_main::N_CDTClick);
    bind(A.N_modbus, &Tf_main::N_modbusClick);
    bind(A.N_dnp, &Tf_main::N_dnpClick);
    bind(A.N_flilter, &Tf_main::Btn_filterClick);
    bind(A.N_trigger, &Tf_main::N_triggerClick);
    bind(A.N_intervalsave, &Tf_main::N_intervalsaveClick);

    bind(A.N_showrecv, &Tf_main::N_showrecvClick);
    bind(A.N_showsend, &Tf_main::N_showsendClick);
    bind(A.N_Showtime, &Tf_main::N_ShowtimeClick);
    bind(A.N_color, &Tf_main::N_colorClick);
    bind(A.N_Calc, &Tf_main::N_CalcClick);
    bind(A.N_showtoolbar, &Tf_main::N_showtoolbarClick);
    bind(A.About1, &Tf_main::About1Click);

    bind(A.P_recv, &Tf_main::N_showrecvClick);
    bind(A.P_send, &Tf_main::N_showsendClick);
    bind(A.P_restore, &Tf_main::Btn_RTopClick);
    bind(A.P_top, &Tf_main::Btn_RTopClick);

    bind(A.B_open, &Tf_main::B_openClick);
    bind(A.Btn_setupcom, &Tf_main::Btn_setupcomClick);
    bind(A.Btn_watch, &Tf_main::Btn_watchClick);
    bind(A.Btn_filter, &Tf_main::Btn_filterClick);
    bind(A.Btn_trigger, &Tf_main::Btn_triggerClick);
    bind(A.Btn_RTop, &Tf_main::Btn_RTopClick);
    bind(A.Btn_savereceive, &Tf_main::Btn_savereceiveClick);
    bind(A.Btn_savesend, &Tf_main::Btn_savesendClick);
    bind(A.Btn_loadrecv, &Tf_main::Btn_loadrecvClick);
    bind(A.Btn_loadsend, &Tf_main::Btn_loadsendClick);
    bind(A.Btn_recvasc, &Tf_main::Btn_recvascClick);
    bind(A.Btn_sendasc, &Tf_main::Btn_sendascClick);
    bind(A.Btn_ljfb, &Tf_main::Btn_ljfbClick);
    bind(A.Btn_help, &Tf_main::About1Click);
    bind(A.Btn_exit, &Tf_main::Btn_exitClick);
}

void Tf_main::CloseWithoutAsking()
{
    unattendedClose_ = true;
    close();
}

void Tf_main::closeEvent(QCloseEvent* event)
{
    // Closing is always allowed; a settings file that cannot be written is
    // reported and the program still ends.
    try {
        WriteSettings();
    } catch (const std::exception& error) {
        settingsWritten_ = false;
        if (unattendedClose_)
            ReportOnStandardError(error);
        else
            ShowErrorBox(error);
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
    return A.B_open->toolTip() != kListenOffHint;
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
    AppendRecvNote(QStringLiteral("开始监听接收端口"));
    UDPServer1_.Close();
    UDPServer1_.SetProto(QStringLiteral("udp"));
    UDPServer1_.SetAddr(QStringLiteral("0.0.0.0"));
    UDPServer1_.SetPort(state_.ServerPort);
    // A failed start leaves every control in the not-listening state, so the
    // next start command starts again.
    UDPServer1_.Listen();
    // A larger queue in the kernel rides out bursts (capped by the system).
    const int queueBytes = kReceiveQueueBytes;
    ::setsockopt(UDPServer1_.SocketHandle(), SOL_SOCKET, SO_RCVBUF, &queueBytes, sizeof(queueBytes));
    // The port bound, which for port 0 the system chose; the setting stays.
    Panels_->SetPanelText(PanelPorts, PortStatusText(UDPServer1_.LocalPort(), state_.ClientHost, state_.ClientPort));
    SetImageIndex(A.B_open, ToolbarImage::ListenOn);
    SetHint(A.B_open, kListenOnHint);
    A.Btn_setupcom->setEnabled(false);
    A.N_setupcom->setEnabled(false);
    A.N_opencom->setText(kListenOnHint);
    UpdateSendNow(SendNowMoment::ListenStart);
}

void Tf_main::StopListening()
{
    AppendRecvNote(QStringLiteral("停止监听接收端口"));
    UDPServer1_.Close();
    Panels_->SetPanelText(PanelPorts, PortStatusText(state_.ServerPort, state_.ClientHost, state_.ClientPort));
    yieldNext_ = false;
    SetImageIndex(A.B_open, ToolbarImage::ListenOff);
    SetHint(A.B_open, kListenOffHint);
    A.Btn_setupcom->setEnabled(true);
    A.N_opencom->setText(kListenOffHint);
    A.N_setupcom->setEnabled(true);
    Timer1()->SetEnabled(false);
    SendMemo()->setReadOnly(false);
}

void Tf_main::Btn_setupcomClick()
{
    F_csn->exec();
}

// ---- Receive path ----

// The socket component calls this once per waiting datagram and goes on
// while datagrams wait. The lines of one pass are laid out together when
// nothing more waits; a pass that has run for its budget ends by not
// reading, and goes on from the event loop once that has run.
void Tf_main::UDPServer1DataAvailable(TCustomWSocket* /*Sender*/, int /*Error*/)
{
    if (yieldNext_) {
        yieldNext_ = false;
        QTimer::singleShot(0, this, &Tf_main::ResumeReceiving);
        return;
    }
    if (!passClock_.isValid())
        passClock_.start();
    ReadOneDatagram();
}

void Tf_main::ResumeReceiving()
{
    if (UDPServer1_.State() != wsListening)
        return;
    passClock_.start();
    try {
        ReadOneDatagram();
    } catch (...) { // NOLINT(bugprone-empty-catch): as in the socket's own pass, a failed answer is not shown
        FlushReceiveWindow();
    }
}

void Tf_main::ReadOneDatagram()
{
    sockaddr_in from{};
    int fromLength = static_cast<int>(sizeof(from));
    const int n = UDPServer1_.ReceiveFrom(recvBuffer_.data(), kReceiveBufferSize, from, fromLength);
    if (n > 0) {
        const auto count = static_cast<std::size_t>(n);
        if (state_.RecvAscii)
            ReceiveAscii(recvBuffer_.data(), count);
        else
            ReceiveHex(recvBuffer_.data(), count);
    }
    // The answer leaves before the lines are laid out, so laying them out
    // never delays it; the lines read so far are laid out also when the
    // answer fails (which ends the pass).
    try {
        if (n > 0 && !state_.RecvAscii && hooks_.MatchTriggers)
            hooks_.MatchTriggers(recvBuffer_.data(), static_cast<std::size_t>(n));
    } catch (...) {
        FlushReceiveWindow();
        passClock_.invalidate();
        throw;
    }
    // The pass ends when nothing more waits or its budget is spent.
    const bool moreWaiting = UDPServer1_.RcvdCount() > 0;
    const bool budgetSpent = (passClock_.isValid() && passClock_.elapsed() >= kReceivePassBudgetMs)
        || recvBatch_.PendingChars() >= kReceivePassTextBudget;
    if (!moreWaiting || budgetSpent) {
        FlushReceiveWindow();
        passClock_.invalidate();
        yieldNext_ = moreWaiting;
    }
}

void Tf_main::ReceiveHex(const std::uint8_t* data, std::size_t n)
{
    const QString hex = monitor::ReceiveHexText(data, n);
    const QString line = monitor::ReceiveDisplayLine(hex, state_.ShowTime, state_.ShowTime ? recvTime_.Now() : QString());
    if (!state_.DisplayPaused) {
        recvBatch_.Begin(RecvMemo()->LineCount());
        recvBatch_.EmptyIfFull();
        if (!hooks_.ApplyDisplayFilter || hooks_.ApplyDisplayFilter(hex))
            recvBatch_.Append(line);
    }
    timedSave_->Capture(line);
}

void Tf_main::ReceiveAscii(const std::uint8_t* data, std::size_t n)
{
    if (state_.DisplayPaused)
        return;
    const QString line = monitor::ReceiveDisplayLine(monitor::ReceiveAsciiText(data, n), state_.ShowTime,
                                            state_.ShowTime ? recvTime_.Now() : QString());
    // The text may hold line breaks of its own: it goes to the window
    // directly, which counts its lines as they are.
    FlushReceiveWindow();
    TSMemo* memo = RecvMemo();
    if (memo->LineCount() > ReceiveWindowBatch::kLineLimit)
        memo->clear();
    memo->AppendLine(line);
}

void Tf_main::FlushReceiveWindow()
{
    if (!recvBatch_.IsOpen())
        return;
    TSMemo* memo = RecvMemo();
    // Long lines cost as much to paint as to lay out: the painting waits
    // until the event loop has run once, so that the two are not one stall.
    if (recvBatch_.PendingChars() >= kReceiveDeferPaintChars && memo->viewport()->updatesEnabled()) {
        memo->viewport()->setUpdatesEnabled(false);
        QTimer::singleShot(0, memo, [memo] { memo->viewport()->setUpdatesEnabled(true); });
    }
    AppendReceivedLines(memo, recvBatch_.Take());
    recvPaintPacer_->Changed(memo);
}

void Tf_main::AppendRecvNote(const QString& line)
{
    FlushReceiveWindow();
    RecvMemo()->AppendLine(line);
}

// ---- Receive display ----

void Tf_main::Btn_watchClick()
{
    if (A.Btn_watch->toolTip() == QStringLiteral("暂停显示")) {
        A.Btn_watch->setChecked(true);
        SetHint(A.Btn_watch, QStringLiteral("继续显示"));
        SetImageIndex(A.Btn_watch, ToolbarImage::DisplayPaused);
        A.N_watch->setText(QStringLiteral("继续显示"));
        state_.DisplayPaused = true;
        AppendRecvNote(QStringLiteral("已暂停显示!"));
    } else {
        A.Btn_watch->setChecked(false);
        SetHint(A.Btn_watch, QStringLiteral("暂停显示"));
        SetImageIndex(A.Btn_watch, ToolbarImage::DisplayRunning);
        A.N_watch->setText(QStringLiteral("暂停显示"));
        state_.DisplayPaused = false;
        AppendRecvNote(QStringLiteral("已恢复显示!"));
    }
}

void Tf_main::Btn_recvascClick()
{
    state_.RecvAscii = !state_.RecvAscii;
    const bool ascii = state_.RecvAscii;
    const QString text = ascii ? QStringLiteral("接收还原到二进制模式") : QStringLiteral("接收切换到ASCII码模式");
    A.Btn_recvasc->setChecked(ascii);
    A.Btn_recvasc->setToolTip(text);
    A.N_recvasc->setText(text);
    A.Btn_filter->setEnabled(!ascii);
    A.Btn_trigger->setEnabled(!ascii);
}

void Tf_main::N_ShowtimeClick()
{
    // The menu has already inverted the check mark.
    state_.ShowTime = A.N_Showtime->isChecked();
}

// ---- Sending ----

void Tf_main::SendDatagram(const std::uint8_t* bytes, std::size_t length)
{
    UDPClient1_.SetProto(QStringLiteral("udp"));
    UDPClient1_.SetAddr(clientAddress_.AddrFor(state_.ClientHost));
    UDPClient1_.SetPort(state_.ClientPort);
    UDPClient1_.SetLocalPort(QStringLiteral("0"));
    UDPClient1_.Connect();
    try {
        // The component sends at most 1514 bytes per datagram; a Send takes
        // an int length, so a longer buffer goes in pieces.
        std::size_t offset = 0;
        while (offset < length) {
            const std::size_t piece = std::min<std::size_t>(length - offset, 1 << 20);
            UDPClient1_.Send(bytes + offset, static_cast<int>(piece));
            offset += piece;
        }
    } catch (...) {
        UDPClient1_.Close();
        throw;
    }
    UDPClient1_.Close();
}

void Tf_main::UpdateSendNow(SendNowMoment moment)
{
    QWidget* button = A.ToolBar1->widgetForAction(A.Btn_ljfb);
    if (state_.SendStyleState.SendStyle == 0) {
        A.Btn_ljfb->setEnabled(false);
        A.N_ljfb->setEnabled(false);
        A.Btn_ljfb->setToolTip(QStringLiteral("请更改循环发送方式为其它"));
        return;
    }
    A.Btn_ljfb->setEnabled(true);
    A.N_ljfb->setEnabled(true);
    A.Btn_ljfb->setToolTip(QStringLiteral("立即发报"));
    if (moment == SendNowMoment::ListenStart && button != nullptr)
        button->setCursor(Qt::PointingHandCursor);
}

void Tf_main::Btn_ljfbClick()
{
    TSMemo* memo = SendMemo();
    if (memo->document()->isEmpty())
        return;
    SendSchedule& schedule = state_.SendStyleState;
    const int lineCount = memo->LineCount();
    const int index = monitor::ChooseSendLine(schedule.SendStyle, memo->CaretLine(), lineCount, schedule.LoopLine, lineRandom_);
    const QString line = memo->Line(index);
    if (schedule.SendAscii) {
        SendAsciiLine(line);
    } else {
        const QByteArray text = line.toUtf8();
        const std::string_view trimmed = TrimSendLine(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        SendHexLine(QString::fromUtf8(trimmed.data(), static_cast<qsizetype>(trimmed.size())));
    }
    if (schedule.SendStyle == 0)
        schedule.LoopLine = monitor::NextLoopLine(
            schedule.LoopLine, lineCount,
            F_sendstyle->RangeOn() ? std::optional(monitor::LoopRange{schedule.LoopFirst, schedule.LoopLast}) : std::nullopt);
}

void Tf_main::SendHexLine(const QString& line)
{
    const QByteArray text = line.toUtf8();
    const HexSendPlan plan = PlanHexSend(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                                         state_.SendStyleState.CopiesPerSend);
    switch (plan.kind) {
    case HexSendPlan::Kind::Nothing:
        return;
    case HexSendPlan::Kind::FormatError:
        StopTimedSendingOnError();
        ShowMessage(SendMessage::FormatError);
        return;
    case HexSendPlan::Kind::TooLong:
        ShowMessage(SendMessage::BufferLimit);
        return;
    case HexSendPlan::Kind::Send:
        SendDatagram(plan.buffer.data(), plan.buffer.size());
        return;
    }
}

void Tf_main::SendAsciiLine(const QString& line)
{
    if (line.isEmpty())
        return;
    // A line of any length is sent whole, as datagrams of at most 1514 bytes.
    const QByteArray bytes = AsciiLineBytes(line);
    SendDatagram(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
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
    const QString text = ascii ? QStringLiteral("发送还原到二进制模式") : QStringLiteral("发送切换到ASCII码模式");
    A.Btn_sendasc->setChecked(ascii);
    A.Btn_sendasc->setToolTip(text);
    A.N_sendasc->setText(text);
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
    UpdateSendNow(SendNowMoment::StyleConfirmed);
    Panels_->SetPanelText(PanelSendStyle, SendStylePanelText(outcome.schedule.SendStyle, outcome.schedule.CopiesPerSend));
    Panels_->SetPanelText(PanelTimed, outcome.timerOn ? QStringLiteral("定时") : QString());
}

// ---- Check codes ----

void Tf_main::N_verify1Click()
{
    ApplyCheckCode(&AddSumCode);
}

void Tf_main::N_68Click()
{
    ApplyCheckCode(&Add68Frame);
}

void Tf_main::N_verify2Click()
{
    ApplyCheckCode(&AddParityCode);
}

void Tf_main::N_CDTClick()
{
    ApplyCheckCode(&AddCdtCode);
}

void Tf_main::N_modbusClick()
{
    ApplyCheckCode(&AddModbusCode);
}

void Tf_main::N_dnpClick()
{
    ApplyCheckCode(&AddDnpCode);
}

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
    F_trigger = new Tf_trigger(state_.TriggerRules, this);
    connect(F_trigger, &Tf_trigger::RulesApplied, this, &Tf_main::ShowTriggerImage);
    F_save = new Tf_save(*Timer1(), this);
    fileDialogs_ = std::make_unique<monitor::FrameLogDialogs>(this);

    hooks_.ApplyDisplayFilter = [this](QStringView hex) {
        return !AnyFilterRuleOn(state_.FilterRules) || ApplyDisplayFilter(state_.FilterRules, hex);
    };
    hooks_.MatchTriggers = [this](const std::uint8_t* data, std::size_t n) { AnswerTrigger(data, n); };
}

void Tf_main::AnswerTrigger(const std::uint8_t* data, std::size_t n)
{
    const std::optional<int> rule = MatchTriggers(state_.TriggerRules, data, n);
    if (!rule)
        return;
    const TriggerRule& matched = state_.TriggerRules[static_cast<std::size_t>(*rule)];
    SendDatagram(matched.ResponseBytes.data(), matched.ResponseCount);
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
                  AnyTriggerEnabled(state_.TriggerRules) ? ToolbarImage::TriggerOn : ToolbarImage::TriggerOff);
}

// ---- Frame logs ----

namespace {

// A loaded receive text of more than 500 lines keeps its last 499, a send
// text of more than 2000 lines its last 1999.
constexpr int kLoadedReceiveLimit = 500;
constexpr int kLoadedSendLimit = 2000;

} // namespace

void Tf_main::Btn_savereceiveClick()
{
    FlushReceiveWindow();
    const QString path = monitor::FrameLogDialogs::Run(*fileDialogs_->SaveDialog1);
    if (!path.isEmpty())
        SaveTextLines(path, RecvMemo()->Lines());
}

void Tf_main::Btn_savesendClick()
{
    const QString path = monitor::FrameLogDialogs::Run(*fileDialogs_->SaveDialog2);
    if (!path.isEmpty())
        SaveTextLines(path, SendMemo()->Lines());
}

void Tf_main::Btn_loadrecvClick()
{
    const QString path = monitor::FrameLogDialogs::Run(*fileDialogs_->OpenDialog1);
    if (path.isEmpty())
        return;
    // Read first: a file that cannot be read leaves the window alone.
    const QStringList lines = LoadTrimmedTextLines(path, kLoadedReceiveLimit);
    FlushReceiveWindow();
    RecvMemo()->SetLines(lines);
}

void Tf_main::Btn_loadsendClick()
{
    const QString path = monitor::FrameLogDialogs::Run(*fileDialogs_->OpenDialog2);
    if (path.isEmpty())
        return;
    const QStringList lines = LoadTrimmedTextLines(path, kLoadedSendLimit);
    SendMemo()->SetLines(lines);
}

void Tf_main::N_receiveclearClick()
{
    FlushReceiveWindow();
    RecvMemo()->clear();
    Panels_->SetPanelText(PanelCaret, QString());
}

void Tf_main::N_sendclearClick()
{
    SendMemo()->clear();
}

void Tf_main::N_intervalsaveClick()
{
    F_save->exec();
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

void Tf_main::DockFormsSideBySide()
{
    // Wherever a window was dropped, the two docked windows stand side by
    // side again, receive on the left, as at start.
    if (arrangingForms_ || recvForm_->isFloating() || sendForm_->isFloating() || recvForm_->isHidden()
        || sendForm_->isHidden())
        return;
    const QRect recv = recvForm_->geometry();
    const QRect send = sendForm_->geometry();
    if (tabifiedDockWidgets(recvForm_).isEmpty() && recv.right() < send.left() && recv.top() == send.top())
        return;
    arrangingForms_ = true;
    removeDockWidget(sendForm_);
    removeDockWidget(recvForm_);
    addDockWidget(Qt::LeftDockWidgetArea, recvForm_);
    splitDockWidget(recvForm_, sendForm_, Qt::Horizontal);
    recvForm_->show();
    sendForm_->show();
    arrangingForms_ = false;
}

void Tf_main::ShowForm(TDockableForm* form)
{
    // A hidden window comes back where it was, docked or floating.
    form->show();
    form->raise();
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
        ShowMessage(QStringLiteral("没有找到计算器程序（gnome-calculator、kcalc、mate-calc、galculator、qalculate-gtk 或 xcalc）。"));
}

void Tf_main::Btn_RTopClick()
{
    // The button's hint tells the mode: "窗口总在最前" is the normal one.
    if (A.Btn_RTop->toolTip() == QStringLiteral("窗口总在最前"))
        EnterCompactMode();
    else
        LeaveCompactMode();
}

void Tf_main::EnterCompactMode()
{
    A.Btn_RTop->setChecked(true);
    SetHint(A.Btn_RTop, QStringLiteral("恢复主窗口"));
    for (QMenu* menu : A.MainMenus)
        menu->menuAction()->setVisible(false);
    A.ToolBar1->setVisible(false);
    StatusBar1->setVisible(false);
    A.P_restore->setEnabled(true);
    A.P_top->setEnabled(false);

    // A small always-on-top tool window in the screen's top-left corner,
    // shown without taking the focus from where it is.
    const QSize keptSize = size();
    const bool wasVisible = isVisible();
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    move(0, 0);
    resize(keptSize);
    if (wasVisible) {
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
}

void Tf_main::LeaveCompactMode()
{
    const QPoint keptPlace = pos();
    const bool wasVisible = isVisible();
    setWindowFlags(Qt::Window);
    StatusBar1->setVisible(true);
    A.P_restore->setEnabled(false);
    A.P_top->setEnabled(true);
    A.Btn_RTop->setChecked(false);
    for (QMenu* menu : A.MainMenus)
        menu->menuAction()->setVisible(true);
    SetHint(A.Btn_RTop, QStringLiteral("窗口总在最前"));
    A.ToolBar1->setVisible(A.N_showtoolbar->isChecked());
    move(keptPlace);
    resize(kRestoredWidth, kRestoredHeight);
    if (wasVisible)
        show();
}

// ---- Edit and program ----

void Tf_main::Delete2Click()
{
    TSMemo* memo = RecvMemo()->hasFocus() ? RecvMemo() : SendMemo();
    if (memo->isReadOnly())
        return;
    QTextCursor cursor = memo->textCursor();
    cursor.removeSelectedText();
    memo->setTextCursor(cursor);
}

void Tf_main::About1Click()
{
    F_version->exec();
}

void Tf_main::Btn_exitClick()
{
    close();
}
