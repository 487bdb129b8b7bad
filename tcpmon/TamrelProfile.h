#pragma once

#include "monitor/Profile.h"

#include <QList>

#include <cstdint>
#include <optional>

class IniFile;

namespace tamrel {

// The profile of the TCP monitors (Tamrel_S and Tamrel_C share the window):
// the common parts (triggers, filter, timed save, the main window's and
// the decode window's places, the toolbar, the later windows' settings),
// the send style, and how the splitter shares the height between the
// receive and the send window.
struct TamrelProfile {
    monitor::CommonProfile common;
    std::uint8_t sendStyle = 1; // 0 loop, 1 single line, 2 random line
    bool timed = false;         // "定时发报"
    QString interval = QStringLiteral("1");
    QList<int> splitter;        // the windows' heights; empty: as laid out at start

    bool operator==(const TamrelProfile&) const = default;
};

// The windows added later whose settings a profile keeps (the hook: a new
// window adds its name here and fills and reads its WindowSettings).
[[nodiscard]] std::vector<QString> TamrelProfileWindows();

// Writes the whole profile; `program` names the monitor in its header.
void WriteTamrelProfile(IniFile& file, const QString& program, const TamrelProfile& profile);

struct TamrelProfileRead {
    TamrelProfile profile;
    std::optional<monitor::ProfileFault> fault; // refused: nothing of it is to be applied
};

// Reads and checks the whole profile, each value as its dialog checks it.
[[nodiscard]] TamrelProfileRead ReadTamrelProfile(const IniFile& file);

} // namespace tamrel
