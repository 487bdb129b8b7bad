#include "tcpmon/LineLimits.h"

bool ReceiveWindowOverflows(int lineCount)
{
    return lineCount > kReceiveWindowLineLimit;
}

