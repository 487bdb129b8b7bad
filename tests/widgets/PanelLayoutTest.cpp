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

// The English status bar: the panels before the one the edge cuts give up
// what their texts leave unused, left to right, as far as it needs.
TEST(LayoutPanelsForTexts, PanelsBeforeTheCutOneGiveUpTheirUnusedWidth)
{
    struct Case {
        const char* name;
        std::vector<int> needed;
        int available;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"all fit: the specified layout", {170, 0, 0, 180, 120}, 1000, {200, 50, 100, 260, 390}},
        {"the port panel whole at 515", {170, 0, 0, 180, 120}, 515, {170, 0, 85, 260, 200}},
        {"a text as wide as its panel gives nothing", {200, 50, 100, 180, 120}, 515, kWidths},
        {"not enough to give: all that is unused", {190, 45, 90, 180, 120}, 515, {190, 45, 90, 260, 200}},
        {"a text wider than its panel never makes it grow", {260, 0, 0, 180, 120}, 515, {200, 0, 55, 260, 200}},
        {"the first panel cut: nothing before it", {0, 0, 0, 0, 0}, 150, kWidths},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LayoutPanelsForTexts(kWidths, c.needed, c.available), c.expected) << c.name;
}

} // namespace
