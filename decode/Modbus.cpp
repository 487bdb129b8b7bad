#include "decode/ByteText.h"
#include "decode/Decode.h"

#include "frame/Crc.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

// MODBUS RTU (unit, PDU, CRC) and MODBUS/TCP (MBAP header, PDU). A frame
// carries no direction: a request and a response of one function are told
// apart by the window the frame is on (Options), and where that is not
// known by the PDU's lengths (a read request holds an address and a count, a
// read response a byte count and that many bytes). Each reading checks every
// length and count against the others and goes on past one that disagrees
// wherever the layout still tells the rest.

namespace decode {

namespace {

constexpr std::size_t kMbapSize = 7;
constexpr std::size_t kRtuMinimum = 4; // unit, function, CRC
constexpr unsigned kMaxUnit = 247;     // the highest unit address on a serial line

constexpr Name kFunctions[] = {
    {1, NC_("decode", "Read Coils")},
    {2, NC_("decode", "Read Discrete Inputs")},
    {3, NC_("decode", "Read Holding Registers")},
    {4, NC_("decode", "Read Input Registers")},
    {5, NC_("decode", "Write Single Coil")},
    {6, NC_("decode", "Write Single Register")},
    {7, NC_("decode", "Read Exception Status")},
    {8, NC_("decode", "Diagnostics")},
    {11, NC_("decode", "Get Comm Event Counter")},
    {12, NC_("decode", "Get Comm Event Log")},
    {15, NC_("decode", "Write Multiple Coils")},
    {16, NC_("decode", "Write Multiple Registers")},
    {17, NC_("decode", "Report Server ID")},
    {20, NC_("decode", "Read File Record")},
    {21, NC_("decode", "Write File Record")},
    {22, NC_("decode", "Mask Write Register")},
    {23, NC_("decode", "Read/Write Multiple Registers")},
    {24, NC_("decode", "Read FIFO Queue")},
    {43, NC_("decode", "Encapsulated Interface Transport")},
};

constexpr Name kExceptions[] = {
    {1, NC_("decode", "Illegal Function")},
    {2, NC_("decode", "Illegal Data Address")},
    {3, NC_("decode", "Illegal Data Value")},
    {4, NC_("decode", "Server Device Failure")},
    {5, NC_("decode", "Acknowledge")},
    {6, NC_("decode", "Server Device Busy")},
    {8, NC_("decode", "Memory Parity Error")},
    {10, NC_("decode", "Gateway Path Unavailable")},
    {11, NC_("decode", "Gateway Target Device Failed to Respond")},
};

// The MEI types of function 43: device identification is read field by
// field, a CANopen reference is named and its data shown as it is.
constexpr Name kMeiTypes[] = {
    {13, NC_("decode", "CANopen General Reference")},
    {14, NC_("decode", "Read Device Identification")},
};

constexpr Name kDeviceIdCodes[] = {
    {1, NC_("decode", "basic, stream access")},
    {2, NC_("decode", "regular, stream access")},
    {3, NC_("decode", "extended, stream access")},
    {4, NC_("decode", "one specific object")},
};

constexpr Name kConformityLevels[] = {
    {0x01, NC_("decode", "basic, stream access only")},
    {0x02, NC_("decode", "regular, stream access only")},
    {0x03, NC_("decode", "extended, stream access only")},
    {0x81, NC_("decode", "basic, stream and individual access")},
    {0x82, NC_("decode", "regular, stream and individual access")},
    {0x83, NC_("decode", "extended, stream and individual access")},
};

constexpr Name kMoreFollows[] = {
    {0x00, NC_("decode", "no")},
    {0xFF, NC_("decode", "yes: ask again from the next object")},
};

// The objects of the basic and regular categories; 7 to 127 are reserved,
// 128 to 255 the device's own (extended).
constexpr Name kObjectIds[] = {
    {0, NC_("decode", "VendorName")},
    {1, NC_("decode", "ProductCode")},
    {2, NC_("decode", "MajorMinorRevision")},
    {3, NC_("decode", "VendorUrl")},
    {4, NC_("decode", "ProductName")},
    {5, NC_("decode", "ModelName")},
    {6, NC_("decode", "UserApplicationName")},
};

constexpr unsigned kFileReference = 6; // the only reference type of a file record
constexpr unsigned kLastRecord = 9999; // records of a file are numbered 0 to 9999

enum F : std::size_t {
    Mbap, TransactionId, ProtocolId, Length, Unit, Frame, Pdu, FunctionCode, ExceptionFunction, Data,
    ExceptionCode, ExtraBytes, ByteCountField, WriteByteCount, Coils, Inputs, Outputs, Value, Register,
    StartingAddress, CoilQuantity, InputQuantity, RegisterQuantity, OutputQuantity, ReadAddress,
    ReadQuantity, WriteAddress, WriteQuantity, OutputAddress, OutputValue, RegisterAddress,
    RegisterValue, Crc, OutputData, SubFunction, DiagnosticData, Status, EventCount, MessageCount,
    Events, ServerData, AndMask, OrMask, FifoAddress, FifoByteCount, FifoCount, FifoValue, SubRequest,
    SubResponse, ReferenceType, FileNumber, RecordNumber, RecordLength, RecordData, FileResponseLength,
    MeiType, MeiData, DeviceIdCode, ConformityLevel, MoreFollows, NextObjectId, ObjectCount, Object, ObjectId,
    ObjectLength, ObjectValue, FieldCount
};

constexpr std::array<FieldDef, FieldCount> kFields{{
    {"modbus.mbap", NC_("decode", "MBAP header")},
    {"modbus.transaction", NC_("decode", "Transaction identifier")},
    {"modbus.protocol", NC_("decode", "Protocol identifier")},
    {"modbus.length", NC_("decode", "Length")},
    {"modbus.unit", NC_("decode", "Unit identifier")},
    {"modbus.frame", NC_("decode", "Frame")},
    {"modbus.pdu", "PDU"},
    {"modbus.function", NC_("decode", "Function code"), 0, kFunctions, NC_("decode", "unknown")},
    {"modbus.exception_function", NC_("decode", "Function code"), 0x7F, kFunctions, NC_("decode", "unknown")},
    {"modbus.data", NC_("decode", "Data")},
    {"modbus.exception", NC_("decode", "Exception code"), 0, kExceptions, NC_("decode", "unknown")},
    {"modbus.extra", NC_("decode", "Extra bytes")},
    {"modbus.byte_count", NC_("decode", "Byte count")},
    {"modbus.write_byte_count", NC_("decode", "Write byte count")},
    {"modbus.coils", NC_("decode", "Coils")},
    {"modbus.inputs", NC_("decode", "Inputs")},
    {"modbus.outputs", NC_("decode", "Outputs")},
    {"modbus.value", NC_("decode", "Value")},
    {"modbus.register", NC_("decode", "Register")},
    {"modbus.start", NC_("decode", "Starting address")},
    {"modbus.coil_quantity", NC_("decode", "Quantity of coils")},
    {"modbus.input_quantity", NC_("decode", "Quantity of inputs")},
    {"modbus.register_quantity", NC_("decode", "Quantity of registers")},
    {"modbus.output_quantity", NC_("decode", "Quantity of outputs")},
    {"modbus.read_start", NC_("decode", "Read starting address")},
    {"modbus.read_quantity", NC_("decode", "Quantity to read")},
    {"modbus.write_start", NC_("decode", "Write starting address")},
    {"modbus.write_quantity", NC_("decode", "Quantity to write")},
    {"modbus.output_address", NC_("decode", "Output address")},
    {"modbus.output_value", NC_("decode", "Output value")},
    {"modbus.register_address", NC_("decode", "Register address")},
    {"modbus.register_value", NC_("decode", "Register value")},
    {"modbus.crc", "CRC"},
    {"modbus.output_data", NC_("decode", "Output data")},
    {"modbus.sub_function", NC_("decode", "Sub-function")},
    {"modbus.diagnostic_data", NC_("decode", "Diagnostic data")},
    {"modbus.status", NC_("decode", "Status")},
    {"modbus.event_count", NC_("decode", "Event count")},
    {"modbus.message_count", NC_("decode", "Message count")},
    {"modbus.events", NC_("decode", "Events")},
    {"modbus.server_data", NC_("decode", "Server data")},
    {"modbus.and_mask", NC_("decode", "AND mask")},
    {"modbus.or_mask", NC_("decode", "OR mask")},
    {"modbus.fifo_address", NC_("decode", "FIFO pointer address")},
    {"modbus.fifo_byte_count", NC_("decode", "FIFO byte count")},
    {"modbus.fifo_count", NC_("decode", "FIFO count")},
    {"modbus.fifo_value", NC_("decode", "FIFO value")},
    {"modbus.sub_request", NC_("decode", "Sub-request")},
    {"modbus.sub_response", NC_("decode", "Sub-response")},
    {"modbus.reference_type", NC_("decode", "Reference type")},
    {"modbus.file_number", NC_("decode", "File number")},
    {"modbus.record_number", NC_("decode", "Record number")},
    {"modbus.record_length", NC_("decode", "Record length")},
    {"modbus.record_data", NC_("decode", "Record data")},
    {"modbus.file_response_length", NC_("decode", "File response length")},
    {"modbus.mei_type", NC_("decode", "MEI type"), 0, kMeiTypes, NC_("decode", "unknown")},
    {"modbus.mei_data", NC_("decode", "MEI data")},
    {"modbus.device_id_code", NC_("decode", "Read device ID code"), 0, kDeviceIdCodes, NC_("decode", "unknown")},
    {"modbus.conformity_level", NC_("decode", "Conformity level"), 0, kConformityLevels, NC_("decode", "unknown")},
    {"modbus.more_follows", NC_("decode", "More follows"), 0, kMoreFollows, NC_("decode", "unknown")},
    {"modbus.next_object_id", NC_("decode", "Next object ID"), 0, kObjectIds, NC_("decode", "reserved")},
    {"modbus.object_count", NC_("decode", "Number of objects")},
    {"modbus.object", NC_("decode", "Object")},
    {"modbus.object_id", NC_("decode", "Object ID"), 0, kObjectIds, NC_("decode", "reserved")},
    {"modbus.object_length", NC_("decode", "Object length")},
    {"modbus.object_value", NC_("decode", "Object value")},
}};

std::string FunctionText(unsigned code)
{
    return kFields[FunctionCode].Coded(code);
}

std::string RegisterText(unsigned value)
{
    return std::to_string(value) + " (" + text::Hex(value, 4) + ")";
}

enum class Role { Request, Response };

// How well a PDU's data fits one reading of its function.
enum Fit : int {
    None = 0,   // too short for the reading's fixed part
    Loose = 1,  // readable, but a length or byte count disagrees with the bytes there are
    Values = 2, // the layout is whole; a count or value disagrees with another or its range
    Whole = 3   // every length, count and value agrees
};

bool IsListed(unsigned code)
{
    switch (code) {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7: case 8: case 11: case 12: case 15:
    case 16: case 17: case 20: case 21: case 22: case 23: case 24: case 43: return true;
    default: return false;
    }
}

// The functions whose request and response have one layout.
bool IsEcho(unsigned code)
{
    return code == 5 || code == 6 || code == 8 || code == 21 || code == 22;
}

bool IsWrite(unsigned code)
{
    return code == 5 || code == 6 || code == 15 || code == 16 || code == 21 || code == 22;
}

// An object identifier: named where the basic and regular categories name
// it, "private" from 128 on.
std::string ObjectIdText(const FieldDef& def, unsigned id)
{
    return id >= 0x80 ? Arg(C_("decode", "%1 private"), {std::to_string(id)}) : def.Coded(id);
}

// An object's value: its text in quotes where every byte is printable
// ASCII, its bytes as hex pairs otherwise.
std::string ObjectValueText(Bytes value)
{
    const bool printable = std::ranges::all_of(value, [](uint8_t b) { return b >= 0x20 && b < 0x7F; });
    if (!printable)
        return text::HexPairs(value);
    return '"' + std::string(value.begin(), value.end()) + '"';
}

bool InRange(unsigned value, unsigned low, unsigned high)
{
    return value >= low && value <= high;
}

// What the decoder knows beyond the frame: the reading its direction asks
// for (none when not known) and the request a response answers.
struct Context {
    std::optional<Role> role;
    std::optional<ModbusRequest> request;
};

// Reads the PDU of one frame: its function code at `at`, its data up to `end`.
class PduReader {
public:
    PduReader(FieldWriter& w, std::size_t at, std::size_t end, const Context& context)
        : w_(w), f_(w.Frame()), at_(at), data_(at + 1), size_(end - at - 1), context_(context)
    {
    }

