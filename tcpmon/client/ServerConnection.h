#pragma once

#include "monitor/ReceiveRoute.h"
#include "tcpmon/client/ConnectionStatus.h"

#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QSocketNotifier;

namespace tamrel {

// The client monitor's connection to the device (a TCP server): connects,
// reads what the device sends into the receive route through the stream
// reader (chunks of at most StreamReader::kReadSize bytes, an empty chunk at
// the end of the device's stream), sends, and reconnects when asked to. It
// knows nothing of windows: it reports through the callbacks below, each of
// which may be left empty. GUI thread only (the sockets' event loop); the
// callbacks run there.
//
// Connect never blocks: a dotted IPv4 address is connected to at once, a
// host name is first looked up on a thread of its own, whose answer comes
// back through the event loop and is dropped when the connection has moved
// on meanwhile (another Connect, a Disconnect, the time-out, destruction).
// The connect time-out covers the lookup and the connect.
//
// Callbacks may call Connect, Disconnect, Send and the setters; they may
// not destroy the connection. Destruction closes the connection without any
// callback.
class ServerConnection final {
public:
    static constexpr int kConnectTimeoutMs = 5000;

    explicit ServerConnection(monitor::ReceiveRoute& route);
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    // Connects to host:port (port 1..65535, else ESocketException), giving
    // up any connection or attempt there is (without callbacks for it).
    void Connect(const QString& host, int port);
    // The user's disconnect: closes the connection, stops an attempt and
    // the reconnection.
    void Disconnect();
    // Shuts the connection down and closes it, errors ignored, no callbacks
    // (the end of the program).
    void Shutdown();

    // Sends the bytes to the device; ESocketException (10057) when not
    // connected, and the socket's own errors.
    void Send(std::span<const std::uint8_t> bytes);

    [[nodiscard]] const ConnectionStatus& Status() const { return status_; }
    [[nodiscard]] ConnectionState State() const { return status_.state; }

    // For the attempts that start from now on; at least 1 ms.
    void SetConnectTimeoutMs(int ms) { connectTimeoutMs_ = ms > 0 ? ms : 1; }
    [[nodiscard]] int ConnectTimeoutMs() const { return connectTimeoutMs_; }
    // Off by default. When on, a connection the device closes or resets,
    // and an attempt that fails, are tried again after `seconds` (at least
    // 1), until connected or until the user's Disconnect or Connect.
    // Switching it off cancels a pending attempt.
    void SetReconnect(bool on, int seconds);
    [[nodiscard]] bool Reconnect() const { return reconnect_; }
    [[nodiscard]] int ReconnectSeconds() const { return reconnectSeconds_; }
    // A pass of 0 ms reads one chunk per readiness event (see StreamReader).
    void SetReadPassMs(int readPassMs);

    // After every change of Status().
    std::function<void(const ConnectionStatus& status)> StateChanged;
    // A connect the user asked for failed, or the connection was lost (the
    // device closed or reset it; after StateChanged). Failed reconnection attempts only
    // make a Note.
    std::function<void(const ConnectionFailure& failure)> Failed;
    // A line for the receive window: connected, lost, each reconnection
    // attempt and its failure (see ConnectionTexts.h).
    std::function<void(const QString& note)> Note;

private:
    struct Link;
    struct Lookup;
    struct LookupChannel;
    class LinkScope;

    void StartAttempt();
    void StartLookup();
    void LookupAnswered();
    void OpenLink(const QString& address);
    void LinkConnected(Link* link, int error);
    void LinkClosed(Link* link, int error);
    void LinkData(Link* link);
    // Ends the attempt or connection with `failure` (status, and the next
    // attempt when reconnecting); false when a callback has moved on.
    bool EndWith(const ConnectionFailure& failure);
    void AttemptFailed(FailureKind kind, int error);
    void ConnectionLost(FailureKind kind, int error);
    void ReconnectNow();
    // Ends the present attempt or connection without callbacks: the timers
    // stop, a lookup is dropped and the link closed (shut down first when
    // `shutdown`).
    void Drop(bool shutdown);
    void RetireLink(bool shutdown);
    void SetStatus(ConnectionStatus status);
    [[nodiscard]] ConnectionFailure Failure(FailureKind kind, int error) const;

    monitor::ReceiveRoute& route_;
    ConnectionStatus status_;
    int connectTimeoutMs_ = kConnectTimeoutMs;
    bool reconnect_ = false;
    int reconnectSeconds_ = 5;
    int readPassMs_;
    // What Connect was given.
    QString host_;
    int port_ = 0;
    // The attempt in progress started from Connect, not from reconnection.
    bool userAttempt_ = true;
    // Counts attempts and drops: a step that finds it changed after calling
    // out has been overtaken.
    std::uint64_t attempt_ = 0;

    std::unique_ptr<Link> link_;
    // Links let go of while their code may still be on the stack; freed
    // once no link's notification runs any more.
    std::vector<std::unique_ptr<Link>> retired_;
    int linkDepth_ = 0;

    std::shared_ptr<LookupChannel> channel_;
    std::unique_ptr<QSocketNotifier> lookupNotifier_;
    std::shared_ptr<Lookup> lookup_;

    QTimer attemptTimer_;
    QTimer reconnectTimer_;
};

} // namespace tamrel
