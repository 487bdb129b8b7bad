#include "decode/Decode.h"
#include "decode/Dnp3.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace decode {

namespace {

enum FrameField : std::size_t { Unrecognised, FrameFieldCount };

constexpr std::array<FieldDef, FrameFieldCount> kFrameFields{{
    {"frame.unrecognised", NC_("decode", "Unrecognised frame")},
}};

// A shape test or decoder that needs no options, and one that needs the IEC
// 101 sizes, as the table calls them.
template <auto function>
auto Plain(Bytes frame, const Options&)
{
    return function(frame);
}

template <auto function>
auto Iec101(Bytes frame, const Options& options)
{
    return function(frame, options.iec101);
}

template <auto function>
Fields WithOptions(Bytes frame, const Options& options)
{
    return function(frame, options);
}

// Detection ranks: strong start markers first (a DNP3 or CDT frame cannot be
// mistaken for the others), then the shapes whose check codes verify (IEC
// 101, MODBUS RTU), then IEC 104's start bytes and lengths, an RTU frame
// whose CRC alone is wrong, MODBUS/TCP's header, and last the sum frames.
// Made once, at the first use.
const auto& Rows()
{
    static const std::array kProtocols{
        ProtocolEntry{Protocol::Auto, NC_("decode", "Automatic"), 0, nullptr, nullptr, {}, {}},
        ProtocolEntry{Protocol::Iec104, "IEC 60870-5-104", 5, Plain<ShapeIec104>, Plain<DecodeIec104>,
                      Iec104Fields(), IecAsduFields()},
        ProtocolEntry{Protocol::Iec101, "IEC 60870-5-101", 3, Iec101<ShapeIec101>, Iec101<DecodeIec101>,
                      Iec101Fields(), IecAsduFields()},
        ProtocolEntry{Protocol::ModbusTcp, "MODBUS/TCP", 7, Plain<ShapeModbusTcp>, WithOptions<DecodeModbusTcp>,
                      ModbusFields(), {}},
        ProtocolEntry{Protocol::ModbusRtu, "MODBUS RTU", 4, Plain<ShapeModbusRtu>, WithOptions<DecodeModbusRtu>,
                      ModbusFields(), {}},
        ProtocolEntry{Protocol::Dnp3, "DNP3", 1, Plain<ShapeDnp3>, dnp3::DecodeWithOptions, Dnp3Fields(), {}},
        ProtocolEntry{Protocol::Cdt, "CDT", 2, Plain<ShapeCdt>, Plain<DecodeCdt>, CdtFields(), {}},
        ProtocolEntry{Protocol::CheckSum, NC_("decode", "Sum or parity frame"), 8, Plain<ShapeCheckSum>,
                      Plain<DecodeCheckSum>, CheckSumFields(), {}},
    };
    return kProtocols;
}

const ProtocolEntry* Find(Protocol protocol)
{
    const auto it = std::ranges::find(Rows(), protocol, &ProtocolEntry::protocol);
    return it == Rows().end() ? nullptr : &*it;
}

// One step of automatic detection: a shape test and the row it chooses.
struct Detection {
    int rank;
    bool (*shape)(Bytes frame, const Options& options);
    const ProtocolEntry* row;
};

// The second, weaker shapes a protocol is also recognised by, each at a rank
// of its own: a frame that is MODBUS RTU in every respect but its CRC.
struct WeakShape {
    int rank;
    bool (*shape)(Bytes frame, const Options& options);
    Protocol protocol;
};

constexpr WeakShape kWeakShapes[] = {
    {6, Plain<ShapeModbusRtuButCrc>, Protocol::ModbusRtu},
};

// The shapes automatic detection tries, in rank order; made once.
const std::vector<Detection>& DetectionOrder()
{
    static const std::vector<Detection> order = [] {
        std::vector<Detection> steps;
        for (const ProtocolEntry& row : Rows())
            if (row.detectRank > 0)
                steps.push_back({row.detectRank, row.shape, &row});
        for (const WeakShape& weak : kWeakShapes)
            steps.push_back({weak.rank, weak.shape, Find(weak.protocol)});
        std::ranges::stable_sort(steps, {}, &Detection::rank);
        return steps;
    }();
    return order;
}

} // namespace

std::span<const ProtocolEntry> Protocols()
{
    return Rows();
}

std::span<const FieldDef> FrameFields()
{
    return kFrameFields;
}

Decoded Decode(Bytes frame, const Options& options)
{
    const TranslatorScope texts(options.translate);
    Decoded d;
    const ProtocolEntry* row = nullptr;
    if (options.protocol == Protocol::Auto) {
        for (const Detection& step : DetectionOrder())
            if (step.shape(frame, options)) {
                row = step.row;
                break;
            }
    } else {
        row = Find(options.protocol);
    }
    if (row && row->decode) {
        d.protocol = row->protocol;
        d.fields = row->decode(frame, options);
    } else {
        d.protocol = Protocol::Unrecognised;
        FieldWriter w(d.fields, frame);
        w.Add(0, kFrameFields[Unrecognised], 0, frame.size(), Arg(C_("decode", "%1 bytes"), {std::to_string(frame.size())}))
            .number = static_cast<double>(frame.size());
    }
    return d;
}

std::string_view ProtocolName(Protocol protocol)
{
    const ProtocolEntry* row = Find(protocol);
    return TableText(row ? row->name : NC_("decode", "Unrecognised"));
}

} // namespace decode
