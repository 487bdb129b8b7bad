#include "platform/TextFile.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr qint64 kReadPiece = 1 << 20;

[[noreturn]] void ThrowCannotOpen(const QString& path)
{
    throw EInOutError(QStringLiteral("Cannot open file %1").arg(path));
}

// Collects the raw lines of a file as they are read. With a limit only the
// last `limit` lines are held, in a ring of line buffers that are reused, so
// a long file costs no memory and no allocation per line.
class LineCollector {
public:
    explicit LineCollector(qsizetype limit)
        : limit_(static_cast<std::size_t>(limit))
    {
    }

    // Adds bytes to the line being read, starting one when none is.
    void Append(const char* data, std::size_t n)
    {
        if (!open_) {
            const std::size_t slot = limit_ > 0 ? count_ % limit_ : count_;
            if (slot == ring_.size())
                ring_.emplace_back();
            current_ = &ring_[slot];
            current_->clear();
            open_ = true;
        }
        current_->append(data, n);
    }

    // A line break: the line being read (perhaps empty) is complete.
    void Break()
    {
        Append(nullptr, 0);
        open_ = false;
        ++count_;
    }

    // The end of the file: a last line without a break counts when it has
    // any bytes.
    void End()
    {
        if (open_)
            Break();
    }

    [[nodiscard]] std::size_t Count() const { return count_; }

    // The lines held, oldest first; the first `skip` of them left out.
    [[nodiscard]] std::vector<std::string*> Held(std::size_t skip)
    {
        std::vector<std::string*> held;
        const std::size_t n = ring_.size();
        const std::size_t oldest = (limit_ > 0 && count_ > limit_) ? count_ % limit_ : 0;
        for (std::size_t i = skip; i < n; ++i)
            held.push_back(&ring_[(oldest + i) % n]);
        return held;
    }

private:
    std::size_t limit_;
    std::size_t count_ = 0;
    std::vector<std::string> ring_;
    std::string* current_ = nullptr;
    bool open_ = false;
};

// The first CR or LF in [from, to), or `to`.
const char* NextBreak(const char* from, const char* to)
{
    const auto n = static_cast<std::size_t>(to - from);
    const auto* lf = static_cast<const char*>(std::memchr(from, '\n', n));
    const char* end = lf != nullptr ? lf : to;
    const auto* cr = static_cast<const char*>(std::memchr(from, '\r', static_cast<std::size_t>(end - from)));
    return cr != nullptr ? cr : end;
}

void ReadLines(const TextPieceReader& read, qint64 pieceSize, LineCollector& collector)
{
    bool skipLineFeed = false; // the last piece ended in CR: a leading LF belongs to it
    std::vector<char> piece(static_cast<std::size_t>(pieceSize));
    for (;;) {
        const qint64 got = read(piece.data(), pieceSize);
        if (got == 0)
            break;
        const char* at = piece.data();
        const char* const end = at + got;
        if (skipLineFeed && *at == '\n')
            ++at;
        skipLineFeed = false;
        while (at < end) {
            const char* brk = NextBreak(at, end);
            if (brk > at)
                collector.Append(at, static_cast<std::size_t>(brk - at));
            if (brk == end)
                break;
            collector.Break();
            at = brk + 1;
            if (*brk == '\r') {
                if (at == end)
                    skipLineFeed = true;
                else if (*at == '\n')
                    ++at;
            }
        }
    }
    collector.End();
}

// Decodes the lines with one encoding for all: UTF-8 when every kept line is
// valid UTF-8 (a byte-order mark at the start of the file dropped, one that
// starts any other line kept as text), else GBK (GB18030 under a GB18030
// locale). `fromFileStart`: the first line held is the file's first line.
QStringList DecodeLines(const std::vector<std::string*>& raw, bool fromFileStart)
{
    const auto bytes = [](const std::string* line) {
        return QByteArray::fromRawData(line->data(), static_cast<qsizetype>(line->size()));
    };
    bool utf8 = true;
    for (const std::string* line : raw) {
        if (!IsValidUtf8(bytes(line))) {
            utf8 = false;
            break;
        }
    }
    // Stateless: a broken sequence at the end of one line never swallows the
    // start of the next.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    if (!utf8) {
        QStringDecoder other = NonUtf8TextDecoder();
        if (other.isValid())
            decoder = std::move(other);
    }
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(raw.size()));
    for (std::string* line : raw) {
        lines.append(decoder.decode(bytes(line)));
        std::string().swap(*line);
    }
    if (utf8 && fromFileStart && !lines.isEmpty() && lines.constFirst().startsWith(QChar(0xFEFF)))
        lines.first().remove(0, 1);
    return lines;
}

// The lines of the file, read in pieces of 1 MiB (a small file in one piece
// of its own size).
QStringList LoadFileLines(const QString& path, int limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ThrowCannotOpen(path);
    const qint64 pieceSize = file.size() > 0 ? std::min(file.size() + 1, kReadPiece) : kReadPiece;
    const auto read = [&file, &path](char* piece, qint64 size) {
        const qint64 got = file.read(piece, size);
        if (got < 0)
            ThrowCannotOpen(path);
        return got;
    };
    return ReadTextLines(read, pieceSize, limit);
}

} // namespace

QStringList ReadTextLines(const TextPieceReader& read, qint64 pieceSize, int limit)
{
    LineCollector collector(limit);
    ReadLines(read, pieceSize, collector);
    const bool trimmed = limit > 0 && collector.Count() > static_cast<std::size_t>(limit);
    return DecodeLines(collector.Held(trimmed ? 1 : 0), !trimmed);
}

QStringList LoadTextLines(const QString& path)
{
    return LoadFileLines(path, 0);
}

QStringList LoadTrimmedTextLines(const QString& path, int limit)
{
    return LoadFileLines(path, limit);
}

QByteArray TextFileBytes(const QStringList& lines)
{
    QStringEncoder encoder = WrittenTextEncoder();
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += encoder.encode(line);
        bytes += "\r\n";
    }
    return bytes;
}

void SaveTextLines(const QString& path, const QStringList& lines)
{
    if (!WriteFileAtomically(path, TextFileBytes(lines))) {
        throw EInOutError(QStringLiteral("Cannot create file %1").arg(path));
    }
}
