#include "platform/CaptureBuffer.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/TextCodec.h"
#include "platform/TimedSaveFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

} // namespace

CaptureBuffer::CaptureBuffer(QString folder)
    : folder_(std::move(folder))
{
}

CaptureBuffer::~CaptureBuffer()
{
    ReleaseSpillFile();
}

void CaptureBuffer::Append(const QString& line)
{
    const QByteArray bytes = EncodeText(line);
    // Only while the spill file cannot be written: the line is lost, and the
    // next Save fails for it.
    if (spillFailed_ && pending_.size() + bytes.size() + kLineEnd.size() > kMaxPendingBytes)
        return;
    pending_ += bytes;
    pending_ += kLineEnd;
    ++count_;
    if (pending_.size() >= spillAt_)
        spillAt_ = Spill() ? kMemoryBlock : pending_.size() + kMemoryBlock;
}

bool CaptureBuffer::OpenSpillFile()
{
    const QString folder = folder_.isEmpty() ? QDir::currentPath() : folder_;
    QByteArray name = QFile::encodeName(QDir(folder).filePath(QStringLiteral(".capture-XXXXXX")));
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    ::unlink(name.constData());
    spillFd_ = fd;
    spillSize_ = 0;
    return true;
}

bool CaptureBuffer::Spill()
{
    if (spillFd_ < 0 && !OpenSpillFile()) {
        spillFailed_ = true;
        return false;
    }
    const char* data = pending_.constData();
    qsizetype left = pending_.size();
    while (left > 0) {
        const ssize_t n = ::write(spillFd_, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data += n;
        left -= n;
        spillSize_ += n;
    }
    if (left > 0) {
        pending_.remove(0, pending_.size() - left);
        spillFailed_ = true;
        return false;
    }
    pending_.resize(0);
    // A very long line may have grown the block: give that back.
    if (pending_.capacity() > 4 * kMemoryBlock)
        pending_.squeeze();
    return true;
}

void CaptureBuffer::ReleaseSpillFile()
{
    if (spillFd_ >= 0)
        ::close(spillFd_);
    spillFd_ = -1;
    spillSize_ = 0;
}

bool CaptureBuffer::WriteContent(int fd) const
{
    for (const QString& head : heads_) {
        const QByteArray bytes = EncodeText(head) + kLineEnd;
        if (!WriteAll(fd, bytes.constData(), bytes.size()))
            return false;
    }
    if (spillFd_ >= 0) {
        std::vector<char> block(static_cast<std::size_t>(kMemoryBlock));
        for (qint64 at = 0; at < spillSize_;) {
            const auto want = static_cast<std::size_t>(std::min<qint64>(kMemoryBlock, spillSize_ - at));
            const ssize_t n = ::pread(spillFd_, block.data(), want, at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0 || !WriteAll(fd, block.data(), n))
                return false;
            at += n;
        }
    }
    return WriteAll(fd, pending_.constData(), pending_.size());
}

void CaptureBuffer::Save(const QString& folder, int& number, const QString& dateLine)
{
    const QString name = TimedSaveFileName(folder, number);
    heads_.prepend(dateLine);
    const bool spillFailed = std::exchange(spillFailed_, false);
    if (spillFailed || !WriteFileAtomically(name, [this](int fd) { return WriteContent(fd); }))
        throw EInOutError(QStringLiteral("Cannot create file %1").arg(name));
    ++number;
    heads_.clear();
    pending_.resize(0);
    pending_.squeeze();
    count_ = 0;
    spillAt_ = kMemoryBlock;
    ReleaseSpillFile();
}

QStringList CaptureBuffer::Lines() const
{
    QByteArray bytes;
    if (spillFd_ >= 0) {
        bytes.resize(spillSize_);
        qint64 at = 0;
        while (at < spillSize_) {
            const ssize_t n = ::pread(spillFd_, bytes.data() + at, static_cast<std::size_t>(spillSize_ - at), at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            at += n;
        }
        bytes.resize(at);
    }
    bytes += pending_;
    QStringList lines = heads_;
    qsizetype from = 0;
    for (qsizetype end = bytes.indexOf(kLineEnd); end >= 0; end = bytes.indexOf(kLineEnd, from)) {
        lines.append(DecodeText(bytes.mid(from, end - from)));
        from = end + kLineEnd.size();
    }
    return lines;
}

qsizetype CaptureBuffer::MemoryBytes() const
{
    qsizetype heads = 0;
    for (const QString& head : heads_)
        heads += head.capacity() * static_cast<qsizetype>(sizeof(QChar));
    return pending_.capacity() + heads;
}
