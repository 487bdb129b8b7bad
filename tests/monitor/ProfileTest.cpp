// The profile's common parts: what is written reads back the same, and a
// damaged profile is refused at its first bad line.
#include "monitor/Profile.h"

#include "platform/IniFile.h"

#include <gtest/gtest.h>

namespace {

using monitor::CommonProfile;
using monitor::ProfileChecks;
using monitor::ProfileReader;

bool Digits(const QString& text)
{
    bool ok = false;
    return text.toInt(&ok) > 0 && ok;
}

bool HexByte(const QString& text)
{
    bool ok = false;
    return text.size() <= 2 && text.toUInt(&ok, 16) <= 0xFF && ok;
}

ProfileChecks Checks()
{
    return {&Digits, &HexByte, &Digits, {QStringLiteral("链路监视"), monitor::kLinkWindow}};
}

QByteArray Written(const CommonProfile& profile)
{
    IniFile file(QStringLiteral("p.ini"), QByteArray());
    monitor::WriteCommonProfile(file, QStringLiteral("Test"), profile);
    return file.Content();
}

CommonProfile Read(const QByteArray& content, std::optional<monitor::ProfileFault>* fault)
{
    const IniFile file(QStringLiteral("p.ini"), content);
    ProfileReader reader(file);
    CommonProfile profile = monitor::ReadCommonProfile(reader, Checks());
    *fault = reader.Fault();
    return profile;
}

TEST(Profile, WhatIsWrittenReadsBackTheSame)
{
    std::vector<CommonProfile> cases(6);
    // triggers with either wildcard, an unchecked row kept as typed (blank edges too)
    cases[1].triggers = {{{true, QStringLiteral("68 04 ?? 00"), QStringLiteral("68 04 0B 00 00 00")},
                          {false, QStringLiteral(" not hex "), QString()},
                          {true, QStringLiteral("10 ** 16"), QStringLiteral("10 0B 01 0C 16")}}};
    cases[2].filter = {{{true, QStringLiteral("7"), QStringLiteral("0D")}, {}, {false, QStringLiteral("2"), {}}}};
    cases[3].timedSave = {true, QStringLiteral("15")};
    cases[4].main = {-1200, 30, 800, 600, true, true};
    cases[4].decode = {900, 40, 320, 480, false, true};
    cases[4].toolbar = false;
    // a later window's own section, kept as written
    cases[5].windows[QStringLiteral("链路监视")] = {{QStringLiteral("Period"), QStringLiteral("20")},
                                                   {QStringLiteral("Columns"), QStringLiteral("a, b ,c")}};
    cases[5].windows[monitor::kLinkWindow] = {{QStringLiteral("Protocol"), QStringLiteral("3")},
                                              {QStringLiteral("t1"), QStringLiteral("255")},
                                              {QStringLiteral("MODBUS Timeout ms"), QStringLiteral("10")}};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::optional<monitor::ProfileFault> fault;
        const CommonProfile read = Read(Written(cases[i]), &fault);
        EXPECT_FALSE(fault) << "case " << i << ": line " << fault->line << " " << fault->text.toStdString();
        EXPECT_EQ(read, cases[i]) << "case " << i << "\n" << Written(cases[i]).toStdString();
    }
}

TEST(Profile, ACheckedTriggerTheChecksRefuseIsWrittenOff)
{
    CommonProfile profile;
    profile.triggers[0] = {true, QStringLiteral("01 ?? ?? ??"), QStringLiteral("02")}; // three wildcards
    std::optional<monitor::ProfileFault> fault;
    const CommonProfile read = Read(Written(profile), &fault);
    EXPECT_FALSE(fault);
    EXPECT_FALSE(read.triggers[0].checked);
    EXPECT_EQ(read.triggers[0].pattern, profile.triggers[0].pattern);
}

TEST(Profile, ADamagedProfileIsRefusedAtItsFirstBadLine)
{
    const QByteArray header = "[Profile]\nProgram=Test\nFormat=1\n";
    const struct {
        QByteArray content;
        int line;
        const char* says;
    } cases[] = {
        {"[Layout]\nToolbar=1\n", 1, "Format"},
        {"[Profile]\nProgram=Test\nFormat=2\n", 3, "Format"},
        {header + "[Layout]\nToolbar=1\nthis line is no key\n", 6, "名称=值"},
        {header + "[Layout\n", 4, "名称=值"},
        {"stray before any section\n" + header, 1, "名称=值"},
        {header + "[Layout]\nMain Width=wide\n", 5, "Main Width"},
        {header + "[Layout]\nDecode Shown=yes\n", 5, "Decode Shown"},
        {header + "[Triggers]\nRule2 On=1\nRule2 Pattern=01 ?? ?? ??\nRule2 Response=02\n", 6, "触发器2"},
        {header + "[Triggers]\nRule1 On=1\nRule1 Pattern=01 02\nRule1 Response=0G\n", 6, "触发器1"},
        {header + "[Filter]\nRule3 On=1\nRule3 Position=x\n", 6, "过滤条件3"},
        {header + "[Filter]\nRule1 Value=100\n", 5, "过滤条件1"},
        {header + "[Timed Save]\nMinutes=soon\nOn=1\n", 5, "定时保存"},
        // the link window's settings: a value out of its range, a key it does not know
        {header + "[Window Link Supervision]\nw=8\nk=0\n", 6, "链路监视"},
        {header + "[Window Link Supervision]\nt9=1\n", 5, "链路监视"},
        // the first fault of several is named
        {header + "[Layout]\nMain X=a\nMain Y=b\n", 5, "Main X"},
    };
    for (const auto& c : cases) {
        std::optional<monitor::ProfileFault> fault;
        static_cast<void>(Read(c.content, &fault));
        ASSERT_TRUE(fault) << c.content.toStdString();
        EXPECT_EQ(fault->line, c.line) << c.content.toStdString();
        EXPECT_TRUE(fault->text.contains(QString::fromUtf8(c.says))) << fault->text.toStdString();
    }
}

} // namespace
