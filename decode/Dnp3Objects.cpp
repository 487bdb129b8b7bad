#include "decode/ByteText.h"
#include "decode/Dnp3.h"
#include "decode/Dnp3Fields.h"

#include <array>
#include <charconv>
#include <cstring>
#include <optional>
#include <string>

// The application layer of a DNP3 fragment: the application header (control,
// function, and for responses the internal indications), then object
// headers (group, variation, qualifier, range or count), each followed by
// its objects where the function carries them. The objects of the common
// groups are read part by part (flags, value, time, control fields); an
// object whose size is not known ends the reading with its bytes shown raw.

namespace decode::dnp3 {

namespace {

// IIN1.0 to IIN1.7, then IIN2.0 to IIN2.7.
constexpr std::string_view kIndications[16] = {
    NC_("decode", "All stations"),          NC_("decode", "Class 1 events"),        NC_("decode", "Class 2 events"),  NC_("decode", "Class 3 events"),
    NC_("decode", "Need time"),             NC_("decode", "Local control"),         NC_("decode", "Device trouble"),  NC_("decode", "Device restart"),
    NC_("decode", "No function code support"), NC_("decode", "Object unknown"),     NC_("decode", "Parameter error"), NC_("decode", "Event buffer overflow"),
    NC_("decode", "Already executing"),     NC_("decode", "Configuration corrupt"), NC_("decode", "Reserved 2"),      NC_("decode", "Reserved 1"),
};

using FlagNames = std::array<std::string_view, 8>;
constexpr FlagNames kBinaryFlags = {NC_("decode", "online"), NC_("decode", "restart"), NC_("decode", "comm lost"), NC_("decode", "remote forced"),
                                    NC_("decode", "local forced"), NC_("decode", "chatter filter"), NC_("decode", "reserved"), NC_("decode", "state")};
constexpr FlagNames kDoubleBitFlags = {NC_("decode", "online"), NC_("decode", "restart"), NC_("decode", "comm lost"), NC_("decode", "remote forced"),
                                       NC_("decode", "local forced"), NC_("decode", "chatter filter"), "", ""};
constexpr FlagNames kOutputFlags = {NC_("decode", "online"), NC_("decode", "restart"), NC_("decode", "comm lost"), NC_("decode", "remote forced"),
                                    NC_("decode", "local forced"), NC_("decode", "reserved"), NC_("decode", "reserved"), NC_("decode", "state")};
constexpr FlagNames kCounterFlags = {NC_("decode", "online"), NC_("decode", "restart"), NC_("decode", "comm lost"), NC_("decode", "remote forced"),
                                     NC_("decode", "local forced"), NC_("decode", "rollover"), NC_("decode", "discontinuity"), NC_("decode", "reserved")};
constexpr FlagNames kAnalogFlags = {NC_("decode", "online"), NC_("decode", "restart"), NC_("decode", "comm lost"), NC_("decode", "remote forced"),
                                    NC_("decode", "local forced"), NC_("decode", "over-range"), NC_("decode", "reference error"), NC_("decode", "reserved")};

// The parts an object is made of, in the order they are sent.
enum class Part : uint8_t {
    None,
    BinaryFlags,    // 1 byte, state in bit 7
    DoubleFlags,    // 1 byte, state in bits 6 and 7
    OutputFlags,    // 1 byte, state in bit 7
    CounterFlags,   // 1 byte
    AnalogFlags,    // 1 byte
    U16, U32, I16, I32, F32, F64,
    Time,           // 6 bytes, milliseconds since 1970
    RelativeTime,   // 2 bytes, milliseconds after the common time of occurrence
    Control,        // control code, count, on time, off time: 10 bytes
    Status,         // 1 byte, a control's status
    CommandState,   // 1 byte: commanded state in bit 7, status below
    Interval,       // 4 bytes
    Units,          // 1 byte
    DelaySeconds,   // 2 bytes
    DelayMillis,    // 2 bytes
};

std::size_t PartSize(Part p)
{
    switch (p) {
    case Part::None: return 0;
    case Part::U16: case Part::I16: case Part::RelativeTime: case Part::DelaySeconds: case Part::DelayMillis:
        return 2;
    case Part::U32: case Part::I32: case Part::F32: case Part::Interval: return 4;
    case Part::F64: return 8;
    case Part::Time: return 6;
    case Part::Control: return 10;
    default: return 1;
    }
}

struct ObjectType {
    unsigned group;
    unsigned variation;
    std::string_view name;
    unsigned bits;                // packed objects: bits per object
    std::array<Part, 3> parts{};  // the others: their parts
};

using P = Part;

// The objects of a counter or an analog value: the 8 variations of the
// events, in the order the standard numbers them.
#define EVENT_VARIATIONS(g, flags)                                                         \
    {g, 1, NC_("decode", "32-bit without time"), 0, {flags, P::I32}},                                     \
    {g, 2, NC_("decode", "16-bit without time"), 0, {flags, P::I16}},                                     \
    {g, 3, NC_("decode", "32-bit with time"), 0, {flags, P::I32, P::Time}},                               \
    {g, 4, NC_("decode", "16-bit with time"), 0, {flags, P::I16, P::Time}},                               \
    {g, 5, NC_("decode", "single-precision float without time"), 0, {flags, P::F32}},                   \
    {g, 6, NC_("decode", "double-precision float without time"), 0, {flags, P::F64}},                   \
    {g, 7, NC_("decode", "single-precision float with time"), 0, {flags, P::F32, P::Time}},              \
    {g, 8, NC_("decode", "double-precision float with time"), 0, {flags, P::F64, P::Time}}
#define COUNTER_VARIATIONS(g)                                                              \
    {g, 1, NC_("decode", "32-bit with flag"), 0, {P::CounterFlags, P::U32}},                              \
    {g, 2, NC_("decode", "16-bit with flag"), 0, {P::CounterFlags, P::U16}},                              \
    {g, 3, NC_("decode", "32-bit delta with flag"), 0, {P::CounterFlags, P::U32}},                        \
    {g, 4, NC_("decode", "16-bit delta with flag"), 0, {P::CounterFlags, P::U16}}

constexpr ObjectType kTypes[] = {
    {1, 1, NC_("decode", "packed format"), 1, {}},
    {1, 2, NC_("decode", "with flags"), 0, {P::BinaryFlags}},
    {2, 1, NC_("decode", "without time"), 0, {P::BinaryFlags}},
    {2, 2, NC_("decode", "with absolute time"), 0, {P::BinaryFlags, P::Time}},
    {2, 3, NC_("decode", "with relative time"), 0, {P::BinaryFlags, P::RelativeTime}},
    {3, 1, NC_("decode", "packed format"), 2, {}},
    {3, 2, NC_("decode", "with flags"), 0, {P::DoubleFlags}},
    {4, 1, NC_("decode", "without time"), 0, {P::DoubleFlags}},
    {4, 2, NC_("decode", "with absolute time"), 0, {P::DoubleFlags, P::Time}},
    {4, 3, NC_("decode", "with relative time"), 0, {P::DoubleFlags, P::RelativeTime}},
    {10, 1, NC_("decode", "packed format"), 1, {}},
    {10, 2, NC_("decode", "output status with flags"), 0, {P::OutputFlags}},
    {11, 1, NC_("decode", "without time"), 0, {P::OutputFlags}},
    {11, 2, NC_("decode", "with time"), 0, {P::OutputFlags, P::Time}},
    {12, 1, NC_("decode", "control relay output block"), 0, {P::Control, P::Status}},
    {12, 2, NC_("decode", "pattern control block"), 0, {P::Control, P::Status}},
    {12, 3, NC_("decode", "pattern mask"), 1, {}},
    {13, 1, NC_("decode", "command status without time"), 0, {P::CommandState}},
    {13, 2, NC_("decode", "command status with time"), 0, {P::CommandState, P::Time}},
    COUNTER_VARIATIONS(20),
    {20, 5, NC_("decode", "32-bit without flag"), 0, {P::U32}},
    {20, 6, NC_("decode", "16-bit without flag"), 0, {P::U16}},
    {20, 7, NC_("decode", "32-bit delta without flag"), 0, {P::U32}},
    {20, 8, NC_("decode", "16-bit delta without flag"), 0, {P::U16}},
    COUNTER_VARIATIONS(21),
    {21, 5, NC_("decode", "32-bit with flag and time"), 0, {P::CounterFlags, P::U32, P::Time}},
    {21, 6, NC_("decode", "16-bit with flag and time"), 0, {P::CounterFlags, P::U16, P::Time}},
    {21, 7, NC_("decode", "32-bit delta with flag and time"), 0, {P::CounterFlags, P::U32, P::Time}},
    {21, 8, NC_("decode", "16-bit delta with flag and time"), 0, {P::CounterFlags, P::U16, P::Time}},
    {21, 9, NC_("decode", "32-bit without flag"), 0, {P::U32}},
    {21, 10, NC_("decode", "16-bit without flag"), 0, {P::U16}},
    {21, 11, NC_("decode", "32-bit delta without flag"), 0, {P::U32}},
    {21, 12, NC_("decode", "16-bit delta without flag"), 0, {P::U16}},
    COUNTER_VARIATIONS(22),
    {22, 5, NC_("decode", "32-bit with flag and time"), 0, {P::CounterFlags, P::U32, P::Time}},
    {22, 6, NC_("decode", "16-bit with flag and time"), 0, {P::CounterFlags, P::U16, P::Time}},
    {22, 7, NC_("decode", "32-bit delta with flag and time"), 0, {P::CounterFlags, P::U32, P::Time}},
    {22, 8, NC_("decode", "16-bit delta with flag and time"), 0, {P::CounterFlags, P::U16, P::Time}},
    COUNTER_VARIATIONS(23),
    {23, 5, NC_("decode", "32-bit with flag and time"), 0, {P::CounterFlags, P::U32, P::Time}},
    {23, 6, NC_("decode", "16-bit with flag and time"), 0, {P::CounterFlags, P::U16, P::Time}},
    {23, 7, NC_("decode", "32-bit delta with flag and time"), 0, {P::CounterFlags, P::U32, P::Time}},
    {23, 8, NC_("decode", "16-bit delta with flag and time"), 0, {P::CounterFlags, P::U16, P::Time}},
    {30, 1, NC_("decode", "32-bit with flag"), 0, {P::AnalogFlags, P::I32}},
    {30, 2, NC_("decode", "16-bit with flag"), 0, {P::AnalogFlags, P::I16}},
    {30, 3, NC_("decode", "32-bit without flag"), 0, {P::I32}},
    {30, 4, NC_("decode", "16-bit without flag"), 0, {P::I16}},
    {30, 5, NC_("decode", "single-precision float with flag"), 0, {P::AnalogFlags, P::F32}},
    {30, 6, NC_("decode", "double-precision float with flag"), 0, {P::AnalogFlags, P::F64}},
    EVENT_VARIATIONS(32, P::AnalogFlags),
    {34, 1, NC_("decode", "16-bit"), 0, {P::U16}},
    {34, 2, NC_("decode", "32-bit"), 0, {P::U32}},
    {34, 3, NC_("decode", "single-precision float"), 0, {P::F32}},
    {40, 1, NC_("decode", "32-bit with flag"), 0, {P::AnalogFlags, P::I32}},
    {40, 2, NC_("decode", "16-bit with flag"), 0, {P::AnalogFlags, P::I16}},
    {40, 3, NC_("decode", "single-precision float with flag"), 0, {P::AnalogFlags, P::F32}},
    {40, 4, NC_("decode", "double-precision float with flag"), 0, {P::AnalogFlags, P::F64}},
    {41, 1, NC_("decode", "32-bit"), 0, {P::I32, P::Status}},
    {41, 2, NC_("decode", "16-bit"), 0, {P::I16, P::Status}},
    {41, 3, NC_("decode", "single-precision float"), 0, {P::F32, P::Status}},
    {41, 4, NC_("decode", "double-precision float"), 0, {P::F64, P::Status}},
    EVENT_VARIATIONS(42, P::AnalogFlags),
    {50, 1, NC_("decode", "absolute time"), 0, {P::Time}},
    {50, 2, NC_("decode", "absolute time and interval"), 0, {P::Time, P::Interval}},
    {50, 3, NC_("decode", "absolute time at last recorded time"), 0, {P::Time}},
    {50, 4, NC_("decode", "indexed absolute time and long interval"), 0, {P::Time, P::Interval, P::Units}},
    {51, 1, NC_("decode", "absolute time, synchronised"), 0, {P::Time}},
    {51, 2, NC_("decode", "absolute time, unsynchronised"), 0, {P::Time}},
    {52, 1, NC_("decode", "coarse"), 0, {P::DelaySeconds}},
    {52, 2, NC_("decode", "fine"), 0, {P::DelayMillis}},
    {60, 1, NC_("decode", "class 0 data"), 0, {}},
    {60, 2, NC_("decode", "class 1 data"), 0, {}},
    {60, 3, NC_("decode", "class 2 data"), 0, {}},
    {60, 4, NC_("decode", "class 3 data"), 0, {}},
    {80, 1, NC_("decode", "packed format"), 1, {}},
};

#undef EVENT_VARIATIONS
#undef COUNTER_VARIATIONS

const ObjectType* FindType(unsigned group, unsigned variation)
{
    for (const ObjectType& t : kTypes)
        if (t.group == group && t.variation == variation)
            return &t;
    return nullptr;
}

// The bytes of one object of the type; 0 for packed and empty ones.
std::size_t ObjectSize(const ObjectType& t)
{
    std::size_t size = 0;
    for (const Part p : t.parts)
        size += PartSize(p);
    return size;
}

bool IsOctetString(unsigned group)
{
    return group == 110 || group == 111;
}

// Objects that are points: their number is an index; the others (times,
// time delays, strings) are numbered from 1.
bool HasIndexes(unsigned group)
{
    return group < 50 || group == 80;
}

// Whether the function's object headers are followed by objects: a request
// to read, freeze, assign or enable names objects without carrying them.
bool CarriesObjects(unsigned function, unsigned group)
{
    if (function == 11 || function == 12)
        return group == 50;
    return (function >= 2 && function <= 6) || (function >= 25 && function <= 33) || function >= 129;
}

uint64_t LittleEndian(const std::vector<uint8_t>& bytes, std::size_t at, std::size_t size)
{
    uint64_t v = 0;
    for (std::size_t i = size; i-- > 0;)
        v = v << 8 | bytes[at + i];
    return v;
}

std::string DoubleText(double v)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string FlagsText(const FlagNames& names, unsigned flags, bool doubleBit)
{
    std::string set;
    for (int b = 0; b < 8; ++b)
        if ((flags >> b & 1u) && !names[static_cast<std::size_t>(b)].empty())
            set += std::string(set.empty() ? "" : ", ") + std::string(TableText(names[static_cast<std::size_t>(b)]));
    if (doubleBit)
        set += std::string(set.empty() ? "" : ", ")
            + Arg(C_("decode", "state %1"), {TableText(NameOf(kDoubleBitStates, flags >> 6, ""))});
    return text::Hex(flags, 2) + (set.empty() ? "" : ": " + set);
}

const FlagNames* FlagsOf(Part p)
{
    switch (p) {
    case Part::BinaryFlags: return &kBinaryFlags;
    case Part::DoubleFlags: return &kDoubleBitFlags;
    case Part::OutputFlags: return &kOutputFlags;
    case Part::CounterFlags: return &kCounterFlags;
    case Part::AnalogFlags: return &kAnalogFlags;
    default: return nullptr;
    }
}

class AppReader {
public:
    AppReader(FieldWriter& w, const FragmentBytes& fragment) : w_(w), f_(fragment), b_(fragment.bytes) {}

