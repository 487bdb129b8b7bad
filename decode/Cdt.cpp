#include "decode/ByteText.h"
#include "decode/Decode.h"

#include "frame/Crc.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>

// CDT (cyclic telecontrol) frames: the synchronisation word EB 90 EB 90 EB 90,
// the control word and the information words, each word 6 bytes whose last
// byte is the CRC-8 of the other five.

namespace decode {

namespace {

constexpr std::size_t kSyncSize = 6;
constexpr std::size_t kWordSize = 6;
constexpr std::size_t kCrcAt = 5;
constexpr uint8_t kSync[kSyncSize] = {0xEB, 0x90, 0xEB, 0x90, 0xEB, 0x90};

// A frame type code means one thing sent by a station and another sent to it.
struct FrameType {
    unsigned code;
    std::string_view fromStation; // empty where only the master sends it
    std::string_view toStation;
};

constexpr FrameType kFrameTypes[] = {
    {0x61, NC_("decode", "important remote measurements (A frame)"), NC_("decode", "remote control selection")},
    {0xC2, NC_("decode", "secondary remote measurements (B frame)"), NC_("decode", "remote control execution")},
    {0xB3, NC_("decode", "general remote measurements (C frame)"), NC_("decode", "remote control cancellation")},
    {0xF4, NC_("decode", "remote signal status (D1 frame)"), NC_("decode", "raise/lower selection")},
    {0x85, NC_("decode", "energy pulse counts (D2 frame)"), NC_("decode", "raise/lower execution")},
    {0x26, NC_("decode", "sequence of events records (E frame)"), NC_("decode", "raise/lower cancellation")},
    {0x57, "", NC_("decode", "setpoint command")},
    {0x7A, "", NC_("decode", "set the station clock")},
    {0x0B, "", NC_("decode", "set the station clock correction")},
    {0x4C, "", NC_("decode", "read the station clock")},
    {0x3D, "", NC_("decode", "reset command")},
    {0x9E, "", NC_("decode", "broadcast command")},
};

// Function codes of one value, above the ranges handled in FunctionText.
constexpr Name kFunctions[] = {
    {0x8A, NC_("decode", "frequency")},
    {0x8B, NC_("decode", "reset command")},
    {0x8C, NC_("decode", "broadcast command")},
    {0xE0, NC_("decode", "remote control selection")},
    {0xE1, NC_("decode", "remote control check-back")},
    {0xE2, NC_("decode", "remote control execution")},
    {0xE3, NC_("decode", "remote control cancellation")},
    {0xE4, NC_("decode", "raise/lower selection")},
    {0xE5, NC_("decode", "raise/lower check-back")},
    {0xE6, NC_("decode", "raise/lower execution")},
    {0xE7, NC_("decode", "raise/lower cancellation")},
    {0xE8, NC_("decode", "setpoint command")},
    {0xEC, NC_("decode", "station status")},
    {0xED, NC_("decode", "set the station clock correction")},
};

// The commands of the remote control and raise/lower words.
constexpr Name kCommands[] = {
    {0xCC, NC_("decode", "close")}, {0x33, NC_("decode", "open")}, {0xAA, NC_("decode", "execute")}, {0x55, NC_("decode", "cancel")}, {0xFF, NC_("decode", "error")},
};
constexpr Name kRaiseLower[] = {
    {0xCC, NC_("decode", "raise")}, {0x33, NC_("decode", "lower")}, {0xAA, NC_("decode", "execute")}, {0x55, NC_("decode", "cancel")}, {0xFF, NC_("decode", "error")},
};
constexpr Name kSignalStates[] = {{0, NC_("decode", "open")}, {1, NC_("decode", "closed")}};

enum F : std::size_t {
    Sync, ControlWord, ControlByte, FrameTypeCode, WordCount, Source, Destination, Crc, InformationWord,
    FunctionCode, Data, Measurement, Command, RaiseLowerCommand, ControlObject, Repeat, PulseCount, Frequency,
    EventRecord, EventTime, EventPoint, EventState, Clock, Milliseconds, Second, Minute, Hour, Day, Month, Year,
    WaitingTime, FieldCount
};

constexpr std::array<FieldDef, FieldCount> kFields{{
    {"cdt.sync", NC_("decode", "Synchronisation word")},
    {"cdt.control_word", NC_("decode", "Control word")},
    {"cdt.control_byte", NC_("decode", "Control byte")},
    {"cdt.frame_type", NC_("decode", "Frame type")},
    {"cdt.words", NC_("decode", "Information words")},
    {"cdt.source", NC_("decode", "Source station")},
    {"cdt.destination", NC_("decode", "Destination station")},
    {"cdt.crc", "CRC"},
    {"cdt.word", NC_("decode", "Information word")},
    {"cdt.function", NC_("decode", "Function code")},
    {"cdt.data", NC_("decode", "Data")},
    {"cdt.measurement", NC_("decode", "Remote measurement")},
    {"cdt.command", NC_("decode", "Command"), 0, kCommands, NC_("decode", "unknown")},
    {"cdt.raise_lower", NC_("decode", "Command"), 0, kRaiseLower, NC_("decode", "unknown")},
    {"cdt.object", NC_("decode", "Object")},
    {"cdt.repeat", NC_("decode", "Repeat")},
    {"cdt.pulse_count", NC_("decode", "Pulse count")},
    {"cdt.frequency", NC_("decode", "Frequency")},
    {"cdt.event", NC_("decode", "Sequence of events record")},
    {"cdt.event.time", NC_("decode", "Time")},
    {"cdt.event.point", NC_("decode", "Signal")},
    {"cdt.event.state", NC_("decode", "State"), 0, kSignalStates},
    {"cdt.clock", NC_("decode", "Station clock")},
    {"cdt.time.ms", NC_("decode", "Milliseconds")},
    {"cdt.time.second", NC_("decode", "Second")},
    {"cdt.time.minute", NC_("decode", "Minute")},
    {"cdt.time.hour", NC_("decode", "Hour")},
    {"cdt.time.day", NC_("decode", "Day")},
    {"cdt.time.month", NC_("decode", "Month")},
    {"cdt.time.year", NC_("decode", "Year")},
    {"cdt.clock.waiting", NC_("decode", "Waiting time")},
}};

std::string FrameTypeText(unsigned code)
{
    for (const FrameType& t : kFrameTypes) {
        if (t.code != code)
            continue;
        if (t.fromStation.empty())
            return Arg(C_("decode", "%1 %2 (to a station)"), {text::HexByte(code), TableText(t.toStation)});
        return Arg(C_("decode", "%1 %2 (to a station: %3)"),
                   {text::HexByte(code), TableText(t.fromStation), TableText(t.toStation)});
    }
    return Arg(C_("decode", "%1 unknown frame type"), {text::HexByte(code)});
}

std::string FunctionText(unsigned code)
{
    const std::string hex = text::HexByte(code);
    const auto n = [](unsigned v) { return std::to_string(v); };
    if (code <= 0x7F)
        return Arg(C_("decode", "%1 remote measurements %2 and %3"), {hex, n(2 * code), n(2 * code + 1)});
    if (code <= 0x81)
        return Arg(C_("decode", "%1 sequence of events record, part %2"), {hex, n(code - 0x7F)});
    if (code == 0x84 || code == 0x85)
        return Arg(C_("decode", "%1 station clock returned, part %2"), {hex, n(code - 0x83)});
    if (code >= 0x86 && code <= 0x89)
        return Arg(C_("decode", "%1 totalised remote measurements %2 and %3"),
                   {hex, n(2 * (code - 0x86)), n(2 * (code - 0x86) + 1)});
    if (code >= 0x8D && code <= 0x92)
        return Arg(C_("decode", "%1 water level %2"), {hex, n(code - 0x8D)});
    if (code >= 0xA0 && code <= 0xDF)
        return Arg(C_("decode", "%1 energy pulse count %2"), {hex, n(code - 0xA0)});
    if (code == 0xEE || code == 0xEF)
        return Arg(C_("decode", "%1 set the station clock, part %2"), {hex, n(code - 0xED)});
    if (code >= 0xF0)
        return Arg(C_("decode", "%1 remote signals %2-%3"), {hex, n(32 * (code - 0xF0)), n(32 * (code - 0xF0) + 31)});
    return hex + " " + std::string(TableText(NameOf(kFunctions, code, NC_("decode", "reserved"))));
}

// A remote measurement: 11 bits and a sign, bit 14 overflow, bit 15 invalid.
std::string MeasurementText(unsigned word)
{
    const int value = (word & 0x800) ? static_cast<int>(word & 0xFFF) - 0x1000 : static_cast<int>(word & 0xFFF);
    std::string t = std::to_string(value);
    if (word & 0x4000)
        t = Arg(C_("decode", "%1 overflow"), {t});
    if (word & 0x8000)
        t = Arg(C_("decode", "%1 invalid"), {t});
    return t;
}

// What the four data bytes mean, where the function code says it plainly.
std::string DataText(unsigned code, Bytes data)
{
    std::string t = text::HexPairs(data);
    if (code <= 0x7F) {
        t += ": " + std::to_string(2 * code) + " = " + MeasurementText(text::Le16(data, 0)) + ", "
            + std::to_string(2 * code + 1) + " = " + MeasurementText(text::Le16(data, 2));
    } else if (code >= 0xF0) {
        t += ": ";
        for (std::size_t i = 0; i < data.size(); ++i) {
            t += i ? " " : "";
            for (int b = 0; b < 8; ++b)
                t += text::Bit(data[i], b);
        }
        t = Arg(C_("decode", "%1 (signal %2 first)"), {t, std::to_string(32 * (code - 0xF0))});
    }
    return t;
}

// A pulse count word: the count in bits 0-23, binary, or six BCD digits
// where bit 29 is set; bit 31 marks the count invalid. The other bits are
// reserved and shown where a station sets them.
void AddPulseCount(FieldWriter& w, std::size_t at, unsigned code)
{
    const Bytes f = w.Frame();
    const unsigned word = text::Le16(f, at + 1) | text::Le16(f, at + 3) << 16;
    constexpr unsigned kCount = 0x00FFFFFF, kBcd = 1u << 29, kInvalid = 1u << 31;
    constexpr unsigned kReserved = ~(kCount | kBcd | kInvalid);
    unsigned count = word & kCount;
    bool digits = true;
    if (word & kBcd) {
        unsigned value = 0;
        for (int digit = 5; digit >= 0; --digit) {
            const unsigned d = count >> (4 * digit) & 0xF;
            digits = digits && d <= 9;
            value = value * 10 + d;
        }
        count = value;
    }
    std::string t = digits ? std::to_string(count) : Arg(C_("decode", "%1 (not BCD digits)"), {text::Hex(word & kCount, 6)});
    if (digits && (word & kBcd))
        t = Arg(C_("decode", "%1 (BCD)"), {t});
    if (word & kInvalid)
        t = Arg(C_("decode", "%1 invalid"), {t});
    if (word & kReserved)
        t = Arg(C_("decode", "%1 (reserved bits set: %2)"), {t, text::Hex(word & kReserved, 8)});
    Field& pulses = w.AddNth(1, kFields[PulseCount], std::to_string(code - 0xA0), at + 1, 4, t,
                             digits ? Verdict::None : Verdict::Bad);
    if (digits)
        pulses.number = count;
}

// The parts of a word that its function code gives a meaning: measurements,
// pulse counts, frequencies, the command and object of a control word.
void AddWordParts(FieldWriter& w, std::size_t at, unsigned code)
{
    const Bytes f = w.Frame();
    if (code <= 0x7F || (code >= 0x86 && code <= 0x89)) {
        const unsigned first = code <= 0x7F ? 2 * code : 2 * (code - 0x86);
        for (unsigned k = 0; k < 2; ++k) {
            const unsigned word = text::Le16(f, at + 1 + 2 * k);
            const int value = (word & 0x800) ? static_cast<int>(word & 0xFFF) - 0x1000 : static_cast<int>(word & 0xFFF);
            w.AddNth(1, kFields[Measurement], std::to_string(first + k), at + 1 + 2 * k, 2, MeasurementText(word))
                .number = value;
        }
    } else if (code >= 0xA0 && code <= 0xDF) {
        AddPulseCount(w, at, code);
    } else if (code == 0x8A) {
        // two frequencies, each four BCD digits in hundredths of a hertz
        for (unsigned k = 0; k < 2; ++k) {
            const unsigned bcd = text::Le16(f, at + 1 + 2 * k);
            unsigned value = 0;
            bool decimal = true;
            for (int digit = 3; digit >= 0; --digit) {
                const unsigned d = bcd >> (4 * digit) & 0xF;
                decimal = decimal && d <= 9;
                value = value * 10 + d;
            }
            Field& freq = decimal
                ? w.AddNth(1, kFields[Frequency], std::to_string(k + 1), at + 1 + 2 * k, 2,
                           std::to_string(value / 100) + "." + (value % 100 < 10 ? "0" : "")
                               + std::to_string(value % 100) + " Hz")
                : w.AddNth(1, kFields[Frequency], std::to_string(k + 1), at + 1 + 2 * k, 2,
                           Arg(C_("decode", "%1 (not BCD digits)"), {text::Hex(bcd, 4)}), Verdict::Bad);
            if (decimal)
                freq.number = value / 100.0;
        }
    } else if (code >= 0xE0 && code <= 0xE7) {
        // command, object, then both again
        const unsigned command = f[at + 1], object = f[at + 2];
        const unsigned step = (code - 0xE0) % 4; // selection, check-back, execution, cancellation
        const bool expected = step == 0 ? (command == 0xCC || command == 0x33)
            : step == 1                 ? (command == 0xCC || command == 0x33 || command == 0xFF)
            : step == 2                 ? command == 0xAA
                                        : command == 0x55;
        const FieldDef& def = kFields[code < 0xE4 ? Command : RaiseLowerCommand];
        Field& c = w.Add(1, def, at + 1, 1, text::HexByte(command) + " " + std::string(def.NameOf(command)),
                         expected ? Verdict::None : Verdict::Bad,
                         expected || step < 2 ? "" : text::HexByte(step == 2 ? 0xAA : 0x55));
        c.number = command;
        w.Add(1, kFields[ControlObject], at + 2, 1, std::to_string(object)).number = object;
        const bool same = f[at + 3] == command && f[at + 4] == object;
        w.Add(1, kFields[Repeat], at + 3, 2, text::HexPairs(f.subspan(at + 3, 2)), same ? Verdict::Good : Verdict::Bad,
              same ? "" : text::HexPairs(f.subspan(at + 1, 2)));
    }
}

// A value of a time field and whether it lies in its range.
std::string TimePart(unsigned value, unsigned low, unsigned high, std::string_view name, bool& good)
{
    if (value >= low && value <= high)
        return "";
    good = false;
    return "; " + Arg(C_("decode", "%1 %2 is out of range"), {name, std::to_string(value)});
}

std::string Two(unsigned v)
{
    std::string text = std::to_string(v);
    if (v < 10)
        text.insert(text.begin(), '0');
    return text;
}

// One part of a time (its byte or bytes in one word), bad where it lies
// outside its range.
void AddTimePart(FieldWriter& w, int depth, F part, std::size_t at, std::size_t size, unsigned value,
                 unsigned low, unsigned high)
{
    const bool inside = value >= low && value <= high;
    w.Add(depth, kFields[part], at, size, std::to_string(value), inside ? Verdict::None : Verdict::Bad).number = value;
}

// Two words that make one record: a sequence of events record (80, 81), the
// station clock returned (84, 85) or set (EE, EF). `first` and `second` are
// the words' offsets. The first word holds the milliseconds, the second and
// the minute, the second word the hour and the day, then the event's signal
// and state, the time the station waited before it returned its clock, or
// the month and the year. The record's time is a heading without bytes of
// its own: its parts name the bytes they are read from, so that neither the
// CRC between the words nor the second word's function code is shown as part
// of the time.
void AddPair(FieldWriter& w, std::size_t first, std::size_t second)
{
    const Bytes f = w.Frame();
    const unsigned ms = text::Le16(f, first + 1), sec = f[first + 3], min = f[first + 4];
    const unsigned hour = f[second + 1], day = f[second + 2];
    bool good = true;
    std::string faults = TimePart(ms, 0, 999, C_("decode", "millisecond"), good) + TimePart(sec, 0, 59, C_("decode", "second"), good)
        + TimePart(min, 0, 59, C_("decode", "minute"), good) + TimePart(hour, 0, 23, C_("decode", "hour"), good)
        + TimePart(day, 1, 31, C_("decode", "day"), good);
    const std::string clock = Two(hour) + ":" + Two(min) + ":" + Two(sec) + "." + (ms < 100 ? "0" : "")
        + (ms < 10 ? "0" : "") + std::to_string(ms);
    const unsigned code = f[first];
    const unsigned month = f[second + 3], year = f[second + 4];
    if (code == 0xEE) {
        faults += TimePart(month, 1, 12, C_("decode", "month"), good) + TimePart(year, 0, 99, C_("decode", "year"), good);
    }
    const std::string why = good ? "" : " (" + faults.substr(2) + ")";
    const std::string when = Arg(C_("decode", "day %1 %2"), {std::to_string(day), clock});
    int depth = 1;
    if (code == 0x80) {
        const unsigned point = text::Le16(f, second + 3) & 0x0FFF, state = f[second + 4] >> 7;
        w.Add(0, kFields[EventRecord], first, second + kWordSize - first,
              Arg(C_("decode", "signal %1 %2 at %3"), {std::to_string(point), kFields[EventState].NameOf(state), when}) + why);
        w.Add(1, kFields[EventTime], first + 1, 0, when + why, good ? Verdict::None : Verdict::Bad);
        depth = 2;
    } else if (code == 0x84) {
        const unsigned waited = text::Le16(f, second + 3);
        w.Add(0, kFields[Clock], first, second + kWordSize - first,
              Arg(C_("decode", "%1, waiting time %2 ms"), {when, std::to_string(waited)}) + why,
              good ? Verdict::None : Verdict::Bad);
    } else {
        w.Add(0, kFields[Clock], first, second + kWordSize - first,
              "20" + Two(year % 100) + "-" + Two(month) + "-" + Two(day) + " " + clock + why,
              good ? Verdict::None : Verdict::Bad);
    }
    AddTimePart(w, depth, Milliseconds, first + 1, 2, ms, 0, 999);
    AddTimePart(w, depth, Second, first + 3, 1, sec, 0, 59);
    AddTimePart(w, depth, Minute, first + 4, 1, min, 0, 59);
    AddTimePart(w, depth, Hour, second + 1, 1, hour, 0, 23);
    AddTimePart(w, depth, Day, second + 2, 1, day, 1, 31);
    if (code == 0x80) {
        w.AddBits(1, kFields[EventPoint], second + 3, 2, text::Le16(f, second + 3) & 0x0FFF);
        w.AddBits(1, kFields[EventState], second + 4, 1, f[second + 4] >> 7);
    } else if (code == 0x84) {
        // Some stations send a date here, as in the words that set the clock.
        const unsigned waited = text::Le16(f, second + 3);
        w.Add(1, kFields[WaitingTime], second + 3, 2,
              Arg(C_("decode", "%1 ms (read as a date: month %2, year %3)"),
                  {std::to_string(waited), std::to_string(month), std::to_string(year)}))
            .number = waited;
    } else {
        AddTimePart(w, 1, Month, second + 3, 1, month, 1, 12);
        AddTimePart(w, 1, Year, second + 4, 1, year, 0, 99);
    }
}

void AddCrc(FieldWriter& w, std::size_t word)
{
    const Bytes frame = w.Frame();
    const unsigned crc = CrcCdt(frame.subspan(word, kCrcAt));
    text::AddCheckCode(w, 1, kFields[Crc], word + kCrcAt, frame[word + kCrcAt], crc, 2, text::HexByte(crc));
}

std::string ControlByteText(unsigned c)
{
    return text::Hex(c, 2) + ": E=" + text::Bit(c, 7) + " L=" + text::Bit(c, 6) + " S=" + text::Bit(c, 5)
        + " D=" + text::Bit(c, 4);
}

// False when the frame ends inside the control word.
bool ReadControlWord(FieldWriter& w)
{
    const Bytes f = w.Frame();
    constexpr std::size_t at = kSyncSize;
    if (f.size() < at + kWordSize) {
        w.Add(0, kFields[ControlWord], at, kWordSize, text::Truncated(f.size() - at, kWordSize), Verdict::Bad);
        return false;
    }
    // the words after the control word, a last one cut short counted too
    const std::size_t words = (f.size() - at - 1) / kWordSize;
    w.Add(0, kFields[ControlWord], at, kWordSize, FrameTypeText(f[at + 1]));
    w.Add(1, kFields[ControlByte], at, 1, ControlByteText(f[at])).number = f[at];
    w.Add(1, kFields[FrameTypeCode], at + 1, 1, FrameTypeText(f[at + 1])).number = f[at + 1];
    const unsigned count = f[at + 2];
    if (count == words)
        w.Add(1, kFields[WordCount], at + 2, 1, std::to_string(count), Verdict::Good).number = count;
    else
        w.Add(1, kFields[WordCount], at + 2, 1,
              Arg(C_("decode", "%1 (the frame holds %2)"), {std::to_string(count), std::to_string(words)}), Verdict::Bad,
              words <= 0xFF ? text::HexByte(static_cast<unsigned>(words)) : "")
            .number = count;
    w.AddBits(1, kFields[Source], at + 3, 1, f[at + 3]);
    w.AddBits(1, kFields[Destination], at + 4, 1, f[at + 4]);
    AddCrc(w, at);
    return true;
}

} // namespace

std::span<const FieldDef> CdtFields()
{
    return kFields;
}

bool ShapeCdt(Bytes frame)
{
    return frame.size() >= kSyncSize && std::equal(std::begin(kSync), std::end(kSync), frame.begin());
}

Fields DecodeCdt(Bytes frame)
{
    Fields out;
    FieldWriter w(out, frame);
    if (!text::HoldsFirst(w, kFields[Sync], kSyncSize))
        return out;
    if (ShapeCdt(frame))
        w.Add(0, kFields[Sync], 0, kSyncSize, "EB 90 EB 90 EB 90", Verdict::Good);
    else
        w.Add(0, kFields[Sync], 0, kSyncSize, text::HexPairs(frame.first(kSyncSize)), Verdict::Bad,
              "EB 90 EB 90 EB 90");
    if (!ReadControlWord(w))
        return out;
    int index = 1;
    for (std::size_t at = kSyncSize + kWordSize; at < frame.size(); at += kWordSize, ++index) {
        const std::string number = std::to_string(index);
        if (frame.size() - at < kWordSize) {
            w.AddNth(0, kFields[InformationWord], number, at, kWordSize, text::Truncated(frame.size() - at, kWordSize),
                     Verdict::Bad);
            break;
        }
        const unsigned code = frame[at];
        w.AddNth(0, kFields[InformationWord], number, at, kWordSize, FunctionText(code));
        w.Add(1, kFields[FunctionCode], at, 1, FunctionText(code)).number = code;
        w.Add(1, kFields[Data], at + 1, 4, DataText(code, frame.subspan(at + 1, 4)));
        AddWordParts(w, at, code);
        AddCrc(w, at);
        // the second word of a record read with the first
        const std::size_t previous = at - kWordSize;
        if (index > 1 && (code == 0x81 || code == 0x85 || code == 0xEF) && frame[previous] == code - 1)
            AddPair(w, previous, at);
    }
    return out;
}

} // namespace decode
