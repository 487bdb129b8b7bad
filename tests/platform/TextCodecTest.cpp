#include "platform/Exceptions.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define LEAKS_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LEAKS_CHECKED 1
#endif
#endif
#ifdef LEAKS_CHECKED
#include <sanitizer/lsan_interface.h>
#endif

namespace {

const QString kChinese = QStringLiteral("接收报文 01 03 1A");

QByteArray Gbk(const QString& text)
{
    QStringEncoder encoder("GBK");
    EXPECT_TRUE(encoder.isValid()) << "no GBK converter in this Qt build";
    return encoder.encode(text);
}

TEST(TextCodec, Utf8IsTakenAsUtf8)
{
    EXPECT_EQ(DecodeText(kChinese.toUtf8()), kChinese);
    EXPECT_EQ(DecodeText(QByteArray("\xEF\xBB\xBF" "abc")), QStringLiteral("abc"));
    EXPECT_EQ(DecodeText(QByteArray()), QString());
}

TEST(TextCodec, GbkIsDecodedWhenNotUtf8)
{
    // "接收" in GBK, written as bytes so the test does not depend on the
    // encoder: BD D3 CA D5.
    EXPECT_EQ(DecodeText(QByteArray("\xBD\xD3\xCA\xD5")), QStringLiteral("接收"));
    const QByteArray gbk = Gbk(kChinese);
    ASSERT_FALSE(IsValidUtf8(gbk));
    EXPECT_EQ(DecodeText(gbk), kChinese);
}

TEST(TextCodec, ValidUtf8)
{
    EXPECT_TRUE(IsValidUtf8(kChinese.toUtf8()));
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xC3")));  // cut in the middle of a character
    EXPECT_TRUE(IsValidUtf8(QByteArray()));
}

TEST(TextCodec, LocaleCodesetChoosesTheWrittenCharset)
{
    const struct {
        const char* codeset;
        TextCharset charset;
    } cases[] = {
        {"UTF-8", TextCharset::Utf8},       {"utf8", TextCharset::Utf8},   {"GBK", TextCharset::Gbk},
        {"gbk", TextCharset::Gbk},          {"GB2312", TextCharset::Gbk},  {"GB18030", TextCharset::Gb18030},
        // Character sets that cannot hold the Chinese texts, and no locale.
        {"ANSI_X3.4-1968", TextCharset::Utf8}, {"ISO-8859-1", TextCharset::Utf8}, {"", TextCharset::Utf8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CharsetOfCodeset(c.codeset), c.charset) << c.codeset;
}

// Runs with LC_ALL set to `locale` (LOCPATH to `folder` when given), then
// puts the environment back.
QByteArray CodesetUnder(const char* locale, const QString& folder = QString())
{
    const QByteArray savedAll = qgetenv("LC_ALL");
    const QByteArray savedPath = qgetenv("LOCPATH");
    qputenv("LC_ALL", locale);
    if (!folder.isEmpty())
        qputenv("LOCPATH", QFile::encodeName(folder));
    const QByteArray codeset = EnvironmentCodeset();
    savedAll.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", savedAll);
    savedPath.isNull() ? qunsetenv("LOCPATH") : qputenv("LOCPATH", savedPath);
    return codeset;
}

TEST(TextCodec, EnvironmentCodesetFollowsTheEnvironmentNotTheProcess)
{
    EXPECT_EQ(CodesetUnder("C.UTF-8"), QByteArray("UTF-8"));
    EXPECT_EQ(CodesetUnder("xx_XX.NOPE"), QByteArray());
    // A real GBK locale, built in a folder of its own from the C library's
    // locale sources (Debian's "locales").
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {"-i", "zh_CN", "-f", "GBK", dir.filePath(QStringLiteral("zh_CN.GBK"))});
    ASSERT_TRUE(localedef.waitForFinished(60000)) << localedef.errorString().toStdString();
    ASSERT_EQ(localedef.exitCode(), 0) << localedef.readAllStandardError().toStdString();
    {
#ifdef LEAKS_CHECKED
        // The C library keeps a locale path given by LOCPATH for good.
        const __lsan::ScopedDisabler keptByTheCLibrary;
#endif
        EXPECT_EQ(CodesetUnder("zh_CN.GBK", dir.path()), QByteArray("GBK"));
    }
}

class WrittenText : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    void TearDown() override { SetWrittenCharset(std::nullopt); }
    QTemporaryDir dir_;
};

TEST_F(WrittenText, FilesAndTextUseTheLocaleCharsetAndReadBack)
{
    // U+20000 is not in GBK; GB18030 has it in four bytes.
    const QString rare = QString::fromUcs4(U"\U00020000");
    const struct {
        TextCharset charset;
        QStringList lines;
        QByteArray bytes;
    } cases[] = {
        {TextCharset::Utf8, {kChinese, rare}, kChinese.toUtf8() + "\r\n" + rare.toUtf8() + "\r\n"},
        {TextCharset::Gbk, {kChinese, "01 03"}, Gbk(kChinese) + "\r\n01 03\r\n"},
        {TextCharset::Gb18030, {kChinese, rare}, Gbk(kChinese) + "\r\n\x95\x32\x82\x36\r\n"},
    };
    const QString path = dir_.filePath(QStringLiteral("receive0.dat"));
    for (const auto& c : cases) {
        SetWrittenCharset(c.charset);
        EXPECT_EQ(EncodeText(c.lines.front()), c.bytes.left(c.bytes.indexOf('\r')));
        SaveTextLines(path, c.lines);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), c.bytes) << static_cast<int>(c.charset);
        EXPECT_EQ(LoadTextLines(path), c.lines) << static_cast<int>(c.charset);
        EXPECT_EQ(DecodeText(c.bytes), c.lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
}

TEST(TextFile, LinesSplitAtEveryLineEnd)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"\r\n", {""}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"01 03 1A \r\n", {"01 03 1A "}},
        {Gbk(QStringLiteral("发送报文")) + "\r\n12", {QStringLiteral("发送报文"), "12"}},
    };
    const QString path = dir.filePath(QStringLiteral("lines.txt"));
    for (const auto& c : cases) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.bytes);
        file.close();
        EXPECT_EQ(LoadTextLines(path), c.lines) << c.bytes.toStdString();
    }
}

TEST_F(WrittenText, SaveWritesCrLfUtf8AndReadsBack)
{
    SetWrittenCharset(TextCharset::Utf8);
    const QString path = dir_.filePath(QStringLiteral("send.snd"));
    const QStringList lines{QStringLiteral("01 03 1A "), QString(), kChinese};
    SaveTextLines(path, lines);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("01 03 1A \r\n\r\n") + kChinese.toUtf8() + "\r\n");
    EXPECT_EQ(LoadTextLines(path), lines);
}

TEST(TextFile, FailuresNameTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("missing.rcv"));
    try {
        (void)LoadTextLines(missing);
        ADD_FAILURE() << "loading a missing file succeeded";
    } catch (const EInOutError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Cannot open file ") + missing);
    }
    // A path under a regular file cannot be created, not even by root.
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString below = dir.filePath(QStringLiteral("plain/out.rcv"));
    try {
        SaveTextLines(below, {QStringLiteral("x")});
        ADD_FAILURE() << "saving under a regular file succeeded";
    } catch (const EInOutError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), QStringLiteral("Cannot create file ") + below);
    }
}

} // namespace