    void Read()
    {
        if (!Holds(ApplicationHeader, 0, 2))
            return;
        const unsigned control = b_[0];
        function_ = b_[1];
        const bool response = function_ >= 129 && function_ <= 131;
        const std::size_t headerSize = response ? 4 : 2;
        Add(0, kFields[ApplicationHeader], 0, std::min(headerSize, b_.size()),
            kFields[ApplicationFunction].Coded(function_));
        Add(1, kFields[ApplicationControl], 0, 1,
            text::Hex(control, 2) + ": FIR=" + text::Bit(control, 7) + " FIN=" + text::Bit(control, 6)
                + " CON=" + text::Bit(control, 5) + " UNS=" + text::Bit(control, 4)
                + " SEQ=" + std::to_string(control & 0x0F))
            .number = control;
        for (const F bit : {ApplicationFirst, ApplicationFinal, Confirm, Unsolicited, ApplicationSequence})
            AddBits(2, kFields[bit], 0, 1, control);
        AddBits(1, kFields[ApplicationFunction], 1, 1, function_);
        if (response) {
            if (!Holds(Indications, 2, 2))
                return;
            ReadIndications(b_[2], b_[3]);
        }
        for (std::size_t at = headerSize, n = 1; at < b_.size(); ++n)
            if (!ReadObjectHeader(at, n))
                return;
    }

private:
    // The frame's place of the fragment's bytes [from, from + length): where
    // they all lie in this frame, from the first to the last (with the block
    // CRCs between); a field read from an earlier frame is shown at the
    // anchor, without bytes.
    std::pair<std::size_t, std::size_t> Place(std::size_t from, std::size_t length) const
    {
        const std::size_t have = from < b_.size() ? std::min(length, b_.size() - from) : 0;
        if (have == 0) {
            const std::size_t end = b_.empty() || f_.at.back() == FragmentBytes::kEarlier
                ? f_.anchor + 1
                : f_.at.back() + 1;
            return {end, length};
        }
        if (f_.at[from] == FragmentBytes::kEarlier)
            return {f_.anchor, 0};
        const std::size_t last = f_.at[from + have - 1];
        return {f_.at[from], last - f_.at[from] + 1 + (length - have)};
    }

