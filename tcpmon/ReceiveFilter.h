#pragma once

#include "monitor/ReceiveRoute.h"
#include "monitor/TriggerAnswers.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <span>

namespace tamrel {

// The display filter of the receive path. A rule's enable flag is set by the
// filter dialog's OK; its position and value are the dialog's fields as they
// read at the moment a chunk is examined.
struct FilterRuleInput {
    bool on = false;
    QString position; // decimal, 1-based byte position
    QString value;    // hexadecimal byte value, 0 to FF
};

// True when the byte at `position` of the chunk equals `value`, compared as
// numbers ("a", "0A" and "0a" all select 0A). A position beyond the chunk,
// or a field that is empty or not a number, is not satisfied.
[[nodiscard]] bool FilterRuleSatisfied(std::span<const std::uint8_t> chunk, const QString& position,
                                       const QString& value);

// Whether the chunk's line is shown: always when no rule is on, otherwise
// when at least one rule that is on is satisfied.
[[nodiscard]] bool PassesDisplayFilter(std::span<const std::uint8_t> chunk,
                                       const std::array<FilterRuleInput, 3>& rules);

// The filter dialog's field checks, applied on every change of a field: a
// position must be a whole number above 0, a value a hexadecimal number from
// 0 to FF. An empty field is acceptable (the rule then stays off).
[[nodiscard]] bool IsFilterPositionTextOrEmpty(const QString& text);
[[nodiscard]] bool IsFilterValueTextOrEmpty(const QString& text);

struct TamrelState;

// The TCP monitors' rules on the receive route: every chunk captured first,
// paused or filtered out or not; the numeric display filter of the rules
// whose flags the state holds (`rules` gives the filter dialog's fields as
// they read at that moment); the window's line rule after every chunk; lines
// made only when written; the end of the peer's stream an empty line; a
// chunk that a trigger rule of `triggers` matches answered through `send`
// (on the connection it came in on) with the rule's response, unless that
// is empty.
[[nodiscard]] monitor::ReceivePolicy TamrelReceivePolicy(const TamrelState& state,
                                                         std::function<std::array<FilterRuleInput, 3>()> rules,
                                                         const monitor::TriggerAnswers& triggers,
                                                         std::function<void(std::span<const std::uint8_t>)> send);

} // namespace tamrel
