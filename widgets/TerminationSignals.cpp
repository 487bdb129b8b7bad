#include "widgets/TerminationSignals.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <stdexcept>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// [0] is written by the signal handler, [1] is read by the notifier.
int g_pipe[2] = {-1, -1};
struct sigaction g_previousTerm {};
struct sigaction g_previousInt {};

extern "C" void OnTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

void ReportOnStandardError(const std::exception& error)
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QByteArray line = QFile::encodeName(program) + ": " + error.what() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
}

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    if (g_pipe[0] != -1)
        throw std::logic_error("TerminationSignals exists already");
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_pipe) != 0)
        throw std::runtime_error("socketpair failed");

    notifier_ = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::ReadPending);

    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &g_previousTerm);
    ::sigaction(SIGINT, &action, &g_previousInt);
}

TerminationSignals::~TerminationSignals()
{
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
    ::sigaction(SIGINT, &g_previousInt, nullptr);
    delete notifier_;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TerminationSignals::ReadPending()
{
    unsigned char byte = 0;
    while (::read(g_pipe[1], &byte, 1) == 1) {
        RejectModalWindows();
        emit terminationRequested(byte);
    }
}

void TerminationSignals::RejectModalWindows()
{
    // Innermost first; each one rejected is hidden at once. The bound only
    // guards against a window that refuses to go.
    for (int left = 64; left > 0; --left) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        // Closed as by the window's close button: a box answers with its
        // escape button (No, Cancel); one without is rejected.
        modal->close();
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog != nullptr && dialog->isVisible())
            dialog->reject();
        if (modal->isVisible())
            return;
    }
}