    bool Unverified(std::size_t from, std::size_t length) const
    {
        for (std::size_t i = from; i < std::min(b_.size(), from + length); ++i)
            if (!f_.verified[i])
                return true;
        return false;
    }

    Field& Mark(Field& f, std::size_t from, std::size_t length)
    {
        // a part the fragment ends inside says so instead
        if (f.verdict != Verdict::Bad && from + length <= b_.size() && Unverified(from, length))
            f.value = Arg(C_("decode", "%1 (unverified: a CRC over it failed)"), {f.value});
        return f;
    }

    Field& Add(int depth, const FieldDef& def, std::size_t from, std::size_t length, std::string value,
               Verdict verdict = Verdict::None)
    {
        const auto [offset, size] = Place(from, length);
        return Mark(w_.Add(depth, def, offset, size, std::move(value), verdict), from, length);
    }

    Field& AddNth(int depth, const FieldDef& def, std::string_view suffix, std::size_t from,
                  std::size_t length, std::string value, Verdict verdict = Verdict::None)
    {
        const auto [offset, size] = Place(from, length);
        return Mark(w_.AddNth(depth, def, suffix, offset, size, std::move(value), verdict), from, length);
    }

    Field& AddBits(int depth, const FieldDef& def, std::size_t from, std::size_t length, uint64_t raw)
    {
        const auto [offset, size] = Place(from, length);
        return Mark(w_.AddBits(depth, def, offset, size, raw), from, length);
    }

