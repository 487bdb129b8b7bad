#include "TamrelTestSupport.h"

#include "monitor/IntervalTimer.h"
#include "platform/CaptureBuffer.h"
#include "tcpmon/Main.h"
#include "tcpmon/TOutlookBtn.h"

#include "socket/WSocket.h"
#include "widgets/TSMemo.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <vector>

using namespace tamrel;

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

// Connections of a burst, held by raw descriptors: non-blocking connects
// that do not wait for the server to take them.
class Burst {
public:
    enum Kind { ClosedAtOnce, Reset, LeftOpen };

    Burst() = default;
    ~Burst() { CloseAll(); }
    Burst(const Burst&) = delete;
    Burst& operator=(const Burst&) = delete;

    // Opens one connection and ends it at once as `kind` says; false when
    // the connect could not even start.
    bool Open(int port, Kind kind)
    {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 && errno != EINPROGRESS) {
            ::close(fd);
            return false;
        }
        if (kind == LeftOpen) {
            open_.push_back(fd);
            return true;
        }
        if (kind == Reset) {
            linger value{1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &value, sizeof value);
        }
        ::close(fd);
        return true;
    }
    [[nodiscard]] const std::vector<int>& LeftOpenOnes() const { return open_; }
    // True once the server closed or reset the connection.
    [[nodiscard]] static bool ServerEnded(int fd)
    {
        char byte = 0;
        const ssize_t n = recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
    }
    [[nodiscard]] static int LocalPort(int fd)
    {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        return getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0 ? ntohs(address.sin_port) : 0;
    }
    void CloseAll()
    {
        for (const int fd : open_)
            ::close(fd);
        open_.clear();
    }

private:
    std::vector<int> open_;
};

} // namespace

