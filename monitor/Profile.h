#pragma once

#include "monitor/Triggers.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class IniFile;

namespace monitor {

// A profile: what the user set up in a monitor (triggers, filter, send
// style, timed save, the window layout and the settings of the windows added
// later), saved to a file of the user's choice and opened again from it. The
// file is an INI file of a section per part; the rules here write one from a
// state and read and check one into a state without a display. A profile is
// read whole and every value checked before any of it is applied: a damaged
// one is refused with the number of its first bad line and changes nothing.

inline constexpr int kProfileFormat = 1;

// The first fault of a profile: its line (the first line is 1) and what is
// wrong there.
struct ProfileFault {
    int line = 0;
    QString text;

    bool operator==(const ProfileFault&) const = default;
};

// The message box text of a refused profile.
[[nodiscard]] QString ProfileFaultMessage(const QString& path, const ProfileFault& fault);

// Reads typed values out of a profile, keeping the first fault with its
// line. An absent key reads as the default (a profile of an older program
// lacks the keys added since); a value that is there must be right.
class ProfileReader {
public:
    explicit ProfileReader(const IniFile& file) : file_(file) {}

    [[nodiscard]] bool Flag(const QString& section, const QString& key, bool def);
    [[nodiscard]] int Integer(const QString& section, const QString& key, int def, int low, int high);
    [[nodiscard]] QString Text(const QString& section, const QString& key, const QString& def);
    // Text that `accepts` must take, else a fault saying `why`.
    [[nodiscard]] QString Checked(const QString& section, const QString& key, const QString& def,
                                  const std::function<bool(const QString&)>& accepts, const QString& why);
    [[nodiscard]] QByteArray Base64(const QString& section, const QString& key);
    // Records a fault at the key's line (the section's first key when the
    // key is absent, line 1 when the section is).
    void Refuse(const QString& section, const QString& key, const QString& text);
    void RefuseLine(int line, const QString& text);

    [[nodiscard]] const std::optional<ProfileFault>& Fault() const { return fault_; }
    [[nodiscard]] const IniFile& File() const { return file_; }

private:
    const IniFile& file_;
    std::optional<ProfileFault> fault_;
};

// One row of the display filter dialog as typed: on, byte position, value.
struct FilterRowText {
    bool on = false;
    QString position;
    QString value;

    bool operator==(const FilterRowText&) const = default;
};

// The timed-save dialog as left: "定时保存" ticked and the minutes typed.
struct TimedSaveForm {
    bool on = false;
    QString minutes = QStringLiteral("60");

    bool operator==(const TimedSaveForm&) const = default;
};

// A window's place on the screen and whether it is shown.
struct WindowPlace {
    int x = 0;
    int y = 0;
    int width = 0; // 0: the window's own start size
    int height = 0;
    bool maximized = false;
    bool shown = true;

    bool operator==(const WindowPlace&) const = default;
};

// The settings of one window added later, as keys and values of a section
// of its own, "Window <name>"; the window fills and reads them, the profile
// keeps them as they are.
using WindowSettings = std::map<QString, QString>;

// The link supervision window's section ("Window Link Supervision"): each
// key and the range of values the window takes ("Protocol": 0 automatic,
// 1 IEC 104, 2 MODBUS TCP, 3 MODBUS RTU; k and w; t0 to t3 in seconds; the
// MODBUS time-out in milliseconds).
inline const QString kLinkWindow = QStringLiteral("Link Supervision");
struct LinkWindowKey {
    const char* key;
    int low;
    int high;
};
inline constexpr std::array<LinkWindowKey, 8> kLinkWindowKeys{{{"Protocol", 0, 3},
                                                               {"k", 1, 32767},
                                                               {"w", 1, 32767},
                                                               {"t0", 1, 255},
                                                               {"t1", 1, 255},
                                                               {"t2", 1, 255},
                                                               {"t3", 1, 255},
                                                               {"MODBUS Timeout ms", 10, 600000}}};

// The parts of a profile that every monitor has.
struct CommonProfile {
    TriggerRows triggers{};
    std::array<FilterRowText, 3> filter{};
    TimedSaveForm timedSave;
    WindowPlace main;
    WindowPlace decode{0, 0, 0, 0, false, false};
    bool toolbar = true;
    std::map<QString, WindowSettings> windows; // by window name

    bool operator==(const CommonProfile&) const = default;
};

// What a program's own dialogs accept, for the checks of a profile.
struct ProfileChecks {
    std::function<bool(const QString&)> filterPosition; // an empty text always passes
    std::function<bool(const QString&)> filterValue;
    std::function<bool(const QString&)> saveMinutes;    // checked while timed saving is on
    // The windows added later whose sections the program reads (the hook
    // for their settings): "Window <name>" for each name.
    std::vector<QString> windows;
};

// Writes the header (section "Profile": "Program", "Format") and the common
// parts into the file; the caller adds its own parts and writes the file.
void WriteCommonProfile(IniFile& file, const QString& program, const CommonProfile& profile);

// Checks the header and every line's form, then reads the common parts:
// a checked trigger row must pass the trigger dialog's checks, a checked
// filter row and a ticked timed save the program's. The reader keeps the
// first fault.
[[nodiscard]] CommonProfile ReadCommonProfile(ProfileReader& reader, const ProfileChecks& checks);

} // namespace monitor
