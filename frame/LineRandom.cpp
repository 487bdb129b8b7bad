#include "frame/LineRandom.h"

int LineRandom::Next(int count)
{
    state_ = state_ * 134775813u + 1u;
    if (count <= 0)
        return 0;
    return static_cast<int>((uint64_t{state_} * static_cast<uint32_t>(count)) >> 32);
}
