#include "analysis/LinkSupervisor.h"
#include "analysis/Points.h"

#include "tests/support/TableTranslator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The analyses' texts through a translator: the link supervision's English
// sentences and the point table's Chinese words are translated where one is
// in force, and read as written without one; the point list reads the same
// whatever the language.

namespace {

constexpr TableText kTexts[] = {
    {"analysis", "New connection: the link's state starts afresh.", "新连接"},
    {"analysis", "N(S) {0} where {1} was expected: {2} missing ({3}).", "缺 {2} 帧：应为 {1}，收到 {0}"},
    {"analysis", "单点遥信", "Single-point"},
    {"analysis", "未收到", "Not received"},
    {"analysis", "第%1行: %2", "Line %1: %2"},
    {"analysis", "下限大于上限", "Low above high"},
};

const char* Translate(const char* context, const char* source)
{
    return TranslateByTable(kTexts, context, source);
}

// An I-format APDU with N(S) 2 where 0 is expected after a new connection.
const std::vector<std::uint8_t> kApdu{0x68, 0x12, 0x04, 0x00, 0x02, 0x00, 0x0D, 0x01, 0x03, 0x00,
                                      0x01, 0x00, 0x01, 0x40, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00};

std::vector<std::string> EventTexts(decode::Translator translator)
{
    analysis::LinkSupervisor sup;
    if (translator)
        sup.SetTranslator(translator);
    sup.NewConnection(1, 1'000'000, "device");
    sup.Frame(1, analysis::Direction::FromDevice, 1'001'000, kApdu, true);
    std::vector<std::string> texts;
    for (const analysis::Event& e : sup.Events())
        texts.push_back(e.text);
    return texts;
}

TEST(AnalysisTranslation, LinkEventSentencesWithTheirArguments)
{
    const std::vector<std::string> translated = EventTexts(Translate);
    const std::vector<std::string> english = EventTexts(nullptr);
    ASSERT_EQ(translated.size(), english.size());
    // The same events in the same order, each sentence in its language.
    const struct {
        const char* english;
        const char* chinese;
    } sentences[] = {
        {"New connection: the link's state starts afresh.", "新连接"},
        {"N(S) 2 where 0 was expected: 2 missing", "缺 2 帧：应为 0，收到 2"},
    };
    for (const auto& sentence : sentences) {
        std::size_t found = english.size();
        for (std::size_t i = 0; i < english.size(); ++i)
            if (english[i].rfind(sentence.english, 0) == 0)
                found = i;
        ASSERT_LT(found, english.size()) << sentence.english;
        EXPECT_EQ(translated[found].rfind(sentence.chinese, 0), 0u) << translated[found];
    }
    EXPECT_EQ(decode::CurrentTranslator(), nullptr);
}

TEST(AnalysisTranslation, PointWordsTranslatedAndTheListReadAlike)
{
    const std::string csv = "protocol,station,address,name,type,unit,low,high\n"
                            "IEC104,1,1,breaker,单点遥信,,,\n";
    const std::string bad = "protocol,station,address,name,type,unit,low,high\n"
                            "IEC104,1,1,breaker,单点遥信,,5,1\n";
    const struct {
        decode::Translator translator;
        const char* type;
        const char* marks;
        const char* fault;
    } cases[] = {
        {nullptr, "单点遥信", "未收到", "第2行: 下限大于上限"},
        {Translate, "Single-point", "Not received", "Line 2: Low above high"},
    };
    for (const auto& c : cases) {
        const decode::TranslatorScope texts(c.translator);
        analysis::PointList list;
        std::string error;
        ASSERT_TRUE(list.Read(csv, error)) << error;
        ASSERT_EQ(list.Entries().size(), 1u);
        EXPECT_EQ(list.Entries()[0].type, analysis::PointType::SinglePoint);
        EXPECT_EQ(analysis::TypeText(list.Entries()[0].type), c.type);
        EXPECT_EQ(analysis::MarksText(analysis::kMarkMissing), c.marks);
        analysis::PointList refused;
        EXPECT_FALSE(refused.Read(bad, error));
        EXPECT_EQ(error, c.fault);
    }
}

} // namespace
