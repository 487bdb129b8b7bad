// Every word the point table shows, and the texts of its addresses, types
// and values: one table each, so that a translation finds them in one place.
// The words are Chinese, in the language of the translator in force
// (decode/Translate.h, context "analysis") where one is; the point list's
// reader and the column keys read the tables themselves, so a list reads
// the same whatever the language.
#include "analysis/PointState.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace analysis {

namespace {

constexpr std::array<std::string_view, kPointProtocolCount> kProtocolTexts{"IEC104", "IEC101", "MODBUS", "DNP3",
                                                                           "CDT"};

struct TypeWords {
    PointType type;
    std::string_view text;      // what the table shows and the list's type column says
    std::string_view shortName; // a name a list may use instead
};

constexpr std::array<TypeWords, kPointTypeCount> kTypes{{
    {PointType::Unknown, "", ""},
    {PointType::SinglePoint, NC_("analysis", "单点遥信"), "SP"},
    {PointType::DoublePoint, NC_("analysis", "双点遥信"), "DP"},
    {PointType::StepPosition, NC_("analysis", "步位置"), "ST"},
    {PointType::Bitstring, NC_("analysis", "32位串"), "BO"},
    {PointType::Normalised, NC_("analysis", "归一化值"), "ME_NVA"},
    {PointType::Scaled, NC_("analysis", "标度化值"), "ME_SVA"},
    {PointType::Float, NC_("analysis", "短浮点数"), "ME_R32"},
    {PointType::Counter, NC_("analysis", "累计量"), "IT"},
    {PointType::ProtectionEvent, NC_("analysis", "保护事件"), "EP"},
    {PointType::SingleCommand, NC_("analysis", "单点命令"), "SC"},
    {PointType::DoubleCommand, NC_("analysis", "双点命令"), "DC"},
    {PointType::RegulatingStep, NC_("analysis", "调节步命令"), "RC"},
    {PointType::SetNormalised, NC_("analysis", "设定值归一化"), "SE_NVA"},
    {PointType::SetScaled, NC_("analysis", "设定值标度化"), "SE_SVA"},
    {PointType::SetFloat, NC_("analysis", "设定值短浮点"), "SE_R32"},
    {PointType::BitstringCommand, NC_("analysis", "32位串命令"), "BO_CMD"},
    {PointType::Coil, NC_("analysis", "线圈"), "COIL"},
    {PointType::DiscreteInput, NC_("analysis", "离散输入"), "DISCRETE"},
    {PointType::InputRegister, NC_("analysis", "输入寄存器"), "INPUT_REGISTER"},
    {PointType::HoldingRegister, NC_("analysis", "保持寄存器"), "HOLDING_REGISTER"},
    {PointType::BinaryInput, NC_("analysis", "二进制输入"), "BI"},
    {PointType::DoubleBitInput, NC_("analysis", "双位输入"), "DBI"},
    {PointType::BinaryOutput, NC_("analysis", "二进制输出"), "BO_DNP"},
    {PointType::DnpCounter, NC_("analysis", "计数器"), "CNT"},
    {PointType::FrozenCounter, NC_("analysis", "冻结计数器"), "FCNT"},
    {PointType::AnalogInput, NC_("analysis", "模拟量输入"), "AI"},
    {PointType::AnalogOutput, NC_("analysis", "模拟量输出"), "AO"},
    {PointType::Measurement, NC_("analysis", "遥测"), "YC"},
    {PointType::Signal, NC_("analysis", "遥信"), "YX"},
    {PointType::Energy, NC_("analysis", "电度"), "DD"},
}};

// The IEC type identifications that carry points, by family.
struct IecFamily {
    std::uint8_t id;
    std::string_view mnemonic;
    PointType type;
};

constexpr IecFamily kIecTypes[] = {
    {1, "M_SP_NA_1", PointType::SinglePoint},     {2, "M_SP_TA_1", PointType::SinglePoint},
    {30, "M_SP_TB_1", PointType::SinglePoint},    {3, "M_DP_NA_1", PointType::DoublePoint},
    {4, "M_DP_TA_1", PointType::DoublePoint},     {31, "M_DP_TB_1", PointType::DoublePoint},
    {5, "M_ST_NA_1", PointType::StepPosition},    {6, "M_ST_TA_1", PointType::StepPosition},
    {32, "M_ST_TB_1", PointType::StepPosition},   {7, "M_BO_NA_1", PointType::Bitstring},
    {8, "M_BO_TA_1", PointType::Bitstring},       {33, "M_BO_TB_1", PointType::Bitstring},
    {20, "M_PS_NA_1", PointType::Bitstring},      {9, "M_ME_NA_1", PointType::Normalised},
    {10, "M_ME_TA_1", PointType::Normalised},     {21, "M_ME_ND_1", PointType::Normalised},
    {34, "M_ME_TD_1", PointType::Normalised},     {11, "M_ME_NB_1", PointType::Scaled},
    {12, "M_ME_TB_1", PointType::Scaled},         {35, "M_ME_TE_1", PointType::Scaled},
    {13, "M_ME_NC_1", PointType::Float},          {14, "M_ME_TC_1", PointType::Float},
    {36, "M_ME_TF_1", PointType::Float},          {15, "M_IT_NA_1", PointType::Counter},
    {16, "M_IT_TA_1", PointType::Counter},        {37, "M_IT_TB_1", PointType::Counter},
    {17, "M_EP_TA_1", PointType::ProtectionEvent}, {18, "M_EP_TB_1", PointType::ProtectionEvent},
    {19, "M_EP_TC_1", PointType::ProtectionEvent}, {38, "M_EP_TD_1", PointType::ProtectionEvent},
    {39, "M_EP_TE_1", PointType::ProtectionEvent}, {40, "M_EP_TF_1", PointType::ProtectionEvent},
    {45, "C_SC_NA_1", PointType::SingleCommand},  {58, "C_SC_TA_1", PointType::SingleCommand},
    {46, "C_DC_NA_1", PointType::DoubleCommand},  {59, "C_DC_TA_1", PointType::DoubleCommand},
    {47, "C_RC_NA_1", PointType::RegulatingStep}, {60, "C_RC_TA_1", PointType::RegulatingStep},
    {48, "C_SE_NA_1", PointType::SetNormalised},  {61, "C_SE_TA_1", PointType::SetNormalised},
    {49, "C_SE_NB_1", PointType::SetScaled},      {62, "C_SE_TB_1", PointType::SetScaled},
    {50, "C_SE_NC_1", PointType::SetFloat},       {63, "C_SE_TC_1", PointType::SetFloat},
    {51, "C_BO_NA_1", PointType::BitstringCommand}, {64, "C_BO_TA_1", PointType::BitstringCommand},
};

constexpr std::array<std::string_view, 2> kDirectionTexts{NC_("analysis", "监视"), NC_("analysis", "控制")};
constexpr std::array<std::string_view, 5> kCommandTexts{"", NC_("analysis", "激活"), NC_("analysis", "确认"), NC_("analysis", "终止"), NC_("analysis", "否定")};

struct MarkWord {
    std::uint8_t bit;
    std::string_view text;
};
constexpr MarkWord kMarks[] = {
    {kMarkMissing, NC_("analysis", "未收到")},  {kMarkUnlisted, NC_("analysis", "不在点表")}, {kMarkOutOfRange, NC_("analysis", "越限")},
    {kMarkWrongType, NC_("analysis", "类型不符")}, {kMarkBadQuality, NC_("analysis", "品质异常")},
};

struct QualityWord {
    std::uint16_t bit;
    std::string_view text;
};
constexpr QualityWord kQualityWords[] = {
    {kQualityInvalid, "IV"},        {kQualityNotTopical, "NT"},      {kQualitySubstituted, "SB"},
    {kQualityBlocked, "BL"},        {kQualityOverflow, "OV"},        {kQualityCarry, "CY"},
    {kQualityAdjusted, "CA"},       {kQualityOffline, "OFFLINE"},    {kQualityRestart, "RESTART"},
    {kQualityCommLost, "COMM_LOST"}, {kQualityRemoteForced, "REMOTE_FORCED"},
    {kQualityLocalForced, "LOCAL_FORCED"}, {kQualityOverRange, "OVER_RANGE"},
    {kQualityReferenceError, "REFERENCE_ERR"}, {kQualityChatter, "CHATTER"},
};

// The words of the table's columns; the CSV and the report add "标记".
constexpr std::string_view kColumns[] = {NC_("analysis", "协议"), NC_("analysis", "站址"), NC_("analysis", "点号"), NC_("analysis", "名称"),    NC_("analysis", "类型"),     NC_("analysis", "值"),   NC_("analysis", "单位"),
                                         NC_("analysis", "品质"), NC_("analysis", "传送原因"), NC_("analysis", "时标"), NC_("analysis", "到达时间"), NC_("analysis", "更新"), NC_("analysis", "变化"), NC_("analysis", "首次"),
                                         NC_("analysis", "最近"), NC_("analysis", "方向"), NC_("analysis", "状态"), NC_("analysis", "标记")};

// The lines of the report's head, by ReportWord.
constexpr std::string_view kReportWords[] = {NC_("analysis", "站址"), NC_("analysis", "时间"),     NC_("analysis", "收到的点"), NC_("analysis", "点表中的点"), NC_("analysis", "在点表中"),
                                             NC_("analysis", "未收到"), NC_("analysis", "不在点表"), NC_("analysis", "越限"),     NC_("analysis", "类型不符"),   NC_("analysis", "品质异常"),
                                             NC_("analysis", "控制"),   NC_("analysis", "超过点数上限未记录")};

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::optional<std::uint64_t> Number(std::string_view s, int base = 10)
{
    std::uint64_t v = 0;
    if (s.empty())
        return std::nullopt;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (r.ec != std::errc{} || r.ptr != s.data() + s.size())
        return std::nullopt;
    return v;
}

std::string CivilText(std::int64_t us, bool local)
{
    const std::time_t seconds = static_cast<std::time_t>(us >= 0 ? us / 1'000'000 : (us - 999'999) / 1'000'000);
    const auto ms = static_cast<int>((us - static_cast<std::int64_t>(seconds) * 1'000'000) / 1000);
    std::tm tm{};
    if (local)
        localtime_r(&seconds, &tm);
    else
        gmtime_r(&seconds, &tm);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
    return buf;
}

} // namespace

std::size_t PointKeyHash::operator()(const PointKey& k) const noexcept
{
    std::uint64_t h = k.address * 0x9E3779B97F4A7C15ull;
    h ^= (std::uint64_t{k.station} << 16 | std::uint64_t{static_cast<std::uint8_t>(k.protocol)} << 8
          | static_cast<std::uint8_t>(k.direction))
        + 0x632BE59BD9B4E019ull + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h ^ (h >> 29));
}

std::string_view ProtocolText(PointProtocol protocol)
{
    return kProtocolTexts[static_cast<std::size_t>(protocol)];
}

std::optional<PointProtocol> ParseProtocol(std::string_view text)
{
    const std::string t = Upper(Trim(text));
    for (std::size_t i = 0; i < kProtocolTexts.size(); ++i)
        if (t == kProtocolTexts[i])
            return static_cast<PointProtocol>(i);
    if (t == "IEC-104" || t == "IEC 104" || t == "104")
        return PointProtocol::Iec104;
    if (t == "IEC-101" || t == "IEC 101" || t == "101")
        return PointProtocol::Iec101;
    if (t == "MODBUS-TCP" || t == "MODBUS-RTU" || t == "MODBUSTCP" || t == "MODBUSRTU")
        return PointProtocol::Modbus;
    return std::nullopt;
}

std::string_view TypeText(PointType type)
{
    return decode::TableText(kTypes[static_cast<std::size_t>(type)].text, "analysis");
}

std::optional<PointType> ParseType(std::string_view text)
{
    const std::string_view trimmed = Trim(text);
    const std::string t = Upper(trimmed);
    for (const TypeWords& w : kTypes)
        if (w.type != PointType::Unknown && (trimmed == w.text || t == w.shortName))
            return w.type;
    for (const IecFamily& f : kIecTypes)
        if (t == f.mnemonic)
            return f.type;
    return std::nullopt;
}

PointType IecPointType(std::uint8_t typeId)
{
    for (const IecFamily& f : kIecTypes)
        if (f.id == typeId)
            return f.type;
    return PointType::Unknown;
}

std::string_view IecMnemonic(std::uint8_t typeId)
{
    for (const IecFamily& f : kIecTypes)
        if (f.id == typeId)
            return f.mnemonic;
    return {};
}

std::string_view DirectionText(PointDirection direction)
{
    return decode::TableText(kDirectionTexts[static_cast<std::size_t>(direction)], "analysis");
}

std::string_view CommandStateText(CommandState state)
{
    return decode::TableText(kCommandTexts[static_cast<std::size_t>(state)], "analysis");
}

std::string MarksText(std::uint8_t marks)
{
    std::string out;
    for (const MarkWord& m : kMarks) {
        if (!(marks & m.bit))
            continue;
        if (!out.empty())
            out += decode::C_("analysis", "、");
        out += decode::TableText(m.text, "analysis");
    }
    return out;
}

std::string QualityText(std::uint16_t quality)
{
    std::string out;
    for (const QualityWord& q : kQualityWords) {
        if (!(quality & q.bit))
            continue;
        if (!out.empty())
            out += ' ';
        out += q.text;
    }
    return out;
}

std::string AddressText(PointProtocol protocol, std::uint64_t address)
{
    switch (protocol) {
    case PointProtocol::Iec104:
    case PointProtocol::Iec101: return std::to_string(address);
    case PointProtocol::Modbus: {
        static constexpr std::string_view kTables[] = {"CO", "DI", "", "IR", "HR"};
        const auto table = static_cast<std::size_t>(address >> 16);
        const std::string_view name = table < 5 ? kTables[table] : "";
        return std::string(name.empty() ? "?" : name) + ":" + std::to_string(address & 0xFFFF);
    }
    case PointProtocol::Dnp3: {
        std::string out = "g";
        out += std::to_string(address >> 32);
        out += '/';
        out += std::to_string(address & 0xFFFFFFFF);
        return out;
    }
    case PointProtocol::Cdt: {
        static constexpr std::string_view kKinds[] = {"YC", "YX", "DD"};
        const auto kind = static_cast<std::size_t>(address >> 16);
        return std::string(kind < 3 ? kKinds[kind] : "?") + ":" + std::to_string(address & 0xFFFF);
    }
    }
    return {};
}

std::optional<std::uint64_t> ParseAddress(PointProtocol protocol, std::string_view text)
{
    const std::string t = Upper(Trim(text));
    const std::string_view s = t;
    switch (protocol) {
    case PointProtocol::Iec104:
    case PointProtocol::Iec101: {
        const auto n = Number(s);
        if (!n || *n > 0xFFFFFF)
            return std::nullopt;
        return *n;
    }
    case PointProtocol::Modbus: {
        static constexpr std::pair<std::string_view, ModbusTable> kTables[] = {
            {"CO", ModbusTable::Coil},
            {"DI", ModbusTable::DiscreteInput},
            {"IR", ModbusTable::InputRegister},
            {"HR", ModbusTable::HoldingRegister}};
        for (const auto& [name, table] : kTables) {
            if (!s.starts_with(name))
                continue;
            std::string_view rest = s.substr(name.size());
            if (rest.starts_with(":"))
                rest.remove_prefix(1);
            const auto n = Number(rest);
            if (!n || *n > 0xFFFF)
                return std::nullopt;
            return std::uint64_t{static_cast<std::uint8_t>(table)} << 16 | *n;
        }
        // The reference numbers: a table digit (0, 1, 3, 4) and the 1-based
        // number in 4 digits (40001) or 5 (400001).
        if ((s.size() != 5 && s.size() != 6) || !Number(s))
            return std::nullopt;
        const int digit = s[0] - '0';
        const auto n = *Number(s.substr(1));
        if ((digit != 0 && digit != 1 && digit != 3 && digit != 4) || n < 1 || n > 0x10000)
            return std::nullopt;
        return std::uint64_t(static_cast<unsigned>(digit)) << 16 | (n - 1);
    }
    case PointProtocol::Dnp3: {
        std::string_view rest = s;
        if (rest.starts_with("G"))
            rest.remove_prefix(1);
        const auto slash = rest.find('/');
        if (slash == std::string_view::npos)
            return std::nullopt;
        std::string_view group = rest.substr(0, slash);
        if (const auto v = group.find('V'); v != std::string_view::npos) {
            if (!Number(group.substr(v + 1)))
                return std::nullopt;
            group = group.substr(0, v);
        }
        const auto g = Number(group);
        const auto index = Number(rest.substr(slash + 1));
        if (!g || !index || *g > 255 || *index > 0xFFFFFFFF)
            return std::nullopt;
        return *g << 32 | *index;
    }
    case PointProtocol::Cdt: {
        static constexpr std::pair<std::string_view, CdtKind> kKinds[] = {
            {"YC", CdtKind::Measurement}, {"YX", CdtKind::Signal}, {"DD", CdtKind::Energy}};
        for (const auto& [name, kind] : kKinds) {
            if (!s.starts_with(name))
                continue;
            std::string_view rest = s.substr(name.size());
            if (rest.starts_with(":"))
                rest.remove_prefix(1);
            const auto n = Number(rest);
            if (!n || *n > 0xFFFF)
                return std::nullopt;
            return std::uint64_t{static_cast<std::uint8_t>(kind)} << 16 | *n;
        }
        return std::nullopt;
    }
    }
    return std::nullopt;
}

std::string ValueText(const PointRow& row)
{
    if (!row.hasValue)
        return {};
    const double v = row.value;
    switch (row.type) {
    case PointType::SinglePoint:
    case PointType::SingleCommand:
    case PointType::Coil:
    case PointType::DiscreteInput:
    case PointType::BinaryInput:
    case PointType::BinaryOutput:
    case PointType::Signal: return v != 0 ? decode::C_("analysis", "1 合") : decode::C_("analysis", "0 分");
    case PointType::DoublePoint:
    case PointType::DoubleCommand:
    case PointType::DoubleBitInput: {
        static constexpr std::string_view kStates[] = {NC_("analysis", "0 中间"), NC_("analysis", "1 分"), NC_("analysis", "2 合"), NC_("analysis", "3 不定")};
        const auto s = static_cast<unsigned>(v) & 3;
        return std::string(decode::TableText(kStates[s], "analysis"));
    }
    case PointType::Bitstring:
    case PointType::BitstringCommand: {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(static_cast<std::uint32_t>(v)));
        return buf;
    }
    default: break;
    }
    if (std::isnan(v))
        return "NaN";
    char buf[64];
    // Whole numbers in full ("100000", not "1e+05"); a value a short float
    // holds with the digits that float has ("0.1", not "0.10000000149").
    if (std::abs(v) < 1e15 && v == std::trunc(v)) {
        std::snprintf(buf, sizeof buf, "%.0f", v == 0 ? 0.0 : v);
        return buf;
    }
    const auto narrow = static_cast<float>(v);
    const auto r = static_cast<double>(narrow) == v ? std::to_chars(buf, buf + sizeof buf, narrow)
                                                     : std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string CauseText(const PointRow& row)
{
    if (row.cause == 0 || (row.key.protocol != PointProtocol::Iec104 && row.key.protocol != PointProtocol::Iec101))
        return {};
    static const decode::FieldDef* cot = [] {
        for (const decode::FieldDef& d : decode::IecAsduFields())
            if (d.key == "iec.cot")
                return &d;
        return static_cast<const decode::FieldDef*>(nullptr);
    }();
    std::string out = cot ? cot->Coded(row.cause) : std::to_string(row.cause);
    if (row.negative)
        out += " (P/N)";
    return out;
}

std::string DeviceTimeText(const PointRow& row)
{
    if (!row.hasDeviceTime)
        return {};
    std::string out;
    if (row.deviceTimeShort) {
        // Minutes and milliseconds of the hour only.
        const std::int64_t ms = row.deviceTimeUs / 1000;
        char buf[24];
        std::snprintf(buf, sizeof buf, "**:%02d:%02d.%03d", static_cast<int>(ms / 60'000 % 60),
                      static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
        out = buf;
    } else {
        out = CivilText(row.deviceTimeUs, false);
    }
    if (row.deviceTimeInvalid)
        out += " (IV)";
    return out;
}

std::string TimeText(std::int64_t us)
{
    return CivilText(us, true);
}

std::string_view ReportText(ReportWord word)
{
    return decode::TableText(kReportWords[static_cast<std::size_t>(word)], "analysis");
}

std::span<const std::string_view> PointColumns()
{
    return kColumns;
}

} // namespace analysis