    // Whether the fragment holds `need` bytes at `from`; otherwise adds the
    // part `def` (the `nth` where it is one of a series) saying how it ends.
    bool Holds(F def, std::size_t from, std::size_t need, std::string_view nth = {},
               int depth = -1)
    {
        if (from <= b_.size() && b_.size() - from >= need)
            return true;
        const std::size_t have = from < b_.size() ? b_.size() - from : 0;
        std::string value;
        Verdict verdict = Verdict::Bad;
        if (f_.complete) {
            value = Arg(C_("decode", "missing: the fragment ends after %1 of %2 bytes"),
                        {std::to_string(have), std::to_string(need)});
        } else if (!f_.final) {
            value = Arg(C_("decode", "%1 of %2 bytes here, the rest in a later frame"),
                        {std::to_string(have), std::to_string(need)});
            verdict = Verdict::None;
        } else if (def == ApplicationHeader || def == Indications) {
            value = text::Truncated(have, need);
            cut_ = true; // the frame's end: nothing after it is read
        } else {
            // the frame is cut short: its last block says so
            value = Arg(C_("decode", "%1 of %2 bytes before the frame's end"), {std::to_string(have), std::to_string(need)});
            verdict = Verdict::None;
        }
        const int d = depth >= 0 ? depth : (def == ApplicationHeader || def == ObjectHeader ? 0 : 1);
        if (nth.empty())
            Add(d, kFields[def], from, need, value, verdict);
        else
            AddNth(d, kFields[def], nth, from, need, value, verdict);
        return false;
    }

