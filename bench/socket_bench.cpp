// Socket component throughput on loopback, each figure beside a plain
// blocking loop measured in the same run against the same peer process:
// - datagrams of 16 bytes per second received by a listening TWSocket whose
//   OnDataAvailable handler reads each with ReceiveFrom into a 65536-byte
//   buffer, against a blocking recvfrom() loop on the same kind of socket,
//   both while the sender sends ("live": the slower of sender and receiver
//   sets the pace) and from a queue the sender filled beforehand ("drain":
//   the receiver alone sets the pace);
// - stream bytes per second sent with TWSocket::Send (the next block from
//   OnDataSent) to a reading peer, against a blocking send() loop.
// The peer is one forked helper process that takes commands through a pipe.
// Rounds alternate between the two receivers; the median of each is
// compared. Usage: socket_bench [datagrams-per-round] [stream-MiB-per-round]
#include "socket/WSocket.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Rounds = 5;
constexpr size_t DatagramSize = 16;
constexpr size_t StreamBlock = 256 * 1024;
constexpr int ReceiveBuffer = 4 * 1024 * 1024;
constexpr int DrainBuffer = 256 * 1024 * 1024;

// ---- the peer process ----

struct Command {
    char kind; // 'D' send datagrams, 'S' read a stream, 'Q' quit
    uint16_t port;
    int64_t amount;
};

sockaddr_in Loopback(uint16_t port)
{
    return sockaddr_in{AF_INET, htons(port), in_addr{htonl(INADDR_LOOPBACK)}, {}};
}

