#include "udpmon/OstrelSettings.h"

#include "platform/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ostrel;

namespace {

class OstrelSettingsTest : public ::testing::Test {
protected:
    QString Path() const { return OstrelSettingsPath(dir_.path()); }

    void WriteFile(const QByteArray& bytes) const
    {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray ReadFile() const
    {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    OstrelSettings Stored(const QStringList& lines) const
    {
        return OstrelSettings{QStringLiteral("2404"), QStringLiteral("10.0.0.7"), QStringLiteral("2405"), lines};
    }

    QTemporaryDir dir_;
};

TEST_F(OstrelSettingsTest, PathIsOstrelIniInTheFolder)
{
    EXPECT_EQ(OstrelSettingsPath(QStringLiteral("/tmp/x")), QStringLiteral("/tmp/x/Ostrel.ini"));
    EXPECT_EQ(OstrelSettingsPath(QStringLiteral("/tmp/x/")), QStringLiteral("/tmp/x/Ostrel.ini"));
    EXPECT_EQ(OstrelSettingsPath(QStringLiteral("/")), QStringLiteral("/Ostrel.ini"));
}

TEST_F(OstrelSettingsTest, MissingFileGivesDefaults)
{
    const OstrelSettings settings = ReadOstrelSettings(IniFile(Path()));
    EXPECT_EQ(settings.ServerPort, QStringLiteral("1888"));
    EXPECT_EQ(settings.ClientHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(settings.ClientPort, QStringLiteral("1889"));
    EXPECT_TRUE(settings.SendLines.isEmpty());
}

struct CountCase {
    const char* file;
    QStringList lines;
};

class SendLinesRead : public OstrelSettingsTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(SendLinesRead, CountDecidesTheLines)
{
    WriteFile(GetParam().file);
    EXPECT_EQ(ReadOstrelSettings(IniFile(Path())).SendLines, GetParam().lines) << GetParam().file;
}

INSTANTIATE_TEST_SUITE_P(Counts, SendLinesRead,
    ::testing::Values(
        CountCase{"[SendFrame]\nSendLinesCount=3\nLine0=01 02\nLine2=03\n", {"01 02", "", "03"}},
        CountCase{"[SendFrame]\nSendLinesCount=1\nLine0=01\nLine1=02\n", {"01"}},
        CountCase{"[sendframe]\nsendlinescount=2\nline1=68 16 // 注释\n", {"", "68 16 // 注释"}},
        // Keys missing inside the count are empty lines, also after the
        // last key present.
        CountCase{"[SendFrame]\nSendLinesCount=5\nLine0=01\nLine2=03\n", {"01", "", "03", "", ""}},
        CountCase{"[SendFrame]\nSendLinesCount=2\n", {"", ""}},
        // A count beyond what a send window holds is damaged: the keys present
        // decide, and no lines are made up after the last of them.
        CountCase{"[SendFrame]\nSendLinesCount=2000000000\nLine1=02\nLine0=01\n", {"01", "02"}},
        CountCase{"[SendFrame]\nSendLinesCount=10001\nLine2=03\n", {"", "", "03"}},
        CountCase{"[SendFrame]\nSendLinesCount=2147483647\n", {}},
        // Only "Line" and a plain decimal index names a send line.
        CountCase{"[SendFrame]\nSendLinesCount=99999\nLine0=01\nLine05=x\nLinex=y\nLine-3=z\n", {"01"}},
        CountCase{"[SendFrame]\nSendLinesCount=2\nLine01=x\n", {"", ""}}));

TEST_F(OstrelSettingsTest, EverySendLineIsStoredAndCounted)
{
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << (i % 7 == 0 ? QString() : QStringLiteral("%1 ").arg(i % 256, 2, 16, QLatin1Char('0')).toUpper());
    IniFile file(Path());
    StoreOstrelSettings(file, Stored(lines));

    IniFile reread(Path());
    EXPECT_EQ(reread.ReadInteger("SendFrame", "SendLinesCount", -1), 300);
    EXPECT_TRUE(reread.ValueExists("SendFrame", "Line299"));
    EXPECT_FALSE(reread.ValueExists("SendFrame", "Line300"));
    const OstrelSettings back = ReadOstrelSettings(reread);
    EXPECT_EQ(back.SendLines, lines);
    EXPECT_EQ(back.ServerPort, QStringLiteral("2404"));
    EXPECT_EQ(back.ClientHost, QStringLiteral("10.0.0.7"));
    EXPECT_EQ(back.ClientPort, QStringLiteral("2405"));
}

TEST_F(OstrelSettingsTest, CountsUpToTheLimitAreKeptAndKeysBeyondItAreNotRead)
{
    WriteFile(QByteArray("[SendFrame]\nSendLinesCount=") + QByteArray::number(kSendLinesLimit)
              + "\nLine0=first\nLine" + QByteArray::number(kSendLinesLimit - 1) + "=last\n");
    const QStringList lines = ReadOstrelSettings(IniFile(Path())).SendLines;
    ASSERT_EQ(lines.size(), kSendLinesLimit);
    EXPECT_EQ(lines.front(), QStringLiteral("first"));
    EXPECT_EQ(lines.back(), QStringLiteral("last"));

    WriteFile(QByteArray("[SendFrame]\nSendLinesCount=999999\nLine0=first\nLine")
              + QByteArray::number(kSendLinesLimit) + "=beyond\n");
    EXPECT_EQ(ReadOstrelSettings(IniFile(Path())).SendLines.size(), kSendLinesLimit);
}

TEST_F(OstrelSettingsTest, AWindowBeyondTheLimitStoresItsFirstLines)
{
    QStringList lines;
    for (int i = 0; i < kSendLinesLimit + 3; ++i)
        lines << QString::number(i);
    IniFile file(Path());
    StoreOstrelSettings(file, Stored(lines));

    IniFile reread(Path());
    EXPECT_EQ(reread.ReadInteger("SendFrame", "SendLinesCount", -1), kSendLinesLimit);
    EXPECT_FALSE(reread.ValueExists("SendFrame", QStringLiteral("Line%1").arg(kSendLinesLimit)));
    EXPECT_TRUE(ReadOstrelSettings(reread).SendLines == lines.mid(0, kSendLinesLimit));
}

TEST_F(OstrelSettingsTest, ALongSendLineComesBackWhole)
{
    QString frame = QStringLiteral("68 FF ");
    for (int i = 0; i < 1400; ++i)
        frame += QStringLiteral("%1 ").arg(i % 256, 2, 16, QLatin1Char('0')).toUpper();
    const QStringList lines{frame + QStringLiteral("// 长报文"), QStringLiteral("16")};
    IniFile file(Path());
    StoreOstrelSettings(file, Stored(lines));
    EXPECT_EQ(ReadOstrelSettings(IniFile(Path())).SendLines, lines);
}

TEST_F(OstrelSettingsTest, LinesReadAndLeftOverFromALongerListAreRemoved)
{
    WriteFile("[SendFrame]\nSendLinesCount=3\nLine0=a\nLine1=b\nLine2=c\nLine3=not read\n");
    IniFile file(Path());
    StoreOstrelSettings(file, Stored({"x"}));

    IniFile reread(Path());
    EXPECT_EQ(reread.ReadInteger("SendFrame", "SendLinesCount", -1), 1);
    EXPECT_EQ(reread.ReadString("SendFrame", "Line0", "?"), QStringLiteral("x"));
    for (const char* key : {"Line1", "Line2"})
        EXPECT_FALSE(reread.ValueExists("SendFrame", key)) << key;
    EXPECT_EQ(reread.ReadString("SendFrame", "Line3", "?"), QStringLiteral("not read"));
}

// A start and a close with a damaged count: the Line keys present decide
// what the send window gets, and what was not read is written back as it
// was.
struct DamagedCase {
    QByteArray section;     // the [SendFrame] section's lines
    QStringList lines;      // what the send window gets
    int storedCount;        // SendLinesCount after the close
    QStringList keptAfter;  // "key=value" lines the file holds after the close
};

void PrintTo(const DamagedCase& c, std::ostream* out)
{
    *out << c.section.left(80).toStdString();
}

class DamagedCount : public OstrelSettingsTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedCount, StartAndCloseKeepTheLinesAndWhatWasNotRead)
{
    const DamagedCase& c = GetParam();
    WriteFile("[SendFrame]\n" + c.section);
    IniFile file(Path());
    const OstrelSettings read = ReadOstrelSettings(file);
    ASSERT_EQ(read.SendLines.size(), c.lines.size());
    EXPECT_TRUE(read.SendLines == c.lines);
    StoreOstrelSettings(file, read);

    const QByteArray after = ReadFile();
    EXPECT_TRUE(after.contains("SendLinesCount=" + QByteArray::number(c.storedCount) + "\n")) << after.left(200).toStdString();
    for (const QString& kept : c.keptAfter)
        EXPECT_TRUE(after.contains("\n" + kept.toUtf8() + "\n")) << kept.toStdString();
    EXPECT_TRUE(ReadOstrelSettings(IniFile(Path())).SendLines == c.lines);
}

// The send window of a file whose keys run from Line0 to Line<last>, each
// key's value its number, the others empty.
QStringList NumberedWindow(std::initializer_list<int> keys, int size)
{
    QStringList lines(size);
    for (const int key : keys) {
        if (key < size)
            lines[key] = QString::number(key);
    }
    return lines;
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedCount,
    ::testing::Values(
        DamagedCase{"SendLinesCount=-7\nLine0=01 02\nLine1=03\n", {"01 02", "03"}, 2, {"Line0=01 02", "Line1=03"}},
        DamagedCase{"SendLinesCount=123456789012345678901234567890\nLine0=01 02\nLine1=03\n", {"01 02", "03"}, 2,
                    {"Line0=01 02", "Line1=03"}},
        DamagedCase{"SendLinesCount=2147483648\nLine0=01 02\nLine1=03\n", {"01 02", "03"}, 2, {"Line0=01 02", "Line1=03"}},
        DamagedCase{"SendLinesCount=x\nLine0=01 02\nLine2=03\n", {"01 02", "", "03"}, 3, {"Line0=01 02", "Line1=", "Line2=03"}},
        DamagedCase{"SendLinesCount=\nLine1=03\n", {"", "03"}, 2, {"Line0=", "Line1=03"}},
        DamagedCase{"Line0=01 02\nLine1=03\n", {"01 02", "03"}, 2, {"Line0=01 02", "Line1=03"}},
        // Beyond the limit: the first kSendLinesLimit lines are read, the
        // keys after them are not and stay.
        DamagedCase{"SendLinesCount=20000\nLine0=0\nLine9999=9999\nLine10000=10000\nLine10001=10001\n",
                    NumberedWindow({0, 9999}, kSendLinesLimit), kSendLinesLimit,
                    {"Line0=0", "Line9999=9999", "Line10000=10000", "Line10001=10001"}},
        // A sound count: the keys beyond it are not read and stay.
        DamagedCase{"SendLinesCount=1\nLine0=01\nLine1=02\nLine7=08\n", {"01"}, 1, {"Line0=01", "Line1=02", "Line7=08"}},
        DamagedCase{"SendLinesCount=0\nLine0=01\n", {}, 0, {"Line0=01"}}));

TEST_F(OstrelSettingsTest, AHugeStoredCountIsReplacedWithoutCountingUpToIt)
{
    WriteFile("[SendFrame]\nSendLinesCount=2147483647\nLine0=a\nline7=b\nLINE9=c\nLine05=kept\n");
    IniFile file(Path());
    StoreOstrelSettings(file, Stored({"x", "y"}));

    IniFile reread(Path());
    EXPECT_EQ(reread.ReadInteger("SendFrame", "SendLinesCount", -1), 2);
    EXPECT_EQ(ReadOstrelSettings(reread).SendLines, (QStringList{"x", "y"}));
    EXPECT_FALSE(reread.ValueExists("SendFrame", "Line7"));
    EXPECT_FALSE(reread.ValueExists("SendFrame", "Line9"));
    EXPECT_EQ(reread.ReadString("SendFrame", "Line05", "?"), QStringLiteral("kept"));
}

TEST_F(OstrelSettingsTest, OtherSectionsAndLinesAreKept)
{
    WriteFile("; 网络参数\n[Other]\nkey = value \n\n[UDPServer]\nServer Port=1888\nExtra=1\n");
    IniFile file(Path());
    StoreOstrelSettings(file, Stored({}));

    const QByteArray bytes = ReadFile();
    EXPECT_TRUE(bytes.startsWith("; 网络参数\n[Other]\nkey = value \n\n[UDPServer]\nServer Port=2404\nExtra=1\n"))
        << bytes.toStdString();
    IniFile reread(Path());
    EXPECT_EQ(reread.ReadInteger("SendFrame", "SendLinesCount", -1), 0);
    EXPECT_EQ(reread.ReadString("UDPClient", "Client Host", "?"), QStringLiteral("10.0.0.7"));
}

// The network choices and multicast settings: absent keys read as the start's
// values, so that a file of an earlier version stores byte for byte as the
// same file when none was set; each is written while set and removed when
// set back, and what was written reads back.
TEST_F(OstrelSettingsTest, NetworkKeysOnlyWhileSet)
{
    const QByteArray earlier("[UDPServer]\nServer Port=2404\n[UDPClient]\nClient Host=10.0.0.7\nClient Port=2405\n"
                             "[SendFrame]\nSendLinesCount=1\nLine0=01 03\n");
    WriteFile(earlier);
    OstrelSettings settings = ReadOstrelSettings(IniFile(Path()));
    EXPECT_FALSE(settings.Network.showSource || settings.Network.millis || settings.Network.ipv4Only);
    EXPECT_TRUE(settings.Groups.isEmpty());
    EXPECT_EQ(settings.MulticastHops, -1);
    {
        IniFile file(Path());
        StoreOstrelSettings(file, settings);
    }
    EXPECT_EQ(ReadFile(), earlier);

    settings.Network = {true, true, true};
    settings.Groups = {QStringLiteral("239.1.2.3"), QStringLiteral("ff15::1%lo")};
    settings.GroupInterface = QStringLiteral("lo");
    settings.MulticastHops = 0;
    settings.MulticastInterface = QStringLiteral("eth0");
    {
        IniFile file(Path());
        StoreOstrelSettings(file, settings);
    }
    const OstrelSettings back = ReadOstrelSettings(IniFile(Path()));
    EXPECT_TRUE(back.Network.showSource && back.Network.millis && back.Network.ipv4Only);
    EXPECT_EQ(back.Groups, settings.Groups);
    EXPECT_EQ(back.GroupInterface, QStringLiteral("lo"));
    EXPECT_EQ(back.MulticastHops, 0);
    EXPECT_EQ(back.MulticastInterface, QStringLiteral("eth0"));
    EXPECT_EQ(back.SendLines, QStringList{QStringLiteral("01 03")});

    {
        IniFile file(Path());
        StoreOstrelSettings(file, Stored({QStringLiteral("01 03")}));
    }
    const QByteArray cleared = ReadFile();
    for (const char* key : {"Show Source", "Milliseconds", "IPv4 Only", "Groups", "Hops", "Interface"})
        EXPECT_FALSE(cleared.contains(key)) << key << "\n" << cleared.toStdString();
}

// A hop limit out of range in the file reads as the system's.
TEST_F(OstrelSettingsTest, DamagedHopLimitReadsAsTheSystems)
{
    for (const char* hops : {"256", "-5", "x"}) {
        WriteFile(QByteArray("[Multicast]\nHops=") + hops + "\n");
        EXPECT_EQ(ReadOstrelSettings(IniFile(Path())).MulticastHops, -1) << hops;
    }
}

} // namespace
