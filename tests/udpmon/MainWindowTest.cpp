#include "TestSupport.h"
#include "tests/support/AccessibleNames.h"
#include "widgets/HelpWindow.h"

#include <QTextBrowser>

#include "udpmon/DockForm.h"
#include "udpmon/ToolbarImages.h"
#include "udpmon/u_main.h"
#include "udpmon/u_version.h"

#include "platform/IniFile.h"
#include "widgets/StatusPanels.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QScopeGuard>
#include <QScreen>
#include <QToolBar>

#include <csignal>
#include <memory>

#include <sys/resource.h>

using namespace ostrel;

namespace {

const QString kTitle = QStringLiteral("Ostrel-通用以太网UDP通信监测工具");

// One line per menu entry: component name, caption and shortcut; "-" for a
// separator.
QStringList MenuEntries(const QMenu* menu)
{
    QStringList entries;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            entries << QStringLiteral("-");
        else
            entries << action->objectName() + QLatin1Char('|') + action->text() + QLatin1Char('|')
                    + action->shortcut().toString(QKeySequence::PortableText);
    }
    return entries;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void startsWithoutSettingsFile();
    void startsWithSettingsFile();
    void menusAndShortcuts();
    void toolbarButtons();
    void everyToolbarButtonIsReachableUnderAWiderStyle();
    void everyControlHasAnAccessibleName();
    void closingWritesEverySendLineAndKeepsTheRest();
    void settingsStayInTheStartDirectory();
    void unwritableSettingsShowTheErrorAndKeepTheOldFile();
    void caretReadoutOfBothWindows();
    void pauseAndResumeTheDisplay();
    void deleteActsOnTheFocusedWindow();
    void editActionsWorkOnTheFocusedText();
    void versionDialogAndExit();
    void calculatorMissingIsReported();
};

void MainWindowTest::initTestCase()
{
    QCoreApplication::setApplicationName(kTitle);
}

void MainWindowTest::startsWithoutSettingsFile()
{
    TestDirectory dir;
    const auto window = OpenWindow();

    QCOMPARE(window->windowTitle(), QStringLiteral("Ostrel-通用以太网UDP通信监测工具（V2.15版）"));
    QCOMPARE(window->size(), QSize(541, 415));

    StatusPanels* panels = window->Panels();
    QCOMPARE(panels->PanelCount(), 5);
    const int widths[] = {200, 50, 100, 260, 200};
    const Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter,
                                        Qt::AlignRight};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(panels->PanelWidth(i), widths[i]);
        QCOMPARE(panels->PanelAlignment(i), alignments[i]);
    }
    QCOMPARE(panels->PanelText(0), QStringLiteral("单行发送方式,一次发送1遍"));
    QCOMPARE(panels->PanelText(1), QString());
    QCOMPARE(panels->PanelText(2), QString());
    QCOMPARE(panels->PanelText(3), QStringLiteral("接收端口:1888, 信宿地址:127.0.0.1 1889"));
    QVERIFY(panels->PanelText(4).contains(QStringLiteral("2026")));
    // In a 541 pixels wide window the panels keep their widths, so the caret
    // readout is whole; the right edge cuts the port text instead.
    const QFontMetrics metrics(panels->font());
    panels->SetPanelText(2, QStringLiteral("第1帧第1字节"));
    for (const int i : {0, 1, 2})
        QCOMPARE(panels->PanelRect(i).width() + 2, widths[i]);
    for (const int i : {0, 2})
        QVERIFY2(panels->PanelRect(i).width() - 8 >= metrics.horizontalAdvance(panels->PanelText(i)),
                 qPrintable(panels->PanelText(i)));
    QVERIFY(panels->PanelRect(3).right() >= panels->width());
    panels->SetPanelText(2, QString());

    QCOMPARE(window->SendMemo()->LineCount(), 0);
    QCOMPARE(window->RecvMemo()->LineCount(), 0);

    const OstrelState& state = window->State();
    QCOMPARE(state.SendStyleState.SendStyle, 1);
    QCOMPARE(state.SendStyleState.SendInterval, 1.0);
    QCOMPARE(state.SendStyleState.CopiesPerSend, 1);
    QVERIFY(!state.ShowTime && !state.RecvAscii && !state.DisplayPaused && !state.SendStyleState.SendAscii);

    // Both text windows docked side by side, with their titles and colours.
    TDockableForm* recv = window->RecvForm();
    TDockableForm* send = window->SendForm();
    QVERIFY(recv->isVisible() && send->isVisible());
    QVERIFY(!recv->isFloating() && !send->isFloating());
    QCOMPARE(window->dockWidgetArea(recv), Qt::LeftDockWidgetArea);
    QVERIFY(recv->geometry().right() < send->geometry().left());
    QCOMPARE(recv->Panel1Caption->text(), QStringLiteral("接收报文"));
    QCOMPARE(send->Panel1Caption->text(), QStringLiteral("发送报文"));
    QCOMPARE(recv->Panel1->height(), 17);
    QCOMPARE(window->RecvMemo()->TextColor(), QColor(0, 255, 0));
    QCOMPARE(window->SendMemo()->TextColor(), QColor(255, 255, 0));
    QCOMPARE(window->RecvMemo()->BackgroundColor(), QColor(0, 0, 128));
    QCOMPARE(window->SendMemo()->BackgroundColor(), QColor(0, 0, 128));
    QCOMPARE(window->RecvMemo()->lineWrapMode(), QPlainTextEdit::NoWrap);
}

