#include "tcpmon/LineLimits.h"

bool ReceiveWindowOverflows(int lineCount)
{
    return lineCount > kReceiveWindowLineLimit;
}

QStringList TrimLoadedLines(const QStringList& lines, int limit)
{
    if (lines.size() <= limit)
        return lines;
    return lines.mid(lines.size() - (limit - 1));
}
