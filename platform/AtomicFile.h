#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Replaces the file at `path` by `bytes` so that readers see either the old
// file or the whole new one, never a part: the bytes go to a new file in the
// same folder, are flushed to disk, and that file is renamed over the old
// one. A symbolic link is followed and its target replaced; an existing
// file keeps its permission bits and, where allowed, its owner. Returns
// false when any step fails (no folder, no space, a file size limit, a name
// too long for the temporary file); the old file is then untouched and no
// temporary file is left.
[[nodiscard]] bool WriteFileAtomically(const QString& path, const QByteArray& bytes);

// The same, with the new file's content written by `write` to its descriptor;
// `write` returns false on any error.
[[nodiscard]] bool WriteFileAtomically(const QString& path, const std::function<bool(int fd)>& write);

// What a writer does with a symbolic link at its name.
enum class LinkAtName {
    // Followed, to the end of a chain of links; the last target is replaced.
    Follow,
    // Followed only while each link of the chain belongs to the user the
    // program runs as or to root, as the kernel's protected-links rule does
    // in shared folders where anyone may plant a link; any other link is
    // refused.
    FollowOwnOrRoot,
    // Refused: the name is the file's own.
    Refuse,
    // For both but Follow, a link that appears at the name written to while
    // the file is being written is refused by Commit; one that appears after
    // that last look is replaced by the rename itself, never its target.
};

// A file written in steps and then put in place as WriteFileAtomically
// does in one go: the content goes to a new file beside `path` (Fd()), and
// Commit flushes it to disk and renames it over the old file. A writer that
// is not committed (or whose Commit failed) leaves no temporary file.
// A link at the name is treated as `links` says; a refused link leaves the
// writer without a file (Fd() -1, Commit false) and names it in
// RefusedLink().
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path, LinkAtName links = LinkAtName::Follow);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // The new file's descriptor; -1 when it could not be made.
    [[nodiscard]] int Fd() const { return fd_; }
    // Puts the file in place; false when any step fails (the old file is
    // then untouched).
    [[nodiscard]] bool Commit();
    // The symbolic link that was refused (the name itself or a link of its
    // chain); empty when none was.
    [[nodiscard]] const QString& RefusedLink() const { return refusedLink_; }

private:
    void Abort();

    LinkAtName links_;
    QString refusedLink_;
    QByteArray target_;
    QByteArray temporary_;
    int fd_ = -1;
};

// Writes all `size` bytes to `fd`, going on after short and interrupted
// writes; false on any error.
[[nodiscard]] bool WriteAll(int fd, const char* data, qsizetype size);
