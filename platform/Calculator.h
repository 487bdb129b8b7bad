#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The desktop calculator started by the "计算器" command.

// Program names looked for, in order of preference.
[[nodiscard]] const QStringList& CalculatorCandidates();

// Full path of the first candidate found as an executable on PATH.
[[nodiscard]] std::optional<QString> FindCalculator();

// Starts the first candidate found on PATH that starts, detached from this
// process (it outlives the program). False when none could be started: the
// caller tells the user that no calculator was found.
bool StartCalculator();
