#pragma once

#include "analysis/LinkEvents.h"
#include "decode/Decode.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The point table: the latest value of every point the frames of a station
// carry, in both directions, and its check against the station's point list.
// Plain C++, no display; the window "数据点表" and `ostrel-headless --points`
// are its readers.
//
// A point is keyed by protocol, station and address:
//
// | protocol | station                | address text (list, table, exports)          |
// |----------|------------------------|----------------------------------------------|
// | IEC104   | common address         | information object address: "4001"           |
// | IEC101   | common address         | information object address: "4001"           |
// | MODBUS   | unit                   | table and register/coil address, 0-based as  |
// |          |                        | the frame carries it: "HR:100", "IR:0",      |
// |          |                        | "CO:17", "DI:3" (a list may also say 40101,  |
// |          |                        | 300001, ...: 1-based with the table's digit) |
// | DNP3     | outstation (source)    | static group and index: "g30/5" (an event    |
// |          |                        | group is the point of its static group:      |
// |          |                        | g32 -> g30; a list may say "g30v1/5", "30/5")|
// | CDT      | source station         | function code (hex) and word position:       |
// |          |                        | measurement "YC:12", signal "YX:40", energy  |
// |          |                        | "DD:3" (the number the decoder shows)        |
//
// MODBUS TCP and RTU share one protocol name: the registers are the same.
// Rows are appended, never reordered or removed, so that a row's index stays
// its own for the life of the model (a table model shows them by index).