void MainWindowTest::startsWithSettingsFile()
{
    TestDirectory dir;
    dir.WriteSettings("[UDPServer]\nServer Port=2404\n[UDPClient]\nClient Host=192.168.1.20\nClient Port=2405\n"
                      "[SendFrame]\nSendLinesCount=3\nLine0=01 03 00 00 00 0A\nLine2=68 04 07 00 00 00\n");
    const auto window = OpenWindow();

    QCOMPARE(window->Panels()->PanelText(3), QStringLiteral("接收端口:2404, 信宿地址:192.168.1.20 2405"));
    QCOMPARE(window->Panels()->PanelText(0), QStringLiteral("单行发送方式,一次发送1遍"));
    QCOMPARE(window->State().ServerPort, QStringLiteral("2404"));
    QCOMPARE(window->State().ClientHost, QStringLiteral("192.168.1.20"));
    QCOMPARE(window->State().ClientPort, QStringLiteral("2405"));
    QCOMPARE(window->SendMemo()->Lines(), (QStringList{"01 03 00 00 00 0A", "", "68 04 07 00 00 00"}));
}

void MainWindowTest::menusAndShortcuts()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    const MainActions& a = window->Actions();

    const QList<QPair<QString, QStringList>> expected{
        {"报文处理",
         {"N_receiveclear|收报显示清空|Ctrl+Q", "-", "N_savereceive|保存收报...|", "N_loadreceive|提取收报...|", "-",
          "N_savesend|保存发报...|Ctrl+S", "N_loadsend|提取发报...|", "-", "N_sendclear|发报内容清空|"}},
        {"端口监听", {"N_opencom|开始监听|F4"}},
        {"编辑",
         {"Copy1|&Copy|Ctrl+C", "Cut1|Cu&t|Ctrl+X", "Paste1|&Paste|Ctrl+V", "SelectAll1|Select &All|",
          "Undo1|&Undo|Alt+Backspace", "Delete1|&Delete|Del"}},
        {"参数设置",
         {"N_fbfs|发报方式...|", "N_setupcom|串口配置...|", "N_network|网络与组播...|", "-", "N_recvasc|接收切换到ASCII码模式|",
          "N_sendasc|发送切换到ASCII码模式|", "-", "N_ljfb|立即发报|F2", "N_watch|暂停显示|F1"}},
        {"附加功能",
         {"N_verify1|添加求和校验码|F8", "N_68|添加0x68报文|F9", "N_verify2|添加纵向奇偶校验码|F10",
          "N_CDT|添加CDT规约CRC校验码|F11", "N_modbus|添加MODBUS规约CRC校验码|F12",
          "N_dnp|添加DNP规约CRC校验码|Ctrl+F8", "-", "N_flilter|过滤报文...|", "N_trigger|触发器...|", "-",
          "N_intervalsave|收报定时保存...|", "-", "N_saveprofile|保存配置...|", "N_openprofile|打开配置...|"}},
        {"显示",
         {"N_showrecv|显示接收窗口|", "N_showsend|显示发送窗口|", "N_decode|报文解析|", "N_linkwatch|链路监视|", "N_points|数据点表|",
          "N_Showtime|显示接收时间|", "N_showsource|显示源地址|", "N_millis|毫秒|", "N_color|颜色...|", "-",
          "N_Calc|计算器|", "-", "N_showtoolbar|工具条|"}},
        {"帮助", {"N_help|使用说明|Shift+F1", "About1|关于...|"}},
    };
    QCOMPARE(a.MainMenus.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(a.MainMenus[i]->title(), expected[i].first);
        QCOMPARE(MenuEntries(a.MainMenus[i]), expected[i].second);
    }
    QCOMPARE(window->menuBar()->actions().size(), expected.size());

    QCOMPARE(MenuEntries(a.PopupMenu1),
             (QStringList{"P_recv|显示接收窗口|", "P_send|显示发送窗口|", "-", "P_restore|恢复到主界面|",
                          "P_top|总在最前|", "-", "Copy2|&Copy|Ctrl+C", "Cut2|Cu&t|Ctrl+X", "Paste2|&Paste|Ctrl+V",
                          "SelectAll2|Select &All|", "Undo2|&Undo|Ctrl+Z", "Delete2|Delete|Del"}));

    // Start states.
    QVERIFY(!a.N_setupcom->isEnabled());
    QVERIFY(a.N_ljfb->isEnabled());
    QVERIFY(!a.P_restore->isEnabled());
    QVERIFY(a.P_top->isEnabled());
    QVERIFY(a.N_Showtime->isCheckable() && !a.N_Showtime->isChecked());
    QVERIFY(a.N_showsource->isCheckable() && !a.N_showsource->isChecked());
    QVERIFY(a.N_millis->isCheckable() && !a.N_millis->isChecked());
    QVERIFY(a.N_showtoolbar->isCheckable() && a.N_showtoolbar->isChecked());
    QCOMPARE(a.N_verify1->toolTip(), QStringLiteral("最后字节添加求和校验"));
    QCOMPARE(window->RecvMemo()->contextMenuPolicy(), Qt::DefaultContextMenu);

    // "显示接收时间" switches the time display on at its first use.
    a.N_Showtime->trigger();
    QVERIFY(a.N_Showtime->isChecked());
    QVERIFY(window->State().ShowTime);
    a.N_Showtime->trigger();
    QVERIFY(!window->State().ShowTime);
}