    void ReadIndications(unsigned iin1, unsigned iin2)
    {
        const unsigned bits = iin1 | iin2 << 8;
        std::string set;
        for (int i = 0; i < 16; ++i)
            if (bits >> i & 1u)
                set += std::string(set.empty() ? "" : ", ") + "IIN" + (i < 8 ? "1." : "2.")
                    + std::to_string(i % 8) + " " + std::string(TableText(kIndications[i]));
        Add(1, kFields[Indications], 2, 2, set.empty() ? C_("decode", "none") : set);
        for (std::size_t byte = 0; byte < 2; ++byte) {
            const unsigned value = byte ? iin2 : iin1;
            std::string names;
            for (int i = 0; i < 8; ++i)
                if (value >> i & 1u)
                    names += std::string(names.empty() ? "" : ", ") + std::string(TableText(kIndications[8 * byte + i]));
            Add(2, kFields[byte ? Iin2 : Iin1], 2 + byte, 1, text::Hex(value, 2) + (names.empty() ? "" : ": " + names))
                .number = value;
        }
    }

    // False when the objects cannot be read on.
    bool ReadObjectHeader(std::size_t& at, std::size_t n)
    {
        const std::string nth = std::to_string(n);
        if (!Holds(ObjectHeader, at, 3, nth))
            return false;
        const unsigned group = b_[at], variation = b_[at + 1], qualifier = b_[at + 2];
        const unsigned prefix = qualifier >> 4 & 0x07, range = qualifier & 0x0F;
        const ObjectType* type = FindType(group, variation);
        std::size_t rangeSize = 0;
        switch (range) {
        case 0: case 3: rangeSize = 2; break;
        case 1: case 4: rangeSize = 4; break;
        case 2: case 5: rangeSize = 8; break;
        case 6: break;
        case 7: case 11: rangeSize = 1; break;
        case 8: rangeSize = 2; break;
        case 9: rangeSize = 4; break;
        default: rangeSize = SIZE_MAX;
        }
        const bool qualifierGood = rangeSize != SIZE_MAX && prefix != 7 && !(qualifier & 0x80)
            && (range != 11 || (prefix >= 4 && prefix <= 6));
        if (!qualifierGood)
            rangeSize = 0;
        std::string title = "g";
        title += std::to_string(group);
        title += 'v';
        title += std::to_string(variation);
        title += ' ';
        title += kFields[Group].NameOf(group);
        if (type)
            title += ", " + std::string(TableText(type->name));
        else if (IsOctetString(group))
            title += ", " + Arg(C_("decode", "%1 bytes"), {std::to_string(variation)});
        else if (variation == 0)
            title = Arg(C_("decode", "%1, any variation"), {title});

        // the range: start and stop, or a count
        uint64_t start = 0, count = 0;
        bool counted = true;
        const std::size_t half = rangeSize / 2;
        if (qualifierGood && from(at + 3, rangeSize)) {
            if (range <= 5) {
                start = LittleEndian(b_, at + 3, half);
                const uint64_t stop = LittleEndian(b_, at + 3 + half, half);
                counted = stop >= start;
                count = counted ? stop - start + 1 : 0;
                title += "; " + Arg(range >= 3 ? C_("decode", "addresses %1-%2") : C_("decode", "indexes %1-%2"),
                                    {std::to_string(start), std::to_string(stop)});
            } else if (range == 6) {
                title = Arg(C_("decode", "%1; all objects"), {title});
            } else {
                count = LittleEndian(b_, at + 3, rangeSize);
                title += "; " + Arg(count == 1 ? C_("decode", "%1 object") : C_("decode", "%1 objects"), {std::to_string(count)});
            }
        }
        // the heading spans the range where the fragment holds it; a range it ends inside says so below
        AddNth(0, kFields[ObjectHeader], nth, at, std::min(3 + rangeSize, b_.size() - at), title);
        AddBits(1, kFields[Group], at, 1, group);
        std::string variationText = std::to_string(variation);
        if (type)
            variationText += " " + std::string(TableText(type->name));
        Add(1, kFields[Variation], at + 1, 1, variationText).number = variation;
        Field& q = Add(1, kFields[Qualifier], at + 2, 1,
                       text::Hex(qualifier, 2) + ": " + std::string(kFields[PrefixCode].NameOf(prefix)) + ", "
                           + std::string(kFields[RangeCode].NameOf(range)),
                       qualifierGood ? Verdict::None : Verdict::Bad);
        q.number = qualifier;
        AddBits(2, kFields[PrefixCode], at + 2, 1, qualifier);
        AddBits(2, kFields[RangeCode], at + 2, 1, qualifier);
        if (!qualifierGood) {
            RestRaw(at + 3, C_("decode", "the qualifier's codes are reserved: the objects cannot be told apart"));
            return false;
        }
        if (!Holds(range <= 5 ? RangeStart : RangeCount, at + 3, rangeSize))
            return false;
        if (range <= 5) {
            Add(1, kFields[RangeStart], at + 3, half, std::to_string(start)).number = static_cast<double>(start);
            const uint64_t stop = LittleEndian(b_, at + 3 + half, half);
            Field& s = Add(1, kFields[RangeStop], at + 3 + half, half,
                           counted ? std::to_string(stop) : Arg(C_("decode", "%1 (below the start)"), {std::to_string(stop)}),
                           counted ? Verdict::None : Verdict::Bad);
            s.number = static_cast<double>(stop);
            if (!counted) {
                RestRaw(at + 3 + rangeSize, C_("decode", "the range is empty: the objects cannot be told apart"));
                return false;
            }
        } else if (range != 6) {
            Add(1, kFields[RangeCount], at + 3, rangeSize, std::to_string(count)).number = static_cast<double>(count);
        }
        at += 3 + rangeSize;
        if (!CarriesObjects(function_, group) || range == 6 || count == 0)
            return true;
        return ReadObjects(at, group, variation, type, prefix, range, start, count);
    }