namespace analysis {

enum class PointProtocol : std::uint8_t { Iec104, Iec101, Modbus, Dnp3, Cdt };
inline constexpr std::size_t kPointProtocolCount = 5;

// What a point is, across the protocols; the list's type column names one.
enum class PointType : std::uint8_t {
    Unknown,
    // IEC monitoring
    SinglePoint, DoublePoint, StepPosition, Bitstring, Normalised, Scaled, Float, Counter, ProtectionEvent,
    // IEC commands
    SingleCommand, DoubleCommand, RegulatingStep, SetNormalised, SetScaled, SetFloat, BitstringCommand,
    // MODBUS tables
    Coil, DiscreteInput, InputRegister, HoldingRegister,
    // DNP3 static groups
    BinaryInput, DoubleBitInput, BinaryOutput, DnpCounter, FrozenCounter, AnalogInput, AnalogOutput,
    // CDT
    Measurement, Signal, Energy,
};
inline constexpr std::size_t kPointTypeCount = static_cast<std::size_t>(PointType::Energy) + 1;

// Monitoring (the device tells) or command (the device is told).
enum class PointDirection : std::uint8_t { Monitoring, Command };

// A command's progress: activation sent, confirmed, terminated, or refused
// (a negative confirmation, a MODBUS exception, a DNP3 status other than 0).
enum class CommandState : std::uint8_t { None, Activation, Confirmation, Termination, Negative };

// The marks of the check against the list (bit flags of PointRow::marks).
enum PointMark : std::uint8_t {
    kMarkUnlisted = 1,      // "不在点表": seen, not on the list
    kMarkMissing = 2,       // "未收到": on the list, never seen
    kMarkOutOfRange = 4,    // "越限": value outside the list's low-high
    kMarkWrongType = 8,     // "类型不符": type other than the list's
    kMarkBadQuality = 16,   // "品质异常": a quality flag that makes the value doubtful
};

struct PointKey {
    PointProtocol protocol = PointProtocol::Iec104;
    PointDirection direction = PointDirection::Monitoring;
    std::uint16_t station = 0;
    // IEC: the IOA; MODBUS: table << 16 | address; DNP3: group << 32 | index;
    // CDT: kind << 16 | number (see AddressText).
    std::uint64_t address = 0;
    bool operator==(const PointKey&) const = default;
};

struct PointKeyHash {
    std::size_t operator()(const PointKey& k) const noexcept;
};

// The MODBUS tables as they appear in the key.
enum class ModbusTable : std::uint8_t { Coil = 0, DiscreteInput = 1, InputRegister = 3, HoldingRegister = 4 };
// The CDT kinds as they appear in the key.
enum class CdtKind : std::uint8_t { Measurement = 0, Signal = 1, Energy = 2 };

// The key's address as the list, the table and the exports write it, and
// back; nullopt for a text of no address of the protocol.
[[nodiscard]] std::string AddressText(PointProtocol protocol, std::uint64_t address);
[[nodiscard]] std::optional<std::uint64_t> ParseAddress(PointProtocol protocol, std::string_view text);

[[nodiscard]] std::string_view ProtocolText(PointProtocol protocol);   // "IEC104", "MODBUS", ...
[[nodiscard]] std::optional<PointProtocol> ParseProtocol(std::string_view text);
[[nodiscard]] std::string_view TypeText(PointType type);               // "短浮点", ...
// A list's type: the table's word, or an IEC type mnemonic ("M_ME_NC_1", any
// of the family with or without time tag), or one of the short names in the
// template; nullopt when unknown.
[[nodiscard]] std::optional<PointType> ParseType(std::string_view text);
[[nodiscard]] std::string_view DirectionText(PointDirection direction); // "监视", "控制"
[[nodiscard]] std::string_view CommandStateText(CommandState state);    // "", "激活", "确认", "终止", "否定"
// The marks' words, separated by "、"; empty for none.
[[nodiscard]] std::string MarksText(std::uint8_t marks);

// One row of the table. Texts are made on demand (the Text functions below)
// so that a frame of a known point touches numbers only.
struct PointRow {
    PointKey key;
    PointType type = PointType::Unknown;
    std::uint8_t typeId = 0;            // IEC: type identification; DNP3: group; MODBUS: function
    std::uint8_t cause = 0;             // IEC cause of transmission (0: none)
    bool negative = false;              // IEC P/N
    CommandState command = CommandState::None;
    std::uint16_t quality = 0;          // kQuality... bits
    bool hasValue = false;
    double value = 0;                   // scaled as decoded
    std::int64_t deviceTimeUs = 0;      // the device's time tag, civil time read as UTC
    bool hasDeviceTime = false;
    bool deviceTimeInvalid = false;
    bool deviceTimeShort = false;       // a tag of minutes and milliseconds only (CP24Time2a)
    std::int64_t arrivalUs = 0;         // of the last frame (microseconds since 1970, UTC)
    std::int64_t firstUs = 0;
    std::uint64_t updates = 0;          // frames that carried the point
    std::uint64_t changes = 0;          // updates whose value differed from the one before
    std::uint64_t generation = 0;       // the model's generation at its last change
    std::int32_t listIndex = -1;        // its entry in the list, -1 when none
    std::uint8_t marks = 0;             // PointMark bits
    Direction frameDirection = Direction::FromDevice; // of the last frame
    std::vector<std::uint8_t> frame;    // the last frame's bytes (its capacity reused)
    std::uint8_t listOnly = 0;          // 1: a "未收到" row made from the list (never seen)
};

// Quality bits (PointRow::quality) and their words.
enum PointQuality : std::uint16_t {
    kQualityOverflow = 1 << 0,      // IEC OV
    kQualityBlocked = 1 << 1,       // IEC BL
    kQualitySubstituted = 1 << 2,   // IEC SB
    kQualityNotTopical = 1 << 3,    // IEC NT
    kQualityInvalid = 1 << 4,       // IEC IV (also a counter's)
    kQualityCarry = 1 << 5,         // IEC counter CY
    kQualityAdjusted = 1 << 6,      // IEC counter CA
    kQualityOffline = 1 << 7,       // DNP3 ONLINE clear
    kQualityRestart = 1 << 8,       // DNP3 RESTART
    kQualityCommLost = 1 << 9,      // DNP3 COMM_LOST
    kQualityRemoteForced = 1 << 10, // DNP3 REMOTE_FORCED
    kQualityLocalForced = 1 << 11,  // DNP3 LOCAL_FORCED
    kQualityOverRange = 1 << 12,    // DNP3 OVER_RANGE / CDT invalid measurement
    kQualityReferenceError = 1 << 13, // DNP3 REFERENCE_ERR
    kQualityChatter = 1 << 14,      // DNP3 CHATTER_FILTER
};
// The bits that make a value doubtful (the "品质异常" mark).
inline constexpr std::uint16_t kQualityBad = kQualityOverflow | kQualityBlocked | kQualitySubstituted
    | kQualityNotTopical | kQualityInvalid | kQualityOffline | kQualityCommLost | kQualityOverRange
    | kQualityReferenceError;

[[nodiscard]] std::string QualityText(std::uint16_t quality); // "IV NT", empty when good
[[nodiscard]] std::string ValueText(const PointRow& row);      // "12.5", "on", "0x0000FFFF", ...
[[nodiscard]] std::string CauseText(const PointRow& row);      // "3 spontaneous", empty when none
[[nodiscard]] std::string DeviceTimeText(const PointRow& row); // "2026-12-09 05:34:10.123", "(IV)" appended
[[nodiscard]] std::string TimeText(std::int64_t us);           // local time "2026-12-09 05:34:10.123"

// One entry of the point list.
struct PointListEntry {
    PointProtocol protocol = PointProtocol::Iec104;
    std::uint16_t station = 0;
    std::uint64_t address = 0;
    std::string addressText;   // as canonical text
    std::string name;
    PointType type = PointType::Unknown; // Unknown: not checked
    std::string unit;
    std::optional<double> low, high;
};

class PointList {
public:
    // Reads a CSV list; on a fault, nothing is kept and `error` says where
    // ("第3行: ..."). Returns whether the list was read.
    bool Read(std::string_view csv, std::string& error);
    [[nodiscard]] const std::vector<PointListEntry>& Entries() const { return entries_; }
    [[nodiscard]] bool Empty() const { return entries_.empty(); }
    // The entry of a monitoring or command point, -1 when none.
    [[nodiscard]] std::int32_t Find(PointProtocol protocol, std::uint16_t station, std::uint64_t address) const;

private:
    std::vector<PointListEntry> entries_;
    std::unordered_map<PointKey, std::int32_t, PointKeyHash> index_;
};

// The template "保存模板..." writes: the header and one example row per protocol.
[[nodiscard]] std::string PointListTemplate();
// Reads a file into a list; the error names the file's fault or the line.
bool ReadPointListFile(const std::string& path, PointList& list, std::string& error);

// How the model decodes the frames.
struct PointSettings {
    decode::Protocol protocol = decode::Protocol::Auto;
    decode::IecSizes iec101;
    decode::DeviceRole device = decode::DeviceRole::Answers; // MODBUS: who asks
    std::size_t maxRows = 1'000'000;
    // IEC 104 monitoring frames of the common types read straight from
    // their bytes (the same rows as through the decoder's fields, at a
    // fraction of the cost); false reads every frame through the decoder.
    bool fastIec104 = true;
};

// The counts of the check.
struct PointCounts {
    std::uint64_t seen = 0;        // rows of points seen (not the "未收到" rows)
    std::uint64_t listed = 0;      // entries of the list
    std::uint64_t onList = 0;      // seen and on the list
    std::uint64_t missing = 0;     // on the list, never seen
    std::uint64_t unlisted = 0;
    std::uint64_t outOfRange = 0;
    std::uint64_t wrongType = 0;
    std::uint64_t badQuality = 0;
    std::uint64_t commands = 0;    // command rows
    std::uint64_t dropped = 0;     // points not kept past the row limit
    bool limitReached = false;
};

class PointModel {
public:
    explicit PointModel(PointSettings settings = {});
    ~PointModel();
    PointModel(const PointModel&) = delete;
    PointModel& operator=(const PointModel&) = delete;

