#pragma once

#include "monitor/ReceiveRoute.h"
#include "socket/WSocket.h"
#include "tcpmon/StreamReader.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <span>

namespace tamrel {

// The server side of the TCP server monitor: the listening socket
// (SrvWSocket) and the one client served (TmpWSocket). It listens and stops,
// takes each new client in place of the one served, reads what the client
// sends and hands it to the receive route in chunks of at most kReadSize
// bytes (an empty chunk: the end of the client's stream), ending each read
// pass with the route's PassEnded, and sends bytes to the client. It knows
// nothing of windows: it reports through the callbacks below, each of which
// may be left empty. GUI thread only (the sockets' event loop).
//
// Errors: Listen, Stop and Send throw the socket's errors (ESocketException).
// An exception while taking a client (ClientConnected's included) goes on to
// the listening socket's notification, which aborts that socket (then
// ListeningChanged(false)). An exception from the route ends the read pass
// (PassEnded(MoreWaiting)), the chunks that read left go first at the next
// pass, and the exception goes on to the client socket's notification (see
// TCustomWSocket).
//
// Destruction closes both sockets without any callback.
class ClientSession final {
public:
    static constexpr int kReadSize = StreamReader::kReadSize;
    // One readiness event reads chunk after chunk while they come full, for
    // at most this long, then lets the event loop run (see StreamReader).
    static constexpr int kReadPassMs = StreamReader::kReadPassMs;

    explicit ClientSession(monitor::ReceiveRoute& route);
    ~ClientSession();
    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;

    [[nodiscard]] TWSocket& SrvWSocket() { return server_; }
    [[nodiscard]] TWSocket& TmpWSocket() { return client_; }

    // True from a successful Listen until the listening socket closes (Stop,
    // shutdown, or the socket's own abort after an error taking a client).
    [[nodiscard]] bool Listening() const { return listening_; }

    // Listens for clients on `addr`:`port` ("0": a port the system chooses,
    // then in SrvWSocket().LocalPort()); nothing while the listening socket
    // already listens. A socket left half-open by a failure is dropped, so
    // that the next start begins from nothing; an address in use then calls
    // AddressInUse, any other failure is thrown.
    void Listen(const QString& addr, const QString& port);
    // Closes the client's connection and the listening socket.
    void Stop();
    // Shuts both sockets down and closes them, errors ignored (the end of the
    // program).
    void Shutdown();

    // Sends the bytes to the client served.
    void Send(std::span<const std::uint8_t> bytes);

    // A pass of 0 ms reads one chunk per readiness event.
    void SetReadPassMs(int readPassMs) { reader_.SetReadPassMs(readPassMs); }
    static constexpr int kBatchSize = StreamReader::kBatchSize;

    // After every start or stop of listening, and after a failed start
    // (false), with the new state.
    std::function<void(bool listening)> ListeningChanged;
    // A start failed because the address is in use (after ListeningChanged).
    std::function<void()> AddressInUse;
    // A new client is served; `peer` is its address.
    std::function<void(const QString& peer)> ClientConnected;

private:
    void SrvWSocketSessionAvailable();
    void SetListening(bool listening);

    TWSocket server_;
    TWSocket client_;
    StreamReader reader_;
    bool listening_ = false;
};

} // namespace tamrel