void MainWindowTest::toolbarButtons()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    const MainActions& a = window->Actions();

    QStringList buttons;
    for (const QAction* action : a.ToolBar1->actions()) {
        if (action->isSeparator()) {
            buttons << QStringLiteral("-");
            continue;
        }
        buttons << QStringLiteral("%1|%2|%3|%4|%5")
                       .arg(action->objectName(), action->toolTip(),
                            action->isCheckable() ? QStringLiteral("check") : QStringLiteral("plain"))
                       .arg(ImageIndex(action))
                       .arg(action->isEnabled() ? QStringLiteral("on") : QStringLiteral("off"));
        QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
    }
    QCOMPARE(buttons,
             (QStringList{"B_open|开始监听|plain|0|on", "Btn_setupcom|配置UDP端口|plain|2|on", "-",
                          "Btn_watch|暂停显示|check|3|on", "Btn_filter|过滤报文|plain|5|on",
                          "Btn_trigger|触发器|plain|18|on", "-", "Btn_RTop|窗口总在最前|check|12|on", "-",
                          "Btn_savereceive|保存收报|plain|8|on", "Btn_savesend|保存发报|plain|9|on",
                          "Btn_loadrecv|提取收报|plain|10|on", "Btn_loadsend|提取发报|plain|11|on", "-",
                          "Btn_recvasc|接收切换到ASCII码模式|check|16|on",
                          "Btn_sendasc|发送切换到ASCII码模式|check|20|on", "-", "Btn_ljfb|立即发报|plain|7|off", "-",
                          "Btn_help|帮助信息|plain|14|on", "Btn_exit|退出程序|plain|15|on"}));

    // Every picture the commands switch to exists, and the state pairs differ.
    for (const int image : {ToolbarImage::ListenOn, ToolbarImage::DisplayPaused, ToolbarImage::FilterOn,
                            ToolbarImage::TriggerOn})
        QVERIFY(!ToolbarIcon(image).isNull());
    const auto pixels = [](int image) { return ToolbarIcon(image).pixmap(20, 20).toImage(); };
    QVERIFY(pixels(ToolbarImage::ListenOff) != pixels(ToolbarImage::ListenOn));
    QVERIFY(pixels(ToolbarImage::DisplayRunning) != pixels(ToolbarImage::DisplayPaused));
    QVERIFY(!pixels(ToolbarImage::ListenOn).isNull());

    // The toolbar moves and floats, but docks only in its top band.
    QVERIFY(a.ToolBar1->isMovable() && a.ToolBar1->isFloatable());
    QCOMPARE(a.ToolBar1->allowedAreas(), Qt::TopToolBarArea);
    QCOMPARE(window->toolBarArea(a.ToolBar1), Qt::TopToolBarArea);
}

