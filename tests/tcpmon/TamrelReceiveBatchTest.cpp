#include "TamrelTestSupport.h"

#include "monitor/IntervalTimer.h"
#include "platform/CaptureBuffer.h"
#include "tcpmon/LineLimits.h"
#include "tcpmon/Main.h"
#include "tcpmon/TOutlookBtn.h"

#include "frame/HexText.h"
#include "platform/TextFile.h"
#include "socket/WSocket.h"
#include "widgets/BatchedLineWriter.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tamrel;

namespace {

// 1024-byte chunks, each of one byte value, then a short one: what one
// send puts in the socket for a single pass to read.
QByteArray Chunks(int fullChunks, int lastSize)
{
    QByteArray bytes;
    for (int i = 0; i < fullChunks; ++i)
        bytes += QByteArray(Tf_main::kReadSize, static_cast<char>(0x10 + i));
    bytes += QByteArray(lastSize, '\x7E');
    return bytes;
}

QString LineOf(const QByteArray& chunk)
{
    return QString::fromStdString(
        BytesToHexText(reinterpret_cast<const std::uint8_t*>(chunk.constData()), static_cast<std::size_t>(chunk.size())));
}

// The receive window as showing the chunks one by one would leave it.
QStringList LineByLine(QStringList lines, const QByteArray& bytes)
{
    for (qsizetype at = 0; at < bytes.size(); at += Tf_main::kReadSize) {
        lines << LineOf(bytes.mid(at, Tf_main::kReadSize));
        if (ReceiveWindowOverflows(static_cast<int>(lines.size())))
            lines.clear();
    }
    return lines;
}

} // namespace