    void SetSettings(const PointSettings& settings);
    [[nodiscard]] const PointSettings& Settings() const { return settings_; }

    // A datagram (stream false) or a chunk of a TCP stream (stream true) of
    // the link `link`, either way. A stream is cut into frames as the link
    // supervisor cuts it (APDUs, MBAP frames, RTU frames; the other
    // protocols are taken a chunk a frame).
    void Feed(std::span<const std::uint8_t> bytes, Direction direction, std::int64_t arrivalUs, LinkKey link,
              bool stream = false);
    // A new connection on `link` (or its end): its stream buffers and MODBUS
    // pairing start afresh.
    void ResetLink(LinkKey link);

    // The check against `list` (kept; pass it moved where the caller
    // needs it no more); an empty list unchecks. The "未收到" rows of the
    // list's points never seen are appended.
    void SetList(PointList list);
    [[nodiscard]] const PointList& List() const { return list_; }

    [[nodiscard]] std::size_t Size() const { return rows_.size(); }
    [[nodiscard]] const PointRow& Row(std::size_t index) const { return rows_[index]; }
    [[nodiscard]] const std::vector<PointRow>& Rows() const { return rows_; }
    // The list's entry of a row (nullptr when none).
    [[nodiscard]] const PointListEntry* EntryOf(const PointRow& row) const;

