#pragma once

#include "udpmon/SendStyleConfirm.h"

#include "monitor/Profile.h"

#include <QByteArray>

#include <optional>

class IniFile;

namespace ostrel {

// Ostrel's profile: the common parts (triggers, filter, timed save, the
// main window's and the decode window's places, the toolbar, the later
// windows' settings), the send style dialog as confirmed, which text
// windows are shown, and the docks' arrangement.
struct OstrelProfile {
    monitor::CommonProfile common;
    SendStyleForm send;
    bool recvShown = true;
    bool sendShown = true;
    QByteArray docks; // the main window's dock arrangement, as the toolkit saves it
    bool replyToSender = false; // the trigger dialog's "回复源地址"; key "Reply To Sender" only while on

    bool operator==(const OstrelProfile&) const = default;
};

// The windows added later whose settings a profile keeps (the hook: a new
// window adds its name here and fills and reads its WindowSettings).
[[nodiscard]] std::vector<QString> OstrelProfileWindows();

// The send style dialog's form for the schedule in force: the style, the
// interval, the range and the copies, so that confirming it again changes
// nothing.
[[nodiscard]] SendStyleForm SendStyleFormOf(const SendSchedule& schedule, bool timed, bool range);

// The timed-save form for the timer: on, and its period in minutes.
[[nodiscard]] monitor::TimedSaveForm TimedSaveFormOf(bool on, std::int64_t periodMs);

void WriteOstrelProfile(IniFile& file, const OstrelProfile& profile);

struct OstrelProfileRead {
    OstrelProfile profile;
    std::optional<monitor::ProfileFault> fault; // refused: nothing of it is to be applied
};

// Reads and checks the whole profile; the send style as the dialog's OK
// would check it against the schedule in force.
[[nodiscard]] OstrelProfileRead ReadOstrelProfile(const IniFile& file, const SendSchedule& current);

} // namespace ostrel
