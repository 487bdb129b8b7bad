#pragma once

#include <QString>

// Timed saving: everything received since the last save is written to the
// next numbered file "receive<N>.dat" of a folder, under a date-and-time line
// (CaptureBuffer::Save).

// "<folder>/receive<number>.dat".
[[nodiscard]] QString TimedSaveFileName(const QString& folder, int number);

// The number of the next timed-save file of `folder` that replaces no file
// kept there: `from`, or one above the highest N of the "receive<N>.dat"
// names the folder holds (files, links and anything else of that name) when
// that is higher. A run that starts again in the same folder so goes on
// after the files of the runs before it. A folder that cannot be listed
// gives `from`.
[[nodiscard]] int NextFreeTimedSaveNumber(const QString& folder, int from);

// True when something (a file, a link, a folder) has the name `path`;
// a link is not followed.
[[nodiscard]] bool NameTaken(const QString& path);

// Whether `fileName` (a name without folder) is one of the temporary files
// an atomic write of a timed-save file makes beside it
// ("receive<N>.dat.part-<letters and digits>").
[[nodiscard]] bool IsTimedSaveTemporaryName(const QString& fileName);

// Removes from `folder` the temporary files of timed saves that no running
// program writes any more (a program killed during a save leaves one):
// those whose lock no process holds. Returns how many went.
int RemoveStaleTimedSaveFiles(const QString& folder);
