#pragma once

#include <QString>
#include <QStringList>

// Plain line files (saved receive/send text, timed-save files).
//
// Reading splits the file into lines at CR LF, LF or CR; a line break at the
// very end does not start another line. The file is read in pieces, so only
// the lines that are kept are ever held in memory. The kept lines are decoded
// as UTF-8 when they are all valid UTF-8, else as GBK (DecodeText). A file that
// cannot be opened or read throws EInOutError("Cannot open file <path>").

[[nodiscard]] QStringList LoadTextLines(const QString& path);

// The lines a text window keeps after loading the file when it holds at most
// `limit` lines: a file of more than `limit` lines gives its last limit - 1
// lines, a shorter one all of them. `limit` must be at least 1.
[[nodiscard]] QStringList LoadTrimmedTextLines(const QString& path, int limit);

// Writes each line followed by CR LF, in the locale's character set
// (WrittenCharset), replacing the file atomically:
// on failure the old file is left as it was and EInOutError("Cannot create
// file <path>") is thrown.
void SaveTextLines(const QString& path, const QStringList& lines);
