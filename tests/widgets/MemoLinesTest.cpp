#include "widgets/MemoLines.h"

#include <gtest/gtest.h>

namespace {

struct LinesCase {
    const char* text;
    QStringList expected;
};

class MemoLines_ : public ::testing::TestWithParam<LinesCase> {};

TEST_P(MemoLines_, SplitsLikeTheTextWindows)
{
    const LinesCase& c = GetParam();
    EXPECT_EQ(MemoLines(QString::fromUtf8(c.text)), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Texts, MemoLines_,
    ::testing::Values(LinesCase{"", {}},
                      LinesCase{"\n", {""}},
                      LinesCase{"a", {"a"}},
                      LinesCase{"a\n", {"a"}},
                      LinesCase{"a\n\nc", {"a", "", "c"}},
                      LinesCase{"a\n\n", {"a", ""}},
                      LinesCase{"\n\nb", {"", "", "b"}},
                      LinesCase{"01 03 1A \n发送报文", {"01 03 1A ", "发送报文"}}));

} // namespace
