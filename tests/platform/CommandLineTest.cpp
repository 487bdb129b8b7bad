#include "platform/CommandLine.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const ProgramIdentity kProgram{QStringLiteral("Ostrel"), QStringLiteral("2.15"),
                               QStringLiteral("UDP monitor for telecontrol frames.")};

struct Case {
    const char* what;
    QStringList arguments; // after the program path
    bool startWindow;
    int exitCode;
    const char* outputHas; // "" when standard output stays empty
    const char* errorHas;  // "" when standard error stays empty
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.what;
}

class CommandLineTest : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, StartsOrEndsWithItsTexts)
{
    const Case& c = GetParam();
    const CommandLineOutcome outcome =
        ReadCommandLine(QStringList{QStringLiteral("/usr/bin/Ostrel")} + c.arguments, kProgram);
    EXPECT_EQ(outcome.startWindow, c.startWindow) << c.what;
    EXPECT_EQ(outcome.exitCode, c.exitCode) << c.what;
    const QString output = QString::fromUtf8(c.outputHas);
    const QString error = QString::fromUtf8(c.errorHas);
    EXPECT_EQ(outcome.standardOutput.isEmpty(), output.isEmpty()) << c.what << ": " << outcome.standardOutput.toStdString();
    EXPECT_TRUE(outcome.standardOutput.contains(output)) << c.what << ": " << outcome.standardOutput.toStdString();
    EXPECT_EQ(outcome.standardError.isEmpty(), error.isEmpty()) << c.what << ": " << outcome.standardError.toStdString();
    EXPECT_TRUE(outcome.standardError.contains(error)) << c.what << ": " << outcome.standardError.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineTest,
    ::testing::Values(
        Case{"nothing", {}, true, 0, "", ""},
        Case{"the toolkit's platform option", {"-platform", "offscreen"}, true, 0, "", ""},
        Case{"the toolkit's options, double dash and flags", {"--platform", "offscreen", "-reverse", "-style", "Fusion"},
             true, 0, "", ""},
        Case{"version", {"--version"}, false, 0, "Ostrel 2.15\n", ""},
        Case{"version, short", {"-v"}, false, 0, "Ostrel 2.15\n", ""},
        Case{"help names the program, not its path", {"--help"}, false, 0, "Usage: Ostrel [options]\n", ""},
        Case{"help, short, says what the program is", {"-h"}, false, 0, "UDP monitor for telecontrol frames.", ""},
        Case{"help wins over version", {"--version", "--help"}, false, 0, "--version", ""},
        Case{"unknown option", {"--frobnicate"}, false, 2, "", "Ostrel: Unknown option 'frobnicate'."},
        Case{"unknown option beside a known one", {"-platform", "offscreen", "-x"}, false, 2, "",
             "Try 'Ostrel --help'"},
        Case{"toolkit option without its value", {"-platform"}, false, 2, "", "Missing value after '-platform'"},
        Case{"an argument that is no option", {"settings.ini"}, false, 2, "", "unexpected argument 'settings.ini'"},
        Case{"a language", {"--lang", "en"}, true, 0, "", ""},
        Case{"a language no translation exists for", {"--lang", "fr"}, false, 2, "", "unknown language 'fr' (zh or en)"},
        Case{"the language option without its value", {"--lang"}, false, 2, "", "Missing value after '--lang'"}));

TEST(CommandLineOwnFolderTest, IsReadOnlyWhenGivenAndStartsTheWindow)
{
    const CommandLineOutcome plain = ReadCommandLine({QStringLiteral("Ostrel")}, kProgram);
    EXPECT_FALSE(plain.ownFolder);
    const CommandLineOutcome own =
        ReadCommandLine({QStringLiteral("Ostrel"), QStringLiteral("-platform"), QStringLiteral("offscreen"),
                         QStringLiteral("--own-folder")},
                        kProgram);
    EXPECT_TRUE(own.startWindow);
    EXPECT_TRUE(own.ownFolder);
    const QString help = ReadCommandLine({QStringLiteral("Ostrel"), QStringLiteral("--help")}, kProgram).standardOutput;
    EXPECT_TRUE(help.contains(QStringLiteral("~/Ostrel"))) << help.toStdString();
}

TEST(CommandLineLanguageTest, IsKeptInLowerCaseOnlyWhenGiven)
{
    EXPECT_TRUE(ReadCommandLine({QStringLiteral("Ostrel")}, kProgram).language.isEmpty());
    EXPECT_EQ(ReadCommandLine({QStringLiteral("Ostrel"), QStringLiteral("--lang=ZH")}, kProgram).language,
              QStringLiteral("zh"));
}

TEST(CommandLineHelpTest, ListsItsOwnOptionsButNotTheToolkits)
{
    const QString help = ReadCommandLine({QStringLiteral("Ostrel"), QStringLiteral("--help")}, kProgram).standardOutput;
    EXPECT_TRUE(help.contains(QStringLiteral("--help"))) << help.toStdString();
    EXPECT_TRUE(help.contains(QStringLiteral("--version"))) << help.toStdString();
    EXPECT_FALSE(help.contains(QStringLiteral("platform"))) << help.toStdString();
    EXPECT_FALSE(help.contains(QStringLiteral("/usr/bin"))) << help.toStdString();
}

} // namespace
