#pragma once

#include <QString>

// Timed saving: everything received since the last save is written to the
// next numbered file "receive<N>.dat" of a folder, under a date-and-time line
// (CaptureBuffer::Save).

// "<folder>/receive<number>.dat".
[[nodiscard]] QString TimedSaveFileName(const QString& folder, int number);