    bool from(std::size_t at, std::size_t size) const { return at <= b_.size() && b_.size() - at >= size; }

    void RestRaw(std::size_t at, const std::string& why)
    {
        if (at >= b_.size())
            return;
        const std::vector<uint8_t> rest(b_.begin() + static_cast<std::ptrdiff_t>(at), b_.end());
        Add(1, kFields[ObjectData], at, rest.size(),
            Arg(C_("decode", "%1 bytes: %2; %3"), {std::to_string(rest.size()), text::HexPairs(rest), why}));
    }

    bool ReadObjects(std::size_t& at, unsigned group, unsigned variation, const ObjectType* type, unsigned prefix,
                     unsigned range, uint64_t start, uint64_t count)
    {
        const bool ranged = range <= 5;
        if (type && type->bits > 0) {
            if (prefix != 0) {
                RestRaw(at, C_("decode", "packed objects carry no prefix"));
                return false;
            }
            const uint64_t bytes = (count * type->bits + 7) / 8;
            if (!Holds(ObjectData, at, static_cast<std::size_t>(std::min<uint64_t>(bytes, SIZE_MAX / 2))))
                return false;
            for (uint64_t i = 0; i < count; ++i) {
                const uint64_t bit = i * type->bits;
                const std::size_t byte = at + static_cast<std::size_t>(bit / 8);
                const unsigned value = b_[byte] >> (bit % 8) & ((1u << type->bits) - 1);
                const uint64_t index = ranged ? start + i : i;
                std::string t = std::to_string(value);
                if (type->bits == 2)
                    t += " " + std::string(TableText(NameOf(kDoubleBitStates, value, "")));
                else if (group == 80 && index < 16)
                    t += " IIN" + std::string(index < 8 ? "1." : "2.") + std::to_string(index % 8) + " "
                        + std::string(TableText(kIndications[index]));
                AddNth(1, kFields[Point], std::to_string(index), byte, 1, t).number = value;
            }
            at += static_cast<std::size_t>(bytes);
            return true;
        }
        const std::size_t fixed = type ? ObjectSize(*type) : IsOctetString(group) ? variation : 0;
        const std::size_t prefixSize = prefix == 0 ? 0 : prefix <= 3 ? (1u << (prefix - 1)) : (1u << (prefix - 4));
        const bool sized = prefix >= 4;
        if (fixed == 0 && !sized) {
            RestRaw(at, Arg(C_("decode", "the size of g%1v%2 objects is not known"),
                            {std::to_string(group), std::to_string(variation)}));
            return false;
        }
        for (uint64_t i = 0; i < count; ++i) {
            const std::size_t objectAt = at;
            uint64_t index = ranged ? start + i : i;
            // named by its index where it has one (a prefix's is not read yet)
            const std::string nth = std::to_string(HasIndexes(group) && prefix == 0 ? index : i + 1);
            if (!Holds(HasIndexes(group) ? Point : Item, at, prefixSize + (sized ? 0 : fixed), nth, 1))
                return false;
            std::size_t size = fixed;
            if (prefix >= 1 && prefix <= 3)
                index = LittleEndian(b_, at, prefixSize);
            else if (sized)
                size = static_cast<std::size_t>(LittleEndian(b_, at, prefixSize));
            at += prefixSize;
            if (sized && !Holds(HasIndexes(group) ? Point : Item, objectAt, prefixSize + size, nth, 1))
                return false;
            const std::string name = HasIndexes(group) && !sized ? std::to_string(index) : nth;
            ReadObject(objectAt, at, size, type, group, name, prefix, index, sized);
            at += size;
        }
        return true;
    }

