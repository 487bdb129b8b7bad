#include "platform/TextFile.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 kReadPiece = 1 << 20;

[[noreturn]] void ThrowCannotOpen(const QString& path)
{
    throw EInOutError(QStringLiteral("Cannot open file %1").arg(path));
}

// A line cut at a byte count may end inside a UTF-8 sequence: that part of
// a character goes too, so that a cut never makes a UTF-8 text look like
// another encoding.
void DropPartialCharacter(std::string& line)
{
    std::size_t start = line.size();
    while (start > 0 && line.size() - start < 3 && (static_cast<unsigned char>(line[start - 1]) & 0xC0) == 0x80)
        --start;
    if (start == 0)
        return;
    const auto lead = static_cast<unsigned char>(line[start - 1]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (lead >= 0xC0 && line.size() - (start - 1) < length)
        line.resize(start - 1);
}

// Collects the raw lines of a file as they are read. With a limit only the
// last `limit` lines are held, in a ring of line buffers that are reused, so
// a long file costs no memory and no allocation per line. With a longest
// line, a line is cut to that many bytes as it is read (the rest of it is
// never held).
class LineCollector {
public:
    LineCollector(qsizetype limit, qint64 longest)
        : limit_(static_cast<std::size_t>(limit))
        , longest_(static_cast<std::size_t>(std::max<qint64>(longest, 0)))
    {
    }

    // Adds bytes to the line being read, starting one when none is.
    void Append(const char* data, std::size_t n)
    {
        Open();
        if (longest_ > 0 && (current_->cut || n > longest_ - current_->bytes.size())) {
            if (!current_->cut) {
                current_->bytes.append(data, longest_ - current_->bytes.size());
                DropPartialCharacter(current_->bytes);
                current_->cut = true;
            }
            return;
        }
        current_->bytes.append(data, n);
    }

    // A line break: the line being read (perhaps empty) is complete.
    void Break()
    {
        Open();
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
    // `cut`: how many of them were cut.
    [[nodiscard]] std::vector<std::string*> Held(std::size_t skip, qsizetype& cut)
    {
        std::vector<std::string*> held;
        cut = 0;
        const std::size_t n = ring_.size();
        const std::size_t oldest = (limit_ > 0 && count_ > limit_) ? count_ % limit_ : 0;
        for (std::size_t i = skip; i < n; ++i) {
            Line& line = ring_[(oldest + i) % n];
            held.push_back(&line.bytes);
            cut += line.cut ? 1 : 0;
        }
        return held;
    }

private:
    struct Line {
        std::string bytes;
        bool cut = false;
    };

    // Starts a line when none is being read.
    void Open()
    {
        if (open_)
            return;
        const std::size_t slot = limit_ > 0 ? count_ % limit_ : count_;
        if (slot == ring_.size())
            ring_.emplace_back();
        current_ = &ring_[slot];
        current_->bytes.clear();
        current_->cut = false;
        open_ = true;
    }

    std::size_t limit_;
    std::size_t longest_;
    std::size_t count_ = 0;
    std::vector<Line> ring_;
    Line* current_ = nullptr;
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

// What a file that is not a regular one is, for the message that refuses it.
QString NotRegularKind(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("a special file");
}

// An open descriptor, closed when it goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    [[nodiscard]] int Get() const { return fd_; }

private:
    int fd_;
};

// The lines of the file, read in pieces of 1 MiB (a small file in one piece
// of its own size). Only a regular file is read: the file is opened without
// waiting (a named pipe with no writer would hold the open for ever) and
// what was opened is looked at before anything is read from it.
QStringList LoadFileLines(const QString& path, int limit, qint64 longest, qsizetype* cutLines)
{
    const FileDescriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0)
        ThrowCannotOpen(path);
    struct stat st {};
    if (::fstat(file.Get(), &st) != 0)
        ThrowCannotOpen(path);
    if (!S_ISREG(st.st_mode)) {
        throw EInOutError(QStringLiteral("Cannot open file %1: it is %2, not a regular file").arg(path, NotRegularKind(st.st_mode)));
    }
    const qint64 size = st.st_size;
    const qint64 pieceSize = size > 0 ? std::min(size + 1, kReadPiece) : kReadPiece;
    const auto read = [&file, &path](char* piece, qint64 want) {
        for (;;) {
            const ssize_t got = ::read(file.Get(), piece, static_cast<std::size_t>(want));
            if (got >= 0)
                return static_cast<qint64>(got);
            if (errno != EINTR)
                ThrowCannotOpen(path);
        }
    };
    return ReadTextLines(read, pieceSize, limit, longest, cutLines);
}

} // namespace

QStringList ReadTextLines(const TextPieceReader& read, qint64 pieceSize, int limit, qint64 longestLine,
                          qsizetype* cutLines)
{
    LineCollector collector(limit, longestLine);
    ReadLines(read, pieceSize, collector);
    const bool trimmed = limit > 0 && collector.Count() > static_cast<std::size_t>(limit);
    qsizetype cut = 0;
    const std::vector<std::string*> held = collector.Held(trimmed ? 1 : 0, cut);
    if (cutLines != nullptr)
        *cutLines = cut;
    return DecodeLines(held, !trimmed);
}

QStringList LoadTextLines(const QString& path)
{
    return LoadFileLines(path, 0, 0, nullptr);
}

QStringList LoadTrimmedTextLines(const QString& path, int limit)
{
    return LoadFileLines(path, limit, 0, nullptr);
}

LoadedText LoadTrimmedTextLinesCut(const QString& path, int limit, qint64 longestLine)
{
    LoadedText loaded;
    loaded.lines = LoadFileLines(path, limit, longestLine, &loaded.cutLines);
    return loaded;
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
