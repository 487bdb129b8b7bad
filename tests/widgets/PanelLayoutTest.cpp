#include "widgets/PanelLayout.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

int Sum(const std::vector<int>& v)
{
    return std::accumulate(v.begin(), v.end(), 0);
}

const std::vector<int> kWidths{200, 50, 100, 260, 200};

TEST(LayoutPanels, OwnWidthsWhenTheyFitAndTheLastTakesTheRest)
{
    EXPECT_EQ(LayoutPanels(kWidths, {0, 0, 0, 0, 0}, 810), kWidths);
    EXPECT_EQ(LayoutPanels(kWidths, {0, 0, 0, 0, 0}, 1000), (std::vector<int>{200, 50, 100, 260, 390}));
}

TEST(LayoutPanels, NarrowRowGivesUpEmptyRoomFirst)
{
    // Panels 1 and 2 are empty, the others need most of their width.
    const std::vector<int> needed{160, 8, 8, 250, 120};
    const std::vector<int> result = LayoutPanels(kWidths, needed, 600);
    ASSERT_EQ(result.size(), kWidths.size());
    EXPECT_EQ(Sum(result), 600);
    for (size_t i = 0; i < result.size(); ++i) {
        EXPECT_GE(result[i], needed[i]) << "panel " << i;
        EXPECT_LE(result[i], kWidths[i]) << "panel " << i;
    }
}

TEST(LayoutPanels, TextWiderThanItsPanelIsHeldToThePanelWidth)
{
    const std::vector<int> result = LayoutPanels({100, 100}, {500, 10}, 150);
    EXPECT_EQ(Sum(result), 150);
    EXPECT_LE(result[0], 100);
    EXPECT_GE(result[1], 10);
}

TEST(LayoutPanels, WhenTextsDoNotFitTheRightmostPanelsGiveWayFirst)
{
    EXPECT_EQ(LayoutPanels({200, 200}, {200, 100}, 150), (std::vector<int>{150, 0}));
    EXPECT_EQ(LayoutPanels({200, 50, 100}, {150, 8, 90}, 200), (std::vector<int>{150, 8, 42}));
}

TEST(LayoutPanels, DegenerateRows)
{
    EXPECT_TRUE(LayoutPanels({}, {}, 100).empty());
    EXPECT_EQ(LayoutPanels({200, 50}, {100, 10}, 0), (std::vector<int>{0, 0}));
    EXPECT_EQ(LayoutPanels({200, 50}, {100, 10}, -5), (std::vector<int>{0, 0}));
}

} // namespace
