#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The findings of the link supervisor (analysis/LinkSupervisor.h): one event
// per finding, each of a kind from a fixed list of keywords. The keywords are
// part of what the programs write (the events window, the CSV lines of
// `ostrel-headless --events`): never rename one, only add.
//
// | keyword              | protocol   | severity          | what was seen                                                       |
// |----------------------|------------|-------------------|---------------------------------------------------------------------|
// | connection           | any        | info              | a new connection: the link's state starts afresh                    |
// | bad-frame            | any        | fault             | bytes that are no frame of the link's protocol (a stream resyncs)   |
// | gap                  | IEC 104    | fault             | N(S) jumped ahead: the numbers between are missing                  |
// | duplicate            | IEC 104    | warning           | an N(S) already seen (MODBUS/TCP: a transaction id still open)      |
// | out-of-order         | IEC 104    | fault             | an N(S) that an earlier gap reported missing came late              |
// | ack-unsent           | IEC 104    | fault             | N(R) acknowledges I-frames never sent                               |
// | ack-backwards        | IEC 104    | fault             | N(R) below the one acknowledged before                              |
// | k-exceeded           | IEC 104    | fault             | more than k I-frames sent and not acknowledged (once per crossing)  |
// | w-reached            | IEC 104    | warning           | more than w I-frames received and not acknowledged (once per crossing) |
// | not-started          | IEC 104    | fault             | an I-frame before STARTDT con or after STOPDT con (once per stop)   |
// | startdt              | IEC 104    | info / warning    | STARTDT act -> con done (its time); con without act: warning        |
// | stopdt               | IEC 104    | info / warning    | STOPDT act -> con done; con without act: warning                    |
// | testfr               | IEC 104    | info / warning    | TESTFR act -> con done; con without act: warning                    |
// | t1-expired           | IEC 104    | fault             | no con within t1 of an act, no acknowledgement within t1 of an I-frame |
// | t2-exceeded          | IEC 104    | warning           | an I-frame left unacknowledged longer than t2 (the device's: and the slack) |
// | t3-exceeded          | IEC 104    | warning           | the link idle longer than t3 (and the slack) without a TESTFR act   |
// | clock-skew           | IEC 104    | warning           | a CP56Time2a tag of the device off the arrival time, or one sent to it off the sending time, by more than the limit |
// | no-response          | MODBUS     | fault             | a request unanswered within the time-out                            |
// | late-response        | MODBUS     | warning           | the response to a request already reported unanswered               |
// | unsolicited-response | MODBUS     | fault             | a response to no request                                            |
// | mismatch             | MODBUS     | fault             | a response whose unit or function differs from its request's        |
// | exception            | MODBUS     | warning           | an exception response (its code in the sentence and the summary)    |
//
// "once per crossing": the event is made when the count goes past the limit
// and not again until it has come back within it; likewise `not-started`
// until the next STARTDT con, `clock-skew` per common address until a tag
// within the limit, `t2-exceeded` until the next acknowledgement and
// `t3-exceeded` until the next frame.

namespace analysis {

// Which way a frame went: to the device (the send window, a trigger's
// answer) or from it (the receive window).
enum class Direction : std::uint8_t { ToDevice, FromDevice };

// The protocol a link is watched by: chosen by the frame's shape, or set.
enum class LinkProtocol : std::uint8_t { Auto, Iec104, ModbusTcp, ModbusRtu };

enum class Severity : std::uint8_t { Info, Warning, Fault };

enum class EventKind : std::uint8_t {
    Connection,
    BadFrame,
    Gap,
    Duplicate,
    OutOfOrder,
    AckUnsent,
    AckBackwards,
    KExceeded,
    WReached,
    NotStarted,
    StartDt,
    StopDt,
    TestFr,
    T1Expired,
    T2Exceeded,
    T3Exceeded,
    ClockSkew,
    NoResponse,
    LateResponse,
    UnsolicitedResponse,
    Mismatch,
    Exception,
};
inline constexpr std::size_t kEventKindCount = static_cast<std::size_t>(EventKind::Exception) + 1;

// The kind's keyword ("gap", "ack-unsent", ...), as in the table above.
[[nodiscard]] std::string_view KindKeyword(EventKind kind);
// The kind of a keyword; none for a word not in the list.
[[nodiscard]] std::optional<EventKind> KindOfKeyword(std::string_view keyword);
// "info", "warning", "fault".
[[nodiscard]] std::string_view SeverityKeyword(Severity severity);
// "to-device", "from-device".
[[nodiscard]] std::string_view DirectionKeyword(Direction direction);
// "auto", "iec104", "modbus-tcp", "modbus-rtu".
[[nodiscard]] std::string_view ProtocolKeyword(LinkProtocol protocol);

// An opaque name of one link chosen by the caller: a connection (TCP) or a
// peer address (UDP), for instance address << 16 | port.
using LinkKey = std::uint64_t;

struct Event {
    std::uint64_t serial = 0;    // 1, 2, 3, ... in the order made, never reused
    std::int64_t timeUs = 0;     // when it was seen, microseconds since 1970
    LinkKey link = 0;
    std::string linkName;        // the name the caller gave the link ("" for none)
    Direction direction = Direction::FromDevice; // the way the frame it is about went
    LinkProtocol protocol = LinkProtocol::Auto;
    EventKind kind = EventKind::Connection;
    Severity severity = Severity::Info;
    std::string text;            // the sentence the window shows
    // The frame the event is about, to find its line in the receive or send
    // window (the receive window's lines come from the device, the send
    // window's go to it): its bytes and its time. For a time-out it is the
    // frame that waited, its bytes where they were kept (a U-format act, a
    // MODBUS request of up to 32 bytes), otherwise its time alone; frameUs 0
    // and no bytes for an event about no frame (`t3-exceeded`, `connection`).
    std::vector<std::uint8_t> frame;
    std::int64_t frameUs = 0;
};

// The events as CSV (RFC 4180: fields with a comma, a quote or a line break
// quoted, quotes doubled), one line per event, "\n" ended:
//   serial      the event's serial number
//   time        its time, UTC, "2026-12-09T02:50:00.123Z"
//   time_us     its time in microseconds since 1970
//   link        the link's name, or its key in decimal where it has none
//   direction   "to-device" or "from-device"
//   protocol    "iec104", "modbus-tcp", "modbus-rtu"
//   kind        the keyword
//   severity    "info", "warning", "fault"
//   text        the sentence
//   frame       the frame's bytes as hex text ("68 04 43 00 00 00"), or empty
//   frame_us    the frame's time in microseconds since 1970, or empty
[[nodiscard]] std::string EventCsvHeader();
[[nodiscard]] std::string EventCsvLine(const Event& event);

} // namespace analysis
