#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <iostream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Path(const QString& name = QStringLiteral("Ostrel.ini")) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

// A file as a Windows-side tool leaves it: CR LF, comments, blank lines,
// blanks around "=", a section the program does not know.
const QByteArray kExisting =
    "; settings of the monitor\r\n"
    "[UDPServer]\r\n"
    "Server Port = 1888\r\n"
    "\r\n"
    "[Other]\r\n"
    "Keep=  me  \r\n"
    "odd line without equals\r\n"
    "[UDPClient]\r\n"
    "Client Host=127.0.0.1\r\n"
    "Client Port=1889\r\n";

TEST_F(IniFileTest, MissingFileGivesDefaults)
{
    const IniFile ini(Path());
    EXPECT_EQ(ini.ReadString("UDPServer", "Server Port", "1888"), "1888");
    EXPECT_EQ(ini.ReadInteger("SendFrame", "SendLinesCount", 0), 0);
    EXPECT_FALSE(ini.SectionExists("UDPServer"));
    EXPECT_EQ(ini.FileName(), Path());
    EXPECT_FALSE(QFile::exists(Path()));  // reading never creates the file
}

TEST_F(IniFileTest, NewFileHoldsKeysWithSpacesLiterally)
{
    IniFile ini(Path());
    ini.WriteString("UDPServer", "Server Port", "1888");
    ini.WriteString("UDPClient", "Client Host", "127.0.0.1");
    ini.WriteString("UDPClient", "Client Port", "1889");
    ini.WriteInteger("SendFrame", "SendLinesCount", 2);
    ini.WriteString("SendFrame", "Line0", "01 03 1A");
    ini.WriteString("SendFrame", "Line1", "");
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()),
              "[UDPServer]\nServer Port=1888\n"
              "[UDPClient]\nClient Host=127.0.0.1\nClient Port=1889\n"
              "[SendFrame]\nSendLinesCount=2\nLine0=01 03 1A\nLine1=\n");
}

TEST_F(IniFileTest, UntouchedLinesAreKeptByteForByte)
{
    WriteBytes(Path(), kExisting);
    IniFile ini(Path());
    ini.WriteString("UDPServer", "Server Port", "9000");
    ini.WriteString("UDPClient", "Client Port", "1889");  // same value
    ini.UpdateFile();
    QByteArray expected = kExisting;
    expected.replace("Server Port = 1888", "Server Port = 9000");
    EXPECT_EQ(ReadBytes(Path()), expected);
}

TEST_F(IniFileTest, NewKeysAndSectionsFollowTheFileLineEnds)
{
    WriteBytes(Path(), kExisting);
    IniFile ini(Path());
    ini.WriteString("UDPServer", "Extra", "1");
    ini.WriteInteger("SendFrame", "SendLinesCount", 0);
    ini.UpdateFile();
    QByteArray expected = kExisting;
    expected.replace("Server Port = 1888\r\n", "Server Port = 1888\r\nExtra=1\r\n");
    expected += "[SendFrame]\r\nSendLinesCount=0\r\n";
    EXPECT_EQ(ReadBytes(Path()), expected);
}

TEST_F(IniFileTest, NewKeysFollowTheLastKeyOfTheirSection)
{
    WriteBytes(Path(), "[A]\nk=1\n; about B\n\n[B]\nx=1\n");
    IniFile ini(Path());
    ini.WriteString("A", "n1", "2");
    ini.WriteString("A", "n2", "3");
    ini.DeleteKey("A", "k");
    ini.WriteString("A", "k", "4");
    ini.WriteString("B", "y", "5");
    EXPECT_EQ(ini.ReadString("A", "n2", ""), "3");
    EXPECT_EQ(ini.ReadString("A", "k", ""), "4");
    EXPECT_EQ(ini.ReadString("B", "x", ""), "1");
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), "[A]\nn1=2\nn2=3\nk=4\n; about B\n\n[B]\nx=1\ny=5\n");
}

TEST_F(IniFileTest, LastLineWithoutLineEndGetsOneBeforeANewLine)
{
    WriteBytes(Path(), "[A]\nx=1");
    IniFile ini(Path());
    ini.WriteString("A", "y", "2");
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), "[A]\nx=1\ny=2\n");
}

