#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Plain line files (saved receive/send text, timed-save files).
//
// Reading splits the file into lines at CR LF, LF or CR; a line break at the
// very end does not start another line. The file is read in pieces, so only
// the lines that are kept are ever held in memory. The kept lines are decoded
// as UTF-8 when they are all valid UTF-8, else as GBK (DecodeText). A file that
// cannot be opened or read throws EInOutError("Cannot open file <path>"); one
// that is not a regular file (a named pipe, a device, a folder) is never
// read nor waited for: EInOutError("Cannot open file <path>: it is a named
// pipe, not a regular file").

[[nodiscard]] QStringList LoadTextLines(const QString& path);

// The lines a text window keeps after loading the file when it holds at most
// `limit` lines: a file of more than `limit` lines gives its last limit - 1
// lines, a shorter one all of them. `limit` must be at least 1.
[[nodiscard]] QStringList LoadTrimmedTextLines(const QString& path, int limit);

// The lines LoadTrimmedTextLines keeps, each line longer than `longestLine`
// bytes cut to its first `longestLine` bytes as it is read (less the start of
// a UTF-8 character the cut splits), so that a line however long is never
// held whole; and how many of the lines kept were cut.
struct LoadedText {
    QStringList lines;
    qsizetype cutLines = 0;
};
[[nodiscard]] LoadedText LoadTrimmedTextLinesCut(const QString& path, int limit, qint64 longestLine);

// The source of a text's bytes, read in pieces: puts the next at most `size`
// bytes into `piece` and returns how many, 0 at the end of the text.
using TextPieceReader = std::function<qint64(char* piece, qint64 size)>;

// The lines of the text that `read` gives in pieces of at most `pieceSize`
// bytes (at least 1), split and decoded as the loads above do: with `limit`
// 0 all of them (LoadTextLines), else those LoadTrimmedTextLines keeps; with
// `longestLine` above 0 cut as LoadTrimmedTextLinesCut cuts them, the number
// of lines kept that were cut put into `cutLines` when given. An exception
// from `read` leaves through this function.
[[nodiscard]] QStringList ReadTextLines(const TextPieceReader& read, qint64 pieceSize, int limit,
                                        qint64 longestLine = 0, qsizetype* cutLines = nullptr);

// Each line followed by CR LF, in the locale's character set
// (WrittenCharset): the bytes SaveTextLines writes.
[[nodiscard]] QByteArray TextFileBytes(const QStringList& lines);

// Writes TextFileBytes(lines), replacing the file atomically: on failure the
// old file is left as it was and EInOutError("Cannot create file <path>") is
// thrown.
void SaveTextLines(const QString& path, const QStringList& lines);