// Clients that misbehave: silent, reset in mid-stream, half-closed, or a
// burst of connections. The server shows what it read, keeps listening and
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
        const qsizetype before = w_->Area().Memo1->Lines().count(kConnected);
        auto client = std::make_unique<TestClient>(port_);
        if (!client->Connected() || !QTest::qWaitFor([&] { return w_->Area().Memo1->Lines().count(kConnected) > before; }))
            return nullptr;
        return client;
    }
    // The lines shown after the last "Connected with" line.
    QStringList LinesOfLastClient() const
    {
        const QStringList lines = w_->Area().Memo1->Lines();
        return lines.mid(lines.lastIndexOf(kConnected) + 1);
    }
    void VerifyStillServing()
    {
        QCOMPARE(w_->SrvWSocket()->State(), wsListening);
        QCOMPARE(w_->Actions().Btn_closecom->Caption(), QStringLiteral("停止监听"));
        QVERIFY2(log_.errors.isEmpty(), qPrintable(log_.errors.join(QLatin1Char('\n'))));
        auto next = Connect();
        QVERIFY(next);
        QVERIFY(next->Send(Hex("01031A")));
        QTRY_COMPARE(LinesOfLastClient(), QStringList{QStringLiteral("01 03 1A ")});
        // And the server's frames reach it.
        w_->Area().Memo2->setPlainText(QStringLiteral("0A 0B"));
        w_->Actions().Btn_ljfb->click();
        QTRY_COMPARE(next->Received(), Hex("0A0B"));
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        log_ = PromptLog{};
        w_ = OpenListeningWindow(dir_.filePath(QStringLiteral("Tamrel_S.ini")), log_, QStringLiteral("0"));
        QVERIFY(w_);
        QCOMPARE(w_->Actions().Btn_closecom->Caption(), QStringLiteral("停止监听"));
        port_ = w_->SrvWSocket()->LocalPort().toInt();
        QVERIFY(port_ > 0);
    }
    void cleanup() { w_.reset(); }

    void silentClientIsServedAndReplaced()
    {
        auto silent = Connect();
        QVERIFY(silent);
        QCOMPARE(w_->TmpWSocket()->State(), wsConnected);
        QCOMPARE(w_->TmpWSocket()->PeerPort(), QString::number(silent->LocalPort()));
        // The loop turns and commands work while the client says nothing.
        bool fired = false;
        QTimer::singleShot(0, this, [&fired] { fired = true; });
        QTRY_VERIFY(fired);
        const QString clock = w_->PanelText(Tf_main::PanelClock);
        QTRY_VERIFY_WITH_TIMEOUT(w_->PanelText(Tf_main::PanelClock) != clock, 5000);
        w_->Actions().Btn_watch->click();
        QCOMPARE(w_->Actions().Btn_watch->Caption(), QStringLiteral("继续显示"));
        w_->Actions().Btn_watch->click();
        QCOMPARE(w_->Actions().Btn_watch->Caption(), QStringLiteral("暂停显示"));
        w_->Area().Memo2->setPlainText(QStringLiteral("55 AA"));
        w_->Actions().Btn_ljfb->click();
        QTRY_COMPARE(silent->Received(), Hex("55AA"));
        QVERIFY(!silent->PeerClosed());

        // A newer client replaces it; the silent one leaves no line behind.
        auto newer = Connect();
        QVERIFY(newer);
        QTRY_VERIFY(silent->PeerClosed());
        QCOMPARE(w_->TmpWSocket()->PeerPort(), QString::number(newer->LocalPort()));
        QVERIFY(newer->Send(Hex("0A")));
        QTRY_COMPARE(w_->Area().Memo1->Lines(), (QStringList{kConnected, kConnected, QStringLiteral("0A ")}));
        QVERIFY(log_.errors.isEmpty());
    }

    void resetInMidStream_data()
    {
        QTest::addColumn<int>("readPassMs");
        QTest::newRow("chunks read while they come full") << Tf_main::kReadPassMs;
        QTest::newRow("one chunk per readiness event") << 0;
    }
    void resetInMidStream()
    {
        QFETCH(int, readPassMs);
        w_->SetReceivePacing(readPassMs, Tf_main::kDisplayDelayMs);
        // Timed saving takes every chunk read, shown or not.
        w_->Timer1()->SetInterval(3600000);
        w_->Timer1()->SetEnabled(true);
        auto client = Connect();
        QVERIFY(client);
        const QByteArray stream = Stream(72 * 1024 + 17);
        const QByteArray first = stream.left(40 * 1024 + 17);
        QVERIFY(client->Send(first));
        QTRY_COMPARE(w_->TmpWSocket()->ReadCount(), qint64(first.size()));
        // The rest waits at the server, unread, when the reset comes: the
        // event loop does not turn until then.
        QVERIFY(client->Send(stream.mid(first.size())));
        QElapsedTimer waited;
        waited.start();
        while (client->Unacknowledged() != 0 && waited.elapsed() < 5000)
            QThread::usleep(1000);
        QCOMPARE(client->Unacknowledged(), 0);
        client->Close(true);
        QTRY_COMPARE(w_->TmpWSocket()->State(), wsClosed);

        // Every byte that reached the server is shown, each chunk once, and
        // handed to timed saving alike.
        QTRY_COMPARE(LinesOfLastClient(), w_->SMemo1().Lines());
        const QStringList shown = LinesOfLastClient();
        QByteArray bytes;
        for (const QString& line : shown) {
            QVERIFY2(line.size() <= 3 * Tf_main::kReadSize, qPrintable(line.left(30)));
            bytes += QByteArray::fromHex(line.toLatin1());
        }
        QCOMPARE(bytes.size(), stream.size());
        QCOMPARE(bytes, stream);
        VerifyStillServing();
    }

    void burstOfConnections()
    {
        const int baseline = OpenDescriptors();
        Burst burst;
        constexpr int kConnections = 200;
        size_t leftOpen = 0;
        for (int i = 0; i < kConnections; ++i) {
            // Every third one is left open, the last one among them.
            const auto kind = static_cast<Burst::Kind>((i + 1) % 3);
            leftOpen += kind == Burst::LeftOpen ? 1 : 0;
            QVERIFY2(burst.Open(port_, kind), qPrintable(QStringLiteral("connection %1").arg(i)));
            // One turn of the event loop: the server may take one waiting.
            QCoreApplication::processEvents();
        }
        const std::vector<int>& open = burst.LeftOpenOnes();
        QCOMPARE(open.size(), leftOpen);
        const QString last = QString::number(Burst::LocalPort(open.back()));
        QTRY_COMPARE_WITH_TIMEOUT(w_->TmpWSocket()->PeerPort(), last, 20000);
        // Every other open one has been let go of by the server.
        for (size_t k = 0; k + 1 < open.size(); ++k)
            QTRY_VERIFY2(Burst::ServerEnded(open[k]), qPrintable(QStringLiteral("open connection %1").arg(k)));
        QVERIFY(!Burst::ServerEnded(open.back()));
        QCOMPARE(w_->TmpWSocket()->State(), wsConnected);
        QCOMPARE(w_->SrvWSocket()->State(), wsListening);
        // The test holds its open connections, the server exactly one.
        QTRY_COMPARE(OpenDescriptors(), baseline + static_cast<int>(open.size()) + 1);
        QVERIFY(!Burst::ServerEnded(open.back()));
        burst.CloseAll();
        QTRY_COMPARE(w_->TmpWSocket()->State(), wsClosed);
        QTRY_COMPARE(OpenDescriptors(), baseline);
        VerifyStillServing();
    }

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
        w_->Timer1()->SetInterval(3600000);
        w_->Timer1()->SetEnabled(true);
        auto client = Connect();
        QVERIFY(client);
        const QByteArray bytes = Stream(size);
        QVERIFY(client->Send(bytes));
        client->ShutdownSending();
        // The server closes its side as for any client that goes away.
        QTRY_VERIFY(client->PeerClosed());
        QTRY_COMPARE(w_->TmpWSocket()->State(), wsClosed);
        // Every byte is shown, then the one empty line of the close.
        QStringList expected = ChunkLines(bytes);
        expected << QString();
        QTRY_COMPARE(LinesOfLastClient(), expected);
        QCOMPARE(w_->SMemo1().Lines(), expected);
        VerifyStillServing();
    }
};

QTEST_MAIN(TamrelHostilePeersTest)
#include "TamrelHostilePeersTest.moc"
