#pragma once

#include "decode/Field.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// The protocol decoders and the choice among them. Each decoder is a pure
// function from a frame's bytes to its fields; each `Shape...` function says
// whether the bytes have that protocol's shape (its start bytes and lengths,
// or, for a protocol without start bytes, a check code that verifies), which
// is what automatic detection goes by.

namespace decode {

enum class Protocol {
    Auto,       // chosen from the frame's shape
    Iec104,     // IEC 60870-5-104 APDUs, one or several in a row
    Iec101,     // IEC 60870-5-101 FT 1.2 fixed and variable frames
    ModbusTcp,  // MBAP header and PDU
    ModbusRtu,  // unit, PDU, CRC
    Dnp3,       // link frame with its CRC blocks
    Cdt,        // synchronisation, control word, information words
    CheckSum,   // a frame whose last byte is the sum or the parity of the rest
    Unrecognised
};

// The sizes an IEC 60870-5-101 link is configured with, in bytes. IEC 104
// uses 2, 2 and 3 for cause, common address and object address.
struct IecSizes {
    int linkAddress = 1;   // 1 or 2 (0 for none, balanced links)
    int cause = 1;         // 1 or 2 (the second byte the originator address)
    int commonAddress = 1; // 1 or 2
    int objectAddress = 2; // 1, 2 or 3
};

// Which way a frame went: to the device, from it, or not known (a text
// loaded from a file).
enum class Direction { Unknown, ToDevice, FromDevice };

// The device's part in its conversation: most devices answer (a MODBUS
// server, an outstation polled by its master); a device that connects to
// the TCP server monitor as a MODBUS/TCP client asks.
enum class DeviceRole { Answers, Asks };

struct Options {
    Protocol protocol = Protocol::Auto;
    IecSizes iec101;
    // The frame's direction and the device's part, from the window the frame
    // is on (the receive window: from the device; the send window: to it).
    Direction direction = Direction::Unknown;
    DeviceRole device = DeviceRole::Answers;
    // The frames before this one in the same window, oldest first (a bounded
    // number), all in `direction`: for pairing a MODBUS response with its
    // request and reassembling DNP3 transport segments.
    std::vector<std::vector<std::uint8_t>> earlier = {};
    // The last frame sent to the device, for pairing a response in the
    // receive window with its request; empty when none is known.
    std::vector<std::uint8_t> lastSent = {};
    // The translator of the texts (names, meanings) while this frame is
    // decoded; none: English.
    Translator translate = nullptr;
};

struct Decoded {
    Protocol protocol = Protocol::Unrecognised;
    Fields fields;
};

// The decoder chosen by options.protocol, or by the frame's shape when Auto.
// A frame that matches nothing gives Unrecognised and one field with its
// length.
[[nodiscard]] Decoded Decode(Bytes frame, const Options& options = {});

// The protocol's name as the decode window shows it ("IEC 60870-5-104"),
// in the language of the translator in force.
[[nodiscard]] std::string_view ProtocolName(Protocol protocol);

// One row of the protocol table: what `Decode`, `ProtocolName` and the
// decode window's protocol chooser all read.
struct ProtocolEntry {
    Protocol protocol;
    std::string_view name;   // as the chooser and the tree's first line show it
    int detectRank;          // automatic detection tries the lower ranks first; 0: never
    bool (*shape)(Bytes frame, const Options& options);
    Fields (*decode)(Bytes frame, const Options& options);
    std::span<const FieldDef> fields;   // its decoder's field table
    std::span<const FieldDef> carried;  // the fields of a layer it shares with others
};

// The rows in the chooser's order, "Automatic" (no decoder) first.
[[nodiscard]] std::span<const ProtocolEntry> Protocols();

// The field tables of the decoders; the key is unique over all of them.
[[nodiscard]] std::span<const FieldDef> Iec104Fields();
[[nodiscard]] std::span<const FieldDef> Iec101Fields();
[[nodiscard]] std::span<const FieldDef> ModbusFields();
[[nodiscard]] std::span<const FieldDef> Dnp3Fields();
[[nodiscard]] std::span<const FieldDef> CdtFields();
[[nodiscard]] std::span<const FieldDef> CheckSumFields();
[[nodiscard]] std::span<const FieldDef> IecAsduFields();
[[nodiscard]] std::span<const FieldDef> FrameFields(); // what Decode itself says

// --- One decoder per protocol ---------------------------------------------

[[nodiscard]] bool ShapeIec104(Bytes frame);
[[nodiscard]] Fields DecodeIec104(Bytes frame);

[[nodiscard]] bool ShapeIec101(Bytes frame, const IecSizes& sizes);
[[nodiscard]] Fields DecodeIec101(Bytes frame, const IecSizes& sizes);

// A MODBUS frame is read as a request or a response by its direction and
// the device's part (`Options`); where the direction is not known, by its
// lengths, and where both readings fit, both are given, the likelier first.
// A response is paired with its request where one is known: with
// `lastSent`, and, where the direction is not known (a log holding both
// directions), with the nearest earlier frame that is its request. A frame
// in a window of known direction never pairs with the earlier lines of that
// window, which all went the same way.
[[nodiscard]] bool ShapeModbusTcp(Bytes frame);
[[nodiscard]] Fields DecodeModbusTcp(Bytes frame, const Options& options = {});

// An RTU frame whose CRC verifies.
[[nodiscard]] bool ShapeModbusRtu(Bytes frame);
// An RTU frame in every respect but its CRC: a unit of 0 to 247, a listed
// function or its exception, and data that is a whole request or response of
// that function. Detection tries it after the shapes whose check codes
// verify, so that such a frame shows its wrong CRC rather than nothing.
[[nodiscard]] bool ShapeModbusRtuButCrc(Bytes frame);
[[nodiscard]] Fields DecodeModbusRtu(Bytes frame, const Options& options = {});

// What a MODBUS request asks, as far as its response needs it to number its
// values: the first coil, input or register read and how many.
struct ModbusRequest {
    unsigned unit = 0;
    unsigned function = 0;
    unsigned start = 0;
    unsigned quantity = 0;
};

// Whether `response` answers `request`, both whole frames of `framing`
// (Protocol::ModbusTcp or Protocol::ModbusRtu, the RTU request's CRC
// verifying): the request is a whole request, and the response has the same
// unit and the same function (or is its exception), and on TCP the same
// transaction identifier. Gives what the request asks.
[[nodiscard]] std::optional<ModbusRequest> PairModbus(Bytes request, Bytes response, Protocol framing);

[[nodiscard]] bool ShapeDnp3(Bytes frame);
[[nodiscard]] Fields DecodeDnp3(Bytes frame);

[[nodiscard]] bool ShapeCdt(Bytes frame);
[[nodiscard]] Fields DecodeCdt(Bytes frame);

[[nodiscard]] bool ShapeCheckSum(Bytes frame);
[[nodiscard]] Fields DecodeCheckSum(Bytes frame);

} // namespace decode
