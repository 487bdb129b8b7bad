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
    {"frame.unrecognised", "Unrecognised frame"},
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

// Detection ranks: strong start markers first (a DNP3 or CDT frame cannot be
// mistaken for the others), then the IEC frames, then MODBUS/TCP's header,
// and last the shapes that rest on a check code alone. Made once, at the
// first use.
const auto& Rows()
{
    static const std::array kProtocols{
        ProtocolEntry{Protocol::Auto, "Automatic", 0, nullptr, nullptr, {}, {}},
        ProtocolEntry{Protocol::Iec104, "IEC 60870-5-104", 4, Plain<ShapeIec104>, Plain<DecodeIec104>,
                      Iec104Fields(), IecAsduFields()},
        ProtocolEntry{Protocol::Iec101, "IEC 60870-5-101", 3, Iec101<ShapeIec101>, Iec101<DecodeIec101>,
                      Iec101Fields(), IecAsduFields()},
        ProtocolEntry{Protocol::ModbusTcp, "MODBUS/TCP", 5, Plain<ShapeModbusTcp>, Plain<DecodeModbusTcp>,
                      ModbusFields(), {}},
        ProtocolEntry{Protocol::ModbusRtu, "MODBUS RTU", 6, Plain<ShapeModbusRtu>, Plain<DecodeModbusRtu>,
                      ModbusFields(), {}},
        ProtocolEntry{Protocol::Dnp3, "DNP3", 1, Plain<ShapeDnp3>, dnp3::DecodeWithOptions, Dnp3Fields(), {}},
        ProtocolEntry{Protocol::Cdt, "CDT", 2, Plain<ShapeCdt>, Plain<DecodeCdt>, CdtFields(), {}},
        ProtocolEntry{Protocol::CheckSum, "Sum or parity frame", 7, Plain<ShapeCheckSum>,
                      Plain<DecodeCheckSum>, CheckSumFields(), {}},
    };
    return kProtocols;
}

// The rows automatic detection tries, in rank order; made once.
const std::vector<const ProtocolEntry*>& DetectionOrder()
{
    static const std::vector<const ProtocolEntry*> order = [] {
        std::vector<const ProtocolEntry*> rows;
        for (const ProtocolEntry& row : Rows())
            if (row.detectRank > 0)
                rows.push_back(&row);
        std::ranges::sort(rows, {}, &ProtocolEntry::detectRank);
        return rows;
    }();
    return order;
}

const ProtocolEntry* Find(Protocol protocol)
{
    const auto it = std::ranges::find(Rows(), protocol, &ProtocolEntry::protocol);
    return it == Rows().end() ? nullptr : &*it;
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
    Decoded d;
    const ProtocolEntry* row = nullptr;
    if (options.protocol == Protocol::Auto) {
        for (const ProtocolEntry* candidate : DetectionOrder())
            if (candidate->shape(frame, options)) {
                row = candidate;
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
        w.Add(0, kFrameFields[Unrecognised], 0, frame.size(), std::to_string(frame.size()) + " bytes")
            .number = static_cast<double>(frame.size());
    }
    return d;
}

std::string_view ProtocolName(Protocol protocol)
{
    const ProtocolEntry* row = Find(protocol);
    return row ? row->name : "Unrecognised";
}

} // namespace decode