    // How well the data fits a reading of function `code`.
    [[nodiscard]] int FitOf(unsigned code, Role role) const
    {
        if (!IsListed(code))
            return None;
        return role == Role::Request || EchoLike(code) ? RequestFit(code) : ResponseFit(code);
    }

    void Read()
    {
        const unsigned code = f_[at_];
        if (code & 0x80) {
            ReadException(code & 0x7F);
            return;
        }
        if (!IsListed(code)) {
            w_.Add(0, kFields[Pdu], at_, size_ + 1, FunctionText(code));
            w_.AddBits(1, kFields[FunctionCode], at_, 1, code);
            if (size_ > 0)
                w_.Add(1, kFields[Data], data_, size_, Arg(C_("decode", "%1 bytes"), {std::to_string(size_)}));
            return;
        }
        const int request = FitOf(code, Role::Request);
        const int response = FitOf(code, Role::Response);
        if (EchoLike(code)) {
            const std::string_view as = !context_.role ? (IsEcho(code) ? C_("decode", ", request or its echoed response")
                                                                       : C_("decode", ", request or response"))
                : *context_.role == Role::Request     ? C_("decode", ", request")
                                                      : C_("decode", ", response");
            ReadAs(code, Role::Request, FunctionText(code) + std::string(as), request);
            return;
        }
        if (context_.role) {
            // The direction decides, unless its reading hardly fits and the
            // other fits whole (a device simulated from the send window).
            const Role wanted = *context_.role;
            const Role other = wanted == Role::Request ? Role::Response : Role::Request;
            const int wantedFit = wanted == Role::Request ? request : response;
            const int otherFit = wanted == Role::Request ? response : request;
            if (wantedFit >= Values || (wantedFit >= Loose && otherFit < Whole))
                ReadAs(code, wanted,
                       context_.request ? Arg(C_("decode", "%1 (paired with its request)"), {Heading(code, wanted)})
                                        : Heading(code, wanted),
                       wantedFit);
            else if (otherFit > None)
                ReadAs(code, other,
                       Arg(other == Role::Request ? C_("decode", "%1 (sent as a response, read as a request)")
                                                  : C_("decode", "%1 (sent as a request, read as a response)"),
                           {Heading(code, other)}),
                       otherFit);
            else
                Neither(code);
            return;
        }
        if (context_.request) {
            ReadAs(code, Role::Response, Arg(C_("decode", "%1 (paired with its request)"), {Heading(code, Role::Response)}), response);
            return;
        }
        if (request == None && response == None) {
            Neither(code);
        } else if (request >= Values && request == response) {
            // Both readings fit as well: the request, the likelier, first.
            ReadAs(code, Role::Request, Arg(C_("decode", "%1 (or a response: read below)"), {Heading(code, Role::Request)}), request);
            ReadAs(code, Role::Response,
                   Arg(C_("decode", "%1 (the other reading: the direction is not known)"), {Heading(code, Role::Response)}),
                   response);
        } else if (request >= response) {
            ReadAs(code, Role::Request, Heading(code, Role::Request), request);
        } else {
            ReadAs(code, Role::Response, Heading(code, Role::Response), response);
        }
    }

private:
    unsigned U16(std::size_t i) const { return text::Be16(f_, data_ + i); }
    unsigned U8(std::size_t i) const { return f_[data_ + i]; }

