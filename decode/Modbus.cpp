#include "decode/ByteText.h"
#include "decode/Decode.h"

#include "frame/Crc.h"

#include <array>
#include <string>

// MODBUS RTU (unit, PDU, CRC) and MODBUS/TCP (MBAP header, PDU). A request
// and a response of one function are told apart by the PDU's length, since a
// frame carries no direction: a read request holds an address and a count, a
// read response a byte count and that many bytes.

namespace decode {

namespace {

constexpr std::size_t kMbapSize = 7;
constexpr std::size_t kRtuMinimum = 4; // unit, function, CRC
constexpr unsigned kMaxBits = 2000;     // the most coils or inputs one request reads

constexpr Name kFunctions[] = {
    {1, "Read Coils"},
    {2, "Read Discrete Inputs"},
    {3, "Read Holding Registers"},
    {4, "Read Input Registers"},
    {5, "Write Single Coil"},
    {6, "Write Single Register"},
    {7, "Read Exception Status"},
    {8, "Diagnostics"},
    {11, "Get Comm Event Counter"},
    {12, "Get Comm Event Log"},
    {15, "Write Multiple Coils"},
    {16, "Write Multiple Registers"},
    {17, "Report Server ID"},
    {20, "Read File Record"},
    {21, "Write File Record"},
    {22, "Mask Write Register"},
    {23, "Read/Write Multiple Registers"},
    {24, "Read FIFO Queue"},
    {43, "Encapsulated Interface Transport"},
};

constexpr Name kExceptions[] = {
    {1, "Illegal Function"},
    {2, "Illegal Data Address"},
    {3, "Illegal Data Value"},
    {4, "Server Device Failure"},
    {5, "Acknowledge"},
    {6, "Server Device Busy"},
    {8, "Memory Parity Error"},
    {10, "Gateway Path Unavailable"},
    {11, "Gateway Target Device Failed to Respond"},
};

enum F : std::size_t {
    Mbap, TransactionId, ProtocolId, Length, Unit, Frame, Pdu, FunctionCode, ExceptionFunction, Data,
    ExceptionCode, ExtraBytes, ByteCountField, WriteByteCount, Coils, Inputs, Outputs, Value, Register,
    StartingAddress, CoilQuantity, InputQuantity, RegisterQuantity, OutputQuantity, ReadAddress,
    ReadQuantity, WriteAddress, WriteQuantity, OutputAddress, OutputValue, RegisterAddress,
    RegisterValue, Crc, FieldCount
};

constexpr std::array<FieldDef, FieldCount> kFields{{
    {"modbus.mbap", "MBAP header"},
    {"modbus.transaction", "Transaction identifier"},
    {"modbus.protocol", "Protocol identifier"},
    {"modbus.length", "Length"},
    {"modbus.unit", "Unit identifier"},
    {"modbus.frame", "Frame"},
    {"modbus.pdu", "PDU"},
    {"modbus.function", "Function code", 0, kFunctions, "unknown"},
    {"modbus.exception_function", "Function code", 0x7F, kFunctions, "unknown"},
    {"modbus.data", "Data"},
    {"modbus.exception", "Exception code", 0, kExceptions, "unknown"},
    {"modbus.extra", "Extra bytes"},
    {"modbus.byte_count", "Byte count"},
    {"modbus.write_byte_count", "Write byte count"},
    {"modbus.coils", "Coils"},
    {"modbus.inputs", "Inputs"},
    {"modbus.outputs", "Outputs"},
    {"modbus.value", "Value"},
    {"modbus.register", "Register"},
    {"modbus.start", "Starting address"},
    {"modbus.coil_quantity", "Quantity of coils"},
    {"modbus.input_quantity", "Quantity of inputs"},
    {"modbus.register_quantity", "Quantity of registers"},
    {"modbus.output_quantity", "Quantity of outputs"},
    {"modbus.read_start", "Read starting address"},
    {"modbus.read_quantity", "Quantity to read"},
    {"modbus.write_start", "Write starting address"},
    {"modbus.write_quantity", "Quantity to write"},
    {"modbus.output_address", "Output address"},
    {"modbus.output_value", "Output value"},
    {"modbus.register_address", "Register address"},
    {"modbus.register_value", "Register value"},
    {"modbus.crc", "CRC"},
}};

std::string FunctionText(unsigned code)
{
    return kFields[FunctionCode].Coded(code);
}

std::string RegisterText(unsigned value)
{
    return std::to_string(value) + " (" + text::Hex(value, 4) + ")";
}

// The shape a PDU's data (the bytes after the function code) has.
enum class Shape { Request, Response, Echo, Neither };

// Reads the PDU of one frame: its function code at `at`, its data up to `end`.
class PduReader {
public:
    PduReader(FieldWriter& w, std::size_t at, std::size_t end)
        : w_(w), f_(w.Frame()), at_(at), data_(at + 1), size_(end - at - 1)
    {
    }

