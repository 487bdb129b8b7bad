#include "TestSupport.h"

#include "monitor/ReceiveRoute.h"

#include "monitor/IntervalTimer.h"
#include "platform/CaptureBuffer.h"
#include "udpmon/u_csn.h"
#include "udpmon/u_main.h"
#include "udpmon/u_sendstyle.h"

#include "widgets/StatusPanels.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <vector>

using namespace ostrel;

namespace {

// A UDP socket of the test on 127.0.0.1 at a port the kernel chose: it
// sends frames to the monitor and receives what the monitor sends.
class UdpPeer {
public:
    UdpPeer()
        : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0
            || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            qFatal("cannot open the test's UDP socket");
        port_ = ntohs(address.sin_port);
    }
    ~UdpPeer() { ::close(fd_); }
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    [[nodiscard]] int Port() const { return port_; }

    void SendTo(int port, const QByteArray& bytes) const
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(static_cast<uint16_t>(port));
        if (::sendto(fd_, bytes.constData(), static_cast<size_t>(bytes.size()), 0, reinterpret_cast<sockaddr*>(&to),
                     sizeof(to))
            != bytes.size())
            qFatal("cannot send to the monitor");
    }

    // Every datagram waiting now, added to Received().
    const std::vector<QByteArray>& Received()
    {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, sizeof(buffer), 0);
            if (n < 0)
                break;
            received_.emplace_back(buffer, static_cast<qsizetype>(n));
        }
        return received_;
    }

private:
    int fd_;
    int port_ = 0;
    std::vector<QByteArray> received_;
};

// A port free at this moment.
int FreePort()
{
    const UdpPeer probe;
    return probe.Port();
}

void ConfigurePorts(Tf_main& window, int serverPort, int clientPort)
{
    WhenModalOpens([serverPort, clientPort](QWidget* modal) {
        auto* dialog = qobject_cast<TF_csn*>(modal);
        QVERIFY(dialog != nullptr);
        dialog->Edit1->setText(QString::number(serverPort));
        dialog->Edit2->setText(QStringLiteral("127.0.0.1"));
        dialog->Edit3->setText(QString::number(clientPort));
        dialog->BitBtn4->click();
    });
    window.Actions().Btn_setupcom->trigger(); // the menu item is off until the first stop
}

// Opens the send style dialog, lets `fill` set it and presses OK.
void ConfirmStyle(Tf_main& window, const std::function<void(Tf_sendstyle*)>& fill)
{
    WhenModalOpens([fill](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_sendstyle*>(modal);
        QVERIFY(dialog != nullptr);
        fill(dialog);
        dialog->BitBtn3->click();
        if (dialog->isVisible())
            dialog->reject();
    });
    window.Actions().N_fbfs->trigger();
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

std::vector<qsizetype> Sizes(const std::vector<QByteArray>& datagrams)
{
    std::vector<qsizetype> sizes;
    for (const QByteArray& d : datagrams)
        sizes.push_back(d.size());
    return sizes;
}

} // namespace

class RecvSendWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listeningShowsDatagrams();
    void portInUseLeavesTheNotListeningState();
    void portZeroShowsThePortTheSystemChose();
    void timePrefixAndAsciiMode();
    void pauseAndCaptureInterplay();
    void the101stAnd102ndLine();
    void aFloodLeavesWhatLineByLineWould();
    void longLinesWaitForTheWindowAndLoseNothing();
    void filterHookAndTriggerHook();
    void answersLeaveBeforeLayoutAndAFailedOneLosesNoLine();
    void sendNowHexCopiesAndLimits();
    void asciiSendsLongLinesWhole();
    void loopSendingWithAndWithoutRange();
    void randomSendingSequence();
    void formatErrorStopsTheTimer();
    void aFailingTimerShowsOneErrorBoxAtATime();
    void zeroPeriodTimerIsOnButNeverTicks();
    void styleDialogChecksWhileTyping();
    void dialogsKeepWhatWasTypedWhenComingBackToThem();
    void refusedConfirmationChangesNothing();

private:
    void Listen();
    QStringList RecvLines() const { return window_->RecvMemo()->Lines(); }

    std::unique_ptr<TestDirectory> dir_;
    std::unique_ptr<Tf_main> window_;
    std::unique_ptr<UdpPeer> peer_;
    int serverPort_ = 0;
};

void RecvSendWindowTest::init()
{
    dir_ = std::make_unique<TestDirectory>();
    window_ = OpenWindow();
    peer_ = std::make_unique<UdpPeer>();
    serverPort_ = FreePort();
    ConfigurePorts(*window_, serverPort_, peer_->Port());
}

void RecvSendWindowTest::cleanup()
{
    window_.reset();
    peer_.reset();
    dir_.reset();
}

