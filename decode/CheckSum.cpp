#include "decode/ByteText.h"
#include "decode/Decode.h"

#include <string>

// Frames the sum and parity check-code commands make: the data, then one
// byte that is either the sum of the data mod 256 or 0xFF XOR every data
// byte. The 0x68 frame of the third command is the IEC 101 decoder's.

namespace decode {

namespace {

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
        w.Add(0, "Frame", 0, 2, text::Truncated(n, 2) + " (data and a check byte at least)", Verdict::Bad);
        return out;
    }
    const Codes c = CodesOf(frame.first(n - 1));
    w.Add(0, "Data", 0, n - 1, std::to_string(n - 1) + " bytes");
    const unsigned sent = frame.back();
    if (sent == c.sum && sent == c.parity)
        w.Add(0, "Sum", n - 1, 1, text::Hex(sent, 2) + ": the data's sum mod 256 (and its parity)", Verdict::Good);
    else if (sent == c.sum)
        w.Add(0, "Sum", n - 1, 1, text::Hex(sent, 2) + ": the data's sum mod 256", Verdict::Good);
    else if (sent == c.parity)
        w.Add(0, "Parity", n - 1, 1, text::Hex(sent, 2) + ": FF XOR every data byte", Verdict::Good);
    else
        w.Add(0, "Sum or parity", n - 1, 1,
              text::Hex(sent, 2) + " (the sum would be " + text::Hex(c.sum, 2) + ", the parity "
                  + text::Hex(c.parity, 2) + ")",
              Verdict::Bad, text::HexByte(c.sum));
    return out;
}

} // namespace decode