void MainWindowTest::closingWritesEverySendLineAndKeepsTheRest()
{
    TestDirectory dir;
    dir.WriteSettings("; 现场调试用\n[Station]\nName=变电站1\n\n[UDPServer]\nServer Port=2404\n"
                      "[SendFrame]\nSendLinesCount=2\nLine0=old\nLine1=old\n");
    auto window = OpenWindow();

    QStringList lines;
    for (int i = 0; i < 250; ++i)
        lines << (i % 10 == 3 ? QString() : QStringLiteral("01 03 %1 ").arg(i % 256, 2, 16, QLatin1Char('0')).toUpper());
    lines << QString(); // an empty last line counts too
    window->SendMemo()->SetLines(lines);

    QSignalSpy closed(window.get(), &Tf_main::Closed);
    QVERIFY(window->close());
    QCOMPARE(closed.count(), 1);

    IniFile file(dir.SettingsPath());
    QCOMPARE(file.ReadInteger("SendFrame", "SendLinesCount", -1), 251);
    for (int i = 0; i < 251; ++i)
        QCOMPARE(file.ReadString("SendFrame", QStringLiteral("Line%1").arg(i), QStringLiteral("absent")), lines[i]);
    QVERIFY(!file.ValueExists("SendFrame", "Line251"));
    QCOMPARE(file.ReadString("UDPServer", "Server Port", "?"), QStringLiteral("2404"));
    QCOMPARE(file.ReadString("UDPClient", "Client Host", "?"), QStringLiteral("127.0.0.1"));
    QCOMPARE(file.ReadString("UDPClient", "Client Port", "?"), QStringLiteral("1889"));
    QVERIFY(dir.ReadSettings().startsWith("; 现场调试用\n[Station]\nName=变电站1\n\n[UDPServer]\n"));

    // The next start shows the same lines, the empty ones included.
    window = OpenWindow();
    QCOMPARE(window->SendMemo()->Lines(), lines);
}

void MainWindowTest::settingsStayInTheStartDirectory()
{
    TestDirectory start;
    start.WriteSettings("[UDPServer]\nServer Port=3000\n");
    auto window = OpenWindow();
    window->SendMemo()->SetLines({"10 49 "});

    TestDirectory later; // the current directory changes while the program runs
    QVERIFY(window->close());
    QVERIFY(!QFile::exists(later.SettingsPath()));
    IniFile file(start.SettingsPath());
    QCOMPARE(file.ReadString("UDPServer", "Server Port", "?"), QStringLiteral("3000"));
    QCOMPARE(file.ReadString("SendFrame", "Line0", "?"), QStringLiteral("10 49 "));
}

void MainWindowTest::unwritableSettingsShowTheErrorAndKeepTheOldFile()
{
    TestDirectory dir;
    const QByteArray old = "[UDPServer]\nServer Port=2404\n";
    dir.WriteSettings(old);
    auto window = OpenWindow();
    window->SendMemo()->SetLines(QStringList(100, QStringLiteral("68 0A 0A 68 53 01 00 00 00 00 00 00 54 16 ")));

    // A file size limit fails the write as a full disk does, also for root.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 512;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);

    SeenBox box;
    CloseNextMessageBox(box);
    QSignalSpy closed(window.get(), &Tf_main::Closed);
    const bool closedNow = window->close();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(closedNow);
    QCOMPARE(closed.count(), 1);
    QVERIFY(box.seen);
    QCOMPARE(box.title, kTitle);
    QCOMPARE(box.text, QStringLiteral("Unable to write to ") + dir.SettingsPath());
    QCOMPARE(dir.ReadSettings(), old);
    QCOMPARE(QDir(dir.Path()).entryList(QDir::Files), QStringList{"Ostrel.ini"});
}