    // The functions read alike either way: those whose response echoes the
    // request, and function 43 with any MEI type but device identification.
    bool EchoLike(unsigned code) const { return IsEcho(code) || (code == 43 && size_ >= 1 && U8(0) != 14); }

    // How the sub-requests of a file record request from data byte 1 on fill
    // the data: `tiles` when they end where it ends, `valuesFit` when each
    // has reference type 6, a file of 1 or more and a record of 0 to 9999. A
    // sub-request is 7 bytes, followed in a write by its record's registers.
    struct Tiling {
        bool tiles = true;
        bool valuesFit = true;
        std::size_t count = 0;
    };
    Tiling FileRequests(bool write) const
    {
        Tiling t;
        std::size_t i = 1;
        for (; i + 7 <= size_; ++t.count) {
            if (U8(i) != kFileReference || U16(i + 1) == 0 || U16(i + 3) > kLastRecord)
                t.valuesFit = false;
            i += 7 + (write ? 2 * std::size_t{U16(i + 5)} : 0);
        }
        t.tiles = i == size_;
        return t;
    }

    // The sub-responses of a file record response from data byte 1 on: each
    // a length, reference type 6 and the record's registers.
    Tiling FileResponses() const
    {
        Tiling t;
        std::size_t i = 1;
        for (; i < size_; ++t.count) {
            const unsigned length = U8(i);
            if (length < 1 || length % 2 == 0 || (i + 1 < size_ && U8(i + 1) != kFileReference))
                t.valuesFit = false;
            i += 1 + length;
        }
        t.tiles = i == size_;
        return t;
    }

    // The objects of a device identification response from data byte 6 on:
    // each an identifier, a length and that many bytes.
    Tiling DeviceObjects() const
    {
        Tiling t;
        std::size_t i = 6;
        for (; i + 2 <= size_ && i + 2 + U8(i + 1) <= size_; ++t.count)
            i += 2 + U8(i + 1);
        t.tiles = i == size_;
        t.valuesFit = t.count == U8(5) && InRange(U8(1), 1, 4) && !NameOf(kConformityLevels, U8(2), "").empty()
            && (U8(3) == 0 || U8(3) == 0xFF);
        return t;
    }

    // A byte count at data byte 0 that counts the rest of the data, of
    // `low` to `high`, and the reading of what it counts.
    int FileFit(unsigned low, unsigned high, const Tiling& t) const
    {
        if (size_ == 0)
            return None;
        if (U8(0) != size_ - 1 || !t.tiles)
            return Loose;
        return t.valuesFit && InRange(U8(0), low, high) ? Whole : Values;
    }

    static std::string Heading(unsigned code, Role role)
    {
        return Arg(role == Role::Request ? C_("decode", "%1, request") : C_("decode", "%1, response"), {FunctionText(code)});
    }

    // A layout of `n` bytes.
    int Fixed(std::size_t n, bool valuesFit) const
    {
        if (size_ < n)
            return None;
        if (size_ > n)
            return Loose;
        return valuesFit ? Whole : Values;
    }

    // A byte count at data byte `at` (data bytes `at` + 1 on present) that
    // should count the rest of the data and be `needed`.
    int Counted(std::size_t at, unsigned needed, bool valuesFit) const
    {
        if (size_ <= at)
            return None;
        if (U8(at) != size_ - at - 1)
            return Loose;
        return U8(at) == needed && valuesFit ? Whole : Values;
    }