TEST_F(IniFileTest, LookupIgnoresCaseAndBlanks)
{
    WriteBytes(Path(), kExisting);
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadString("udpserver", "SERVER PORT", "x"), "1888");
    EXPECT_EQ(ini.ReadString(" UDPClient ", " client host ", "x"), "127.0.0.1");
    EXPECT_EQ(ini.ReadString("Other", "keep", "x"), "me");
    EXPECT_EQ(ini.ReadString("Other", "odd line without equals", "x"), "x");
    EXPECT_EQ(ini.ReadString("UDPServer", "Client Host", "x"), "x");  // other section
    ini.WriteString("UDPSERVER", "server port", "1999");
    ini.UpdateFile();
    EXPECT_TRUE(ReadBytes(Path()).contains("Server Port = 1999\r\n"));  // the file's spelling stays
}

TEST_F(IniFileTest, FirstSectionAndKeyWin)
{
    WriteBytes(Path(), "[S]\nk=1\nK=2\n[s]\nk=3\n");
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("S", "k", 0), 1);
    ini.WriteInteger("S", "K", 5);
    EXPECT_EQ(ini.ReadInteger("S", "k", 0), 5);
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), "[S]\nk=5\nK=2\n[s]\nk=3\n");
    ini.DeleteKey("S", "k");  // the next line of that key comes forward
    EXPECT_EQ(ini.ReadInteger("S", "k", 0), 2);
    ini.DeleteKey("S", "k");
    EXPECT_FALSE(ini.ValueExists("S", "k"));
}

TEST_F(IniFileTest, KeysBeforeAnySectionAndCommentsAreNotKeys)
{
    WriteBytes(Path(), "k=0\n[S]\n;k=1\n");
    const IniFile ini(Path());
    EXPECT_EQ(ini.ReadString("S", "k", "none"), "none");
    EXPECT_EQ(ini.ReadString("S", ";k", "none"), "none");
}

TEST_F(IniFileTest, LongValuesReadBackWhole)
{
    // 3000 characters is the text of a 1000-byte frame; the classic profile
    // reading would have cut it to 2047, in the middle of a pair.
    QString frame;
    for (int i = 0; i < 1000; ++i)
        frame += QStringLiteral("%1 ").arg(i % 256, 2, 16, QLatin1Char('0')).toUpper();
    const QString astral = QString(2046, u'a') + QString::fromUcs4(U"\U0001F600") + QStringLiteral("b");
    IniFile ini(Path());
    ini.WriteString("SendFrame", "Line0", frame.trimmed());
    ini.WriteString("SendFrame", "Line1", frame);
    ini.WriteString("SendFrame", "Line2", astral);
    ini.UpdateFile();
    const IniFile again(Path());
    EXPECT_EQ(again.ReadString("SendFrame", "Line0", ""), frame.trimmed());
    EXPECT_EQ(again.ReadString("SendFrame", "Line1", ""), frame); // its trailing blank kept by the quotes
    EXPECT_EQ(again.ReadString("SendFrame", "Line2", ""), astral);
    EXPECT_EQ(again.ReadString("SendFrame", "Line0", "").size(), 2999);
}

