#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <cstdint>
#include <functional>
#include <vector>

// The notification endpoint of one socket instance: it watches one socket
// handle (owned by the instance, never closed here) with the Qt event loop of
// its thread and delivers notifications (handle, events, error) one at a
// time, with these rules:
// - read (datagrams, stream data) and accept are signalled once and again
//   only after the owner reports a read or accept through ReadDone(), so a
//   handler that leaves data waiting never spins the loop;
// - close is signalled once, when a stream peer has closed (end of stream or
//   an error such as a reset);
// - write is signalled once when the socket becomes able to send (a bound
//   datagram socket, an adopted connection, a finished connect) and again
//   only after WriteBlocked();
// - connect is signalled once with the outcome of a stream connect;
// - posted notifications and readiness of a handle that is no longer watched
//   are dropped, also when the kernel reuses the number;
// - posted notifications are delivered in the order posted, all together
//   from one event of the event loop.
class WSocketReadiness final : public QObject {
public:
    using Handler = std::function<void(int handle, unsigned events, int error)>;

    explicit WSocketReadiness(Handler handler);
    ~WSocketReadiness() override;

    WSocketReadiness(const WSocketReadiness&) = delete;
    WSocketReadiness& operator=(const WSocketReadiness&) = delete;

    // What a handle the owner has just created itself (non-blocking) is.
    enum class Created { Datagram, Listening, Unconnected };
    // When read and accept readiness starts to be watched: at once, or from
    // the next turn of the event loop, so that a socket opened and closed
    // again within one turn (one frame sent) never reaches the event loop's
    // watch list, whose every change costs a wake-up; or never, for a
    // datagram socket that only sends: then neither its read readiness nor
    // its first write readiness is signalled, only the write readiness
    // asked for by WriteBlocked.
    enum class ReadWatch { Now, NextTurn, Never };

    // Starts watching handle for the events of interest; stops watching any
    // earlier handle. The handle becomes non-blocking; what kind of socket
    // it is is asked of the system.
    [[nodiscard]] bool Start(int handle, unsigned interest);
    // The same for a handle the owner created non-blocking and knows the
    // kind of: nothing needs asking of the system.
    void Start(int handle, unsigned interest, Created kind, ReadWatch readWatch);
    void Stop();

    // A non-blocking stream connect has been started on the watched handle.
    void ConnectStarted();
    // A read or an accept was made on the watched handle.
    void ReadDone();
    // A send could not take everything: signal write when it can go on.
    void WriteBlocked();
    // Posts a notification for the watched handle into the event queue.
    void Post(unsigned events, int error);
    // Stops every delivery for good (the owner is going away).
    void Detach();

protected:
    bool event(QEvent* e) override;

private:
    enum class Kind { Datagram, Listening, Stream, Unconnected, Connecting };

    void Readable();
    void Writable();
    void Watch(int handle, unsigned interest, Kind kind, ReadWatch readWatch);
    [[nodiscard]] bool ReadWatchable() const;
    void ArmRead();
    void QueueEvent();
    void Deliver(unsigned events, int error);

    // A notification posted and not yet delivered.
    struct Posted {
        uint64_t generation;
        unsigned events;
        int error;
    };

    Handler handler_;
    QSocketNotifier readNotifier_;
    QSocketNotifier writeNotifier_;
    int handle_ = -1;
    unsigned interest_ = 0;
    uint64_t generation_ = 0;
    Kind kind_ = Kind::Unconnected;
    bool closeSignalled_ = false;
    bool readWatched_ = true;
    bool detached_ = false;
    // Posted in order, delivered by the one event in the queue.
    std::vector<Posted> posted_;
    bool eventQueued_ = false;
    // Read readiness is watched once the queued event is handled.
    bool armReadPending_ = false;
};
