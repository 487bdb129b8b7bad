// The point model: frames in, one row per point out.
#include "analysis/PointState.h"

#include "analysis/CivilTime.h"
#include "analysis/LinkStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace analysis {

namespace {

using Bytes = std::span<const std::uint8_t>;

// The MODBUS/TCP requests a link keeps waiting for their responses.
constexpr std::size_t kModbusRequests = 16;

// The frames of one DNP3 fragment kept until its last comes.
constexpr std::size_t kDnp3Segments = 64;

// What one frame says of one point.
struct Sample {
    PointKey key;
    PointType type = PointType::Unknown;
    std::uint8_t typeId = 0;
    std::uint8_t cause = 0;
    bool negative = false;
    CommandState command = CommandState::None;
    std::uint16_t quality = 0;
    bool hasValue = false;
    double value = 0;
    bool hasTime = false;
    bool timeShort = false;
    bool timeInvalid = false;
    std::int64_t timeUs = 0;
};

bool SameValue(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

std::uint64_t Le(Bytes raw, std::size_t n)
{
    std::uint64_t v = 0;
    for (std::size_t k = std::min(n, raw.size()); k-- > 0;)
        v = v << 8 | raw[k];
    return v;
}

// The IEC information elements the walk reads, by their declarations.
enum class IecPart : std::uint8_t {
    None, Type, Cot, Pn, Common, Object, Ioa, Siq, Diq, Vti, Qds, Bsi, Nva, Sva, R32, Bcr, BcrSeq, Sep, Spe, Oci,
    Qdp, Scd, Cp24, Cp56, Sco, Dco, Rco, Asdu
};

struct IecKeys {
    std::vector<std::pair<const decode::FieldDef*, IecPart>> parts;
    IecPart Of(const decode::FieldDef* def) const
    {
        for (const auto& [d, p] : parts)
            if (d == def)
                return p;
        return IecPart::None;
    }
};

const IecKeys& IecKeysOf()
{
    static const IecKeys keys = [] {
        static constexpr std::pair<std::string_view, IecPart> kKeys[] = {
            {"iec.asdu", IecPart::Asdu},       {"iec.type", IecPart::Type},     {"iec.cot", IecPart::Cot},
            {"iec.cot.pn", IecPart::Pn},       {"iec.common_address", IecPart::Common},
            {"iec.object", IecPart::Object},   {"iec.ioa", IecPart::Ioa},       {"iec.siq", IecPart::Siq},
            {"iec.diq", IecPart::Diq},         {"iec.vti", IecPart::Vti},       {"iec.qds", IecPart::Qds},
            {"iec.bsi", IecPart::Bsi},         {"iec.nva", IecPart::Nva},       {"iec.sva", IecPart::Sva},
            {"iec.r32", IecPart::R32},         {"iec.bcr", IecPart::Bcr},       {"iec.bcr.sequence", IecPart::BcrSeq},
            {"iec.sep", IecPart::Sep},         {"iec.spe", IecPart::Spe},       {"iec.oci", IecPart::Oci},
            {"iec.qdp", IecPart::Qdp},         {"iec.scd", IecPart::Scd},       {"iec.cp24", IecPart::Cp24},
            {"iec.cp56", IecPart::Cp56},       {"iec.sco", IecPart::Sco},       {"iec.dco", IecPart::Dco},
            {"iec.rco", IecPart::Rco},
        };
        IecKeys k;
        for (const decode::FieldDef& d : decode::IecAsduFields())
            for (const auto& [key, part] : kKeys)
                if (d.key == key)
                    k.parts.emplace_back(&d, part);
        return k;
    }();
    return keys;
}

// A CP56Time2a tag (its 7 bytes read least significant first) into a sample.
void Cp56(Sample& s, std::uint64_t raw)
{
    const auto ms = static_cast<std::int64_t>(raw & 0xFFFF);
    const auto minute = static_cast<std::int64_t>(raw >> 16 & 0x3F);
    const auto hour = static_cast<std::int64_t>(raw >> 24 & 0x1F);
    const auto day = static_cast<unsigned>(raw >> 32 & 0x1F);
    const auto month = static_cast<unsigned>(raw >> 40 & 0x0F);
    const auto year = static_cast<int>(raw >> 48 & 0x7F);
    s.hasTime = true;
    s.timeShort = false;
    s.timeInvalid = (raw >> 16 & 0x80) != 0;
    const std::int64_t days = DaysFromCivil(2000 + year, std::clamp(month, 1u, 12u), std::clamp(day, 1u, 31u));
    s.timeUs = ((days * 24 + hour) * 60 + minute) * 60'000'000 + ms * 1000;
}

std::uint16_t IecQuality(std::uint64_t raw)
{
    std::uint16_t q = 0;
    if (raw & 0x01)
        q |= kQualityOverflow;
    if (raw & 0x10)
        q |= kQualityBlocked;
    if (raw & 0x20)
        q |= kQualitySubstituted;
    if (raw & 0x40)
        q |= kQualityNotTopical;
    if (raw & 0x80)
        q |= kQualityInvalid;
    return q;
}

// A DNP3 point's flags; bits 5 and 6 mean other things for binaries and
// for analogs and counters.
std::uint16_t DnpQuality(unsigned flags, PointType type)
{
    const bool binary = type == PointType::BinaryInput || type == PointType::DoubleBitInput
        || type == PointType::BinaryOutput;
    std::uint16_t q = 0;
    if (binary && (flags & 0x20))
        q |= kQualityChatter;
    if (!binary && (type == PointType::AnalogInput || type == PointType::AnalogOutput) && (flags & 0x20))
        q |= kQualityOverRange;
    if (!binary && (type == PointType::AnalogInput || type == PointType::AnalogOutput) && (flags & 0x40))
        q |= kQualityReferenceError;
    if (!(flags & 0x01))
        q |= kQualityOffline;
    if (flags & 0x02)
        q |= kQualityRestart;
    if (flags & 0x04)
        q |= kQualityCommLost;
    if (flags & 0x08)
        q |= kQualityRemoteForced;
    if (flags & 0x10)
        q |= kQualityLocalForced;
    return q;
}

} // namespace

bool IsCommandType(PointType type)
{
    switch (type) {
    case PointType::SingleCommand:
    case PointType::DoubleCommand:
    case PointType::RegulatingStep:
    case PointType::SetNormalised:
    case PointType::SetScaled:
    case PointType::SetFloat:
    case PointType::BitstringCommand: return true;
    default: return false;
    }
}

// A link's state the model keeps: its stream cutting, the MODBUS requests
// waiting for their responses and the DNP3 fragments being gathered.
struct PointModel::Links {
    struct Link {
        StreamCutter cutter;
        bool chunksWhole = false;            // a stream of a protocol the cutter does not know: a chunk a frame
        bool chunksChosen = false;           // chunksWhole decided, by the settings or the first chunk
        // MODBUS: the requests waiting for their responses, newest at
        // nextRequest - 1 (TCP: several, told apart by their transaction
        // identifiers; RTU: the last only).
        std::array<std::vector<std::uint8_t>, kModbusRequests> requests;
        std::size_t nextRequest = 0;
        // DNP3: the frames of a fragment not yet finished, by direction;
        // a fragment's points are read once, from its final frame.
        std::array<std::vector<std::vector<std::uint8_t>>, 2> segments;
        decode::Protocol requestFraming = decode::Protocol::Unrecognised;
    };
    std::unordered_map<LinkKey, Link> links;
};

// The work of one frame: decodes it and hands each point it carries to the model.
struct PointFeeder {
    PointModel& model;
    PointModel::Links::Link& link;
    Direction direction;
    std::int64_t arrivalUs;
    Bytes frame;