    int RequestFit(unsigned code) const
    {
        switch (code) {
        case 1:
        case 2: return Fixed(4, size_ >= 4 && InRange(U16(2), 1, 2000));
        case 3:
        case 4: return Fixed(4, size_ >= 4 && InRange(U16(2), 1, 125));
        case 5: return Fixed(4, size_ >= 4 && (U16(2) == 0xFF00 || U16(2) == 0));
        case 6: return Fixed(4, true);
        case 7:
        case 11:
        case 12:
        case 17: return Fixed(0, true);
        case 8: return size_ >= 2 ? Whole : None;
        case 15: return size_ < 4 ? None : Counted(4, (U16(2) + 7) / 8, InRange(U16(2), 1, 1968));
        case 16: return size_ < 4 ? None : Counted(4, 2 * U16(2), InRange(U16(2), 1, 123));
        case 22: return Fixed(6, true);
        case 23:
            return size_ < 8 ? None
                             : Counted(8, 2 * U16(6), InRange(U16(2), 1, 125) && InRange(U16(6), 1, 121));
        case 24: return Fixed(2, true);
        case 20: return FileFit(7, 0xF5, FileRequests(false));
        case 21: return FileFit(9, 0xFB, FileRequests(true));
        case 43:
            if (size_ >= 1 && U8(0) != 14)
                return U8(0) == 13 ? Whole : Values;
            return Fixed(3, size_ >= 2 && InRange(U8(1), 1, 4));
        default: return None;
        }
    }

    // The number of bytes the paired request's quantity needs, or the count
    // itself where no request is known.
    unsigned NeededBytes(unsigned code, unsigned count) const
    {
        if (!context_.request)
            return count;
        const unsigned q = context_.request->quantity;
        return code <= 2 ? (q + 7) / 8 : 2 * q;
    }

    int ResponseFit(unsigned code) const
    {
        switch (code) {
        case 1:
        case 2:
            return size_ == 0 ? None : Counted(0, NeededBytes(code, U8(0)), U8(0) >= 1);
        case 3:
        case 4:
        case 23:
            return size_ == 0 ? None : Counted(0, NeededBytes(code, U8(0)), U8(0) >= 2 && U8(0) % 2 == 0);
        case 7: return Fixed(1, true);
        case 11: return Fixed(4, true);
        case 12: return size_ == 0 ? None : Counted(0, U8(0), U8(0) >= 6);
        case 17: return size_ == 0 ? None : Counted(0, U8(0), U8(0) >= 1);
        case 15: return Fixed(4, size_ >= 4 && InRange(U16(2), 1, 1968));
        case 16: return Fixed(4, size_ >= 4 && InRange(U16(2), 1, 123));
        case 24:
            if (size_ < 4)
                return None;
            if (U16(0) != size_ - 2)
                return Loose;
            return U16(0) == 2 + 2 * U16(2) && U16(2) <= 31 ? Whole : Values;
        case 20: return FileFit(7, 0xF5, FileResponses());
        case 43: {
            if (size_ < 6)
                return None;
            const Tiling t = DeviceObjects();
            return !t.tiles ? Loose : t.valuesFit ? Whole : Values;
        }
        default: return None;
        }
    }

    void Neither(unsigned code)
    {
        w_.Add(0, kFields[Pdu], at_, size_ + 1, FunctionText(code));
        w_.AddBits(1, kFields[FunctionCode], at_, 1, code);
        w_.Add(1, kFields[Data], data_, size_,
               Arg(C_("decode", "%1 bytes: the length of neither a request nor a response"), {std::to_string(size_)}), Verdict::Bad);
    }

    void ReadException(unsigned function)
    {
        const std::string to = Arg(C_("decode", "exception response to %1"), {FunctionText(function)});
        w_.Add(0, kFields[Pdu], at_, size_ + 1, to);
        w_.Add(1, kFields[ExceptionFunction], at_, 1, text::Hex(function | 0x80, 2) + ": " + to).number = function;
        if (size_ == 0) {
            w_.Add(1, kFields[ExceptionCode], data_, 1, text::Truncated(0, 1), Verdict::Bad);
            return;
        }
        w_.AddBits(1, kFields[ExceptionCode], data_, 1, U8(0));
        if (size_ > 1)
            w_.Add(1, kFields[ExtraBytes], data_ + 1, size_ - 1,
                   Arg(C_("decode", "%1 bytes after the exception code"), {std::to_string(size_ - 1)}), Verdict::Bad)
                .number = static_cast<double>(size_ - 1);
    }

    void ReadAs(unsigned code, Role role, std::string heading, int fit)
    {
        w_.Add(0, kFields[Pdu], at_, size_ + 1, std::move(heading));
        w_.AddBits(1, kFields[FunctionCode], at_, 1, code);
        if (fit == None) {
            w_.Add(1, kFields[Data], data_, size_,
                   Arg(role == Role::Request ? C_("decode", "%1 bytes: too short for a request")
                                             : C_("decode", "%1 bytes: too short for a response"),
                       {std::to_string(size_)}),
                   Verdict::Bad)
                .number = static_cast<double>(size_);
            return;
        }
        end_ = 0;
        if (role == Role::Request)
            ReadRequest(code);
        else
            ReadResponse(code);
        Extra(end_);
    }

    void ReadRequest(unsigned code)
    {
        switch (code) {
        case 1:
        case 2: AddressAndQuantity(StartingAddress, code == 1 ? CoilQuantity : InputQuantity, 0, 2000); break;
        case 3:
        case 4: AddressAndQuantity(StartingAddress, RegisterQuantity, 0, 125); break;
        case 5:
            w_.AddBits(1, kFields[OutputAddress], data_, 2, U16(0));
            CoilValue();
            end_ = 4;
            break;
        case 6:
            w_.AddBits(1, kFields[RegisterAddress], data_, 2, U16(0));
            w_.Add(1, kFields[RegisterValue], data_ + 2, 2, RegisterText(U16(2))).number = U16(2);
            end_ = 4;
            break;
        case 8:
            w_.AddBits(1, kFields[SubFunction], data_, 2, U16(0));
            if (size_ > 2)
                w_.Add(1, kFields[DiagnosticData], data_ + 2, size_ - 2,
                       text::HexPairs(f_.subspan(data_ + 2, size_ - 2)));
            end_ = size_;
            break;
        case 15:
            AddressAndQuantity(StartingAddress, OutputQuantity, 0, 1968);
            ByteCount(4, (U16(2) + 7) / 8);
            Bits(5, Outputs, std::nullopt);
            end_ = size_;
            break;
        case 16:
            AddressAndQuantity(StartingAddress, RegisterQuantity, 0, 123);
            ByteCount(4, 2 * U16(2));
            Registers(5, Register, U16(0));
            break;
        case 22:
            w_.AddBits(1, kFields[RegisterAddress], data_, 2, U16(0));
            w_.Add(1, kFields[AndMask], data_ + 2, 2, text::Hex(U16(2), 4)).number = U16(2);
            w_.Add(1, kFields[OrMask], data_ + 4, 2, text::Hex(U16(4), 4)).number = U16(4);
            end_ = 6;
            break;
        case 23:
            AddressAndQuantity(ReadAddress, ReadQuantity, 0, 125);
            AddressAndQuantity(WriteAddress, WriteQuantity, 4, 121);
            ByteCount(8, 2 * U16(6), WriteByteCount);
            Registers(9, Register, U16(4));
            break;
        case 24:
            w_.AddBits(1, kFields[FifoAddress], data_, 2, U16(0));
            end_ = 2;
            break;
        case 20:
        case 21: FileRequest(code == 21); break;
        case 43: Mei(Role::Request); break;
        default: break; // 7, 11, 12, 17: no data
        }
    }

