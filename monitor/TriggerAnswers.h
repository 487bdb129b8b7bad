#pragma once

#include "monitor/Triggers.h"

#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>

class IniFile;

namespace monitor {

// The trigger rules of a monitor that answers on a connection, with the
// dialog rows they were made from, so that both can be kept in the settings
// file. Needs no display.
class TriggerAnswers final {
public:
    // The OK of the trigger dialog (ApplyTriggerRows): the rules follow the
    // rows, which are kept as the rows in force, refused ones included.
    // Returns the messages of the refused rows.
    QStringList Apply(const TriggerRows& rows);

    // The answer to a received chunk: the response of the first enabled rule
    // that it matches (TriggerResponse), which may hold no bytes; nothing when
    // no rule matches. The bytes stay valid until the next Apply.
    [[nodiscard]] std::optional<std::span<const std::uint8_t>> Answer(std::span<const std::uint8_t> received) const;

    [[nodiscard]] const TriggerRules& Rules() const { return rules_; }
    [[nodiscard]] const TriggerRows& Rows() const { return rows_; }
    [[nodiscard]] bool AnyEnabled() const { return AnyTriggerEnabled(rules_); }

private:
    TriggerRules rules_{};
    TriggerRows rows_{};
};

// The rows of the settings file, section "Trigger", keys "Rule<n> On" (1 or
// 0), "Rule<n> Pattern" and "Rule<n> Response" for n = 1 to 3, applied to
// the answers as the dialog's OK applies them (a row the checks refuse stays
// off). An absent key reads as off or empty.
void ReadTriggerSettings(const IniFile& file, TriggerAnswers& answers);

// Puts the rows in force into the file under the keys above. A key that
// already holds its value is left as it stands, and an absent key is only
// added for a value other than off or empty (what an absent key reads as):
// the file of a user who never set a trigger stays byte for byte as it was.
// The caller writes the file (IniFile::UpdateFile).
void StoreTriggerSettings(IniFile& file, const TriggerAnswers& answers);

} // namespace monitor