void RecvSendWindowTest::Listen()
{
    window_->Actions().N_opencom->trigger();
    QCOMPARE(window_->Actions().B_open->toolTip(), QStringLiteral("停止监听"));
}

void RecvSendWindowTest::listeningShowsDatagrams()
{
    const MainActions& a = window_->Actions();
    QCOMPARE(window_->Panels()->PanelText(Tf_main::PanelPorts),
             QStringLiteral("接收端口:%1, 信宿地址:127.0.0.1 %2").arg(serverPort_).arg(peer_->Port()));
    QVERIFY(!a.Btn_ljfb->isEnabled());
    Listen();
    QCOMPARE(a.N_opencom->text(), QStringLiteral("停止监听"));
    QVERIFY(!a.Btn_setupcom->isEnabled());
    QVERIFY(!a.N_setupcom->isEnabled());
    QVERIFY(a.Btn_ljfb->isEnabled());
    QCOMPARE(a.Btn_ljfb->toolTip(), QStringLiteral("立即发报"));
    QCOMPARE(RecvLines(), QStringList{QStringLiteral("开始监听接收端口")});

    peer_->SendTo(serverPort_, Bytes({0x01, 0x03, 0x1A}));
    QTRY_COMPARE(RecvLines().size(), 2);
    QCOMPARE(RecvLines().last(), QStringLiteral("01 03 1A "));
    // An empty datagram adds nothing; the next one shows.
    peer_->SendTo(serverPort_, QByteArray());
    peer_->SendTo(serverPort_, Bytes({0xFF}));
    QTRY_COMPARE(RecvLines().size(), 3);
    QCOMPARE(RecvLines().last(), QStringLiteral("FF "));

    a.N_opencom->trigger();
    QCOMPARE(a.B_open->toolTip(), QStringLiteral("开始监听"));
    QCOMPARE(a.N_opencom->text(), QStringLiteral("开始监听"));
    QVERIFY(a.Btn_setupcom->isEnabled());
    QVERIFY(a.N_setupcom->isEnabled());
    QCOMPARE(RecvLines().last(), QStringLiteral("停止监听接收端口"));
}

void RecvSendWindowTest::portInUseLeavesTheNotListeningState()
{
    const MainActions& a = window_->Actions();
    const UdpPeer holder; // holds a port on 127.0.0.1
    const bool menuItemEnabled = a.N_setupcom->isEnabled();
    ConfigurePorts(*window_, holder.Port(), peer_->Port());
    // Listening on 0.0.0.0 conflicts with the holder's 127.0.0.1 binding.
    SeenBox box;
    CloseNextMessageBox(box);
    a.N_opencom->trigger();
    QVERIFY(box.seen);
    QVERIFY2(box.text.contains(QStringLiteral("Error 10048 in function Bind")), qPrintable(box.text));
    QVERIFY2(box.text.contains(QStringLiteral("Address already in use")), qPrintable(box.text));
    QCOMPARE(a.B_open->toolTip(), QStringLiteral("开始监听"));
    QCOMPARE(a.N_opencom->text(), QStringLiteral("开始监听"));
    QVERIFY(a.Btn_setupcom->isEnabled());
    QCOMPARE(a.N_setupcom->isEnabled(), menuItemEnabled);

    // After choosing a free port the next start listens.
    ConfigurePorts(*window_, serverPort_, peer_->Port());
    Listen();
    peer_->SendTo(serverPort_, Bytes({0x42}));
    QTRY_COMPARE(RecvLines().last(), QStringLiteral("42 "));
}

void RecvSendWindowTest::portZeroShowsThePortTheSystemChose()
{
    ConfigurePorts(*window_, 0, peer_->Port());
    const QString settingText = QStringLiteral("接收端口:0, 信宿地址:127.0.0.1 %1").arg(peer_->Port());
    QCOMPARE(window_->Panels()->PanelText(Tf_main::PanelPorts), settingText);
    Listen();
    const QRegularExpressionMatch shown = QRegularExpression(QStringLiteral("^接收端口:(\\d+), 信宿地址:127.0.0.1 %1$")
                                                                 .arg(peer_->Port()))
                                              .match(window_->Panels()->PanelText(Tf_main::PanelPorts));
    QVERIFY2(shown.hasMatch(), qPrintable(window_->Panels()->PanelText(Tf_main::PanelPorts)));
    const int bound = shown.captured(1).toInt();
    QVERIFY(bound > 0);
    peer_->SendTo(bound, Bytes({0x30}));
    QTRY_COMPARE(RecvLines().last(), QStringLiteral("30 "));
    QCOMPARE(window_->State().ServerPort, QStringLiteral("0"));
    window_->Actions().N_opencom->trigger();
    QCOMPARE(window_->Panels()->PanelText(Tf_main::PanelPorts), settingText);
}

