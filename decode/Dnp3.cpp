#include "decode/Decode.h"

// Placeholder until the decoder lands: recognises nothing.

namespace decode {

bool ShapeDnp3(Bytes) { return false; }
Fields DecodeDnp3(Bytes) { return {}; }

} // namespace decode
