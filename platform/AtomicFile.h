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

// Writes all `size` bytes to `fd`, going on after short and interrupted
// writes; false on any error.
[[nodiscard]] bool WriteAll(int fd, const char* data, qsizetype size);
