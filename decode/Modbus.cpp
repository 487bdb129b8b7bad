#include "decode/Decode.h"

// Placeholder until the decoder lands: recognises nothing.

namespace decode {

bool ShapeModbusTcp(Bytes) { return false; }
Fields DecodeModbusTcp(Bytes) { return {}; }
bool ShapeModbusRtu(Bytes) { return false; }
Fields DecodeModbusRtu(Bytes) { return {}; }

} // namespace decode
