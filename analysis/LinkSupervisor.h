#pragma once

#include "analysis/LinkEvents.h"
#include "analysis/LinkStats.h"
#include "decode/Decode.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The link supervisor: watches the conversation on each link (a TCP
// connection, a UDP peer) from the frames sent and received, and reports
// what is wrong with it as events (analysis/LinkEvents.h) and how it goes as
// a summary. Plain C++, no display; the events window and `ostrel-headless
// --events` are its two readers.
//
// What it watches:
// - IEC 104: per direction, N(S) continuity modulo 32768 (gap, duplicate,
//   out of order), N(R) coverage (acknowledging frames never sent,
//   acknowledging backwards), I-frames sent and not acknowledged against k,
//   received and not acknowledged against w, I-frames outside STARTDT,
//   the STARTDT / STOPDT / TESTFR act -> con round trips, t1 (act to con,
//   I-frame to acknowledgement), t2 (I-frame received to acknowledgement in
//   an S-frame) and t3 (idle time before a TESTFR act) measured against
//   their settings, and the device's CP56Time2a time tags (types 30 to 40,
//   and 103 when it confirms a clock synchronisation; tags marked invalid
//   left out) against the arrival time, per common address (up to 256 per
//   link); likewise the tags sent to it (the clock synchronisation 103, the
//   commands with time tags 58 to 64, the test command 107) against the
//   sending time: a clock synchronisation from a stale send line sets the
//   device's clock wrong.
//   A sender that repeats an N(S) and counts on from it has started anew:
//   one `duplicate`, and its count is followed from there.
// - MODBUS/TCP: requests and responses paired by transaction identifier
//   (unit and function must match, the rule of decode::PairModbus), response
//   times (min, mean, max, 95th percentile), requests unanswered after the
//   time-out, responses to no request, exceptions by code.
// - MODBUS RTU (over UDP or TCP): paired by order, one request outstanding;
//   a request sent while one waits ends the wait as unanswered. A request to
//   unit 0 (broadcast) is answered by no one and waits for nothing.
//
// Streams (TCP): a chunk may hold several frames or part of one. APDUs (68 L
// ...) and MBAP frames are cut by their lengths; RTU frames, which carry no
// length, end where the CRC over the bytes gathered verifies. Bytes that
// start no frame are reported once as `bad-frame` and skipped to the next
// start. At most 260 bytes are held per direction. A datagram (UDP) is whole:
// it may hold several APDUs in a row.
//
// The protocol by shape (`LinkProtocol::Auto`): the first frame of a link
// decides, until the next `NewConnection`: an APDU start (68 hex and a length
// of at least 4), then an MBAP header (protocol id 0, a length of 2 to 254),
// then an RTU frame whose CRC verifies. Frames of no watched shape are
// counted (`unrecognised`) and otherwise ignored.
//
// Who asks (MODBUS): the device answers (Ostrel, Tamrel_C) unless the
// settings or `NewConnection` say it asks (Tamrel_S, whose device connects
// and asks): a frame to an answering device is a request, from it a
// response. IEC 104 needs no such setting: each direction is watched alike.
//
// Time: every time is in microseconds since 1970 (UTC), as the receive route
// gives it. Time-outs (t1, t2, t3, the MODBUS time-out) are found by `Tick`
// and by the next frame of the same link, whichever comes first; the event
// carries the moment the time ran out, not the moment it was noticed.
//
// Cost: a clean frame costs a few comparisons and no allocation; text is
// made only for an event. Memory is bounded: at most `maxEvents` events (the
// oldest dropped, counted in `Dropped`), at most `maxLinks` links (the one
// idle longest forgotten), 260 bytes of stream per direction, 1024 MODBUS
// requests outstanding per link.

