#include "analysis/LinkTexts.h"

#include "decode/Translate.h"

#include <cstdio>

namespace analysis {

namespace {

constexpr std::array<std::string_view, static_cast<std::size_t>(TextId::Count)> kTexts{
    NC_("analysis", "New connection: the link's state starts afresh."),
    NC_("analysis", "Bytes that start no {0} frame: skipped to the next frame start."),
    NC_("analysis", "The datagram ends inside its {0} frame ({1} bytes left)."),
    NC_("analysis", "CRC {0}, {1} expected."),
    NC_("analysis", "U-format with {0} function bits set, one expected."),
    NC_("analysis", "U-format with other bytes than 0 after its function."),
    NC_("analysis", "S-format with other bits than 0 beside its format."),
    NC_("analysis", "I-format without an ASDU."),
    NC_("analysis", "N(S) {0} where {1} was expected: {2} missing ({3})."),
    NC_("analysis", "N(S) {0} again (expected {1})."),
    NC_("analysis", "N(S) {0} after {1}: reported missing before."),
    NC_("analysis", "N(R) {0} acknowledges I-frames never sent (the next N(S) is {1})."),
    NC_("analysis", "N(R) {0} below the N(R) {1} acknowledged before."),
    NC_("analysis", "{0} I-frames sent and not acknowledged: more than k = {1}."),
    NC_("analysis", "{0} I-frames received and not acknowledged: more than w = {1}."),
    NC_("analysis", "I-frame before STARTDT con: data transfer not started."),
    NC_("analysis", "I-frame after STOPDT con: data transfer stopped."),
    NC_("analysis", "{0} act confirmed after {1}."),
    NC_("analysis", "{0} con without a {0} act."),
    NC_("analysis", "{0} con after {1}, past t1 = {2}."),
    NC_("analysis", "No {0} con within t1 = {1}."),
    NC_("analysis", "I-frame N(S) {0} not acknowledged within t1 = {1}."),
    NC_("analysis", "I-frame N(S) {0} received and not acknowledged within t2 = {1}."),
    NC_("analysis", "Link idle for more than t3 = {0} without a TESTFR act."),
    NC_("analysis", "Time tag of common address {0} is {1} ahead of the arrival time (limit {2})."),
    NC_("analysis", "Time tag of common address {0} is {1} behind the arrival time (limit {2})."),
    NC_("analysis", "Time tag sent to common address {0} is {1} ahead of the sending time (limit {2})."),
    NC_("analysis", "Time tag sent to common address {0} is {1} behind the sending time (limit {2})."),
    NC_("analysis", "function {0} to unit {1}"),
    NC_("analysis", "function {0} to unit {1} (transaction {2})"),
    NC_("analysis", "No response to {0} within {1}."),
    NC_("analysis", "No response to {0}: another request followed after {1}."),
    NC_("analysis", "Response to {0} after {1}, past the time-out of {2}."),
    NC_("analysis", "Response to no request: function {0} from unit {1}{2}."),
    NC_("analysis", " (transaction {0})"),
    NC_("analysis", "Response function {0} from unit {1} to a request of {2}."),
    NC_("analysis", "Exception {0} ({1}) to {2} after {3}."),
    NC_("analysis", "Request {0} asked again before its response."),
};

} // namespace

std::string_view TextOf(TextId id)
{
    const auto i = static_cast<std::size_t>(id);
    return i < kTexts.size() ? decode::TableText(kTexts[i], "analysis") : std::string_view();
}

std::string_view ExceptionName(unsigned code)
{
    switch (code) {
    case 1:
        return decode::TableText(NC_("analysis", "illegal function"), "analysis");
    case 2:
        return decode::TableText(NC_("analysis", "illegal data address"), "analysis");
    case 3:
        return decode::TableText(NC_("analysis", "illegal data value"), "analysis");
    case 4:
        return decode::TableText(NC_("analysis", "server device failure"), "analysis");
    case 5:
        return decode::TableText(NC_("analysis", "acknowledge"), "analysis");
    case 6:
        return decode::TableText(NC_("analysis", "server device busy"), "analysis");
    case 8:
        return decode::TableText(NC_("analysis", "memory parity error"), "analysis");
    case 10:
        return decode::TableText(NC_("analysis", "gateway path unavailable"), "analysis");
    case 11:
        return decode::TableText(NC_("analysis", "gateway target device failed to respond"), "analysis");
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
