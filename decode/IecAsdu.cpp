#include "decode/IecAsdu.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>
#include <vector>

namespace decode::iec {

namespace {

// --- Information elements -------------------------------------------------

enum class Element : uint8_t {
    None,
    Siq, Diq, Vti, Qds, Bsi, Nva, Sva, R32, BcrCount, BcrSeq,
    Sep, Spe, Oci, Qdp, Scd, Cp16, Cp24, Cp56,
    Sco, Dco, Rco, Qos, Coi, Qoi, Qcc, Qrp, Qpm, Qpa, Fbp, Tsc
};

struct ElementInfo {
    Element element;
    std::string_view name;
    std::size_t size;
};

constexpr std::array kElements{
    ElementInfo{Element::Siq, "SIQ", 1},
    ElementInfo{Element::Diq, "DIQ", 1},
    ElementInfo{Element::Vti, "VTI", 1},
    ElementInfo{Element::Qds, "QDS", 1},
    ElementInfo{Element::Bsi, "Bitstring", 4},
    ElementInfo{Element::Nva, "Normalised value", 2},
    ElementInfo{Element::Sva, "Scaled value", 2},
    ElementInfo{Element::R32, "Short floating point", 4},
    ElementInfo{Element::BcrCount, "Counter reading", 4},
    ElementInfo{Element::BcrSeq, "Counter sequence", 1},
    ElementInfo{Element::Sep, "SEP", 1},
    ElementInfo{Element::Spe, "SPE", 1},
    ElementInfo{Element::Oci, "OCI", 1},
    ElementInfo{Element::Qdp, "QDP", 1},
    ElementInfo{Element::Scd, "SCD", 4},
    ElementInfo{Element::Cp16, "CP16Time2a", 2},
    ElementInfo{Element::Cp24, "CP24Time2a", 3},
    ElementInfo{Element::Cp56, "CP56Time2a", 7},
    ElementInfo{Element::Sco, "SCO", 1},
    ElementInfo{Element::Dco, "DCO", 1},
    ElementInfo{Element::Rco, "RCO", 1},
    ElementInfo{Element::Qos, "QOS", 1},
    ElementInfo{Element::Coi, "COI", 1},
    ElementInfo{Element::Qoi, "QOI", 1},
    ElementInfo{Element::Qcc, "QCC", 1},
    ElementInfo{Element::Qrp, "QRP", 1},
    ElementInfo{Element::Qpm, "QPM", 1},
    ElementInfo{Element::Qpa, "QPA", 1},
    ElementInfo{Element::Fbp, "Fixed test pattern", 2},
    ElementInfo{Element::Tsc, "Test sequence counter", 2},
};

const ElementInfo& Info(Element e)
{
    return *std::find_if(kElements.begin(), kElements.end(),
                         [e](const ElementInfo& i) { return i.element == e; });
}

// --- Type identifications -------------------------------------------------

enum class Kind : uint8_t { Objects, File };

struct TypeInfo {
    uint8_t id;
    std::string_view mnemonic;
    std::string_view description;
    std::array<Element, 4> elements{};
    Kind kind = Kind::Objects;
};

using E = Element;

const std::array kTypes{
    TypeInfo{1, "M_SP_NA_1", "single-point information", {E::Siq}},
    TypeInfo{2, "M_SP_TA_1", "single-point information with time tag", {E::Siq, E::Cp24}},
    TypeInfo{3, "M_DP_NA_1", "double-point information", {E::Diq}},
    TypeInfo{4, "M_DP_TA_1", "double-point information with time tag", {E::Diq, E::Cp24}},
    TypeInfo{5, "M_ST_NA_1", "step position information", {E::Vti, E::Qds}},
    TypeInfo{6, "M_ST_TA_1", "step position information with time tag", {E::Vti, E::Qds, E::Cp24}},
    TypeInfo{7, "M_BO_NA_1", "bitstring of 32 bit", {E::Bsi, E::Qds}},
    TypeInfo{8, "M_BO_TA_1", "bitstring of 32 bit with time tag", {E::Bsi, E::Qds, E::Cp24}},
    TypeInfo{9, "M_ME_NA_1", "measured value, normalised value", {E::Nva, E::Qds}},
    TypeInfo{10, "M_ME_TA_1", "measured value, normalised value with time tag",
             {E::Nva, E::Qds, E::Cp24}},
    TypeInfo{11, "M_ME_NB_1", "measured value, scaled value", {E::Sva, E::Qds}},
    TypeInfo{12, "M_ME_TB_1", "measured value, scaled value with time tag",
             {E::Sva, E::Qds, E::Cp24}},
    TypeInfo{13, "M_ME_NC_1", "measured value, short floating point number", {E::R32, E::Qds}},
    TypeInfo{14, "M_ME_TC_1", "measured value, short floating point number with time tag",
             {E::R32, E::Qds, E::Cp24}},
    TypeInfo{15, "M_IT_NA_1", "integrated totals", {E::BcrCount, E::BcrSeq}},
    TypeInfo{16, "M_IT_TA_1", "integrated totals with time tag",
             {E::BcrCount, E::BcrSeq, E::Cp24}},
    TypeInfo{17, "M_EP_TA_1", "event of protection equipment with time tag",
             {E::Sep, E::Cp16, E::Cp24}},
    TypeInfo{18, "M_EP_TB_1", "packed start events of protection equipment with time tag",
             {E::Spe, E::Qdp, E::Cp16, E::Cp24}},
    TypeInfo{19, "M_EP_TC_1",
             "packed output circuit information of protection equipment with time tag",
             {E::Oci, E::Qdp, E::Cp16, E::Cp24}},
    TypeInfo{20, "M_PS_NA_1", "packed single-point information with status change detection",
             {E::Scd, E::Qds}},
    TypeInfo{21, "M_ME_ND_1", "measured value, normalised value without quality descriptor",
             {E::Nva}},
    TypeInfo{30, "M_SP_TB_1", "single-point information with time tag CP56Time2a",
             {E::Siq, E::Cp56}},
    TypeInfo{31, "M_DP_TB_1", "double-point information with time tag CP56Time2a",
             {E::Diq, E::Cp56}},
    TypeInfo{32, "M_ST_TB_1", "step position information with time tag CP56Time2a",
             {E::Vti, E::Qds, E::Cp56}},
    TypeInfo{33, "M_BO_TB_1", "bitstring of 32 bit with time tag CP56Time2a",
             {E::Bsi, E::Qds, E::Cp56}},
    TypeInfo{34, "M_ME_TD_1", "measured value, normalised value with time tag CP56Time2a",
             {E::Nva, E::Qds, E::Cp56}},
    TypeInfo{35, "M_ME_TE_1", "measured value, scaled value with time tag CP56Time2a",
             {E::Sva, E::Qds, E::Cp56}},
    TypeInfo{36, "M_ME_TF_1",
             "measured value, short floating point number with time tag CP56Time2a",
             {E::R32, E::Qds, E::Cp56}},
    TypeInfo{37, "M_IT_TB_1", "integrated totals with time tag CP56Time2a",
             {E::BcrCount, E::BcrSeq, E::Cp56}},
    TypeInfo{38, "M_EP_TD_1", "event of protection equipment with time tag CP56Time2a",
             {E::Sep, E::Cp16, E::Cp56}},
    TypeInfo{39, "M_EP_TE_1",
             "packed start events of protection equipment with time tag CP56Time2a",
             {E::Spe, E::Qdp, E::Cp16, E::Cp56}},
    TypeInfo{40, "M_EP_TF_1",
             "packed output circuit information of protection equipment with time tag "
             "CP56Time2a",
             {E::Oci, E::Qdp, E::Cp16, E::Cp56}},
    TypeInfo{45, "C_SC_NA_1", "single command", {E::Sco}},
    TypeInfo{46, "C_DC_NA_1", "double command", {E::Dco}},
    TypeInfo{47, "C_RC_NA_1", "regulating step command", {E::Rco}},
    TypeInfo{48, "C_SE_NA_1", "set point command, normalised value", {E::Nva, E::Qos}},
    TypeInfo{49, "C_SE_NB_1", "set point command, scaled value", {E::Sva, E::Qos}},
    TypeInfo{50, "C_SE_NC_1", "set point command, short floating point number", {E::R32, E::Qos}},
    TypeInfo{51, "C_BO_NA_1", "bitstring of 32 bit", {E::Bsi}},
    TypeInfo{58, "C_SC_TA_1", "single command with time tag CP56Time2a", {E::Sco, E::Cp56}},
    TypeInfo{59, "C_DC_TA_1", "double command with time tag CP56Time2a", {E::Dco, E::Cp56}},
    TypeInfo{60, "C_RC_TA_1", "regulating step command with time tag CP56Time2a",
             {E::Rco, E::Cp56}},
    TypeInfo{61, "C_SE_TA_1", "set point command, normalised value with time tag CP56Time2a",
             {E::Nva, E::Qos, E::Cp56}},
    TypeInfo{62, "C_SE_TB_1", "set point command, scaled value with time tag CP56Time2a",
             {E::Sva, E::Qos, E::Cp56}},
    TypeInfo{63, "C_SE_TC_1",
             "set point command, short floating point number with time tag CP56Time2a",
             {E::R32, E::Qos, E::Cp56}},
    TypeInfo{64, "C_BO_TA_1", "bitstring of 32 bit with time tag CP56Time2a",
             {E::Bsi, E::Cp56}},
    TypeInfo{70, "M_EI_NA_1", "end of initialisation", {E::Coi}},
    TypeInfo{100, "C_IC_NA_1", "interrogation command", {E::Qoi}},
    TypeInfo{101, "C_CI_NA_1", "counter interrogation command", {E::Qcc}},
    TypeInfo{102, "C_RD_NA_1", "read command", {}},
    TypeInfo{103, "C_CS_NA_1", "clock synchronisation command", {E::Cp56}},
    TypeInfo{104, "C_TS_NA_1", "test command", {E::Fbp}},
    TypeInfo{105, "C_RP_NA_1", "reset process command", {E::Qrp}},
    TypeInfo{106, "C_CD_NA_1", "delay acquisition command", {E::Cp16}},
    TypeInfo{107, "C_TS_TA_1", "test command with time tag CP56Time2a", {E::Tsc, E::Cp56}},
    TypeInfo{110, "P_ME_NA_1", "parameter of measured value, normalised value",
             {E::Nva, E::Qpm}},
    TypeInfo{111, "P_ME_NB_1", "parameter of measured value, scaled value", {E::Sva, E::Qpm}},
    TypeInfo{112, "P_ME_NC_1", "parameter of measured value, short floating point number",
             {E::R32, E::Qpm}},
    TypeInfo{113, "P_AC_NA_1", "parameter activation", {E::Qpa}},
    TypeInfo{120, "F_FR_NA_1", "file ready", {}, Kind::File},
    TypeInfo{121, "F_SR_NA_1", "section ready", {}, Kind::File},
    TypeInfo{122, "F_SC_NA_1", "call directory, select file, call file, call section", {},
             Kind::File},
    TypeInfo{123, "F_LS_NA_1", "last section, last segment", {}, Kind::File},
    TypeInfo{124, "F_AF_NA_1", "ack file, ack section", {}, Kind::File},
    TypeInfo{125, "F_SG_NA_1", "segment", {}, Kind::File},
    TypeInfo{126, "F_DR_TA_1", "directory", {}, Kind::File},
    TypeInfo{127, "F_SC_NB_1", "query log, request archive file", {}, Kind::File},
};

const TypeInfo* FindType(uint8_t id)
{
    const auto it = std::find_if(kTypes.begin(), kTypes.end(),
                                 [id](const TypeInfo& t) { return t.id == id; });
    return it == kTypes.end() ? nullptr : &*it;
}

std::size_t ElementsSize(const TypeInfo& t)
{
    std::size_t n = 0;
    for (const Element e : t.elements)
        if (e != Element::None)
            n += Info(e).size;
    return n;
}

// --- Coded fields ---------------------------------------------------------

struct Name {
    unsigned code;
    std::string_view text;
};

constexpr std::array kCauses{
    Name{1, "periodic, cyclic"},
    Name{2, "background scan"},
    Name{3, "spontaneous"},
    Name{4, "initialised"},
    Name{5, "request or requested"},
    Name{6, "activation"},
    Name{7, "activation confirmation"},
    Name{8, "deactivation"},
    Name{9, "deactivation confirmation"},
    Name{10, "activation termination"},
    Name{11, "return information caused by a remote command"},
    Name{12, "return information caused by a local command"},
    Name{13, "file transfer"},
    Name{20, "interrogated by station interrogation"},
    Name{37, "requested by general counter request"},
    Name{44, "unknown type identification"},
    Name{45, "unknown cause of transmission"},
    Name{46, "unknown common address of ASDU"},
    Name{47, "unknown information object address"},
};

constexpr std::array kQualifiersOfCommand{
    Name{0, "no additional definition"},
    Name{1, "short pulse duration"},
    Name{2, "long pulse duration"},
    Name{3, "persistent output"},
};

constexpr std::array kDoublePoints{
    Name{0, "indeterminate or intermediate"},
    Name{1, "off"},
    Name{2, "on"},
    Name{3, "indeterminate"},
};

constexpr std::array kRegulatingSteps{
    Name{0, "not permitted"},
    Name{1, "next step lower"},
    Name{2, "next step higher"},
    Name{3, "not permitted"},
};

constexpr std::array kDoubleCommands{
    Name{0, "not permitted"},
    Name{1, "off"},
    Name{2, "on"},
    Name{3, "not permitted"},
};

constexpr std::array kInitialisationCauses{
    Name{0, "local power switch on"},
    Name{1, "local manual reset"},
    Name{2, "remote reset"},
};

constexpr std::array kCounterRequests{
    Name{0, "no counter read"},
    Name{1, "group 1 counter"},
    Name{2, "group 2 counter"},
    Name{3, "group 3 counter"},
    Name{4, "group 4 counter"},
    Name{5, "general counter"},
};

constexpr std::array kCounterFreezes{
    Name{0, "read"},
    Name{1, "freeze without reset"},
    Name{2, "freeze with reset"},
    Name{3, "reset"},
};

constexpr std::array kResetProcess{
    Name{0, "not used"},
    Name{1, "general reset of process"},
    Name{2, "reset of pending information with time tag of the event buffer"},
};

constexpr std::array kParameterKinds{
    Name{0, "not used"},
    Name{1, "threshold value"},
    Name{2, "smoothing factor"},
    Name{3, "low limit for transmission"},
    Name{4, "high limit for transmission"},
};

constexpr std::array kParameterActivations{
    Name{0, "not used"},
    Name{1, "act/deact of the previously loaded parameters"},
    Name{2, "act/deact of the parameter of the addressed object"},
    Name{3, "act/deact of persistent cyclic or periodic transmission of the addressed object"},
};

template <std::size_t N>
std::string Lookup(const std::array<Name, N>& table, unsigned code,
                   std::string_view otherwise = "reserved")
{
    for (const Name& n : table)
        if (n.code == code)
            return std::string(n.text);
    return std::string(otherwise);
}

// "3 spontaneous": the number, a space and the name.
template <std::size_t N>
std::string Coded(const std::array<Name, N>& table, unsigned code,
                  std::string_view otherwise = "reserved")
{
    return std::to_string(code) + ' ' + Lookup(table, code, otherwise);
}

std::string Hex(uint32_t value, int digits)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, value);
    return buf;
}