void RecvSendWindowTest::timePrefixAndAsciiMode()
{
    const MainActions& a = window_->Actions();
    Listen();
    a.N_Showtime->trigger();
    peer_->SendTo(serverPort_, Bytes({0x01, 0x03, 0x1A}));
    QTRY_COMPARE(RecvLines().size(), 2);
    static const QRegularExpression timed(QStringLiteral("^\\d{1,2}:\\d\\d:\\d\\d.*  01 03 1A $"));
    QVERIFY2(timed.match(RecvLines().last()).hasMatch(), qPrintable(RecvLines().last()));
    a.N_Showtime->trigger();

    a.Btn_recvasc->trigger();
    QCOMPARE(a.Btn_recvasc->toolTip(), QStringLiteral("接收还原到二进制模式"));
    QVERIFY(!a.Btn_filter->isEnabled());
    QVERIFY(!a.Btn_trigger->isEnabled());
    QVERIFY(a.N_flilter->isEnabled());
    // ASCII mode: no capture, no triggers.
    int triggered = 0;
    window_->ReceiveRules().answer = [&triggered](const monitor::ReceivedFrame&) { ++triggered; };
    window_->Timer1()->SetInterval(3600000);
    window_->Timer1()->SetEnabled(true);
    peer_->SendTo(serverPort_, QByteArray("AB\0CD", 5));
    QTRY_COMPARE(RecvLines().size(), 3);
    QCOMPARE(RecvLines().last(), QStringLiteral("AB"));
    peer_->SendTo(serverPort_, QByteArray("\0A", 2));
    QTRY_COMPARE(RecvLines().size(), 4);
    QCOMPARE(RecvLines().last(), QString());
    QCOMPARE(triggered, 0);
    QVERIFY(window_->SMemo1().IsEmpty());

    a.N_recvasc->trigger();
    QCOMPARE(a.N_recvasc->text(), QStringLiteral("接收切换到ASCII码模式"));
    QVERIFY(a.Btn_filter->isEnabled());
    peer_->SendTo(serverPort_, QByteArray("AB", 2));
    QTRY_COMPARE(RecvLines().size(), 5);
    QCOMPARE(RecvLines().last(), QStringLiteral("41 42 "));
    QCOMPARE(triggered, 1);
    QCOMPARE(window_->SMemo1().Lines(), QStringList{QStringLiteral("41 42 ")});
}

void RecvSendWindowTest::pauseAndCaptureInterplay()
{
    const MainActions& a = window_->Actions();
    Listen();
    int triggered = 0;
    window_->ReceiveRules().answer = [&triggered](const monitor::ReceivedFrame&) { ++triggered; };
    window_->Timer1()->SetInterval(3600000);
    window_->Timer1()->SetEnabled(true);

    a.Btn_watch->trigger();
    QCOMPARE(a.N_watch->text(), QStringLiteral("继续显示"));
    for (int i = 1; i <= 3; ++i)
        peer_->SendTo(serverPort_, Bytes({i}));
    QTRY_COMPARE(window_->SMemo1().Count(), 3);
    QCOMPARE(triggered, 3);
    QCOMPARE(window_->SMemo1().Lines(), (QStringList{QStringLiteral("01 "), QStringLiteral("02 "), QStringLiteral("03 ")}));
    QCOMPARE(RecvLines(), (QStringList{QStringLiteral("开始监听接收端口"), QStringLiteral("已暂停显示!")}));

    a.N_watch->trigger();
    QCOMPARE(RecvLines().last(), QStringLiteral("已恢复显示!"));
    peer_->SendTo(serverPort_, Bytes({4}));
    QTRY_COMPARE(RecvLines().last(), QStringLiteral("04 "));
    QCOMPARE(RecvLines().size(), 4);

    // Stopping ends timed saving; nothing more is captured.
    a.N_opencom->trigger();
    QVERIFY(!window_->Timer1()->Enabled());
}

void RecvSendWindowTest::the101stAnd102ndLine()
{
    QStringList hundred;
    for (int i = 0; i < 99; ++i)
        hundred.append(QStringLiteral("line %1").arg(i));
    window_->RecvMemo()->SetLines(hundred);
    Listen(); // the 100th line
    QCOMPARE(window_->RecvMemo()->LineCount(), 100);
    peer_->SendTo(serverPort_, Bytes({0x65}));
    QTRY_COMPARE(window_->RecvMemo()->LineCount(), 101);
    QCOMPARE(RecvLines().last(), QStringLiteral("65 "));
    peer_->SendTo(serverPort_, Bytes({0x66}));
    QTRY_COMPARE(RecvLines(), QStringList{QStringLiteral("66 ")});
}

