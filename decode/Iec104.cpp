#include "decode/ByteText.h"
#include "decode/Decode.h"
#include "decode/IecAsdu.h"

#include <array>
#include <bit>
#include <string>

// IEC 60870-5-104: APDUs of start byte 68, a length of 4 to 253 and four
// control bytes, an I-format one followed by its ASDU. A TCP chunk may hold
// several APDUs, decoded one after another.

namespace decode {

namespace {

constexpr std::size_t kMinLength = 4;
constexpr std::size_t kMaxLength = 253;

constexpr std::array<std::string_view, 6> kUFunctions{
    NC_("decode", "STARTDT act"), NC_("decode", "STARTDT con"), NC_("decode", "STOPDT act"), NC_("decode", "STOPDT con"), NC_("decode", "TESTFR act"), NC_("decode", "TESTFR con")};

constexpr uint8_t kStart = 0x68;

enum F : std::size_t { Apci, Start, Length, Control, Format, Ns, Nr, Function, ExtraBytes, FieldCount };

constexpr std::array<FieldDef, FieldCount> kFields{{
    {"iec104.apci", "APCI"},
    {"iec104.start", NC_("decode", "Start")},
    {"iec104.length", NC_("decode", "Length")},
    {"iec104.control", NC_("decode", "Control field")},
    {"iec104.format", NC_("decode", "Format")},
    {"iec104.ns", "N(S)", 0xFFFE},
    {"iec104.nr", "N(R)", 0xFFFE},
    {"iec104.u_function", NC_("decode", "Function"), 0xFC},
    {"iec104.extra", NC_("decode", "Extra bytes")},
}};

std::string UFunctions(uint8_t control)
{
    std::string s;
    for (std::size_t bit = 0; bit < kUFunctions.size(); ++bit) {
        if (control >> (bit + 2) & 1) {
            if (!s.empty())
                s += " + ";
            s += TableText(kUFunctions[bit]);
        }
    }
    return s.empty() ? C_("decode", "none") : s;
}

unsigned SequenceNumber(Bytes f, std::size_t at)
{
    return static_cast<unsigned>(kFields[Ns].Value(text::Le16(f, at)));
}

// The APCI heading's summary, from the four control bytes at `at`.
std::string ApciSummary(Bytes f, std::size_t at)
{
    const uint8_t c1 = f[at];
    if (!(c1 & 1))
        return Arg(C_("decode", "I-format, N(S)=%1 N(R)=%2"),
                   {std::to_string(SequenceNumber(f, at)), std::to_string(SequenceNumber(f, at + 2))});
    if ((c1 & 3) == 1)
        return Arg(C_("decode", "S-format, N(R)=%1"), {std::to_string(SequenceNumber(f, at + 2))});
    return Arg(C_("decode", "U-format, %1"), {UFunctions(c1)});
}

// One APDU from `pos`; returns where the next one starts, or the frame's
// end when this one could not be read to its end.
std::size_t AddApdu(FieldWriter& w, std::size_t pos)
{
    const Bytes f = w.Frame();
    const std::size_t size = f.size();
    iec::Cursor c(w, pos, size);
    w.Add(0, kFields[Apci], pos, 0, size - pos >= 6 ? ApciSummary(f, pos + 2) : "");
    if (f[pos] != kStart) {
        w.Add(1, kFields[Start], pos, 1, text::HexPairs(f.subspan(pos, 1)), Verdict::Bad, "68").number = f[pos];
        return size;
    }
    w.Add(1, kFields[Start], pos, 1, "68").number = kStart;
    c.Skip(1);
    if (!c.Need(1, kFields[Length], 1))
        return size;
    const std::size_t length = f[pos + 1];
    const std::size_t available = size - pos - 2;
    const bool good = length >= kMinLength && length <= kMaxLength && length <= available;
    // The length that would fit the bytes there are (at least the APCI's).
    const uint8_t fitting =
        static_cast<uint8_t>(std::max(kMinLength, std::min(available, kMaxLength)));
    w.Add(1, kFields[Length], pos + 1, 1, std::to_string(length), good ? Verdict::Good : Verdict::Bad,
          good ? std::string() : text::HexByte(fitting))
        .number = static_cast<double>(length);
    const std::size_t end = pos + 2 + std::min(length, available);

    iec::Cursor control(w, pos + 2, end);
    if (!control.Need(1, kFields[Control], 4))
        return end;
    const uint8_t c1 = f[pos + 2];
    if (!(c1 & 1)) {
        w.Add(1, kFields[Format], pos + 2, 1, C_("decode", "I-format (numbered information transfer)"));
        w.AddBits(1, kFields[Ns], pos + 2, 2, text::Le16(f, pos + 2));
        w.AddBits(1, kFields[Nr], pos + 4, 2, text::Le16(f, pos + 4));
    } else if ((c1 & 3) == 1) {
        w.Add(1, kFields[Format], pos + 2, 2, C_("decode", "S-format (numbered supervisory functions)"));
        w.AddBits(1, kFields[Nr], pos + 4, 2, text::Le16(f, pos + 4));
    } else {
        w.Add(1, kFields[Format], pos + 2, 1, C_("decode", "U-format (unnumbered control functions)"));
        if (std::popcount(static_cast<unsigned>(c1 >> 2)) == 1)
            w.Add(1, kFields[Function], pos + 2, 1, UFunctions(c1));
        else
            w.Add(1, kFields[Function], pos + 2, 1, UFunctions(c1), Verdict::Bad, C_("decode", "one function bit"));
    }
    const std::size_t asdu = pos + 6;
    if (asdu < end) {
        if (!(c1 & 1))
            iec::AddAsdu(w, asdu, end, iec::kIec104Sizes);
        else
            w.Add(0, kFields[ExtraBytes], asdu, end - asdu,
                  Arg(C_("decode", "%1 bytes after an S- or U-format APCI"), {std::to_string(end - asdu)}),
                  Verdict::Bad, C_("decode", "0 bytes"))
                .number = static_cast<double>(end - asdu);
    }
    return length > available ? size : end;
}

} // namespace

std::span<const FieldDef> Iec104Fields()
{
    return kFields;
}

bool ShapeIec104(Bytes frame)
{
    std::size_t pos = 0;
    while (pos < frame.size()) {
        if (frame[pos] != kStart || pos + 1 >= frame.size())
            return false;
        const std::size_t length = frame[pos + 1];
        if (length < kMinLength || length > kMaxLength)
            return false;
        pos += length + 2;
    }
    return !frame.empty() && pos == frame.size();
}

Fields DecodeIec104(Bytes frame)
{
    Fields out;
    FieldWriter w(out, frame);
    if (frame.empty())
        (void)iec::Cursor(w, 0, 0).Need(0, kFields[Apci], 6);
    for (std::size_t pos = 0; pos < frame.size();)
        pos = AddApdu(w, pos);
    return out;
}

} // namespace decode
