#include "tcpmon/MainActions.h"

#include "tcpmon/TOutlookBtn.h"

#include <QAction>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QSvgRenderer>
#include <QToolBar>

#include <algorithm>

namespace tamrel {

namespace {

// Made when used, in the language installed by then.
QString PauseCaption()
{
    return QCoreApplication::translate("tamrel::MainActions", "暂停显示");
}
QString ResumeCaption()
{
    return QCoreApplication::translate("tamrel::MainActions", "继续显示");
}

constexpr int kToolButtonWidth = 56;
constexpr int kCaptionMargin = 4; // beside a caption, both sides together
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

MainActions::MainActions(QMainWindow& window, const Side::Texts& words)
    : words_(words)
{
    CreateMenu(window);
    CreateToolBar(window);
}

void MainActions::CreateMenu(QMainWindow& window)
{
    const auto item = [&window](QMenu* menu, const QString& caption, const char* name) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        // The shortcuts work wherever the focus is in the window, also while
        // the menu bar is not looked at.
        window.addAction(action);
        return action;
    };

    QMenu* frames = window.menuBar()->addMenu(QCoreApplication::translate("tamrel::MainActions", "报文处理"));
    N_receiveclear = item(frames, QCoreApplication::translate("tamrel::MainActions", "收报显示清空"), "N_receiveclear");
    N_receiveclear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    frames->addSeparator();
    N_savereceive = item(frames, QCoreApplication::translate("tamrel::MainActions", "保存收报..."), "N_savereceive");
    N_loadreceive = item(frames, QCoreApplication::translate("tamrel::MainActions", "提取收报..."), "N_loadreceive");
    frames->addSeparator();
    N_savesend = item(frames, QCoreApplication::translate("tamrel::MainActions", "保存发报..."), "N_savesend");
    N_savesend->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    N_loadsend = item(frames, QCoreApplication::translate("tamrel::MainActions", "提取发报..."), "N_loadsend");
    frames->addSeparator();
    N_sendclear = item(frames, QCoreApplication::translate("tamrel::MainActions", "发报内容清空"), "N_sendclear");

    QMenu* side = window.menuBar()->addMenu(words_.switchMenu);
    N_startlisten = item(side, words_.switchOn, "N_startlisten");
    N_stoplisten = item(side, words_.switchOff, "N_stoplisten");
    N_stoplisten->setEnabled(false);
    // The key goes to both items: only the enabled one takes it.
    N_startlisten->setShortcut(words_.switchKey);
    N_stoplisten->setShortcut(words_.switchKey);

    QMenu* settings = window.menuBar()->addMenu(QCoreApplication::translate("tamrel::MainActions", "参数设置"));
    N_fbfs = item(settings, QCoreApplication::translate("tamrel::MainActions", "发报方式..."), "N_fbfs");
    // Tamrel_S's port dialog is reached from the toolbar only.
    N_setupcom = item(settings, QCoreApplication::translate("tamrel::MainActions", "以太网配置..."), "N_setupcom");
    N_setupcom->setEnabled(words_.setupFromMenu);
    settings->addSeparator();
    N_ljfb = item(settings, QCoreApplication::translate("tamrel::MainActions", "立即发报"), "N_ljfb");
    N_ljfb->setShortcut(QKeySequence(Qt::Key_F12));
    N_watch = item(settings, PauseCaption(), "N_watch");
    N_watch->setShortcut(QKeySequence(Qt::Key_F1));

    QMenu* extra = window.menuBar()->addMenu(QCoreApplication::translate("tamrel::MainActions", "附加功能"));
    N_verify = item(extra, QCoreApplication::translate("tamrel::MainActions", "添加校验码"), "N_verify");
    N_verify->setShortcut(QKeySequence(Qt::Key_F10));
    N_verify->setStatusTip(QCoreApplication::translate("tamrel::MainActions", "最后字节添加求和校验"));
    N_verify->setToolTip(QCoreApplication::translate("tamrel::MainActions", "最后字节添加求和校验"));
    N_68 = item(extra, QCoreApplication::translate("tamrel::MainActions", "添加0x68报文"), "N_68");
    N_68->setShortcut(QKeySequence(Qt::Key_F11));
    extra->addSeparator();
    N_flilter = item(extra, QCoreApplication::translate("tamrel::MainActions", "过滤报文..."), "N_flilter");
    N_trigger = item(extra, QCoreApplication::translate("tamrel::MainActions", "触发器..."), "N_trigger");
    extra->addSeparator();
    N9 = item(extra, QCoreApplication::translate("tamrel::MainActions", "收报定时保存..."), "N9");
    extra->addSeparator();
    N_saveprofile = item(extra, QCoreApplication::translate("tamrel::MainActions", "保存配置..."), "N_saveprofile");
    N_openprofile = item(extra, QCoreApplication::translate("tamrel::MainActions", "打开配置..."), "N_openprofile");

