#include "TestSupport.h"

#include "monitor/DecodePanel.h"
#include "monitor/IntervalTimer.h"
#include "monitor/FrameLine.h"
#include "monitor/LinkPanel.h"
#include "udpmon/DockForm.h"
#include "monitor/u_trigger.h"
#include "platform/CaptureBuffer.h"
#include "udpmon/ToolbarImages.h"
#include "udpmon/u_filter.h"
#include "udpmon/u_main.h"
#include "udpmon/u_save.h"

#include "widgets/StatusPanels.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QAbstractItemModel>
#include <QCheckBox>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QHostAddress>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QUdpSocket>

#include <algorithm>
#include <memory>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace ostrel;
using monitor::Tf_trigger;

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

// An IEC 104 I-frame with N(S) `ns` carrying one measured value.
QByteArray IFrame(int ns)
{
    return Bytes({0x68, 0x10, (ns << 1) & 0xFF, ns >> 7, 0, 0, 0x09, 0x01, 0x03, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,
                  0x64, 0x00, 0x00});
}

// The row of the first event of `kind` the window shows; -1: none.
int EventRow(const monitor::LinkPanel* panel, const QString& kind)
{
    const QAbstractItemModel* model = panel->EventList->model();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 3).data().toString() == kind)
            return row;
    return -1;
}

struct TriggerText {
    const char* pattern;
    const char* response;
};

} // namespace

// The receive-side rules against real datagrams on loopback: the window
// listens on a port the system picks, a sender socket sends it frames, and
// the answers go to a peer socket that stands for ClientHost:ClientPort.
class RulesNetworkTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hiddenFrameIsStillCapturedAndAnswered();
    void onlyTheFirstMatchingRuleAnswers();
    void emptyResponseStopsTheSearch();
    void noTriggersInAsciiMode();
    void filterImageFollowsTheRules();
    void answersGoToANamedHost();
    void linkWindowFindsAGapAndLeadsToItsFrame();
    void peerMillisecondsCountersAndAnswersToTheSender();

private:
    void SetTriggers(std::initializer_list<TriggerText> rules);
    void SetFilterRule(const QString& position, const QString& value);
    void SendFrame(const QByteArray& frame);
    [[nodiscard]] QByteArray NextAnswer();
    [[nodiscard]] QStringList ShownLines() const;

    std::unique_ptr<TestDirectory> dir_;
    std::unique_ptr<Tf_main> window_;
    std::unique_ptr<QUdpSocket> peer_;
    std::unique_ptr<QUdpSocket> sender_;
    quint16 listenPort_ = 0;
};

void RulesNetworkTest::init()
{
    dir_ = std::make_unique<TestDirectory>();
    peer_ = std::make_unique<QUdpSocket>();
    QVERIFY2(peer_->bind(QHostAddress::LocalHost, 0), qPrintable(peer_->errorString()));
    sender_ = std::make_unique<QUdpSocket>();
    window_ = OpenWindow();
    OstrelState& state = window_->State();
    state.ServerPort = QStringLiteral("0");
    state.ClientHost = QStringLiteral("127.0.0.1");
    state.ClientPort = QString::number(peer_->localPort());
    window_->Actions().B_open->trigger();
    QVERIFY(window_->Listening());
    sockaddr_in bound{};
    socklen_t length = sizeof(bound);
    QVERIFY(getsockname(window_->UDPServer1().SocketHandle(), reinterpret_cast<sockaddr*>(&bound), &length) == 0);
    listenPort_ = ntohs(bound.sin_port);
    QVERIFY(listenPort_ != 0);
}

void RulesNetworkTest::cleanup()
{
    window_.reset();
    sender_.reset();
    peer_.reset();
    dir_.reset();
}

void RulesNetworkTest::SetTriggers(std::initializer_list<TriggerText> rules)
{
    WhenModalOpens([rules = std::vector<TriggerText>(rules)](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_trigger*>(modal);
        QVERIFY(dialog != nullptr);
        for (std::size_t k = 0; k < rules.size(); ++k) {
            QTest::mouseClick(dialog->CheckBox[k], Qt::LeftButton);
            dialog->PatternEdit[k]->setText(QString::fromUtf8(rules[k].pattern));
            dialog->ResponseEdit[k]->setText(QString::fromUtf8(rules[k].response));
        }
        QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
    });
    window_->Actions().Btn_trigger->trigger();
    QCOMPARE(ImageIndex(window_->Actions().Btn_trigger), ToolbarImage::TriggerOn);
}

