#pragma once

#include "tcpmon/Main.h"
#include "tcpmon/Prompts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Helpers of the window tests: real loopback clients, a port the kernel
// found free, and prompts that record what the program would have shown.

// A TCP port on 127.0.0.1 that was free a moment ago (bound to 0 and read back).
[[nodiscard]] int FreePort();

// A listening socket held by the test, so that the port is in use.
class PortHolder {
public:
    PortHolder();
    ~PortHolder();
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;
    [[nodiscard]] int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A blocking-connect, non-blocking-read loopback client.
class TestClient {
public:
    explicit TestClient(int port);
    ~TestClient();
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    [[nodiscard]] bool Connected() const { return fd_ >= 0; }
    bool Send(const QByteArray& bytes);
    // Everything received so far (reads what is waiting without blocking).
    [[nodiscard]] QByteArray Received();
    // True once the server closed or reset the connection.
    [[nodiscard]] bool PeerClosed();
    // Closes the connection (a reset when `reset`).
    void Close(bool reset = false);
    // Ends the sending direction only; what the server sends still arrives.
    void ShutdownSending();
    // Bytes sent that the server's system has not yet acknowledged, which
    // on loopback means not yet queued for the server to read; -1 on failure.
    [[nodiscard]] int Unacknowledged() const;
    // The client's own port, as the server sees it as the peer port.
    [[nodiscard]] int LocalPort() const;

private:
    void Drain();

    int fd_ = -1;
    QByteArray received_;
    bool peerClosed_ = false;
};

// What the program showed instead of boxes, and the answer to the exit question.
struct PromptLog {
    QStringList messages;
    QStringList errors;
    int questions = 0;
    bool answerYes = true;
    QString nextFile;       // the file a file dialog returns; empty: cancelled
    std::function<void()> whileErrorBoxOpen; // runs inside each error box
    std::function<void()> whileQuestionOpen; // runs inside each question
};

[[nodiscard]] tamrel::Prompts RecordingPrompts(PromptLog& log);

// A main window with its settings file at `settingsPath` and its boxes
// recorded in `log`, shown and listening on `port`; none when it did not
// start listening.
[[nodiscard]] std::unique_ptr<tamrel::Tf_main> OpenListeningWindow(const QString& settingsPath, PromptLog& log,
                                                          const QString& port);

// Runs `action` as soon as `dialog` is shown modally (by something started
// right after this call).
void WhenShown(QWidget* dialog, std::function<void()> action);

// The number of open descriptors of this process.
[[nodiscard]] int OpenDescriptors();

[[nodiscard]] QByteArray Hex(const char* text);