namespace analysis {

struct Settings {
    LinkProtocol protocol = LinkProtocol::Auto;
    decode::DeviceRole device = decode::DeviceRole::Answers; // MODBUS: who asks
    // IEC 104
    unsigned k = 12;                       // I-frames sent before an acknowledgement
    unsigned w = 8;                        // I-frames received before acknowledging
    std::int64_t t0Us = 30'000'000;        // connection set-up (shown, not measured)
    std::int64_t t1Us = 15'000'000;        // act -> con, I-frame -> acknowledgement
    std::int64_t t2Us = 10'000'000;        // I-frame received -> acknowledgement sent
    std::int64_t t3Us = 20'000'000;        // idle -> TESTFR act
    // The device's t2 (for the frames sent to it) and t3 run on its own
    // clock and are seen here after the network's delay: they count as
    // exceeded only past their value plus this; the monitor's own t2 (for
    // the frames received) is judged on its value.
    std::int64_t peerTimerSlackUs = 1'000'000;
    // CP56Time2a tags are civil time in this zone, minutes east of UTC (the
    // window gives the local zone's offset); a tag off the arrival time by
    // more than the limit is a `clock-skew`.
    int tagZoneMinutes = 0;
    std::int64_t clockSkewLimitUs = 2'000'000;
    // MODBUS
    std::int64_t modbusTimeoutUs = 1'000'000;
    // Memory
    std::size_t maxEvents = 100'000;
    std::size_t maxLinks = 1024;
};

// An IEC 104 link's state: not known (no STARTDT or STOPDT seen since the
// link was first seen without a new connection), stopped, started.
enum class TransferState : std::uint8_t { Unknown, Stopped, Started };

// What one side of an IEC 104 link sent and how far it is acknowledged; the
// sides are the device's (FromDevice) and the monitor's (ToDevice).
struct Iec104Side {
    bool sequenceKnown = false;   // an I-frame seen since the link began (or a new connection)
    std::uint16_t vs = 0;         // V(S): the N(S) its next I-frame should carry
    std::uint16_t vr = 0;         // V(R): the N(S) it expects next (the other side's V(S))
    std::uint16_t acked = 0;      // the last N(R) it sent: the other side's frames below are acknowledged
    unsigned outstanding = 0;     // its I-frames not yet acknowledged (against k)
    unsigned unacknowledged = 0;  // the other side's I-frames it has not yet acknowledged (against w)
    unsigned maxOutstanding = 0;
    unsigned maxUnacknowledged = 0;
    std::uint64_t iFrames = 0, sFrames = 0, uFrames = 0;
};

// A device's clock against the arrival times, per common address.
struct ClockSkew {
    unsigned commonAddress = 0;
    std::uint64_t tags = 0;       // time tags compared
    std::int64_t minUs = 0;       // tag minus arrival: negative when the device is behind
    std::int64_t maxUs = 0;
};

struct ModbusSummary {
    std::uint64_t requests = 0;
    std::uint64_t responses = 0;       // paired with their request
    std::uint64_t outstanding = 0;     // requests waiting now
    std::uint64_t noResponse = 0;
    std::uint64_t lateResponses = 0;
    std::uint64_t unsolicited = 0;
    std::uint64_t mismatches = 0;
    std::uint64_t exceptions = 0;
    std::array<std::uint64_t, 256> exceptionsByCode{}; // by exception code
    ResponseTimes responseTimes;       // request -> response, paired ones
};

struct LinkSummary {
    LinkKey key = 0;
    std::string name;
    LinkProtocol protocol = LinkProtocol::Auto; // Auto: not yet known
    std::int64_t firstUs = 0, lastUs = 0;
    std::array<std::uint64_t, 2> frames{};      // by Direction
    std::uint64_t badFrames = 0;
    std::uint64_t unrecognised = 0;
    // IEC 104
    TransferState state = TransferState::Unknown;
    std::array<Iec104Side, 2> sides{};          // by Direction: what that way carried
    TimeStats t1, t2, t3;                       // measured
    std::vector<ClockSkew> clockSkew;           // the device's tags against arrival, by common address, ascending
    std::vector<ClockSkew> clockSkewSent;       // the tags sent to it against sending, likewise
    // MODBUS
    ModbusSummary modbus;
};

class LinkSupervisor {
public:
    explicit LinkSupervisor(Settings settings = {});
    ~LinkSupervisor();
    LinkSupervisor(const LinkSupervisor&) = delete;
    LinkSupervisor& operator=(const LinkSupervisor&) = delete;

