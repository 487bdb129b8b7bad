#include "udpmon/u_main.h"

#include "udpmon/DockForm.h"
#include "udpmon/OstrelSettings.h"
#include "udpmon/StatusTexts.h"
#include "udpmon/ToolbarImages.h"
#include "udpmon/u_version.h"

#include "platform/Calculator.h"
#include "platform/IniFile.h"
#include "widgets/CaretReadout.h"
#include "widgets/ErrorBoxApplication.h"
#include "widgets/ShowMessage.h"
#include "widgets/StatusPanels.h"
#include "widgets/TF_color.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

namespace {

const QColor kLime(0, 255, 0);
const QColor kYellow(255, 255, 0);

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

    setDockNestingEnabled(true);
    addDockWidget(Qt::LeftDockWidgetArea, recvForm_);
    splitDockWidget(recvForm_, sendForm_, Qt::Horizontal);

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

void Tf_main::closeEvent(QCloseEvent* event)
{
    // Closing is always allowed; a settings file that cannot be written is
    // reported and the program still ends.
    try {
        WriteSettings();
    } catch (const std::exception& error) {
        ShowErrorBox(error);
    }
    event->accept();
    emit Closed();
}

QMenu* Tf_main::createPopupMenu()
{
    return nullptr;
}

// ---- Listening and port dialog (to come with the socket layer) ----

void Tf_main::B_openClick() {}

void Tf_main::Btn_setupcomClick() {}

// ---- Receive display ----

void Tf_main::Btn_watchClick()
{
    if (A.Btn_watch->toolTip() == QStringLiteral("暂停显示")) {
        A.Btn_watch->setChecked(true);
        SetHint(A.Btn_watch, QStringLiteral("继续显示"));
        SetImageIndex(A.Btn_watch, ToolbarImage::DisplayPaused);
        A.N_watch->setText(QStringLiteral("继续显示"));
        state_.DisplayPaused = true;
        RecvMemo()->AppendLine(QStringLiteral("已暂停显示!"));
    } else {
        A.Btn_watch->setChecked(false);
        SetHint(A.Btn_watch, QStringLiteral("暂停显示"));
        SetImageIndex(A.Btn_watch, ToolbarImage::DisplayRunning);
        A.N_watch->setText(QStringLiteral("暂停显示"));
        state_.DisplayPaused = false;
        RecvMemo()->AppendLine(QStringLiteral("已恢复显示!"));
    }
}

void Tf_main::Btn_recvascClick()
{
    // The mode switch comes with the receive path; the button keeps its look.
    A.Btn_recvasc->setChecked(state_.RecvAscii);
}

void Tf_main::N_ShowtimeClick()
{
    // The menu has already inverted the check mark.
    state_.ShowTime = A.N_Showtime->isChecked();
}

// ---- Sending (to come with the send path) ----

void Tf_main::Btn_ljfbClick() {}

void Tf_main::Btn_sendascClick()
{
    A.Btn_sendasc->setChecked(state_.SendStyleState.SendAscii);
}

void Tf_main::N_fbfsClick() {}

// ---- Check codes (to come with the check-code commands) ----

void Tf_main::N_verify1Click() {}

void Tf_main::N_68Click() {}

void Tf_main::N_verify2Click() {}

void Tf_main::N_CDTClick() {}

void Tf_main::N_modbusClick() {}

void Tf_main::N_dnpClick() {}

// ---- Filter and triggers (to come with their dialogs) ----

void Tf_main::Btn_filterClick() {}

void Tf_main::Btn_triggerClick() {}

void Tf_main::N_triggerClick() {}

// ---- Frame logs (to come with saving and loading) ----

void Tf_main::Btn_savereceiveClick() {}

void Tf_main::Btn_savesendClick() {}

void Tf_main::Btn_loadrecvClick() {}

void Tf_main::Btn_loadsendClick() {}

void Tf_main::N_receiveclearClick() {}

void Tf_main::N_sendclearClick() {}

void Tf_main::N_intervalsaveClick() {}

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