void RecvSendWindowTest::aFloodLeavesWhatLineByLineWould()
{
    Listen();
    window_->Timer1()->SetInterval(3600000);
    window_->Timer1()->SetEnabled(true);
    // 230 datagrams sent at once (fewer than the kernel keeps queued) are
    // read in one or a few passes.
    QStringList expected = RecvLines();
    QStringList sent;
    for (int i = 0; i < 230; ++i) {
        const QByteArray bytes = Bytes({i >> 8, i & 0xFF});
        peer_->SendTo(serverPort_, bytes);
        const QString line = QString::fromLatin1(bytes.toHex(' ').toUpper()) + QLatin1Char(' ');
        sent.append(line);
        if (expected.size() > 100)
            expected.clear();
        expected.append(line);
    }
    QTRY_COMPARE(window_->SMemo1().Count(), 230);
    QCOMPARE(window_->SMemo1().Lines(), sent);
    // The window follows at its own pace, to exactly these lines.
    QTRY_COMPARE(RecvLines(), expected);
}

void RecvSendWindowTest::longLinesWaitForTheWindowAndLoseNothing()
{
    // 60 datagrams of 1400 bytes: they are read and captured at once, and
    // the window, which writes about a dozen such lines at a time, reaches
    // the same lines; nothing is lost or reordered.
    Listen();
    window_->Timer1()->SetInterval(3600000);
    window_->Timer1()->SetEnabled(true);
    QStringList expected = RecvLines();
    for (int i = 0; i < 60; ++i) {
        QByteArray bytes(1400, static_cast<char>(i));
        peer_->SendTo(serverPort_, bytes);
        if (expected.size() > 100)
            expected.clear();
        expected.append(QString::fromLatin1(bytes.toHex(' ').toUpper()) + QLatin1Char(' '));
    }
    QTRY_COMPARE(window_->SMemo1().Count(), 60);
    QTRY_COMPARE(RecvLines(), expected);
    // The largest datagram is one line like any other.
    peer_->SendTo(serverPort_, QByteArray(65507, '\x5A'));
    QTRY_COMPARE(window_->SMemo1().Count(), 61);
    QTRY_COMPARE(RecvLines().size(), 62);
    QCOMPARE(RecvLines().last().size(), 196521);
    // A note appended afterwards becomes the next line.
    window_->Actions().Btn_watch->trigger();
    QCOMPARE(RecvLines().size(), 63);
    QCOMPARE(RecvLines().last(), QStringLiteral("已暂停显示!"));
}

void RecvSendWindowTest::filterHookAndTriggerHook()
{
    Listen();
    QStringList full;
    for (int i = 0; i < 101; ++i)
        full.append(QStringLiteral("x"));
    window_->RecvMemo()->SetLines(full);
    QStringList asked;
    window_->ReceiveRules().hexFilter = [&asked](QStringView hex) {
        asked.append(hex.toString());
        return false;
    };
    // A hidden line still empties a full window; the trigger still answers
    // (here through SendDatagram to the test's socket).
    window_->ReceiveRules().answer = [this](const monitor::ReceivedFrame& frame) {
        window_->SendDatagram(frame.bytes.data(), frame.bytes.size());
    };
    window_->Actions().N_Showtime->trigger(); // the filter sees the hex text without the time
    peer_->SendTo(serverPort_, Bytes({0x68, 0x16}));
    QTRY_COMPARE(peer_->Received().size(), std::size_t{1});
    QCOMPARE(peer_->Received().front(), Bytes({0x68, 0x16}));
    QCOMPARE(asked, QStringList{QStringLiteral("68 16 ")});
    QCOMPARE(window_->RecvMemo()->LineCount(), 0);
}

