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
#include <vector>

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

template <typename Decoder>
void CheckFields(decode::Bytes frame, Decoder decoder)
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
    CheckFields(frame, [](decode::Bytes f) { return decode::DecodeModbusRtu(f); });
    CheckFields(frame, [](decode::Bytes f) { return decode::DecodeModbusTcp(f); });
    if (decode::ShapeModbusTcp(frame))
        FUZZ_REQUIRE(decode::DecodeModbusTcp(frame)[3].verdict == decode::Verdict::Good); // the length
    // The first byte chooses the direction and the device's part, the second
    // where the frame before this one ends: the last frame sent or an earlier
    // one of the window.
    if (size >= 2) {
        decode::Options options;
        options.direction = static_cast<decode::Direction>(data[0] % 3);
        options.device = data[0] & 4 ? decode::DeviceRole::Asks : decode::DeviceRole::Answers;
        const std::size_t cut = std::min<std::size_t>(data[1], size - 2);
        const decode::Bytes before = frame.subspan(2, cut);
        const decode::Bytes rest = frame.subspan(2 + cut);
        if (data[0] & 8)
            options.lastSent.assign(before.begin(), before.end());
        else
            options.earlier = {std::vector<uint8_t>(rest.begin(), rest.end()),
                               std::vector<uint8_t>(before.begin(), before.end())};
        CheckFields(rest, [&](decode::Bytes f) { return decode::DecodeModbusRtu(f, options); });
        CheckFields(rest, [&](decode::Bytes f) { return decode::DecodeModbusTcp(f, options); });
        for (const auto framing : {decode::Protocol::ModbusRtu, decode::Protocol::ModbusTcp})
            if (const auto paired = decode::PairModbus(before, rest, framing))
                FUZZ_REQUIRE(paired->function == (rest[framing == decode::Protocol::ModbusRtu ? 1 : 7] & 0x7Fu));
        // an RTU frame but for its CRC is never left unrecognised
        if (decode::ShapeModbusRtuButCrc(rest)) {
            const decode::Protocol chosen = decode::Decode(rest, options).protocol;
            FUZZ_REQUIRE(chosen != decode::Protocol::Unrecognised && chosen != decode::Protocol::ModbusTcp
                         && chosen != decode::Protocol::CheckSum);
        }
    }
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
