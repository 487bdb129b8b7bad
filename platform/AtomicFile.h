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

// A file written in steps and then put in place as WriteFileAtomically
// does in one go: the content goes to a new file beside `path` (Fd()), and
// Commit flushes it to disk and renames it over the old file. A writer that
// is not committed (or whose Commit failed) leaves no temporary file.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // The new file's descriptor; -1 when it could not be made.
    [[nodiscard]] int Fd() const { return fd_; }
    // Puts the file in place; false when any step fails (the old file is
    // then untouched).
    [[nodiscard]] bool Commit();

private:
    void Abort();

    QByteArray target_;
    QByteArray temporary_;
    int fd_ = -1;
};

// Writes all `size` bytes to `fd`, going on after short and interrupted
// writes; false on any error.
[[nodiscard]] bool WriteAll(int fd, const char* data, qsizetype size);
