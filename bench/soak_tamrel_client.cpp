// The soak's TCP client process: for SECONDS, a new connection to
// 127.0.0.1:PORT every second (the server replaces the older one), each
// streaming 100-byte chunks at about 1 000 per second and reading whatever
// the server sends back; the previous connection is closed once the next
// one is open. Prints "sent N" (bytes) and "connections N".
//   usage: soak_tamrel_client PORT SECONDS
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

int Open(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<unsigned short>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, O_NONBLOCK);
    return fd;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PORT SECONDS\n", argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const double seconds = std::atof(argv[2]);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    char chunk[100];
    for (int i = 0; i < 100; ++i)
        chunk[i] = static_cast<char>(i);
    char sink[65536];
    long long sent = 0;
    int connections = 0;
    int fd = -1;
    double nextSwitch = 0;
    long long chunks = 0;
    while (elapsed() < seconds) {
        if (elapsed() >= nextSwitch) {
            const int next = Open(port);
            if (next >= 0) {
                ++connections;
                if (fd >= 0)
                    ::close(fd);
                fd = next;
            }
            nextSwitch += 1.0;
        }
        if (fd < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        const long long due = static_cast<long long>(elapsed() * 1000);
        while (chunks < due) {
            const ssize_t n = send(fd, chunk, sizeof chunk, MSG_NOSIGNAL);
            if (n > 0)
                sent += n;
            ++chunks;
        }
        while (recv(fd, sink, sizeof sink, 0) > 0) {
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 2);
    }
    if (fd >= 0)
        ::close(fd);
    std::printf("sent %lld\nconnections %d\n", sent, connections);
    return 0;
}