// Many chunks read in one pass, and commands and clients that come while
// lines still wait to be shown: the receive window always reads as if every
// chunk had been shown on its own.
class TamrelReceiveBatchTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    PromptLog log_;
    std::unique_ptr<Tf_main> w_;

    std::unique_ptr<TestClient> Connect()
    {
        const int before = w_->Area().Memo1->Lines().count(QStringLiteral("Connected with 127.0.0.1"));
        auto client = std::make_unique<TestClient>(w_->State().ServerPort.toInt());
        if (!client->Connected()
            || !QTest::qWaitFor([&] { return w_->Area().Memo1->Lines().count(QStringLiteral("Connected with 127.0.0.1")) > before; }))
            return nullptr;
        return client;
    }
    void SendAndWait(TestClient& client, const QByteArray& bytes)
    {
        const qint64 before = w_->TmpWSocket()->ReadCount();
        QVERIFY(client.Send(bytes));
        QTRY_COMPARE(w_->TmpWSocket()->ReadCount(), before + bytes.size());
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        log_ = PromptLog{};
        w_ = OpenListeningWindow(dir_.filePath(QStringLiteral("Tamrel_S.ini")), log_, QString::number(FreePort()));
        QVERIFY(w_);
        QCOMPARE(w_->Actions().Btn_closecom->Caption(), QStringLiteral("停止监听"));
    }
    void cleanup() { w_.reset(); }

    void manyChunksInOnePass_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("fullChunks");
        QTest::addColumn<int>("lastSize");
        QTest::newRow("into an empty window") << 0 << 30 << 500;
        QTest::newRow("across the 601st line") << 590 << 30 << 500;
        QTest::newRow("the 601st line is the last") << 570 << 30 << 1;
        QTest::newRow("emptied twice") << 0 << 1300 / 50 * 50 << 0;
    }
    void manyChunksInOnePass()
    {
        QFETCH(int, before);
        QFETCH(int, fullChunks);
        QFETCH(int, lastSize);
        // Timed saving captures every chunk.
        w_->Timer1()->SetInterval(3600000);
        w_->Timer1()->SetEnabled(true);
        auto client = Connect();
        QVERIFY(client);
        QStringList lines;
        for (int i = 0; i < before; ++i)
            lines << QStringLiteral("%1 ").arg(i % 256, 2, 16, QLatin1Char('0'));
        w_->Area().Memo1->SetLines(lines);
        const QByteArray bytes = Chunks(fullChunks, lastSize);
        // Sent in pieces small enough for the socket to hold whole.
        for (qsizetype at = 0; at < bytes.size(); at += 32 * Tf_main::kReadSize)
            SendAndWait(*client, bytes.mid(at, 32 * Tf_main::kReadSize));
        const QStringList expected = LineByLine(lines, bytes);
        // The last pass, close behind the window's last write, is shown by
        // the next paced flush.
        QTRY_VERIFY(!w_->ReceiveLines()->Pending());
        QCOMPARE(w_->Area().Memo1->LineCount(), expected.size());
        QCOMPARE(w_->Area().Memo1->Lines(), expected);
        QCOMPARE(w_->SMemo1().Count(), fullChunks + (lastSize > 0 ? 1 : 0));
        QCOMPARE(w_->SMemo1().Lines().constLast(), LineOf(bytes.right(lastSize > 0 ? lastSize : Tf_main::kReadSize)));
    }

    // One chunk per pass, the display left waiting: whatever reads or edits
    // the window first brings it up to date.
    void waitingLinesComeBeforeCommandsAndClients()
    {
        w_->SetReceivePacing(0, 3600000);
        auto client = Connect();
        QVERIFY(client);
        const QStringList start = w_->Area().Memo1->Lines();
        const QByteArray bytes = Chunks(3, 0);
        SendAndWait(*client, bytes);
        QVERIFY(w_->ReceiveLines()->Pending());
        const QStringList expected = LineByLine(start, bytes);

        log_.nextFile = dir_.filePath(QStringLiteral("r.rcv"));
        w_->Actions().N_savereceive->trigger();
        QCOMPARE(LoadTextLines(log_.nextFile), expected);
        QCOMPARE(w_->Area().Memo1->Lines(), expected);

        // A newer client's line comes after the lines read from the older.
        SendAndWait(*client, Chunks(2, 0));
        QVERIFY(w_->ReceiveLines()->Pending());
        auto newer = Connect();
        QVERIFY(newer);
        QStringList lines = LineByLine(expected, Chunks(2, 0));
        lines << QStringLiteral("Connected with 127.0.0.1");
        QCOMPARE(w_->Area().Memo1->Lines(), lines);

        // Clearing clears what waits too; pausing shows what was read before.
        SendAndWait(*newer, Chunks(1, 0));
        QVERIFY(w_->ReceiveLines()->Pending());
        w_->Actions().N_receiveclear->trigger();
        QCOMPARE(w_->Area().Memo1->LineCount(), 0);
        SendAndWait(*newer, Chunks(2, 0));
        w_->Actions().Btn_watch->click();
        QCOMPARE(w_->Area().Memo1->Lines(), LineByLine({}, Chunks(2, 0)));
        QVERIFY(log_.errors.isEmpty());
    }

    // A client streaming without pause may bring lines at every read pass:
    // the window's text follows at once, its painting at a pace a screen can
    // show (a change within the interval waits for its end).
    void streamedLinesArePaintedAtAPace()
    {
        for (const QString& line : {QStringLiteral("01 "), QStringLiteral("02 ")}) {
            w_->ReceiveLines()->Append(line);
            w_->ReceiveLines()->Flush();
        }
        QCOMPARE(w_->Area().Memo1->Lines().mid(w_->Area().Memo1->LineCount() - 2),
                 (QStringList{QStringLiteral("01 "), QStringLiteral("02 ")}));
        QVERIFY(!w_->Area().Memo1->updatesEnabled());
        QTRY_VERIFY(w_->Area().Memo1->updatesEnabled());
    }
};

QTEST_MAIN(TamrelReceiveBatchTest)
#include "TamrelReceiveBatchTest.moc"