void MainWindowTest::caretReadoutOfBothWindows()
{
    TestDirectory dir;
    dir.WriteSettings("[SendFrame]\nSendLinesCount=2\nLine0=01 03 1A \nLine1=68 0A 0A 68 \n");
    const auto window = OpenWindow();
    StatusPanels* panels = window->Panels();
    TSMemo* send = window->SendMemo();
    TSMemo* recv = window->RecvMemo();

    // A left click on the third pair of the second line.
    const QTextBlock second = send->document()->findBlockByNumber(1);
    QTextCursor at(second);
    at.setPosition(second.position() + 7);
    QTest::mouseClick(send->viewport(), Qt::LeftButton, {}, send->cursorRect(at).center());
    QCOMPARE(panels->PanelText(Tf_main::PanelCaret), QStringLiteral("第2帧第3字节"));

    // Any key released in the receive window.
    recv->AppendLine(QStringLiteral("01 02 "));
    QTest::keyRelease(recv, Qt::Key_Control);
    QCOMPARE(panels->PanelText(Tf_main::PanelCaret), QStringLiteral("第1帧第1字节"));

    // The right button too; text added by the program leaves the readout alone.
    send->moveCursor(QTextCursor::End);
    recv->AppendLine(QStringLiteral("03 04 "));
    QCOMPARE(panels->PanelText(Tf_main::PanelCaret), QStringLiteral("第1帧第1字节"));
    QTest::mouseRelease(send->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    // The settings file gave "68 0A 0A 68" without its unquoted trailing blank.
    QCOMPARE(panels->PanelText(Tf_main::PanelCaret), QStringLiteral("第2帧第4字节"));
}

void MainWindowTest::pauseAndResumeTheDisplay()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    const MainActions& a = window->Actions();

    a.Btn_watch->trigger();
    QVERIFY(window->State().DisplayPaused);
    QVERIFY(a.Btn_watch->isChecked());
    QCOMPARE(a.Btn_watch->toolTip(), QStringLiteral("继续显示"));
    QCOMPARE(ImageIndex(a.Btn_watch), ToolbarImage::DisplayPaused);
    QCOMPARE(a.N_watch->text(), QStringLiteral("继续显示"));

    a.N_watch->trigger(); // the menu twin resumes
    QVERIFY(!window->State().DisplayPaused);
    QVERIFY(!a.Btn_watch->isChecked());
    QCOMPARE(a.Btn_watch->toolTip(), QStringLiteral("暂停显示"));
    QCOMPARE(ImageIndex(a.Btn_watch), ToolbarImage::DisplayRunning);
    QCOMPARE(a.N_watch->text(), QStringLiteral("暂停显示"));
    QCOMPARE(window->RecvMemo()->Lines(), (QStringList{"已暂停显示!", "已恢复显示!"}));
}

void MainWindowTest::deleteActsOnTheFocusedWindow()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    TSMemo* recv = window->RecvMemo();
    TSMemo* send = window->SendMemo();
    recv->setPlainText(QStringLiteral("01 02 03 "));
    send->setPlainText(QStringLiteral("AA BB CC "));
    for (TSMemo* memo : {recv, send}) {
        QTextCursor c(memo->document());
        c.setPosition(3);
        c.setPosition(6, QTextCursor::KeepAnchor);
        memo->setTextCursor(c);
    }

    recv->setFocus();
    QVERIFY(recv->hasFocus());
    window->Actions().Delete1->trigger();
    QCOMPARE(recv->toPlainText(), QStringLiteral("01 03 "));
    QCOMPARE(send->toPlainText(), QStringLiteral("AA BB CC "));

    // Without the receive window's focus the send window's selection goes,
    // unless timed sending has made it read-only.
    window->Actions().ToolBar1->setFocus();
    send->setReadOnly(true);
    window->Actions().Delete2->trigger();
    QCOMPARE(send->toPlainText(), QStringLiteral("AA BB CC "));
    send->setReadOnly(false);
    window->Actions().Delete2->trigger();
    QCOMPARE(send->toPlainText(), QStringLiteral("AA CC "));
    QCOMPARE(recv->toPlainText(), QStringLiteral("01 03 "));
}

