#pragma once

#include <QString>
#include <QStringList>

// Plain line files (saved receive/send text, timed-save files).

// Reads the file and splits it into lines at CR LF, LF or CR; a line break
// at the very end does not start another line. Text is decoded by
// DecodeText. Throws EInOutError("Cannot open file <path>") when the file
// cannot be read.
[[nodiscard]] QStringList LoadTextLines(const QString& path);

// Writes each line followed by CR LF, UTF-8, replacing the file atomically:
// on failure the old file is left as it was and EInOutError("Cannot create
// file <path>") is thrown.
void SaveTextLines(const QString& path, const QStringList& lines);