    void Read()
    {
        const unsigned code = f_[at_];
        if (code & 0x80) {
            ReadException(code & 0x7F);
            return;
        }
        const Shape shape = ShapeOf(code);
        static constexpr std::string_view kShapeText[] = {", request", ", response",
                                                          ", request or its echoed response", ""};
        w_.Add(0, kFields[Pdu], at_, size_ + 1, FunctionText(code) + std::string(kShapeText[static_cast<int>(shape)]));
        w_.AddBits(1, kFields[FunctionCode], at_, 1, code);
        if (shape == Shape::Neither) {
            if (IsListed(code))
                w_.Add(1, kFields[Data], data_, size_,
                       std::to_string(size_) + " bytes: the length of neither a request nor a response",
                       Verdict::Bad);
            else
                w_.Add(1, kFields[Data], data_, size_, std::to_string(size_) + " bytes");
            return;
        }
        switch (code) {
        case 1:
        case 2: ReadBits(code, shape); break;
        case 3:
        case 4: ReadRegisters(shape); break;
        case 5:
            AddressAndValue(OutputAddress, OutputValue, CoilText(U16(2)));
            break;
        case 6:
            AddressAndValue(RegisterAddress, RegisterValue, RegisterText(U16(2)));
            break;
        case 15: WriteMultipleCoils(shape); break;
        case 16: WriteMultipleRegisters(shape); break;
        case 23: ReadWriteMultipleRegisters(shape); break;
        default: break;
        }
    }

private:
    static bool IsListed(unsigned code)
    {
        return (code >= 1 && code <= 6) || code == 15 || code == 16 || code == 23;
    }

    unsigned U16(std::size_t i) const { return text::Be16(f_, data_ + i); }
    unsigned U8(std::size_t i) const { return f_[data_ + i]; }

    // A byte count at data byte `i` that counts the rest of the data.
    bool CountsRest(std::size_t i) const { return size_ > i && U8(i) == size_ - i - 1; }

    Shape ShapeOf(unsigned code) const
    {
        switch (code) {
        case 1:
        case 2:
            // Four bytes of data are a request unless they are a response of
            // three status bytes and the quantity a request could not ask for.
            if (size_ == 4 && !(CountsRest(0) && (U16(2) == 0 || U16(2) > kMaxBits)))
                return Shape::Request;
            return CountsRest(0) ? Shape::Response : Shape::Neither;
        case 3:
        case 4:
            if (size_ == 4)
                return Shape::Request;
            return CountsRest(0) && U8(0) % 2 == 0 ? Shape::Response : Shape::Neither;
        case 5:
        case 6: return size_ == 4 ? Shape::Echo : Shape::Neither;
        case 15: return CountsRest(4) ? Shape::Request : size_ == 4 ? Shape::Response : Shape::Neither;
        case 16:
            if (CountsRest(4) && U8(4) % 2 == 0)
                return Shape::Request;
            return size_ == 4 ? Shape::Response : Shape::Neither;
        case 23:
            if (CountsRest(8) && U8(8) % 2 == 0)
                return Shape::Request;
            return CountsRest(0) && U8(0) % 2 == 0 ? Shape::Response : Shape::Neither;
        default: return Shape::Neither;
        }
    }

