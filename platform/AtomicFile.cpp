#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

bool WriteAll(int fd, const char* data, qsizetype size)
{
    qsizetype left = size;
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

namespace {

// Creates a new file beside `target` named "<target>.part-<random>" and
// locks it for as long as it is open, so that a program starting later can
// tell the file of a write under way from one a killed program left;
// returns its descriptor and name, or -1.
int CreateTemporary(const QByteArray& target, QByteArray& name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target + ".part-" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            (void)::flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Makes the rename itself durable; a folder that cannot be synced does not
// undo a write that has already happened.
void SyncFolder(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : (slash == 0 ? QByteArray("/") : target.left(slash));
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes)
{
    return WriteFileAtomically(path, [&bytes](int fd) { return WriteAll(fd, bytes.constData(), bytes.size()); });
}

bool WriteFileAtomically(const QString& path, const std::function<bool(int fd)>& write)
{
    AtomicFileWriter file(path);
    return file.Fd() >= 0 && write(file.Fd()) && file.Commit();
}

namespace {

// Whether the link `link` (as lstat saw it) may be followed.
bool MayFollow(LinkAtName links, const struct stat& link)
{
    switch (links) {
    case LinkAtName::Follow:
        return true;
    case LinkAtName::FollowOwnOrRoot:
        return link.st_uid == ::geteuid() || link.st_uid == 0;
    case LinkAtName::Refuse:
        break;
    }
    return false;
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const QString& path, LinkAtName links)
    : links_(links)
{
    // The chain of links at the name, one link at a time (as the kernel
    // allows, at most 40), each looked at before it is followed.
    QString targetPath = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(QFile::encodeName(targetPath).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        if (!MayFollow(links, st)) {
            refusedLink_ = targetPath;
            return;
        }
        if (hops == 40)
            return;
        const QString next = QFileInfo(targetPath).symLinkTarget();
        if (next.isEmpty())
            return;
        targetPath = next;
    }
    target_ = QFile::encodeName(targetPath);
    fd_ = CreateTemporary(target_, temporary_);
}

AtomicFileWriter::~AtomicFileWriter()
{
    Abort();
}

void AtomicFileWriter::Abort()
{
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporary_.constData());
    }
    fd_ = -1;
}

bool AtomicFileWriter::Commit()
{
    if (fd_ < 0) {
        return false;
    }
    bool ok = true;
    struct stat old {};
    // Unless links are followed, a link planted at the name since the start
    // is not looked through: the commit fails. One planted after this look
    // is replaced by the rename itself, its target untouched.
    const bool looked = links_ == LinkAtName::Follow ? ::stat(target_.constData(), &old) == 0
                                                     : ::lstat(target_.constData(), &old) == 0;
    if (looked && S_ISLNK(old.st_mode)) {
        refusedLink_ = QFile::decodeName(target_);
        ok = false;
    } else if (looked) {
        // Owner first: changing it may clear set-id bits that fchmod puts back.
        // Only root may give the file away; for others it stays theirs.
        (void)!::fchown(fd_, old.st_uid, old.st_gid);
        ok = ::fchmod(fd_, old.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd_) == 0;
    // Renamed while still open, so that its lock holds until it is in place
    // (the flush to disk has already reported any error of the content).
    ok = ok && ::rename(temporary_.constData(), target_.constData()) == 0;
    ::close(std::exchange(fd_, -1));
    if (!ok) {
        ::unlink(temporary_.constData());
        return false;
    }
    SyncFolder(target_);
    return true;
}
