// The master of the trigger benchmark over TCP, a process of its own: on one
// loopback connection (TCP_NODELAY) it sends a request, waits for the whole
// answer and sends the next request at once, for SECONDS. The request is a
// MODBUS/TCP read of one holding register (12 bytes), the expected answer
// its 11-byte response; an answer of other bytes is counted apart. A request
// left unanswered for a second ends the run.
//   tcp_master connect PORT SECONDS   connects to 127.0.0.1:PORT
//   tcp_master listen SECONDS         listens on a port of 127.0.0.1 the
//                                     system picks, prints "port N", takes
//                                     one connection (waiting 10 s at most)
// Its last line: "RESULT answers=N wrong=N seconds=S p50_us=X p99_us=Y
// ended=WHY" (WHY "-" when it ran its time). Listening, it then waits for
// the monitor to close the connection first, a second at most.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::array<unsigned char, 12> kRequest{0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
constexpr std::array<unsigned char, 11> kAnswer{0x00, 0x01, 0x00, 0x00, 0x00, 0x05, 0x01, 0x03, 0x02, 0x00, 0x2A};

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

int Connect(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        std::perror("tcp_master: connect");
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

int ListenAndAccept()
{
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || listen(listener, 1) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        std::perror("tcp_master: listen");
        return -1;
    }
    std::printf("port %d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    timeval timeout{10, 0};
    setsockopt(listener, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        std::perror("tcp_master: accept");
    ::close(listener);
    return fd;
}

double Quantile(std::vector<float>& values, double q)
{
    if (values.empty())
        return 0;
    const auto k = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return static_cast<double>(values[k]);
}

} // namespace

int main(int argc, char** argv)
{
    const bool connecting = argc == 4 && std::strcmp(argv[1], "connect") == 0;
    const bool listening = argc == 3 && std::strcmp(argv[1], "listen") == 0;
    if (!connecting && !listening) {
        std::fprintf(stderr, "usage: %s connect PORT SECONDS | %s listen SECONDS\n", argv[0], argv[0]);
        return 2;
    }
    const double seconds = std::atof(argv[argc - 1]);
    const int fd = connecting ? Connect(std::atoi(argv[2])) : ListenAndAccept();
    if (fd < 0) {
        std::printf("RESULT answers=0 wrong=0 seconds=0 p50_us=0 p99_us=0 ended=no-connection\n");
        return 1;
    }
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    timeval timeout{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);

    long long answers = 0;
    long long wrong = 0;
    std::string ended = "-";
    std::vector<float> latencyUs;
    latencyUs.reserve(1 << 20);
    std::array<unsigned char, kAnswer.size()> answer{};
    const Clock::time_point start = Clock::now();
    Clock::time_point now = start;
    while (std::chrono::duration<double>(now - start).count() < seconds) {
        const Clock::time_point sent = Clock::now();
        if (::send(fd, kRequest.data(), kRequest.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(kRequest.size())) {
            ended = "send-failed";
            break;
        }
        std::size_t got = 0;
        while (got < answer.size()) {
            const ssize_t n = ::recv(fd, answer.data() + got, answer.size() - got, 0);
            if (n <= 0) {
                ended = n == 0 ? "closed-by-responder" : (errno == EAGAIN ? "unanswered-for-1s" : "recv-failed");
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        now = Clock::now();
        if (got < answer.size())
            break;
        latencyUs.push_back(static_cast<float>(std::chrono::duration<double, std::micro>(now - sent).count()));
        if (answer == kAnswer)
            ++answers;
        else
            ++wrong;
    }
    const double elapsed = std::chrono::duration<double>(now - start).count();
    const double p50 = Quantile(latencyUs, 0.50);
    const double p99 = Quantile(latencyUs, 0.99);
    std::printf("RESULT answers=%lld wrong=%lld seconds=%.6f p50_us=%.2f p99_us=%.2f ended=%s\n", answers, wrong,
                elapsed, p50, p99, ended.c_str());
    std::fflush(stdout);
    // A device's connection: the monitor closes its end first (its user
    // disconnects before the device goes); this end waits for that, a
    // second at most.
    if (listening) {
        char rest[256];
        while (::recv(fd, rest, sizeof rest, 0) > 0) {
        }
    }
    ::close(fd);
    return 0;
}
