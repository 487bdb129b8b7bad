#include "frame/LineRandom.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(LineRandom, GivesTheSameLinesInEveryRun)
{
    // Line numbers (from 1) chosen among 10 lines by a fresh generator.
    LineRandom random;
    std::vector<int> lines;
    for (int i = 0; i < 8; ++i)
        lines.push_back(random.Next(10) + 1);
    EXPECT_EQ(lines, (std::vector<int>{1, 1, 9, 3, 3, 7, 4, 2}));
}

TEST(LineRandom, InstancesDoNotShareState)
{
    LineRandom first;
    LineRandom second;
    for (int i = 0; i < 5; ++i)
        (void)first.Next(1000);
    LineRandom fresh;
    EXPECT_EQ(second.Next(1000), fresh.Next(1000));
}

TEST(LineRandom, StaysInRange)
{
    LineRandom random;
    for (const int count : {1, 2, 3, 7, 101, 1000, 2147483647}) {
        for (int i = 0; i < 2000; ++i) {
            const int index = random.Next(count);
            ASSERT_GE(index, 0);
            ASSERT_LT(index, count);
        }
    }
    EXPECT_EQ(random.Next(0), 0);
    EXPECT_EQ(random.Next(-5), 0);
}

} // namespace
