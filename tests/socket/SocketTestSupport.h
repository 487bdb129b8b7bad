#pragma once

#include "socket/WSocket.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

// Runs the event loop until done() holds or a generous bound has passed (the
// bound only keeps a failing test from hanging); returns done().
bool SpinUntil(const std::function<bool()>& done, int boundMs = 20000);

// What an action raised: the message and number of its ESocketException,
// or "(no exception)" and -1.
struct Raised {
    std::string message;
    int errorCode;
};
Raised RaisedBy(const std::function<void()>& action);

// Runs action and returns the message of the ESocketException it raised,
// or "(no exception)".
std::string MessageOf(const std::function<void()>& action);

// A plain POSIX socket owned by the test, closed on destruction.
class PlainSocket {
public:
    explicit PlainSocket(int handle = -1) : handle_(handle) {}
    ~PlainSocket();
    PlainSocket(const PlainSocket&) = delete;
    PlainSocket& operator=(const PlainSocket&) = delete;
    PlainSocket(PlainSocket&& other) noexcept : handle_(other.handle_) { other.handle_ = -1; }
    PlainSocket& operator=(PlainSocket&& other) noexcept;

    [[nodiscard]] int Handle() const { return handle_; }
    [[nodiscard]] uint16_t LocalPort() const;
    void Close();

    // A datagram socket bound to 127.0.0.1 on a port the kernel chooses.
    static PlainSocket UdpReceiver();
    // A stream socket listening on 127.0.0.1 on a port the kernel chooses.
    static PlainSocket TcpListener();
    // A blocking stream connection to 127.0.0.1:port.
    static PlainSocket TcpClient(uint16_t port);

private:
    int handle_;
};

// The local port of any socket handle.
[[nodiscard]] uint16_t LocalPortOf(int handle);

// size bytes that do not repeat with a short period, to check order.
[[nodiscard]] std::string Pattern(size_t size);

// Sets Proto, Addr "127.0.0.1" and Port on a closed instance.
void Aim(TCustomWSocket& socket, const char* proto, uint16_t port);