    void ReadResponse(unsigned code)
    {
        const auto& request = context_.request;
        switch (code) {
        case 1:
        case 2:
            ByteCount(0, NeededBytes(code, U8(0)));
            Bits(1, code == 1 ? Coils : Inputs, request);
            end_ = size_;
            break;
        case 3:
        case 4:
        case 23:
            ByteCount(0, NeededBytes(code, U8(0)), ByteCountField, true);
            if (request)
                Registers(1, Register, request->start);
            else
                Registers(1, Value, 1);
            break;
        case 7:
            w_.Add(1, kFields[OutputData], data_, 1, text::Hex(U8(0), 2)).number = U8(0);
            end_ = 1;
            break;
        case 11:
            w_.Add(1, kFields[Status], data_, 2, text::Hex(U16(0), 4)).number = U16(0);
            w_.AddBits(1, kFields[EventCount], data_ + 2, 2, U16(2));
            end_ = 4;
            break;
        case 12:
            ByteCount(0, U8(0));
            if (size_ >= 7) {
                w_.Add(1, kFields[Status], data_ + 1, 2, text::Hex(U16(1), 4)).number = U16(1);
                w_.AddBits(1, kFields[EventCount], data_ + 3, 2, U16(3));
                w_.AddBits(1, kFields[MessageCount], data_ + 5, 2, U16(5));
                if (size_ > 7)
                    w_.Add(1, kFields[Events], data_ + 7, size_ - 7, text::HexPairs(f_.subspan(data_ + 7, size_ - 7)));
            }
            end_ = size_;
            break;
        case 17:
            ByteCount(0, U8(0));
            if (size_ > 1)
                w_.Add(1, kFields[ServerData], data_ + 1, size_ - 1, text::HexPairs(f_.subspan(data_ + 1, size_ - 1)));
            end_ = size_;
            break;
        case 15: AddressAndQuantity(StartingAddress, OutputQuantity, 0, 1968); break;
        case 16: AddressAndQuantity(StartingAddress, RegisterQuantity, 0, 123); break;
        case 24: {
            const unsigned bytes = U16(0);
            const unsigned count = U16(2);
            const unsigned needed = 2 + 2 * count;
            if (bytes == size_ - 2 && bytes == needed)
                w_.Add(1, kFields[FifoByteCount], data_, 2, std::to_string(bytes), Verdict::Good).number = bytes;
            else
                w_.Add(1, kFields[FifoByteCount], data_, 2,
                       Arg(C_("decode", "%1 (%2 bytes follow, the count needs %3)"),
                           {std::to_string(bytes), std::to_string(size_ - 2), std::to_string(needed)}),
                       Verdict::Bad, needed <= 0xFFFF ? text::HighLowPairs(needed) : "")
                    .number = bytes;
            if (count <= 31)
                w_.AddBits(1, kFields[FifoCount], data_ + 2, 2, count);
            else
                w_.Add(1, kFields[FifoCount], data_ + 2, 2, Arg(C_("decode", "%1 (31 at most)"), {std::to_string(count)}), Verdict::Bad)
                    .number = count;
            Registers(4, FifoValue, 1);
            break;
        }
        case 20: FileResponse(); break;
        case 43: Mei(Role::Response); break;
        default: break;
        }
    }

    // The bytes after the reading's last field, where there are any.
    void Extra(std::size_t from)
    {
        if (from >= size_)
            return;
        w_.Add(1, kFields[ExtraBytes], data_ + from, size_ - from,
               Arg(size_ - from == 1 ? C_("decode", "%1 byte after the last field") : C_("decode", "%1 bytes after the last field"),
                   {std::to_string(size_ - from)}),
               Verdict::Bad)
            .number = static_cast<double>(size_ - from);
    }

    // A byte count at data byte `i`: against the bytes that follow it and
    // against what the quantity needs; for registers, an even number.
    void ByteCount(std::size_t i, unsigned needed, F field = ByteCountField, bool registers = false)
    {
        const unsigned count = U8(i);
        const std::size_t follow = size_ - i - 1;
        Field* f = nullptr;
        if (count != needed)
            f = &w_.Add(1, kFields[field], data_ + i, 1,
                        Arg(C_("decode", "%1 (the quantity needs %2)"), {std::to_string(count), std::to_string(needed)}), Verdict::Bad,
                        needed <= 0xFF ? text::HexByte(needed) : "");
        else if (count != follow)
            f = &w_.Add(1, kFields[field], data_ + i, 1,
                        Arg(C_("decode", "%1 (%2 bytes follow)"), {std::to_string(count), std::to_string(follow)}), Verdict::Bad,
                        follow <= 0xFF ? text::HexByte(static_cast<unsigned>(follow)) : "");
        else if (registers && count % 2 != 0)
            f = &w_.Add(1, kFields[field], data_ + i, 1,
                        Arg(C_("decode", "%1 (odd: a register takes 2 bytes)"), {std::to_string(count)}), Verdict::Bad);
        else
            f = &w_.Add(1, kFields[field], data_ + i, 1, std::to_string(count), Verdict::Good);
        f->number = count;
    }

