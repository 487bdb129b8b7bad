#include "widgets/CaretReadout.h"

#include <gtest/gtest.h>

namespace {

struct ReadoutCase {
    int line;
    int column;
    const char* expected;
};

class CaretReadoutText_ : public ::testing::TestWithParam<ReadoutCase> {};

TEST_P(CaretReadoutText_, GivesFrameAndByte)
{
    const ReadoutCase& c = GetParam();
    EXPECT_EQ(CaretReadoutText(c.line, c.column).toStdString(), c.expected);
}

// On "01 03 1A " columns 0-2 are byte 1, 3-5 byte 2, 6-8 byte 3, 9 byte 4.
INSTANTIATE_TEST_SUITE_P(Columns, CaretReadoutText_,
    ::testing::Values(ReadoutCase{0, 0, "第1帧第1字节"},
                      ReadoutCase{0, 2, "第1帧第1字节"},
                      ReadoutCase{0, 3, "第1帧第2字节"},
                      ReadoutCase{0, 8, "第1帧第3字节"},
                      ReadoutCase{0, 9, "第1帧第4字节"},
                      ReadoutCase{4, 1, "第5帧第1字节"},
                      ReadoutCase{99, 299, "第100帧第100字节"},
                      ReadoutCase{12344, 196520, "第12345帧第65507字节"}));

} // namespace
