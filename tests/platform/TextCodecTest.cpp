#include "platform/Exceptions.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

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

TEST(TextCodec, EncodesUtf8)
{
    EXPECT_EQ(EncodeText(kChinese), kChinese.toUtf8());
    EXPECT_TRUE(IsValidUtf8(EncodeText(kChinese)));
    EXPECT_FALSE(IsValidUtf8(QByteArray("\xC3")));  // cut in the middle of a character
    EXPECT_TRUE(IsValidUtf8(QByteArray()));
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

TEST(TextFile, SaveWritesCrLfUtf8AndReadsBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("send.snd"));
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
