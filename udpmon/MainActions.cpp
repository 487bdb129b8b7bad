#include "udpmon/MainActions.h"

#include "udpmon/ToolbarImages.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace ostrel {

namespace {

constexpr int kToolbarIconSize = 20;

QAction* Item(QMenu* menu, const QByteArray& name, const QString& caption, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

struct EditItems {
    QAction*& copy;
    QAction*& cut;
    QAction*& paste;
    QAction*& selectAll;
    QAction*& undo;
    QAction*& del;
};

// The platform's edit actions, named "Copy" + suffix and so on.
void AddEditItems(QMenu* menu, char suffix, const QKeySequence& undoKey, const QString& deleteCaption,
                  const EditItems& items)
{
    const auto name = [suffix](const char* base) { return QByteArray(base) + suffix; };
    items.copy = Item(menu, name("Copy"), QStringLiteral("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    items.cut = Item(menu, name("Cut"), QStringLiteral("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X));
    items.paste = Item(menu, name("Paste"), QStringLiteral("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    items.selectAll = Item(menu, name("SelectAll"), QStringLiteral("Select &All"));
    items.undo = Item(menu, name("Undo"), QStringLiteral("&Undo"), undoKey);
    items.del = Item(menu, name("Delete"), deleteCaption, QKeySequence(Qt::Key_Delete));
}

enum class ButtonStyle { Plain, Check };

QAction* Button(QToolBar* bar, const char* name, const QString& hint, int image,
                ButtonStyle style = ButtonStyle::Plain)
{
    auto* action = new QAction(hint, bar);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(hint);
    action->setCheckable(style == ButtonStyle::Check);
    SetImageIndex(action, image);
    bar->addAction(action);
    return action;
}

} // namespace

MainActions::MainActions(QMainWindow* window)
{
    QMenuBar* bar = window->menuBar();

    QMenu* frames = bar->addMenu(tr("报文处理"));
    N_receiveclear = Item(frames, "N_receiveclear", tr("收报显示清空"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    frames->addSeparator();
    N_savereceive = Item(frames, "N_savereceive", tr("保存收报..."));
    N_loadreceive = Item(frames, "N_loadreceive", tr("提取收报..."));
    frames->addSeparator();
    N_savesend = Item(frames, "N_savesend", tr("保存发报..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    N_loadsend = Item(frames, "N_loadsend", tr("提取发报..."));
    frames->addSeparator();
    N_sendclear = Item(frames, "N_sendclear", tr("发报内容清空"));

    QMenu* listen = bar->addMenu(tr("端口监听"));
    N_opencom = Item(listen, "N_opencom", tr("开始监听"), QKeySequence(Qt::Key_F4));

    QMenu* edit = bar->addMenu(tr("编辑"));
    AddEditItems(edit, '1', QKeySequence(Qt::ALT | Qt::Key_Backspace), QStringLiteral("&Delete"),
                 {Copy1, Cut1, Paste1, SelectAll1, Undo1, Delete1});

    QMenu* settings = bar->addMenu(tr("参数设置"));
    N_fbfs = Item(settings, "N_fbfs", tr("发报方式..."));
    N_setupcom = Item(settings, "N_setupcom", tr("串口配置..."));
    N_setupcom->setEnabled(false);
    N_network = Item(settings, "N_network", tr("网络与组播..."));
    settings->addSeparator();
    N_recvasc = Item(settings, "N_recvasc", tr("接收切换到ASCII码模式"));
    N_sendasc = Item(settings, "N_sendasc", tr("发送切换到ASCII码模式"));
    settings->addSeparator();
    N_ljfb = Item(settings, "N_ljfb", tr("立即发报"), QKeySequence(Qt::Key_F2));
    N_watch = Item(settings, "N_watch", tr("暂停显示"), QKeySequence(Qt::Key_F1));

    QMenu* extras = bar->addMenu(tr("附加功能"));
    extras->setToolTipsVisible(true);
    N_verify1 = Item(extras, "N_verify1", tr("添加求和校验码"), QKeySequence(Qt::Key_F8));
    N_verify1->setToolTip(tr("最后字节添加求和校验"));
    N_68 = Item(extras, "N_68", tr("添加0x68报文"), QKeySequence(Qt::Key_F9));
    N_verify2 = Item(extras, "N_verify2", tr("添加纵向奇偶校验码"), QKeySequence(Qt::Key_F10));
    N_CDT = Item(extras, "N_CDT", tr("添加CDT规约CRC校验码"), QKeySequence(Qt::Key_F11));
    N_modbus = Item(extras, "N_modbus", tr("添加MODBUS规约CRC校验码"), QKeySequence(Qt::Key_F12));
    N_dnp = Item(extras, "N_dnp", tr("添加DNP规约CRC校验码"), QKeySequence(Qt::CTRL | Qt::Key_F8));
    extras->addSeparator();
    N_flilter = Item(extras, "N_flilter", tr("过滤报文..."));
    N_trigger = Item(extras, "N_trigger", tr("触发器..."));
    extras->addSeparator();
    N_intervalsave = Item(extras, "N_intervalsave", tr("收报定时保存..."));
    extras->addSeparator();
    N_saveprofile = Item(extras, "N_saveprofile", tr("保存配置..."));
    N_openprofile = Item(extras, "N_openprofile", tr("打开配置..."));

    QMenu* view = bar->addMenu(tr("显示"));
    N_showrecv = Item(view, "N_showrecv", tr("显示接收窗口"));
    N_showsend = Item(view, "N_showsend", tr("显示发送窗口"));
    N_decode = Item(view, "N_decode", tr("报文解析"));
    N_decode->setCheckable(true);
    N_linkwatch = Item(view, "N_linkwatch", tr("链路监视"));
    N_linkwatch->setCheckable(true);
    N_points = Item(view, "N_points", tr("数据点表"));
    N_points->setCheckable(true);
    N_Showtime = Item(view, "N_Showtime", tr("显示接收时间"));
    N_Showtime->setCheckable(true);
    N_showsource = Item(view, "N_showsource", tr("显示源地址"));
    N_showsource->setCheckable(true);
    N_millis = Item(view, "N_millis", tr("毫秒"));
    N_millis->setCheckable(true);
    N_color = Item(view, "N_color", tr("颜色..."));
    view->addSeparator();
    N_Calc = Item(view, "N_Calc", tr("计算器"));
    view->addSeparator();
    N_showtoolbar = Item(view, "N_showtoolbar", tr("工具条"));
    N_showtoolbar->setCheckable(true);
    N_showtoolbar->setChecked(true);

    QMenu* help = bar->addMenu(tr("帮助"));
    N_help = Item(help, "N_help", tr("使用说明"), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    About1 = Item(help, "About1", tr("关于..."));

    MainMenus = {frames, listen, edit, settings, extras, view, help};

    PopupMenu1 = new QMenu(window);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    P_recv = Item(PopupMenu1, "P_recv", tr("显示接收窗口"));
    P_send = Item(PopupMenu1, "P_send", tr("显示发送窗口"));
    PopupMenu1->addSeparator();
    P_restore = Item(PopupMenu1, "P_restore", tr("恢复到主界面"));
    P_restore->setEnabled(false);
    P_top = Item(PopupMenu1, "P_top", tr("总在最前"));
    PopupMenu1->addSeparator();
    AddEditItems(PopupMenu1, '2', QKeySequence(Qt::CTRL | Qt::Key_Z), QStringLiteral("Delete"),
                 {Copy2, Cut2, Paste2, SelectAll2, Undo2, Delete2});

    ToolBar1 = new QToolBar(QStringLiteral("ToolBar1"), window);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(true);
    ToolBar1->setFloatable(true);
    ToolBar1->setAllowedAreas(Qt::TopToolBarArea);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setIconSize(QSize(kToolbarIconSize, kToolbarIconSize));
    window->addToolBar(Qt::TopToolBarArea, ToolBar1);

    B_open = Button(ToolBar1, "B_open", tr("开始监听"), ToolbarImage::ListenOff);
    Btn_setupcom = Button(ToolBar1, "Btn_setupcom", tr("配置UDP端口"), ToolbarImage::PortSetup);
    ToolBar1->addSeparator();
    Btn_watch = Button(ToolBar1, "Btn_watch", tr("暂停显示"), ToolbarImage::DisplayRunning, ButtonStyle::Check);
    Btn_filter = Button(ToolBar1, "Btn_filter", tr("过滤报文"), ToolbarImage::FilterOff);
    Btn_trigger = Button(ToolBar1, "Btn_trigger", tr("触发器"), ToolbarImage::TriggerOff);
    ToolBar1->addSeparator();
    Btn_RTop = Button(ToolBar1, "Btn_RTop", tr("窗口总在最前"), ToolbarImage::OnTop, ButtonStyle::Check);
    ToolBar1->addSeparator();
    Btn_savereceive = Button(ToolBar1, "Btn_savereceive", tr("保存收报"), ToolbarImage::SaveRecv);
    Btn_savesend = Button(ToolBar1, "Btn_savesend", tr("保存发报"), ToolbarImage::SaveSend);
    Btn_loadrecv = Button(ToolBar1, "Btn_loadrecv", tr("提取收报"), ToolbarImage::LoadRecv);
    Btn_loadsend = Button(ToolBar1, "Btn_loadsend", tr("提取发报"), ToolbarImage::LoadSend);
    ToolBar1->addSeparator();
    Btn_recvasc
        = Button(ToolBar1, "Btn_recvasc", tr("接收切换到ASCII码模式"), ToolbarImage::RecvAscii, ButtonStyle::Check);
    Btn_sendasc
        = Button(ToolBar1, "Btn_sendasc", tr("发送切换到ASCII码模式"), ToolbarImage::SendAscii, ButtonStyle::Check);
    ToolBar1->addSeparator();
    Btn_ljfb = Button(ToolBar1, "Btn_ljfb", tr("立即发报"), ToolbarImage::SendNow);
    Btn_ljfb->setEnabled(false);
    ToolBar1->addSeparator();
    Btn_help = Button(ToolBar1, "Btn_help", tr("帮助信息"), ToolbarImage::Help);
    Btn_exit = Button(ToolBar1, "Btn_exit", tr("退出程序"), ToolbarImage::Exit);
}

namespace {

// Read when used, not when the program starts: the language's translations
// are installed after the program's static texts are made.
QString ListenOffHint()
{
    return MainActions::tr("开始监听");
}
QString ListenOnHint()
{
    return MainActions::tr("停止监听");
}
QString PauseHint()
{
    return MainActions::tr("暂停显示");
}
QString ResumeHint()
{
    return MainActions::tr("继续显示");
}

} // namespace

bool MainActions::ShowsListening() const
{
    return B_open->toolTip() != ListenOffHint();
}

void MainActions::ShowListening(bool listening)
{
    SetImageIndex(B_open, listening ? ToolbarImage::ListenOn : ToolbarImage::ListenOff);
    SetHint(B_open, listening ? ListenOnHint() : ListenOffHint());
    Btn_setupcom->setEnabled(!listening);
    N_opencom->setText(listening ? ListenOnHint() : ListenOffHint());
    N_setupcom->setEnabled(!listening);
}

bool MainActions::ShowsDisplayPaused() const
{
    return Btn_watch->toolTip() != PauseHint();
}

void MainActions::ShowDisplayPaused(bool paused)
{
    Btn_watch->setChecked(paused);
    SetHint(Btn_watch, paused ? ResumeHint() : PauseHint());
    SetImageIndex(Btn_watch, paused ? ToolbarImage::DisplayPaused : ToolbarImage::DisplayRunning);
    N_watch->setText(paused ? ResumeHint() : PauseHint());
}

void MainActions::ShowRecvAscii(bool ascii)
{
    const QString text = ascii ? tr("接收还原到二进制模式") : tr("接收切换到ASCII码模式");
    Btn_recvasc->setChecked(ascii);
    Btn_recvasc->setToolTip(text);
    N_recvasc->setText(text);
    Btn_filter->setEnabled(!ascii);
    Btn_trigger->setEnabled(!ascii);
}

void MainActions::ShowSendAscii(bool ascii)
{
    const QString text = ascii ? tr("发送还原到二进制模式") : tr("发送切换到ASCII码模式");
    Btn_sendasc->setChecked(ascii);
    Btn_sendasc->setToolTip(text);
    N_sendasc->setText(text);
}

void MainActions::ShowSendNow(std::uint8_t sendStyle, bool pointingHand)
{
    const bool enabled = sendStyle != 0;
    Btn_ljfb->setEnabled(enabled);
    N_ljfb->setEnabled(enabled);
    Btn_ljfb->setToolTip(enabled ? tr("立即发报") : tr("请更改循环发送方式为其它"));
    QWidget* button = ToolBar1->widgetForAction(Btn_ljfb);
    if (enabled && pointingHand && button != nullptr)
        button->setCursor(Qt::PointingHandCursor);
}

void SetHint(QAction* action, const QString& hint)
{
    action->setToolTip(hint);
    action->setText(hint);
}

std::vector<MainActions::CommandEntry> MainActions::Commands() const
{
    return {
        {N_receiveclear, "N_receiveclearClick"},
        {N_savereceive, "Btn_savereceiveClick"},
        {N_loadreceive, "Btn_loadrecvClick"},
        {N_savesend, "Btn_savesendClick"},
        {N_loadsend, "Btn_loadsendClick"},
        {N_sendclear, "N_sendclearClick"},
        {N_opencom, "B_openClick"},
        {N_fbfs, "N_fbfsClick"},
        {N_setupcom, "Btn_setupcomClick"},
        {N_recvasc, "Btn_recvascClick"},
        {N_sendasc, "Btn_sendascClick"},
        {N_ljfb, "Btn_ljfbClick"},
        {N_watch, "Btn_watchClick"},
        {N_flilter, "Btn_filterClick"},
        {N_trigger, "N_triggerClick"},
        {N_intervalsave, "N_intervalsaveClick"},
        {N_saveprofile, "N_saveprofileClick"},
        {N_openprofile, "N_openprofileClick"},
        {N_showrecv, "N_showrecvClick"},
        {N_showsend, "N_showsendClick"},
        {N_decode, "N_decodeClick"},
        {N_linkwatch, "N_linkwatchClick"},
        {N_points, "N_pointsClick"},
        {N_Showtime, "N_ShowtimeClick"},
        {N_showsource, "N_showsourceClick"},
        {N_millis, "N_millisClick"},
        {N_network, "N_networkClick"},
        {N_color, "N_colorClick"},
        {N_Calc, "N_CalcClick"},
        {N_showtoolbar, "N_showtoolbarClick"},
        {N_help, "N_helpClick"},
        {About1, "About1Click"},
        {P_recv, "N_showrecvClick"},
        {P_send, "N_showsendClick"},
        {P_restore, "Btn_RTopClick"},
        {P_top, "Btn_RTopClick"},
        {B_open, "B_openClick"},
        {Btn_setupcom, "Btn_setupcomClick"},
        {Btn_watch, "Btn_watchClick"},
        {Btn_filter, "Btn_filterClick"},
        {Btn_trigger, "Btn_triggerClick"},
        {Btn_RTop, "Btn_RTopClick"},
        {Btn_savereceive, "Btn_savereceiveClick"},
        {Btn_savesend, "Btn_savesendClick"},
        {Btn_loadrecv, "Btn_loadrecvClick"},
        {Btn_loadsend, "Btn_loadsendClick"},
        {Btn_recvasc, "Btn_recvascClick"},
        {Btn_sendasc, "Btn_sendascClick"},
        {Btn_ljfb, "Btn_ljfbClick"},
        {Btn_help, "About1Click"},
        {Btn_exit, "Btn_exitClick"},
    };
}

std::vector<MainActions::CheckCodeEntry> MainActions::CheckCodeCommands() const
{
    return {
        {N_verify1, &AddSumCode},
        {N_68, &Add68Frame},
        {N_verify2, &AddParityCode},
        {N_CDT, &AddCdtCode},
        {N_modbus, &AddModbusCode},
        {N_dnp, &AddDnpCode},
    };
}

} // namespace ostrel
