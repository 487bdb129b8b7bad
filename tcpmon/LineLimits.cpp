#include "tcpmon/LineLimits.h"

namespace tamrel {

bool ReceiveWindowOverflows(int lineCount)
{
    return lineCount > kReceiveWindowLineLimit;
}

} // namespace tamrel
