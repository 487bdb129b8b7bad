#include "widgets/SelectionColors.h"

#include <gtest/gtest.h>

namespace {

const SelectionColors kStyle{QColor(48, 140, 198), QColor(255, 255, 255)};

TEST(SelectionColorsFor, StyleColoursWhereTheyStandOutAndInvertedWhereTheyDoNot)
{
    struct Case {
        QColor background;
        QColor text;
        SelectionColors expected;
    };
    const Case cases[] = {
        {QColor(0, 0, 128), QColor(0, 255, 0), kStyle},          // navy window, lime text
        {QColor(255, 255, 255), QColor(0, 0, 0), kStyle},        // plain window
        {QColor(48, 140, 198), QColor(0, 255, 0), {QColor(0, 255, 0), QColor(48, 140, 198)}}, // window in the selection's colour
        {QColor(60, 150, 200), QColor(255, 255, 0), {QColor(255, 255, 0), QColor(60, 150, 200)}}, // nearly so
    };
    for (const Case& c : cases) {
        const SelectionColors got = SelectionColorsFor(c.background, c.text, kStyle);
        EXPECT_EQ(got.highlight, c.expected.highlight) << c.background.name().toStdString();
        EXPECT_EQ(got.highlightedText, c.expected.highlightedText) << c.background.name().toStdString();
    }
}

} // namespace
