#include "analysis/LinkTexts.h"

#include <cstdio>

namespace analysis {

namespace {

constexpr std::array<std::string_view, static_cast<std::size_t>(TextId::Count)> kTexts{
    "New connection: the link's state starts afresh.",
    "Bytes that start no {0} frame: skipped to the next frame start.",
    "The datagram ends inside its {0} frame ({1} bytes left).",
    "CRC {0}, {1} expected.",
    "U-format with {0} function bits set, one expected.",
    "U-format with other bytes than 0 after its function.",
    "S-format with other bits than 0 beside its format.",
    "I-format without an ASDU.",
    "N(S) {0} where {1} was expected: {2} missing ({3}).",
    "N(S) {0} again (expected {1}).",
    "N(S) {0} after {1}: reported missing before.",
    "N(R) {0} acknowledges I-frames never sent (the next N(S) is {1}).",
    "N(R) {0} below the N(R) {1} acknowledged before.",
    "{0} I-frames sent and not acknowledged: more than k = {1}.",
    "{0} I-frames received and not acknowledged: more than w = {1}.",
    "I-frame before STARTDT con: data transfer not started.",
    "I-frame after STOPDT con: data transfer stopped.",
    "{0} act confirmed after {1}.",
    "{0} con without a {0} act.",
    "{0} con after {1}, past t1 = {2}.",
    "No {0} con within t1 = {1}.",
    "I-frame N(S) {0} not acknowledged within t1 = {1}.",
    "I-frame N(S) {0} received and not acknowledged within t2 = {1}.",
    "Link idle for more than t3 = {0} without a TESTFR act.",
    "Time tag of common address {0} is {1} ahead of the arrival time (limit {2}).",
    "Time tag of common address {0} is {1} behind the arrival time (limit {2}).",
    "Time tag sent to common address {0} is {1} ahead of the sending time (limit {2}).",
    "Time tag sent to common address {0} is {1} behind the sending time (limit {2}).",
    "function {0} to unit {1}",
    "function {0} to unit {1} (transaction {2})",
    "No response to {0} within {1}.",
    "No response to {0}: another request followed after {1}.",
    "Response to {0} after {1}, past the time-out of {2}.",
    "Response to no request: function {0} from unit {1}{2}.",
    " (transaction {0})",
    "Response function {0} from unit {1} to a request of {2}.",
    "Exception {0} ({1}) to {2} after {3}.",
    "Request {0} asked again before its response.",
};

} // namespace

std::string_view TextOf(TextId id)
{
    const auto i = static_cast<std::size_t>(id);
    return i < kTexts.size() ? kTexts[i] : std::string_view();
}

std::string_view ExceptionName(unsigned code)
{
    switch (code) {
    case 1:
        return "illegal function";
    case 2:
        return "illegal data address";
    case 3:
        return "illegal data value";
    case 4:
        return "server device failure";
    case 5:
        return "acknowledge";
    case 6:
        return "server device busy";
    case 8:
        return "memory parity error";
    case 10:
        return "gateway path unavailable";
    case 11:
        return "gateway target device failed to respond";
    default:
        return "";
    }
}

std::string DurationText(std::int64_t us)
{
    char text[48];
    const double ms = static_cast<double>(us) / 1000.0;
    if (us < 0)
        std::snprintf(text, sizeof text, "%lld us", static_cast<long long>(us));
    else if (us < 10'000)
        std::snprintf(text, sizeof text, "%.2f ms", ms);
    else if (us < 1'000'000)
        std::snprintf(text, sizeof text, "%.1f ms", ms);
    else
        std::snprintf(text, sizeof text, "%.3f s", ms / 1000.0);
    return text;
}

std::string Fill(std::string_view pattern, const std::string* args, std::size_t count)
{
    std::string out;
    out.reserve(pattern.size() + 32);
    // The text between the placeholders goes in whole.
    std::size_t from = 0;
    for (std::size_t i = pattern.find('{'); i != std::string_view::npos; i = pattern.find('{', i + 1)) {
        if (i + 2 < pattern.size() && pattern[i + 2] == '}' && pattern[i + 1] >= '0' && pattern[i + 1] <= '9') {
            out.append(pattern.substr(from, i - from));
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '0');
            if (n < count)
                out += args[n];
            i += 2;
            from = i + 1;
        }
    }
    out.append(pattern.substr(from));
    return out;
}

} // namespace analysis
