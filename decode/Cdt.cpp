#include "decode/Decode.h"

// Placeholder until the decoder lands: recognises nothing.

namespace decode {

bool ShapeCdt(Bytes) { return false; }
Fields DecodeCdt(Bytes) { return {}; }

} // namespace decode
