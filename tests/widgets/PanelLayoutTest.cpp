#include "widgets/PanelLayout.h"

#include <gtest/gtest.h>

namespace {

const std::vector<int> kWidths{200, 50, 100, 260, 200};

TEST(LayoutPanels, OwnWidthsWhenTheyFitAndTheLastTakesTheRest)
{
    EXPECT_EQ(LayoutPanels(kWidths, 810), kWidths);
    EXPECT_EQ(LayoutPanels(kWidths, 1000), (std::vector<int>{200, 50, 100, 260, 390}));
}

TEST(LayoutPanels, NarrowRowKeepsEveryWidthSoTheRightEdgeCutsTheLastPanels)
{
    // The caret readout (third panel) stays whole in a 541 pixels wide window.
    EXPECT_EQ(LayoutPanels(kWidths, 530), kWidths);
    EXPECT_EQ(LayoutPanels(kWidths, 0), kWidths);
    EXPECT_EQ(LayoutPanels(kWidths, -5), kWidths);
    EXPECT_TRUE(LayoutPanels({}, 100).empty());
}

} // namespace
