#include "decode/ByteText.h"
#include "decode/Decode.h"

#include <array>
#include <string>

// Frames the sum and parity check-code commands make: the data, then one
// byte that is either the sum of the data mod 256 or 0xFF XOR every data
// byte. The 0x68 frame of the third command is the IEC 101 decoder's.

namespace decode {

namespace {

enum F : std::size_t { Frame, Data, Sum, Parity, SumOrParity, FieldCount };

constexpr std::array<FieldDef, FieldCount> kFields{{
    {"sum.frame", NC_("decode", "Frame")},
    {"sum.data", NC_("decode", "Data")},
    {"sum.sum", NC_("decode", "Sum")},
    {"sum.parity", NC_("decode", "Parity")},
    {"sum.check", NC_("decode", "Sum or parity")},
}};

struct Codes {
    unsigned sum = 0;
    unsigned parity = 0xFF;
};

Codes CodesOf(Bytes data)
{
    Codes c;
    for (uint8_t b : data) {
        c.sum = (c.sum + b) & 0xFF;
        c.parity ^= b;
    }
    return c;
}

} // namespace

std::span<const FieldDef> CheckSumFields()
{
    return kFields;
}

bool ShapeCheckSum(Bytes frame)
{
    if (frame.size() < 2)
        return false;
    const Codes c = CodesOf(frame.first(frame.size() - 1));
    return frame.back() == c.sum || frame.back() == c.parity;
}

Fields DecodeCheckSum(Bytes frame)
{
    Fields out;
    FieldWriter w(out, frame);
    const std::size_t n = frame.size();
    if (n < 2) {
        w.Add(0, kFields[Frame], 0, 2, Arg(C_("decode", "%1 (data and a check byte at least)"), {text::Truncated(n, 2)}), Verdict::Bad)
            .number = static_cast<double>(n);
        return out;
    }
    const Codes c = CodesOf(frame.first(n - 1));
    w.Add(0, kFields[Data], 0, n - 1, Arg(C_("decode", "%1 bytes"), {std::to_string(n - 1)})).number = static_cast<double>(n - 1);
    const unsigned sent = frame.back();
    Field* code = nullptr;
    if (sent == c.sum && sent == c.parity)
        code = &w.Add(0, kFields[Sum], n - 1, 1, Arg(C_("decode", "%1: the data's sum mod 256 (and its parity)"), {text::Hex(sent, 2)}),
                      Verdict::Good);
    else if (sent == c.sum)
        code = &w.Add(0, kFields[Sum], n - 1, 1, Arg(C_("decode", "%1: the data's sum mod 256"), {text::Hex(sent, 2)}), Verdict::Good);
    else if (sent == c.parity)
        code = &w.Add(0, kFields[Parity], n - 1, 1, Arg(C_("decode", "%1: FF XOR every data byte"), {text::Hex(sent, 2)}), Verdict::Good);
    else
        code = &w.Add(0, kFields[SumOrParity], n - 1, 1,
                      Arg(C_("decode", "%1 (the sum would be %2, the parity %3)"),
                          {text::Hex(sent, 2), text::Hex(c.sum, 2), text::Hex(c.parity, 2)}),
                      Verdict::Bad, text::HexByte(c.sum));
    code->number = sent;
    return out;
}

} // namespace decode