    // One field per status byte from data byte `from` on: its bits, bit 0
    // first, numbered from 0, or where the request is known from its first
    // address and only as many as it asked for.
    void Bits(std::size_t from, F what, const std::optional<ModbusRequest>& request)
    {
        const unsigned first = request ? request->start : 0;
        const std::size_t shown = request ? request->quantity : (size_ - from) * 8;
        for (std::size_t i = from, n = 0; i < size_; ++i, n += 8) {
            if (n >= shown) {
                Extra(i);
                return;
            }
            const std::size_t bits = std::min<std::size_t>(8, shown - n);
            std::string text;
            for (std::size_t b = 0; b < bits; ++b) {
                if (b > 0)
                    text += ' ';
                text += text::Bit(U8(i), static_cast<int>(b));
            }
            const auto low = static_cast<unsigned long>(first + n);
            w_.AddNth(1, kFields[what], std::to_string(low) + "-" + std::to_string(low + bits - 1), data_ + i, 1,
                      text)
                .number = U8(i);
        }
    }

    // Register values from data byte `from` on, named "<prefix> <first + k>";
    // a last odd byte is left to Extra.
    void Registers(std::size_t from, F prefix, unsigned first)
    {
        std::size_t i = from;
        for (; i + 1 < size_; i += 2)
            w_.AddNth(1, kFields[prefix], std::to_string(first + (i - from) / 2), data_ + i, 2, RegisterText(U16(i)))
                .number = U16(i);
        end_ = i;
    }

    // Two 16-bit numbers at data byte `i`: an address and a quantity of
    // `low` (1) to `high`.
    void AddressAndQuantity(F address, F quantity, std::size_t i, unsigned high)
    {
        w_.AddBits(1, kFields[address], data_ + i, 2, U16(i));
        const unsigned q = U16(i + 2);
        if (InRange(q, 1, high))
            w_.AddBits(1, kFields[quantity], data_ + i + 2, 2, q);
        else
            w_.Add(1, kFields[quantity], data_ + i + 2, 2, Arg(C_("decode", "%1 (1 to %2)"), {std::to_string(q), std::to_string(high)}),
                   Verdict::Bad)
                .number = q;
        end_ = std::max(end_, i + 4);
    }

    // The byte count of a file record request or response at data byte 0:
    // against the bytes that follow it and its range.
    void FileByteCount(unsigned low, unsigned high)
    {
        const unsigned count = U8(0);
        const std::size_t follow = size_ - 1;
        Field* f = nullptr;
        if (count != follow)
            f = &w_.Add(1, kFields[ByteCountField], data_, 1,
                        Arg(C_("decode", "%1 (%2 bytes follow)"), {std::to_string(count), std::to_string(follow)}), Verdict::Bad,
                        follow <= 0xFF ? text::HexByte(static_cast<unsigned>(follow)) : "");
        else if (!InRange(count, low, high))
            f = &w_.Add(1, kFields[ByteCountField], data_, 1,
                        Arg(C_("decode", "%1 (%2 to %3)"), {std::to_string(count), std::to_string(low), std::to_string(high)}),
                        Verdict::Bad);
        else
            f = &w_.Add(1, kFields[ByteCountField], data_, 1, std::to_string(count), Verdict::Good);
        f->number = count;
    }

    void AddReferenceType(std::size_t i)
    {
        const unsigned type = U8(i);
        if (type == kFileReference)
            w_.AddBits(2, kFields[ReferenceType], data_ + i, 1, type);
        else
            w_.Add(2, kFields[ReferenceType], data_ + i, 1, Arg(C_("decode", "%1 (6 for a file record)"), {std::to_string(type)}),
                   Verdict::Bad, text::HexByte(kFileReference))
                .number = type;
    }

    // Registers as four hex digits each; a last odd byte as its hex pair.
    std::string Words(std::size_t i, std::size_t n) const
    {
        std::string out;
        for (std::size_t k = 0; k < n; k += 2) {
            if (!out.empty())
                out += ' ';
            out += k + 1 < n ? text::Hex(U16(i + k), 4).substr(2) : text::HexByte(U8(i + k));
        }
        return out;
    }

    // The sub-requests of a file record request, each with its fields and,
    // in a write, its record data.
    void FileRequest(bool write)
    {
        FileByteCount(write ? 9 : 7, write ? 0xFB : 0xF5);
        std::size_t i = 1;
        for (unsigned n = 1; i < size_; ++n) {
            const std::string nth = std::to_string(n);
            if (i + 7 > size_) {
                w_.AddNth(1, kFields[SubRequest], nth, data_ + i, 7, text::Truncated(size_ - i, 7), Verdict::Bad);
                i = size_;
                break;
            }
            const unsigned file = U16(i + 1);
            const unsigned record = U16(i + 3);
            const unsigned length = U16(i + 5);
            const std::size_t bytes = write ? 2 * std::size_t{length} : 0;
            const std::size_t spans = std::min(7 + bytes, size_ - i);
            w_.AddNth(1, kFields[SubRequest], nth, data_ + i, spans,
                      Arg(length == 1 ? C_("decode", "file %1, record %2, %3 register") : C_("decode", "file %1, record %2, %3 registers"),
                          {std::to_string(file), std::to_string(record), std::to_string(length)}));
            AddReferenceType(i);
            if (file == 0)
                w_.Add(2, kFields[FileNumber], data_ + i + 1, 2, C_("decode", "0 (1 to 65535)"), Verdict::Bad).number = 0;
            else
                w_.AddBits(2, kFields[FileNumber], data_ + i + 1, 2, file);
            if (record > kLastRecord)
                w_.Add(2, kFields[RecordNumber], data_ + i + 3, 2, Arg(C_("decode", "%1 (0 to 9999)"), {std::to_string(record)}),
                       Verdict::Bad)
                    .number = record;
            else
                w_.AddBits(2, kFields[RecordNumber], data_ + i + 3, 2, record);
            w_.AddBits(2, kFields[RecordLength], data_ + i + 5, 2, length);
            if (bytes > 0) {
                const std::size_t have = spans - 7;
                if (have < bytes)
                    w_.Add(2, kFields[RecordData], data_ + i + 7, bytes, text::Truncated(have, bytes), Verdict::Bad);
                else
                    w_.Add(2, kFields[RecordData], data_ + i + 7, bytes, Words(i + 7, bytes));
            }
            i += spans;
        }
        end_ = i;
    }

