// libFuzzer target for the text-file loader, on any file: the lines are the
// file's bytes split at CR LF, LF or CR (a break at the very end starts no
// line), also when a CR LF is split between two pieces read; a file of
// valid UTF-8 reads as UTF-8; the trimmed load keeps the last lines; and
// lines saved are read back unchanged.
#include "FuzzFile.h"
#include "FuzzRequire.h"
#include "platform/TextFile.h"

#include "platform/TextCodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QStringDecoder>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace {

// Lines are read in pieces of 1 MiB.
constexpr qsizetype kPiece = 1 << 20;

std::vector<QByteArray> SplitLines(const QByteArray& bytes)
{
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(bytes.mid(start));
    return lines;
}

bool ValidUtf8(const QByteArray& bytes)
{
    // Stateless: a sequence cut at the end of the line is an error, not a
    // wait for more; the decoding happens when the result becomes a QString.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetWrittenCharset(TextCharset::Utf8);
    FuzzedDataProvider input(data, size);
    const int limit = input.ConsumeIntegralInRange<int>(1, 40);
    // Sometimes the bytes start just before the end of the first piece, so
    // that a CR LF or a character may be cut between two reads.
    const bool acrossPieces = input.ConsumeIntegralInRange<int>(0, 63) == 0;
    const int shift = input.ConsumeIntegralInRange<int>(1, 8);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    QByteArray file(rest.data(), static_cast<qsizetype>(rest.size()));
    if (acrossPieces)
        file.prepend(QByteArray(kPiece - shift - 1, 'x') + '\n');
    const QString path = FuzzFilePath("lines.txt");
    WriteFuzzFile(path, file);

    const std::vector<QByteArray> raw = SplitLines(file);
    const auto count = static_cast<qsizetype>(raw.size());
    const QStringList kept = LoadTrimmedTextLines(path, limit);
    const qsizetype keep = count > limit ? limit - 1 : count;
    FUZZ_REQUIRE(kept.size() == keep);
    bool allUtf8 = true;
    for (qsizetype i = count - keep; i < count; ++i)
        allUtf8 = allUtf8 && ValidUtf8(raw[static_cast<std::size_t>(i)]);
    for (qsizetype i = 0; i < keep; ++i) {
        const QByteArray& line = raw[static_cast<std::size_t>(count - keep + i)];
        bool ascii = true;
        for (const char c : line)
            ascii = ascii && static_cast<unsigned char>(c) < 0x80;
        if (!ascii && !allUtf8)
            continue;
        // U+FEFF is text, but for the byte-order mark that starts the file.
        QStringDecoder utf8(QStringDecoder::Utf8,
                            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        QString expected = utf8.decode(line);
        if (i == 0 && count - keep == 0 && expected.startsWith(QChar(0xFEFF)))
            expected.remove(0, 1);
        FUZZ_REQUIRE(kept[i] == expected);
    }
    if (acrossPieces)
        return 0;

    const QStringList all = LoadTextLines(path);
    FUZZ_REQUIRE(all.size() == count);
    // The encoding is chosen for the lines kept: the whole file reads alike
    // when its dropped lines do not change that choice.
    bool wholeUtf8 = allUtf8;
    for (qsizetype i = 0; i < count - keep; ++i)
        wholeUtf8 = wholeUtf8 && ValidUtf8(raw[static_cast<std::size_t>(i)]);
    if (wholeUtf8 == allUtf8)
        FUZZ_REQUIRE(all.mid(count - keep) == kept);

    // Saved and read again: the same lines.
    QStringList lines;
    for (const QString& line : all) {
        QString clean = line;
        lines << clean.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    }
    if (!lines.isEmpty() && lines.constFirst().startsWith(QChar(0xFEFF)))
        return 0; // a leading byte-order mark is dropped on reading
    SaveTextLines(path, lines);
    FUZZ_REQUIRE(LoadTextLines(path) == lines);
    return 0;
}
