// libFuzzer target for the IEC 60870-5-101 decoder under several link
// settings: any bytes decode to fields that lie inside the frame and copy its
// bytes, the decoder never throws and gives the same fields twice, and a
// frame of the 101 shape has its lengths good and its checksum and end shown.
#include "FuzzRequire.h"
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
        RequireInside(fields, frame);
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
