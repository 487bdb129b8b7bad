#include "decode/Decode.h"

// Placeholder until the decoder lands: recognises nothing.

namespace decode {

bool ShapeIec104(Bytes) { return false; }
Fields DecodeIec104(Bytes) { return {}; }
bool ShapeIec101(Bytes, const IecSizes&) { return false; }
Fields DecodeIec101(Bytes, const IecSizes&) { return {}; }

} // namespace decode
