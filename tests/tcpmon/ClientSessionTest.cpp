#include "TamrelTestSupport.h"

#include "monitor/TimedSave.h"
#include "tcpmon/ClientSession.h"
#include "socket/WSocketResolve.h"

#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>
#include <tuple>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
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

    // Listening on "::" serves clients of both families, and each chunk
    // carries its client's own address and port ("[::1]:p" for IPv6).
    void aDualStackListenerTellsPeersOfBothFamilies()
    {
        if (!SystemHasIPv6())
            QSKIP("no IPv6 here");
        QTemporaryDir folder;
        int saveNumber = 0;
        monitor::TimedSave capture(saveNumber, [](const std::exception&) {}, nullptr, folder.path());
        PassEnds sink;
        monitor::ReceiveRoute route(sink, capture, {}, {});
        QStringList sources;
        route.AddObserver([&](const monitor::ReceivedFrame& frame) { sources << monitor::SourceText(frame); });
        ClientSession session(route);
        session.Listen(QStringLiteral("::"), QStringLiteral("0"));
        QVERIFY(session.Listening());
        const auto port = static_cast<std::uint16_t>(session.SrvWSocket().LocalPort().toInt());

        const auto client = [&](int family) {
            const int handle = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_storage to{};
            socklen_t length = 0;
            if (family == AF_INET6) {
                auto* six = reinterpret_cast<sockaddr_in6*>(&to);
                six->sin6_family = AF_INET6;
                six->sin6_addr = in6addr_loopback;
                six->sin6_port = htons(port);
                length = sizeof *six;
            } else {
                auto* four = reinterpret_cast<sockaddr_in*>(&to);
                four->sin_family = AF_INET;
                four->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                four->sin_port = htons(port);
                length = sizeof *four;
            }
            const bool connected = ::connect(handle, reinterpret_cast<sockaddr*>(&to), length) == 0;
            sockaddr_storage local{};
            socklen_t localLength = sizeof local;
            ::getsockname(handle, reinterpret_cast<sockaddr*>(&local), &localLength);
            const std::uint16_t localPort = ntohs(family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&local)->sin6_port
                                                                     : reinterpret_cast<sockaddr_in*>(&local)->sin_port);
            return std::tuple{handle, connected, localPort};
        };
        const auto [four, fourConnected, fourPort] = client(AF_INET);
        QVERIFY(fourConnected);
        QCOMPARE(::send(four, "\x01", 1, 0), ssize_t(1));
        QTRY_COMPARE(sources.size(), 1);
        const auto [six, sixConnected, sixPort] = client(AF_INET6);
        QVERIFY(sixConnected);
        QTRY_COMPARE(session.TmpWSocket().State(), wsConnected);
        QCOMPARE(::send(six, "\x02", 1, 0), ssize_t(1));
        QTRY_COMPARE(sources.size(), 2);
        QCOMPARE(sources, (QStringList{QStringLiteral("127.0.0.1:%1").arg(fourPort), QStringLiteral("[::1]:%1").arg(sixPort)}));
        ::close(four);
        ::close(six);
    }
};

QTEST_GUILESS_MAIN(ClientSessionTest)
#include "ClientSessionTest.moc"
