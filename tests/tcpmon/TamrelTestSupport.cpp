#include "TamrelTestSupport.h"

#include "socket/WSocket.h"

#include <QDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tamrel;

namespace {

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

int BoundPort(int fd)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

} // namespace

int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(0);
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        port = BoundPort(fd);
    ::close(fd);
    return port;
}

PortHolder::PortHolder()
{
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd_, 1) == 0)
        port_ = BoundPort(fd_);
}

PortHolder::~PortHolder()
{
    ::close(fd_);
}

TestClient::TestClient(int port)
{
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(port);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

TestClient::~TestClient()
{
    Close();
}

bool TestClient::Send(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return fd_ >= 0;
}

void TestClient::Drain()
{
    if (fd_ < 0 || peerClosed_)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n > 0) {
            received_.append(buffer, n);
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EINTR))
            peerClosed_ = true;
        return;
    }
}

QByteArray TestClient::Received()
{
    Drain();
    return received_;
}

bool TestClient::PeerClosed()
{
    Drain();
    return peerClosed_;
}

void TestClient::Close(bool reset)
{
    if (fd_ < 0)
        return;
    if (reset) {
        linger value{1, 0};
        setsockopt(fd_, SOL_SOCKET, SO_LINGER, &value, sizeof value);
    }
    ::close(fd_);
    fd_ = -1;
}

void TestClient::ShutdownSending()
{
    if (fd_ >= 0)
        ::shutdown(fd_, SHUT_WR);
}

int TestClient::Unacknowledged() const
{
    int bytes = 0;
    return fd_ >= 0 && ioctl(fd_, SIOCOUTQ, &bytes) == 0 ? bytes : -1;
}

int TestClient::LocalPort() const
{
    return fd_ >= 0 ? BoundPort(fd_) : 0;
}

Prompts RecordingPrompts(PromptLog& log)
{
    Prompts prompts;
    prompts.Message = [&log](const QString& text) { log.messages << text; };
    prompts.ErrorBox = [&log](const std::exception& error) {
        log.errors << QString::fromUtf8(error.what());
        if (log.whileErrorBoxOpen)
            log.whileErrorBoxOpen();
    };
    prompts.Question = [&log](const QString&, const QString&) {
        ++log.questions;
        if (log.whileQuestionOpen)
            log.whileQuestionOpen();
        return log.answerYes;
    };
    prompts.RunFileDialog = [&log](QFileDialog&) { return log.nextFile; };
    return prompts;
}

void WhenShown(QWidget* dialog, std::function<void()> action)
{
    auto* poll = new QTimer(dialog);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, dialog, [poll, dialog, action = std::move(action)] {
        if (!dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

int OpenDescriptors()
{
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size());
}

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

std::unique_ptr<Tf_main> OpenListeningWindow(const QString& settingsPath, PromptLog& log, const QString& port)
{
    auto window = std::make_unique<Tf_main>(settingsPath, RecordingPrompts(log));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    window->State().ServerPort = port;
    window->Actions().N_startlisten->trigger();
    if (window->SrvWSocket()->State() != wsListening)
        return nullptr;
    return window;
}
