// Bytes per second from a loopback peer that sends without pause, in 64 KiB
// blocks and in 1 400-byte writes, read by both TCP monitors:
//   Tamrel_S: a client connects to the window and streams;
//             reference: a plain blocking recv loop reading 1024 bytes per
//             call (the window's chunk size), and one reading 64 KiB per call;
//             ours: the Tamrel_S main window (shown, offscreen) reading
//             through the socket component and showing every chunk as a line.
//   Tamrel_C: the window connects to a server that streams once it is
//             connected; reference: a plain blocking recv loop on a client
//             socket reading 1024 bytes per call; ours: the Tamrel_C main
//             window (shown, offscreen), its bytes counted as its receive
//             route takes them.
// Also the event loop's worst stall while the window is flooded: the longest
// gap between ticks of a 10 ms timer, above its period.
// Goals: ours at least 0.9 of the 1024-byte loop, no stall above 100 ms.
// The machine may be shared: the two are measured in turns, five rounds (ROUNDS),
// and the median ratio is the figure (each round's figures are printed).
#include "tcpmon/Main.h"
#include "tcpmon/Prompts.h"
#include "tcpmon/Side.h"
#include "tcpmon/TOutlookBtn.h"
#include "tcpmon/client/ClientSide.h"
#include "tcpmon/client/ConnectTarget.h"
#include "tcpmon/client/ServerConnection.h"

#include "monitor/ReceiveRoute.h"

#include "WindowProbes.h"

#include "socket/WSocket.h"
#include "widgets/TSMemo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

using namespace tamrel;

namespace {

constexpr double kSeconds = 2.0;
// Rounds per figure: 5, or ROUNDS from the environment.
int Rounds()
{
    const char* rounds = std::getenv("ROUNDS");
    return rounds != nullptr && std::atoi(rounds) > 0 ? std::atoi(rounds) : 5;
}
const int kRounds = Rounds();
constexpr int kReadSize = 1024;
constexpr int kLargeRead = 64 * 1024;

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

int ListeningSocket(int& port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd, 5);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

int FreePort()
{
    int port = 0;
    ::close(ListeningSocket(port));
    return port;
}

// Sends blocks of `blockSize` on the connected `fd` until `stop` or until
// the peer is gone; then closes it.
void Stream(int fd, int blockSize, const std::atomic<bool>& stop)
{
    timeval timeout{0, 100000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    std::vector<char> block(static_cast<std::size_t>(blockSize));
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 7);
    while (!stop.load()) {
        if (::send(fd, block.data(), block.size(), MSG_NOSIGNAL) < 0 && errno != EAGAIN && errno != EINTR)
            break;
    }
    ::close(fd);
}

int Connected(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Connects and streams (the peer of Tamrel_S).
void StreamingClient(int port, int blockSize, const std::atomic<bool>& stop)
{
    const int fd = Connected(port);
    if (fd >= 0)
        Stream(fd, blockSize, stop);
}

// Takes one connection on `listener` and streams on it (the device Tamrel_C
// connects to).
void StreamingServer(int listener, int blockSize, const std::atomic<bool>& stop)
{
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0)
        Stream(fd, blockSize, stop);
}

// Which end the plain loop is: the server a client streams to, or the
// client a server streams to once it is connected.
enum class Reader { Server, Client };

double PlainLoopBytesPerSecond(int blockSize, int readSize, Reader reader = Reader::Server)
{
    int port = 0;
    const int listener = ListeningSocket(port);
    std::atomic<bool> stop{false};
    int fd = -1;
    std::thread peer;
    if (reader == Reader::Server) {
        peer = std::thread(StreamingClient, port, blockSize, std::cref(stop));
        fd = accept(listener, nullptr, nullptr);
    } else {
        peer = std::thread(StreamingServer, listener, blockSize, std::cref(stop));
        fd = Connected(port);
    }
    std::vector<char> buffer(static_cast<std::size_t>(readSize));
    long long total = 0;
    const auto start = std::chrono::steady_clock::now();
    double elapsed = 0;
    while (fd >= 0 && elapsed < kSeconds) {
        const ssize_t n = recv(fd, buffer.data(), buffer.size(), 0);
        if (n <= 0)
            break;
        total += n;
        elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    stop = true;
    while (fd >= 0 && recv(fd, buffer.data(), buffer.size(), 0) > 0) {
    }
    peer.join();
    if (fd >= 0)
        ::close(fd);
    ::close(listener);
    return elapsed > 0 ? static_cast<double>(total) / elapsed : 0;
}

struct WindowFigures {
    double bytesPerSecond = 0;
    double worstStallMs = 0;
    long long lines = 0;
};

WindowFigures WindowBytesPerSecond(int blockSize, bool displayPaused)
{
    QTemporaryDir dir;
    Prompts prompts = DefaultPrompts();
    QStringList errors;
    prompts.ErrorBox = [&errors](const std::exception& e) { errors << QString::fromUtf8(e.what()); };
    prompts.Question = [](const QString&, const QString&) { return true; };
    Tf_main window(dir.filePath(QStringLiteral("Tamrel_S.ini")), prompts);
    window.show();
    if (displayPaused)
        window.Actions().N_watch->trigger();
    const int port = FreePort();
    window.State().ServerPort = QString::number(port);
    window.Actions().N_startlisten->trigger();

    std::atomic<bool> stop{false};
    std::thread client(StreamingClient, port, blockSize, std::cref(stop));

    WindowFigures figures;
    long long lines = 0;
    const QMetaObject::Connection counting =
        QObject::connect(window.Area().Memo1->document(), &QTextDocument::blockCountChanged, [&lines] { ++lines; });

    constexpr int kTick = 10;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTick);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const double gap = static_cast<double>(sinceTick.nsecsElapsed()) / 1e6 - kTick;
        if (gap > figures.worstStallMs)
            figures.worstStallMs = gap;
        sinceTick.restart();
    });

    // Measuring starts once the client is connected.
    QEventLoop waitForClient;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (window.TmpWSocket()->State() == wsConnected)
            waitForClient.quit();
    });
    poll.start(1);
    waitForClient.exec();
    poll.stop();

    const qint64 startCount = window.TmpWSocket()->ReadCount();
    clock.start();
    sinceTick.start();
    ticker.start();
    QEventLoop measuring;
    QTimer::singleShot(static_cast<int>(kSeconds * 1000), &measuring, &QEventLoop::quit);
    measuring.exec();
    const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    figures.bytesPerSecond = static_cast<double>(window.TmpWSocket()->ReadCount() - startCount) / elapsed;
    ticker.stop();
    figures.lines = lines;
    QObject::disconnect(counting);

    stop = true;
    QElapsedTimer drain;
    drain.start();
    while (window.TmpWSocket()->State() == wsConnected && drain.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    client.join();
    window.CloseWithoutAsking();
    for (const QString& error : errors)
        std::printf("  error shown: %s\n", qPrintable(error));
    return figures;
}

