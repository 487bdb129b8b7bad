#include "platform/TextFile.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/TextCodec.h"

#include <QFile>
#include <QStringDecoder>

#include <deque>

namespace {

constexpr qint64 kReadPiece = 1 << 20;

[[noreturn]] void ThrowCannotOpen(const QString& path)
{
    throw EInOutError(QStringLiteral("Cannot open file %1").arg(path));
}

// Collects the raw lines of a file; with a limit only the last `limit` lines
// stay (and the count of all lines seen).
class LineCollector {
public:
    explicit LineCollector(qsizetype limit)
        : limit_(limit)
    {
    }

    void Add(QByteArray line)
    {
        ++count_;
        lines_.push_back(std::move(line));
        if (limit_ > 0 && static_cast<qsizetype>(lines_.size()) > limit_)
            lines_.pop_front();
    }

    [[nodiscard]] qint64 Count() const { return count_; }
    [[nodiscard]] std::deque<QByteArray>& Lines() { return lines_; }

private:
    qsizetype limit_;
    qint64 count_ = 0;
    std::deque<QByteArray> lines_;
};

void ReadLines(const QString& path, LineCollector& collector)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ThrowCannotOpen(path);

    QByteArray partial;        // the line being read, across pieces
    bool skipLineFeed = false; // the last piece ended in CR: a leading LF belongs to it
    QByteArray piece;
    for (;;) {
        piece.resize(kReadPiece);
        const qint64 got = file.read(piece.data(), kReadPiece);
        if (got < 0)
            ThrowCannotOpen(path);
        if (got == 0)
            break;
        const char* data = piece.constData();
        qint64 start = 0;
        if (skipLineFeed && data[0] == '\n')
            start = 1;
        skipLineFeed = false;
        for (qint64 i = start; i < got; ++i) {
            const char c = data[i];
            if (c != '\r' && c != '\n')
                continue;
            partial.append(data + start, static_cast<qsizetype>(i - start));
            collector.Add(std::move(partial));
            partial = QByteArray();
            if (c == '\r') {
                if (i + 1 < got) {
                    if (data[i + 1] == '\n')
                        ++i;
                } else {
                    skipLineFeed = true;
                }
            }
            start = i + 1;
        }
        partial.append(data + start, static_cast<qsizetype>(got - start));
    }
    if (!partial.isEmpty())
        collector.Add(std::move(partial));
}

// Decodes the lines with one encoding for all: UTF-8 when every kept line is
// valid UTF-8 (a byte-order mark at the start dropped), else GBK.
QStringList DecodeLines(std::deque<QByteArray>& raw)
{
    bool utf8 = true;
    for (const QByteArray& line : raw) {
        if (!IsValidUtf8(line)) {
            utf8 = false;
            break;
        }
    }
    // Stateless: a broken sequence at the end of one line never swallows the
    // start of the next.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    if (!utf8) {
        QStringDecoder gbk("GBK", QStringDecoder::Flag::Stateless);
        if (gbk.isValid())
            decoder = std::move(gbk);
    }
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(raw.size()));
    while (!raw.empty()) {
        lines.append(decoder.decode(raw.front()));
        raw.pop_front();
    }
    return lines;
}

} // namespace

QStringList LoadTextLines(const QString& path)
{
    LineCollector collector(0);
    ReadLines(path, collector);
    return DecodeLines(collector.Lines());
}

QStringList LoadTrimmedTextLines(const QString& path, int limit)
{
    LineCollector collector(limit);
    ReadLines(path, collector);
    if (collector.Count() > limit)
        collector.Lines().pop_front();
    return DecodeLines(collector.Lines());
}

void SaveTextLines(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += EncodeText(line);
        bytes += "\r\n";
    }
    if (!WriteFileAtomically(path, bytes)) {
        throw EInOutError(QStringLiteral("Cannot create file %1").arg(path));
    }
}
