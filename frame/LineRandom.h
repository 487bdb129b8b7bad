#pragma once

#include <cstdint>

// The random line choice of the send schedule. The generator is never seeded:
// every instance, and so every run of a program that holds one, gives the same
// sequence. A program keeps exactly one for its whole run.
class LineRandom {
public:
    // An index from 0 to count - 1 (0 when count is not positive); each call
    // advances the generator.
    [[nodiscard]] int Next(int count);

private:
    uint32_t state_ = 0;
};
