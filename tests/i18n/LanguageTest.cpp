#include "monitor/Language.h"

#include <gtest/gtest.h>

using monitor::ChooseLanguage;
using monitor::Language;

namespace {

struct Case {
    const char* what;
    const char* option;
    QStringList uiLanguages; // as QLocale::uiLanguages() gives them
    Language language;
};

TEST(ChooseLanguageTest, FollowsTheOptionElseTheFirstKnownDesktopLanguage)
{
    const Case cases[] = {
        {"C locale", "", {"C"}, Language::Chinese},
        {"POSIX locale", "", {"POSIX"}, Language::Chinese},
        {"no languages at all", "", {}, Language::Chinese},
        {"Chinese desktop", "", {"zh-CN", "zh-Hans-CN", "zh"}, Language::Chinese},
        {"Taiwanese desktop", "", {"zh-TW", "zh-Hant-TW"}, Language::Chinese},
        {"English desktop", "", {"en-US", "en-Latn-US", "en"}, Language::English},
        {"German desktop: no German texts, English", "", {"de-DE", "de-Latn-DE", "de"}, Language::English},
        {"LANGUAGE=fr:zh_CN: the first one there are texts for", "", {"fr-FR", "fr", "zh-CN", "zh"}, Language::Chinese},
        {"LANGUAGE=zh_CN:en on an English LANG", "", {"zh-CN", "zh", "en", "en-US"}, Language::Chinese},
        {"--lang en under the C locale", "en", {"C"}, Language::English},
        {"--lang zh under an English desktop", "zh", {"en-US"}, Language::Chinese},
        {"--lang in capitals", "EN", {"zh-CN"}, Language::English},
        {"an unknown --lang value leaves the desktop's", "fr", {"zh-CN"}, Language::Chinese},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseLanguage(QString::fromLatin1(c.option), c.uiLanguages), c.language) << c.what;
}

} // namespace
