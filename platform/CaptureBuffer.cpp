#include "platform/CaptureBuffer.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/TextCodec.h"
#include "platform/TimedSaveFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <future>
#include <fcntl.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// A capture file never follows a link at its own name: that is refused, by
// name.
[[noreturn]] void ThrowCannotCreate(const QString& name, const AtomicFileWriter& file)
{
    if (!file.RefusedLink().isEmpty())
        throw EInOutError(QStringLiteral("Cannot create file %1: it is a symbolic link").arg(name));
    throw EInOutError(QStringLiteral("Cannot create file %1").arg(name));
}

} // namespace

// A save in steps: its file, the segments sealed for it (the first
// `segments` of the buffer's), where the copy stands, and what the buffer
// gives up once the file is in place.
struct CaptureBuffer::SaveInProgress {
    QString name;
    int* number = nullptr;
    std::unique_ptr<AtomicFileWriter> file;
    QStringList heads; // its date line, and those of failed saves after it
    std::size_t segments = 0;
    std::size_t segment = 0;
    qint64 offset = 0;
    qint64 bytes = 0;
    qsizetype lines = 0;
    // The file being put in place on a thread of its own (declared after
    // `file`, so that it is waited for before the file goes).
    std::future<bool> commit;
};

CaptureBuffer::CaptureBuffer(QString folder)
    : folder_(std::move(folder))
{
}

CaptureBuffer::~CaptureBuffer()
{
    saving_.reset();
    ReleaseSegments(segments_.size());
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
    segments_.push_back({fd, 0});
    return true;
}