    void ReadException(unsigned function)
    {
        const std::string to = "exception response to " + FunctionText(function);
        w_.Add(0, kFields[Pdu], at_, size_ + 1, to);
        w_.Add(1, kFields[ExceptionFunction], at_, 1, text::Hex(function | 0x80, 2) + ": " + to).number = function;
        if (size_ == 0) {
            w_.Add(1, kFields[ExceptionCode], data_, 1, text::Truncated(0, 1), Verdict::Bad);
            return;
        }
        w_.AddBits(1, kFields[ExceptionCode], data_, 1, U8(0));
        if (size_ > 1)
            w_.Add(1, kFields[ExtraBytes], data_ + 1, size_ - 1,
                   std::to_string(size_ - 1) + " bytes after the exception code", Verdict::Bad)
                .number = static_cast<double>(size_ - 1);
    }

    // A byte count that the count of items should also give.
    void ByteCount(std::size_t i, unsigned expected, F field = ByteCountField)
    {
        const unsigned count = U8(i);
        if (count == expected)
            w_.Add(1, kFields[field], data_ + i, 1, std::to_string(count), Verdict::Good).number = count;
        else
            w_.Add(1, kFields[field], data_ + i, 1,
                   std::to_string(count) + " (the quantity needs " + std::to_string(expected) + ")",
                   Verdict::Bad, expected <= 0xFF ? text::HexByte(expected) : "")
                .number = count;
    }

    // A byte count the shape has already found right.
    void GoodByteCount() { w_.Add(1, kFields[ByteCountField], data_, 1, std::to_string(U8(0)), Verdict::Good).number = U8(0); }

    // One field per status byte from data byte `from` on: its 8 bits, bit 0 first.
    void Bits(std::size_t from, F what)
    {
        for (std::size_t i = from, n = 0; i < size_; ++i, n += 8) {
            std::string bits;
            for (int b = 0; b < 8; ++b) {
                if (b > 0)
                    bits += ' ';
                bits += text::Bit(U8(i), b);
            }
            w_.AddNth(1, kFields[what], std::to_string(n) + "-" + std::to_string(n + 7), data_ + i, 1, bits)
                .number = U8(i);
        }
    }

    // Register values from data byte `from` on, named "<prefix> <first + k>".
    void Registers(std::size_t from, F prefix, unsigned first)
    {
        for (std::size_t i = from; i + 1 < size_; i += 2)
            w_.AddNth(1, kFields[prefix], std::to_string(first + (i - from) / 2), data_ + i, 2,
                      RegisterText(U16(i)))
                .number = U16(i);
    }

    // Two 16-bit numbers at data byte `i`: an address and a quantity.
    void AddressAndQuantity(F address, F quantity, std::size_t i = 0)
    {
        w_.AddBits(1, kFields[address], data_ + i, 2, U16(i));
        w_.AddBits(1, kFields[quantity], data_ + i + 2, 2, U16(i + 2));
    }

    // An address and the value written there, as the write of one item has them.
    void AddressAndValue(F address, F value, std::string text)
    {
        w_.AddBits(1, kFields[address], data_, 2, U16(0));
        w_.Add(1, kFields[value], data_ + 2, 2, std::move(text)).number = U16(2);
    }

    void ReadBits(unsigned code, Shape shape)
    {
        if (shape == Shape::Request) {
            AddressAndQuantity(StartingAddress, code == 1 ? CoilQuantity : InputQuantity);
            return;
        }
        GoodByteCount();
        Bits(1, code == 1 ? Coils : Inputs);
    }

    void ReadRegisters(Shape shape)
    {
        if (shape == Shape::Request) {
            AddressAndQuantity(StartingAddress, RegisterQuantity);
            return;
        }
        GoodByteCount();
        Registers(1, Value, 1);
    }

    void WriteMultipleCoils(Shape shape)
    {
        AddressAndQuantity(StartingAddress, OutputQuantity);
        if (shape == Shape::Response)
            return;
        ByteCount(4, (U16(2) + 7) / 8);
        Bits(5, Outputs);
    }