std::string Two(unsigned v)
{
    return std::string{static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
}

std::string Millis(unsigned ms)
{
    return Two(ms / 1000) + '.' + std::to_string(1000 + ms % 1000).substr(1);
}

// The quality bits every descriptor shares (BL SB NT IV in bits 5..8) and
// the one of bits 1..4 given as `low`/`lowBit`; "good" when none is set.
std::string Quality(uint8_t b, std::string_view low = {}, uint8_t lowBit = 0)
{
    std::string s;
    auto add = [&s](std::string_view flag) {
        if (!s.empty())
            s += ' ';
        s += flag;
    };
    if (!low.empty() && (b & lowBit))
        add(low);
    if (b & 0x10)
        add("BL");
    if (b & 0x20)
        add("SB");
    if (b & 0x40)
        add("NT");
    if (b & 0x80)
        add("IV");
    return s.empty() ? "good" : s;
}

std::string Flags(uint8_t b, const std::array<std::string_view, 8>& names)
{
    std::string s;
    for (int bit = 0; bit < 8; ++bit) {
        if ((b >> bit & 1) && !names[static_cast<std::size_t>(bit)].empty()) {
            if (!s.empty())
                s += ' ';
            s += names[static_cast<std::size_t>(bit)];
        }
    }
    return s.empty() ? "none" : s;
}

std::string SelectExecute(uint8_t b)
{
    return (b & 0x80) ? "select" : "execute";
}

std::string CommandQualifier(uint8_t b)
{
    const unsigned qu = (b >> 2) & 0x1F;
    return "QU " + Coded(kQualifiersOfCommand, qu, qu < 9 ? "reserved" : "specific use");
}

std::string FloatText(float f)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, f);
    return std::string(buf, r.ptr);
}

