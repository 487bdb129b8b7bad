/* hex_sink.c - the physical reference for the receive path: a plain blocking
 * loop that receives datagrams, formats each as a line of hex pairs and
 * appends it to a file, nothing else.
 *
 * usage: hex_sink PORT FILE IDLE_S
 * Binds 127.0.0.1:PORT with the same kernel queue the monitor asks for
 * (4 MiB), prints "ready" once bound, then receives until no datagram has come
 * for IDLE_S seconds after the first, and prints "received=N".
 */
#include <arpa/inet.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: %s PORT FILE IDLE_S\n", argv[0]);
        return 2;
    }
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    int queue = 4 << 20;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &queue, sizeof queue);
    struct sockaddr_in a = {0};
    a.sin_family = AF_INET;
    a.sin_port = htons((unsigned short)atoi(argv[1]));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, (struct sockaddr*)&a, sizeof a) != 0) {
        perror("bind");
        return 1;
    }
    FILE* out = fopen(argv[2], "w");
    if (!out) {
        perror(argv[2]);
        return 1;
    }
    printf("ready\n");
    fflush(stdout);
    static unsigned char buf[65536];
    static char line[3 * 65536 + 2];
    static const char digits[] = "0123456789ABCDEF";
    long long received = 0;
    for (;;) {
        struct timeval idle = {atoi(argv[3]), 0};
        if (received > 0)
            setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &idle, sizeof idle);
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n < 0)
            break;
        char* p = line;
        for (ssize_t i = 0; i < n; ++i) {
            *p++ = digits[buf[i] >> 4];
            *p++ = digits[buf[i] & 15];
            *p++ = ' ';
        }
        *p++ = '\r';
        *p++ = '\n';
        fwrite(line, 1, (size_t)(p - line), out);
        ++received;
    }
    fclose(out);
    printf("received=%lld\n", received);
    return 0;
}