    void WriteMultipleRegisters(Shape shape)
    {
        AddressAndQuantity(StartingAddress, RegisterQuantity);
        if (shape == Shape::Response)
            return;
        ByteCount(4, 2 * U16(2));
        Registers(5, Register, U16(0));
    }

    void ReadWriteMultipleRegisters(Shape shape)
    {
        if (shape == Shape::Response) {
            GoodByteCount();
            Registers(1, Value, 1);
            return;
        }
        AddressAndQuantity(ReadAddress, ReadQuantity);
        AddressAndQuantity(WriteAddress, WriteQuantity, 4);
        ByteCount(8, 2 * U16(6), WriteByteCount);
        Registers(9, Register, U16(4));
    }

    static std::string CoilText(unsigned value)
    {
        if (value == 0xFF00)
            return "FF00 on";
        if (value == 0x0000)
            return "0000 off";
        return text::Hex(value, 4) + " (neither FF00 on nor 0000 off)";
    }

    FieldWriter& w_;
    Bytes f_;
    std::size_t at_;
    std::size_t data_;
    std::size_t size_;
};

// The PDU from `at` to `end`, or the field saying its function code is missing.
void ReadPdu(FieldWriter& w, std::size_t at, std::size_t end)
{
    if (end <= at) {
        w.Add(0, kFields[Pdu], at, 1, "truncated: no function code", Verdict::Bad);
        return;
    }
    PduReader(w, at, end).Read();
}

bool IsFunctionOrException(unsigned code)
{
    return (code >= 1 && code <= 127) || code >= 0x81;
}

} // namespace

std::span<const FieldDef> ModbusFields()
{
    return kFields;
}

bool ShapeModbusTcp(Bytes frame)
{
    return frame.size() > kMbapSize && text::Be16(frame, 2) == 0
        && text::Be16(frame, 4) == frame.size() - 6 && IsFunctionOrException(frame[7]);
}

Fields DecodeModbusTcp(Bytes frame)
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
        w.Add(1, kFields[ProtocolId], 2, 2, std::to_string(protocol) + " (not MODBUS)", Verdict::Bad, "00 00")
            .number = protocol;
    const unsigned length = text::Be16(frame, 4);
    const std::size_t follows = frame.size() - 6;
    if (length == follows)
        w.Add(1, kFields[Length], 4, 2, std::to_string(length), Verdict::Good).number = length;
    else
        w.Add(1, kFields[Length], 4, 2,
              std::to_string(length) + " (" + std::to_string(follows) + " bytes follow)", Verdict::Bad,
              follows <= 0xFFFF ? text::HighLowPairs(static_cast<unsigned>(follows)) : "")
            .number = length;
    w.AddBits(1, kFields[Unit], 6, 1, frame[6]);
    ReadPdu(w, kMbapSize, frame.size());
    return out;
}

bool ShapeModbusRtu(Bytes frame)
{
    const std::size_t n = frame.size();
    return n >= kRtuMinimum && CrcModbus(frame.first(n - 2)) == text::Le16(frame, n - 2);
}

Fields DecodeModbusRtu(Bytes frame)
{
    Fields out;
    FieldWriter w(out, frame);
    const std::size_t n = frame.size();
    if (n < kRtuMinimum) {
        w.Add(0, kFields[Frame], 0, n,
              text::Truncated(n, kRtuMinimum) + " (unit, function code and CRC at least)", Verdict::Bad);
        return out;
    }
    const unsigned unit = frame[0];
    w.Add(0, kFields[Unit], 0, 1, unit == 0 ? "0 (broadcast)" : std::to_string(unit)).number = unit;
    ReadPdu(w, 1, n - 2);
    const unsigned crc = CrcModbus(frame.first(n - 2));
    text::AddCheckCode(w, 0, kFields[Crc], n - 2, text::Le16(frame, n - 2), crc, 4, text::LowHighPairs(crc));
    return out;
}

} // namespace decode