    void Point(const Sample& s);
    void Frame();
    void Iec(const decode::Fields& fields, PointProtocol protocol);
    bool FastIec104();
    void Modbus(decode::Protocol framing);
    void ModbusRows(std::uint8_t unit, ModbusTable table, PointType type, unsigned start, unsigned count,
                    Bytes data, bool bits, CommandState command, std::uint8_t function);
    void Dnp3(const decode::Fields& fields);
    void Cdt(const decode::Fields& fields);
};

void PointFeeder::Point(const Sample& s)
{
    PointRow* row = model.RowFor(s.key, arrivalUs);
    if (row == nullptr)
        return;
    const bool first = row->updates == 0;
    row->updates += 1;
    if (s.hasValue) {
        if (row->hasValue && !SameValue(row->value, s.value))
            row->changes += 1;
        row->value = s.value;
        row->hasValue = true;
    }
    if (s.type != PointType::Unknown)
        row->type = s.type;
    row->typeId = s.typeId;
    if (s.cause != 0 || row->key.protocol == PointProtocol::Iec104 || row->key.protocol == PointProtocol::Iec101) {
        row->cause = s.cause;
        row->negative = s.negative;
    }
    if (s.command != CommandState::None)
        row->command = s.command;
    if (row->key.direction == PointDirection::Monitoring || s.quality != 0)
        row->quality = s.quality;
    row->hasDeviceTime = s.hasTime;
    row->deviceTimeShort = s.timeShort;
    row->deviceTimeInvalid = s.timeInvalid;
    row->deviceTimeUs = s.timeUs;
    row->arrivalUs = arrivalUs;
    if (first)
        row->firstUs = arrivalUs;
    row->frameDirection = direction;
    row->frame.assign(frame.begin(), frame.end());
    model.Touch(static_cast<std::size_t>(row - model.rows_.data()));
    model.Mark(*row);
}

void PointFeeder::Frame()
{
    const PointSettings& settings = model.settings_;
    // MODBUS: pairing and the registers' addresses come from the frames
    // themselves, read here; the other protocols walk the decoded fields.
    decode::Protocol protocol = settings.protocol;
    if (protocol == decode::Protocol::Auto) {
        if (decode::ShapeIec104(frame))
            protocol = decode::Protocol::Iec104;
        else if (decode::ShapeModbusTcp(frame))
            protocol = decode::Protocol::ModbusTcp;
    }
    if (protocol == decode::Protocol::ModbusTcp || protocol == decode::Protocol::ModbusRtu) {
        Modbus(protocol);
        return;
    }
    if (protocol == decode::Protocol::Iec104 && settings.fastIec104 && FastIec104())
        return;
    decode::Options options;
    if (protocol == decode::Protocol::Dnp3 || (protocol == decode::Protocol::Auto && decode::ShapeDnp3(frame))) {
        // The transport header after the link header: a fragment of several
        // frames is read whole at its last, with the frames before it.
        if (frame.size() <= 10)
            return;
        const std::uint8_t transport = frame[10];
        auto& segments = link.segments[direction == Direction::ToDevice ? 0 : 1];
        if (transport & 0x40)
            segments.clear();
        if (!(transport & 0x80)) {
            if (segments.size() < kDnp3Segments)
                segments.emplace_back(frame.begin(), frame.end());
            return;
        }
        if (!(transport & 0x40))
            options.earlier = std::move(segments);
        segments.clear();
    }
    options.protocol = protocol;
    options.iec101 = settings.iec101;
    options.direction = direction == Direction::FromDevice ? decode::Direction::FromDevice
                                                           : decode::Direction::ToDevice;
    options.device = settings.device;
    const decode::Decoded d = decode::Decode(frame, options);
    switch (d.protocol) {
    case decode::Protocol::Iec104: Iec(d.fields, PointProtocol::Iec104); break;
    case decode::Protocol::Iec101: Iec(d.fields, PointProtocol::Iec101); break;
    case decode::Protocol::ModbusTcp:
    case decode::Protocol::ModbusRtu: Modbus(d.protocol); break;
    case decode::Protocol::Dnp3: Dnp3(d.fields); break;
    case decode::Protocol::Cdt: Cdt(d.fields); break;
    default: break;
    }
}

void PointFeeder::Iec(const decode::Fields& fields, PointProtocol protocol)
{
    const IecKeys& keys = IecKeysOf();
    Sample s;
    s.key.protocol = protocol;
    PointType type = PointType::Unknown;
    bool open = false;      // an object is being read
    std::uint32_t address = 0;
    bool addressKnown = false;
    const auto flush = [&] {
        if (open && addressKnown && type != PointType::Unknown) {
            s.key.address = address;
            Point(s);
        }
        open = false;
    };
    for (const decode::Field& f : fields) {
        const IecPart part = keys.Of(f.def);
        if (part == IecPart::None)
            continue;
        const std::uint64_t raw = Le(f.raw, f.raw.size());
        switch (part) {
        case IecPart::Asdu:
            flush();
            addressKnown = false;
            type = PointType::Unknown;
            break;
        case IecPart::Type:
            s.typeId = static_cast<std::uint8_t>(raw);
            type = IecPointType(s.typeId);
            s.type = type;
            s.key.direction = IsCommandType(type) ? PointDirection::Command : PointDirection::Monitoring;
            break;
        case IecPart::Cot:
            s.cause = static_cast<std::uint8_t>(raw & 0x3F);
            s.negative = (raw & 0x40) != 0;
            break;
        case IecPart::Pn: break;
        case IecPart::Common: s.key.station = static_cast<std::uint16_t>(raw); break;
        case IecPart::Object:
            flush();
            open = true;
            ++address; // an object of a sequence: the one after
            s.quality = 0;
            s.hasValue = false;
            s.hasTime = s.timeShort = s.timeInvalid = false;
            s.timeUs = 0;
            break;
        case IecPart::Ioa:
            address = static_cast<std::uint32_t>(raw);
            addressKnown = true;
            break;
        case IecPart::Siq:
            s.value = static_cast<double>(raw & 1);
            s.hasValue = true;
            s.quality = IecQuality(raw & 0xF0);
            break;
        case IecPart::Diq:
            s.value = static_cast<double>(raw & 3);
            s.hasValue = true;
            s.quality = IecQuality(raw & 0xF0);
            break;
        case IecPart::Sep:
            s.value = static_cast<double>(raw & 3);
            s.hasValue = true;
            s.quality = IecQuality(raw & 0xF8);
            break;
        case IecPart::Qds:
        case IecPart::Qdp: s.quality = IecQuality(raw); break;
        case IecPart::Vti:
        case IecPart::Nva:
        case IecPart::Sva:
        case IecPart::R32:
        case IecPart::Bcr:
            if (f.number) {
                s.value = *f.number;
                s.hasValue = true;
            }
            break;
        case IecPart::Bsi:
        case IecPart::Scd:
        case IecPart::Spe:
        case IecPart::Oci:
            s.value = static_cast<double>(part == IecPart::Spe   ? raw & 0x3F
                                          : part == IecPart::Oci ? raw & 0x0F
                                                                 : raw);
            s.hasValue = true;
            break;
        case IecPart::BcrSeq:
            s.quality = 0;
            if (raw & 0x20)
                s.quality |= kQualityCarry;
            if (raw & 0x40)
                s.quality |= kQualityAdjusted;
            if (raw & 0x80)
                s.quality |= kQualityInvalid;
            break;
        case IecPart::Cp24: {
            const auto ms = static_cast<std::int64_t>(raw & 0xFFFF);
            const auto minute = static_cast<std::int64_t>(raw >> 16 & 0x3F);
            s.hasTime = s.timeShort = true;
            s.timeInvalid = (raw >> 16 & 0x80) != 0;
            s.timeUs = (minute * 60'000 + ms) * 1000;
            break;
        }
        case IecPart::Cp56: Cp56(s, raw); break;
        case IecPart::Sco:
        case IecPart::Dco:
        case IecPart::Rco:
            s.value = static_cast<double>(raw & (part == IecPart::Sco ? 1 : 3));
            s.hasValue = true;
            break;
        default: break;
        }
        if (s.key.direction == PointDirection::Command) {
            switch (s.cause) {
            case 6: s.command = CommandState::Activation; break;
            case 7: s.command = s.negative ? CommandState::Negative : CommandState::Confirmation; break;
            case 10: s.command = s.negative ? CommandState::Negative : CommandState::Termination; break;
            case 44: case 45: case 46: case 47: s.command = CommandState::Negative; break;
            default: s.command = CommandState::None; break;
            }
        } else {
            s.command = CommandState::None;
        }
    }
    flush();
}

namespace {

// The monitoring types a plain APDU of which the fast reading takes: its
// elements in the order of the frame.
enum class FastElement : std::uint8_t { None, Siq, Diq, Vti, Bsi, Nva, Sva, R32, Bcr, Qds, Cp56 };

struct FastType {
    std::uint8_t id;
    std::array<FastElement, 3> elements;
    std::uint8_t size; // bytes of the elements
};

using FE = FastElement;
constexpr FastType kFastTypes[] = {
    {1, {FE::Siq}, 1},           {3, {FE::Diq}, 1},
    {5, {FE::Vti, FE::Qds}, 2},  {7, {FE::Bsi, FE::Qds}, 5},
    {9, {FE::Nva, FE::Qds}, 3},  {11, {FE::Sva, FE::Qds}, 3},
    {13, {FE::R32, FE::Qds}, 5}, {15, {FE::Bcr}, 5},
    {21, {FE::Nva}, 2},          {30, {FE::Siq, FE::Cp56}, 8},
    {31, {FE::Diq, FE::Cp56}, 8}, {32, {FE::Vti, FE::Qds, FE::Cp56}, 9},
    {33, {FE::Bsi, FE::Qds, FE::Cp56}, 12}, {34, {FE::Nva, FE::Qds, FE::Cp56}, 10},
    {35, {FE::Sva, FE::Qds, FE::Cp56}, 10}, {36, {FE::R32, FE::Qds, FE::Cp56}, 12},
    {37, {FE::Bcr, FE::Cp56}, 12},
};

const FastType* FastTypeOf(std::uint8_t id)
{
    for (const FastType& t : kFastTypes)
        if (t.id == id)
            return &t;
    return nullptr;
}

} // namespace

// IEC 104 monitoring frames read straight from their bytes, the same
// values as the decoder's fields give: only datagrams whose every APDU is
// whole and plain (an I-frame of one of kFastTypes whose objects fill its
// ASDU exactly, or an S- or U-frame); any other is left to the decoder.
// A frame of a known point then costs no allocation.
bool PointFeeder::FastIec104()
{
    const std::size_t n = frame.size();
    for (std::size_t at = 0; at < n;) {
        if (n - at < 6 || frame[at] != 0x68)
            return false;
        const std::size_t length = frame[at + 1];
        if (length < 4 || at + 2 + length > n)
            return false;
        if ((frame[at + 2] & 1) == 0) {
            if (length < 4 + 6 + 3)
                return false;
            const FastType* type = FastTypeOf(frame[at + 6]);
            const unsigned count = frame[at + 7] & 0x7Fu;
            const bool sequence = (frame[at + 7] & 0x80) != 0;
            if (type == nullptr || count == 0)
                return false;
            const std::size_t objects = length - 4 - 6;
            if (objects != (sequence ? 3 + count * type->size : count * (3u + type->size)))
                return false;
        } else if (length != 4) {
            return false;
        }
        at += 2 + length;
    }
    for (std::size_t at = 0; at < n; at += 2 + frame[at + 1]) {
        if ((frame[at + 2] & 1) != 0)
            continue;
        const FastType& type = *FastTypeOf(frame[at + 6]);
        const unsigned count = frame[at + 7] & 0x7Fu;
        const bool sequence = (frame[at + 7] & 0x80) != 0;
        Sample s;
        s.key.protocol = PointProtocol::Iec104;
        s.typeId = type.id;
        s.type = IecPointType(type.id);
        s.cause = frame[at + 8] & 0x3F;
        s.negative = (frame[at + 8] & 0x40) != 0;
        s.key.station = static_cast<std::uint16_t>(frame[at + 10] | frame[at + 11] << 8);
        std::size_t p = at + 12;
        std::uint32_t address = 0;
        for (unsigned i = 0; i < count; ++i) {
            if (i == 0 || !sequence) {
                address = static_cast<std::uint32_t>(frame[p] | frame[p + 1] << 8 | frame[p + 2] << 16);
                p += 3;
            } else {
                ++address;
            }
            s.key.address = address;
            s.quality = 0;
            s.hasValue = true;
            s.hasTime = s.timeShort = s.timeInvalid = false;
            s.timeUs = 0;
            for (const FastElement e : type.elements) {
                const Bytes b = frame.subspan(p);
                switch (e) {
                case FE::None: break;
                case FE::Siq:
                    s.value = b[0] & 1;
                    s.quality = IecQuality(b[0] & 0xF0u);
                    p += 1;
                    break;
                case FE::Diq:
                    s.value = b[0] & 3;
                    s.quality = IecQuality(b[0] & 0xF0u);
                    p += 1;
                    break;
                case FE::Vti: {
                    const int v = b[0] & 0x7F;
                    s.value = v >= 64 ? v - 128 : v;
                    p += 1;
                    break;
                }
                case FE::Bsi:
                    s.value = static_cast<double>(Le(b, 4));
                    p += 4;
                    break;
                case FE::Nva:
                    s.value = static_cast<std::int16_t>(Le(b, 2)) / 32768.0;
                    p += 2;
                    break;
                case FE::Sva:
                    s.value = static_cast<std::int16_t>(Le(b, 2));
                    p += 2;
                    break;
                case FE::R32: {
                    const auto raw = static_cast<std::uint32_t>(Le(b, 4));
                    float f;
                    std::memcpy(&f, &raw, sizeof f);
                    s.value = f;
                    p += 4;
                    break;
                }
                case FE::Bcr:
                    s.value = static_cast<std::int32_t>(static_cast<std::uint32_t>(Le(b, 4)));
                    s.quality = static_cast<std::uint16_t>((b[4] & 0x20 ? +kQualityCarry : 0)
                                                           | (b[4] & 0x40 ? +kQualityAdjusted : 0)
                                                           | (b[4] & 0x80 ? +kQualityInvalid : 0));
                    p += 5;
                    break;
                case FE::Qds:
                    s.quality = IecQuality(b[0]);
                    p += 1;
                    break;
                case FE::Cp56:
                    Cp56(s, Le(b, 7));
                    p += 7;
                    break;
                }
            }
            Point(s);
        }
    }
    return true;
}

void PointFeeder::ModbusRows(std::uint8_t unit, ModbusTable table, PointType type, unsigned start, unsigned count,
                             Bytes data, bool bits, CommandState command, std::uint8_t function)
{
    Sample s;
    s.key.protocol = PointProtocol::Modbus;
    s.key.station = unit;
    s.key.direction = command == CommandState::None ? PointDirection::Monitoring : PointDirection::Command;
    s.type = type;
    s.typeId = function;
    s.command = command;
    for (unsigned i = 0; i < count && start + i <= 0xFFFF; ++i) {
        if (!data.empty()) {
            if (bits) {
                if (i / 8 >= data.size())
                    break;
                s.value = data[i / 8] >> (i % 8) & 1;
            } else {
                if (2 * i + 1 >= data.size())
                    break;
                s.value = data[2 * i] << 8 | data[2 * i + 1];
            }
            s.hasValue = true;
        }
        s.key.address = std::uint64_t{static_cast<std::uint8_t>(table)} << 16 | (start + i);
        Point(s);
    }
}

void PointFeeder::Modbus(decode::Protocol framing)
{
    // The unit and the PDU of the frame.
    const bool tcp = framing == decode::Protocol::ModbusTcp;
    if (tcp ? frame.size() < 8 : frame.size() < 4)
        return;
    const std::uint8_t unit = tcp ? frame[6] : frame[0];
    const Bytes pdu = tcp ? frame.subspan(7) : frame.subspan(1, frame.size() - 3);
    if (pdu.empty())
        return;
    const bool request = (direction == Direction::ToDevice) == (model.settings_.device == decode::DeviceRole::Answers);
    const std::uint8_t function = pdu[0];
    const auto u16 = [&pdu](std::size_t at) -> unsigned { return at + 1 < pdu.size() ? pdu[at] << 8 | pdu[at + 1] : 0; };
    if (request) {
        if (framing != link.requestFraming || !tcp)
            for (auto& kept : link.requests)
                kept.clear();
        link.requestFraming = framing;
        link.requests[link.nextRequest % kModbusRequests].assign(frame.begin(), frame.end());
        link.nextRequest += 1;
        // A write is a command of its own.
        if (function == 5 && pdu.size() >= 5) {
            const std::uint8_t on = u16(3) == 0xFF00 ? 1 : 0;
            ModbusRows(unit, ModbusTable::Coil, PointType::Coil, u16(1), 1, Bytes(&on, 1), true,
                       CommandState::Activation, function);
        } else if (function == 6 && pdu.size() >= 5) {
            ModbusRows(unit, ModbusTable::HoldingRegister, PointType::HoldingRegister, u16(1), 1, pdu.subspan(3, 2),
                       false, CommandState::Activation, function);
        } else if (function == 15 && pdu.size() >= 6) {
            ModbusRows(unit, ModbusTable::Coil, PointType::Coil, u16(1), std::min(u16(3), 1968u), pdu.subspan(6),
                       true, CommandState::Activation, function);
        } else if (function == 16 && pdu.size() >= 6) {
            ModbusRows(unit, ModbusTable::HoldingRegister, PointType::HoldingRegister, u16(1), std::min(u16(3), 123u),
                       pdu.subspan(6), false, CommandState::Activation, function);
        }
        return;
    }
    if (link.requestFraming != framing)
        return;
    std::vector<std::uint8_t>* asked = nullptr;
    std::optional<decode::ModbusRequest> pair;
    for (std::size_t k = 1; k <= kModbusRequests && !pair; ++k) {
        auto& kept = link.requests[(link.nextRequest + kModbusRequests - k) % kModbusRequests];
        if (kept.empty())
            continue;
        pair = decode::PairModbus(kept, frame, framing);
        asked = &kept;
    }
    if (!pair)
        return;
    const Bytes req = tcp ? Bytes(*asked).subspan(7) : Bytes(*asked).subspan(1, asked->size() - 3);
    const bool exception = (function & 0x80) != 0;
    const auto reqU16 = [&req](std::size_t at) -> unsigned { return at + 1 < req.size() ? req[at] << 8 | req[at + 1] : 0; };
    const std::uint8_t base = function & 0x7F;
    switch (base) {
    case 1:
    case 2:
    case 3:
    case 4: {
        if (exception || pdu.size() < 2)
            break;
        const Bytes data = pdu.subspan(2, std::min<std::size_t>(pdu[1], pdu.size() - 2));
        static constexpr ModbusTable kTables[] = {ModbusTable::Coil, ModbusTable::DiscreteInput,
                                                  ModbusTable::HoldingRegister, ModbusTable::InputRegister};
        static constexpr PointType kTypes[] = {PointType::Coil, PointType::DiscreteInput, PointType::HoldingRegister,
                                               PointType::InputRegister};
        ModbusRows(unit, kTables[base - 1], kTypes[base - 1], pair->start, pair->quantity, data, base <= 2,
                   CommandState::None, function);
        break;
    }
    case 5:
    case 6:
    case 15:
    case 16: {
        // The write's confirmation, or its refusal, on the rows it wrote.
        const bool coils = base == 5 || base == 15;
        const unsigned count = base <= 6 ? 1 : std::min(reqU16(3), coils ? 1968u : 123u);
        ModbusRows(unit, coils ? ModbusTable::Coil : ModbusTable::HoldingRegister,
                   coils ? PointType::Coil : PointType::HoldingRegister, reqU16(1), count, {}, coils,
                   exception ? CommandState::Negative : CommandState::Confirmation, function);
        break;
    }
    default: break;
    }
    asked->clear();
}

void PointFeeder::Dnp3(const decode::Fields& fields)
{
    static const auto def = [](std::string_view key) {
        for (const decode::FieldDef& d : decode::Dnp3Fields())
            if (d.key == key)
                return &d;
        return static_cast<const decode::FieldDef*>(nullptr);
    };
    static const decode::FieldDef* const kSource = def("dnp3.source");
    static const decode::FieldDef* const kDestination = def("dnp3.destination");
    static const decode::FieldDef* const kFunction = def("dnp3.application.function");
    static const decode::FieldDef* const kGroup = def("dnp3.object.group");
    static const decode::FieldDef* const kPoint = def("dnp3.point");
    static const decode::FieldDef* const kIndex = def("dnp3.point.index");
    static const decode::FieldDef* const kFlags = def("dnp3.point.flags");
    static const decode::FieldDef* const kValue = def("dnp3.point.value");
    static const decode::FieldDef* const kTime = def("dnp3.point.time");
    static const decode::FieldDef* const kStatus = def("dnp3.point.status");
    static const decode::FieldDef* const kControl = def("dnp3.point.control_code");

    unsigned source = 0, destination = 0, function = 0, group = 0;
    Sample s;
    s.key.protocol = PointProtocol::Dnp3;
    bool open = false;
    bool pointGroup = false;
    std::uint64_t index = 0;
    const auto flush = [&] {
        if (open && pointGroup) {
            s.key.address = std::uint64_t{s.typeId} << 32 | (index & 0xFFFFFFFF);
            Point(s);
        }
        open = false;
    };
    for (const decode::Field& f : fields) {
        if (f.def == nullptr)
            continue;
        if (f.def == kSource) {
            source = static_cast<unsigned>(f.number.value_or(0));
        } else if (f.def == kDestination) {
            destination = static_cast<unsigned>(f.number.value_or(0));
        } else if (f.def == kFunction) {
            function = static_cast<unsigned>(f.number.value_or(0));
        } else if (f.def == kGroup) {
            flush();
            group = static_cast<unsigned>(f.number.value_or(0));
            // The point's static group and its type; the events and
            // commands of a group are its points too.
            PointType type = PointType::Unknown;
            unsigned key = group;
            bool command = false;
            switch (group) {
            case 1: case 2: key = 1; type = PointType::BinaryInput; break;
            case 3: case 4: key = 3; type = PointType::DoubleBitInput; break;
            case 10: case 11: key = 10; type = PointType::BinaryOutput; break;
            case 12: key = 10; type = PointType::BinaryOutput; command = true; break;
            case 20: case 22: key = 20; type = PointType::DnpCounter; break;
            case 21: case 23: key = 21; type = PointType::FrozenCounter; break;
            case 30: case 32: key = 30; type = PointType::AnalogInput; break;
            case 40: case 42: key = 40; type = PointType::AnalogOutput; break;
            case 41: key = 40; type = PointType::AnalogOutput; command = true; break;
            default: break;
            }
            pointGroup = type != PointType::Unknown;
            s.type = type;
            s.typeId = static_cast<std::uint8_t>(key);
            s.key.direction = command ? PointDirection::Command : PointDirection::Monitoring;
            // A request goes from the master to the outstation: the
            // station is the one it is sent to.
            s.key.station = static_cast<std::uint16_t>(function >= 129 ? source : destination);
            if (command) {
                s.command = function == 129 ? CommandState::Confirmation
                    : (function >= 3 && function <= 6) ? CommandState::Activation
                                                       : CommandState::None;
                if (!(function == 129 || (function >= 3 && function <= 6)))
                    pointGroup = false; // a read of a command group names no command
            } else {
                s.command = CommandState::None;
                if (function < 129)
                    pointGroup = false; // a request's objects ask, they carry no values
            }
        } else if (f.def == kPoint) {
            flush();
            open = true;
            // "Point 5": the index is the name's number, unless a prefix field says it.
            const auto space = f.name.rfind(' ');
            index = 0;
            for (std::size_t i = space == std::string::npos ? 0 : space + 1; i < f.name.size(); ++i)
                if (f.name[i] >= '0' && f.name[i] <= '9')
                    index = index * 10 + static_cast<std::uint64_t>(f.name[i] - '0');
            s.hasValue = f.number.has_value();
            s.value = f.number.value_or(0);
            s.quality = 0;
            s.hasTime = s.timeShort = s.timeInvalid = false;
            s.timeUs = 0;
            // Each command point starts from its header's state; its own
            // status may refuse it.
            if (s.key.direction == PointDirection::Command)
                s.command = function == 129 ? CommandState::Confirmation : CommandState::Activation;
        } else if (f.def == kIndex && open) {
            index = static_cast<std::uint64_t>(f.number.value_or(0));
        } else if (f.def == kFlags && open) {
            s.quality = DnpQuality(static_cast<unsigned>(f.number.value_or(1)), s.type);
        } else if (f.def == kValue && open && !s.hasValue) {
            s.hasValue = f.number.has_value();
            s.value = f.number.value_or(0);
        } else if (f.def == kTime && open && f.raw.size() == 6) {
            s.hasTime = true;
            s.timeUs = static_cast<std::int64_t>(Le(f.raw, 6)) * 1000;
        } else if (f.def == kControl && open && f.number) {
            // A control relay output block's state: close or trip where it
            // says, else on for pulse on and latch on, off for their offs.
            const auto code = static_cast<unsigned>(*f.number);
            const unsigned tripClose = code >> 6 & 3, operation = code & 0x0F;
            s.hasValue = tripClose == 1 || tripClose == 2 || (operation >= 1 && operation <= 4);
            s.value = tripClose == 1 ? 1 : tripClose == 2 ? 0 : (operation == 1 || operation == 3) ? 1 : 0;
        } else if (f.def == kStatus && open && s.key.direction == PointDirection::Command && function == 129) {
            s.command = f.number.value_or(0) == 0 ? CommandState::Confirmation : CommandState::Negative;
        }
    }
    flush();
}

void PointFeeder::Cdt(const decode::Fields& fields)
{
    static const auto def = [](std::string_view key) {
        for (const decode::FieldDef& d : decode::CdtFields())
            if (d.key == key)
                return &d;
        return static_cast<const decode::FieldDef*>(nullptr);
    };
    static const decode::FieldDef* const kSource = def("cdt.source");
    static const decode::FieldDef* const kFunction = def("cdt.function");
    static const decode::FieldDef* const kData = def("cdt.data");
    static const decode::FieldDef* const kMeasurement = def("cdt.measurement");
    static const decode::FieldDef* const kPulses = def("cdt.pulse_count");
    static const decode::FieldDef* const kCrc = def("cdt.crc");
    static const decode::FieldDef* const kWord = def("cdt.word");

    Sample s;
    s.key.protocol = PointProtocol::Cdt;
    unsigned code = 0;
    unsigned measurement = 0; // of the word: 0 or 1
    // A word's points wait for its check code: a word that fails it is dropped.
    std::vector<Sample> word;
    for (const decode::Field& f : fields) {
        if (f.def == kSource) {
            s.key.station = static_cast<std::uint16_t>(f.number.value_or(0));
        } else if (f.def == kWord) {
            word.clear();
        } else if (f.def == kFunction) {
            code = static_cast<unsigned>(f.number.value_or(0));
            measurement = 0;
        } else if (f.def == kMeasurement && code <= 0x7F && f.raw.size() == 2) {
            const unsigned w = static_cast<unsigned>(f.raw[0] | f.raw[1] << 8);
            Sample m = s;
            m.type = PointType::Measurement;
            m.typeId = static_cast<std::uint8_t>(code);
            m.key.address = std::uint64_t{static_cast<std::uint8_t>(CdtKind::Measurement)} << 16
                | (2 * code + measurement++);
            m.hasValue = f.number.has_value();
            m.value = f.number.value_or(0);
            m.quality = 0;
            if (w & 0x8000)
                m.quality |= kQualityInvalid;
            if (w & 0x4000)
                m.quality |= kQualityOverflow;
            word.push_back(m);
        } else if (f.def == kPulses && code >= 0xA0 && code <= 0xDF) {
            Sample m = s;
            m.type = PointType::Energy;
            m.typeId = static_cast<std::uint8_t>(code);
            m.key.address = std::uint64_t{static_cast<std::uint8_t>(CdtKind::Energy)} << 16 | (code - 0xA0);
            m.hasValue = f.number.has_value();
            m.value = f.number.value_or(0);
            m.quality = 0;
            if (f.raw.size() == 4 && (f.raw[3] & 0x80)) // bit 31 of the word: the count is invalid
                m.quality |= kQualityInvalid;
            word.push_back(m);
        } else if (f.def == kData && code >= 0xF0 && f.raw.size() == 4) {
            for (unsigned bit = 0; bit < 32; ++bit) {
                Sample m = s;
                m.type = PointType::Signal;
                m.typeId = static_cast<std::uint8_t>(code);
                m.key.address = std::uint64_t{static_cast<std::uint8_t>(CdtKind::Signal)} << 16
                    | (32 * (code - 0xF0) + bit);
                m.hasValue = true;
                m.value = f.raw[bit / 8] >> (bit % 8) & 1;
                word.push_back(m);
            }
        } else if (f.def == kCrc) {
            if (f.verdict != decode::Verdict::Bad)
                for (const Sample& m : word)
                    Point(m);
            word.clear();
        }
    }
}

PointModel::PointModel(PointSettings settings) : settings_(settings), links_(std::make_unique<Links>()) {}

PointModel::~PointModel() = default;

void PointModel::SetSettings(const PointSettings& settings)
{
    settings_ = settings;
    links_->links.clear();
}

void PointModel::Feed(std::span<const std::uint8_t> bytes, Direction direction, std::int64_t arrivalUs, LinkKey link,
                      bool stream)
{
    if (bytes.empty())
        return;
    if (firstUs_ == 0 || arrivalUs < firstUs_)
        firstUs_ = arrivalUs;
    lastUs_ = std::max(lastUs_, arrivalUs);
    ++generation_;
    Links::Link& l = links_->links[link];
    const auto whole = [&](Bytes frame) { PointFeeder{*this, l, direction, arrivalUs, frame}.Frame(); };
    if (!stream) {
        whole(bytes);
        return;
    }
    // A stream of a protocol the cutter knows (IEC 104, MODBUS) is cut into
    // its frames; the others (IEC 101, DNP3, CDT: their start bytes at the
    // first chunk when the protocol is chosen by shape) are taken a chunk a
    // frame.
    if (!l.chunksChosen) {
        l.chunksChosen = true;
        switch (settings_.protocol) {
        case decode::Protocol::Iec104: l.cutter.SetProtocol(LinkProtocol::Iec104); break;
        case decode::Protocol::ModbusTcp: l.cutter.SetProtocol(LinkProtocol::ModbusTcp); break;
        case decode::Protocol::ModbusRtu: l.cutter.SetProtocol(LinkProtocol::ModbusRtu); break;
        case decode::Protocol::Auto: {
            const std::size_t n = bytes.size();
            l.chunksWhole = (n >= 2 && bytes[0] == 0x05 && bytes[1] == 0x64)              // DNP3
                || (n >= 2 && bytes[0] == 0xEB && bytes[1] == 0x90)                         // CDT
                || (n >= 4 && bytes[0] == 0x68 && bytes[1] == bytes[2] && bytes[3] == 0x68) // IEC 101 variable
                || (bytes[0] == 0x10 && n >= 4 && bytes[n - 1] == 0x16);                    // IEC 101 fixed
            break;
        }
        default: l.chunksWhole = true; break;
        }
    }
    if (l.chunksWhole) {
        whole(bytes);
        return;
    }
    l.cutter.Feed(direction, bytes, whole);
}

void PointModel::ResetLink(LinkKey link)
{
    links_->links.erase(link);
}

PointRow* PointModel::RowFor(const PointKey& key, std::int64_t arrivalUs)
{
    if (const auto it = index_.find(key); it != index_.end()) {
        PointRow& row = rows_[it->second];
        if (row.listOnly != 0) {
            // The list's point arrives: its "未收到" row becomes its row.
            row.listOnly = 0;
            row.marks &= static_cast<std::uint8_t>(~kMarkMissing);
            row.firstUs = arrivalUs;
            if (row.listIndex >= 0)
                SeenEntry(static_cast<std::size_t>(row.listIndex));
        }
        return &row;
    }
    if (rows_.size() >= settings_.maxRows) {
        ++dropped_;
        return nullptr;
    }
    PointRow row;
    row.key = key;
    row.firstUs = arrivalUs;
    row.listIndex = list_.Find(key.protocol, key.station, key.address);
    if (row.listIndex >= 0)
        SeenEntry(static_cast<std::size_t>(row.listIndex));
    index_.emplace(key, rows_.size());
    rows_.push_back(std::move(row));
    return &rows_.back();
}

void PointModel::SeenEntry(std::size_t entry)
{
    if (entrySeen_[entry])
        return;
    entrySeen_[entry] = 1;
    // The entry's "未收到" row made for the other direction is no longer missing.
    if (const std::int64_t missing = missingRow_[entry]; missing >= 0) {
        PointRow& row = rows_[static_cast<std::size_t>(missing)];
        if (row.listOnly != 0) {
            row.marks &= static_cast<std::uint8_t>(~kMarkMissing);
            Touch(static_cast<std::size_t>(missing));
        }
    }
}

void PointModel::Mark(PointRow& row)
{
    std::uint8_t marks = 0;
    if (row.listOnly != 0) {
        marks = row.listIndex >= 0 && !entrySeen_[static_cast<std::size_t>(row.listIndex)] ? kMarkMissing : 0;
    } else {
        const PointListEntry* entry = EntryOf(row);
        if (entry == nullptr) {
            if (!list_.Empty())
                marks |= kMarkUnlisted;
        } else {
            if (entry->type != PointType::Unknown && row.type != entry->type)
                marks |= kMarkWrongType;
            if (row.hasValue
                && ((entry->low && !(row.value >= *entry->low)) || (entry->high && !(row.value <= *entry->high))))
                marks |= kMarkOutOfRange;
        }
        if (row.quality & kQualityBad)
            marks |= kMarkBadQuality;
    }
    row.marks = marks;
}

const PointListEntry* PointModel::EntryOf(const PointRow& row) const
{
    if (row.listIndex < 0 || static_cast<std::size_t>(row.listIndex) >= list_.Entries().size())
        return nullptr;
    return &list_.Entries()[static_cast<std::size_t>(row.listIndex)];
}

void PointModel::SetList(PointList list)
{
    list_ = std::move(list);
    ++generation_;
    entrySeen_.assign(list_.Entries().size(), 0);
    missingRow_.assign(list_.Entries().size(), -1);
    for (PointRow& row : rows_) {
        if (row.listOnly != 0) {
            // A "未收到" row of an earlier list: keeps its index, now an
            // entry of no list unless the new one has it.
            row.listIndex = -1;
            row.marks = 0;
            continue;
        }
        row.listIndex = list_.Find(row.key.protocol, row.key.station, row.key.address);
        if (row.listIndex >= 0)
            entrySeen_[static_cast<std::size_t>(row.listIndex)] = 1;
    }
    MakeMissingRows();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Mark(rows_[i]);
        Touch(i);
    }
}

void PointModel::MakeMissingRows()
{
    const auto& entries = list_.Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const PointListEntry& e = entries[i];
        const PointKey key{e.protocol, IsCommandType(e.type) ? PointDirection::Command : PointDirection::Monitoring,
                           e.station, e.address};
        if (const auto it = index_.find(key); it != index_.end()) {
            PointRow& row = rows_[it->second];
            if (row.listOnly != 0) { // kept from an earlier list
                row.listIndex = static_cast<std::int32_t>(i);
                missingRow_[i] = static_cast<std::int64_t>(it->second);
            }
            continue;
        }
        if (entrySeen_[i])
            continue;
        if (rows_.size() >= settings_.maxRows) {
            ++dropped_;
            continue;
        }
        PointRow row;
        row.key = key;
        row.type = e.type;
        row.listIndex = static_cast<std::int32_t>(i);
        row.listOnly = 1;
        missingRow_[i] = static_cast<std::int64_t>(rows_.size());
        index_.emplace(key, rows_.size());
        rows_.push_back(std::move(row));
    }
}

