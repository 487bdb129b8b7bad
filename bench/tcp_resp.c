/* tcp_resp.c - minimal exact-match TCP responder, the reference the TCP
 * monitors' trigger answers are measured against.
 *
 * Listens on 127.0.0.1:PORT (0: a port the system picks), prints the port on
 * standard output, then serves one connection at a time: blocking accept,
 * blocking recv in a loop, and each received chunk that is exactly the
 * request is answered by one send of the response (the MODBUS/TCP read of
 * one holding register and its answer, the bytes the benchmark's client
 * sends and expects). Default socket options, one thread. Runs until killed.
 *
 * usage: tcp_resp PORT
 */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

static const unsigned char request[12] = {0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
static const unsigned char response[11] = {0x00, 0x01, 0x00, 0x00, 0x00, 0x05, 0x01, 0x03, 0x02, 0x00, 0x2A};

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s PORT\n", argv[0]);
        return 2;
    }
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0) {
        perror("socket");
        return 1;
    }
    int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    struct sockaddr_in a = {.sin_family = AF_INET, .sin_port = htons((unsigned short)atoi(argv[1]))};
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener, (struct sockaddr *)&a, sizeof a) < 0 || listen(listener, 5) < 0) {
        perror("bind");
        return 1;
    }
    socklen_t al = sizeof a;
    getsockname(listener, (struct sockaddr *)&a, &al);
    printf("%d\n", ntohs(a.sin_port));
    fflush(stdout);

    unsigned char buf[2048];
    for (;;) {
        int fd = accept(listener, NULL, NULL);
        if (fd < 0)
            continue;
        for (;;) {
            ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            if (n == (ssize_t)sizeof request && memcmp(buf, request, sizeof request) == 0
                && send(fd, response, sizeof response, MSG_NOSIGNAL) < 0)
                break;
        }
        close(fd);
    }
}