std::string NormalisedText(int16_t raw)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", raw / 32768.0);
    return std::string(buf) + " (" + std::to_string(raw) + ")";
}

std::string Cp24Text(uint32_t v)
{
    const unsigned ms = v & 0xFFFF;
    const uint8_t min = static_cast<uint8_t>(v >> 16);
    std::string s = "minute " + Two(min & 0x3F) + ", " + Millis(ms) + " s";
    if (min & 0x80)
        s += " IV";
    return s;
}

std::string Cp56Text(const uint8_t* b)
{
    static constexpr std::array<std::string_view, 8> kDays{"", "Mon", "Tue", "Wed",
                                                           "Thu", "Fri", "Sat", "Sun"};
    const unsigned ms = b[0] | b[1] << 8;
    std::string s = "20" + Two(b[6] & 0x7F) + '-' + Two(b[5] & 0x0F) + '-' + Two(b[4] & 0x1F) +
        ' ' + Two(b[3] & 0x1F) + ':' + Two(b[2] & 0x3F) + ':' + Millis(ms);
    if (b[4] >> 5)
        s += ' ' + std::string(kDays[b[4] >> 5]);
    if (b[3] & 0x80)
        s += " SU";
    if (b[2] & 0x80)
        s += " IV";
    return s;
}

// The value of one element whose bytes start at p.
std::string ElementText(Element e, const uint8_t* p)
{
    const uint8_t b = p[0];
    const auto le16 = [p] { return static_cast<uint16_t>(p[0] | p[1] << 8); };
    const auto le32 = [p] {
        return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
    };
    switch (e) {
    case Element::Siq:
        return std::string((b & 1) ? "1 on, " : "0 off, ") + Quality(b);
    case Element::Diq:
    case Element::Sep:
        return Coded(kDoublePoints, b & 3u) + ", " + Quality(b, "EI", e == Element::Sep ? 0x08 : 0);
    case Element::Vti: {
        const int v = (b & 0x40) ? (b & 0x7F) - 128 : (b & 0x7F);
        return std::to_string(v) + ((b & 0x80) ? ", transient" : "");
    }
    case Element::Qds:
        return Quality(b, "OV", 0x01);
    case Element::Qdp:
        return Quality(b, "EI", 0x08);
    case Element::Bsi:
        return Hex(le32(), 8);
    case Element::Nva:
        return NormalisedText(static_cast<int16_t>(le16()));
    case Element::Sva:
        return std::to_string(static_cast<int16_t>(le16()));
    case Element::R32:
        return FloatText(std::bit_cast<float>(le32()));
    case Element::BcrCount:
        return std::to_string(static_cast<int32_t>(le32()));
    case Element::BcrSeq: {
        std::string s = "sequence " + std::to_string(b & 0x1F);
        if (b & 0x20)
            s += ", CY carry";
        if (b & 0x40)
            s += ", CA adjusted";
        if (b & 0x80)
            s += ", IV";
        return s;
    }
    case Element::Spe:
        return Flags(b, {"GS", "SL1", "SL2", "SL3", "SIE", "SRD", "", ""});
    case Element::Oci:
        return Flags(b, {"GC", "CL1", "CL2", "CL3", "", "", "", ""});
    case Element::Scd:
        return "ST " + Hex(le16(), 4) + ", CD " + Hex(static_cast<uint16_t>(p[2] | p[3] << 8), 4);
    case Element::Cp16:
        return std::to_string(le16()) + " ms";
    case Element::Cp24:
        return Cp24Text(static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16));
    case Element::Cp56:
        return Cp56Text(p);
    case Element::Sco:
        return std::string((b & 1) ? "1 on, " : "0 off, ") + SelectExecute(b) + ", " +
            CommandQualifier(b);
    case Element::Dco:
        return Coded(kDoubleCommands, b & 3u) + ", " + SelectExecute(b) + ", " +
            CommandQualifier(b);
    case Element::Rco:
        return Coded(kRegulatingSteps, b & 3u) + ", " + SelectExecute(b) + ", " +
            CommandQualifier(b);
    case Element::Qos:
        return "QL " + std::to_string(b & 0x7F) + ", " + SelectExecute(b);
    case Element::Coi:
        return Coded(kInitialisationCauses, b & 0x7Fu) +
            ((b & 0x80) ? ", after change of local parameters" : ", local parameters unchanged");
    case Element::Qoi: {
        if (b == 20)
            return "20 station interrogation";
        if (b >= 21 && b <= 36)
            return std::to_string(b) + " interrogation of group " + std::to_string(b - 20);
        return std::to_string(b) + (b == 0 ? " not used" : " reserved");
    }
    case Element::Qcc:
        return "RQT " + Coded(kCounterRequests, b & 0x3Fu) + ", FRZ " +
            Coded(kCounterFreezes, b >> 6u);
    case Element::Qrp:
        return Coded(kResetProcess, b);
    case Element::Qpm:
        return "KPA " + Coded(kParameterKinds, b & 0x3Fu) +
            ((b & 0x40) ? ", LPC changed" : ", LPC unchanged") +
            ((b & 0x80) ? ", not in operation" : ", in operation");
    case Element::Qpa:
        return Coded(kParameterActivations, b);
    case Element::Fbp:
        return Hex(le16(), 4);
    case Element::Tsc:
        return std::to_string(le16());
    case Element::None:
        break;
    }
    return {};
}