void RecvSendWindowTest::answersLeaveBeforeLayoutAndAFailedOneLosesNoLine()
{
    Listen();
    const QStringList start = RecvLines();
    // Each answer goes out while its own line still waits to be laid out;
    // the answer to the second datagram fails, which ends that pass: its
    // line and the first are laid out all the same, and the third datagram
    // is read and answered in a later pass.
    QList<int> linesAtAnswer;
    int answers = 0;
    window_->ReceiveRules().answer = [&](const monitor::ReceivedFrame&) {
        linesAtAnswer.append(window_->RecvMemo()->LineCount());
        if (++answers == 2)
            throw std::runtime_error("the answer could not be sent");
    };
    for (int i = 1; i <= 3; ++i)
        peer_->SendTo(serverPort_, Bytes({i}));
    QTRY_COMPARE(answers, 3);
    QTRY_COMPARE(RecvLines(), start + QStringList({QStringLiteral("01 "), QStringLiteral("02 "), QStringLiteral("03 ")}));
    QCOMPARE(linesAtAnswer.size(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY2(linesAtAnswer[i] <= start.size() + i, "an answer waited for its own line to be laid out");
}

void RecvSendWindowTest::sendNowHexCopiesAndLimits()
{
    const MainActions& a = window_->Actions();
    TSMemo* send = window_->SendMemo();
    // An empty send window sends nothing.
    send->clear();
    a.N_ljfb->trigger();

    send->SetLines({QStringLiteral("01 02 // x"), QStringLiteral("// comment"), QStringLiteral("7")});
    a.N_ljfb->trigger(); // caret on the first line
    QTRY_COMPARE(peer_->Received().size(), std::size_t{1});
    QCOMPARE(peer_->Received().back(), Bytes({1, 2}));

    QTextCursor caret = send->textCursor();
    caret.movePosition(QTextCursor::Down);
    send->setTextCursor(caret);
    a.N_ljfb->trigger(); // a comment only
    caret.movePosition(QTextCursor::Down);
    send->setTextCursor(caret);
    a.N_ljfb->trigger(); // no whole pair

    send->SetLines({QStringLiteral("01 02 03")});
    ConfirmStyle(*window_, [](Tf_sendstyle* d) {
        d->CheckBox3->click();
        d->Edit4->setText(QStringLiteral("600"));
    });
    QCOMPARE(window_->State().SendStyleState.CopiesPerSend, 600);
    QCOMPARE(window_->Panels()->PanelText(Tf_main::PanelSendStyle), QStringLiteral("单行发送方式，一次发送600遍"));
    a.N_ljfb->trigger();
    QTRY_COMPARE(peer_->Received().size(), std::size_t{3});
    // Only the frame above arrived before (the comment and "7" sent nothing).
    QCOMPARE(Sizes(peer_->Received()), (std::vector<qsizetype>{2, 1514, 286}));

    send->SetLines({QStringLiteral("01 02")});
    ConfirmStyle(*window_, [](Tf_sendstyle* d) { d->Edit4->setText(QStringLiteral("2048")); });
    a.N_ljfb->trigger();
    QTRY_COMPARE(peer_->Received().size(), std::size_t{6});
    QCOMPARE(Sizes(peer_->Received()), (std::vector<qsizetype>{2, 1514, 286, 1514, 1514, 1068}));
    QCOMPARE(peer_->Received()[3].left(4), Bytes({1, 2, 1, 2}));

    ConfirmStyle(*window_, [](Tf_sendstyle* d) { d->Edit4->setText(QStringLiteral("2049")); });
    SeenBox box;
    CloseNextMessageBox(box);
    a.N_ljfb->trigger();
    QVERIFY(box.seen);
    QCOMPARE(box.text, QStringLiteral("超过发送缓冲区4096字节限制，请修改发送个数"));
}

void RecvSendWindowTest::asciiSendsLongLinesWhole()
{
    const MainActions& a = window_->Actions();
    a.Btn_sendasc->trigger();
    QCOMPARE(a.N_sendasc->text(), QStringLiteral("发送还原到二进制模式"));
    QVERIFY(a.Btn_sendasc->isChecked());
    ConfirmStyle(*window_, [](Tf_sendstyle* d) {
        d->CheckBox3->click();
        d->Edit4->setText(QStringLiteral("3")); // not used in ASCII mode
    });
    window_->SendMemo()->SetLines({QStringLiteral("AB\\rC")});
    a.N_ljfb->trigger();
    QTRY_COMPARE(peer_->Received().size(), std::size_t{1});
    QCOMPARE(peer_->Received().back(), QByteArray("AB\rC"));

    window_->SendMemo()->SetLines({QString(3000, QLatin1Char('A'))});
    a.N_ljfb->trigger();
    QTRY_COMPARE(peer_->Received().size(), std::size_t{3});
    QCOMPARE(Sizes(peer_->Received()), (std::vector<qsizetype>{4, 1514, 1486}));
}

void RecvSendWindowTest::loopSendingWithAndWithoutRange()
{
    const MainActions& a = window_->Actions();
    window_->SendMemo()->SetLines({QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")});
    // A 0 s interval keeps the timer on without ticks; the test ticks it.
    ConfirmStyle(*window_, [](Tf_sendstyle* d) {
        d->RadioButton1->click();
        d->edit1->setText(QStringLiteral("0"));
    });
    QVERIFY(!a.Btn_ljfb->isEnabled());
    QVERIFY(!a.N_ljfb->isEnabled());
    QCOMPARE(a.Btn_ljfb->toolTip(), QStringLiteral("请更改循环发送方式为其它"));
    QVERIFY(window_->SendMemo()->isReadOnly());
    QCOMPARE(window_->Panels()->PanelText(Tf_main::PanelTimed), QStringLiteral("定时"));

    const auto tick = [this](std::size_t total) {
        emit window_->Timer3()->OnTimer();
        QTRY_COMPARE(peer_->Received().size(), total);
    };
    std::size_t total = 0;
    for (int i = 0; i < 4; ++i)
        tick(++total);
    QCOMPARE(peer_->Received()[3], Bytes({1}));
    QCOMPARE(peer_->Received()[2], Bytes({3}));

    // The range from line 2 to 3 starts at line 2.
    ConfirmStyle(*window_, [](Tf_sendstyle* d) {
        d->CheckBox2->click();
        d->Edit2->setText(QStringLiteral("2"));
        d->Edit3->setText(QStringLiteral("3"));
    });
    for (int i = 0; i < 4; ++i)
        tick(++total);
    QCOMPARE(peer_->Received()[4], Bytes({2}));
    QCOMPARE(peer_->Received()[5], Bytes({3}));
    QCOMPARE(peer_->Received()[6], Bytes({2}));

    // A range past the last line: ticks on the missing lines send nothing.
    ConfirmStyle(*window_, [](Tf_sendstyle* d) { d->Edit3->setText(QStringLiteral("4")); });
    emit window_->Timer3()->OnTimer(); // line 2
    emit window_->Timer3()->OnTimer(); // line 3
    emit window_->Timer3()->OnTimer(); // line 4: nothing
    emit window_->Timer3()->OnTimer(); // line 2
    total += 3;
    QTRY_COMPARE(peer_->Received().size(), total);
    QCOMPARE(peer_->Received().back(), Bytes({2}));

    // Loop over all lines, then "从第" ticked and the dialog cancelled: the
    // last confirmed range applies.
    ConfirmStyle(*window_, [](Tf_sendstyle* d) { d->CheckBox2->click(); });
    QVERIFY(!window_->SendStyleDialog()->RangeOn());
    WhenModalOpens([](QWidget* modal) {
        auto* d = qobject_cast<Tf_sendstyle*>(modal);
        d->CheckBox2->click();
        d->BitBtn1->click();
    });
    a.N_fbfs->trigger();
    QVERIFY(window_->SendStyleDialog()->RangeOn());
    window_->State().SendStyleState.LoopLine = 0;
    for (int i = 0; i < 5; ++i)
        emit window_->Timer3()->OnTimer();
    total += 4;
    QTRY_COMPARE(peer_->Received().size(), total);
    // Lines 1, 2, 3, the missing line 4, then back to the range's first line.
    QCOMPARE(peer_->Received()[total - 4], Bytes({1}));
    QCOMPARE(peer_->Received()[total - 1], Bytes({2}));
}

void RecvSendWindowTest::randomSendingSequence()
{
    QStringList lines;
    for (int i = 1; i <= 10; ++i)
        lines.append(QStringLiteral("%1").arg(i, 2, 16, QLatin1Char('0')));
    window_->SendMemo()->SetLines(lines);
    ConfirmStyle(*window_, [](Tf_sendstyle* d) { d->RadioButton3->click(); });
    QVERIFY(window_->Actions().N_ljfb->isEnabled());
    for (int i = 0; i < 8; ++i)
        window_->Actions().N_ljfb->trigger();
    QTRY_COMPARE(peer_->Received().size(), std::size_t{8});
    QByteArray sequence;
    for (const QByteArray& d : peer_->Received())
        sequence += d;
    QCOMPARE(sequence, Bytes({1, 1, 9, 3, 3, 7, 4, 2}));
}

void RecvSendWindowTest::formatErrorStopsTheTimer()
{
    window_->SendMemo()->SetLines({QStringLiteral("0G 01")});
    ConfirmStyle(*window_, [](Tf_sendstyle* d) {
        d->CheckBox1->click();
        d->edit1->setText(QStringLiteral("0"));
    });
    QVERIFY(window_->Timer3()->Enabled());
    QVERIFY(window_->SendMemo()->isReadOnly());
    Tf_sendstyle* dialog = window_->SendStyleDialog();
    QVERIFY(dialog->CheckBox1->isChecked());
    QVERIFY(!dialog->edit1->isHidden());

    SeenBox box;
    CloseNextMessageBox(box);
    emit window_->Timer3()->OnTimer();
    QVERIFY(box.seen);
    QCOMPARE(box.text, QStringLiteral("发报格式错误,请修改! eg:\"01 03 1A\""));
    QVERIFY(!window_->Timer3()->Enabled());
    QCOMPARE(window_->Panels()->PanelText(Tf_main::PanelTimed), QString());
    QVERIFY(!window_->SendMemo()->isReadOnly());
    QVERIFY(!dialog->CheckBox1->isChecked());
    QVERIFY(dialog->edit1->isHidden());
    QVERIFY(peer_->Received().empty());
}

void RecvSendWindowTest::aFailingTimerShowsOneErrorBoxAtATime()
{
    window_->State().ClientHost = QStringLiteral("no-such-host.invalid");
    window_->SendMemo()->SetLines({QStringLiteral("01 02")});
    ConfirmStyle(*window_, [](Tf_sendstyle* d) {
        d->CheckBox1->click();
        d->edit1->setText(QStringLiteral("0.0005")); // on, ticked by hand below
    });
    QVERIFY(window_->Timer3()->Enabled());

    // Every box that opens is closed; the first one only after two more
    // ticks came while it was open.
    QStringList boxes;
    std::function<void()> closeNext;
    closeNext = [&] {
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            boxes << box->text();
            closeNext();
            if (boxes.size() == 1) {
                emit window_->Timer3()->OnTimer();
                emit window_->Timer3()->OnTimer();
            }
            box->accept();
        });
    };
    closeNext();
    emit window_->Timer3()->OnTimer();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes[0].contains(QStringLiteral("no-such-host.invalid")), qPrintable(boxes[0]));
    // Once the box is closed the next tick reports again.
    closeNext();
    emit window_->Timer3()->OnTimer();
    QCOMPARE(boxes.size(), 2);
    QVERIFY(window_->Timer3()->Enabled());
    QVERIFY(peer_->Received().empty());
}

void RecvSendWindowTest::zeroPeriodTimerIsOnButNeverTicks()
{
    window_->SendMemo()->SetLines({QStringLiteral("01")});
    ConfirmStyle(*window_, [](Tf_sendstyle* d) {
        d->CheckBox1->click();
        d->edit1->setText(QStringLiteral("0.0005"));
    });
    QVERIFY(window_->Timer3()->Enabled());
    QCOMPARE(window_->Timer3()->Interval(), 0);
    QCOMPARE(window_->Panels()->PanelText(Tf_main::PanelTimed), QStringLiteral("定时"));
    QTest::qWait(200);
    QVERIFY(peer_->Received().empty());

    // A short period does tick on its own.
    ConfirmStyle(*window_, [](Tf_sendstyle* d) { d->edit1->setText(QStringLiteral("0.01")); });
    QCOMPARE(window_->Timer3()->Interval(), 10);
    QTRY_VERIFY(peer_->Received().size() >= 2);
    // Single line without timed sending stops it, also while not listening.
    ConfirmStyle(*window_, [](Tf_sendstyle* d) { d->CheckBox1->click(); });
    QVERIFY(!window_->Timer3()->Enabled());
    QVERIFY(!window_->SendMemo()->isReadOnly());
    QVERIFY(window_->Actions().N_ljfb->isEnabled());
}

void RecvSendWindowTest::styleDialogChecksWhileTyping()
{
    Tf_sendstyle* d = window_->SendStyleDialog();
    WhenModalOpens([this, d](QWidget*) {
        // Start state of the single-line style.
        QVERIFY(d->RadioButton2->isChecked());
        QVERIFY(!d->CheckBox1->isHidden());
        QVERIFY(d->Label2->isHidden());
        QVERIFY(d->edit1->isHidden());
        QVERIFY(d->CheckBox2->isHidden());
        QVERIFY(!d->Edit4->isEnabled());
        QCOMPARE(d->edit1->text(), QStringLiteral("1"));

        QStringList texts;
        const auto expectBox = [&texts](QLineEdit* edit, const QString& typed, const QString& message) {
            SeenBox box;
            CloseNextMessageBox(box);
            edit->setText(typed);
            QTRY_VERIFY(box.seen);
            QCOMPARE(box.text, message);
            QCOMPARE(edit->text(), QStringLiteral("1"));
            QCOMPARE(edit->selectedText(), QStringLiteral("1"));
        };
        expectBox(d->edit1, QStringLiteral("abc"), QStringLiteral("请输入正实数！"));
        expectBox(d->edit1, QStringLiteral("-2"), QStringLiteral("请输入正实数!"));
        expectBox(d->Edit4, QStringLiteral("0"), QStringLiteral("请输入正整数!"));
        expectBox(d->Edit2, QStringLiteral("x"), QStringLiteral("请输入正整数!"));
        d->edit1->setText(QStringLiteral("0"));
        QCOMPARE(d->edit1->text(), QStringLiteral("0"));
        QCOMPARE(d->edit1->maxLength(), 5);

        // Click rules.
        d->RadioButton1->click();
        QVERIFY(d->CheckBox1->isHidden());
        QVERIFY(!d->CheckBox2->isHidden());
        QVERIFY(!d->Label2->isHidden());
        QVERIFY(!d->edit1->isHidden());
        QVERIFY(!d->Edit2->isEnabled());
        d->CheckBox2->click();
        QVERIFY(d->Edit2->isEnabled());
        QVERIFY(d->Label4->isEnabled());
        d->RadioButton2->click();
        QVERIFY(d->CheckBox2->isHidden());
        QVERIFY(d->edit1->isHidden()); // "定时发报" unchecked
        d->CheckBox1->click();
        QVERIFY(!d->edit1->isHidden());
        QVERIFY(!d->Label1->isHidden());
        d->CheckBox3->click();
        QVERIFY(d->Edit4->isEnabled());
        d->edit1->setText(QStringLiteral("7"));
        d->BitBtn1->click();
    });
    window_->Actions().N_fbfs->trigger();
    // Nothing was stored; reopening shows the stored interval and style.
    QCOMPARE(window_->State().SendStyleState.SendInterval, 1.0);
    WhenModalOpens([d](QWidget*) {
        QCOMPARE(d->edit1->text(), QStringLiteral("1"));
        QVERIFY(d->CheckBox3->isChecked()); // the switches keep their state
        d->BitBtn1->click();
    });
    window_->Actions().N_fbfs->trigger();
}

void RecvSendWindowTest::dialogsKeepWhatWasTypedWhenComingBackToThem()
{
    // The user switches to another program and back while a dialog is open.
    const auto awayAndBack = [](QWidget* dialog) {
        QApplication::setActiveWindow(nullptr);
        QCoreApplication::processEvents();
        QApplication::setActiveWindow(dialog);
        QCoreApplication::processEvents();
        QVERIFY(dialog->isActiveWindow());
    };
    const QString stored = window_->State().ClientHost;
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<TF_csn*>(modal);
        QVERIFY(dialog != nullptr);
        dialog->Edit2->setText(QStringLiteral("192.0.2.7"));
        awayAndBack(dialog);
        QCOMPARE(dialog->Edit2->text(), QStringLiteral("192.0.2.7"));
        dialog->BitBtn3->click();
    });
    window_->Actions().Btn_setupcom->trigger();
    QCOMPARE(window_->State().ClientHost, stored);
    // Showing it again shows what is stored.
    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<TF_csn*>(modal);
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->Edit2->text(), stored);
        dialog->BitBtn3->click();
    });
    window_->Actions().Btn_setupcom->trigger();

    WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_sendstyle*>(modal);
        QVERIFY(dialog != nullptr);
        dialog->RadioButton3->click();
        awayAndBack(dialog);
        QVERIFY(dialog->RadioButton3->isChecked());
        dialog->BitBtn1->click();
    });
    window_->Actions().N_fbfs->trigger();
    WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<Tf_sendstyle*>(modal);
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->RadioButton2->isChecked());
        dialog->BitBtn1->click();
    });
    window_->Actions().N_fbfs->trigger();
}