void MainWindowTest::editActionsWorkOnTheFocusedText()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    const MainActions& a = window->Actions();
    TSMemo* recv = window->RecvMemo();
    TSMemo* send = window->SendMemo();
    recv->setPlainText(QStringLiteral("68 16 "));

    recv->setFocus();
    a.SelectAll1->trigger();
    a.Copy1->trigger();
    send->setFocus();
    a.Paste2->trigger();
    QCOMPARE(send->toPlainText(), QStringLiteral("68 16 "));
    a.SelectAll2->trigger();
    a.Cut1->trigger();
    QCOMPARE(send->toPlainText(), QString());
    a.Undo1->trigger();
    QCOMPARE(send->toPlainText(), QStringLiteral("68 16 "));
    QCOMPARE(recv->toPlainText(), QStringLiteral("68 16 "));
}

void MainWindowTest::versionDialogAndExit()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    const MainActions& a = window->Actions();

    for (QAction* open : {a.About1, a.Btn_help}) {
        QString caption;
        QString product;
        WhenModalOpens([&](QWidget* modal) {
            auto* version = qobject_cast<Tf_version*>(modal);
            QVERIFY(version != nullptr);
            caption = version->windowTitle();
            product = version->ProductLabel->text();
            QVERIFY(version->NotesMemo->isReadOnly());
            QTest::mouseClick(version->OKButton, Qt::LeftButton);
        });
        open->trigger();
        QCOMPARE(caption, QStringLiteral("版本信息"));
        QCOMPARE(product, QStringLiteral("Ostrel-通用以太网UDP通信监测工具 V2.15版"));
    }

    QSignalSpy closed(window.get(), &Tf_main::Closed);
    a.Btn_exit->trigger();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!window->isVisible());
    QVERIFY(QFile::exists(dir.SettingsPath()));
}

void MainWindowTest::calculatorMissingIsReported()
{
    TestDirectory dir;
    const auto window = OpenWindow();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.Path()));

    SeenBox box;
    CloseNextMessageBox(box);
    window->Actions().N_Calc->trigger();
    qputenv("PATH", path);

    QVERIFY(box.seen);
    QCOMPARE(box.title, kTitle);
    QVERIFY(box.text.contains(QStringLiteral("计算器")));
}

// A style that draws tool buttons wider (as dark desktop themes do) widens
// the start window so that no button hides behind the overflow menu; the
// window still fits the screen.
void MainWindowTest::everyToolbarButtonIsReachableUnderAWiderStyle()
{
    TestDirectory directory;
    qApp->setStyleSheet(QStringLiteral("QToolButton { padding: 7px; }"));
    const auto plainStyle = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    const std::unique_ptr<Tf_main> window = OpenWindow();
    QToolBar* bar = window->Actions().ToolBar1;
    QVERIFY2(bar->sizeHint().width() > 541, "the style sheet did not widen the toolbar");
    auto* overflow = bar->findChild<QWidget*>(QStringLiteral("qt_toolbar_ext_button"));
    QVERIFY(overflow != nullptr);
    QVERIFY2(!overflow->isVisible(), qPrintable(QStringLiteral("window %1 wide, toolbar %2")
                                                    .arg(window->width())
                                                    .arg(bar->sizeHint().width())));
    QVERIFY(window->width() <= window->screen()->availableGeometry().width());
}

// Assistive tools and GUI checks find every control by its accessible name,
// the dialogs' controls included.
void MainWindowTest::everyControlHasAnAccessibleName()
{
    TestDirectory directory;
    const std::unique_ptr<Tf_main> window = OpenWindow();
    // The guide's window too, which also shows that its page was found.
    QCOMPARE(window->Actions().N_help->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    window->Actions().N_help->trigger();
    auto* guide = window->findChild<HelpWindow*>();
    QVERIFY(guide != nullptr && guide->isVisible());
    QVERIFY(guide->Browser()->toPlainText().contains(QStringLiteral("ostrel-headless")));
    const QStringList unnamed = ControlsWithoutAccessibleName(window.get());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
