#pragma once

#include <QString>
#include <QStringList>

#include "monitor/NetworkChoices.h"

class IniFile;

namespace ostrel {

// What the settings file "Ostrel.ini" keeps between runs.
struct OstrelSettings {
    QString ServerPort;
    QString ClientHost;
    QString ClientPort;
    QStringList SendLines; // the send window's lines, empty ones included
    // Kept only once the user has set them (sections "Network" and
    // "Multicast", each key only while it differs from the start's value),
    // so that the file of a user who never did stays as it was.
    monitor::NetworkChoices Network{};
    QStringList Groups{};
    QString GroupInterface{};
    int MulticastHops = -1;
    QString MulticastInterface{};
};

// The most send lines the settings keep. A send window is a list of frames
// to pick from by hand or by schedule: a file loaded into it keeps at most
// 2000 lines, and 10000 leaves room for lines typed or pasted beyond that,
// while a damaged count cannot fill the memory with empty lines.
inline constexpr int kSendLinesLimit = 10000;

// "Ostrel.ini" in the given folder (the process's current directory at start).
[[nodiscard]] QString OstrelSettingsPath(const QString& folder);

// Reads the settings; absent keys give "1888", "127.0.0.1", "1889" and no
// send lines. "SendLinesCount" lines are read as "Line0", "Line1", …; an
// absent Line key reads as an empty line. A count that is missing, not a
// number, negative or above kSendLinesLimit is taken as damaged: the lines
// run up to the last Line key present, at most kSendLinesLimit of them.
[[nodiscard]] OstrelSettings ReadOstrelSettings(const IniFile& file);

// Writes every setting and the send lines, empty ones included (the first
// kSendLinesLimit of them), so that SendLinesCount is the number of lines
// stored. Of the Line keys beyond them, those the file gave as send lines
// (as ReadOstrelSettings reads it) are removed; keys never read as send
// lines (beyond the count or the limit) are written back untouched.
// Then writes the file; throws EInOutError when that fails, leaving the old
// file as it was.
void StoreOstrelSettings(IniFile& file, const OstrelSettings& settings);

} // namespace ostrel