int Clamp(int v, int lo, int hi)
{
    return std::max(lo, std::min(v, hi));
}

struct Layout {
    std::size_t cause;
    std::size_t common;
    std::size_t object;
};

Layout LayoutOf(const IecSizes& s)
{
    return {static_cast<std::size_t>(Clamp(s.cause, 1, 2)),
            static_cast<std::size_t>(Clamp(s.commonAddress, 1, 2)),
            static_cast<std::size_t>(Clamp(s.objectAddress, 1, 3))};
}

std::string ObjectsText(unsigned n)
{
    return std::to_string(n) + (n == 1 ? " object" : " objects");
}

// One object's fields, gathered before its heading is written so that the
// heading can sum them up.
struct Pending {
    std::string_view name;
    std::size_t offset;
    std::size_t length;
    std::string value;
};

// The information objects after the data unit identifier. Returns false
// when the frame ended inside them (a Bad field says so).
bool AddObjects(Cursor& c, const TypeInfo& type, bool sequence, unsigned count,
                std::size_t ioaSize)
{
    FieldWriter& w = c.Writer();
    uint32_t address = 0;
    if (type.kind == Kind::File)
        count = std::min(count, 1u); // its elements are shown raw, as one object
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t start = c.Pos();
        std::vector<Pending> fields;
        std::string_view missing;
        std::size_t missingSize = 0;
        if (i == 0 || !sequence) {
            if (c.Left() < ioaSize) {
                missing = "Information object address";
                missingSize = ioaSize;
            } else {
                address = c.Le(ioaSize);
                fields.push_back({"Information object address", c.Pos(), ioaSize,
                                  std::to_string(address)});
                c.Skip(ioaSize);
            }
        } else {
            ++address;
        }
        std::string summary = "IOA " + std::to_string(address);
        if (sequence && i > 0)
            summary += " (sequence)";
        if (missing.empty() && type.kind == Kind::File) {
            fields.push_back({"Information elements", c.Pos(), c.Left(),
                              std::to_string(c.Left()) + " bytes"});
            c.Skip(c.Left());
        }
        for (const Element e : type.elements) {
            if (e == Element::None || !missing.empty())
                continue;
            const ElementInfo& info = Info(e);
            if (c.Left() < info.size) {
                missing = info.name;
                missingSize = info.size;
                continue;
            }
            fields.push_back({info.name, c.Pos(), info.size,
                              ElementText(e, w.Frame().data() + c.Pos())});
            c.Skip(info.size);
        }
        bool first = true;
        for (const Pending& f : fields) {
            if (f.name == "Information object address")
                continue;
            summary += first ? ": " : "; ";
            summary += f.value;
            first = false;
        }
        w.Add(0, "Information object " + std::to_string(i + 1), start, 0, summary);
        for (Pending& f : fields)
            w.Add(1, f.name, f.offset, f.length, std::move(f.value));
        if (!missing.empty()) {
            (void)c.Need(1, missing, missingSize);
            return false;
        }
    }
    return true;
}

} // namespace

