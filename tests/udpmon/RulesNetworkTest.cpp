#include "TestSupport.h"

#include "monitor/IntervalTimer.h"
#include "monitor/u_trigger.h"
#include "platform/CaptureBuffer.h"
#include "udpmon/ToolbarImages.h"
#include "udpmon/u_filter.h"
#include "udpmon/u_main.h"
#include "udpmon/u_save.h"

#include "widgets/TSMemo.h"

#include <QAction>
#include <QCheckBox>
#include <QHostAddress>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>

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

QTEST_MAIN(RulesNetworkTest)
#include "RulesNetworkTest.moc"