    void ReadObject(std::size_t objectAt, std::size_t at, std::size_t size, const ObjectType* type, unsigned group,
                    const std::string& name, unsigned prefix, uint64_t index, bool sized)
    {
        const F heading = HasIndexes(group) && !sized ? Point : Item;
        const bool known = type && ObjectSize(*type) == size;
        if (!known) {
            std::string t = text::HexPairs(std::span(b_).subspan(at, size));
            if (IsOctetString(group) && size > 0) {
                std::string chars;
                for (std::size_t i = at; i < at + size; ++i)
                    chars += b_[i] >= 0x20 && b_[i] < 0x7F ? static_cast<char>(b_[i]) : '.';
                t += " \"" + chars + "\"";
            }
            AddNth(1, kFields[heading], name, objectAt, at + size - objectAt, size ? t : C_("decode", "empty"));
            if (prefix > 0)
                Add(2, kFields[sized ? PointSize : PointIndex], objectAt, at - objectAt,
                    std::to_string(sized ? size : index))
                    .number = static_cast<double>(sized ? size : index);
            return;
        }
        // the point's line sums up its parts, each one a line below it
        Fields parts;
        std::string lead, summary;
        std::optional<double> number;
        std::size_t p = at;
        for (const Part part : type->parts) {
            if (part == Part::None)
                break;
            std::string t;
            std::optional<double> n;
            F def = Value;
            if (const FlagNames* names = FlagsOf(part)) {
                const unsigned flags = b_[p];
                def = Flags;
                t = FlagsText(*names, flags, part == Part::DoubleFlags);
                if (part == Part::DoubleFlags)
                    number = flags >> 6;
                else if (part == Part::BinaryFlags || part == Part::OutputFlags)
                    number = flags >> 7;
                n = flags;
            } else {
                switch (part) {
                case Part::U16: case Part::U32: {
                    const uint64_t v = LittleEndian(b_, p, PartSize(part));
                    t = std::to_string(v);
                    n = static_cast<double>(v);
                    break;
                }
                case Part::I16: {
                    const auto v = static_cast<int16_t>(LittleEndian(b_, p, 2));
                    t = std::to_string(v);
                    n = v;
                    break;
                }
                case Part::I32: {
                    const auto v = static_cast<int32_t>(static_cast<uint32_t>(LittleEndian(b_, p, 4)));
                    t = std::to_string(v);
                    n = v;
                    break;
                }
                case Part::F32: {
                    const auto raw = static_cast<uint32_t>(LittleEndian(b_, p, 4));
                    float v;
                    std::memcpy(&v, &raw, sizeof v);
                    t = DoubleText(v);
                    n = v;
                    break;
                }
                case Part::F64: {
                    const uint64_t raw = LittleEndian(b_, p, 8);
                    double v;
                    std::memcpy(&v, &raw, sizeof v);
                    t = DoubleText(v);
                    n = v;
                    break;
                }
                case Part::Time: {
                    const uint64_t ms = LittleEndian(b_, p, 6);
                    def = Time;
                    t = TimeText(ms);
                    if (group == 51)
                        cto_ = ms;
                    break;
                }
                case Part::RelativeTime: {
                    const uint64_t ms = LittleEndian(b_, p, 2);
                    def = RelativeTime;
                    t = "+" + Arg(C_("decode", "%1 ms"), {std::to_string(ms)});
                    if (cto_)
                        t += ": " + TimeText(*cto_ + ms);
                    else
                        t = Arg(C_("decode", "%1 after a common time of occurrence not in this fragment"), {t});
                    n = static_cast<double>(ms);
                    break;
                }
                case Part::Control:
                    ReadControl(parts, p, summary);
                    break;
                case Part::Status:
                    def = Status;
                    t = kFields[Status].Coded(b_[p] & 0x7Fu);
                    n = b_[p] & 0x7F;
                    break;
                case Part::CommandState: {
                    def = Status;
                    t = Arg(C_("decode", "commanded state %1, status %2"),
                            {std::to_string(b_[p] >> 7), kFields[Status].Coded(b_[p] & 0x7Fu)});
                    number = b_[p] >> 7;
                    break;
                }
                case Part::Interval: {
                    const uint64_t v = LittleEndian(b_, p, 4);
                    def = Interval;
                    t = type->group == 50 && type->variation == 2 ? Arg(C_("decode", "%1 ms"), {std::to_string(v)})
                                                                  : std::to_string(v);
                    n = static_cast<double>(v);
                    break;
                }
                case Part::Units:
                    def = Units;
                    t = kFields[Units].Coded(b_[p]);
                    n = b_[p];
                    break;
                case Part::DelaySeconds: case Part::DelayMillis: {
                    const uint64_t v = LittleEndian(b_, p, 2);
                    def = Delay;
                    t = Arg(part == Part::DelaySeconds ? C_("decode", "%1 s") : C_("decode", "%1 ms"), {std::to_string(v)});
                    n = static_cast<double>(v);
                    break;
                }
                default:
                    break;
                }
            }
            if (part == Part::Control) {
            } else if (def == Value && lead.empty()) {
                number = n;
                lead = t;
            } else {
                summary += std::string(summary.empty() ? "" : ", ")
                    + (def == Flags                    ? Arg(C_("decode", "flags %1"), {t})
                           : def == Value || def == Time ? t
                                                         : std::string(TableText(kFields[def].name)) + " " + t);
            }
            if (part != Part::Control) {
                parts.push_back(Field{});
                Field& f = parts.back();
                f.depth = 2;
                f.def = &kFields[def];
                f.offset = p;
                f.length = PartSize(part);
                f.value = t;
                f.number = n;
            }
            p += PartSize(part);
        }
        // the value or a binary's state leads its line
        if (number && (type->parts[0] == Part::BinaryFlags || type->parts[0] == Part::OutputFlags
                       || type->parts[0] == Part::DoubleFlags || type->parts[0] == Part::CommandState))
            summary = std::to_string(static_cast<int>(*number)) + ", " + summary;
        else if (!lead.empty())
            summary = lead + (summary.empty() ? "" : ", " + summary);
        Field& head = AddNth(1, kFields[heading], name, objectAt, at + size - objectAt, summary);
        head.number = number;
        if (prefix > 0)
            Add(2, kFields[PointIndex], objectAt, at - objectAt, std::to_string(index)).number =
                static_cast<double>(index);
        for (const Field& part : parts)
            Add(2, *part.def, part.offset, part.length, part.value).number = part.number;
    }

