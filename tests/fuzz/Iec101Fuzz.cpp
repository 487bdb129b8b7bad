// libFuzzer target for the IEC 60870-5-101 decoder under several link
// settings: any bytes decode to fields that lie inside the frame and copy its
// bytes, the decoder never throws and gives the same fields twice, and a
// frame of the 101 shape has its lengths good and its checksum and end shown.
#include "FuzzRequire.h"
#include "IecFieldsInside.h"
#include "decode/Decode.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::array<decode::IecSizes, 4> kSettings{{
    {1, 1, 1, 2},
    {2, 2, 2, 3},
    {0, 1, 2, 3},
    {1, 2, 1, 1},
}};

bool Has(const decode::Fields& fields, std::string_view name)
{
    for (const decode::Field& f : fields)
        if (f.name == name)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const decode::Bytes frame(data, size);
    for (const decode::IecSizes& sizes : kSettings) {
        decode::Fields fields;
        try {
            fields = decode::DecodeIec101(frame, sizes);
        } catch (...) {
            FUZZ_REQUIRE(!"DecodeIec101 threw");
        }
        RequireIecFieldsInside(fields, frame);
        FUZZ_REQUIRE(decode::DecodeIec101(frame, sizes) == fields);
        if (decode::ShapeIec101(frame, sizes)) {
            FUZZ_REQUIRE(Has(fields, "Checksum") && Has(fields, "End"));
            for (const decode::Field& f : fields)
                FUZZ_REQUIRE(f.verdict != decode::Verdict::Bad ||
                             (f.name != "Length" && f.name != "End"));
        }
    }
    return 0;
}