TEST_F(IniFileTest, ValuesReadBackAsWritten)
{
    const QString values[] = {
        QStringLiteral(""),
        QStringLiteral("01 03 1A "),     // trailing blank of a hex line
        QStringLiteral("  leading"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("'single'"),
        QStringLiteral("a=b=c"),
        QStringLiteral("[not a section]"),
        QStringLiteral("; not a comment"),
        QStringLiteral("发送报文"),
        QStringLiteral("\""),
    };
    IniFile ini(Path());
    for (int i = 0; i < int(std::size(values)); ++i) {
        ini.WriteString("SendFrame", QStringLiteral("Line%1").arg(i), values[i]);
    }
    ini.UpdateFile();
    const IniFile again(Path());
    for (int i = 0; i < int(std::size(values)); ++i) {
        EXPECT_EQ(again.ReadString("SendFrame", QStringLiteral("Line%1").arg(i), "x"), values[i]) << i;
    }
}

TEST_F(IniFileTest, ClassicValueRules)
{
    WriteBytes(Path(), "[S]\na=  spaced  \nb=\"in quotes\"\nc='x'\nd=\"unbalanced\ne=\t7\t\n");
    const IniFile ini(Path());
    EXPECT_EQ(ini.ReadString("S", "a", ""), "spaced");
    EXPECT_EQ(ini.ReadString("S", "b", ""), "in quotes");
    EXPECT_EQ(ini.ReadString("S", "c", ""), "x");
    EXPECT_EQ(ini.ReadString("S", "d", ""), "\"unbalanced");
    EXPECT_EQ(ini.ReadInteger("S", "e", 0), 7);
}

TEST_F(IniFileTest, LineBreaksInAValueCannotAddLines)
{
    IniFile ini(Path());
    ini.WriteString("S", "k", "1\r\n[Evil]\nx=2");
    ini.UpdateFile();
    const IniFile again(Path());
    EXPECT_FALSE(again.SectionExists("Evil"));
    EXPECT_EQ(again.ReadString("S", "k", ""), "1  [Evil] x=2");
}

TEST_F(IniFileTest, ReadInteger)
{
    WriteBytes(Path(), "[S]\ndec=12\nneg=-3\nhex=$1A\nhex0x=0x1A\nbad=12abc\nempty=\nbig=2147483648\n");
    const IniFile ini(Path());
    const struct {
        const char* key;
        int expected;
    } cases[] = {
        {"dec", 12}, {"neg", -3}, {"hex", 26}, {"hex0x", 26},
        {"bad", -1}, {"empty", -1}, {"big", -1}, {"absent", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ini.ReadInteger("S", c.key, -1), c.expected) << c.key;
    }
}

TEST_F(IniFileTest, SendLinesWithAMissingMiddleKey)
{
    WriteBytes(Path(), "[SendFrame]\nSendLinesCount=3\nLine0=01 02\nLine2=03 04\n");
    const IniFile ini(Path());
    const int n = ini.ReadInteger("SendFrame", "SendLinesCount", 0);
    QStringList lines;
    for (int i = 0; i < n; ++i) {
        lines << ini.ReadString("SendFrame", QStringLiteral("Line%1").arg(i), QString());
    }
    EXPECT_EQ(lines, QStringList({"01 02", "", "03 04"}));
}

TEST_F(IniFileTest, DeleteKeyRemovesOnlyThatLine)
{
    WriteBytes(Path(), "[S]\r\nLine0=a\r\nLine1=b\r\n[T]\r\nLine1=c\r\n");
    IniFile ini(Path());
    ini.DeleteKey("S", "line1");
    ini.DeleteKey("S", "absent");
    EXPECT_FALSE(ini.ValueExists("S", "Line1"));
    EXPECT_TRUE(ini.ValueExists("T", "Line1"));
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), "[S]\r\nLine0=a\r\n[T]\r\nLine1=c\r\n");
}

// Files in the encodings a desk accumulates: GBK from the Chinese code page,
// UTF-8, bytes valid in neither, CR LF and LF lines, comments. Writing one key
// must give back every other line as it was, whatever the locale.
struct EncodingCase {
    const char* name;
    QByteArray before;  // the lines above the key the program writes
    QByteArray after;   // the lines below it
};

class IniFileEncodings : public IniFileTest {
protected:
    void TearDown() override { SetWrittenCharset(std::nullopt); }
};