void SendDatagrams(uint16_t port, int64_t count)
{
    const int handle = socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in to = Loopback(port);
    if (connect(handle, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0)
        _exit(2);
    char datagram[DatagramSize];
    for (int64_t i = 0; i < count; ++i) {
        std::memcpy(datagram, &i, sizeof i);
        (void)send(handle, datagram, sizeof datagram, 0);
    }
    // End markers of one byte, repeated since a datagram may be dropped.
    for (int i = 0; i < 200; ++i) {
        (void)send(handle, "E", 1, 0);
        usleep(1000);
    }
    close(handle);
}

int64_t ReadStream(uint16_t port)
{
    const int handle = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in to = Loopback(port);
    if (connect(handle, reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0)
        _exit(3);
    std::vector<char> buffer(256 * 1024);
    int64_t total = 0;
    ssize_t count;
    while ((count = recv(handle, buffer.data(), buffer.size(), 0)) > 0)
        total += count;
    close(handle);
    return total;
}

[[noreturn]] void PeerMain(int commands, int replies)
{
    Command command{};
    while (read(commands, &command, sizeof command) == static_cast<ssize_t>(sizeof command)) {
        int64_t reply = 0;
        if (command.kind == 'D')
            SendDatagrams(command.port, command.amount);
        else if (command.kind == 'S')
            reply = ReadStream(command.port);
        else
            break;
        if (write(replies, &reply, sizeof reply) != static_cast<ssize_t>(sizeof reply))
            break;
    }
    _exit(0);
}

struct Peer {
    pid_t pid = -1;
    int commands = -1;
    int replies = -1;

    void Start()
    {
        int toPeer[2];
        int fromPeer[2];
        if (pipe(toPeer) != 0 || pipe(fromPeer) != 0)
            std::exit(1);
        pid = fork();
        if (pid == 0) {
            close(toPeer[1]);
            close(fromPeer[0]);
            PeerMain(toPeer[0], fromPeer[1]);
        }
        close(toPeer[0]);
        close(fromPeer[1]);
        commands = toPeer[1];
        replies = fromPeer[0];
    }
    void Ask(char kind, uint16_t port, int64_t amount) const
    {
        const Command command{kind, port, amount};
        if (write(commands, &command, sizeof command) != static_cast<ssize_t>(sizeof command))
            std::exit(1);
    }
    int64_t Reply() const
    {
        int64_t reply = 0;
        if (read(replies, &reply, sizeof reply) != static_cast<ssize_t>(sizeof reply))
            std::exit(1);
        return reply;
    }
    void Stop()
    {
        Ask('Q', 0, 0);
        close(commands);
        close(replies);
        waitpid(pid, nullptr, 0);
    }
};

uint16_t LocalPortOf(int handle)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// ---- datagrams ----

// A queue large enough for a round that is drained after it was filled
// (forced beyond the system's limit where the process may).
void SetReceiveBuffer(int handle, bool drain)
{
    const int size = drain ? DrainBuffer : ReceiveBuffer;
    if (!drain || setsockopt(handle, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        setsockopt(handle, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
}

struct DatagramCount {
    int64_t received = 0;
    Clock::time_point first;
    Clock::time_point last;
    bool ended = false;

    // Returns false at the end marker.
    bool Take(ssize_t size)
    {
        if (size == static_cast<ssize_t>(DatagramSize)) {
            const Clock::time_point now = Clock::now();
            if (received++ == 0)
                first = now;
            last = now;
            return true;
        }
        if (size == 1)
            ended = true;
        return size != 1;
    }
    [[nodiscard]] double Rate() const
    {
        return received > 1 ? static_cast<double>(received - 1) / Seconds(first, last) : 0.0;
    }
};

DatagramCount ComponentDatagrams(const Peer& peer, int64_t count, bool drain)
{
    DatagramCount tally;
    QEventLoop loop;
    TWSocket server;
    server.OnDataAvailable = [&](TCustomWSocket* sender, int) {
        static char buffer[65536];
        sockaddr_in from{};
        int fromLen = sizeof from;
        if (!tally.Take(sender->ReceiveFrom(buffer, sizeof buffer, from, fromLen)))
            loop.quit();
    };
    server.SetProto(QStringLiteral("udp"));
    server.SetAddr(QStringLiteral("127.0.0.1"));
    server.SetPort(QStringLiteral("0"));
    server.Listen();
    SetReceiveBuffer(server.SocketHandle(), drain);
    peer.Ask('D', LocalPortOf(server.SocketHandle()), count);
    if (drain)
        peer.Reply();
    loop.exec();
    server.Close();
    if (!drain)
        peer.Reply();
    return tally;
}

DatagramCount PlainDatagrams(const Peer& peer, int64_t count, bool drain)
{
    DatagramCount tally;
    const int handle = socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in address = Loopback(0);
    bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    SetReceiveBuffer(handle, drain);
    peer.Ask('D', LocalPortOf(handle), count);
    if (drain)
        peer.Reply();
    static char buffer[65536];
    for (;;) {
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t size = recvfrom(handle, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (!tally.Take(size))
            break;
    }
    close(handle);
    if (!drain)
        peer.Reply();
    return tally;
}

// ---- stream ----

struct Listener {
    int handle = socket(AF_INET, SOCK_STREAM, 0);
    Listener()
    {
        const sockaddr_in address = Loopback(0);
        bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        listen(handle, 1);
    }
    ~Listener() { close(handle); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
};

// Bytes per second from the first send until the peer has read everything.
double ComponentStream(const Peer& peer, int64_t total, const std::vector<char>& block)
{
    Listener listener;
    peer.Ask('S', LocalPortOf(listener.handle), 0);
    const int accepted = accept(listener.handle, nullptr, nullptr);
    QEventLoop loop;
    TWSocket client;
    int64_t queued = 0;
    bool started = false;
    client.OnDataSent = [&](TCustomWSocket* sender, int) {
        if (!started)
            return; // the write readiness of the adoption itself
        if (queued >= total) {
            loop.quit();
            return;
        }
        queued += sender->Send(block.data(), static_cast<int>(block.size()));
    };
    client.SetLingerOnOff(wsLingerOff);
    client.Dup(accepted);
    QCoreApplication::processEvents();
    const Clock::time_point start = Clock::now();
    started = true;
    queued += client.Send(block.data(), static_cast<int>(block.size()));
    loop.exec();
    client.Close();
    const int64_t read = peer.Reply();
    const Clock::time_point end = Clock::now();
    if (read != total)
        std::fprintf(stderr, "component stream: peer read %lld of %lld bytes\n", static_cast<long long>(read),
                     static_cast<long long>(total));
    return static_cast<double>(read) / Seconds(start, end);
}

double PlainStream(const Peer& peer, int64_t total, const std::vector<char>& block)
{
    Listener listener;
    peer.Ask('S', LocalPortOf(listener.handle), 0);
    const int accepted = accept(listener.handle, nullptr, nullptr);
    const Clock::time_point start = Clock::now();
    for (int64_t sent = 0; sent < total; sent += static_cast<int64_t>(block.size())) {
        for (size_t done = 0; done < block.size();) {
            const ssize_t count = send(accepted, block.data() + done, block.size() - done, MSG_NOSIGNAL);
            if (count <= 0)
                return 0.0;
            done += static_cast<size_t>(count);
        }
    }
    shutdown(accepted, SHUT_WR);
    close(accepted);
    const int64_t read = peer.Reply();
    const Clock::time_point end = Clock::now();
    return static_cast<double>(read) / Seconds(start, end);
}

} // namespace

int main(int argc, char** argv)
{
    const int64_t datagrams = argc > 1 ? std::atoll(argv[1]) : 300000;
    const int64_t streamBytes = (argc > 2 ? std::atoll(argv[2]) : 512) * 1024 * 1024;

    Peer peer;
    peer.Start();
    QCoreApplication app(argc, argv);

    std::vector<double> ours;
    std::vector<double> plain;
    for (const bool drain : {false, true}) {
        const int64_t count = drain ? std::min<int64_t>(datagrams, 100000) : datagrams;
        std::printf("Datagrams of %zu bytes, %s, %lld sent per round\n", DatagramSize,
                    drain ? "drained from a filled queue" : "live", static_cast<long long>(count));
        ours.clear();
        plain.clear();
        for (int round = 0; round < Rounds; ++round) {
            const DatagramCount a = ComponentDatagrams(peer, count, drain);
            const DatagramCount b = PlainDatagrams(peer, count, drain);
            ours.push_back(a.Rate());
            plain.push_back(b.Rate());
            std::printf("  round %d: TWSocket %10.0f/s (%lld received)   recvfrom loop %10.0f/s (%lld received)\n",
                        round + 1, a.Rate(), static_cast<long long>(a.received), b.Rate(),
                        static_cast<long long>(b.received));
        }
        std::printf("  median: TWSocket %.0f datagrams/s, recvfrom loop %.0f datagrams/s, ratio %.2f (goal >= 0.80)\n\n",
                    Median(ours), Median(plain), Median(ours) / Median(plain));
    }

    const std::vector<char> block(StreamBlock, 'x');
    ours.clear();
    plain.clear();
    std::printf("Stream: %lld MiB per round in blocks of %zu bytes\n", static_cast<long long>(streamBytes >> 20),
                StreamBlock);
    for (int round = 0; round < Rounds; ++round) {
        const double a = ComponentStream(peer, streamBytes, block);
        const double b = PlainStream(peer, streamBytes, block);
        ours.push_back(a);
        plain.push_back(b);
        std::printf("  round %d: TWSocket.Send %8.1f MiB/s   send loop %8.1f MiB/s\n", round + 1, a / 1048576.0,
                    b / 1048576.0);
    }
    const double streamRatio = Median(ours) / Median(plain);
    std::printf("  median: TWSocket.Send %.1f MiB/s, send loop %.1f MiB/s, ratio %.2f (goal >= 0.90)\n",
                Median(ours) / 1048576.0, Median(plain) / 1048576.0, streamRatio);

    peer.Stop();
    return 0;
}
