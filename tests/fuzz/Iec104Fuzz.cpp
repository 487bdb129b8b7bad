// libFuzzer target for the IEC 60870-5-104 decoder: any bytes decode to
// fields that lie inside the frame and copy its bytes, the decoder never
// throws and gives the same fields twice, and a chunk of the 104 shape has
// every APDU's start and length good.
#include "FuzzRequire.h"
#include "decode/Decode.h"

#include <cstdint>
#include <cstring>

namespace {

void RequireInside(const decode::Fields& fields, decode::Bytes frame)
{
    FUZZ_REQUIRE(!fields.empty());
    FUZZ_REQUIRE(fields.front().depth == 0);
    int depth = 0;
    for (const decode::Field& f : fields) {
        FUZZ_REQUIRE(f.offset + f.length <= frame.size());
        FUZZ_REQUIRE(f.raw.size() == f.length);
        FUZZ_REQUIRE(f.length == 0 || std::memcmp(f.raw.data(), frame.data() + f.offset, f.length) == 0);
        FUZZ_REQUIRE(f.depth >= 0 && f.depth <= depth + 1);
        FUZZ_REQUIRE((f.verdict == decode::Verdict::Bad) == !f.expected.empty());
        depth = f.depth;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const decode::Bytes frame(data, size);
    decode::Fields fields;
    try {
        fields = decode::DecodeIec104(frame);
    } catch (...) {
        FUZZ_REQUIRE(!"DecodeIec104 threw");
    }
    RequireInside(fields, frame);
    FUZZ_REQUIRE(decode::DecodeIec104(frame) == fields);
    if (decode::ShapeIec104(frame)) {
        for (const decode::Field& f : fields)
            FUZZ_REQUIRE(f.verdict != decode::Verdict::Bad ||
                         (f.name != "Length" && f.name != "Start"));
    }
    return 0;
}
