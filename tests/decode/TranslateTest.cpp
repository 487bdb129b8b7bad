#include "decode/Decode.h"
#include "decode/Text.h"

#include "tests/support/TableTranslator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The decoders' texts through a translator: a decode with one gives the
// translated names, meanings and sentences (their arguments where the
// translation puts them), and every decode without one the English texts.

namespace {

// A translator of a few texts, as the windows' would be.
constexpr TableText kTexts[] = {
    {"decode", "Type identification", "类型标识"},
    {"decode", "spontaneous", "突发"},
    {"decode", "I-format, N(S)=%1 N(R)=%2", "I格式 N(R)=%2 N(S)=%1"},
    {"decode", "%1 (ok)", "%1（正确）"},
    {"decode", "IEC 60870-5-104", "IEC 104"},
    {"decode", "%1 bytes", "%1 字节"},
};

const char* Translate(const char* context, const char* source)
{
    return TranslateByTable(kTexts, context, source);
}

// An I-format APDU, N(S) 2, N(R) 1: M_ME_NC_1, spontaneous, common address 1.
const std::vector<uint8_t> kApdu{0x68, 0x12, 0x04, 0x00, 0x02, 0x00, 0x0D, 0x01, 0x03, 0x00,
                                 0x01, 0x00, 0x01, 0x40, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00};

std::string Tree(const std::vector<uint8_t>& frame, decode::Translator translator)
{
    decode::Options options;
    options.translate = translator;
    std::string text;
    for (const std::string& line : decode::RenderTree(decode::Decode(frame, options), translator).lines)
        text += line + '\n';
    return text;
}

TEST(DecodeTranslation, EachKindOfTextTranslatedAndEnglishWithout)
{
    const std::string translated = Tree(kApdu, Translate);
    const std::string english = Tree(kApdu, nullptr);
    const struct {
        const char* what;
        const char* withTranslator;
        const char* without;
    } cases[] = {
        {"protocol name", "IEC 104\n", "IEC 60870-5-104\n"},
        {"field name", "  类型标识: 13", "  Type identification: 13"},
        {"value meaning", ": 3 突发\n", ": 3 spontaneous\n"},
        {"sentence, its arguments reordered", "APCI: I格式 N(R)=1 N(S)=2\n", "APCI: I-format, N(S)=2 N(R)=1\n"},
        {"verdict word", "（正确）", " (ok)"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(translated.find(c.withTranslator), std::string::npos) << c.what << "\n" << translated;
        EXPECT_EQ(translated.find(c.without), std::string::npos) << c.what << "\n" << translated;
        EXPECT_NE(english.find(c.without), std::string::npos) << c.what << "\n" << english;
    }
    // The translator is in force only for its own call.
    EXPECT_EQ(Tree(kApdu, nullptr), english);
    EXPECT_EQ(decode::CurrentTranslator(), nullptr);
    // A frame of no protocol: its one sentence.
    const std::vector<uint8_t> odd{0x01, 0x02, 0x03};
    decode::Options options;
    options.protocol = decode::Protocol::Unrecognised;
    options.translate = Translate;
    EXPECT_EQ(decode::Decode(odd, options).fields.at(0).value, "3 字节");
}

TEST(DecodeTranslation, ArgumentsFilledByNumber)
{
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"%1 of %2", "a of b"},
        {"%2, %1", "b, a"},
        {"%3 stays", "%3 stays"},   // no third argument
        {"100% of %1", "100% of a"}, // a percent sign of its own
        {"%1%2", "ab"},
        {"ends in %", "ends in %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decode::Arg(c.pattern, {"a", "b"}), c.expected) << c.pattern;
}

} // namespace