// Tamrel_C's side as it is, with the bytes its receive route takes counted
// (an observer of the route, which sees every chunk first).
class CountedClientSide final : public Side {
public:
    [[nodiscard]] ClientSide& Client() { return client_; }
    [[nodiscard]] long long Bytes() const { return bytes_; }

    [[nodiscard]] const Texts& Words() const override { return client_.Words(); }
    void Create(monitor::ReceiveRoute& route, QWidget& window, TamrelState& state) override
    {
        route.AddObserver([this](const monitor::ReceivedFrame& frame) {
            bytes_ += static_cast<long long>(frame.bytes.size());
        });
        // The window sets the events before it creates the side.
        client_.events = events;
        client_.Create(route, window, state);
    }
    void ReadSettings(const IniFile& settings) override { client_.ReadSettings(settings); }
    void WriteSettings(IniFile& settings) const override { client_.WriteSettings(settings); }
    [[nodiscard]] bool On() const override { return client_.On(); }
    void Switch() override { client_.Switch(); }
    void Setup() override { client_.Setup(); }
    [[nodiscard]] QString PanelText() const override { return client_.PanelText(); }
    void Send(std::span<const std::uint8_t> bytes) override { client_.Send(bytes); }
    void Shutdown() override { client_.Shutdown(); }
    void SetReadPassMs(int readPassMs) override { client_.SetReadPassMs(readPassMs); }

private:
    ClientSide client_;
    long long bytes_ = 0;
};

WindowFigures ClientWindowBytesPerSecond(int blockSize, bool displayPaused)
{
    QTemporaryDir dir;
    Prompts prompts = DefaultPrompts();
    QStringList errors;
    prompts.ErrorBox = [&errors](const std::exception& e) { errors << QString::fromUtf8(e.what()); };
    prompts.Question = [](const QString&, const QString&) { return true; };
    auto counted = std::make_unique<CountedClientSide>();
    CountedClientSide& side = *counted;
    Tf_main window(dir.filePath(QStringLiteral("Tamrel_C.ini")), prompts, std::move(counted));
    window.show();
    if (displayPaused)
        window.Actions().N_watch->trigger();

    int port = 0;
    const int listener = ListeningSocket(port);
    std::atomic<bool> stop{false};
    std::thread server(StreamingServer, listener, blockSize, std::cref(stop));
    ConnectTarget target;
    target.host = QStringLiteral("127.0.0.1");
    target.port = QString::number(port);
    side.Client().SetTarget(target);
    window.Actions().Btn_closecom->click();

    WindowFigures figures;
    long long lines = 0;
    const QMetaObject::Connection counting =
        QObject::connect(window.Area().Memo1->document(), &QTextDocument::blockCountChanged, [&lines] { ++lines; });

    // Measuring starts once the window is connected.
    QElapsedTimer waiting;
    waiting.start();
    while (side.Client().Connection().State() != ConnectionState::Connected && waiting.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);

    const long long startCount = side.Bytes();
    QElapsedTimer clock;
    clock.start();
    {
        const StallProbe stalls;
        QEventLoop measuring;
        QTimer::singleShot(static_cast<int>(kSeconds * 1000), &measuring, &QEventLoop::quit);
        measuring.exec();
        figures.worstStallMs = stalls.WorstMs();
    }
    const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    figures.bytesPerSecond = static_cast<double>(side.Bytes() - startCount) / elapsed;
    figures.lines = lines;
    QObject::disconnect(counting);

    // The user's disconnect, then the server stops (its next send fails).
    stop = true;
    if (side.Client().Connection().State() != ConnectionState::Disconnected)
        window.Actions().Btn_closecom->click();
    server.join();
    ::close(listener);
    window.CloseWithoutAsking();
    for (const QString& error : errors)
        std::printf("  error shown: %s\n", qPrintable(error));
    return figures;
}

} // namespace

