#pragma once

#include "socket/WSocket.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>
#include <span>

namespace tamrel {

// How a read pass ended, for the pacing of the receive window.
enum class ReadPassEnd {
    ClientGone,   // the client's connection is no longer open
    ClientPaused, // a short chunk, or nothing more waited to be read
    Streaming,    // full chunks kept coming until the pass's time was up
    Failed,       // a chunk's handler threw; the exception goes on after this
};

// The server side of the TCP server monitor: the listening socket
// (SrvWSocket) and the one client served (TmpWSocket). It listens and stops,
// takes each new client in place of the one served, reads what the client
// sends in chunks of at most kReadSize bytes, and sends bytes to it. It knows
// nothing of windows: it reports through the callbacks below, each of which
// may be left empty. GUI thread only (the sockets' event loop).
//
// Errors: Listen, Stop and Send throw the socket's errors (ESocketException).
// An exception while taking a client (ClientConnected's included) goes on to
// the listening socket's notification, which aborts that socket (then
// ListeningChanged(false)). An exception from ChunkRead ends the read pass:
// ReadPassEnded(Failed) is called and the exception goes on to the client
// socket's notification (see TCustomWSocket).
//
// Destruction closes both sockets without any callback.
class ClientSession final {
public:
    static constexpr int kReadSize = 1024;
    // One readiness event reads chunk after chunk while they come full, for
    // at most this long, then lets the event loop run.
    static constexpr int kReadPassMs = 15;

    ClientSession();
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
    void SetReadPassMs(int readPassMs) { readPassMs_ = readPassMs; }
    // What one read takes at most while the pass goes on: the bytes are
    // then handed on in chunks of kReadSize, just as reads of kReadSize one
    // after the other would have taken them, for a system call per many
    // chunks instead of two per chunk.
    static constexpr int kBatchSize = 64 * kReadSize;

    // After every start or stop of listening, and after a failed start
    // (false), with the new state.
    std::function<void(bool listening)> ListeningChanged;
    // A start failed because the address is in use (after ListeningChanged).
    std::function<void()> AddressInUse;
    // A new client is served; `peer` is its address.
    std::function<void(const QString& peer)> ClientConnected;
    // Every chunk read, in order; an empty chunk is the end of the client's
    // stream.
    std::function<void(QByteArray chunk)> ChunkRead;
    // The end of each read pass, after its chunks.
    std::function<void(ReadPassEnd end)> ReadPassEnded;

private:
    void SrvWSocketSessionAvailable();
    void ReadChunks();
    // Hands on the chunks of the last read, in order; the size of the last
    // one (-1: none).
    int HandOnChunks();
    void SetListening(bool listening);

    TWSocket server_;
    TWSocket client_;
    bool listening_ = false;
    int readPassMs_ = kReadPassMs;
    // The last read; the bytes from batchAt_ on are not handed on yet (only
    // after ChunkRead threw: they go first at the next pass).
    std::vector<char> batch_ = std::vector<char>(kBatchSize);
    int batchAt_ = 0;
    int batchEnd_ = 0;
};

} // namespace tamrel
