#include "TamrelTestSupport.h"

#include "monitor/TimedSave.h"
#include "tcpmon/ClientSession.h"

#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>
#include <utility>

using namespace tamrel;

namespace {

// A line sink that keeps only how each read pass ended.
class PassEnds final : public monitor::LineSink {
public:
    void EmptyIfFull() override {}
    void Line(const QString&) override {}
    void Line(QByteArray, QString (*)(const QByteArray&)) override {}
    void Text(const QString&) override {}
    void PassEnded(monitor::PassEnd end) override { ends << end; }
    QList<monitor::PassEnd> ends;
};

} // namespace

// The client session on its own, without a window (no display), on real
// loopback connections.
class ClientSessionTest : public QObject {
    Q_OBJECT

private slots:
    // A chunk handler that throws still ends its read pass (as failed), so
    // that the owner shows what waits; the server goes on listening and the
    // next client is served and read.
    void aThrowingChunkHandlerStillEndsItsPass()
    {
        QTemporaryDir folder;
        int saveNumber = 0;
        monitor::TimedSave capture(saveNumber, [](const std::exception&) {}, nullptr, folder.path());
        PassEnds sink;
        monitor::ReceiveRoute route(sink, capture, {}, {});
        const QList<monitor::PassEnd>& ends = sink.ends;
        QList<QByteArray> chunks;
        bool refuse = true;
        route.AddObserver([&](const monitor::ReceivedFrame& frame) {
            chunks << QByteArray(reinterpret_cast<const char*>(frame.bytes.data()), static_cast<qsizetype>(frame.bytes.size()));
            if (std::exchange(refuse, false))
                throw std::runtime_error("chunk refused");
        });
        ClientSession session(route);
        QStringList peers;
        session.ClientConnected = [&](const QString& peer) { peers << peer; };
        session.Listen(QStringLiteral("127.0.0.1"), QStringLiteral("0"));
        QVERIFY(session.Listening());
        const int port = session.SrvWSocket().LocalPort().toInt();
        QVERIFY(port > 0);

        TestClient first(port);
        QVERIFY(first.Connected());
        QTRY_COMPARE(peers.size(), 1);
        QVERIFY(first.Send(Hex("0102")));
        QTRY_COMPARE(ends.size(), 1);
        QVERIFY(ends.at(0) == monitor::PassEnd::MoreWaiting);
        QCOMPARE(chunks, QList<QByteArray>{Hex("0102")});
        QCOMPARE(session.SrvWSocket().State(), wsListening);
        QVERIFY(session.Listening());

        TestClient second(port);
        QVERIFY(second.Connected());
        QTRY_COMPARE(peers.size(), 2);
        QVERIFY(second.Send(Hex("03")));
        QTRY_COMPARE(ends.size(), 2);
        QVERIFY(ends.at(1) == monitor::PassEnd::PeerPaused);
        QCOMPARE(chunks.constLast(), Hex("03"));
        QCOMPARE(session.TmpWSocket().State(), wsConnected);

        // Refused in the middle of what one read took: the rest is handed
        // on, in order, before the next bytes; nothing is lost.
        chunks.clear();
        refuse = true;
        QByteArray stream(3000, Qt::Uninitialized);
        for (int i = 0; i < stream.size(); ++i)
            stream[i] = static_cast<char>(i * 7);
        QVERIFY(second.Send(stream));
        QTRY_VERIFY(ends.size() >= 3);
        QVERIFY(ends.at(2) == monitor::PassEnd::MoreWaiting);
        QVERIFY(second.Send(Hex("FF")));
        QTRY_COMPARE(chunks.join(), stream + Hex("FF"));
        for (const QByteArray& chunk : chunks)
            QVERIFY(chunk.size() <= ClientSession::kReadSize);
    }
};

QTEST_GUILESS_MAIN(ClientSessionTest)
#include "ClientSessionTest.moc"