void RulesNetworkTest::SetFilterRule(const QString& position, const QString& value)
{
    WhenModalOpens([position, value](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_filter*>(modal);
        QVERIFY(dialog != nullptr);
        if (!dialog->CheckBox[0]->isChecked())
            QTest::mouseClick(dialog->CheckBox[0], Qt::LeftButton);
        dialog->PositionEdit[0]->setText(position);
        dialog->ValueEdit[0]->setText(value);
        QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
    });
    window_->Actions().N_flilter->trigger();
}

void RulesNetworkTest::SendFrame(const QByteArray& frame)
{
    QCOMPARE(sender_->writeDatagram(frame, QHostAddress::LocalHost, listenPort_), qint64(frame.size()));
}

QByteArray RulesNetworkTest::NextAnswer()
{
    [&] { QTRY_VERIFY_WITH_TIMEOUT(peer_->hasPendingDatagrams(), 10000); }();
    return peer_->receiveDatagram().data();
}

QStringList RulesNetworkTest::ShownLines() const
{
    window_->FlushReceiveWindow();
    return window_->RecvMemo()->Lines();
}

void RulesNetworkTest::hiddenFrameIsStillCapturedAndAnswered()
{
    SetFilterRule(QStringLiteral("1"), QStringLiteral("68"));
    SetTriggers({{"10 ?? 01 4A 16", "68 00 16"}});
    WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_save*>(modal);
        QVERIFY(dialog != nullptr);
        QTest::mouseClick(dialog->CheckBox1, Qt::LeftButton);
        QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
    });
    window_->Actions().N_intervalsave->trigger();
    QVERIFY(window_->Timer1()->Enabled());
    const int shownBefore = window_->RecvMemo()->LineCount();

    SendFrame(Bytes({0x10, 0x49, 0x01, 0x4A, 0x16}));
    QCOMPARE(NextAnswer(), Bytes({0x68, 0x00, 0x16}));
    QCOMPARE(window_->SMemo1().Lines(), QStringList{QStringLiteral("10 49 01 4A 16 ")});
    QCOMPARE(ShownLines().size(), shownBefore); // hidden by the filter

    SendFrame(Bytes({0x68, 0x0a}));
    QTRY_COMPARE(window_->SMemo1().Count(), 2);
    QCOMPARE(ShownLines().last(), QStringLiteral("68 0A "));
}

void RulesNetworkTest::onlyTheFirstMatchingRuleAnswers()
{
    SetTriggers({{"68 ** 16", "10 49 01 4A 16"}, {"68 ?? 02 16", "02"}, {"01", "03"}});
    SendFrame(Bytes({0x68, 0x01, 0x02, 0x16}));
    SendFrame(Bytes({0x01}));
    QCOMPARE(NextAnswer(), Bytes({0x10, 0x49, 0x01, 0x4A, 0x16}));
    // Had rule 2 answered too, its answer would come before this one.
    QCOMPARE(NextAnswer(), Bytes({0x03}));
    // "**" stands for at least one byte.
    SendFrame(Bytes({0x68, 0x16}));
    SendFrame(Bytes({0x01}));
    QCOMPARE(NextAnswer(), Bytes({0x03}));
}

void RulesNetworkTest::emptyResponseStopsTheSearch()
{
    SetTriggers({{"68 ** 16", "7"}, {"**", "02"}});
    SendFrame(Bytes({0x68, 0x00, 0x16}));
    SendFrame(Bytes({0x01}));
    QCOMPARE(NextAnswer(), Bytes({0x02}));
    QVERIFY(!peer_->hasPendingDatagrams());
}

void RulesNetworkTest::noTriggersInAsciiMode()
{
    SetTriggers({{"**", "02"}});
    window_->Actions().Btn_recvasc->trigger();
    QVERIFY(!window_->Actions().Btn_trigger->isEnabled());
    QVERIFY(!window_->Actions().Btn_filter->isEnabled());
    QVERIFY(window_->Actions().N_trigger->isEnabled());
    SendFrame(QByteArray("AB"));
    QTRY_COMPARE(ShownLines().last(), QStringLiteral("AB"));
    window_->Actions().Btn_recvasc->trigger();
    SendFrame(Bytes({0x05}));
    QCOMPARE(NextAnswer(), Bytes({0x02}));
    QTRY_COMPARE(ShownLines().last(), QStringLiteral("05 "));
    QVERIFY(!peer_->hasPendingDatagrams());
}

