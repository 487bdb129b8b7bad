#pragma once

#include <QString>
#include <QStringList>

// Timed saving: everything received since the last save is written to the
// next numbered file "receive<N>.dat" of a folder, under a date-and-time line.

// "<folder>/receive<number>.dat".
[[nodiscard]] QString TimedSaveFileName(const QString& folder, int number);

// One timed save. The date line is put in front of the buffered lines and
// the whole is written atomically (CR LF lines) to TimedSaveFileName(folder,
// number), replacing a file of that name. On success the number goes up by
// one and the buffer is emptied. When the file cannot be written,
// EInOutError("Cannot create file <name>") is thrown, no file of that name is
// left half-written, the number stays and the buffer keeps its lines with
// the date line in front, so that the next save tries the same name again.
void WriteTimedSave(const QString& folder, int& number, QStringList& buffer, const QString& dateLine);