    // The sub-responses of a file record response: each its length,
    // reference type and record data.
    void FileResponse()
    {
        FileByteCount(7, 0xF5);
        std::size_t i = 1;
        for (unsigned n = 1; i < size_; ++n) {
            const unsigned length = U8(i);
            const std::size_t have = size_ - i - 1;
            const std::size_t spans = std::min<std::size_t>(length, have);
            const std::size_t registers = spans > 1 ? (spans - 1) / 2 : 0;
            w_.AddNth(1, kFields[SubResponse], std::to_string(n), data_ + i, 1 + spans,
                      Arg(registers == 1 ? C_("decode", "%1 register") : C_("decode", "%1 registers"), {std::to_string(registers)}));
            if (length > have)
                w_.Add(2, kFields[FileResponseLength], data_ + i, 1,
                       Arg(C_("decode", "%1 (%2 bytes follow)"), {std::to_string(length), std::to_string(have)}), Verdict::Bad,
                       text::HexByte(static_cast<unsigned>(have)))
                    .number = length;
            else if (length % 2 == 0)
                w_.Add(2, kFields[FileResponseLength], data_ + i, 1,
                       Arg(C_("decode", "%1 (even: the reference type and registers of 2 bytes make it odd)"), {std::to_string(length)}),
                       Verdict::Bad)
                    .number = length;
            else
                w_.AddBits(2, kFields[FileResponseLength], data_ + i, 1, length);
            if (spans >= 1)
                AddReferenceType(i + 1);
            if (spans > 1)
                w_.Add(2, kFields[RecordData], data_ + i + 2, spans - 1, Words(i + 2, spans - 1));
            i += 1 + spans;
        }
        end_ = i;
    }

    // A field of a named byte that is bad where its table lacks the value.
    void NamedByte(std::size_t i, F field, std::string_view range)
    {
        const unsigned value = U8(i);
        if (NameOf(kFields[field].values, value, "").empty())
            w_.Add(1, kFields[field], data_ + i, 1, std::to_string(value) + " (" + std::string(range) + ")",
                   Verdict::Bad)
                .number = value;
        else
            w_.AddBits(1, kFields[field], data_ + i, 1, value);
    }

    void AddObjectId(int depth, F field, std::size_t i)
    {
        w_.Add(depth, kFields[field], data_ + i, 1, ObjectIdText(kFields[field], U8(i))).number = U8(i);
    }

    // Function 43: the MEI type; device identification field by field, any
    // other type's data as it is.
    void Mei(Role role)
    {
        const unsigned mei = U8(0);
        w_.AddBits(1, kFields[MeiType], data_, 1, mei);
        end_ = 1;
        if (mei != 14) {
            if (size_ > 1)
                w_.Add(1, kFields[MeiData], data_ + 1, size_ - 1, text::HexPairs(f_.subspan(data_ + 1, size_ - 1)));
            end_ = size_;
            return;
        }
        NamedByte(1, DeviceIdCode, C_("decode", "1 to 4"));
        if (role == Role::Request) {
            AddObjectId(1, ObjectId, 2);
            end_ = 3;
            return;
        }
        NamedByte(2, ConformityLevel, C_("decode", "1, 2, 3, 81, 82 or 83 hex"));
        NamedByte(3, MoreFollows, C_("decode", "00 or FF hex"));
        AddObjectId(1, NextObjectId, 4);
        const Tiling t = DeviceObjects();
        if (U8(5) == t.count)
            w_.AddBits(1, kFields[ObjectCount], data_ + 5, 1, U8(5));
        else
            w_.Add(1, kFields[ObjectCount], data_ + 5, 1,
                   Arg(C_("decode", "%1 (%2 whole objects follow)"), {std::to_string(U8(5)), std::to_string(t.count)}), Verdict::Bad,
                   t.count <= 0xFF ? text::HexByte(static_cast<unsigned>(t.count)) : "")
                .number = U8(5);
        std::size_t i = 6;
        while (i < size_) {
            if (i + 2 > size_) {
                w_.Add(1, kFields[Object], data_ + i, 2, text::Truncated(size_ - i, 2), Verdict::Bad);
                i = size_;
                break;
            }
            const unsigned id = U8(i);
            const unsigned length = U8(i + 1);
            const std::size_t have = size_ - i - 2;
            const std::size_t spans = std::min<std::size_t>(length, have);
            const std::string value = ObjectValueText(f_.subspan(data_ + i + 2, spans));
            const std::string name = id >= 0x80 ? C_("decode", "private") : std::string(kFields[ObjectId].NameOf(id));
            w_.AddNth(1, kFields[Object], std::to_string(id), data_ + i, 2 + spans, name + " " + value);
            AddObjectId(2, ObjectId, i);
            if (length > have)
                w_.Add(2, kFields[ObjectLength], data_ + i + 1, 1,
                       Arg(C_("decode", "%1 (%2 bytes follow)"), {std::to_string(length), std::to_string(have)}), Verdict::Bad,
                       text::HexByte(static_cast<unsigned>(have)))
                    .number = length;
            else
                w_.AddBits(2, kFields[ObjectLength], data_ + i + 1, 1, length);
            if (spans > 0)
                w_.Add(2, kFields[ObjectValue], data_ + i + 2, spans, value);
            i += 2 + spans;
        }
        end_ = i;
    }

    void CoilValue()
    {
        const unsigned value = U16(2);
        if (value == 0xFF00)
            w_.Add(1, kFields[OutputValue], data_ + 2, 2, C_("decode", "FF00 on")).number = value;
        else if (value == 0x0000)
            w_.Add(1, kFields[OutputValue], data_ + 2, 2, C_("decode", "0000 off")).number = value;
        else
            w_.Add(1, kFields[OutputValue], data_ + 2, 2, Arg(C_("decode", "%1 (neither FF00 on nor 0000 off)"), {text::Hex(value, 4)}),
                   Verdict::Bad)
                .number = value;
    }

