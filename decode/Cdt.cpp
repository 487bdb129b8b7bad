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
    {0x61, "important remote measurements (A frame)", "remote control selection"},
    {0xC2, "secondary remote measurements (B frame)", "remote control execution"},
    {0xB3, "general remote measurements (C frame)", "remote control cancellation"},
    {0xF4, "remote signal status (D1 frame)", "raise/lower selection"},
    {0x85, "energy pulse counts (D2 frame)", "raise/lower execution"},
    {0x26, "sequence of events records (E frame)", "raise/lower cancellation"},
    {0x57, "", "setpoint command"},
    {0x7A, "", "set the station clock"},
    {0x0B, "", "set the station clock correction"},
    {0x4C, "", "read the station clock"},
    {0x3D, "", "reset command"},
    {0x9E, "", "broadcast command"},
};

// Function codes of one value, above the ranges handled in FunctionText.
constexpr Name kFunctions[] = {
    {0x8A, "frequency"},
    {0x8B, "reset command"},
    {0x8C, "broadcast command"},
    {0xE0, "remote control selection"},
    {0xE1, "remote control check-back"},
    {0xE2, "remote control execution"},
    {0xE3, "remote control cancellation"},
    {0xE4, "raise/lower selection"},
    {0xE5, "raise/lower check-back"},
    {0xE6, "raise/lower execution"},
    {0xE7, "raise/lower cancellation"},
    {0xE8, "setpoint command"},
    {0xEC, "station status"},
    {0xED, "set the station clock correction"},
};

enum F : std::size_t {
    Sync, ControlWord, ControlByte, FrameTypeCode, WordCount, Source, Destination, Crc, InformationWord,
    FunctionCode, Data, FieldCount
};

constexpr std::array<FieldDef, FieldCount> kFields{{
    {"cdt.sync", "Synchronisation word"},
    {"cdt.control_word", "Control word"},
    {"cdt.control_byte", "Control byte"},
    {"cdt.frame_type", "Frame type"},
    {"cdt.words", "Information words"},
    {"cdt.source", "Source station"},
    {"cdt.destination", "Destination station"},
    {"cdt.crc", "CRC"},
    {"cdt.word", "Information word"},
    {"cdt.function", "Function code"},
    {"cdt.data", "Data"},
}};

std::string FrameTypeText(unsigned code)
{
    for (const FrameType& t : kFrameTypes) {
        if (t.code != code)
            continue;
        if (t.fromStation.empty())
            return text::HexByte(code) + " " + std::string(t.toStation) + " (to a station)";
        return text::HexByte(code) + " " + std::string(t.fromStation) + " (to a station: "
            + std::string(t.toStation) + ")";
    }
    return text::HexByte(code) + " unknown frame type";
}

std::string FunctionText(unsigned code)
{
    const std::string hex = text::HexByte(code) + " ";
    if (code <= 0x7F)
        return hex + "remote measurements " + std::to_string(2 * code) + " and " + std::to_string(2 * code + 1);
    if (code <= 0x81)
        return hex + "sequence of events record, part " + std::to_string(code - 0x7F);
    if (code == 0x84 || code == 0x85)
        return hex + "station clock returned, part " + std::to_string(code - 0x83);
    if (code >= 0x86 && code <= 0x89)
        return hex + "totalised remote measurements " + std::to_string(2 * (code - 0x86)) + " and "
            + std::to_string(2 * (code - 0x86) + 1);
    if (code >= 0x8D && code <= 0x92)
        return hex + "water level " + std::to_string(code - 0x8D);
    if (code >= 0xA0 && code <= 0xDF)
        return hex + "energy pulse count " + std::to_string(code - 0xA0);
    if (code == 0xEE || code == 0xEF)
        return hex + "set the station clock, part " + std::to_string(code - 0xED);
    if (code >= 0xF0)
        return hex + "remote signals " + std::to_string(32 * (code - 0xF0)) + "-"
            + std::to_string(32 * (code - 0xF0) + 31);
    return hex + std::string(NameOf(kFunctions, code, "reserved"));
}

// A remote measurement: 11 bits and a sign, bit 14 overflow, bit 15 invalid.
std::string MeasurementText(unsigned word)
{
    const int value = (word & 0x800) ? static_cast<int>(word & 0xFFF) - 0x1000 : static_cast<int>(word & 0xFFF);
    std::string t = std::to_string(value);
    if (word & 0x4000)
        t += " overflow";
    if (word & 0x8000)
        t += " invalid";
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
        t += " (signal " + std::to_string(32 * (code - 0xF0)) + " first)";
    }
    return t;
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
              std::to_string(count) + " (the frame holds " + std::to_string(words) + ")", Verdict::Bad,
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
        AddCrc(w, at);
    }
    return out;
}

} // namespace decode
