#include "platform/Conversions.h"
#include "platform/Exceptions.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

// One text and what it converts to (nothing: the text is refused).
template <typename Number>
struct Case {
    const char* text;
    std::optional<Number> expected;
};
using IntCase = Case<int>;
using FloatCase = Case<double>;

class IntegerText : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntegerText, ConvertsOrRefuses)
{
    const IntCase& c = GetParam();
    EXPECT_EQ(TryStrToInt(QString::fromUtf8(c.text)), c.expected) << "text: '" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(Conversions, IntegerText, ::testing::Values(
    IntCase{"0", 0},
    IntCase{"42", 42},
    IntCase{"007", 7},
    IntCase{"+5", 5},
    IntCase{"-5", -5},
    IntCase{"   12", 12},          // leading blanks are skipped
    IntCase{"  -3", -3},
    IntCase{"12 ", std::nullopt},  // trailing blanks are not
    IntCase{"1 2", std::nullopt},
    IntCase{"- 5", std::nullopt},
    IntCase{"\t5", std::nullopt},
    IntCase{"", std::nullopt},
    IntCase{" ", std::nullopt},
    IntCase{"-", std::nullopt},    // a lone minus sign
    IntCase{"+", std::nullopt},
    IntCase{"1G", std::nullopt},
    IntCase{"1.0", std::nullopt},
    IntCase{"1e3", std::nullopt},
    IntCase{"１２", std::nullopt}, // full-width digits
    IntCase{"$10", 16},            // a position typed as $10 means byte 16
    IntCase{"$ff", 255},
    IntCase{"$FF", 255},
    IntCase{"$100", 256},
    IntCase{"0x1A", 26},
    IntCase{"0X1a", 26},
    IntCase{"-$10", -16},
    IntCase{"+0x10", 16},
    IntCase{"$", std::nullopt},
    IntCase{"0x", std::nullopt},
    IntCase{"$1G", std::nullopt},
    IntCase{"$-1", std::nullopt},
    IntCase{"x10", std::nullopt},
    IntCase{"2147483647", 2147483647},
    IntCase{"-2147483648", std::numeric_limits<int>::min()},
    IntCase{"2147483648", std::nullopt},   // overflow
    IntCase{"-2147483649", std::nullopt},
    IntCase{"99999999999999999999", std::nullopt},
    IntCase{"$7FFFFFFF", 2147483647},
    IntCase{"$FFFFFFFF", -1},              // hexadecimal uses all 32 bits
    IntCase{"$80000000", std::numeric_limits<int>::min()},
    IntCase{"$100000000", std::nullopt},
    IntCase{"$0000000000FF", 255}));       // leading zeros never overflow

class FloatText : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatText, ConvertsOrRefuses)
{
    const FloatCase& c = GetParam();
    EXPECT_EQ(TryStrToFloat(QString::fromUtf8(c.text)), c.expected) << "text: '" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(Conversions, FloatText, ::testing::Values(
    FloatCase{"1", 1.0},
    FloatCase{"1.5", 1.5},
    FloatCase{"0.5", 0.5},
    FloatCase{".5", 0.5},
    FloatCase{"5.", 5.0},
    FloatCase{"-0.25", -0.25},
    FloatCase{"+2", 2.0},
    FloatCase{"  60  ", 60.0},      // blanks on both sides
    FloatCase{"1e3", 1000.0},
    FloatCase{"1.5E-3", 0.0015},
    FloatCase{"2e+2", 200.0},
    FloatCase{"0.0005", 0.0005},
    FloatCase{"1e-400", 0.0},       // below the range: zero
    FloatCase{"", std::nullopt},
    FloatCase{" ", std::nullopt},
    FloatCase{".", std::nullopt},
    FloatCase{"-", std::nullopt},
    FloatCase{"1,5", std::nullopt},
    FloatCase{"1.2.3", std::nullopt},
    FloatCase{"1e", std::nullopt},
    FloatCase{"1e+", std::nullopt},
    FloatCase{"e5", std::nullopt},
    FloatCase{"abc", std::nullopt},
    FloatCase{"1 0", std::nullopt},
    FloatCase{"inf", std::nullopt},
    FloatCase{"nan", std::nullopt},
    FloatCase{"0x10", std::nullopt},
    FloatCase{"$10", std::nullopt},
    FloatCase{"1e400", std::nullopt},  // above the range
    FloatCase{"-1e309", std::nullopt}));

TEST(Conversions, FloatIgnoresTheLocaleDecimalSeparator)
{
    // The text "1.5" means one and a half whatever LC_NUMERIC says.
    const char* before = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = before ? before : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        std::setlocale(LC_NUMERIC, "C.UTF-8");
    }
    EXPECT_EQ(TryStrToFloat(QStringLiteral("1.5")), 1.5);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(Conversions, ErrorsQuoteTheTextAsTyped)
{
    const struct {
        QString text;
        const char* message;
    } cases[] = {
        {QString(), "'' is not a valid integer value"},
        {QStringLiteral("12 "), "'12 ' is not a valid integer value"},
        {QStringLiteral("端口"), "'端口' is not a valid integer value"},
        {QStringLiteral("%1"), "'%1' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        try {
            (void)StrToInt(c.text);
            ADD_FAILURE() << "no exception for '" << c.text.toStdString() << "'";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    try {
        (void)StrToFloat(QStringLiteral("abc"));
        ADD_FAILURE() << "no exception for 'abc'";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(StrToInt(QStringLiteral(" $1A")), 26);
    EXPECT_EQ(StrToFloat(QStringLiteral("0.1")), 0.1);
}

TEST(Conversions, FloatToStrWritesTheGeneralForm)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1.0, "1"},
        {0.5, "0.5"},
        {1.5, "1.5"},
        {-2.25, "-2.25"},
        {0.0, "0"},
        {0.1, "0.1"},               // not 0.10000000000000001
        {100.0, "100"},
        {1.0 / 3.0, "0.333333333333333"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1e20, "1E20"},
        {0.00001, "0.00001"},
        {0.000001, "1E-6"},
        {-1.5e-7, "-1.5E-7"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FloatToStr(c.value).toStdString(), c.text) << "value " << c.value;
    }
}

} // namespace
