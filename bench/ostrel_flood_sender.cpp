// The flood's sender process: sends datagrams of SIZE bytes to
// 127.0.0.1:PORT as fast as it can for SECONDS, in batches of 64 per
// sendmmsg, each starting with its 64-bit sequence number. Prints
// "sent N" when done. With "iec104" each datagram is an IEC 104 I-frame of
// SIZE 18 carrying one measured value, its N(S) the sequence number modulo
// 32768; RATE paces the datagrams per second (0: as fast as it can). With
// POINTS the frames go round that many objects (addresses 1 to POINTS, the
// datagram of sequence number S to object S % POINTS + 1) with the value
// S / POINTS modulo 32768, so that the last value of each object is known.
//   usage: ostrel_flood_sender PORT SIZE SECONDS [iec104 RATE [POINTS]]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 6 && argc != 7) {
        std::fprintf(stderr, "usage: %s PORT SIZE SECONDS [iec104 RATE [POINTS]]\n", argv[0]);
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const auto size = static_cast<std::size_t>(std::atoi(argv[2]));
    const double seconds = std::atof(argv[3]);
    const bool iec104 = argc >= 6 && std::strcmp(argv[4], "iec104") == 0;
    const double rate = argc >= 6 ? std::atof(argv[5]) : 0;
    const std::uint64_t points = argc == 7 ? std::strtoull(argv[6], nullptr, 10) : 0;
    if (port <= 0 || size < sizeof(std::uint64_t) || size > 65507 || seconds <= 0) {
        std::fprintf(stderr, "bad arguments\n");
        return 2;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        std::perror("socket");
        return 1;
    }

    constexpr int kBatch = 64;
    std::vector<std::vector<unsigned char>> payloads(kBatch, std::vector<unsigned char>(size));
    std::vector<iovec> vectors(kBatch);
    std::vector<mmsghdr> messages(kBatch);
    for (int i = 0; i < kBatch; ++i) {
        for (std::size_t k = 0; k < size; ++k)
            payloads[i][k] = static_cast<unsigned char>(k * 13 + 1);
        vectors[i] = {payloads[i].data(), size};
        messages[i] = {};
        messages[i].msg_hdr.msg_iov = &vectors[i];
        messages[i].msg_hdr.msg_iovlen = 1;
    }

    std::uint64_t sent = 0;
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    if (iec104) {
        // 68 10, N(S), N(R) 0, type 9 (measured value, normalised), one
        // object, cause 3 (spontaneous), common address 1, object 1.
        const unsigned char frame[18] = {0x68, 0x10, 0, 0, 0, 0, 0x09, 0x01, 0x03, 0x00, 0x01, 0x00,
                                         0x01, 0x00, 0x00, 0x64, 0x00, 0x00};
        for (int i = 0; i < kBatch; ++i) {
            payloads[i].assign(frame, frame + sizeof frame);
            vectors[i] = {payloads[i].data(), payloads[i].size()};
        }
    }
    while (std::chrono::steady_clock::now() < end) {
        if (rate > 0)
            std::this_thread::sleep_until(start + std::chrono::duration<double>(static_cast<double>(sent) / rate));
        for (int i = 0; i < kBatch; ++i) {
            const std::uint64_t sequence = sent + static_cast<std::uint64_t>(i);
            if (iec104) {
                const auto ns = static_cast<unsigned>(sequence % 32768);
                payloads[i][2] = static_cast<unsigned char>((ns << 1) & 0xFF);
                payloads[i][3] = static_cast<unsigned char>(ns >> 7);
                if (points > 0) {
                    const std::uint64_t object = sequence % points + 1;
                    const std::uint64_t value = sequence / points % 32768;
                    payloads[i][12] = static_cast<unsigned char>(object & 0xFF);
                    payloads[i][13] = static_cast<unsigned char>((object >> 8) & 0xFF);
                    payloads[i][14] = static_cast<unsigned char>((object >> 16) & 0xFF);
                    payloads[i][15] = static_cast<unsigned char>(value & 0xFF);
                    payloads[i][16] = static_cast<unsigned char>(value >> 8);
                }
            } else {
                std::memcpy(payloads[i].data(), &sequence, sizeof sequence);
            }
        }
        const int n = ::sendmmsg(fd, messages.data(), kBatch, 0);
        if (n > 0)
            sent += static_cast<std::uint64_t>(n);
    }
    ::close(fd);
    std::printf("sent %llu\n", static_cast<unsigned long long>(sent));
    return 0;
}
