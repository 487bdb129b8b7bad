#include "platform/SignalPipe.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::array<int, 2> gPipe = {-1, -1};
std::vector<std::pair<int, struct sigaction>> gPrevious;

extern "C" void WriteSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(gPipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalPipe::SignalPipe(std::initializer_list<int> signalNumbers, std::function<void(int)> handler, QObject* parent)
    : QObject(parent)
    , handler_(std::move(handler))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gPipe.data()) != 0)
        return;
    notifier_ = new QSocketNotifier(gPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalPipe::ReadPending);
    for (const int signalNumber : signalNumbers) {
        struct sigaction action {};
        action.sa_handler = &WriteSignalNumber;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        struct sigaction previous {};
        if (::sigaction(signalNumber, &action, &previous) == 0)
            gPrevious.emplace_back(signalNumber, previous);
    }
}

SignalPipe::~SignalPipe()
{
    for (const auto& [signalNumber, previous] : gPrevious)
        ::sigaction(signalNumber, &previous, nullptr);
    gPrevious.clear();
    delete notifier_;
    for (int& fd : gPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void SignalPipe::ReadPending()
{
    unsigned char byte = 0;
    while (::read(gPipe[1], &byte, 1) == 1)
        handler_(byte);
}