void PointModel::Touch(std::size_t index)
{
    PointRow& row = rows_[index];
    if (row.generation <= snapshot_)
        touched_.push_back(static_cast<std::uint32_t>(index));
    row.generation = generation_;
}

std::vector<std::size_t> PointModel::ChangedSince(std::uint64_t since, std::uint64_t& now) const
{
    now = generation_;
    std::vector<std::size_t> out;
    if (since == snapshot_) {
        // The reader that asked last asks again: the rows touched since,
        // without looking at the others.
        out.assign(touched_.begin(), touched_.end());
        std::sort(out.begin(), out.end());
        touched_.clear();
        snapshot_ = generation_;
        return out;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].generation > since)
            out.push_back(i);
    return out;
}

PointCounts PointModel::Counts() const
{
    PointCounts c;
    c.listed = list_.Entries().size();
    for (const PointRow& row : rows_) {
        if (row.listOnly != 0)
            continue;
        c.seen += 1;
        if (row.key.direction == PointDirection::Command)
            c.commands += 1;
        if (row.marks & kMarkUnlisted)
            c.unlisted += 1;
        if (row.marks & kMarkOutOfRange)
            c.outOfRange += 1;
        if (row.marks & kMarkWrongType)
            c.wrongType += 1;
        if (row.marks & kMarkBadQuality)
            c.badQuality += 1;
    }
    for (const std::uint8_t seen : entrySeen_)
        c.onList += seen;
    c.missing = c.listed - c.onList;
    c.dropped = dropped_;
    c.limitReached = dropped_ > 0;
    return c;
}

std::string PointModel::SummaryLine() const
{
    const PointCounts c = Counts();
    std::string out = "points: " + std::to_string(c.seen) + " seen, " + std::to_string(c.commands) + " commands";
    if (c.listed > 0)
        out += ", list " + std::to_string(c.listed) + ": " + std::to_string(c.onList) + " on the list, "
            + std::to_string(c.missing) + " missing, " + std::to_string(c.unlisted) + " not on the list";
    out += ", " + std::to_string(c.outOfRange) + " out of range, " + std::to_string(c.wrongType) + " wrong type, "
        + std::to_string(c.badQuality) + " bad quality";
    if (c.limitReached)
        out += ", limit reached: " + std::to_string(c.dropped) + " dropped";
    return out;
}

void PointModel::Clear()
{
    rows_.clear();
    index_.clear();
    touched_.clear();
    links_->links.clear();
    dropped_ = 0;
    firstUs_ = lastUs_ = 0;
    ++generation_;
    SetList(std::move(list_));
}

} // namespace analysis
