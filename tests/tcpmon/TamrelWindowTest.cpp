#include "TamrelTestSupport.h"
#include "tests/support/AccessibleNames.h"
#include "widgets/HelpWindow.h"

#include <QTextBrowser>

#include "monitor/IntervalTimer.h"
#include "platform/CaptureBuffer.h"
#include "monitor/FrameLogDialogs.h"
#include "tcpmon/Main.h"
#include "tcpmon/TOutlookBtn.h"
#include "monitor/DecodePanel.h"
#include "monitor/LinkPanel.h"
#include "widgets/BatchedLineWriter.h"
#include "tcpmon/u_linkwatch.h"
#include "tcpmon/u_csn.h"
#include "tcpmon/u_decode.h"
#include "tcpmon/u_filter.h"
#include "tcpmon/u_save.h"
#include "tcpmon/u_sendstyle.h"

#include "platform/IniFile.h"
#include "platform/TextFile.h"
#include "socket/WSocket.h"
#include "widgets/StatusPanels.h"
#include "widgets/TSMemo.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QTableView>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QToolBar>

#include <memory>
#include <vector>

using namespace tamrel;

class TamrelWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    PromptLog log_;
    std::unique_ptr<Tf_main> w_;
    int port_ = 0;

    QString SettingsPath() const { return dir_.filePath(QStringLiteral("Tamrel_S.ini")); }
    void NewWindow()
    {
        w_ = std::make_unique<Tf_main>(SettingsPath(), RecordingPrompts(log_));
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    }
    // Sends the bytes and waits until the window has read them.
    void SendAndWait(TestClient& client, const QByteArray& bytes)
    {
        const qint64 before = w_->TmpWSocket()->ReadCount();
        QVERIFY(client.Send(bytes));
        QTRY_COMPARE(w_->TmpWSocket()->ReadCount(), before + bytes.size());
        // A read close behind the last write of the window is shown by the
        // next paced flush, within the window's delay.
        QTRY_VERIFY(!w_->ReceiveLines()->Pending());
    }
    void SetPortThroughDialog(const QString& port)
    {
        WhenShown(w_->PortDialog(), [this, port] {
            w_->PortDialog()->Edit1->setText(port);
            w_->PortDialog()->BitBtn2->click();
        });
        w_->Actions().Btn_setupcom->click();
    }
    void Listen()
    {
        port_ = FreePort();
        SetPortThroughDialog(QString::number(port_));
        w_->Actions().Btn_closecom->click();
        QCOMPARE(w_->Actions().Btn_closecom->Caption(), QStringLiteral("停止监听"));
    }
    // Connects a client and waits until the window took it.
    std::unique_ptr<TestClient> Connect()
    {
        const int before = ConnectedLines();
        auto client = std::make_unique<TestClient>(port_);
        if (!client->Connected())
            return nullptr;
        if (!QTest::qWaitFor([&] { return ConnectedLines() == before + 1; }))
            return nullptr;
        return client;
    }
    int ConnectedLines() const
    {
        return w_->Area().Memo1->Lines().filter(QStringLiteral("Connected with ")).size();
    }
    QString LastRecvLine() const { return w_->Area().Memo1->Line(w_->Area().Memo1->LineCount() - 1); }
    void PutCaretOnLine(TSMemo* memo, int line)
    {
        QTextCursor cursor(memo->document()->findBlockByNumber(line));
        memo->setTextCursor(cursor);
    }
    void ChooseSendStyle(QRadioButton* (Tf_sendstyle::*radio), bool timed, const QString& interval)
    {
        WhenShown(w_->SendStyleDialog(), [this, radio, timed, interval] {
            Tf_sendstyle* d = w_->SendStyleDialog();
            (d->*radio)->click();
            if (d->CheckBox1->isChecked() != timed)
                d->CheckBox1->click();
            d->edit1->setText(interval);
            d->BitBtn3->click();
        });
        w_->Actions().N_fbfs->trigger();
    }
    void SetFilter(int row, bool ticked, const QString& position, const QString& value, bool ok)
    {
        WhenShown(w_->FilterDialog(), [this, row, ticked, position, value, ok] {
            Tf_filter* d = w_->FilterDialog();
            d->CheckBoxes[row]->setChecked(ticked);
            d->Positions[row]->setText(position);
            d->Values[row]->setText(value);
            (ok ? d->BitBtn2 : d->BitBtn1)->click();
        });
        w_->Actions().Btn_flilter->click();
    }
    void Tick(monitor::IntervalTimer* timer) { emit timer->OnTimer(); }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        QFile::remove(SettingsPath());
        log_ = PromptLog{};
        NewWindow();
    }
    void cleanup() { w_.reset(); }

    // Assistive tools and GUI checks find every control by its accessible
    // name, the dialogs' controls included.
    void everyControlHasAnAccessibleName()
    {
        // The guide's window too, which also shows that its page was found.
        QCOMPARE(w_->Actions().N_help->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
        w_->Actions().N_help->trigger();
        auto* guide = w_->findChild<HelpWindow*>();
        QVERIFY(guide != nullptr && guide->isVisible());
        QVERIFY(guide->Browser()->toPlainText().contains(QStringLiteral("Tamrel_S.ini")));
        const QStringList unnamed = ControlsWithoutAccessibleName(w_.get());
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    // ---- start-up, layout, menus ----

    void startState()
    {
        QCOMPARE(w_->windowTitle(), QStringLiteral("Tamrel-通用TCP通信服务器监测工具（V1.5版）"));
        QCOMPARE(w_->size(), QSize(739, 507));
        QVERIFY(w_->windowFlags() & Qt::WindowStaysOnTopHint);
        QStringList menus;
        for (QAction* menu : w_->menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList{"报文处理", "服务器监听", "参数设置", "附加功能", "显示", "帮助"}));
        QVERIFY(w_->Actions().N_startlisten->isEnabled());
        QVERIFY(!w_->Actions().N_stoplisten->isEnabled());
        QVERIFY(!w_->Actions().N_setupcom->isEnabled());
        QCOMPARE(w_->Actions().N_ljfb->shortcut(), QKeySequence(Qt::Key_F12));
        QCOMPARE(w_->Actions().N_verify->shortcut(), QKeySequence(Qt::Key_F10));
        QCOMPARE(w_->Actions().N_68->shortcut(), QKeySequence(Qt::Key_F11));
        QCOMPARE(w_->Actions().N_watch->shortcut(), QKeySequence(Qt::Key_F1));
        QStringList captions;
        for (QAction* action : w_->Actions().ToolBar1->actions()) {
            if (action->isSeparator())
                captions << QStringLiteral("|");
            else if (auto* b = qobject_cast<TOutlookBtn*>(w_->Actions().ToolBar1->widgetForAction(action)))
                captions << b->Caption();
        }
        QCOMPARE(captions, (QStringList{"开始监听", "服务器配置", "|", "暂停显示", "过滤报文", "触发器", "立即发报", "|",
                                        "保存收报", "提取发报", "|", "退出程序"}));
        QCOMPARE(w_->Actions().Btn_setupcom->toolTip(), QStringLiteral("Config"));
        QCOMPARE(w_->Actions().Btn_closecom->size(), QSize(56, 55));
        QCOMPARE(w_->Actions().Btn_closecom->Style(), TOutlookBtn::bsOutlook);
        QVERIFY(!w_->Actions().Btn_closecom->Bitmap().isNull());
        QCOMPARE(w_->PanelText(Tf_main::PanelPort), QStringLiteral("服务器端口:8888"));
        QCOMPARE(w_->Area().Panels->PanelWidth(0), 140);
        QCOMPARE(w_->Area().Panels->PanelWidth(2), 250);
        QVERIFY(!w_->PanelText(Tf_main::PanelClock).isEmpty());
        QVERIFY(w_->Timer2()->Enabled());
        QVERIFY(!w_->Timer1()->Enabled());
        QVERIFY(!w_->Timer3()->Enabled());
        QCOMPARE(w_->State().SendStyle, 1);
        QCOMPARE(w_->SrvWSocket()->State(), wsClosed);
        // Selected text stands out from the windows' background.
        for (TSMemo* memo : {w_->Area().Memo1, w_->Area().Memo2})
            QVERIFY(memo->palette().color(QPalette::Highlight) != memo->palette().color(QPalette::Base));
        // The clock ticks.
        const QString first = w_->PanelText(Tf_main::PanelClock);
        QTRY_VERIFY_WITH_TIMEOUT(w_->PanelText(Tf_main::PanelClock) != first, 5000);
    }

    void intervalTimersNeverTickEarly()
    {
        // The send timer and timed save keep their period: no tick comes
        // before it is due (a coarse timer may come 5 % early).
        monitor::IntervalTimer timer(100);
        QElapsedTimer clock;
        std::vector<qint64> ticks;
        connect(&timer, &monitor::IntervalTimer::OnTimer, [&] { ticks.push_back(clock.elapsed()); });
        clock.start();
        timer.SetEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 6, 5000);
        for (size_t k = 0; k < ticks.size(); ++k) {
            const qint64 due = 100 * static_cast<qint64>(k + 1);
            QVERIFY2(ticks[k] >= due - 1, qPrintable(QStringLiteral("tick %1 at %2 ms").arg(k + 1).arg(ticks[k])));
        }
    }

    void layoutFollowsTheWidth()
    {
        w_->resize(1100, 600);
        QTRY_COMPARE(w_->width(), 1100);
        QCOMPARE(w_->Area().PanelLeft->width(), 50);
        QCOMPARE(w_->Area().PanelRight->width(), 50);
        QCOMPARE(w_->Area().Memo1->width(), 500);
        QCOMPARE(w_->Area().Splitter1->handleWidth(), 4);
        const int memo2Left = w_->Area().Splitter1->x() + w_->Area().Memo2->x();
        QCOMPARE(w_->Area().LabelRecv->x(), 50 + 500 / 2);
        QCOMPARE(w_->Area().LabelSend->x(), memo2Left + w_->Area().Memo2->width() / 2);
        // Moving the splitter re-places the labels only.
        w_->Area().Splitter1->setSizes({300, w_->Area().Splitter1->width() - 304});
        emit w_->Area().Splitter1->splitterMoved(300, 1);
        QCOMPARE(w_->Area().LabelRecv->x(), 50 + w_->Area().Memo1->width() / 2);
        QCOMPARE(w_->Area().PanelLeft->width(), 50);
    }

    void toolbarSwitch()
    {
        QVERIFY(w_->Actions().N_showtoolbar->isChecked());
        w_->Actions().N_showtoolbar->trigger();
        QVERIFY(!w_->Actions().N_showtoolbar->isChecked());
        QVERIFY(w_->Actions().ToolBar1->isHidden());
        w_->Actions().N_showtoolbar->trigger();
        QVERIFY(w_->Actions().N_showtoolbar->isChecked());
        QVERIFY(!w_->Actions().ToolBar1->isHidden());
    }

    // ---- listening and clients ----

    void portInUse()
    {
        PortHolder holder;
        QVERIFY(holder.Port() != 0);
        SetPortThroughDialog(QString::number(holder.Port()));
        QCOMPARE(w_->PanelText(Tf_main::PanelPort), QStringLiteral("服务器端口:%1").arg(holder.Port()));
        w_->Actions().Btn_closecom->click();
        QCOMPARE(LastRecvLine(), QStringLiteral("Already running as server"));
        QCOMPARE(w_->Actions().Btn_closecom->Caption(), QStringLiteral("开始监听"));
        QVERIFY(w_->Actions().N_startlisten->isEnabled());
        QVERIFY(!w_->Actions().N_stoplisten->isEnabled());
        QVERIFY(log_.errors.isEmpty());
        // Another start failure goes to the error box.
        SetPortThroughDialog(QStringLiteral("no-such-port"));
        w_->Actions().N_startlisten->trigger();
        QCOMPARE(log_.errors.size(), 1);
        QCOMPARE(w_->Actions().Btn_closecom->Caption(), QStringLiteral("开始监听"));
        // The user can start again.
        Listen();
    }

    void portDialogCancelAndLaterStart()
    {
        WhenShown(w_->PortDialog(), [this] {
            w_->PortDialog()->Edit1->setText(QStringLiteral("1234"));
            w_->PortDialog()->BitBtn1->click();
        });
        w_->Actions().Btn_setupcom->click();
        QCOMPARE(w_->State().ServerPort, QStringLiteral("8888"));
        QCOMPARE(w_->PanelText(Tf_main::PanelPort), QStringLiteral("服务器端口:8888"));
        Listen();
        const int first = port_;
        // A new port waits for the next start.
        const int second = FreePort();
        SetPortThroughDialog(QString::number(second));
        QCOMPARE(w_->PanelText(Tf_main::PanelPort), QStringLiteral("服务器端口:%1").arg(second));
        QVERIFY(TestClient(first).Connected());
        w_->Actions().Btn_closecom->click();
        w_->Actions().Btn_closecom->click();
        port_ = second;
        QVERIFY(Connect() != nullptr);
    }

    void portZeroShowsThePortTheSystemChose()
    {
        SetPortThroughDialog(QStringLiteral("0"));
        w_->Actions().Btn_closecom->click();
        const QString prefix = QStringLiteral("服务器端口:");
        const QString shown = w_->PanelText(Tf_main::PanelPort);
        QVERIFY2(shown.startsWith(prefix), qPrintable(shown));
        port_ = shown.mid(prefix.size()).toInt();
        QVERIFY2(port_ > 0, qPrintable(shown));
        QVERIFY(Connect() != nullptr);
        QCOMPARE(w_->State().ServerPort, QStringLiteral("0"));
        w_->Actions().Btn_closecom->click();
        QCOMPARE(w_->PanelText(Tf_main::PanelPort), prefix + QStringLiteral("0"));
    }

    void newerClientReplacesTheOlder()
    {
        Listen();
        auto first = Connect();
        QVERIFY(first);
        QCOMPARE(LastRecvLine(), QStringLiteral("Connected with 127.0.0.1"));
        QVERIFY(first->Send(Hex("01031A")));
        QTRY_COMPARE(LastRecvLine(), QStringLiteral("01 03 1A "));
        auto second = Connect();
        QVERIFY(second);
        QCOMPARE(ConnectedLines(), 2);
        QTRY_VERIFY(first->PeerClosed());
        first->Send(Hex("EEEE"));
        QVERIFY(second->Send(Hex("02")));
        QTRY_COMPARE(LastRecvLine(), QStringLiteral("02 "));
        QVERIFY(!w_->Area().Memo1->Lines().contains(QStringLiteral("EE EE ")));
        // Stopping cuts the client off without a line.
        const int lines = w_->Area().Memo1->LineCount();
        w_->Actions().Btn_closecom->click();
        QCOMPARE(w_->Actions().Btn_closecom->Caption(), QStringLiteral("开始监听"));
        QVERIFY(w_->Actions().N_startlisten->isEnabled());
        QTRY_VERIFY(second->PeerClosed());
        QCOMPARE(w_->Area().Memo1->LineCount(), lines);
    }

    void twoThousandWaitingBytesAndTheEmptyLineOnClose()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        QByteArray bytes(2000, '\x5A');
        QVERIFY(client->Send(bytes));
        QTRY_COMPARE(w_->Area().Memo1->LineCount(), 3);
        QCOMPARE(w_->Area().Memo1->Line(1).size(), 1024 * 3);
        QCOMPARE(w_->Area().Memo1->Line(2).size(), 976 * 3);
        QVERIFY(w_->Area().Memo1->Line(2).startsWith(QStringLiteral("5A 5A ")));
        client->Close();
        QTRY_COMPARE(w_->Area().Memo1->LineCount(), 4);
        QCOMPARE(w_->Area().Memo1->Line(3), QString());
        QTRY_COMPARE(w_->TmpWSocket()->State(), wsClosed);
    }

    void filterReadsTheFieldsLive()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        SetFilter(0, true, QStringLiteral("2"), QStringLiteral("3"), true);
        QVERIFY(w_->State().FilterRuleOn[0]);
        SendAndWait(*client, Hex("01031A"));
        QCOMPARE(LastRecvLine(), QStringLiteral("01 03 1A "));
        SendAndWait(*client, Hex("01"));
        SendAndWait(*client, Hex("AA03"));
        QCOMPARE(LastRecvLine(), QStringLiteral("AA 03 "));
        QVERIFY(!w_->Area().Memo1->Lines().contains(QStringLiteral("01 ")));
        // Changing the value and cancelling still counts from the next chunk on.
        SetFilter(0, true, QStringLiteral("2"), QStringLiteral("1A"), false);
        SendAndWait(*client, Hex("0103"));
        SendAndWait(*client, Hex("011A"));
        QCOMPARE(LastRecvLine(), QStringLiteral("01 1A "));
        QVERIFY(!w_->Area().Memo1->Lines().contains(QStringLiteral("01 03 ")));
        // A ticked row with an empty value leaves the rule off after OK.
        SetFilter(0, true, QStringLiteral("2"), QString(), true);
        QVERIFY(!w_->State().FilterRuleOn[0]);
        client->Send(Hex("0177"));
        QTRY_COMPARE(LastRecvLine(), QStringLiteral("01 77 "));
        // The dialog empties bad fields at once.
        w_->FilterDialog()->Values[1]->setText(QStringLiteral("1G"));
        QCOMPARE(w_->FilterDialog()->Values[1]->text(), QString());
        w_->FilterDialog()->Positions[1]->setText(QStringLiteral("0"));
        QCOMPARE(w_->FilterDialog()->Positions[1]->text(), QString());
        QVERIFY(!w_->FilterDialog()->Positions[2]->isEnabled());
    }

    void the601stLineEmptiesTheWindow()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        QStringList lines;
        for (int i = 0; i < 599; ++i)
            lines << QStringLiteral("00 ");
        w_->Area().Memo1->SetLines(lines);
        SendAndWait(*client, Hex("01"));
        QCOMPARE(w_->Area().Memo1->LineCount(), 600);
        SendAndWait(*client, Hex("02"));
        QCOMPARE(w_->Area().Memo1->LineCount(), 0);
        SendAndWait(*client, Hex("03"));
        QCOMPARE(w_->Area().Memo1->LineCount(), 1);
        QCOMPARE(w_->Area().Memo1->Line(0), QStringLiteral("03 "));

        // Chunks read in one go count one by one: the 600th line, the 601st
        // that empties the window, and the next that starts it again.
        w_->Area().Memo1->SetLines(lines);
        QByteArray three = QByteArray(1024, '\x11') + QByteArray(1024, '\x22') + QByteArray(1024, '\x33');
        SendAndWait(*client, three);
        QCOMPARE(w_->Area().Memo1->LineCount(), 1);
        QCOMPARE(w_->Area().Memo1->Line(0), QString(QStringLiteral("33 ")).repeated(1024));
    }

    void pausedDisplayStillCapturesForTimedSaving()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        WhenShown(w_->TimedSaveDialog(), [this] {
            w_->TimedSaveDialog()->CheckBox1->click();
            w_->TimedSaveDialog()->edit1->setText(QStringLiteral("10"));
            w_->TimedSaveDialog()->BitBtn2->click();
        });
        w_->Actions().N9->trigger();
        QVERIFY(w_->Timer1()->Enabled());
        QCOMPARE(w_->Timer1()->Interval(), 600000);

        w_->Actions().Btn_watch->click();
        QCOMPARE(w_->Actions().Btn_watch->Caption(), QStringLiteral("继续显示"));
        QCOMPARE(w_->Actions().N_watch->text(), QStringLiteral("继续显示"));
        QVERIFY(w_->Area().Memo1->isReadOnly());
        const int lines = w_->Area().Memo1->LineCount();
        client->Send(Hex("0102"));
        QTRY_COMPARE(w_->SMemo1().Lines(), QStringList{QStringLiteral("01 02 ")});
        QCOMPARE(w_->Area().Memo1->LineCount(), lines);

        // The tick writes receive0.dat in the current folder.
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir_.path()));
        Tick(w_->Timer1());
        QDir::setCurrent(before);
        const QStringList saved = LoadTextLines(dir_.filePath(QStringLiteral("receive0.dat")));
        QCOMPARE(saved.size(), 2);
        QVERIFY(!saved[0].isEmpty());
        QCOMPARE(saved[1], QStringLiteral("01 02 "));
        QCOMPARE(w_->State().SaveNumber, 1);
        QVERIFY(w_->SMemo1().IsEmpty());
        // The dialog keeps its box as it was left; a bad number is an error.
        WhenShown(w_->TimedSaveDialog(), [this] {
            QVERIFY(w_->TimedSaveDialog()->CheckBox1->isChecked());
            w_->TimedSaveDialog()->edit1->setText(QStringLiteral("x"));
            w_->TimedSaveDialog()->BitBtn2->click();
        });
        w_->Actions().N9->trigger();
        QCOMPARE(log_.errors, QStringList{QStringLiteral("'x' is not a valid floating point value")});
        QCOMPARE(w_->Timer1()->Interval(), 600000);

        w_->Actions().Btn_watch->click();
        QCOMPARE(w_->Actions().Btn_watch->Caption(), QStringLiteral("暂停显示"));
        QVERIFY(!w_->Area().Memo1->isReadOnly());

        // Closing writes what came since the last tick to the next file.
        client->Send(Hex("0304"));
        QTRY_COMPARE(w_->SMemo1().Lines(), QStringList{QStringLiteral("03 04 ")});
        QVERIFY(QDir::setCurrent(dir_.path()));
        w_->CloseWithoutAsking();
        QDir::setCurrent(before);
        QCOMPARE(LoadTextLines(dir_.filePath(QStringLiteral("receive1.dat"))).mid(1),
                 QStringList{QStringLiteral("03 04 ")});
    }

    void acceptErrorAbortShowsNotListening()
    {
        Listen();
        // What the component does after an error while taking a client.
        w_->SrvWSocket()->Abort();
        QCOMPARE(w_->Actions().Btn_closecom->Caption(), QStringLiteral("开始监听"));
        QVERIFY(w_->Actions().N_startlisten->isEnabled());
        QVERIFY(!w_->Actions().N_stoplisten->isEnabled());
        w_->Actions().Btn_closecom->click();
        QCOMPARE(w_->SrvWSocket()->State(), wsListening);
    }

    void portScanLeavesTheServerListening()
    {
        Listen();
        auto served = Connect();
        QVERIFY(served);
        for (int i = 0; i < 3; ++i) {
            TestClient scan(port_);
            QVERIFY(scan.Connected());
            scan.Close(true);
        }
        // Connections are taken in order: the next client is taken after the scans.
        auto next = Connect();
        QVERIFY(next);
        QCOMPARE(ConnectedLines(), 2);
        QCOMPARE(w_->SrvWSocket()->State(), wsListening);
        QCOMPARE(w_->Actions().Btn_closecom->Caption(), QStringLiteral("停止监听"));
        QVERIFY(log_.errors.isEmpty());
        SendAndWait(*next, Hex("0102"));
        QTRY_COMPARE(LastRecvLine(), QStringLiteral("01 02 "));
    }

    void thousandClientsLeaveOneConnection()
    {
        Listen();
        const int baseline = OpenDescriptors();
        std::unique_ptr<TestClient> previous;
        for (int i = 0; i < 1000; ++i) {
            auto client = Connect();
            QVERIFY2(client, qPrintable(QStringLiteral("client %1").arg(i)));
            previous = std::move(client);
        }
        QCOMPARE(ConnectedLines(), 1000);
        QCOMPARE(w_->TmpWSocket()->State(), wsConnected);
        // The test holds one client, the window one connection.
        QCOMPARE(OpenDescriptors(), baseline + 2);
        // Its chunk is read; the 1001 lines then exceed the limit.
        SendAndWait(*previous, Hex("0A"));
        QCOMPARE(w_->Area().Memo1->LineCount(), 0);
    }

    // ---- sending ----

    void sendNowTakesTheCaretLine()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        w_->Area().Memo2->setPlainText(QStringLiteral("01 03 1A\n01-03-1A\n01 03 1"));
        PutCaretOnLine(w_->Area().Memo2, 0);
        w_->Actions().Btn_ljfb->click();
        QTRY_COMPARE(client->Received(), Hex("01031A"));
        PutCaretOnLine(w_->Area().Memo2, 1);
        // Shortcuts go to the active window; a closed dialog leaves none here.
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        w_->Area().Memo2->setFocus();
        // Under load a late deactivation can still arrive; the shortcut only
        // reaches the window once it is active and focused.
        QTRY_VERIFY(QApplication::activeWindow() == w_.get() && w_->Area().Memo2->hasFocus());
        QTest::keyClick(w_->Area().Memo2, Qt::Key_F12);
        QTRY_COMPARE(client->Received(), Hex("01031A01031A"));
        PutCaretOnLine(w_->Area().Memo2, 2);
        w_->Actions().N_ljfb->trigger();
        QTRY_COMPARE(client->Received(), Hex("01031A01031A0103"));
        QVERIFY(log_.messages.isEmpty());
        QVERIFY(w_->Actions().Btn_ljfb->isEnabled());
    }

    void formatErrorStopsTimedSending()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        w_->Area().Memo2->setPlainText(QStringLiteral("1 03"));
        ChooseSendStyle(&Tf_sendstyle::RadioButton2, true, QStringLiteral("0"));
        QVERIFY(w_->Timer3()->Enabled());
        QVERIFY(w_->Area().Memo2->isReadOnly());
        QVERIFY(w_->SendStyleDialog()->CheckBox1->isChecked());
        Tick(w_->Timer3());
        QCOMPARE(log_.messages, QStringList{QStringLiteral("发报格式错误,请修改! eg:\"01 03 1A\"")});
        QVERIFY(!w_->Timer3()->Enabled());
        QVERIFY(!w_->Area().Memo2->isReadOnly());
        QVERIFY(!w_->SendStyleDialog()->CheckBox1->isChecked());
        QVERIFY(client->Received().isEmpty());
        // A line of 513 pairs is refused the same way, nothing sent.
        log_.messages.clear();
        w_->Area().Memo2->setPlainText(QString(QStringLiteral("AB ")).repeated(513));
        w_->Actions().Btn_ljfb->click();
        QCOMPARE(log_.messages.size(), 1);
        QTest::qWait(50);
        QVERIFY(client->Received().isEmpty());
    }

    void loopStyleSendsInOrderAndDisablesSendNow()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        w_->Area().Memo2->setPlainText(QStringLiteral("01\n02\n03"));
        ChooseSendStyle(&Tf_sendstyle::RadioButton1, false, QStringLiteral("0.5"));
        QCOMPARE(w_->State().SendStyle, 0);
        QVERIFY(w_->Timer3()->Enabled());
        QCOMPARE(w_->Timer3()->Interval(), 500);
        QCOMPARE(w_->State().SendInterval, 0.5);
        QVERIFY(!w_->Actions().Btn_ljfb->isEnabled());
        QVERIFY(!w_->Actions().N_ljfb->isEnabled());
        QCOMPARE(w_->Actions().Btn_ljfb->toolTip(), QStringLiteral("请更改循环发送方式为其它"));
        // No timer ticks by itself in this test: stop it and tick by hand.
        w_->Timer3()->SetInterval(0);
        for (int i = 0; i < 4; ++i)
            Tick(w_->Timer3());
        QTRY_COMPARE(client->Received(), Hex("01020301"));
        QCOMPARE(w_->State().LoopLine, 1);
        // A client connecting afterwards leaves send now disabled.
        auto other = Connect();
        QVERIFY(other);
        QVERIFY(!w_->Actions().Btn_ljfb->isEnabled());
        // The dialog shows the loop layout when opened again, and back.
        ChooseSendStyle(&Tf_sendstyle::RadioButton2, false, QStringLiteral("1"));
        QVERIFY(!w_->Timer3()->Enabled());
        QVERIFY(!w_->Area().Memo2->isReadOnly());
        QVERIFY(w_->Actions().Btn_ljfb->isEnabled());
        QCOMPARE(w_->State().SendInterval, 0.5);
    }

    void randomStyleRepeatsAndTrims()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        QStringList lines;
        for (int i = 1; i <= 10; ++i)
            lines << QStringLiteral("%1").arg(i, 2, 16, QLatin1Char('0'));
        w_->Area().Memo2->SetLines(lines);
        ChooseSendStyle(&Tf_sendstyle::RadioButton3, false, QStringLiteral("1"));
        for (int i = 0; i < 8; ++i)
            w_->Actions().Btn_ljfb->click();
        QTRY_COMPARE(client->Received(), Hex("0101090303070402"));
        // Above a thousand lines one send removes the first line.
        QStringList many;
        for (int i = 0; i < 1001; ++i)
            many << QStringLiteral("%1").arg(i % 256, 2, 16, QLatin1Char('0'));
        many[0] = QStringLiteral("first");
        w_->Area().Memo2->SetLines(many);
        w_->Actions().Btn_ljfb->click();
        QCOMPARE(w_->Area().Memo2->LineCount(), 1000);
        QVERIFY(w_->Area().Memo2->Line(0) != QStringLiteral("first"));
    }

    void notConnectedIsReportedAtEveryTick()
    {
        w_->Area().Memo2->setPlainText(QStringLiteral("01 02"));
        w_->Actions().N_ljfb->trigger();
        QCOMPARE(log_.errors.size(), 1);
        QVERIFY2(log_.errors[0].startsWith(QStringLiteral("Error 10057")), qPrintable(log_.errors[0]));
        QVERIFY(log_.errors[0].contains(QStringLiteral("Send")));
        ChooseSendStyle(&Tf_sendstyle::RadioButton2, true, QStringLiteral("0"));
        Tick(w_->Timer3());
        Tick(w_->Timer3());
        QCOMPARE(log_.errors.size(), 3);
        QVERIFY(w_->Timer3()->Enabled());
        // Ticks that come while a tick's error box is still open do not
        // stack further boxes.
        log_.whileErrorBoxOpen = [this] {
            log_.whileErrorBoxOpen = nullptr;
            Tick(w_->Timer3());
            Tick(w_->Timer3());
        };
        Tick(w_->Timer3());
        QCOMPARE(log_.errors.size(), 4);
        Tick(w_->Timer3());
        QCOMPARE(log_.errors.size(), 5);
    }

    void clientResetWhileTheTimerSends()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        w_->Area().Memo2->setPlainText(QString(QStringLiteral("55 ")).repeated(512));
        ChooseSendStyle(&Tf_sendstyle::RadioButton2, true, QStringLiteral("0"));
        for (int i = 0; i < 20; ++i)
            Tick(w_->Timer3());
        client->Close(true);
        QTRY_COMPARE(w_->TmpWSocket()->State(), wsClosed);
        for (int i = 0; i < 5; ++i)
            Tick(w_->Timer3());
        QVERIFY(!log_.errors.isEmpty());
        for (const QString& error : log_.errors)
            QVERIFY2(error.startsWith(QStringLiteral("Error ")), qPrintable(error));
        QVERIFY(w_->Timer3()->Enabled());
        // The window still serves the next client.
        auto next = Connect();
        QVERIFY(next);
        Tick(w_->Timer3());
        QTRY_COMPARE(next->Received().size(), 512);
    }

    void aClientThatNeverReadsGetsABoundedQueueAndSendErrors()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        w_->Area().Memo2->setPlainText(QString(QStringLiteral("55 ")).repeated(512));
        ChooseSendStyle(&Tf_sendstyle::RadioButton2, true, QStringLiteral("0"));
        // The system's buffers take some megabytes first; the loop is bounded.
        for (int i = 0; i < 100000 && log_.errors.isEmpty(); ++i)
            Tick(w_->Timer3());
        QCOMPARE(log_.errors.size(), 1);
        QVERIFY2(log_.errors[0].startsWith(QStringLiteral("Error 10055 in function Send")), qPrintable(log_.errors[0]));
        QVERIFY(w_->TmpWSocket()->QueuedBytes() <= TCustomWSocket::MaxQueuedBytes);
        QCOMPARE(w_->TmpWSocket()->State(), wsConnected);
        QVERIFY(w_->Timer3()->Enabled());
        // The client leaves: everything held for it is given back.
        client->Close(true);
        QTRY_COMPARE(w_->TmpWSocket()->State(), wsClosed);
        QCOMPARE(w_->TmpWSocket()->HeldChunks(), size_t(0));
    }

    void sendStyleDialogChecksTheInterval()
    {
        WhenShown(w_->SendStyleDialog(), [this] {
            Tf_sendstyle* d = w_->SendStyleDialog();
            QVERIFY(d->RadioButton2->isChecked());
            QVERIFY(d->CheckBox1->isVisible());
            QVERIFY(!d->Label2->isVisible());
            QVERIFY(!d->edit1->isVisible());
            d->CheckBox1->click();
            QVERIFY(d->edit1->isVisible());
            d->edit1->setText(QStringLiteral("abc"));
            QCOMPARE(d->edit1->text(), QStringLiteral("1"));
            d->edit1->setText(QStringLiteral("-2"));
            QCOMPARE(d->edit1->text(), QStringLiteral("1"));
            d->RadioButton1->click();
            QVERIFY(!d->CheckBox1->isVisible());
            QVERIFY(d->Label2->isVisible());
            QVERIFY(d->edit1->isVisible());
            d->edit1->setText(QStringLiteral("7"));
            d->BitBtn1->click();
        });
        w_->Actions().N_fbfs->trigger();
        QCOMPARE(log_.messages, (QStringList{QStringLiteral("请输入正实数！"), QStringLiteral("请输入正实数!")}));
        QCOMPARE(w_->State().SendStyle, 1);
        QVERIFY(!w_->Timer3()->Enabled());
        // Reopening shows the stored interval, not the cancelled text.
        WhenShown(w_->SendStyleDialog(), [this] {
            QCOMPARE(w_->SendStyleDialog()->edit1->text(), QStringLiteral("1"));
            QVERIFY(w_->SendStyleDialog()->RadioButton2->isChecked());
            w_->SendStyleDialog()->BitBtn1->click();
        });
        w_->Actions().N_fbfs->trigger();
    }

    // ---- check codes, caret readout, files ----

    void checkCodesOnTheCaretLine()
    {
        w_->Area().Memo2->setPlainText(QStringLiteral("xx\n01 03 1A \n1 2 3"));
        PutCaretOnLine(w_->Area().Memo2, 1);
        w_->Actions().N_verify->trigger();
        QCOMPARE(w_->Area().Memo2->Line(1), QStringLiteral("01 03 1A 1E"));
        w_->Area().Memo2->setPlainText(QStringLiteral("01 03 1A"));
        w_->Actions().N_68->trigger();
        QCOMPARE(w_->Area().Memo2->Line(0), QStringLiteral("68 03 03 68 01 03 1A 1E 16"));
        w_->Area().Memo2->setPlainText(QStringLiteral("1 2 3"));
        w_->Actions().N_verify->trigger();
        QCOMPARE(log_.messages, QStringList{QStringLiteral("发报格式错误,无法添加校验码,格式应如\"01 03 1A\"")});
        QCOMPARE(w_->Area().Memo2->Line(0), QStringLiteral("1 2 3"));
        QCOMPARE(w_->Actions().N_verify->toolTip(), QStringLiteral("最后字节添加求和校验"));
    }

    // "显示" › "报文解析" opens the decode window; it shows the caret line of
    // the window focused last, following the lines as they arrive.
    void decodeWindowFollowsTheCaretLine()
    {
        QVERIFY(w_->DecodeDialog()->isHidden());
        QVERIFY(w_->Actions().N_decode->isCheckable() && !w_->Actions().N_decode->isChecked());
        w_->Actions().N_decode->trigger();
        QVERIFY(w_->DecodeDialog()->isVisible() && w_->Actions().N_decode->isChecked());
        const monitor::DecodePanel* panel = w_->DecodeDialog()->Panel;

        Listen();
        const auto client = Connect();
        QVERIFY(client);
        w_->Actions().N_receiveclear->trigger();
        QTRY_COMPARE(panel->Tree->toPlainText(), QStringLiteral("光标所在行没有报文"));
        SendAndWait(*client, QByteArray::fromHex("AABBCC"));
        QTRY_COMPARE(panel->Tree->toPlainText(),
                     QStringLiteral("Unrecognised\n     0  AA BB CC  Unrecognised frame: 3 bytes"));

        // The client asks: what it sends is a request, though its last bytes
        // would also make a response.
        w_->Actions().N_receiveclear->trigger();
        SendAndWait(*client, QByteArray::fromHex("107100000006FF01030D0001"));
        QTRY_VERIFY(panel->Tree->toPlainText().startsWith(QStringLiteral("MODBUS/TCP")));
        QVERIFY2(panel->Tree->toPlainText().contains(QStringLiteral("PDU: 1 Read Coils, request\n"))
                     && !panel->Tree->toPlainText().contains(QStringLiteral("response")),
                 qPrintable(panel->Tree->toPlainText()));

        // A send line is taken as it would be sent: a comment makes it no frame.
        w_->Area().Memo2->SetLines({QStringLiteral("AA BB // note")});
        w_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
        w_->Area().Memo2->setFocus();
        QTRY_COMPARE(panel->Tree->toPlainText(), QStringLiteral("光标所在行不是十六进制报文"));

        w_->DecodeDialog()->close();
        QVERIFY(!w_->Actions().N_decode->isChecked());
    }

    // "显示" › "链路监视": each connection is one link, watched from the
    // window's first showing on. An IEC 104 device that skips an N(S) makes
    // a gap, whose click leads to the line of its chunk (the first of two
    // when the frame came in two reads); on the next
    // connection a MODBUS request answered by "立即发报" gets its response time.
    void linkWindowWatchesEachConnection()
    {
        Tf_linkwatch* dialog = w_->LinkDialog();
        monitor::LinkPanel* panel = dialog->Panel;
        QVERIFY(dialog->isHidden() && !w_->Actions().N_linkwatch->isChecked());
        w_->Actions().N_linkwatch->trigger();
        QVERIFY(dialog->isVisible() && w_->Actions().N_linkwatch->isChecked());
        const auto row = [panel](const QString& kind) {
            const QAbstractItemModel* model = panel->EventList->model();
            for (int k = model->rowCount() - 1; k >= 0; --k)
                if (model->index(k, 3).data().toString() == kind)
                    return k;
            return -1;
        };
        const auto iFrame = [](int ns) {
            return Hex("6810") + QByteArray(1, static_cast<char>(ns << 1)) + Hex("000000090103000100010000640000");
        };

        Listen();
        auto device = Connect();
        QVERIFY(device);
        for (const int ns : {0, 1, 3})
            SendAndWait(*device, iFrame(ns));
        panel->Refresh();
        QVERIFY(row(QStringLiteral("connection")) >= 0);
        QVERIFY(row(QStringLiteral("gap")) >= 0);
        w_->ReceiveLines()->Flush();
        const QStringList lines = w_->Area().Memo1->Lines();
        const int frameLine = static_cast<int>(lines.lastIndexOf(QStringLiteral("68 10 06 00 00 00 09 01 03 00 01 00 01 00 00 64 00 00 ")));
        QVERIFY2(frameLine > 0, qPrintable(lines.join(QLatin1Char('\n'))));
        PutCaretOnLine(w_->Area().Memo1, 0);
        const QModelIndex gap = panel->EventList->model()->index(row(QStringLiteral("gap")), 0);
        panel->EventList->scrollTo(gap);
        QTest::mouseClick(panel->EventList->viewport(), Qt::LeftButton, {}, panel->EventList->visualRect(gap).center());
        QCOMPARE(w_->Area().Memo1->CaretLine(), frameLine);

        // A frame that came in two reads leads to the line where it begins.
        const QByteArray split = iFrame(5);
        SendAndWait(*device, split.left(5));
        SendAndWait(*device, split.mid(5));
        panel->Refresh();
        w_->ReceiveLines()->Flush();
        const int splitLine = static_cast<int>(w_->Area().Memo1->Lines().lastIndexOf(QStringLiteral("68 10 0A 00 00 ")));
        QVERIFY2(splitLine > frameLine, qPrintable(w_->Area().Memo1->Lines().join(QLatin1Char('\n'))));
        PutCaretOnLine(w_->Area().Memo1, 0);
        const QModelIndex splitGap = panel->EventList->model()->index(row(QStringLiteral("gap")), 0);
        QVERIFY(splitGap.row() > gap.row());
        panel->EventList->scrollTo(splitGap);
        QTest::mouseClick(panel->EventList->viewport(), Qt::LeftButton, {},
                          panel->EventList->visualRect(splitGap).center());
        QCOMPARE(w_->Area().Memo1->CaretLine(), splitLine);

        device = Connect();
        QVERIFY(device);
        SendAndWait(*device, Hex("000100000006010300000002"));
        w_->Area().Memo2->setPlainText(QStringLiteral("00 01 00 00 00 07 01 03 04 00 0A 00 0B"));
        PutCaretOnLine(w_->Area().Memo2, 0);
        w_->Actions().Btn_ljfb->click();
        QTRY_COMPARE(device->Received(), Hex("000100000007010304000A000B"));
        panel->Refresh();
        const QString summary = panel->SummaryView->toPlainText();
        QVERIFY2(summary.contains(QStringLiteral("modbus-tcp")) && summary.contains(QStringLiteral("请求 1 应答 1 待答 0"))
                     && summary.contains(QStringLiteral("响应时间 最小")),
                 qPrintable(summary));
        QVERIFY(log_.messages.isEmpty());
    }

    void caretReadoutAndClearing()
    {
        w_->Area().Memo1->setPlainText(QStringLiteral("01 03 1A \n02 "));
        PutCaretOnLine(w_->Area().Memo1, 0);
        QTextCursor cursor = w_->Area().Memo1->textCursor();
        cursor.setPosition(3);
        w_->Area().Memo1->setTextCursor(cursor);
        QTest::keyClick(w_->Area().Memo1, Qt::Key_Shift);
        QCOMPARE(w_->PanelText(Tf_main::PanelCaret), QStringLiteral("第1帧第2字节"));
        w_->Area().Memo2->setPlainText(QStringLiteral("a\nb"));
        PutCaretOnLine(w_->Area().Memo2, 1);
        QTest::mouseClick(w_->Area().Memo2->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(w_->PanelText(Tf_main::PanelCaret), QStringLiteral("第1帧第1字节"));
        w_->Actions().N_receiveclear->trigger();
        QCOMPARE(w_->Area().Memo1->LineCount(), 0);
        QCOMPARE(w_->PanelText(Tf_main::PanelCaret), QString());
        w_->Actions().N_sendclear->trigger();
        QCOMPARE(w_->Area().Memo2->LineCount(), 0);
    }

    void saveAndLoad()
    {
        w_->Area().Memo1->setPlainText(QStringLiteral("01 02 \nConnected with 127.0.0.1"));
        log_.nextFile = dir_.filePath(QStringLiteral("r.rcv"));
        w_->Actions().Btn_savereceive->click();
        QFile saved(log_.nextFile);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("01 02 \r\nConnected with 127.0.0.1\r\n"));
        QVERIFY(w_->FileDialogs().SaveDialog1->testOption(QFileDialog::DontConfirmOverwrite) == false);
        QVERIFY(w_->FileDialogs().SaveDialog2->testOption(QFileDialog::DontConfirmOverwrite));
        QCOMPARE(w_->FileDialogs().SaveDialog1->defaultSuffix(), QStringLiteral("rcv"));
        QCOMPARE(w_->FileDialogs().SaveDialog2->defaultSuffix(), QStringLiteral("snd"));

        QStringList eight;
        for (int i = 1; i <= 800; ++i)
            eight << QString::number(i);
        SaveTextLines(dir_.filePath(QStringLiteral("800.rcv")), eight);
        w_->Area().Memo2->setPlainText(QStringLiteral("typed"));
        log_.nextFile = dir_.filePath(QStringLiteral("800.rcv"));
        w_->Actions().N_loadreceive->trigger();
        QCOMPARE(w_->Area().Memo1->LineCount(), 499);
        QCOMPARE(w_->Area().Memo1->Line(0), QStringLiteral("302"));
        QCOMPARE(w_->Area().Memo2->Line(0), QStringLiteral("typed"));

        QStringList many;
        for (int i = 1; i <= 2001; ++i)
            many << QString::number(i);
        SaveTextLines(dir_.filePath(QStringLiteral("s.snd")), many);
        log_.nextFile = dir_.filePath(QStringLiteral("s.snd"));
        w_->Actions().Btn_loadsend->click();
        QCOMPARE(w_->Area().Memo2->LineCount(), 1999);
        QCOMPARE(w_->Area().Memo2->Line(0), QStringLiteral("3"));

        log_.nextFile = dir_.filePath(QStringLiteral("s2.snd"));
        w_->Actions().N_savesend->trigger();
        QCOMPARE(LoadTextLines(log_.nextFile).size(), 1999);

        // An unreadable file is reported; the typed frames stay.
        log_.nextFile = dir_.filePath(QStringLiteral("missing.snd"));
        w_->Actions().N_loadsend->trigger();
        QCOMPARE(log_.errors.size(), 1);
        QVERIFY(log_.errors[0].contains(QStringLiteral("missing.snd")));
        QCOMPARE(w_->Area().Memo2->LineCount(), 1999);
        // Cancelled dialogs do nothing.
        log_.nextFile.clear();
        w_->Actions().N_loadreceive->trigger();
        QCOMPARE(w_->Area().Memo1->LineCount(), 499);
    }

    // ---- closing and settings ----

    void exitQuestionAndSettingsRoundTrip()
    {
        Listen();
        auto client = Connect();
        QVERIFY(client);
        log_.answerYes = false;
        w_->Actions().Btn_exit->click();
        QCOMPARE(log_.questions, 1);
        QVERIFY(w_->isVisible());
        QCOMPARE(w_->SrvWSocket()->State(), wsListening);
        QVERIFY(!QFile::exists(SettingsPath()));

        SetPortThroughDialog(QStringLiteral("9000"));
        log_.answerYes = true;
        QSignalSpy closed(w_.get(), &Tf_main::Closed);
        w_->close();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(w_->SrvWSocket()->State(), wsClosed);
        QTRY_VERIFY(client->PeerClosed());
        QCOMPARE(IniFile(SettingsPath()).ReadString(QStringLiteral("TCPServer"), QStringLiteral("Server Port"), QString()),
                 QStringLiteral("9000"));

        NewWindow();
        QCOMPARE(w_->State().ServerPort, QStringLiteral("9000"));
        QCOMPARE(w_->PanelText(Tf_main::PanelPort), QStringLiteral("服务器端口:9000"));
        // Termination signals close without asking.
        log_.questions = 0;
        w_->CloseWithoutAsking();
        QCOMPARE(log_.questions, 0);
        QVERIFY(!w_->isVisible());
    }

    void firstRunWritesTheDefaultPort()
    {
        w_->Actions().Btn_exit->click();
        QCOMPARE(IniFile(SettingsPath()).ReadString(QStringLiteral("TCPServer"), QStringLiteral("Server Port"), QString()),
                 QStringLiteral("8888"));
    }

    void signalDuringTheExitQuestionClosesAnyway()
    {
        // The signal rejects the open box, so the question answers No; the
        // close still goes on and writes the settings.
        log_.answerYes = false;
        log_.whileQuestionOpen = [this] { w_->CloseWithoutAsking(); };
        QSignalSpy closed(w_.get(), &Tf_main::Closed);
        w_->close();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!w_->isVisible());
        QVERIFY(w_->SettingsWritten());
        QVERIFY(QFile::exists(SettingsPath()));
    }
};

QTEST_MAIN(TamrelWindowTest)
#include "TamrelWindowTest.moc"
