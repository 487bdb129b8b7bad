#include "monitor/TriggerAnswers.h"

#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

using monitor::TriggerAnswers;
using monitor::TriggerRow;
using monitor::TriggerRows;
using Bytes = std::vector<std::uint8_t>;

TriggerRow On(const char* pattern, const char* response)
{
    return {true, QString::fromUtf8(pattern), QString::fromUtf8(response)};
}

TriggerRow Off(const char* pattern, const char* response)
{
    return {false, QString::fromUtf8(pattern), QString::fromUtf8(response)};
}

std::optional<Bytes> AnswerOf(const TriggerAnswers& answers, const Bytes& received)
{
    const auto response = answers.Answer(received);
    if (!response)
        return std::nullopt;
    return Bytes(response->begin(), response->end());
}

TEST(TriggerAnswers, TheFirstEnabledMatchingRuleAnswers)
{
    struct Case {
        const char* what;
        TriggerRows rows;
        Bytes received;
        std::optional<Bytes> answer;
    };
    const Case cases[] = {
        {"rules 1 and 2 match: rule 1", {On("68 ** 16", "01"), On("68 ?? 16", "02"), On("**", "03")},
         {0x68, 0x01, 0x16}, Bytes{0x01}},
        {"rule 1 off", {Off("68 ** 16", "01"), On("68 ?? 16", "02"), On("**", "03")}, {0x68, 0x01, 0x16}, Bytes{0x02}},
        {"rule 1 refused", {On("68 ?? ?? 16", "01"), On("68 ?? 16", "02 03"), On("**", "03")}, {0x68, 0x01, 0x16},
         Bytes{0x02, 0x03}},
        {"only rule 3 matches", {On("68 ** 16", "01"), On("68 ?? 16", "02"), On("**", "03")}, {0x10, 0x49},
         Bytes{0x03}},
        {"an empty response stops the search", {Off("", ""), On("68 ?? 16", "7"), On("**", "03")},
         {0x68, 0x01, 0x16}, Bytes{}},
        {"no rule matches", {On("68 ** 16", "01"), On("10 ??", "02"), Off("**", "03")}, {0x10, 0x49, 0x01},
         std::nullopt},
        {"no rules", {}, {0x68}, std::nullopt},
    };
    for (const Case& c : cases) {
        TriggerAnswers answers;
        (void)answers.Apply(c.rows);
        EXPECT_EQ(AnswerOf(answers, c.received), c.answer) << c.what;
        EXPECT_EQ(answers.Rows(), c.rows) << c.what;
    }
}

// A settings file read and stored again, with or without rules set between.
QByteArray Stored(const QByteArray& content, const std::optional<TriggerRows>& set, TriggerAnswers& answers)
{
    IniFile file(QStringLiteral("/nonexistent/Tamrel.ini"), content);
    monitor::ReadTriggerSettings(file, answers);
    if (set)
        (void)answers.Apply(*set);
    monitor::StoreTriggerSettings(file, answers);
    return file.Content();
}

TEST(TriggerSettings, FilesAreLeftByteForByteUnlessRulesAreSet)
{
    const QByteArray held = "[Trigger]\r\nRule1 On=1\r\nRule1 Pattern=68 ** 16\r\nRule1 Response=10 5B\r\n";
    struct Case {
        const char* what;
        QByteArray content;
        std::optional<TriggerRows> set;
    };
    const Case cases[] = {
        {"no file", QByteArray(), std::nullopt},
        {"settings of its own", "; port\r\n[TCPServer]\r\nServer Port = 2404\r\n[Other]\r\nx=\xb6\xcb", std::nullopt},
        {"an OK with nothing set", "[TCPServer]\nServer Port=8888\n", TriggerRows{}},
        {"rules read and kept", held, std::nullopt},
        {"rules written by hand", "[trigger]\nrule1 on = 1\nRULE1 PATTERN = \"68 ** 16 \"\n", std::nullopt},
        {"the same rules set again", held, TriggerRows{On("68 ** 16", "10 5B"), {}, {}}},
    };
    for (const Case& c : cases) {
        TriggerAnswers answers;
        EXPECT_EQ(Stored(c.content, c.set, answers), c.content) << c.what;
    }
}

TEST(TriggerSettings, RowsComeBackAsTheyWereSet)
{
    struct Case {
        const char* what;
        QByteArray before;
        TriggerRows rows;
        bool enabled[3];
    };
    const Case cases[] = {
        {"three kinds of row", "[TCPServer]\nServer Port=8888\n",
         {On("68 ** 16", "10 49 01 4A 16"), Off("01 03", "05"), On(" 01", "02")}, {true, false, false}},
        {"rules cleared after being kept", "[Trigger]\nRule1 On=1\nRule1 Pattern=01\nRule1 Response=02\n", {},
         {false, false, false}},
        {"texts with blanks and quotes", QByteArray(), {On("\"01\"", "02 "), On("0a 0B", "7"), {}},
         {false, true, false}},
    };
    for (const Case& c : cases) {
        TriggerAnswers first;
        const QByteArray stored = Stored(c.before, c.rows, first);

        TriggerAnswers again;
        EXPECT_EQ(Stored(stored, std::nullopt, again), stored) << c.what;
        EXPECT_EQ(again.Rows(), c.rows) << c.what;
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_EQ(again.Rules()[k].Enabled, c.enabled[k]) << c.what << ", rule " << k + 1;
    }
}

} // namespace
