#pragma once

#include "FuzzRequire.h"
#include "decode/Field.h"

#include <cstring>

// What every IEC decoding must be: fields that lie inside the frame and copy
// its bytes, depths that grow one level at a time from 0, and an expected
// value exactly on the fields that do not verify.
inline void RequireIecFieldsInside(const decode::Fields& fields, decode::Bytes frame)
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