TEST_F(IniFileEncodings, UntouchedLinesComeBackByteForByteAndWrittenOnesInTheLocaleCharset)
{
    QStringEncoder gbk("GBK");
    ASSERT_TRUE(gbk.isValid());
    const QString value = QStringLiteral("68 04 07 // 总召唤");
    const EncodingCase cases[] = {
        {"gbk", gbk.encode(QStringLiteral("; 以太网配置\r\n[SendFrame]\r\n")),
         gbk.encode(QStringLiteral("Line1=发送报文\r\n[其它]\r\n说明=保留\r\n"))},
        {"utf-8 and lf", QStringLiteral("; 以太网配置\n[SendFrame]\n").toUtf8(),
         QStringLiteral("Line1=发送报文\n; 注释\n").toUtf8()},
        {"invalid bytes", "; \xFF\xFE\x80 x\r\n[SendFrame]\r\n", "Line1=\xC3\x28\xA1\r\n[\x81]\r\nk=\xFE\xFF"},
        {"mixed", gbk.encode(QStringLiteral("; 以太网配置\n[SendFrame]\r\n")),
         QStringLiteral("Line1=发送报文\r\n").toUtf8() + "k=\xB0\xA1\n"},
    };
    for (const TextCharset charset : {TextCharset::Utf8, TextCharset::Gbk}) {
        SetWrittenCharset(charset);
        const QByteArray written = charset == TextCharset::Gbk ? gbk.encode(value) : value.toUtf8();
        for (const EncodingCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (charset == TextCharset::Gbk ? " under GBK" : " under UTF-8"));
            const QByteArray end = c.before.endsWith("\r\n") ? "\r\n" : "\n";
            WriteBytes(Path(), c.before + "Line0=old" + end + c.after);
            IniFile ini(Path());
            ini.WriteString("SendFrame", "Line0", value);
            ini.UpdateFile();
            EXPECT_EQ(ReadBytes(Path()), c.before + "Line0=" + written + end + c.after);
            // Read again under either charset, the value and the untouched
            // lines' text come back.
            const IniFile again(Path());
            EXPECT_EQ(again.ReadString("SendFrame", "Line0", ""), value);
            if (QByteArray(c.name) != "invalid bytes") {
                EXPECT_EQ(again.ReadString("SendFrame", "Line1", ""), QStringLiteral("发送报文"));
            }
        }
    }
}

TEST_F(IniFileEncodings, LinesWrittenUnderOneLocaleReadBackUnderAnother)
{
    // A GBK file that got a UTF-8 line, and a UTF-8 file that got a GBK one.
    SetWrittenCharset(TextCharset::Utf8);
    IniFile first(Path());
    first.WriteString("S", "a", QStringLiteral("接收报文"));
    first.UpdateFile();
    SetWrittenCharset(TextCharset::Gbk);
    IniFile second(Path());
    second.WriteString("S", "b", QStringLiteral("发送报文"));
    second.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), QStringLiteral("[S]\na=接收报文\n").toUtf8() + "b=\xB7\xA2\xCB\xCD\xB1\xA8\xCE\xC4\n");

    SetWrittenCharset(TextCharset::Utf8);
    const IniFile third(Path());
    EXPECT_EQ(third.ReadString("S", "a", ""), QStringLiteral("接收报文"));
    EXPECT_EQ(third.ReadString("S", "b", ""), QStringLiteral("发送报文"));
}

TEST_F(IniFileTest, ByteOrderMarkIsKept)
{
    WriteBytes(Path(), "\xEF\xBB\xBF[S]\nk=1\n");
    IniFile ini(Path());
    EXPECT_EQ(ini.ReadInteger("S", "k", 0), 1);
    ini.WriteInteger("S", "k", 2);
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(Path()), "\xEF\xBB\xBF[S]\nk=2\n");
}

void ExpectUnableToWrite(IniFile& ini)
{
    try {
        ini.UpdateFile();
        ADD_FAILURE() << "writing " << ini.FileName().toStdString() << " succeeded";
    } catch (const EInOutError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Unable to write to ") + ini.FileName());
    }
}

TEST_F(IniFileTest, FolderThatIsAFileCannotBeWritten)
{
    // Root may write anywhere, but not below a regular file.
    WriteBytes(Path("plain"), "x");
    IniFile ini(Path("plain/Ostrel.ini"));
    ini.WriteString("UDPServer", "Server Port", "1888");
    ExpectUnableToWrite(ini);
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFile)
{
    // The temporary file beside a name of 250 bytes would need a longer
    // name than the file system allows, so the write fails for root too.
    const QString name = QString(246, u'n') + QStringLiteral(".ini");
    WriteBytes(Path(name), kExisting);
    IniFile ini(Path(name));
    ini.WriteString("UDPServer", "Server Port", "9000");
    ExpectUnableToWrite(ini);
    EXPECT_EQ(ReadBytes(Path(name)), kExisting);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1);  // no temporary left behind
}

TEST_F(IniFileTest, FullDiskLeavesTheOldFile)
{
    // A file size limit applies to root as well and fails the write the way
    // a full disk does.
    WriteBytes(Path(), kExisting);
    IniFile ini(Path());
    ini.WriteString("SendFrame", "Line0", QString(4096, u'A'));

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ExpectUnableToWrite(ini);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(ReadBytes(Path()), kExisting);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1);
    // The same object writes once space is back.
    ini.UpdateFile();
    EXPECT_TRUE(ReadBytes(Path()).contains("Line0=" + QByteArray(4096, 'A') + "\r\n"));
}

