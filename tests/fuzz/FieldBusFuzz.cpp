// libFuzzer target for the MODBUS, CDT and sum-frame decoders, built
// once per decoder (FUZZ_DECODER names it). Beyond not crashing: a field that
// runs past the frame is a bad one, each field's bytes are the frame's bytes
// at its offset, a bad check code's expected value is hex pairs, decoding the
// same bytes twice gives the same fields. (DNP3 has a target of its own.)
#include "FuzzRequire.h"

#include "decode/Decode.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace {

bool IsHexPairs(const std::string& text)
{
    if (text.size() % 3 != 2)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = i % 3 == 2 ? c == ' ' : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (!ok)
            return false;
    }
    return true;
}

void CheckFields(decode::Bytes frame, decode::Fields (*decoder)(decode::Bytes))
{
    decode::Fields fields;
    try {
        fields = decoder(frame);
    } catch (...) {
        FUZZ_REQUIRE(!"a decoder threw");
    }
    FUZZ_REQUIRE(!fields.empty());
    FUZZ_REQUIRE(fields.front().depth == 0);
    for (const auto& f : fields) {
        FUZZ_REQUIRE(f.depth >= 0 && f.depth <= 2);
        FUZZ_REQUIRE(!f.name.empty());
        const bool inside = f.offset <= frame.size() && f.length <= frame.size() - f.offset;
        FUZZ_REQUIRE(inside || f.verdict == decode::Verdict::Bad);
        const std::size_t begin = std::min(f.offset, frame.size());
        const std::size_t size = std::min(f.length, frame.size() - begin);
        FUZZ_REQUIRE(f.raw.size() == size);
        FUZZ_REQUIRE(size == 0 || std::memcmp(f.raw.data(), frame.data() + begin, size) == 0);
        FUZZ_REQUIRE(f.expected.empty() || (f.verdict == decode::Verdict::Bad && IsHexPairs(f.expected)));
    }
    FUZZ_REQUIRE(decoder(frame) == fields);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const decode::Bytes frame(data, size);
#if FUZZ_DECODER == 1
    CheckFields(frame, decode::DecodeModbusRtu);
    CheckFields(frame, decode::DecodeModbusTcp);
    if (decode::ShapeModbusTcp(frame))
        FUZZ_REQUIRE(decode::DecodeModbusTcp(frame)[3].verdict == decode::Verdict::Good); // the length
#elif FUZZ_DECODER == 3
    CheckFields(frame, decode::DecodeCdt);
#elif FUZZ_DECODER == 4
    CheckFields(frame, decode::DecodeCheckSum);
    if (decode::ShapeCheckSum(frame))
        FUZZ_REQUIRE(decode::DecodeCheckSum(frame).back().verdict == decode::Verdict::Good);
#else
#error "FUZZ_DECODER names the decoder: 1 MODBUS, 3 CDT, 4 sum or parity"
#endif
    return 0;
}
