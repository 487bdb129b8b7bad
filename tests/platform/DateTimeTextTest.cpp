#include "platform/DateTimeText.h"

#include "QtPrinters.h"

#include <QDate>
#include <QTime>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace {

// Runs the test body under LC_ALL=C and puts the locale back afterwards.
class DateTimeTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* current = std::setlocale(LC_ALL, nullptr);
        saved_ = current ? current : "C";
        ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    }
    void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

    std::string saved_;
};

TEST_F(DateTimeTextTest, CLocaleFormats)
{
    const struct {
        QDate date;
        QTime time;
        const char* timeText;
        const char* dateText;
    } cases[] = {
        {QDate(2024, 3, 9), QTime(9, 5, 3), "09:05:03", "03/09/24"},
        {QDate(1999, 12, 31), QTime(23, 59, 59, 999), "23:59:59", "12/31/99"},  // no fractions
        {QDate(2000, 1, 1), QTime(0, 0, 0), "00:00:00", "01/01/00"},
        {QDate(2031, 7, 15), QTime(14, 5, 9), "14:05:09", "07/15/31"},
    };
    for (const auto& c : cases) {
        const QDateTime when(c.date, c.time);  // local time
        EXPECT_EQ(TimeText(when), c.timeText);
        EXPECT_EQ(DateText(when), c.dateText);
        EXPECT_EQ(DateTimeText(when), QString::fromLatin1(c.dateText) + u' ' + QString::fromLatin1(c.timeText));
    }
}

TEST(InitLocale, TakesTheLocaleFromTheEnvironment)
{
    const char* current = std::setlocale(LC_ALL, nullptr);
    const std::string saved = current ? current : "C";
    std::setlocale(LC_ALL, "C");
    ASSERT_EQ(setenv("LC_ALL", "C.UTF-8", 1), 0);
    InitLocale();
    EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C.UTF-8");
    std::setlocale(LC_ALL, "C");
    InitLocale();  // only the first call sets the locale
    EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
    unsetenv("LC_ALL");
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