void RulesNetworkTest::filterImageFollowsTheRules()
{
    QCOMPARE(ImageIndex(window_->Actions().Btn_filter), ToolbarImage::FilterOff);
    SetFilterRule(QStringLiteral("2"), QStringLiteral("0a"));
    QCOMPARE(ImageIndex(window_->Actions().Btn_filter), ToolbarImage::FilterOn);
    SendFrame(Bytes({0x68, 0x0A}));
    SendFrame(Bytes({0x68, 0x0B}));
    SendFrame(Bytes({0x68}));
    SendFrame(Bytes({0x01, 0x0A}));
    QTRY_COMPARE(ShownLines().last(), QStringLiteral("01 0A "));
    QCOMPARE(ShownLines().mid(ShownLines().size() - 2),
             (QStringList{QStringLiteral("68 0A "), QStringLiteral("01 0A ")}));

    // Checked but without a value: the rule is off and everything shows.
    SetFilterRule(QStringLiteral("2"), QString());
    QCOMPARE(ImageIndex(window_->Actions().Btn_filter), ToolbarImage::FilterOff);
    SendFrame(Bytes({0x68}));
    QTRY_COMPARE(ShownLines().last(), QStringLiteral("68 "));
}

void RulesNetworkTest::answersGoToANamedHost()
{
    // ClientHost may be a name; every answer reaches it, in order.
    SetTriggers({{"01 **", "02"}, {"03", "04"}});
    window_->State().ClientHost = QStringLiteral("localhost");
    for (int i = 0; i < 3; ++i) {
        SendFrame(Bytes({0x01, i}));
        SendFrame(Bytes({0x03}));
    }
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(NextAnswer(), Bytes({0x02}));
        QCOMPARE(NextAnswer(), Bytes({0x04}));
    }
}

// "显示源地址" and "毫秒" put the peer and the time with milliseconds in
// front of each line (the capture too), the port panel's tooltip counts
// what went both ways until the receive window is cleared, and "回复源地址"
// in the trigger dialog sends the answer back to the sender's port instead
// of the destination set.
void RulesNetworkTest::peerMillisecondsCountersAndAnswersToTheSender()
{
    const MainActions& a = window_->Actions();
    QVERIFY(sender_->bind(QHostAddress::LocalHost, 0));
    a.N_showsource->trigger();
    a.N_millis->trigger();
    QVERIFY(window_->State().ShowSource && window_->State().Millis);
    SendFrame(Bytes({0x01, 0x02}));
    QTRY_VERIFY(ShownLines().last().endsWith(QStringLiteral("  01 02 ")));
    const QRegularExpression line(QStringLiteral("^\\S.*\\d\\.\\d{3}.*  127\\.0\\.0\\.1:%1  01 02 $").arg(sender_->localPort()));
    QVERIFY2(line.match(ShownLines().last()).hasMatch(), qPrintable(ShownLines().last()));
    // The decode window still finds the frame behind both.
    QCOMPARE(monitor::FrameOfLineText(ShownLines().last(), monitor::FrameLineRule::Receive).bytes,
             (std::vector<std::uint8_t>{0x01, 0x02}));

    // Answers to the sender: the peer standing for the destination gets none.
    WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_trigger*>(modal);
        QVERIFY(dialog != nullptr && dialog->ReplyBox != nullptr && !dialog->ReplyBox->isChecked());
        QTest::mouseClick(dialog->CheckBox[0], Qt::LeftButton);
        dialog->PatternEdit[0]->setText(QStringLiteral("03"));
        dialog->ResponseEdit[0]->setText(QStringLiteral("04 05"));
        QTest::mouseClick(dialog->ReplyBox, Qt::LeftButton);
        QTest::mouseClick(dialog->BitBtn2, Qt::LeftButton);
    });
    window_->Actions().Btn_trigger->trigger();
    QVERIFY(window_->State().ReplyToSender);
    SendFrame(Bytes({0x03}));
    QTRY_VERIFY_WITH_TIMEOUT(sender_->hasPendingDatagrams(), 10000);
    QCOMPARE(sender_->receiveDatagram().data(), Bytes({0x04, 0x05}));
    QVERIFY(!peer_->hasPendingDatagrams());

    const QString tip = window_->Panels()->PanelToolTip(Tf_main::PanelPorts);
    QVERIFY2(tip.startsWith(QStringLiteral("接收: 2 帧 3 字节")) && tip.contains(QStringLiteral("发送: 1 帧 2 字节")),
             qPrintable(tip));
    // The decode window pairs the next received line with that answer.
    QCOMPARE(window_->DecodeForm()->Panel->LineOptions().lastSent, (std::vector<std::uint8_t>{0x04, 0x05}));
    window_->Actions().N_receiveclear->trigger();
    QVERIFY2(window_->Panels()->PanelToolTip(Tf_main::PanelPorts).startsWith(QStringLiteral("接收: 0 帧 0 字节")),
             qPrintable(window_->Panels()->PanelToolTip(Tf_main::PanelPorts)));
}

