#pragma once

#include "analysis/LinkStream.h"
#include "analysis/LinkSupervisor.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The link supervisor's state of one link; only its own sources include it.

namespace analysis {

inline constexpr std::uint16_t kSeqMask = 0x7FFF;  // N(S), N(R) modulo 32768
inline constexpr std::size_t kSendRing = 256;      // the send times of the last I-frames kept
inline constexpr std::size_t kMissingRanges = 8;   // the gaps remembered per side
inline constexpr std::size_t kModbusOutstanding = 1024;
inline constexpr std::size_t kModbusKeptBytes = 32;
inline constexpr std::size_t kTimedOutKept = 16;

// The acts of the U-format, by the bit of their act: STARTDT, STOPDT, TESTFR.
enum UAct : std::uint8_t { StartAct, StopAct, TestAct, kUActs };

struct PendingAct {
    std::int64_t sinceUs = 0;
    bool waiting = false;
    bool expired = false; // reported as t1-expired, still waiting for its con
};

// Numbers a gap reported missing: [from, from + count) modulo 32768.
struct MissingRange {
    std::uint16_t from = 0;
    std::uint16_t count = 0;
};

// One direction's I-frames: how far sent and how far acknowledged.
struct IecSide {
    bool seqKnown = false;     // vs is known
    bool ackKnown = false;     // va is known
    std::uint16_t vs = 0;      // the N(S) the next I-frame should carry
    std::uint16_t va = 0;      // the N(R) the other side last sent for these frames
    std::array<std::int64_t, kSendRing> sentUs{}; // by N(S) modulo the ring
    std::array<MissingRange, kMissingRanges> missing{};
    std::size_t missingCount = 0;
    // After a number seen before: the next one it would be followed by if the
    // sender started counting anew (then the count is followed, not reported again).
    bool restartArmed = false;
    std::uint16_t restartNext = 0;
    std::array<PendingAct, kUActs> acts{}; // acts this side sent, waiting for the other's con
    bool kOver = false, wOver = false;     // past k (the sender's), past w (the receiver's)
    bool t1Reported = false, t2Reported = false;
    unsigned maxOutstanding = 0;
    std::uint64_t iFrames = 0, sFrames = 0, uFrames = 0;

    [[nodiscard]] unsigned Outstanding() const
    {
        return seqKnown && ackKnown ? static_cast<unsigned>((vs - va) & kSeqMask) : 0;
    }
};

struct SkewState {
    ClockSkew summary;
    bool over = false;
};

struct IecState {
    TransferState state = TransferState::Unknown;
    bool notStartedReported = false;
    bool everStarted = false;       // a STARTDT con seen on this connection
    std::array<IecSide, 2> sides{}; // by Direction
    std::int64_t lastFrameUs = 0;   // any APDU either way, for t3
    bool t3Reported = false;
    TimeStats t1, t2, t3;
    std::array<std::vector<SkewState>, 2> skew; // by Direction, by common address ascending
};

struct ModbusRequestKept {
    std::int64_t sinceUs = 0;
    std::uint16_t transaction = 0;
    std::uint8_t unit = 0;
    std::uint8_t function = 0;
    std::uint8_t size = 0; // bytes kept (0 when the request was longer than kModbusKeptBytes)
    std::array<std::uint8_t, kModbusKeptBytes> bytes{};
};

struct ModbusState {
    std::vector<ModbusRequestKept> outstanding;                 // oldest first
    std::array<ModbusRequestKept, kTimedOutKept> timedOut{};    // the last unanswered, a ring
    std::size_t timedOutCount = 0;
    ModbusSummary summary;
};

struct LinkSupervisor::Link {
    LinkKey key = 0;
    std::string name;
    LinkProtocol protocol = LinkProtocol::Auto; // Auto until the first frame decides
    decode::DeviceRole device = decode::DeviceRole::Answers;
    bool open = true;           // false after EndConnection: nothing waits
    std::int64_t firstUs = 0, lastUs = 0;
    std::array<std::uint64_t, 2> frames{};
    std::uint64_t badFrames = 0, unrecognised = 0;
    std::array<StreamBuffer, 2> streams{};
    IecState iec;
    ModbusState modbus;
};

inline std::size_t Index(Direction d)
{
    return d == Direction::ToDevice ? 0 : 1;
}

inline Direction Other(Direction d)
{
    return d == Direction::ToDevice ? Direction::FromDevice : Direction::ToDevice;
}

} // namespace analysis

namespace analysis {

// The supervisor's work on one link at one moment: what the protocol
// watchers (LinkStream.cpp, Iec104Watch.cpp, ModbusWatch.cpp) are given.
struct LinkWatch {
    LinkSupervisor& supervisor;
    LinkSupervisor::Link& link;
    const Settings& settings;

    // Makes an event of the link.
    void Report(EventKind kind, Severity severity, Direction direction, std::int64_t timeUs, std::string text,
                std::span<const std::uint8_t> frame = {}, std::int64_t frameUs = 0);

    // Bytes sent or received: cut into frames, the protocol chosen.
    void Feed(Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> bytes, bool stream);
    // One whole frame of the link's protocol.
    void WholeFrame(Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> frame);
    // The time-outs that ran out by `nowUs`.
    void TimeOuts(std::int64_t nowUs);

    void Iec104Apdu(Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> apdu);
    void Iec104TimeOuts(std::int64_t nowUs);
    void IecSequence(Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> apdu);
    void IecAcknowledge(Direction direction, std::uint16_t nr, std::int64_t timeUs,
                        std::span<const std::uint8_t> apdu, bool supervisory);
    void IecTimeTags(Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> apdu);
    void ModbusFrame(Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> frame);
    void ModbusTimeOuts(std::int64_t nowUs);
};

} // namespace analysis
