// The point table written out: cells, CSV and the HTML report.
#include "analysis/PointState.h"

#include <set>

namespace analysis {

namespace {

enum Cell : std::size_t {
    CProtocol, CStation, CAddress, CName, CType, CValue, CUnit, CQuality, CCause, CDeviceTime, CArrival, CUpdates,
    CChanges, CFirst, CLast, CDirection, CState, CMarks
};

std::string Csv(std::string_view text)
{
    // Quoted where it must be; a leading = + - @ kept as text by a spreadsheet.
    const bool formula = !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '@');
    if (!formula && text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    if (formula)
        out += '\'';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string Html(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c; break;
        }
    }
    return out;
}

} // namespace

std::string PointCell(const PointModel& model, const PointRow& row, std::size_t column)
{
    const PointListEntry* entry = model.EntryOf(row);
    const bool seen = row.listOnly == 0;
    switch (static_cast<Cell>(column)) {
    case CProtocol: return std::string(ProtocolText(row.key.protocol));
    case CStation: return std::to_string(row.key.station);
    case CAddress: return AddressText(row.key.protocol, row.key.address);
    case CName: return entry ? entry->name : std::string();
    case CType: return std::string(TypeText(row.type));
    case CValue: return ValueText(row);
    case CUnit: return entry ? entry->unit : std::string();
    case CQuality: return QualityText(row.quality);
    case CCause: return CauseText(row);
    case CDeviceTime: return DeviceTimeText(row);
    case CArrival: return seen ? TimeText(row.arrivalUs) : std::string();
    case CUpdates: return std::to_string(row.updates);
    case CChanges: return std::to_string(row.changes);
    case CFirst: return seen ? TimeText(row.firstUs) : std::string();
    case CLast: return seen ? TimeText(row.arrivalUs) : std::string();
    case CDirection: return std::string(DirectionText(row.key.direction));
    case CState: return std::string(CommandStateText(row.command));
    case CMarks: return MarksText(row.marks);
    }
    return {};
}

std::string PointsCsv(const PointModel& model)
{
    const auto columns = PointColumns();
    std::string out = "\xEF\xBB\xBF";
    for (std::size_t c = 0; c < columns.size(); ++c) {
        out += c ? "," : "";
        out += columns[c];
    }
    out += "\r\n";
    for (const PointRow& row : model.Rows()) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            out += c ? "," : "";
            out += Csv(PointCell(model, row, c));
        }
        out += "\r\n";
    }
    return out;
}

std::string PointsHtml(const PointModel& model, std::string_view title)
{
    const PointCounts c = model.Counts();
    std::set<std::string> stations;
    for (const PointRow& row : model.Rows())
        stations.insert(std::string(ProtocolText(row.key.protocol)) + " " + std::to_string(row.key.station));
    std::string stationText;
    for (const std::string& s : stations)
        stationText += (stationText.empty() ? "" : decode::C_("analysis", "、")) + s;

    // The report's language tag, that of its words.
    std::string out = std::string("<!DOCTYPE html>\n<html lang=\"") + decode::C_("analysis", "zh-CN")
        + "\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
        + Html(title) + "</title>\n<style>\n"
        "body{font-family:sans-serif;margin:1.5em;color:#111}\n"
        "h1{font-size:1.4em}\n"
        "table{border-collapse:collapse;font-size:0.85em}\n"
        "th,td{border:1px solid #999;padding:2px 6px;white-space:nowrap}\n"
        "th{background:#e8e8e8;position:sticky;top:0}\n"
        "table.counts td:first-child{font-weight:bold}\n"
        "tr.missing td{background:#fde2e2}\n"
        "tr.unlisted td{background:#fff4cc}\n"
        "td.mark{color:#b00000;font-weight:bold}\n"
        "</style>\n</head>\n<body>\n<h1>" + Html(title) + "</h1>\n<table class=\"counts\">\n";
    const auto line = [&out](ReportWord name, const std::string& value) {
        out += "<tr><td>" + Html(ReportText(name)) + "</td><td>" + Html(value) + "</td></tr>\n";
    };
    line(ReportWord::Stations, stationText);
    line(ReportWord::TimeSpan,
         model.FirstUs() == 0 ? std::string() : TimeText(model.FirstUs()) + " — " + TimeText(model.LastUs()));
    line(ReportWord::Seen, std::to_string(c.seen));
    if (c.listed > 0) {
        line(ReportWord::Listed, std::to_string(c.listed));
        line(ReportWord::OnList, std::to_string(c.onList));
        line(ReportWord::Missing, std::to_string(c.missing));
        line(ReportWord::Unlisted, std::to_string(c.unlisted));
    }
    line(ReportWord::OutOfRange, std::to_string(c.outOfRange));
    line(ReportWord::WrongType, std::to_string(c.wrongType));
    line(ReportWord::BadQuality, std::to_string(c.badQuality));
    line(ReportWord::Commands, std::to_string(c.commands));
    if (c.limitReached)
        line(ReportWord::Dropped, std::to_string(c.dropped));
    out += "</table>\n<p></p>\n<table class=\"points\">\n<tr>";
    const auto columns = PointColumns();
    for (const std::string_view col : columns)
        out += "<th>" + Html(decode::TableText(col, "analysis")) + "</th>";
    out += "</tr>\n";
    for (const PointRow& row : model.Rows()) {
        const char* cls = row.marks & kMarkMissing ? " class=\"missing\"" : row.marks & kMarkUnlisted ? " class=\"unlisted\"" : "";
        out += "<tr";
        out += cls;
        out += ">";
        for (std::size_t col = 0; col < columns.size(); ++col) {
            out += col + 1 == columns.size() ? "<td class=\"mark\">" : "<td>";
            out += Html(PointCell(model, row, col));
            out += "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n</body>\n</html>\n";
    return out;
}

} // namespace analysis