bool Cursor::Need(int depth, std::string_view name, std::size_t n)
{
    if (Left() >= n)
        return true;
    w_.Add(depth, name, pos_, Left(),
           "truncated: " + std::to_string(Left()) + " of " + std::to_string(n) + " bytes",
           Verdict::Bad, std::to_string(n) + " bytes");
    pos_ = end_;
    return false;
}

uint32_t Cursor::Le(std::size_t n) const
{
    uint32_t v = 0;
    for (std::size_t k = std::min<std::size_t>(n, 4); k-- > 0;)
        v = v << 8 | w_.Frame()[pos_ + k];
    return v;
}

std::string TypeText(uint8_t type)
{
    const TypeInfo* t = FindType(type);
    if (!t)
        return std::to_string(type) + " reserved";
    return std::to_string(type) + ' ' + std::string(t->mnemonic) + " (" +
        std::string(t->description) + ')';
}

std::string CauseText(uint8_t cause)
{
    if (cause >= 21 && cause <= 36)
        return std::to_string(cause) + " interrogated by group " + std::to_string(cause - 20) +
            " interrogation";
    if (cause >= 38 && cause <= 41)
        return std::to_string(cause) + " requested by group " + std::to_string(cause - 37) +
            " counter request";
    if (cause >= 48)
        return std::to_string(cause) + " special use";
    return Coded(kCauses, cause, cause == 0 ? "not used" : "reserved");
}

