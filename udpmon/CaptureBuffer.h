#pragma once

#include <QString>
#include <QStringList>

#include <utility>

// The hidden capture buffer of received lines (`SMemo1`): while timed saving
// runs, every hex-mode line read is appended here, and each timed save takes
// the lines out. A plain list of lines: appending does not depend on how
// many lines it already holds, and it has no limit of its own.
class CaptureBuffer final {
public:
    void Append(const QString& line) { lines_.append(line); }
    [[nodiscard]] const QStringList& Lines() const { return lines_; }
    [[nodiscard]] qsizetype Count() const { return lines_.size(); }
    [[nodiscard]] bool IsEmpty() const { return lines_.isEmpty(); }
    // The lines held so far; the buffer is empty afterwards.
    [[nodiscard]] QStringList TakeLines() { return std::exchange(lines_, {}); }
    void Clear() { lines_.clear(); }

private:
    QStringList lines_;
};
