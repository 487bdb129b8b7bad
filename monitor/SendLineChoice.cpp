#include "monitor/SendLineChoice.h"

#include "frame/LineRandom.h"

namespace monitor {

int ChooseSendLine(std::uint8_t style, int caretLine, int lineCount, int loopLine, LineRandom& random)
{
    switch (style) {
    case StyleLoop:
        return loopLine;
    case StyleRandom:
        return random.Next(lineCount);
    default:
        return caretLine;
    }
}

int NextLoopLine(int loopLine, int lineCount, std::optional<LoopRange> range)
{
    const int next = loopLine + 1;
    if (range)
        return next > range->last ? range->first : next;
    return next >= lineCount ? 0 : next;
}

} // namespace monitor
