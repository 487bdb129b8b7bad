#include "widgets/Contrast.h"
#include "widgets/WindowFit.h"

#include <gtest/gtest.h>

namespace {

TEST(ContrastTest, RatiosAndTheNoteBelowThreeToOne)
{
    const QColor highlight(48, 140, 198); // the receive window's default background under Fusion
    struct Case {
        const char* what;
        QColor text;
        QColor background;
        double ratio;
        const char* note; // "" when readable
    };
    const Case cases[] = {
        {"black on white", Qt::black, Qt::white, 21.0, ""},
        {"the same colour", Qt::red, Qt::red, 1.0, "注意：接收报文区的字体颜色与背景颜色对比度为 1.0:1，低于 3:1，文字不易看清。"},
        {"lime on the highlight", QColor(0, 255, 0), highlight, 2.69,
         "注意：接收报文区的字体颜色与背景颜色对比度为 2.7:1，低于 3:1，文字不易看清。"},
        {"yellow on the highlight", QColor(255, 255, 0), highlight, 3.44, ""},
        {"just below the limit never reads as 3.0", QColor(149, 149, 149), Qt::white, 2.995,
         "注意：接收报文区的字体颜色与背景颜色对比度为 2.9:1，低于 3:1，文字不易看清。"},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ContrastRatio(c.text, c.background), c.ratio, 0.01) << c.what;
        EXPECT_NEAR(ContrastRatio(c.background, c.text), c.ratio, 0.01) << c.what << ", either way round";
        EXPECT_EQ(ContrastNote(QStringLiteral("接收报文区"), c.text, c.background).toStdString(), std::string(c.note))
            << c.what;
    }
}

TEST(WindowFitTest, StartSizeShowsTheToolbarAndFitsTheScreen)
{
    struct Case {
        const char* what;
        int toolbarWidth;
        QSize available;
        QSize expected;
    };
    const QSize specified(739, 507);
    const Case cases[] = {
        {"as specified on a large screen", 600, QSize(1904, 1032), specified},
        {"wider for a wider toolbar", 820, QSize(1904, 1032), QSize(820, 507)},
        {"a screen at scale factor 2 (1280 x 800)", 600, QSize(624, 352), QSize(624, 352)},
        {"the screen wins over the toolbar", 820, QSize(700, 1032), QSize(700, 507)},
        {"no screen known", 0, QSize(), specified},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartSizeWithin(specified, c.toolbarWidth, c.available), c.expected) << c.what;
}

} // namespace
