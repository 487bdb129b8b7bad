#include "TamrelTestSupport.h"

#include "tcpmon/IntervalTimer.h"
#include "tcpmon/Main.h"
#include "tcpmon/TOutlookBtn.h"

#include "socket/WSocket.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kConnected = QStringLiteral("Connected with 127.0.0.1");

// A stream whose every byte tells its offset (modulo a prime), so that a
// chunk shown twice, lost or out of place changes what is shown.
QByteArray Stream(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

// The receive lines that showing the bytes as chunks of at most 1024 gives.
QStringList ChunkLines(const QByteArray& bytes)
{
    QStringList lines;
    for (qsizetype at = 0; at < bytes.size(); at += Tf_main::kReadSize) {
        const QByteArray chunk = bytes.mid(at, Tf_main::kReadSize);
        lines << QString::fromLatin1(chunk.toHex(' ').toUpper() + ' ');
    }
    return lines;
}

} // namespace

// Clients that misbehave. The server shows what it read, keeps listening and
// serves the next client.
class TamrelHostilePeersTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    PromptLog log_;
    std::unique_ptr<Tf_main> w_;
    int port_ = 0;

    std::unique_ptr<TestClient> Connect()
    {
        const qsizetype before = w_->Memo1->Lines().count(kConnected);
        auto client = std::make_unique<TestClient>(port_);
        if (!client->Connected() || !QTest::qWaitFor([&] { return w_->Memo1->Lines().count(kConnected) > before; }))
            return nullptr;
        return client;
    }
    // The lines shown after the last "Connected with" line.
    QStringList LinesOfLastClient() const
    {
        const QStringList lines = w_->Memo1->Lines();
        return lines.mid(lines.lastIndexOf(kConnected) + 1);
    }
    void VerifyStillServing()
    {
        QCOMPARE(w_->SrvWSocket->State(), wsListening);
        QCOMPARE(w_->Btn_closecom->Caption(), QStringLiteral("停止监听"));
        QVERIFY2(log_.errors.isEmpty(), qPrintable(log_.errors.join(QLatin1Char('\n'))));
        auto next = Connect();
        QVERIFY(next);
        QVERIFY(next->Send(Hex("01031A")));
        QTRY_COMPARE(LinesOfLastClient(), QStringList{QStringLiteral("01 03 1A ")});
        // And the server's frames reach it.
        w_->Memo2->setPlainText(QStringLiteral("0A 0B"));
        w_->Btn_ljfb->click();
        QTRY_COMPARE(next->Received(), Hex("0A0B"));
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        log_ = PromptLog{};
        w_ = std::make_unique<Tf_main>(dir_.filePath(QStringLiteral("Tamrel_S.ini")), RecordingPrompts(log_));
        w_->show();
        QVERIFY(QTest::qWaitForWindowExposed(w_.get()));
        w_->State().ServerPort = QStringLiteral("0");
        w_->N_startlisten->trigger();
        QCOMPARE(w_->Btn_closecom->Caption(), QStringLiteral("停止监听"));
        port_ = w_->SrvWSocket->LocalPort().toInt();
        QVERIFY(port_ > 0);
    }
    void cleanup() { w_.reset(); }

    void halfClose_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("one short chunk") << 3;
        QTest::newRow("whole chunks only") << 3 * Tf_main::kReadSize;
        QTest::newRow("whole chunks and a short one") << 5000;
    }
    void halfClose()
    {
        QFETCH(int, size);
        w_->Timer1->SetInterval(3600000);
        w_->Timer1->SetEnabled(true);
        auto client = Connect();
        QVERIFY(client);
        const QByteArray bytes = Stream(size);
        QVERIFY(client->Send(bytes));
        client->ShutdownSending();
        // The server closes its side as for any client that goes away.
        QTRY_VERIFY(client->PeerClosed());
        QTRY_COMPARE(w_->TmpWSocket->State(), wsClosed);
        // Every byte is shown, then the one empty line of the close.
        QStringList expected = ChunkLines(bytes);
        expected << QString();
        QTRY_COMPARE(LinesOfLastClient(), expected);
        QCOMPARE(w_->SMemo1.Lines(), expected);
        VerifyStillServing();
    }
};

QTEST_MAIN(TamrelHostilePeersTest)
#include "TamrelHostilePeersTest.moc"