void RecvSendWindowTest::refusedConfirmationChangesNothing()
{
    Tf_sendstyle* d = window_->SendStyleDialog();
    const auto refused = [this, d](const std::function<void()>& fill, const QString& message) {
        WhenModalOpens([this, d, fill, message](QWidget*) {
            fill();
            SeenBox box;
            CloseNextMessageBox(box);
            d->BitBtn3->click();
            QTRY_VERIFY(box.seen);
            QCOMPARE(box.text, message);
            QVERIFY(d->isVisible());
            QVERIFY(!window_->Timer3()->Enabled());
            QCOMPARE(window_->State().SendStyleState.CopiesPerSend, 1);
            QCOMPARE(window_->State().SendStyleState.SendStyle, 1);
            d->BitBtn1->click();
        });
        window_->Actions().N_fbfs->trigger();
    };
    refused([d] {
        d->CheckBox3->click();
        d->Edit4->setText(QStringLiteral("4097"));
    }, QStringLiteral("一次发送拷贝个数不能超过4096个"));
    QVERIFY(d->CheckBox3->isChecked());
    refused([d] {
        d->CheckBox3->click(); // back to one copy
        d->RadioButton1->click();
        d->CheckBox2->click();
        d->Edit2->setText(QStringLiteral("3"));
        d->Edit3->setText(QStringLiteral("3"));
    }, QStringLiteral("循环末行行数应大于起始行数"));
    QCOMPARE(window_->Panels()->PanelText(Tf_main::PanelTimed), QString());
    QVERIFY(!window_->SendMemo()->isReadOnly());
}

QTEST_MAIN(RecvSendWindowTest)
#include "RecvSendWindowTest.moc"
