#include "decode/ByteText.h"
#include "decode/Decode.h"

#include "frame/Crc.h"

#include <string>

// MODBUS RTU (unit, PDU, CRC) and MODBUS/TCP (MBAP header, PDU). A request
// and a response of one function are told apart by the PDU's length, since a
// frame carries no direction: a read request holds an address and a count, a
// read response a byte count and that many bytes.

namespace decode {

namespace {

using text::Name;

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

std::string FunctionText(unsigned code)
{
    return std::to_string(code) + " " + std::string(text::NameOf(kFunctions, code));
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
        w_.Add(0, "PDU", at_, size_ + 1, FunctionText(code) + std::string(kShapeText[static_cast<int>(shape)]));
        w_.Add(1, "Function code", at_, 1, FunctionText(code));
        if (shape == Shape::Neither) {
            if (IsListed(code))
                w_.Add(1, "Data", data_, size_,
                       std::to_string(size_) + " bytes: the length of neither a request nor a response",
                       Verdict::Bad);
            else
                w_.Add(1, "Data", data_, size_, std::to_string(size_) + " bytes");
            return;
        }
        switch (code) {
        case 1:
        case 2: ReadBits(code, shape); break;
        case 3:
        case 4: ReadRegisters(shape); break;
        case 5:
            w_.Add(1, "Output address", data_, 2, std::to_string(U16(0)));
            w_.Add(1, "Output value", data_ + 2, 2, CoilText(U16(2)));
            break;
        case 6:
            w_.Add(1, "Register address", data_, 2, std::to_string(U16(0)));
            w_.Add(1, "Register value", data_ + 2, 2, RegisterText(U16(2)));
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
        w_.Add(0, "PDU", at_, size_ + 1, to);
        w_.Add(1, "Function code", at_, 1, text::Hex(function | 0x80, 2) + ": " + to);
        if (size_ == 0) {
            w_.Add(1, "Exception code", data_, 1, text::Truncated(0, 1), Verdict::Bad);
            return;
        }
        const unsigned code = U8(0);
        w_.Add(1, "Exception code", data_, 1,
               std::to_string(code) + " " + std::string(text::NameOf(kExceptions, code)));
        if (size_ > 1)
            w_.Add(1, "Extra bytes", data_ + 1, size_ - 1,
                   std::to_string(size_ - 1) + " bytes after the exception code", Verdict::Bad);
    }

    // A byte count that the count of items should also give.
    void ByteCount(std::size_t i, unsigned expected, std::string_view name = "Byte count")
    {
        const unsigned count = U8(i);
        if (count == expected)
            w_.Add(1, name, data_ + i, 1, std::to_string(count), Verdict::Good);
        else
            w_.Add(1, name, data_ + i, 1,
                   std::to_string(count) + " (the quantity needs " + std::to_string(expected) + ")",
                   Verdict::Bad, expected <= 0xFF ? text::HexByte(expected) : "");
    }

    // One field per status byte from data byte `from` on: its 8 bits, bit 0 first.
    void Bits(std::size_t from, std::string_view what)
    {
        for (std::size_t i = from, n = 0; i < size_; ++i, n += 8) {
            std::string bits;
            for (int b = 0; b < 8; ++b) {
                if (b > 0)
                    bits += ' ';
                bits += text::Bit(U8(i), b);
            }
            w_.Add(1, std::string(what) + " " + std::to_string(n) + "-" + std::to_string(n + 7), data_ + i,
                   1, bits);
        }
    }

    // Register values from data byte `from` on, named "<prefix> <first + k>".
    void Registers(std::size_t from, std::string_view prefix, unsigned first)
    {
        for (std::size_t i = from; i + 1 < size_; i += 2)
            w_.Add(1, std::string(prefix) + " " + std::to_string(first + (i - from) / 2), data_ + i, 2,
                   RegisterText(U16(i)));
    }

    void AddressAndQuantity(std::string_view address, std::string_view quantity, std::size_t i = 0)
    {
        w_.Add(1, address, data_ + i, 2, std::to_string(U16(i)));
        w_.Add(1, quantity, data_ + i + 2, 2, std::to_string(U16(i + 2)));
    }

    void ReadBits(unsigned code, Shape shape)
    {
        const std::string_view what = code == 1 ? "Coils" : "Inputs";
        if (shape == Shape::Request) {
            AddressAndQuantity("Starting address", code == 1 ? "Quantity of coils" : "Quantity of inputs");
            return;
        }
        w_.Add(1, "Byte count", data_, 1, std::to_string(U8(0)), Verdict::Good);
        Bits(1, what);
    }

    void ReadRegisters(Shape shape)
    {
        if (shape == Shape::Request) {
            AddressAndQuantity("Starting address", "Quantity of registers");
            return;
        }
        w_.Add(1, "Byte count", data_, 1, std::to_string(U8(0)), Verdict::Good);
        Registers(1, "Value", 1);
    }

    void WriteMultipleCoils(Shape shape)
    {
        AddressAndQuantity("Starting address", "Quantity of outputs");
        if (shape == Shape::Response)
            return;
        ByteCount(4, (U16(2) + 7) / 8);
        Bits(5, "Outputs");
    }

    void WriteMultipleRegisters(Shape shape)
    {
        AddressAndQuantity("Starting address", "Quantity of registers");
        if (shape == Shape::Response)
            return;
        ByteCount(4, 2 * U16(2));
        Registers(5, "Register", U16(0));
    }

    void ReadWriteMultipleRegisters(Shape shape)
    {
        if (shape == Shape::Response) {
            w_.Add(1, "Byte count", data_, 1, std::to_string(U8(0)), Verdict::Good);
            Registers(1, "Value", 1);
            return;
        }
        AddressAndQuantity("Read starting address", "Quantity to read");
        AddressAndQuantity("Write starting address", "Quantity to write", 4);
        ByteCount(8, 2 * U16(6), "Write byte count");
        Registers(9, "Register", U16(4));
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
        w.Add(0, "PDU", at, 1, "truncated: no function code", Verdict::Bad);
        return;
    }
    PduReader(w, at, end).Read();
}

bool IsFunctionOrException(unsigned code)
{
    return (code >= 1 && code <= 127) || code >= 0x81;
}

} // namespace

bool ShapeModbusTcp(Bytes frame)
{
    return frame.size() > kMbapSize && text::Be16(frame, 2) == 0
        && text::Be16(frame, 4) == frame.size() - 6 && IsFunctionOrException(frame[7]);
}

Fields DecodeModbusTcp(Bytes frame)
{
    Fields out;
    FieldWriter w(out, frame);
    if (frame.size() < kMbapSize) {
        w.Add(0, "MBAP header", 0, kMbapSize, text::Truncated(frame.size(), kMbapSize), Verdict::Bad);
        return out;
    }
    w.Add(0, "MBAP header", 0, kMbapSize, "");
    w.Add(1, "Transaction identifier", 0, 2, std::to_string(text::Be16(frame, 0)));
    const unsigned protocol = text::Be16(frame, 2);
    if (protocol == 0)
        w.Add(1, "Protocol identifier", 2, 2, "0 MODBUS", Verdict::Good);
    else
        w.Add(1, "Protocol identifier", 2, 2, std::to_string(protocol) + " (not MODBUS)", Verdict::Bad, "00 00");
    const unsigned length = text::Be16(frame, 4);
    const std::size_t follows = frame.size() - 6;
    if (length == follows)
        w.Add(1, "Length", 4, 2, std::to_string(length), Verdict::Good);
    else
        w.Add(1, "Length", 4, 2,
              std::to_string(length) + " (" + std::to_string(follows) + " bytes follow)", Verdict::Bad,
              follows <= 0xFFFF ? text::HighLowPairs(static_cast<unsigned>(follows)) : "");
    w.Add(1, "Unit identifier", 6, 1, std::to_string(frame[6]));
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
        w.Add(0, "Frame", 0, n,
              text::Truncated(n, kRtuMinimum) + " (unit, function code and CRC at least)", Verdict::Bad);
        return out;
    }
    const unsigned unit = frame[0];
    w.Add(0, "Unit identifier", 0, 1, unit == 0 ? "0 (broadcast)" : std::to_string(unit));
    ReadPdu(w, 1, n - 2);
    const unsigned sent = text::Le16(frame, n - 2);
    const unsigned crc = CrcModbus(frame.first(n - 2));
    if (sent == crc)
        w.Add(0, "CRC", n - 2, 2, text::Hex(crc, 4), Verdict::Good);
    else
        w.Add(0, "CRC", n - 2, 2, text::Hex(sent, 4) + " (should be " + text::Hex(crc, 4) + ")", Verdict::Bad,
              text::LowHighPairs(crc));
    return out;
}

} // namespace decode
