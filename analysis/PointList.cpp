// The station's point list: read from CSV, checked whole before it is kept.
#include "analysis/Points.h"

#include <array>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace analysis {

namespace {

// The columns a list may have, by their names in the header row (English or
// the table's own words, any case and order).
enum Column : std::size_t { Protocol, Station, Address, Name, Type, Unit, Low, High, kColumnCount };

struct ColumnNames {
    Column column;
    std::string_view english;
    std::string_view chinese;
    std::string_view chineseAlt;
};

constexpr ColumnNames kColumnNames[] = {
    {Protocol, "protocol", "协议", "规约"}, {Station, "station", "站址", "公共地址"},
    {Address, "address", "点号", "地址"},   {Name, "name", "名称", "点名"},
    {Type, "type", "类型", "类型"},         {Unit, "unit", "单位", "单位"},
    {Low, "low", "下限", "最小值"},         {High, "high", "上限", "最大值"},
};

constexpr std::size_t kMaxLineBytes = 64 * 1024;      // a record longer than this is refused
constexpr std::size_t kMaxEntries = 1'000'000;        // as many as the table keeps

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string LineError(std::size_t line, const std::string& what)
{
    return decode::Arg(decode::C_("analysis", "第%1行: %2"), {std::to_string(line), what});
}

// Cuts CSV text into records of fields: fields separated by commas, a field
// in double quotes may hold commas, line ends and doubled quotes. Each
// record keeps the line it starts on.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    // The next record; false at the end. `error` set on a fault.
    bool Next(std::vector<std::string>& fields, std::size_t& line, std::string& error)
    {
        fields.clear();
        if (at_ >= text_.size())
            return false;
        line = line_;
        const std::size_t start = at_;
        std::string field;
        bool quoted = false;     // inside quotes
        bool wasQuoted = false;  // the field began with a quote
        bool afterQuote = false; // a closing quote seen, only spaces or a separator may follow
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (at_ - start > kMaxLineBytes) {
                error = LineError(line, decode::Arg(decode::C_("analysis", "一行超过 %1 字节"), {std::to_string(kMaxLineBytes)}));
                return false;
            }
            if (quoted) {
                if (c == '"') {
                    if (at_ < text_.size() && text_[at_] == '"') {
                        field += '"';
                        ++at_;
                    } else {
                        quoted = false;
                        afterQuote = true;
                    }
                } else {
                    if (c == '\n')
                        ++line_;
                    field += c;
                }
                continue;
            }
            if (c == ',') {
                fields.push_back(wasQuoted ? field : std::string(Trim(field)));
                field.clear();
                wasQuoted = afterQuote = false;
                continue;
            }
            if (c == '\n') {
                ++line_;
                break;
            }
            if (c == '\r')
                continue;
            if (afterQuote) {
                if (c == ' ' || c == '\t')
                    continue;
                error = LineError(line, decode::C_("analysis", "引号后面的文字要用逗号隔开"));
                return false;
            }
            if (c == '"' && Trim(field).empty()) {
                quoted = wasQuoted = true;
                field.clear();
                continue;
            }
            field += c;
        }
        if (quoted) {
            error = LineError(line, decode::C_("analysis", "引号没有结束"));
            return false;
        }
        fields.push_back(wasQuoted ? field : std::string(Trim(field)));
        return true;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
    std::size_t line_ = 1;
};

bool Blank(const std::vector<std::string>& fields)
{
    for (const std::string& f : fields)
        if (!f.empty())
            return false;
    return true;
}

