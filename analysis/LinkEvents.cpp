#include "analysis/LinkEvents.h"

#include "frame/HexText.h"

#include <cstdio>
#include <ctime>

namespace analysis {

namespace {

constexpr std::array<std::string_view, kEventKindCount> kKeywords{
    "connection", "bad-frame",  "gap",        "duplicate",   "out-of-order",  "ack-unsent",
    "ack-backwards", "k-exceeded", "w-reached", "not-started", "startdt",       "stopdt",
    "testfr",     "t1-expired", "t2-exceeded", "t3-exceeded", "clock-skew",    "no-response",
    "late-response", "unsolicited-response", "mismatch", "exception",
};

// A CSV field: quoted when it holds a comma, a quote or a line break.
void AppendField(std::string& out, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    // Each quote doubled; the text between quotes goes in whole.
    for (std::size_t at = 0;;) {
        const std::size_t quote = field.find('"', at);
        if (quote == std::string_view::npos) {
            out.append(field.substr(at));
            break;
        }
        out.append(field.substr(at, quote + 1 - at));
        out += '"';
        at = quote + 1;
    }
    out += '"';
}

std::string UtcText(std::int64_t us)
{
    std::int64_t seconds = us / 1'000'000;
    std::int64_t rest = us % 1'000'000;
    if (rest < 0) {
        rest += 1'000'000;
        --seconds;
    }
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    if (gmtime_r(&t, &tm) == nullptr)
        return std::to_string(us);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(rest / 1000));
    return text;
}

} // namespace

std::string_view KindKeyword(EventKind kind)
{
    const auto i = static_cast<std::size_t>(kind);
    return i < kKeywords.size() ? kKeywords[i] : std::string_view("unknown");
}

std::optional<EventKind> KindOfKeyword(std::string_view keyword)
{
    for (std::size_t i = 0; i < kKeywords.size(); ++i)
        if (kKeywords[i] == keyword)
            return static_cast<EventKind>(i);
    return std::nullopt;
}

std::string_view SeverityKeyword(Severity severity)
{
    switch (severity) {
    case Severity::Info:
        return "info";
    case Severity::Warning:
        return "warning";
    case Severity::Fault:
        return "fault";
    }
    return "fault";
}

std::string_view DirectionKeyword(Direction direction)
{
    return direction == Direction::ToDevice ? "to-device" : "from-device";
}

std::string_view ProtocolKeyword(LinkProtocol protocol)
{
    switch (protocol) {
    case LinkProtocol::Auto:
        return "auto";
    case LinkProtocol::Iec104:
        return "iec104";
    case LinkProtocol::ModbusTcp:
        return "modbus-tcp";
    case LinkProtocol::ModbusRtu:
        return "modbus-rtu";
    }
    return "auto";
}

std::string EventCsvHeader()
{
    return "serial,time,time_us,link,direction,protocol,kind,severity,text,frame,frame_us\n";
}

std::string EventCsvLine(const Event& event)
{
    std::string out;
    out.reserve(128 + event.text.size() + 3 * event.frame.size());
    out += std::to_string(event.serial);
    out += ',';
    out += UtcText(event.timeUs);
    out += ',';
    out += std::to_string(event.timeUs);
    out += ',';
    AppendField(out, event.linkName.empty() ? std::to_string(event.link) : event.linkName);
    out += ',';
    out += DirectionKeyword(event.direction);
    out += ',';
    out += ProtocolKeyword(event.protocol);
    out += ',';
    out += KindKeyword(event.kind);
    out += ',';
    out += SeverityKeyword(event.severity);
    out += ',';
    AppendField(out, event.text);
    out += ',';
    std::string hex = BytesToHexText(event.frame);
    if (!hex.empty())
        hex.pop_back(); // the space after the last byte
    out += hex;
    out += ',';
    if (!event.frame.empty() || event.frameUs != 0)
        out += std::to_string(event.frameUs);
    out += '\n';
    return out;
}

} // namespace analysis
