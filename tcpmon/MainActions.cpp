#include "tcpmon/MainActions.h"

#include "tcpmon/Main.h"
#include "tcpmon/TOutlookBtn.h"

#include <QAction>
#include <QMenuBar>
#include <QPainter>
#include <QSvgRenderer>
#include <QToolBar>

namespace tamrel {

namespace {

const QString kStartCaption = QStringLiteral("开始监听");
const QString kStopCaption = QStringLiteral("停止监听");
const QString kPauseCaption = QStringLiteral("暂停显示");
const QString kResumeCaption = QStringLiteral("继续显示");

constexpr int kToolButtonWidth = 56;
constexpr int kToolButtonHeight = 55;
constexpr int kImageSize = 32;

QPixmap ToolImage(const QString& name)
{
    QSvgRenderer renderer(QStringLiteral(":/tamrel/icons/%1.svg").arg(name));
    QPixmap image(kImageSize, kImageSize);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace

void CreateMainMenu(Tf_main& window)
{
    const auto item = [&window](QMenu* menu, const QString& caption, const char* name) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        // The shortcuts work wherever the focus is in the window, also while
        // the menu bar is not looked at.
        window.addAction(action);
        return action;
    };

    QMenu* frames = window.menuBar()->addMenu(QStringLiteral("报文处理"));
    window.N_receiveclear = item(frames, QStringLiteral("收报显示清空"), "N_receiveclear");
    window.N_receiveclear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    frames->addSeparator();
    window.N_savereceive = item(frames, QStringLiteral("保存收报..."), "N_savereceive");
    window.N_loadreceive = item(frames, QStringLiteral("提取收报..."), "N_loadreceive");
    frames->addSeparator();
    window.N_savesend = item(frames, QStringLiteral("保存发报..."), "N_savesend");
    window.N_savesend->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    window.N_loadsend = item(frames, QStringLiteral("提取发报..."), "N_loadsend");
    frames->addSeparator();
    window.N_sendclear = item(frames, QStringLiteral("发报内容清空"), "N_sendclear");

    QMenu* server = window.menuBar()->addMenu(QStringLiteral("服务器监听"));
    window.N_startlisten = item(server, kStartCaption, "N_startlisten");
    window.N_stoplisten = item(server, kStopCaption, "N_stoplisten");
    window.N_stoplisten->setEnabled(false);

    QMenu* settings = window.menuBar()->addMenu(QStringLiteral("参数设置"));
    window.N_fbfs = item(settings, QStringLiteral("发报方式..."), "N_fbfs");
    // The port dialog is reached from the toolbar only.
    window.N_setupcom = item(settings, QStringLiteral("以太网配置..."), "N_setupcom");
    window.N_setupcom->setEnabled(false);
    settings->addSeparator();
    window.N_ljfb = item(settings, QStringLiteral("立即发报"), "N_ljfb");
    window.N_ljfb->setShortcut(QKeySequence(Qt::Key_F12));
    window.N_watch = item(settings, kPauseCaption, "N_watch");
    window.N_watch->setShortcut(QKeySequence(Qt::Key_F1));

    QMenu* extra = window.menuBar()->addMenu(QStringLiteral("附加功能"));
    window.N_verify = item(extra, QStringLiteral("添加校验码"), "N_verify");
    window.N_verify->setShortcut(QKeySequence(Qt::Key_F10));
    window.N_verify->setStatusTip(QStringLiteral("最后字节添加求和校验"));
    window.N_verify->setToolTip(QStringLiteral("最后字节添加求和校验"));
    window.N_68 = item(extra, QStringLiteral("添加0x68报文"), "N_68");
    window.N_68->setShortcut(QKeySequence(Qt::Key_F11));
    extra->addSeparator();
    window.N_flilter = item(extra, QStringLiteral("过滤报文..."), "N_flilter");
    extra->addSeparator();
    window.N9 = item(extra, QStringLiteral("收报定时保存..."), "N9");

    QMenu* view = window.menuBar()->addMenu(QStringLiteral("显示"));
    window.N_showtoolbar = item(view, QStringLiteral("工具条"), "N_showtoolbar");
    window.N_showtoolbar->setCheckable(true);
    window.N_showtoolbar->setChecked(true);
    window.N_decode = item(view, QStringLiteral("报文解析"), "N_decode");
    window.N_decode->setCheckable(true);

    QMenu* help = window.menuBar()->addMenu(QStringLiteral("帮助"));
    window.About1 = item(help, QStringLiteral("关于..."), "About1");
}

void CreateMainToolBar(Tf_main& window)
{
    auto* bar = new QToolBar(&window);
    window.ToolBar1 = bar;
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    window.addToolBar(Qt::TopToolBarArea, bar);

    QFont captionFont = window.font();
    captionFont.setPixelSize(10);
    const auto button = [&](const char* name, const QString& caption, const QString& image, const QString& hint) {
        auto* b = new TOutlookBtn(QString::fromLatin1(name), bar);
        b->SetStyle(TOutlookBtn::bsOutlook);
        b->setFixedSize(kToolButtonWidth, kToolButtonHeight);
        b->setFont(captionFont);
        b->SetCaption(caption);
        b->SetBitmap(ToolImage(image));
        b->setToolTip(hint);
        bar->addWidget(b);
        return b;
    };
    window.Btn_closecom = button("Btn_closecom", kStartCaption, QStringLiteral("start"), kStartCaption);
    window.Btn_setupcom = button("Btn_setupcom", QStringLiteral("服务器配置"), QStringLiteral("setup"), QStringLiteral("Config"));
    bar->addSeparator();
    window.Btn_watch = button("Btn_watch", kPauseCaption, QStringLiteral("pause"), kPauseCaption);
    window.Btn_flilter = button("Btn_flilter", QStringLiteral("过滤报文"), QStringLiteral("filter"), QStringLiteral("过滤报文"));
    window.Btn_ljfb = button("Btn_ljfb", QStringLiteral("立即发报"), QStringLiteral("send_now"), QStringLiteral("立即发报"));
    bar->addSeparator();
    window.Btn_savereceive = button("Btn_savereceive", QStringLiteral("保存收报"), QStringLiteral("save_recv"), QStringLiteral("保存收报"));
    window.Btn_loadsend = button("Btn_loadsend", QStringLiteral("提取发报"), QStringLiteral("load_send"), QStringLiteral("提取发报"));
    bar->addSeparator();
    window.Btn_exit = button("Btn_exit", QStringLiteral("退出程序"), QStringLiteral("exit"), QStringLiteral("退出程序"));
}

void ShowListeningSwitch(Tf_main& window, bool listening)
{
    window.N_startlisten->setEnabled(!listening);
    window.N_stoplisten->setEnabled(listening);
    window.Btn_closecom->SetBitmap(ToolImage(listening ? QStringLiteral("stop") : QStringLiteral("start")));
    window.Btn_closecom->SetCaption(listening ? kStopCaption : kStartCaption);
    window.Btn_closecom->setToolTip(listening ? kStopCaption : kStartCaption);
}

void ShowDisplaySwitch(Tf_main& window, bool paused)
{
    const QString caption = paused ? kResumeCaption : kPauseCaption;
    window.Btn_watch->SetCaption(caption);
    window.Btn_watch->setToolTip(caption);
    window.N_watch->setText(caption);
    window.Btn_watch->SetBitmap(ToolImage(paused ? QStringLiteral("resume") : QStringLiteral("pause")));
}

} // namespace tamrel