    // Each change (a row added or updated, a list set) raises the
    // generation; a row carries the generation of its last change.
    [[nodiscard]] std::uint64_t Generation() const { return generation_; }
    // The indices of the rows changed after generation `since`, ascending
    // (rows added included), and the current generation in `now`. A reader
    // that passes the `now` it was given last costs the rows changed, not
    // the rows held.
    [[nodiscard]] std::vector<std::size_t> ChangedSince(std::uint64_t since, std::uint64_t& now) const;

    [[nodiscard]] PointCounts Counts() const;
    // "points: 12 seen, 10 on the list, 2 missing, 1 out of range, ..." for standard error.
    [[nodiscard]] std::string SummaryLine() const;
    // The time span of the frames taken (0 when none).
    [[nodiscard]] std::int64_t FirstUs() const { return firstUs_; }
    [[nodiscard]] std::int64_t LastUs() const { return lastUs_; }

    // Forgets every row (the list is kept and its "未收到" rows made again).
    void Clear();

    struct Links; // the links' stream buffers and MODBUS requests

private:
    friend struct PointFeeder;
    PointRow* RowFor(const PointKey& key, std::int64_t arrivalUs);
    void Mark(PointRow& row);
    void MakeMissingRows();
    void SeenEntry(std::size_t entry);
    // The row changed now: its generation raised, its index noted for ChangedSince.
    void Touch(std::size_t index);

    PointSettings settings_;
    PointList list_;
    std::vector<PointRow> rows_;
    std::unordered_map<PointKey, std::size_t, PointKeyHash> index_;
    std::unique_ptr<Links> links_;
    std::vector<std::uint8_t> entrySeen_;   // by list entry: a row of it seen
    std::vector<std::int64_t> missingRow_;  // by list entry: its "未收到" row, -1 when none
    std::uint64_t generation_ = 0;
    // The rows touched since generation snapshot_, each once: what the
    // reader that last asked ChangedSince(snapshot_) gets next, without a
    // look at every row (any other `since` looks at every row).
    mutable std::vector<std::uint32_t> touched_;
    mutable std::uint64_t snapshot_ = 0;
    std::uint64_t dropped_ = 0;
    std::int64_t firstUs_ = 0, lastUs_ = 0;
};

// --- Exports ----------------------------------------------------------------

// The column titles of the table and the exports, in order (the last,
// "标记", the marks).
[[nodiscard]] std::span<const std::string_view> PointColumns();
// One cell of a row as the table and the exports show it (column as in
// PointColumns()).
[[nodiscard]] std::string PointCell(const PointModel& model, const PointRow& row, std::size_t column);

// The table as CSV (UTF-8 with a BOM, the columns of PointColumns()), rows
// in the model's order.
[[nodiscard]] std::string PointsCsv(const PointModel& model);
// A self-contained HTML report: stations, time span, counts, the table with
// its marks; `title` heads it.
[[nodiscard]] std::string PointsHtml(const PointModel& model, std::string_view title);

} // namespace analysis