// usage: tamrel_stream [Tamrel_S | Tamrel_C [BLOCK_SIZE [paused]]]: both
// monitors and both streams unless one is named, with the display running
// unless paused (for finding where the time goes).
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    std::vector<int> blocks{64 * 1024, 1400};
    if (argc > 2)
        blocks = {std::max(1, std::atoi(argv[2]))};
    const bool displayPaused = argc > 3 && QLatin1String(argv[3]) == QLatin1String("paused");
    if (displayPaused)
        std::printf("(the windows' display paused)\n");
    const bool server = only.isEmpty() || only == QLatin1String("Tamrel_S");
    const bool client = only.isEmpty() || only == QLatin1String("Tamrel_C");
    if (!server && !client) {
        std::fprintf(stderr, "usage: %s [Tamrel_S | Tamrel_C [BLOCK_SIZE [paused]]]\n", argv[0]);
        return 2;
    }
    double worstStall = 0;
    for (const int block : server ? blocks : std::vector<int>{}) {
        std::printf("tamrel_stream: %d rounds of %.0f s of a loopback client sending %d-byte writes without pause\n",
                    kRounds, kSeconds, block);
        std::vector<double> ratios;
        std::vector<double> largeRatios;
        for (int round = 1; round <= kRounds; ++round) {
            const double plain = PlainLoopBytesPerSecond(block, kReadSize);
            const double plainLarge = PlainLoopBytesPerSecond(block, kLargeRead);
            const WindowFigures window = WindowBytesPerSecond(block, displayPaused);
            ratios.push_back(window.bytesPerSecond / plain);
            largeRatios.push_back(window.bytesPerSecond / plainLarge);
            worstStall = std::max(worstStall, window.worstStallMs);
            std::printf("  round %d: plain recv loop %7.1f MB/s (1024-byte reads), %7.1f MB/s (64 KiB reads);"
                        " Tamrel_S main window %7.1f MB/s (%lld receive-window edits), ratios %.3f and %.3f,"
                        " worst stall %.1f ms\n",
                        round, plain / 1e6, plainLarge / 1e6, window.bytesPerSecond / 1e6, window.lines,
                        ratios.back(), largeRatios.back(), window.worstStallMs);
        }
        std::sort(ratios.begin(), ratios.end());
        std::sort(largeRatios.begin(), largeRatios.end());
        const double median = ratios[ratios.size() / 2];
        std::printf("  median ratio window / plain loop: %.3f (1024-byte reads; goal >= 0.9: %s), %.3f (64 KiB reads)\n",
                    median, median >= 0.9 ? "met" : "NOT met", largeRatios[largeRatios.size() / 2]);
    }
    if (server)
        std::printf("worst event-loop stall: %.1f ms   goal <= 100 ms   %s\n", worstStall,
                    worstStall <= 100 ? "met" : "NOT met");

    double worstClientStall = 0;
    for (const int block : client ? blocks : std::vector<int>{}) {
        std::printf("tamrel_stream (Tamrel_C): %d rounds of %.0f s of a loopback server sending %d-byte writes"
                    " without pause once connected\n",
                    kRounds, kSeconds, block);
        std::vector<double> ratios;
        for (int round = 1; round <= kRounds; ++round) {
            const double plain = PlainLoopBytesPerSecond(block, kReadSize, Reader::Client);
            const WindowFigures window = ClientWindowBytesPerSecond(block, displayPaused);
            ratios.push_back(plain > 0 ? window.bytesPerSecond / plain : 0);
            worstClientStall = std::max(worstClientStall, window.worstStallMs);
            std::printf("  round %d: plain recv loop %7.1f MB/s (1024-byte reads); Tamrel_C main window %7.1f MB/s"
                        " (%lld receive-window edits), ratio %.3f, worst stall %.1f ms\n",
                        round, plain / 1e6, window.bytesPerSecond / 1e6, window.lines, ratios.back(),
                        window.worstStallMs);
        }
        std::sort(ratios.begin(), ratios.end());
        const double median = ratios[ratios.size() / 2];
        std::printf("  median ratio window / plain loop: %.3f (1024-byte reads; goal >= 0.9: %s)\n", median,
                    median >= 0.9 ? "met" : "NOT met");
    }
    if (client)
        std::printf("worst event-loop stall (Tamrel_C): %.1f ms   goal <= 100 ms   %s\n", worstClientStall,
                    worstClientStall <= 100 ? "met" : "NOT met");
    return 0;
}