std::string HexPairs(Bytes bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    for (const uint8_t b : bytes) {
        if (!s.empty())
            s += ' ';
        s += kDigits[b >> 4];
        s += kDigits[b & 0x0F];
    }
    return s;
}

bool IsWholeAsdu(Bytes asdu, const IecSizes& sizes)
{
    const Layout l = LayoutOf(sizes);
    const std::size_t header = 2 + l.cause + l.common;
    if (asdu.size() < header)
        return false;
    const TypeInfo* type = FindType(asdu[0]);
    const unsigned count = asdu[1] & 0x7Fu;
    if (!type || count == 0)
        return false;
    if (type->kind == Kind::File)
        return asdu.size() >= header + l.object;
    const std::size_t element = ElementsSize(*type);
    const std::size_t need = (asdu[1] & 0x80) ? header + l.object + count * element
                                              : header + count * (l.object + element);
    return asdu.size() == need;
}

void AddAsdu(FieldWriter& w, std::size_t begin, std::size_t end, const IecSizes& sizes)
{
    const Layout l = LayoutOf(sizes);
    Cursor c(w, begin, end);
    const Bytes f = w.Frame();
    const std::size_t header = 2 + l.cause + l.common;
    std::string summary;
    if (c.Left() >= header) {
        const TypeInfo* t = FindType(f[begin]);
        summary = std::to_string(f[begin]) + ' ' +
            (t ? std::string(t->mnemonic) : std::string("reserved")) + ", " +
            CauseText(f[begin + 2] & 0x3F) + ", CA " +
            std::to_string(static_cast<uint32_t>(
                l.common == 2 ? f[begin + header - 2] | f[begin + header - 1] << 8
                              : f[begin + header - 1])) +
            ", " + ObjectsText(f[begin + 1] & 0x7Fu);
    }
    w.Add(0, "ASDU", begin, 0, summary);

    if (!c.Need(1, "Type identification", 1))
        return;
    const uint8_t typeId = f[c.Pos()];
    w.Add(1, "Type identification", c.Pos(), 1, TypeText(typeId));
    c.Skip(1);

    if (!c.Need(1, "Variable structure qualifier", 1))
        return;
    const uint8_t vsq = f[c.Pos()];
    const bool sequence = vsq & 0x80;
    const unsigned count = vsq & 0x7Fu;
    w.Add(1, "Variable structure qualifier", c.Pos(), 1,
          std::string(sequence ? "SQ=1" : "SQ=0") + ", " + ObjectsText(count));
    w.Add(2, "SQ", c.Pos(), 1,
          sequence ? "1 one address, objects at consecutive addresses"
                   : "0 each object with its own address");
    w.Add(2, "Number of objects", c.Pos(), 1, std::to_string(count));
    c.Skip(1);

    if (!c.Need(1, "Cause of transmission", 1))
        return;
    const uint8_t cot = f[c.Pos()];
    w.Add(1, "Cause of transmission", c.Pos(), 1, CauseText(cot & 0x3F));
    w.Add(2, "P/N", c.Pos(), 1,
          (cot & 0x40) ? "1 negative confirmation" : "0 positive confirmation");
    w.Add(2, "Test", c.Pos(), 1, (cot & 0x80) ? "1 test" : "0 no test");
    c.Skip(1);
    if (l.cause == 2) {
        if (!c.Need(1, "Originator address", 1))
            return;
        w.Add(1, "Originator address", c.Pos(), 1, std::to_string(f[c.Pos()]));
        c.Skip(1);
    }

    if (!c.Need(1, "Common address", l.common))
        return;
    const uint32_t common = c.Le(l.common);
    const bool broadcast = common == (l.common == 2 ? 0xFFFFu : 0xFFu);
    w.Add(1, "Common address", c.Pos(), l.common,
          std::to_string(common) + (broadcast ? " (global address)" : ""));
    c.Skip(l.common);

    const TypeInfo* type = FindType(typeId);
    if (!type) {
        if (c.Left() > 0)
            w.Add(0, "Information objects", c.Pos(), c.Left(),
                  std::to_string(c.Left()) + " bytes of a reserved type");
        return;
    }
    if (!AddObjects(c, *type, sequence, count, l.object))
        return;
    if (c.Left() > 0)
        w.Add(0, "Extra bytes", c.Pos(), c.Left(),
              std::to_string(c.Left()) + " bytes after the last information object",
              Verdict::Bad, "0 bytes");
}

} // namespace decode::iec
