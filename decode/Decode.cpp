#include "decode/Decode.h"

#include <string>

namespace decode {

namespace {

// Strong start markers first (a DNP3 or CDT frame cannot be mistaken for the
// others), then the IEC frames, then MODBUS/TCP's header, and last the
// shapes that rest on a check code alone.
Protocol DetectProtocol(Bytes frame, const IecSizes& sizes)
{
    if (ShapeDnp3(frame))
        return Protocol::Dnp3;
    if (ShapeCdt(frame))
        return Protocol::Cdt;
    if (ShapeIec101(frame, sizes))
        return Protocol::Iec101;
    if (ShapeIec104(frame))
        return Protocol::Iec104;
    if (ShapeModbusTcp(frame))
        return Protocol::ModbusTcp;
    if (ShapeModbusRtu(frame))
        return Protocol::ModbusRtu;
    if (ShapeCheckSum(frame))
        return Protocol::CheckSum;
    return Protocol::Unrecognised;
}

} // namespace

Decoded Decode(Bytes frame, const Options& options)
{
    Decoded d;
    d.protocol = options.protocol == Protocol::Auto
        ? DetectProtocol(frame, options.iec101)
        : options.protocol;
    switch (d.protocol) {
    case Protocol::Iec104: d.fields = DecodeIec104(frame); break;
    case Protocol::Iec101: d.fields = DecodeIec101(frame, options.iec101); break;
    case Protocol::ModbusTcp: d.fields = DecodeModbusTcp(frame); break;
    case Protocol::ModbusRtu: d.fields = DecodeModbusRtu(frame); break;
    case Protocol::Dnp3: d.fields = DecodeDnp3(frame); break;
    case Protocol::Cdt: d.fields = DecodeCdt(frame); break;
    case Protocol::CheckSum: d.fields = DecodeCheckSum(frame); break;
    case Protocol::Auto:
    case Protocol::Unrecognised: {
        d.protocol = Protocol::Unrecognised;
        FieldWriter w(d.fields, frame);
        w.Add(0, "Unrecognised frame", 0, frame.size(),
              std::to_string(frame.size()) + " bytes");
        break;
    }
    }
    return d;
}

std::string_view ProtocolName(Protocol protocol)
{
    switch (protocol) {
    case Protocol::Auto: return "Automatic";
    case Protocol::Iec104: return "IEC 60870-5-104";
    case Protocol::Iec101: return "IEC 60870-5-101";
    case Protocol::ModbusTcp: return "MODBUS/TCP";
    case Protocol::ModbusRtu: return "MODBUS RTU";
    case Protocol::Dnp3: return "DNP3";
    case Protocol::Cdt: return "CDT";
    case Protocol::CheckSum: return "Sum or parity frame";
    case Protocol::Unrecognised: return "Unrecognised";
    }
    return "Unrecognised";
}

} // namespace decode