    void ReadControl(Fields& parts, std::size_t p, std::string& summary)
    {
        const unsigned code = b_[p];
        std::string op = std::string(TableText(NameOf(kOperationTypes, code & 0x0F, NC_("decode", "reserved operation"))));
        if (code & 0x10)
            op = Arg(C_("decode", "%1, queue"), {op});
        if (code & 0x20)
            op = Arg(C_("decode", "%1, clear"), {op});
        if (code >> 6)
            op += ", " + std::string(TableText(NameOf(kTripClose, code >> 6, NC_("decode", "reserved trip-close code"))));
        const uint64_t count = b_[p + 1], on = LittleEndian(b_, p + 2, 4), off = LittleEndian(b_, p + 6, 4);
        summary += Arg(C_("decode", "%1, count %2, on %3 ms, off %4 ms"),
                       {op, std::to_string(count), std::to_string(on), std::to_string(off)});
        const struct {
            F def;
            std::size_t at, size;
            std::string text;
            double number;
        } rows[] = {
            {ControlCode, p, 1, text::Hex(code, 2) + ": " + op, static_cast<double>(code)},
            {ControlCount, p + 1, 1, std::to_string(count), static_cast<double>(count)},
            {OnTime, p + 2, 4, Arg(C_("decode", "%1 ms"), {std::to_string(on)}), static_cast<double>(on)},
            {OffTime, p + 6, 4, Arg(C_("decode", "%1 ms"), {std::to_string(off)}), static_cast<double>(off)},
        };
        for (const auto& r : rows) {
            Field& f = parts.emplace_back();
            f.depth = 2;
            f.def = &kFields[r.def];
            f.offset = r.at;
            f.length = r.size;
            f.value = r.text;
            f.number = r.number;
        }
    }

    FieldWriter& w_;
    const FragmentBytes& f_;
    const std::vector<uint8_t>& b_;
    unsigned function_ = 0;
    std::optional<uint64_t> cto_; // the last common time of occurrence

public:
    bool cut_ = false; // the frame ends inside the application header
};

} // namespace

std::string TimeText(uint64_t milliseconds)
{
    // days since 1970-01-01 to a civil date (the proleptic Gregorian calendar)
    const uint64_t ms = milliseconds % 1000, seconds = milliseconds / 1000;
    const int64_t days = static_cast<int64_t>(seconds / 86400);
    const uint64_t daySeconds = seconds % 86400;
    const int64_t z = days + 719468;
    const int64_t era = z / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld %02llu:%02llu:%02llu.%03llu", static_cast<long long>(year),
                  static_cast<long long>(month), static_cast<long long>(day),
                  static_cast<unsigned long long>(daySeconds / 3600),
                  static_cast<unsigned long long>(daySeconds / 60 % 60),
                  static_cast<unsigned long long>(daySeconds % 60), static_cast<unsigned long long>(ms));
    return buf;
}

bool ReadApplication(FieldWriter& w, const FragmentBytes& fragment)
{
    AppReader reader(w, fragment);
    reader.Read();
    return !reader.cut_;
}

} // namespace decode::dnp3