    // New settings; a change of protocol or of who asks starts every link
    // afresh (events and counts are kept).
    void SetSettings(const Settings& settings);
    [[nodiscard]] const Settings& GetSettings() const { return settings_; }

    // A new connection on `key`: the link's state starts afresh (sequence
    // numbers from 0, transfer stopped, stream buffers empty, nothing
    // outstanding), and a `connection` event says so. `name` is what events
    // and the summary call the link ("192.168.1.10:2404"). A link first seen
    // in `Frame` without it (a UDP peer) starts with nothing known.
    void NewConnection(LinkKey key, std::int64_t timeUs, std::string_view name = {});
    // Like NewConnection, with who asks on this link rather than the settings'.
    void NewConnection(LinkKey key, std::int64_t timeUs, std::string_view name, decode::DeviceRole device);
    // The connection on `key` ended: nothing waits any more (no time-out
    // follows); its summary is kept.
    void EndConnection(LinkKey key, std::int64_t timeUs);

    // A frame sent or received on `key`: a datagram (stream false: one or
    // more whole frames) or a chunk of a stream (stream true: frames or
    // parts of them). Empty bytes do nothing.
    void Frame(LinkKey key, Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> bytes,
               bool stream);

    // The time is now `nowUs`: the time-outs that ran out make their events.
    void Tick(std::int64_t nowUs);

    // The translator of the events' sentences while the supervisor works
    // (decode/Translate.h); none, the default: English.
    void SetTranslator(decode::Translator translator) { translator_ = translator; }

    // Called with each event as it is made (ostrel-headless writes it).
    void SetObserver(std::function<void(const Event&)> observer);

    // The events kept, oldest first; at most settings.maxEvents.
    [[nodiscard]] const std::deque<Event>& Events() const { return events_; }
    // Copies of the events newer than `serial` (0: all kept), oldest first:
    // a window keeps the serial of the last it showed and asks for the rest.
    [[nodiscard]] std::vector<Event> EventsAfter(std::uint64_t serial) const;
    // The serial of the newest event made (0: none yet).
    [[nodiscard]] std::uint64_t LastSerial() const { return serial_; }
    // The events made and no longer kept.
    [[nodiscard]] std::uint64_t Dropped() const { return dropped_; }
    // The events made of each kind, dropped ones included.
    [[nodiscard]] std::uint64_t Count(EventKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
    [[nodiscard]] const std::array<std::uint64_t, kEventKindCount>& Counts() const { return counts_; }

    // Every link's summary, in the order first seen.
    [[nodiscard]] std::vector<LinkSummary> Summary() const;
    // One line for a log or standard error: frames, events by kind, drops.
    [[nodiscard]] std::string SummaryLine() const;

    // Forgets the events, the counts and every link (serials go on).
    void Clear();

    struct Link; // analysis/LinkState.h

private:
    Link& LinkOf(LinkKey key, std::int64_t timeUs);
    void Forget(Link* link);
    void Emit(Event&& event);
    friend struct LinkWatch;

    Settings settings_;
    std::vector<std::unique_ptr<Link>> links_; // in the order first seen
    std::unordered_map<LinkKey, Link*> index_;
    Link* last_ = nullptr;                      // the link of the last frame
    std::deque<Event> events_;
    std::uint64_t serial_ = 0;
    std::uint64_t dropped_ = 0;
    std::array<std::uint64_t, kEventKindCount> counts_{};
    std::function<void(const Event&)> observer_;
    decode::Translator translator_ = nullptr;
};

} // namespace analysis
