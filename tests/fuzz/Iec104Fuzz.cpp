// libFuzzer target for the IEC 60870-5-104 decoder: any bytes decode to
// fields that lie inside the frame and copy its bytes, the decoder never
// throws and gives the same fields twice, and a chunk of the 104 shape has
// every APDU's start and length good.
#include "FuzzRequire.h"
#include "IecFieldsInside.h"
#include "decode/Decode.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const decode::Bytes frame(data, size);
    decode::Fields fields;
    try {
        fields = decode::DecodeIec104(frame);
    } catch (...) {
        FUZZ_REQUIRE(!"DecodeIec104 threw");
    }
    RequireIecFieldsInside(fields, frame);
    FUZZ_REQUIRE(decode::DecodeIec104(frame) == fields);
    if (decode::ShapeIec104(frame)) {
        for (const decode::Field& f : fields)
            FUZZ_REQUIRE(f.verdict != decode::Verdict::Bad ||
                         (f.name != "Length" && f.name != "Start"));
    }
    return 0;
}