    FieldWriter& w_;
    Bytes f_;
    std::size_t at_;
    std::size_t data_;
    std::size_t size_;
    const Context& context_;
    std::size_t end_ = 0; // the data read so far by the reading
};

// The PDU from `at` to `end`, or the field saying its function code is missing.
void ReadPdu(FieldWriter& w, std::size_t at, std::size_t end, const Context& context)
{
    if (end <= at) {
        w.Add(0, kFields[Pdu], at, 1, C_("decode", "truncated: no function code"), Verdict::Bad);
        return;
    }
    PduReader(w, at, end, context).Read();
}

bool IsFunctionOrException(unsigned code)
{
    return (code >= 1 && code <= 127) || code >= 0x81;
}

std::optional<Role> RoleOf(const Options& options)
{
    if (options.direction == Direction::Unknown)
        return std::nullopt;
    const bool toDevice = options.direction == Direction::ToDevice;
    const bool deviceAsks = options.device == DeviceRole::Asks;
    return toDevice != deviceAsks ? Role::Request : Role::Response;
}

// Where the PDU of a frame of `framing` lies, and its unit; none for a frame
// too short for its header.
struct PduPlace {
    std::size_t at;
    std::size_t end;
    unsigned unit;
};

std::optional<PduPlace> PlaceOf(Bytes frame, Protocol framing)
{
    if (framing == Protocol::ModbusTcp)
        return frame.size() > kMbapSize ? std::optional<PduPlace>({kMbapSize, frame.size(), frame[6]}) : std::nullopt;
    return frame.size() >= kRtuMinimum ? std::optional<PduPlace>({1, frame.size() - 2, frame[0]}) : std::nullopt;
}

// How well the PDU at `place` fits a reading; PduReader only measures here.
int FitAt(Bytes frame, const PduPlace& place, Role role, const Context& context = {})
{
    Fields none;
    FieldWriter w(none, frame);
    return PduReader(w, place.at, place.end, context).FitOf(frame[place.at], role);
}

// The context of a frame: its reading by the direction, and the request it
// answers where one is known.
Context ContextOf(Bytes frame, Protocol framing, const Options& options)
{
    Context context;
    context.role = RoleOf(options);
    if (context.role == Role::Request)
        return context;
    if (!options.lastSent.empty())
        context.request = PairModbus(options.lastSent, frame, framing);
    if (!context.request && options.direction == Direction::Unknown)
        for (auto it = options.earlier.rbegin(); it != options.earlier.rend() && !context.request; ++it)
            context.request = PairModbus(*it, frame, framing);
    return context;
}

} // namespace

std::span<const FieldDef> ModbusFields()
{
    return kFields;
}

std::optional<ModbusRequest> PairModbus(Bytes request, Bytes response, Protocol framing)
{
    if (framing != Protocol::ModbusTcp && framing != Protocol::ModbusRtu)
        return std::nullopt;
    const auto asked = PlaceOf(request, framing);
    const auto answer = PlaceOf(response, framing);
    if (!asked || !answer || asked->end <= asked->at || answer->end <= answer->at)
        return std::nullopt;
    if (framing == Protocol::ModbusTcp) {
        if (!ShapeModbusTcp(request) || text::Be16(request, 0) != text::Be16(response, 0))
            return std::nullopt;
    } else if (!ShapeModbusRtu(request)) {
        return std::nullopt;
    }
    const unsigned function = request[asked->at];
    if (asked->unit != answer->unit || (response[answer->at] & 0x7F) != function
        || FitAt(request, *asked, Role::Request) != Whole)
        return std::nullopt;
    ModbusRequest r{asked->unit, function, 0, 0};
    const std::size_t data = asked->at + 1;
    if (function <= 4 || function == 23) {
        r.start = text::Be16(request, data);
        r.quantity = text::Be16(request, data + 2);
    }
    return r;
}

bool ShapeModbusTcp(Bytes frame)
{
    return frame.size() > kMbapSize && text::Be16(frame, 2) == 0
        && text::Be16(frame, 4) == frame.size() - 6 && IsFunctionOrException(frame[7]);
}

Fields DecodeModbusTcp(Bytes frame, const Options& options)
{
    Fields out;
    FieldWriter w(out, frame);
    if (!text::HoldsFirst(w, kFields[Mbap], kMbapSize))
        return out;
    w.Add(0, kFields[Mbap], 0, kMbapSize, "");
    w.AddBits(1, kFields[TransactionId], 0, 2, text::Be16(frame, 0));
    const unsigned protocol = text::Be16(frame, 2);
    if (protocol == 0)
        w.Add(1, kFields[ProtocolId], 2, 2, "0 MODBUS", Verdict::Good).number = 0;
    else
        w.Add(1, kFields[ProtocolId], 2, 2, Arg(C_("decode", "%1 (not MODBUS)"), {std::to_string(protocol)}), Verdict::Bad, "00 00")
            .number = protocol;
    const unsigned length = text::Be16(frame, 4);
    const std::size_t follows = frame.size() - 6;
    if (length == follows)
        w.Add(1, kFields[Length], 4, 2, std::to_string(length), Verdict::Good).number = length;
    else
        w.Add(1, kFields[Length], 4, 2,
              Arg(C_("decode", "%1 (%2 bytes follow)"), {std::to_string(length), std::to_string(follows)}), Verdict::Bad,
              follows <= 0xFFFF ? text::HighLowPairs(static_cast<unsigned>(follows)) : "")
            .number = length;
    w.AddBits(1, kFields[Unit], 6, 1, frame[6]);
    ReadPdu(w, kMbapSize, frame.size(), ContextOf(frame, Protocol::ModbusTcp, options));
    return out;
}

bool ShapeModbusRtu(Bytes frame)
{
    const std::size_t n = frame.size();
    return n >= kRtuMinimum && CrcModbus(frame.first(n - 2)) == text::Le16(frame, n - 2);
}

bool ShapeModbusRtuButCrc(Bytes frame)
{
    const auto place = PlaceOf(frame, Protocol::ModbusRtu);
    if (!place || place->unit > kMaxUnit)
        return false;
    // IEC 101's start and end bytes around it: a 101 frame gone wrong.
    if ((frame[0] == 0x68 || frame[0] == 0x10) && frame.back() == 0x16)
        return false;
    const unsigned code = frame[place->at];
    if (code & 0x80)
        return place->unit != 0 && IsListed(code & 0x7F) && place->end - place->at == 2
            && NameOf(kExceptions, frame[place->at + 1], "") != "";
    // The broadcast address only writes, and is never answered.
    if (place->unit == 0)
        return IsWrite(code) && FitAt(frame, *place, Role::Request) == Whole;
    return FitAt(frame, *place, Role::Request) == Whole || FitAt(frame, *place, Role::Response) == Whole;
}

Fields DecodeModbusRtu(Bytes frame, const Options& options)
{
    Fields out;
    FieldWriter w(out, frame);
    const std::size_t n = frame.size();
    if (n < kRtuMinimum) {
        w.Add(0, kFields[Frame], 0, n,
              Arg(C_("decode", "%1 (unit, function code and CRC at least)"), {text::Truncated(n, kRtuMinimum)}), Verdict::Bad);
        return out;
    }
    const unsigned unit = frame[0];
    w.Add(0, kFields[Unit], 0, 1, unit == 0 ? C_("decode", "0 (broadcast)") : std::to_string(unit)).number = unit;
    ReadPdu(w, 1, n - 2, ContextOf(frame, Protocol::ModbusRtu, options));
    const unsigned crc = CrcModbus(frame.first(n - 2));
    text::AddCheckCode(w, 0, kFields[Crc], n - 2, text::Le16(frame, n - 2), crc, 4, text::LowHighPairs(crc));
    return out;
}

} // namespace decode