TEST_F(IniFileTest, WriteFollowsLinksAndKeepsPermissions)
{
    WriteBytes(Path("real.ini"), "[S]\nk=1\n");
    ASSERT_TRUE(QFile::setPermissions(Path("real.ini"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(Path("real.ini"), Path("link.ini")));
    IniFile ini(Path("link.ini"));
    ini.WriteInteger("S", "k", 2);
    ini.UpdateFile();
    EXPECT_TRUE(QFileInfo(Path("link.ini")).isSymLink());
    EXPECT_EQ(ReadBytes(Path("real.ini")), "[S]\nk=2\n");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(Path("real.ini")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A link at the settings file's name is followed only while each link of
// the chain belongs to the user or to root; another user's link is refused
// by name and its target stays as it was. Another owner needs root (lchown).
TEST_F(IniFileTest, OnlyTheUsersOwnOrRootsLinksAreFollowed)
{
    constexpr uid_t kOther = 4242;
    struct Case {
        std::vector<uid_t> owners; // of the links at the name, first to last
        int refused;               // the link refused, -1 when none
    };
    const uid_t self = ::geteuid();
    const std::vector<Case> cases{
        {{self}, -1},
        {{self, 0}, -1},
        {{kOther}, 0},
        {{self, kOther}, 1},
        {{0, self, kOther}, 2},
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        const Case& k = cases[c];
        const bool needsRoot = std::any_of(k.owners.begin(), k.owners.end(), [self](uid_t o) { return o != self; });
        if (needsRoot && self != 0) {
            std::cout << "case " << c << " skipped: giving a link another owner needs root\n";
            continue;
        }
        const QString folder = dir_.filePath(QStringLiteral("case%1").arg(c));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString real = folder + QStringLiteral("/real.ini");
        WriteBytes(real, "[S]\nk=1\n");
        // link0 -> link1 -> ... -> real.ini
        QStringList links;
        for (std::size_t i = 0; i < k.owners.size(); ++i)
            links << folder + QStringLiteral("/link%1.ini").arg(i);
        links << real;
        for (std::size_t i = 0; i < k.owners.size(); ++i) {
            const auto at = static_cast<qsizetype>(i);
            ASSERT_TRUE(QFile::link(links[at + 1], links[at]));
            ASSERT_EQ(::lchown(QFile::encodeName(links[at]).constData(), k.owners[i], static_cast<gid_t>(-1)), 0);
        }
        IniFile ini(links.front());
        ini.WriteInteger("S", "k", 2);
        if (k.refused < 0) {
            ini.UpdateFile();
            EXPECT_EQ(ReadBytes(real), "[S]\nk=2\n") << c;
        } else {
            try {
                ini.UpdateFile();
                ADD_FAILURE() << "case " << c << ": writing through another user's link succeeded";
            } catch (const EInOutError& e) {
                EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Unable to write to %1: the symbolic link %2 belongs to another user")
                                                           .arg(links.front(), links[k.refused]));
            }
            EXPECT_EQ(ReadBytes(real), "[S]\nk=1\n") << c;
        }
        EXPECT_TRUE(QFileInfo(links.front()).isSymLink()) << c;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), links.size()) << c;
    }
}

TEST_F(IniFileTest, ReadSectionNamesEachKeyOnceInFileOrder)
{
    WriteBytes(Path(), "[S]\n; note\n Beta = 1\nalpha=2\nBETA=3\n\ngamma =\n[s]\ndelta=4\n[T]\nx=1\n");
    IniFile ini(Path());
    // The first section of a name is the one read, as for values.
    EXPECT_EQ(ini.ReadSection("s"), (QStringList{"Beta", "alpha", "gamma"}));
    EXPECT_TRUE(ini.ReadSection("missing").isEmpty());
    ini.DeleteKey("S", "alpha");
    ini.WriteString("S", "epsilon", "5");
    EXPECT_EQ(ini.ReadSection("S"), (QStringList{"Beta", "gamma", "epsilon"}));
}

} // namespace
