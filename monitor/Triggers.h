#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace monitor {

// The triggers: three rules, each a pattern of byte positions with at most
// one wildcard ("??" one byte, "**" a run of one or more bytes) and a
// response. A received frame that equals the pattern of the first enabled
// rule that matches is answered with that rule's response. Every monitor
// uses the same rules, dialog and messages.

// One trigger: a received frame equal to the pattern (with at most one
// wildcard) is answered with the response bytes.
struct TriggerRule {
    bool Enabled = false;
    std::uint8_t PatternCount = 0;
    std::array<std::uint8_t, 255> PatternBytes{};
    std::uint8_t OneBytePos = 0;   // 1-based position of "??", 0 for none
    std::uint8_t MultiBytePos = 0; // 1-based position of "**", 0 for none
    std::uint8_t ResponseCount = 0;
    std::array<std::uint8_t, 255> ResponseBytes{};
};

using TriggerRules = std::array<TriggerRule, 3>;

// The outcome of checking one rule's texts: ok, or the message to show.
struct TriggerValidation {
    bool ok = false;
    QString message;
};

// The messages of the checks, in the order the checks are made: the Chinese
// source texts; the trigger dialog shows their translation (monitor::Translated).
namespace TriggerMessage {
inline const QString Empty = QString::fromUtf8(QT_TRANSLATE_NOOP("monitor::TriggerMessage", "不能为空串"));
inline const QString TooLong
    = QString::fromUtf8(QT_TRANSLATE_NOOP("monitor::TriggerMessage", "报文超长，不得超过255个字节"));
inline const QString PatternFormat
    = QString::fromUtf8(QT_TRANSLATE_NOOP("monitor::TriggerMessage", "触发报文格式不对,请修改! eg:\"01 03 1A\""));
inline const QString TwoWildcards
    = QString::fromUtf8(QT_TRANSLATE_NOOP("monitor::TriggerMessage", "触发报文通配符大于两个,请修改!"));
inline const QString PatternInvalid
    = QString::fromUtf8(QT_TRANSLATE_NOOP("monitor::TriggerMessage", "触发报文存在无效字符，请修改"));
inline const QString ResponseFormat
    = QString::fromUtf8(QT_TRANSLATE_NOOP("monitor::TriggerMessage", "发送报文格式不对,请修改! eg:\"01 03 1A\""));
inline const QString ResponseInvalid
    = QString::fromUtf8(QT_TRANSLATE_NOOP("monitor::TriggerMessage", "发送报文存在无效字符，请修改"));
} // namespace TriggerMessage

// Checks a pattern and a response text as typed (no trimming; lengths count
// the UTF-8 bytes of the text) and, when both are good, stores the pattern,
// its wildcard and the response in the rule. A failing check leaves the rule
// as it was. The rule's Enabled flag is the caller's.
[[nodiscard]] TriggerValidation ValidateTrigger(TriggerRule& rule, const QString& pattern, const QString& response);

// True when the frame matches the rule's pattern (Enabled is not looked at).
[[nodiscard]] bool TriggerMatches(const TriggerRule& rule, const std::uint8_t* data, std::size_t n);

// The 0-based number of the first enabled rule that the frame matches, none
// when no rule does. Later rules are not tried. The window has three rules;
// a program without a dialog may have more.
[[nodiscard]] std::optional<int> MatchTriggers(std::span<const TriggerRule> rules, const std::uint8_t* data, std::size_t n);

// The answer to a frame: the response bytes of the first enabled rule that
// it matches (MatchTriggers), which may be none at all; nothing when no rule
// matches. The bytes are the rule's own and change with it.
[[nodiscard]] std::optional<std::span<const std::uint8_t>> TriggerResponse(std::span<const TriggerRule> rules,
                                                                           std::span<const std::uint8_t> frame);

// What one row of the trigger dialog holds.
struct TriggerRow {
    bool checked = false;
    QString pattern;
    QString response;

    bool operator==(const TriggerRow&) const = default;
};

// The dialog's three rows, rule 1 to 3.
using TriggerRows = std::array<TriggerRow, 3>;

// The OK of the trigger dialog: every row is processed, rule 1 to 3, also
// after a failure. A checked row's rule is enabled exactly when its texts
// pass ValidateTrigger; an unchecked row's rule is disabled. Returns the
// messages of the failing rules in order; none means all were accepted.
[[nodiscard]] QStringList ApplyTriggerRows(TriggerRules& rules, const TriggerRows& rows);

[[nodiscard]] bool AnyTriggerEnabled(const TriggerRules& rules);

} // namespace monitor