bool CaptureBuffer::Spill()
{
    // The segments sealed for a save in progress take no more lines.
    const bool sealed = saving_ != nullptr && segments_.size() <= saving_->segments;
    if ((segments_.empty() || sealed) && !OpenSpillFile()) {
        spillFailed_ = true;
        return false;
    }
    Segment& spill = segments_.back();
    const char* data = pending_.constData();
    qsizetype left = pending_.size();
    while (left > 0) {
        const ssize_t n = ::write(spill.fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data += n;
        left -= n;
        spill.size += n;
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

void CaptureBuffer::ReleaseSegments(std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        ::close(segments_[i].fd);
    segments_.erase(segments_.begin(), segments_.begin() + static_cast<std::ptrdiff_t>(count));
}

namespace {

// Copies `length` bytes from `in` at `offset` to the end of `out`, in the
// kernel where it can; false on any error.
bool CopyRange(int in, qint64 offset, qint64 length, int out)
{
    auto from = static_cast<loff_t>(offset);
    while (length > 0) {
        const ssize_t n = ::copy_file_range(in, &from, out, nullptr, static_cast<std::size_t>(length), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP))
            break; // not across these files: copied through memory below
        if (n <= 0)
            return false;
        length -= n;
    }
    std::vector<char> block(static_cast<std::size_t>(std::min<qint64>(length, CaptureBuffer::kMemoryBlock)));
    while (length > 0) {
        const auto want = static_cast<std::size_t>(std::min<qint64>(length, CaptureBuffer::kMemoryBlock));
        const ssize_t n = ::pread(in, block.data(), want, from);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !WriteAll(out, block.data(), n))
            return false;
        from += n;
        length -= n;
    }
    return true;
}

} // namespace

bool CaptureBuffer::WriteContent(int fd) const
{
    for (const QString& head : heads_) {
        const QByteArray bytes = EncodeText(head) + kLineEnd;
        if (!WriteAll(fd, bytes.constData(), bytes.size()))
            return false;
    }
    for (const Segment& segment : segments_) {
        if (!CopyRange(segment.fd, 0, segment.size, fd))
            return false;
    }
    return WriteAll(fd, pending_.constData(), pending_.size());
}

void CaptureBuffer::FinishSave()
{
    while (saving_ && !Step(std::numeric_limits<qint64>::max(), true)) {
    }
}

void CaptureBuffer::Save(const QString& folder, int& number, const QString& dateLine)
{
    FinishSave();
    const QString name = TimedSaveFileName(folder, number);
    heads_.prepend(dateLine);
    const bool spillFailed = std::exchange(spillFailed_, false);
    AtomicFileWriter file(name, LinkAtName::Refuse);
    if (spillFailed || file.Fd() < 0 || !WriteContent(file.Fd()) || !file.Commit())
        ThrowCannotCreate(name, file);
    ++number;
    heads_.clear();
    pending_.resize(0);
    pending_.squeeze();
    count_ = 0;
    spillAt_ = kMemoryBlock;
    ReleaseSegments(segments_.size());
}

void CaptureBuffer::BeginSave(const QString& folder, int& number, const QString& dateLine)
{
    FinishSave();
    auto save = std::make_unique<SaveInProgress>();
    save->name = TimedSaveFileName(folder, number);
    save->number = &number;
    heads_.prepend(dateLine);
    // Everything held goes into the spill files, which are then sealed.
    const bool spilled = pending_.isEmpty() || Spill();
    spillAt_ = kMemoryBlock;
    const bool spillFailed = std::exchange(spillFailed_, false);
    save->file = std::make_unique<AtomicFileWriter>(save->name, LinkAtName::Refuse);
    if (!spilled || spillFailed || save->file->Fd() < 0)
        ThrowCannotCreate(save->name, *save->file);
    for (const QString& head : heads_) {
        const QByteArray bytes = EncodeText(head) + kLineEnd;
        if (!WriteAll(save->file->Fd(), bytes.constData(), bytes.size()))
            throw EInOutError(QStringLiteral("Cannot create file %1").arg(save->name));
    }
    save->heads = std::exchange(heads_, {});
    save->segments = segments_.size();
    save->lines = count_;
    saving_ = std::move(save);
}

bool CaptureBuffer::Committing() const
{
    return saving_ != nullptr && saving_->commit.valid();
}

bool CaptureBuffer::SaveStep(qint64 maxBytes)
{
    return Step(maxBytes, false);
}

bool CaptureBuffer::Step(qint64 maxBytes, bool wait)
{
    if (!saving_)
        return true;
    SaveInProgress& save = *saving_;
    if (save.commit.valid()) {
        if (!wait && save.commit.wait_for(std::chrono::seconds(0)) != std::future_status::ready)
            return false;
        if (!save.commit.get())
            SaveFailed();
        return SaveDone();
    }
    qint64 budget = maxBytes;
    while (save.segment < save.segments && budget > 0) {
        const Segment& segment = segments_[save.segment];
        const qint64 length = std::min(budget, segment.size - save.offset);
        if (!CopyRange(segment.fd, save.offset, length, save.file->Fd()))
            SaveFailed();
        save.offset += length;
        save.bytes += length;
        budget -= length;
        if (save.offset == segment.size) {
            ++save.segment;
            save.offset = 0;
        }
    }
    if (save.segment < save.segments) {
        // The disk starts on what is copied, so that the last step's flush
        // to disk has little left to wait for.
        ::sync_file_range(save.file->Fd(), 0, 0, SYNC_FILE_RANGE_WRITE);
        return false;
    }
    if (save.bytes > kBackgroundCommitBytes) {
        // Flushing a large file to disk can take longer than the caller may
        // wait; the segments stay sealed until it is in place.
        save.commit = std::async(std::launch::async, [file = save.file.get()] { return file->Commit(); });
        return Step(maxBytes, wait);
    }
    if (!save.file->Commit())
        SaveFailed();
    return SaveDone();
}

bool CaptureBuffer::SaveDone()
{
    ++*saving_->number;
    count_ -= saving_->lines;
    ReleaseSegments(saving_->segments);
    saving_.reset();
    return true;
}

void CaptureBuffer::SaveFailed()
{
    // The sealed segments stay in front of what came since, the date line
    // in front of them, for the next save.
    const std::unique_ptr<SaveInProgress> failed = std::move(saving_);
    heads_ = failed->heads + heads_;
    ThrowCannotCreate(failed->name, *failed->file);
}

QStringList CaptureBuffer::Lines() const
{
    QByteArray bytes;
    for (const Segment& segment : segments_) {
        const qsizetype base = bytes.size();
        bytes.resize(base + segment.size);
        qint64 at = 0;
        while (at < segment.size) {
            const ssize_t n = ::pread(segment.fd, bytes.data() + base + at,
                                      static_cast<std::size_t>(segment.size - at), at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            at += n;
        }
        bytes.resize(base + at);
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