std::optional<double> ParseNumber(std::string_view s)
{
    double v = 0;
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc{} || r.ptr != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

bool PointList::Read(std::string_view csv, std::string& error)
{
    error.clear();
    if (csv.starts_with("\xEF\xBB\xBF"))
        csv.remove_prefix(3);
    CsvReader reader(csv);
    std::vector<std::string> fields;
    std::size_t line = 0;
    std::array<std::ptrdiff_t, kColumnCount> at{};
    at.fill(-1);
    bool header = false;
    std::vector<PointListEntry> entries;
    std::unordered_map<PointKey, std::int32_t, PointKeyHash> index;
    while (reader.Next(fields, line, error)) {
        if (Blank(fields) || fields.front().starts_with("#"))
            continue;
        if (!header) {
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const std::string name = Lower(Trim(fields[i]));
                for (const ColumnNames& c : kColumnNames) {
                    if (name != c.english && name != c.chinese && name != c.chineseAlt)
                        continue;
                    if (at[c.column] >= 0) {
                        error = LineError(line, decode::Arg(decode::C_("analysis", "列 \"%1\" 出现两次"), {fields[i]}));
                        return false;
                    }
                    at[c.column] = static_cast<std::ptrdiff_t>(i);
                }
            }
            for (const Column required : {Protocol, Station, Address}) {
                if (at[required] < 0) {
                    error = LineError(line, decode::Arg(decode::C_("analysis", "标题行缺少列 \"%1\""), {kColumnNames[required].english}));
                    return false;
                }
            }
            header = true;
            continue;
        }
        const auto cell = [&](Column c) -> std::string {
            const std::ptrdiff_t i = at[c];
            return i >= 0 && static_cast<std::size_t>(i) < fields.size() ? fields[static_cast<std::size_t>(i)]
                                                                         : std::string();
        };
        PointListEntry e;
        const std::string protocol = cell(Protocol);
        const auto p = ParseProtocol(protocol);
        if (!p) {
            error = LineError(line, decode::Arg(decode::C_("analysis", "协议 \"%1\" 不认识 (IEC104, IEC101, MODBUS, DNP3, CDT)"), {protocol}));
            return false;
        }
        e.protocol = *p;
        const std::string station = cell(Station);
        std::uint32_t s = 0;
        const auto r = std::from_chars(station.data(), station.data() + station.size(), s);
        if (station.empty() || r.ec != std::errc{} || r.ptr != station.data() + station.size() || s > 0xFFFF) {
            error = LineError(line, decode::Arg(decode::C_("analysis", "站址 \"%1\" 不是 0 到 65535 的数"), {station}));
            return false;
        }
        e.station = static_cast<std::uint16_t>(s);
        const std::string address = cell(Address);
        const auto a = ParseAddress(e.protocol, address);
        if (!a) {
            const std::string example = AddressText(e.protocol, e.protocol == PointProtocol::Modbus ? (4ull << 16 | 100)
                                                                : e.protocol == PointProtocol::Dnp3   ? (30ull << 32 | 5)
                                                                                                      : 4001);
            error = LineError(line, decode::Arg(decode::C_("analysis", "点号 \"%1\" 不是 %2 的点号 (例如 %3)"),
                                                 {address, ProtocolText(e.protocol), example}));
            return false;
        }
        e.address = *a;
        e.addressText = AddressText(e.protocol, e.address);
        e.name = cell(Name);
        e.unit = cell(Unit);
        if (const std::string type = cell(Type); !type.empty()) {
            const auto t = ParseType(type);
            if (!t) {
                error = LineError(line, decode::Arg(decode::C_("analysis", "类型 \"%1\" 不认识"), {type}));
                return false;
            }
            e.type = *t;
        }
        for (const Column c : {Low, High}) {
            const std::string text = cell(c);
            if (text.empty())
                continue;
            const auto v = ParseNumber(text);
            if (!v) {
                error = LineError(line, decode::Arg(c == Low ? decode::C_("analysis", "下限 \"%1\" 不是数") : decode::C_("analysis", "上限 \"%1\" 不是数"), {text}));
                return false;
            }
            (c == Low ? e.low : e.high) = *v;
        }
        if (e.low && e.high && *e.low > *e.high) {
            error = LineError(line, decode::C_("analysis", "下限大于上限"));
            return false;
        }
        const PointKey key{e.protocol, PointDirection::Monitoring, e.station, e.address};
        if (const auto it = index.find(key); it != index.end()) {
            error = LineError(line, decode::C_("analysis", "这个点在前面已经有了"));
            return false;
        }
        if (entries.size() >= kMaxEntries) {
            error = LineError(line, decode::Arg(decode::C_("analysis", "点表最多 %1 个点"), {std::to_string(kMaxEntries)}));
            return false;
        }
        index.emplace(key, static_cast<std::int32_t>(entries.size()));
        entries.push_back(std::move(e));
    }
    if (!error.empty())
        return false;
    if (!header) {
        error = decode::C_("analysis", "没有标题行 (protocol,station,address,name,type,unit,low,high)");
        return false;
    }
    entries_ = std::move(entries);
    index_ = std::move(index);
    return true;
}

std::int32_t PointList::Find(PointProtocol protocol, std::uint16_t station, std::uint64_t address) const
{
    const auto it = index_.find(PointKey{protocol, PointDirection::Monitoring, station, address});
    return it == index_.end() ? -1 : it->second;
}

std::string PointListTemplate()
{
    return "protocol,station,address,name,type,unit,low,high\n"
           "IEC104,1,16385,1号主变高压侧有功,短浮点数,MW,-100,100\n"
           "IEC104,1,1,1号断路器位置,单点遥信,,,\n"
           "IEC101,1,4001,母线电压,归一化值,kV,0,1\n"
           "MODBUS,1,HR:0,温度,保持寄存器,0.1℃,0,1000\n"
           "DNP3,4,g30/0,线路电流,模拟量输入,A,0,600\n"
           "CDT,1,YC:0,主变油温,遥测,℃,0,120\n";
}

bool ReadPointListFile(const std::string& path, PointList& list, std::string& error)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = decode::Arg(decode::C_("analysis", "%1: 不能打开 (不存在或不是文件)"), {path});
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = decode::Arg(decode::C_("analysis", "%1: 不能打开"), {path});
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string fault;
    if (!list.Read(text.str(), fault)) {
        error = path + ": " + fault;
        return false;
    }
    return true;
}

} // namespace analysis