    QMenu* view = window.menuBar()->addMenu(QCoreApplication::translate("tamrel::MainActions", "显示"));
    N_showtoolbar = item(view, QCoreApplication::translate("tamrel::MainActions", "工具条"), "N_showtoolbar");
    N_showtoolbar->setCheckable(true);
    N_showtoolbar->setChecked(true);
    N_decode = item(view, QCoreApplication::translate("tamrel::MainActions", "报文解析"), "N_decode");
    N_decode->setCheckable(true);
    N_linkwatch = item(view, QCoreApplication::translate("tamrel::MainActions", "链路监视"), "N_linkwatch");
    N_linkwatch->setCheckable(true);
    N_points = item(view, QCoreApplication::translate("tamrel::MainActions", "数据点表"), "N_points");
    N_points->setCheckable(true);
    N_showsource = item(view, QCoreApplication::translate("tamrel::MainActions", "显示源地址"), "N_showsource");
    N_showsource->setCheckable(true);
    N_millis = item(view, QCoreApplication::translate("tamrel::MainActions", "毫秒"), "N_millis");
    N_millis->setCheckable(true);

    QMenu* help = window.menuBar()->addMenu(QCoreApplication::translate("tamrel::MainActions", "帮助"));
    N_help = item(help, QCoreApplication::translate("tamrel::MainActions", "使用说明"), "N_help");
    N_help->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    About1 = item(help, QCoreApplication::translate("tamrel::MainActions", "关于..."), "About1");
}

void MainActions::CreateToolBar(QMainWindow& window)
{
    auto* bar = new QToolBar(&window);
    ToolBar1 = bar;
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    window.addToolBar(Qt::TopToolBarArea, bar);

    QFont captionFont = window.font();
    captionFont.setPixelSize(10);
    // A button is as wide as the widest caption it shows needs (the Chinese
    // ones all fit the standard width; English ones may be longer).
    const QFontMetrics captionMetrics(captionFont);
    const auto button = [&](const char* name, const QString& caption, const QString& image, const QString& hint,
                            const QString& otherCaption = QString()) {
        auto* b = new TOutlookBtn(QString::fromLatin1(name), bar);
        b->SetStyle(TOutlookBtn::bsOutlook);
        const int captionWidth
            = std::max(captionMetrics.horizontalAdvance(caption), captionMetrics.horizontalAdvance(otherCaption));
        b->setFixedSize(std::max(kToolButtonWidth, captionWidth + kCaptionMargin), kToolButtonHeight);
        b->setFont(captionFont);
        b->SetCaption(caption);
        b->SetBitmap(ToolImage(image));
        b->setToolTip(hint);
        bar->addWidget(b);
        return b;
    };
    Btn_closecom = button("Btn_closecom", words_.switchOn, QStringLiteral("start"), words_.switchOn, words_.switchOff);
    Btn_setupcom = button("Btn_setupcom", words_.setupButton, QStringLiteral("setup"), words_.setupHint);
    bar->addSeparator();
    Btn_watch = button("Btn_watch", PauseCaption(), QStringLiteral("pause"), PauseCaption(), ResumeCaption());
    Btn_flilter = button("Btn_flilter", QCoreApplication::translate("tamrel::MainActions", "过滤报文"),
                         QStringLiteral("filter"), QCoreApplication::translate("tamrel::MainActions", "过滤报文"));
    Btn_trigger = button("Btn_trigger", QCoreApplication::translate("tamrel::MainActions", "触发器"),
                         QStringLiteral("trigger_off"), QCoreApplication::translate("tamrel::MainActions", "触发器"));
    Btn_ljfb = button("Btn_ljfb", QCoreApplication::translate("tamrel::MainActions", "立即发报"),
                      QStringLiteral("send_now"), QCoreApplication::translate("tamrel::MainActions", "立即发报"));
    bar->addSeparator();
    Btn_savereceive
        = button("Btn_savereceive", QCoreApplication::translate("tamrel::MainActions", "保存收报"),
                 QStringLiteral("save_recv"), QCoreApplication::translate("tamrel::MainActions", "保存收报"));
    Btn_loadsend = button("Btn_loadsend", QCoreApplication::translate("tamrel::MainActions", "提取发报"),
                          QStringLiteral("load_send"), QCoreApplication::translate("tamrel::MainActions", "提取发报"));
    bar->addSeparator();
    Btn_exit = button("Btn_exit", QCoreApplication::translate("tamrel::MainActions", "退出程序"),
                      QStringLiteral("exit"), QCoreApplication::translate("tamrel::MainActions", "退出程序"));
}

void MainActions::ShowSwitch(bool on) const
{
    N_startlisten->setEnabled(!on);
    N_stoplisten->setEnabled(on);
    Btn_closecom->SetBitmap(ToolImage(on ? QStringLiteral("stop") : QStringLiteral("start")));
    Btn_closecom->SetCaption(on ? words_.switchOff : words_.switchOn);
    Btn_closecom->setToolTip(on ? words_.switchOff : words_.switchOn);
}

void MainActions::ShowTriggers(bool anyOn) const
{
    Btn_trigger->SetBitmap(ToolImage(anyOn ? QStringLiteral("trigger_on") : QStringLiteral("trigger_off")));
}

void MainActions::ShowDisplayPaused(bool paused) const
{
    const QString caption = paused ? ResumeCaption() : PauseCaption();
    Btn_watch->SetCaption(caption);
    Btn_watch->setToolTip(caption);
    N_watch->setText(caption);
    Btn_watch->SetBitmap(ToolImage(paused ? QStringLiteral("resume") : QStringLiteral("pause")));
}

} // namespace tamrel