QTEST_MAIN(RulesNetworkTest)
// "显示" › "链路监视": nothing is watched before the window is first shown;
// then the device's frames and the trigger's answers are, and a gap in the
// device's N(S) is an event that leads to the line of its frame and is saved
// as CSV.
void RulesNetworkTest::linkWindowFindsAGapAndLeadsToItsFrame()
{
    TLinkForm* form = window_->LinkForm();
    monitor::LinkPanel* panel = form->Panel;
    const MainActions& a = window_->Actions();
    QVERIFY(form->isHidden() && a.N_linkwatch->isCheckable() && !a.N_linkwatch->isChecked());
    SendFrame(IFrame(7));
    QTRY_VERIFY(ShownLines().size() >= 2);
    QVERIFY(panel->Supervisor() == nullptr);

    a.N_linkwatch->trigger();
    QVERIFY(form->isVisible() && a.N_linkwatch->isChecked());
    QCOMPARE(window_->dockWidgetArea(form), Qt::RightDockWidgetArea);
    QVERIFY(panel->Supervisor() != nullptr);

    // STARTDT act answered by con through a trigger rule: a frame sent.
    SetTriggers({{"68 04 07 00 00 00", "68 04 0B 00 00 00"}});
    SendFrame(Bytes({0x68, 0x04, 0x07, 0x00, 0x00, 0x00}));
    QCOMPARE(NextAnswer(), Bytes({0x68, 0x04, 0x0B, 0x00, 0x00, 0x00}));
    for (const int ns : {0, 1, 3, 4})
        SendFrame(IFrame(ns));
    QTRY_VERIFY(EventRow(panel, QStringLiteral("gap")) >= 0);
    QVERIFY(EventRow(panel, QStringLiteral("startdt")) >= 0);
    QVERIFY2(panel->SummaryView->toPlainText().contains(QStringLiteral("发 1 帧")),
             qPrintable(panel->SummaryView->toPlainText()));

    // Clicking the gap puts the caret on the line of the frame after it.
    const QStringList lines = ShownLines();
    const int gapLine = static_cast<int>(lines.lastIndexOf(QStringLiteral("68 10 06 00 00 00 09 01 03 00 01 00 01 00 00 64 00 00 ")));
    QVERIFY2(gapLine > 0, qPrintable(lines.join(QLatin1Char('\n'))));
    QTextCursor start(window_->RecvMemo()->document());
    window_->RecvMemo()->setTextCursor(start);
    const QModelIndex gap = panel->EventList->model()->index(EventRow(panel, QStringLiteral("gap")), 0);
    panel->EventList->scrollTo(gap);
    QTest::mouseClick(panel->EventList->viewport(), Qt::LeftButton, {}, panel->EventList->visualRect(gap).center());
    QCOMPARE(window_->RecvMemo()->CaretLine(), gapLine);

    // "保存..." writes the events kept as CSV.
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("events.csv"));
    panel->AskSaveFile = [&file](QWidget*) { return file; };
    panel->SaveAction->trigger();
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QList<QByteArray> csv = saved.readAll().split('\n');
    QCOMPARE(csv.first(), QByteArray("serial,time,time_us,link,direction,protocol,kind,severity,text,frame,frame_us"));
    QVERIFY(std::any_of(csv.begin(), csv.end(), [](const QByteArray& line) { return line.contains(",gap,fault,"); }));

    form->close();
    QVERIFY(!a.N_linkwatch->isChecked());
}

#include "RulesNetworkTest.moc"
