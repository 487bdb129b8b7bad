// libFuzzer target for the text-file loader, on any file content given in
// pieces of any size: the lines are the bytes split at CR LF, LF or CR (a
// break at the very end starts no line), also when a CR LF or a character
// is cut between two pieces; a file of valid UTF-8 reads as UTF-8; the
// trimmed load keeps the last lines, as the whole load read in pieces of
// another size has them; and lines saved are read back unchanged.
#include "FuzzRequire.h"
#include "platform/TextFile.h"

#include "platform/TextCodec.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

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

// The lines of `bytes` read in pieces of at most `piece` bytes.
QStringList ReadInPieces(const QByteArray& bytes, qint64 piece, int limit)
{
    qsizetype at = 0;
    const auto read = [&bytes, &at](char* to, qint64 size) {
        const qsizetype n = std::min<qsizetype>(size, bytes.size() - at);
        if (n > 0)
            std::memcpy(to, bytes.constData() + at, static_cast<std::size_t>(n));
        at += n;
        return static_cast<qint64>(n);
    };
    return ReadTextLines(read, piece, limit);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetWrittenCharset(TextCharset::Utf8);
    FuzzedDataProvider input(data, size);
    const int limit = input.ConsumeIntegralInRange<int>(1, 40);
    // Small pieces, so that CR LF pairs and characters are cut between two.
    const int trimmedPiece = input.ConsumeIntegralInRange<int>(1, 64);
    const int wholePiece = input.ConsumeIntegralInRange<int>(1, 16);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray file(rest.data(), static_cast<qsizetype>(rest.size()));

    const std::vector<QByteArray> raw = SplitLines(file);
    const auto count = static_cast<qsizetype>(raw.size());
    const QStringList kept = ReadInPieces(file, trimmedPiece, limit);
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

    // The whole file, in pieces of another size. The encoding is chosen for
    // the lines kept: the whole file reads alike when its dropped lines do
    // not change that choice.
    const QStringList all = ReadInPieces(file, wholePiece, 0);
    FUZZ_REQUIRE(all.size() == count);
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
    FUZZ_REQUIRE(ReadInPieces(TextFileBytes(lines), trimmedPiece, 0) == lines);
    return 0;
}
