#include "decode/IecAsdu.h"

#include "decode/ByteText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdio>
#include <optional>
#include <span>
#include <vector>

namespace decode::iec {

namespace {

// --- The field table ------------------------------------------------------

enum F : std::size_t {
    // the data unit identifier and the objects
    Asdu, TypeId, Vsq, Sq, ObjectCount, Cot, Pn, Test, Originator, CommonAddress, ReservedObjects,
    Object, Ioa, FileElements, ExtraBytes,
    // the information elements
    Siq, Diq, Vti, Qds, Bsi, Nva, Sva, R32, BcrCount, BcrSeq, Sep, Spe, Oci, Qdp, Scd, Cp16, Cp16Elapsed, Cp16Duration,
    Cp16Operating, Cp24, Cp56, Sco, Dco, Rco, Qos, Coi, Qoi, Qcc, Qrp, Qpm, Qpa, Fbp, Tsc,
    // their bit fields
    Spi, Dpi, StatusQuality, QdsQuality, QdpQuality, VtiValue, Transient, BsiValue, NvaValue,
    SvaValue, R32Value, Counter, SequenceNumber, Carry, Adjusted, CounterInvalid, Es, SpeFlags,
    OciFlags, ScdSt, ScdCd, Milliseconds, Cp24Minute, Cp24Invalid, Year, Month, Day, Weekday, Hour,
    Minute, SummerTime, Cp56Invalid, Substituted, Scs, Dcs, Rcs, SelectExecute, Qu, Ql, CoiCause, CoiChange,
    QoiValue, Rqt, Frz, QrpValue, Kpa, Lpc, Pop, QpaValue, FbpValue, TscValue, FieldCount
};

constexpr Name kCauses[] = {
    {0, NC_("decode", "not used")},
    {1, NC_("decode", "periodic, cyclic")},
    {2, NC_("decode", "background scan")},
    {3, NC_("decode", "spontaneous")},
    {4, NC_("decode", "initialised")},
    {5, NC_("decode", "request or requested")},
    {6, NC_("decode", "activation")},
    {7, NC_("decode", "activation confirmation")},
    {8, NC_("decode", "deactivation")},
    {9, NC_("decode", "deactivation confirmation")},
    {10, NC_("decode", "activation termination")},
    {11, NC_("decode", "return information caused by a remote command")},
    {12, NC_("decode", "return information caused by a local command")},
    {13, NC_("decode", "file transfer")},
    {20, NC_("decode", "interrogated by station interrogation")},
    {37, NC_("decode", "requested by general counter request")},
    {44, NC_("decode", "unknown type identification")},
    {45, NC_("decode", "unknown cause of transmission")},
    {46, NC_("decode", "unknown common address of ASDU")},
    {47, NC_("decode", "unknown information object address")},
};

constexpr Name kSq[] = {{0, NC_("decode", "each object with its own address")},
                        {1, NC_("decode", "one address, objects at consecutive addresses")}};
constexpr Name kPn[] = {{0, NC_("decode", "positive confirmation")}, {1, NC_("decode", "negative confirmation")}};
constexpr Name kTest[] = {{0, NC_("decode", "no test")}, {1, NC_("decode", "test")}};
constexpr Name kOnOff[] = {{0, NC_("decode", "off")}, {1, NC_("decode", "on")}};

// The quality bits of the descriptors, each at its place in the byte; an
// element's mask says which of them it has.
constexpr Name kQualityBits[] = {{0x01, "OV"}, {0x08, "EI"}, {0x10, "BL"},
                                 {0x20, "SB"}, {0x40, "NT"}, {0x80, "IV"}};
constexpr Name kStartEvents[] = {{0x01, "GS"}, {0x02, "SL1"}, {0x04, "SL2"},
                                 {0x08, "SL3"}, {0x10, "SIE"}, {0x20, "SRD"}};
constexpr Name kOutputCircuits[] = {{0x01, "GC"}, {0x02, "CL1"}, {0x04, "CL2"}, {0x08, "CL3"}};

constexpr Name kTransient[] = {{1, NC_("decode", "transient")}};
constexpr Name kCarry[] = {{1, NC_("decode", "CY carry")}};
constexpr Name kAdjusted[] = {{1, NC_("decode", "CA adjusted")}};
constexpr Name kSubstitutedTime[] = {{1, NC_("decode", "GEN substituted")}};
constexpr Name kWeekdays[] = {{1, NC_("decode", "Mon")}, {2, NC_("decode", "Tue")}, {3, NC_("decode", "Wed")}, {4, NC_("decode", "Thu")},
                              {5, NC_("decode", "Fri")}, {6, NC_("decode", "Sat")}, {7, NC_("decode", "Sun")}};

// Qualifiers 9 to 31 are for specific use.
constexpr Name kQualifiersOfCommand[] = {
    {0, NC_("decode", "no additional definition")}, {1, NC_("decode", "short pulse duration")}, {2, NC_("decode", "long pulse duration")},
    {3, NC_("decode", "persistent output")},        {4, NC_("decode", "reserved")},             {5, NC_("decode", "reserved")},
    {6, NC_("decode", "reserved")},                 {7, NC_("decode", "reserved")},             {8, NC_("decode", "reserved")},
};

constexpr Name kSelectExecute[] = {{0, NC_("decode", "execute")}, {1, NC_("decode", "select")}};

constexpr Name kDoublePoints[] = {
    {0, NC_("decode", "indeterminate or intermediate")}, {1, NC_("decode", "off")}, {2, NC_("decode", "on")}, {3, NC_("decode", "indeterminate")},
};

constexpr Name kRegulatingSteps[] = {
    {0, NC_("decode", "not permitted")}, {1, NC_("decode", "next step lower")}, {2, NC_("decode", "next step higher")}, {3, NC_("decode", "not permitted")},
};

constexpr Name kDoubleCommands[] = {
    {0, NC_("decode", "not permitted")}, {1, NC_("decode", "off")}, {2, NC_("decode", "on")}, {3, NC_("decode", "not permitted")},
};

constexpr Name kInitialisationCauses[] = {
    {0, NC_("decode", "local power switch on")}, {1, NC_("decode", "local manual reset")}, {2, NC_("decode", "remote reset")},
};

constexpr Name kInitialisationChange[] = {{0, NC_("decode", "local parameters unchanged")},
                                          {1, NC_("decode", "after change of local parameters")}};

constexpr Name kInterrogations[] = {
    {0, NC_("decode", "not used")},
    {20, NC_("decode", "station interrogation")},
    {21, NC_("decode", "interrogation of group 1")},
    {22, NC_("decode", "interrogation of group 2")},
    {23, NC_("decode", "interrogation of group 3")},
    {24, NC_("decode", "interrogation of group 4")},
    {25, NC_("decode", "interrogation of group 5")},
    {26, NC_("decode", "interrogation of group 6")},
    {27, NC_("decode", "interrogation of group 7")},
    {28, NC_("decode", "interrogation of group 8")},
    {29, NC_("decode", "interrogation of group 9")},
    {30, NC_("decode", "interrogation of group 10")},
    {31, NC_("decode", "interrogation of group 11")},
    {32, NC_("decode", "interrogation of group 12")},
    {33, NC_("decode", "interrogation of group 13")},
    {34, NC_("decode", "interrogation of group 14")},
    {35, NC_("decode", "interrogation of group 15")},
    {36, NC_("decode", "interrogation of group 16")},
};

constexpr Name kCounterRequests[] = {
    {0, NC_("decode", "no counter read")}, {1, NC_("decode", "group 1 counter")}, {2, NC_("decode", "group 2 counter")}, {3, NC_("decode", "group 3 counter")},
    {4, NC_("decode", "group 4 counter")}, {5, NC_("decode", "general counter")},
};

constexpr Name kCounterFreezes[] = {
    {0, NC_("decode", "read")}, {1, NC_("decode", "freeze without reset")}, {2, NC_("decode", "freeze with reset")}, {3, NC_("decode", "reset")},
};

constexpr Name kResetProcess[] = {
    {0, NC_("decode", "not used")},
    {1, NC_("decode", "general reset of process")},
    {2, NC_("decode", "reset of pending information with time tag of the event buffer")},
};

constexpr Name kParameterKinds[] = {
    {0, NC_("decode", "not used")}, {1, NC_("decode", "threshold value")}, {2, NC_("decode", "smoothing factor")},
    {3, NC_("decode", "low limit for transmission")}, {4, NC_("decode", "high limit for transmission")},
};

constexpr Name kParameterChange[] = {{0, NC_("decode", "LPC unchanged")}, {1, NC_("decode", "LPC changed")}};
constexpr Name kOperation[] = {{0, NC_("decode", "in operation")}, {1, NC_("decode", "not in operation")}};

constexpr Name kParameterActivations[] = {
    {0, NC_("decode", "not used")},
    {1, NC_("decode", "act/deact of the previously loaded parameters")},
    {2, NC_("decode", "act/deact of the parameter of the addressed object")},
    {3, NC_("decode", "act/deact of persistent cyclic or periodic transmission of the addressed object")},
};

constexpr uint64_t kByte2 = 16, kByte3 = 24, kByte4 = 32, kByte5 = 40, kByte6 = 48;

constexpr std::array<FieldDef, FieldCount> kFields{{
    {"iec.asdu", "ASDU"},
    {"iec.type", NC_("decode", "Type identification")},
    {"iec.vsq", NC_("decode", "Variable structure qualifier")},
    {"iec.vsq.sq", "SQ", 0x80, kSq},
    {"iec.vsq.count", NC_("decode", "Number of objects"), 0x7F},
    {"iec.cot", NC_("decode", "Cause of transmission"), 0x3F, kCauses},
    {"iec.cot.pn", "P/N", 0x40, kPn},
    {"iec.cot.test", NC_("decode", "Test"), 0x80, kTest},
    {"iec.originator", NC_("decode", "Originator address")},
    {"iec.common_address", NC_("decode", "Common address")},
    {"iec.reserved_objects", NC_("decode", "Information objects")},
    {"iec.object", NC_("decode", "Information object")},
    {"iec.ioa", NC_("decode", "Information object address")},
    {"iec.file_elements", NC_("decode", "Information elements")},
    {"iec.extra", NC_("decode", "Extra bytes")},

    {"iec.siq", "SIQ"},
    {"iec.diq", "DIQ"},
    {"iec.vti", "VTI"},
    {"iec.qds", "QDS"},
    {"iec.bsi", NC_("decode", "Bitstring")},
    {"iec.nva", NC_("decode", "Normalised value")},
    {"iec.sva", NC_("decode", "Scaled value")},
    {"iec.r32", NC_("decode", "Short floating point")},
    {"iec.bcr", NC_("decode", "Counter reading")},
    {"iec.bcr.sequence", NC_("decode", "Counter sequence")},
    {"iec.sep", "SEP"},
    {"iec.spe", "SPE"},
    {"iec.oci", "OCI"},
    {"iec.qdp", "QDP"},
    {"iec.scd", "SCD"},
    {"iec.cp16", NC_("decode", "CP16Time2a")},
    {"iec.cp16.elapsed", NC_("decode", "Elapsed time (CP16Time2a)")},
    {"iec.cp16.duration", NC_("decode", "Relay duration time (CP16Time2a)")},
    {"iec.cp16.operating", NC_("decode", "Relay operating time (CP16Time2a)")},
    {"iec.cp24", NC_("decode", "CP24Time2a")},
    {"iec.cp56", NC_("decode", "CP56Time2a")},
    {"iec.sco", "SCO"},
    {"iec.dco", "DCO"},
    {"iec.rco", "RCO"},
    {"iec.qos", "QOS"},
    {"iec.coi", "COI"},
    {"iec.qoi", "QOI"},
    {"iec.qcc", "QCC"},
    {"iec.qrp", "QRP"},
    {"iec.qpm", "QPM"},
    {"iec.qpa", "QPA"},
    {"iec.fbp", NC_("decode", "Fixed test pattern")},
    {"iec.tsc", NC_("decode", "Test sequence counter")},

    {"iec.siq.spi", "SPI", 0x01, kOnOff},
    {"iec.diq.dpi", "DPI", 0x03, kDoublePoints},
    {"iec.quality", NC_("decode", "Quality"), 0xF0, kQualityBits, NC_("decode", "good")},
    {"iec.qds.quality", NC_("decode", "Quality"), 0xF1, kQualityBits, NC_("decode", "good")},
    {"iec.qdp.quality", NC_("decode", "Quality"), 0xF8, kQualityBits, NC_("decode", "good")},
    {"iec.vti.value", NC_("decode", "Value"), 0x7F},
    {"iec.vti.transient", "T", 0x80, kTransient},
    {"iec.bsi.value", NC_("decode", "Bitstring"), 0xFFFFFFFF},
    {"iec.nva.value", NC_("decode", "Normalised value"), 0xFFFF},
    {"iec.sva.value", NC_("decode", "Scaled value"), 0xFFFF},
    {"iec.r32.value", NC_("decode", "Short floating point"), 0xFFFFFFFF},
    {"iec.bcr.value", NC_("decode", "Counter reading"), 0xFFFFFFFF},
    {"iec.bcr.sq", "SQ", 0x1F},
    {"iec.bcr.cy", "CY", 0x20, kCarry},
    {"iec.bcr.ca", "CA", 0x40, kAdjusted},
    {"iec.bcr.iv", "IV", 0x80},
    {"iec.sep.es", "ES", 0x03, kDoublePoints},
    {"iec.spe.flags", NC_("decode", "Start events"), 0x3F, kStartEvents, NC_("decode", "none")},
    {"iec.oci.flags", NC_("decode", "Output circuits"), 0x0F, kOutputCircuits, NC_("decode", "none")},
    {"iec.scd.st", "ST", 0xFFFF},
    {"iec.scd.cd", "CD", 0xFFFF0000},
    {"iec.time.ms", NC_("decode", "Milliseconds"), 0xFFFF},
    {"iec.cp24.minute", NC_("decode", "Minute"), 0x3FULL << kByte2},
    {"iec.cp24.iv", "IV", 0x80ULL << kByte2},
    {"iec.cp56.year", NC_("decode", "Year"), 0x7FULL << kByte6},
    {"iec.cp56.month", NC_("decode", "Month"), 0x0FULL << kByte5},
    {"iec.cp56.day", NC_("decode", "Day"), 0x1FULL << kByte4},
    {"iec.cp56.weekday", NC_("decode", "Day of week"), 0xE0ULL << kByte4, kWeekdays},
    {"iec.cp56.hour", NC_("decode", "Hour"), 0x1FULL << kByte3},
    {"iec.cp56.minute", NC_("decode", "Minute"), 0x3FULL << kByte2},
    {"iec.cp56.su", "SU", 0x80ULL << kByte3},
    {"iec.cp56.iv", "IV", 0x80ULL << kByte2},
    {"iec.cp56.gen", "GEN", 0x40ULL << kByte2, kSubstitutedTime},
    {"iec.sco.scs", "SCS", 0x01, kOnOff},
    {"iec.dco.dcs", "DCS", 0x03, kDoubleCommands},
    {"iec.rco.rcs", "RCS", 0x03, kRegulatingSteps},
    {"iec.command.se", "S/E", 0x80, kSelectExecute},
    {"iec.command.qu", "QU", 0x7C, kQualifiersOfCommand, NC_("decode", "specific use")},
    {"iec.qos.ql", "QL", 0x7F},
    {"iec.coi.cause", NC_("decode", "Cause of initialisation"), 0x7F, kInitialisationCauses},
    {"iec.coi.bs", NC_("decode", "Change of local parameters"), 0x80, kInitialisationChange},
    {"iec.qoi.value", "QOI", 0xFF, kInterrogations},
    {"iec.qcc.rqt", "RQT", 0x3F, kCounterRequests},
    {"iec.qcc.frz", "FRZ", 0xC0, kCounterFreezes},
    {"iec.qrp.value", "QRP", 0xFF, kResetProcess},
    {"iec.qpm.kpa", "KPA", 0x3F, kParameterKinds},
    {"iec.qpm.lpc", "LPC", 0x40, kParameterChange},
    {"iec.qpm.pop", "POP", 0x80, kOperation},
    {"iec.qpa.value", "QPA", 0xFF, kParameterActivations},
    {"iec.fbp.value", NC_("decode", "Fixed test pattern"), 0xFFFF},
    {"iec.tsc.value", NC_("decode", "Test sequence counter"), 0xFFFF},
}};

// --- Information elements -------------------------------------------------

// How one bit field of an element is written into the element's text.
enum class Show : uint8_t {
    Number,     // its value in decimal
    Signed,     // its value as a two's complement number of its width
    Hex,        // "0x" and a hex digit per four bits of its width
    Coded,      // "2 on": its value and the value's name
    Named,      // the value's name alone
    Flag,       // its name (or that of its value) where it is not 0, else nothing at all
    Flags,      // the names of its set bits, or its fallback where none is set
    Two,        // two decimal digits
    Millis,     // milliseconds as seconds with three decimals ("05.250")
    Year,       // a year of the century as its year from 2000 on ("2026")
    Normalised, // a 16-bit fraction of 1 and, in brackets, the number sent
    Float       // a 32-bit floating point number
};

struct Part {
    F field;
    Show show;
    std::string_view before = {};  // written before the part (a separator)
    bool labelled = false;         // the field's name and a space before the value
    std::string_view pattern = {}; // the part's text with "%1" for its value; none: the value alone
};

enum class Element : uint8_t {
    None,
    Siq, Diq, Vti, Qds, Bsi, Nva, Sva, R32, BcrCount, BcrSeq,
    Sep, Spe, Oci, Qdp, Scd, Cp16, Cp16Elapsed, Cp16Duration, Cp16Operating, Cp24, Cp56,
    Sco, Dco, Rco, Qos, Coi, Qoi, Qcc, Qrp, Qpm, Qpa, Fbp, Tsc
};

constexpr Part kSiq[] = {{Spi, Show::Coded}, {StatusQuality, Show::Flags, ", "}};
constexpr Part kDiq[] = {{Dpi, Show::Coded}, {StatusQuality, Show::Flags, ", "}};
constexpr Part kSep[] = {{Es, Show::Coded}, {QdpQuality, Show::Flags, ", "}};
constexpr Part kVti[] = {{VtiValue, Show::Signed}, {Transient, Show::Flag, ", "}};
constexpr Part kQds[] = {{QdsQuality, Show::Flags}};
constexpr Part kQdp[] = {{QdpQuality, Show::Flags}};
constexpr Part kBsi[] = {{BsiValue, Show::Hex}};
constexpr Part kNva[] = {{NvaValue, Show::Normalised}};
constexpr Part kSva[] = {{SvaValue, Show::Signed}};
constexpr Part kR32[] = {{R32Value, Show::Float}};
constexpr Part kBcrCount[] = {{Counter, Show::Signed}};
constexpr Part kBcrSeq[] = {{SequenceNumber, Show::Number, "", false, NC_("decode", "sequence %1")},
                            {Carry, Show::Flag, ", "},
                            {Adjusted, Show::Flag, ", "},
                            {CounterInvalid, Show::Flag, ", "}};
constexpr Part kSpe[] = {{SpeFlags, Show::Flags}};
constexpr Part kOci[] = {{OciFlags, Show::Flags}};
constexpr Part kScd[] = {{ScdSt, Show::Hex, "", true}, {ScdCd, Show::Hex, ", ", true}};
constexpr Part kCp16[] = {{Milliseconds, Show::Number, "", false, NC_("decode", "%1 ms")}};
constexpr Part kCp24[] = {{Cp24Minute, Show::Two, "", false, NC_("decode", "minute %1")},
                          {Milliseconds, Show::Millis, ", ", false, NC_("decode", "%1 s")},
                          {Cp24Invalid, Show::Flag, " "}};
constexpr Part kCp56[] = {{Year, Show::Year},      {Month, Show::Two, "-"},
                          {Day, Show::Two, "-"},        {Hour, Show::Two, " "},
                          {Minute, Show::Two, ":"},     {Milliseconds, Show::Millis, ":"},
                          {Weekday, Show::Flag, " "},   {SummerTime, Show::Flag, " "},
                          {Substituted, Show::Flag, " "}, {Cp56Invalid, Show::Flag, " "}};
constexpr Part kSco[] = {{Scs, Show::Coded},
                         {SelectExecute, Show::Named, ", "},
                         {Qu, Show::Coded, ", ", true}};
constexpr Part kDco[] = {{Dcs, Show::Coded},
                         {SelectExecute, Show::Named, ", "},
                         {Qu, Show::Coded, ", ", true}};
constexpr Part kRco[] = {{Rcs, Show::Coded},
                         {SelectExecute, Show::Named, ", "},
                         {Qu, Show::Coded, ", ", true}};
constexpr Part kQos[] = {{Ql, Show::Number, "", true}, {SelectExecute, Show::Named, ", "}};
constexpr Part kCoi[] = {{CoiCause, Show::Coded}, {CoiChange, Show::Named, ", "}};
constexpr Part kQoi[] = {{QoiValue, Show::Coded}};
constexpr Part kQcc[] = {{Rqt, Show::Coded, "", true}, {Frz, Show::Coded, ", ", true}};
constexpr Part kQrp[] = {{QrpValue, Show::Coded}};
constexpr Part kQpm[] = {{Kpa, Show::Coded, "", true},
                         {Lpc, Show::Named, ", "},
                         {Pop, Show::Named, ", "}};
constexpr Part kQpa[] = {{QpaValue, Show::Coded}};
constexpr Part kFbp[] = {{FbpValue, Show::Hex}};
constexpr Part kTsc[] = {{TscValue, Show::Number}};

// An element: its field, its size in bytes (read least significant byte
// first) and the bit fields its text is made of, in the order written.
// Its number is that of its first part, except for flags and time tags.
struct ElementInfo {
    Element element;
    F field;
    std::size_t size;
    std::span<const Part> parts;
};

constexpr std::array kElements{
    ElementInfo{Element::Siq, Siq, 1, kSiq},
    ElementInfo{Element::Diq, Diq, 1, kDiq},
    ElementInfo{Element::Vti, Vti, 1, kVti},
    ElementInfo{Element::Qds, Qds, 1, kQds},
    ElementInfo{Element::Bsi, Bsi, 4, kBsi},
    ElementInfo{Element::Nva, Nva, 2, kNva},
    ElementInfo{Element::Sva, Sva, 2, kSva},
    ElementInfo{Element::R32, R32, 4, kR32},
    ElementInfo{Element::BcrCount, BcrCount, 4, kBcrCount},
    ElementInfo{Element::BcrSeq, BcrSeq, 1, kBcrSeq},
    ElementInfo{Element::Sep, Sep, 1, kSep},
    ElementInfo{Element::Spe, Spe, 1, kSpe},
    ElementInfo{Element::Oci, Oci, 1, kOci},
    ElementInfo{Element::Qdp, Qdp, 1, kQdp},
    ElementInfo{Element::Scd, Scd, 4, kScd},
    ElementInfo{Element::Cp16, Cp16, 2, kCp16},
    ElementInfo{Element::Cp16Elapsed, Cp16Elapsed, 2, kCp16},
    ElementInfo{Element::Cp16Duration, Cp16Duration, 2, kCp16},
    ElementInfo{Element::Cp16Operating, Cp16Operating, 2, kCp16},
    ElementInfo{Element::Cp24, Cp24, 3, kCp24},
    ElementInfo{Element::Cp56, Cp56, 7, kCp56},
    ElementInfo{Element::Sco, Sco, 1, kSco},
    ElementInfo{Element::Dco, Dco, 1, kDco},
    ElementInfo{Element::Rco, Rco, 1, kRco},
    ElementInfo{Element::Qos, Qos, 1, kQos},
    ElementInfo{Element::Coi, Coi, 1, kCoi},
    ElementInfo{Element::Qoi, Qoi, 1, kQoi},
    ElementInfo{Element::Qcc, Qcc, 1, kQcc},
    ElementInfo{Element::Qrp, Qrp, 1, kQrp},
    ElementInfo{Element::Qpm, Qpm, 1, kQpm},
    ElementInfo{Element::Qpa, Qpa, 1, kQpa},
    ElementInfo{Element::Fbp, Fbp, 2, kFbp},
    ElementInfo{Element::Tsc, Tsc, 2, kTsc},
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
    TypeInfo{1, "M_SP_NA_1", NC_("decode", "single-point information"), {E::Siq}},
    TypeInfo{2, "M_SP_TA_1", NC_("decode", "single-point information with time tag"), {E::Siq, E::Cp24}},
    TypeInfo{3, "M_DP_NA_1", NC_("decode", "double-point information"), {E::Diq}},
    TypeInfo{4, "M_DP_TA_1", NC_("decode", "double-point information with time tag"), {E::Diq, E::Cp24}},
    TypeInfo{5, "M_ST_NA_1", NC_("decode", "step position information"), {E::Vti, E::Qds}},
    TypeInfo{6, "M_ST_TA_1", NC_("decode", "step position information with time tag"), {E::Vti, E::Qds, E::Cp24}},
    TypeInfo{7, "M_BO_NA_1", NC_("decode", "bitstring of 32 bit"), {E::Bsi, E::Qds}},
    TypeInfo{8, "M_BO_TA_1", NC_("decode", "bitstring of 32 bit with time tag"), {E::Bsi, E::Qds, E::Cp24}},
    TypeInfo{9, "M_ME_NA_1", NC_("decode", "measured value, normalised value"), {E::Nva, E::Qds}},
    TypeInfo{10, "M_ME_TA_1", NC_("decode", "measured value, normalised value with time tag"),
             {E::Nva, E::Qds, E::Cp24}},
    TypeInfo{11, "M_ME_NB_1", NC_("decode", "measured value, scaled value"), {E::Sva, E::Qds}},
    TypeInfo{12, "M_ME_TB_1", NC_("decode", "measured value, scaled value with time tag"),
             {E::Sva, E::Qds, E::Cp24}},
    TypeInfo{13, "M_ME_NC_1", NC_("decode", "measured value, short floating point number"), {E::R32, E::Qds}},
    TypeInfo{14, "M_ME_TC_1", NC_("decode", "measured value, short floating point number with time tag"),
             {E::R32, E::Qds, E::Cp24}},
    TypeInfo{15, "M_IT_NA_1", NC_("decode", "integrated totals"), {E::BcrCount, E::BcrSeq}},
    TypeInfo{16, "M_IT_TA_1", NC_("decode", "integrated totals with time tag"),
             {E::BcrCount, E::BcrSeq, E::Cp24}},
    TypeInfo{17, "M_EP_TA_1", NC_("decode", "event of protection equipment with time tag"),
             {E::Sep, E::Cp16Elapsed, E::Cp24}},
    TypeInfo{18, "M_EP_TB_1", NC_("decode", "packed start events of protection equipment with time tag"),
             {E::Spe, E::Qdp, E::Cp16Duration, E::Cp24}},
    TypeInfo{19, "M_EP_TC_1",
             NC_("decode", "packed output circuit information of protection equipment with time tag"),
             {E::Oci, E::Qdp, E::Cp16Operating, E::Cp24}},
    TypeInfo{20, "M_PS_NA_1", NC_("decode", "packed single-point information with status change detection"),
             {E::Scd, E::Qds}},
    TypeInfo{21, "M_ME_ND_1", NC_("decode", "measured value, normalised value without quality descriptor"),
             {E::Nva}},
    TypeInfo{30, "M_SP_TB_1", NC_("decode", "single-point information with time tag CP56Time2a"),
             {E::Siq, E::Cp56}},
    TypeInfo{31, "M_DP_TB_1", NC_("decode", "double-point information with time tag CP56Time2a"),
             {E::Diq, E::Cp56}},
    TypeInfo{32, "M_ST_TB_1", NC_("decode", "step position information with time tag CP56Time2a"),
             {E::Vti, E::Qds, E::Cp56}},
    TypeInfo{33, "M_BO_TB_1", NC_("decode", "bitstring of 32 bit with time tag CP56Time2a"),
             {E::Bsi, E::Qds, E::Cp56}},
    TypeInfo{34, "M_ME_TD_1", NC_("decode", "measured value, normalised value with time tag CP56Time2a"),
             {E::Nva, E::Qds, E::Cp56}},
    TypeInfo{35, "M_ME_TE_1", NC_("decode", "measured value, scaled value with time tag CP56Time2a"),
             {E::Sva, E::Qds, E::Cp56}},
    TypeInfo{36, "M_ME_TF_1",
             NC_("decode", "measured value, short floating point number with time tag CP56Time2a"),
             {E::R32, E::Qds, E::Cp56}},
    TypeInfo{37, "M_IT_TB_1", NC_("decode", "integrated totals with time tag CP56Time2a"),
             {E::BcrCount, E::BcrSeq, E::Cp56}},
    TypeInfo{38, "M_EP_TD_1", NC_("decode", "event of protection equipment with time tag CP56Time2a"),
             {E::Sep, E::Cp16Elapsed, E::Cp56}},
    TypeInfo{39, "M_EP_TE_1",
             NC_("decode", "packed start events of protection equipment with time tag CP56Time2a"),
             {E::Spe, E::Qdp, E::Cp16Duration, E::Cp56}},
    TypeInfo{40, "M_EP_TF_1",
             NC_("decode", "packed output circuit information of protection equipment with time tag CP56Time2a"),
             {E::Oci, E::Qdp, E::Cp16Operating, E::Cp56}},
    TypeInfo{45, "C_SC_NA_1", NC_("decode", "single command"), {E::Sco}},
    TypeInfo{46, "C_DC_NA_1", NC_("decode", "double command"), {E::Dco}},
    TypeInfo{47, "C_RC_NA_1", NC_("decode", "regulating step command"), {E::Rco}},
    TypeInfo{48, "C_SE_NA_1", NC_("decode", "set point command, normalised value"), {E::Nva, E::Qos}},
    TypeInfo{49, "C_SE_NB_1", NC_("decode", "set point command, scaled value"), {E::Sva, E::Qos}},
    TypeInfo{50, "C_SE_NC_1", NC_("decode", "set point command, short floating point number"), {E::R32, E::Qos}},
    TypeInfo{51, "C_BO_NA_1", NC_("decode", "bitstring of 32 bit"), {E::Bsi}},
    TypeInfo{58, "C_SC_TA_1", NC_("decode", "single command with time tag CP56Time2a"), {E::Sco, E::Cp56}},
    TypeInfo{59, "C_DC_TA_1", NC_("decode", "double command with time tag CP56Time2a"), {E::Dco, E::Cp56}},
    TypeInfo{60, "C_RC_TA_1", NC_("decode", "regulating step command with time tag CP56Time2a"),
             {E::Rco, E::Cp56}},
    TypeInfo{61, "C_SE_TA_1", NC_("decode", "set point command, normalised value with time tag CP56Time2a"),
             {E::Nva, E::Qos, E::Cp56}},
    TypeInfo{62, "C_SE_TB_1", NC_("decode", "set point command, scaled value with time tag CP56Time2a"),
             {E::Sva, E::Qos, E::Cp56}},
    TypeInfo{63, "C_SE_TC_1",
             NC_("decode", "set point command, short floating point number with time tag CP56Time2a"),
             {E::R32, E::Qos, E::Cp56}},
    TypeInfo{64, "C_BO_TA_1", NC_("decode", "bitstring of 32 bit with time tag CP56Time2a"),
             {E::Bsi, E::Cp56}},
    TypeInfo{70, "M_EI_NA_1", NC_("decode", "end of initialisation"), {E::Coi}},
    TypeInfo{100, "C_IC_NA_1", NC_("decode", "interrogation command"), {E::Qoi}},
    TypeInfo{101, "C_CI_NA_1", NC_("decode", "counter interrogation command"), {E::Qcc}},
    TypeInfo{102, "C_RD_NA_1", NC_("decode", "read command"), {}},
    TypeInfo{103, "C_CS_NA_1", NC_("decode", "clock synchronisation command"), {E::Cp56}},
    TypeInfo{104, "C_TS_NA_1", NC_("decode", "test command"), {E::Fbp}},
    TypeInfo{105, "C_RP_NA_1", NC_("decode", "reset process command"), {E::Qrp}},
    TypeInfo{106, "C_CD_NA_1", NC_("decode", "delay acquisition command"), {E::Cp16}},
    TypeInfo{107, "C_TS_TA_1", NC_("decode", "test command with time tag CP56Time2a"), {E::Tsc, E::Cp56}},
    TypeInfo{110, "P_ME_NA_1", NC_("decode", "parameter of measured value, normalised value"),
             {E::Nva, E::Qpm}},
    TypeInfo{111, "P_ME_NB_1", NC_("decode", "parameter of measured value, scaled value"), {E::Sva, E::Qpm}},
    TypeInfo{112, "P_ME_NC_1", NC_("decode", "parameter of measured value, short floating point number"),
             {E::R32, E::Qpm}},
    TypeInfo{113, "P_AC_NA_1", NC_("decode", "parameter activation"), {E::Qpa}},
    TypeInfo{120, "F_FR_NA_1", NC_("decode", "file ready"), {}, Kind::File},
    TypeInfo{121, "F_SR_NA_1", NC_("decode", "section ready"), {}, Kind::File},
    TypeInfo{122, "F_SC_NA_1", NC_("decode", "call directory, select file, call file, call section"), {},
             Kind::File},
    TypeInfo{123, "F_LS_NA_1", NC_("decode", "last section, last segment"), {}, Kind::File},
    TypeInfo{124, "F_AF_NA_1", NC_("decode", "ack file, ack section"), {}, Kind::File},
    TypeInfo{125, "F_SG_NA_1", NC_("decode", "segment"), {}, Kind::File},
    TypeInfo{126, "F_DR_TA_1", NC_("decode", "directory"), {}, Kind::File},
    TypeInfo{127, "F_SC_NB_1", NC_("decode", "query log, request archive file"), {}, Kind::File},
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

std::string Two(unsigned v)
{
    return std::string{static_cast<char>('0' + v / 10 % 10), static_cast<char>('0' + v % 10)};
}

std::string Millis(unsigned ms)
{
    return Two(ms / 1000) + '.' + std::to_string(1000 + ms % 1000).substr(1);
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

// A value of `width` bits as a two's complement number.
int64_t Signed(uint64_t v, int width)
{
    return width < 64 && (v >> (width - 1) & 1) ? static_cast<int64_t>(v) - (int64_t{1} << width)
                                                 : static_cast<int64_t>(v);
}

uint64_t RawOf(const uint8_t* p, std::size_t size)
{
    uint64_t v = 0;
    for (std::size_t k = size; k-- > 0;)
        v = v << 8 | p[k];
    return v;
}

std::string PartText(const Part& part, uint64_t raw)
{
    const FieldDef& d = kFields[part.field];
    const uint64_t v = d.Value(raw);
    const int width = std::popcount(d.mask);
    switch (part.show) {
    case Show::Number: return std::to_string(v);
    case Show::Signed: return std::to_string(Signed(v, width));
    case Show::Hex: return text::Hex(static_cast<unsigned>(v), (width + 3) / 4);
    case Show::Coded: return d.Coded(v);
    case Show::Named:
    case Show::Flag: return std::string(d.values.empty() ? TableText(d.name) : d.NameOf(v));
    case Show::Flags: {
        std::string s;
        for (const Name& bit : d.values) {
            if (!(bit.code & d.mask & raw))
                continue;
            if (!s.empty())
                s += ' ';
            s += TableText(bit.name);
        }
        return s.empty() ? std::string(TableText(d.fallback)) : s;
    }
    case Show::Two: return Two(static_cast<unsigned>(v));
    case Show::Year: return std::to_string(2000 + v);
    case Show::Millis: return Millis(static_cast<unsigned>(v));
    case Show::Normalised: return NormalisedText(static_cast<int16_t>(Signed(v, width)));
    case Show::Float: return FloatText(std::bit_cast<float>(static_cast<uint32_t>(v)));
    }
    return {};
}

// The number an element stands for: that of its first part, where the
// element's text shows it.
std::optional<double> PartNumber(const Part& part, uint64_t raw)
{
    const FieldDef& d = kFields[part.field];
    const uint64_t v = d.Value(raw);
    const int width = std::popcount(d.mask);
    switch (part.show) {
    case Show::Signed: return static_cast<double>(Signed(v, width));
    case Show::Normalised: return static_cast<double>(Signed(v, width)) / 32768.0;
    case Show::Float: return std::bit_cast<float>(static_cast<uint32_t>(v));
    case Show::Flags: return std::nullopt; // a set of flags, shown by their names
    case Show::Two:
    case Show::Year:
    case Show::Millis: return std::nullopt; // a time tag is not one number
    default: return static_cast<double>(v);
    }
}

// The value of one element whose bytes start at p, written part by part.
std::string ElementText(const ElementInfo& e, uint64_t raw)
{
    std::string s;
    for (const Part& part : e.parts) {
        const FieldDef& d = kFields[part.field];
        if (part.show == Show::Flag && d.Value(raw) == 0)
            continue;
        s += TableText(part.before);
        std::string value = PartText(part, raw);
        if (part.labelled)
            value = std::string(TableText(d.name)) + ' ' + value;
        s += part.pattern.empty() ? value : Arg(TableText(part.pattern), {value});
    }
    return s;
}

// --- Time tags against their ranges ---------------------------------------

unsigned DaysIn(unsigned month, unsigned year)
{
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0; // 2000 to 2099
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// The day of the week of a date of 2000 to 2099, 1 Monday to 7 Sunday.
unsigned WeekdayOf(unsigned year, unsigned month, unsigned day)
{
    static constexpr unsigned kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    unsigned y = 2000 + year;
    if (month < 3)
        --y;
    const unsigned sunday0 = (y + y / 4 - y / 100 + y / 400 + kOffsets[month - 1] + day) % 7;
    return sunday0 == 0 ? 7 : sunday0;
}

void Expect(std::string& out, bool ok, std::string_view what)
{
    if (ok)
        return;
    if (!out.empty())
        out += ", ";
    out += what;
}

// What a time tag's fields should be where they are out of their ranges
// ("month 1 to 12, hour 0 to 23"), or nothing where they are all in them.
std::string TimeTagExpected(Element e, uint64_t raw)
{
    if (e != Element::Cp24 && e != Element::Cp56)
        return {};
    std::string out;
    const auto v = [raw](F f) { return static_cast<unsigned>(kFields[f].Value(raw)); };
    if (e == Element::Cp56) {
        const unsigned year = v(Year), month = v(Month), day = v(Day), weekday = v(Weekday);
        Expect(out, year <= 99, C_("decode", "year 0 to 99 (2000 to 2099)"));
        Expect(out, month >= 1 && month <= 12, C_("decode", "month 1 to 12"));
        const bool dateKnown = year <= 99 && month >= 1 && month <= 12;
        const unsigned last = dateKnown ? DaysIn(month, year) : 31;
        Expect(out, day >= 1 && day <= last, Arg(C_("decode", "day 1 to %1"), {std::to_string(last)}));
        if (dateKnown && day >= 1 && day <= last && weekday != 0) {
            const unsigned actual = WeekdayOf(year, month, day);
            Expect(out, weekday == actual,
                   Arg(C_("decode", "day of week %1 for this date"), {kFields[Weekday].NameOf(actual)}));
        }
        Expect(out, v(Hour) <= 23, C_("decode", "hour 0 to 23"));
        Expect(out, v(Minute) <= 59, C_("decode", "minute 0 to 59"));
    } else {
        Expect(out, v(Cp24Minute) <= 59, C_("decode", "minute 0 to 59"));
    }
    Expect(out, v(Milliseconds) <= 59999, C_("decode", "milliseconds 0 to 59999"));
    return out;
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
    return Arg(n == 1 ? C_("decode", "%1 object") : C_("decode", "%1 objects"), {std::to_string(n)});
}

// One object's fields, gathered before its heading is written so that the
// heading can sum them up.
struct Pending {
    F field;
    std::size_t offset;
    std::size_t length;
    std::string value;
    std::optional<double> number;
    std::string expected = {}; // where the value is out of its range
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
        std::size_t missingSize = 0;
        F missingField = Ioa;
        if (i == 0 || !sequence) {
            if (c.Left() < ioaSize) {
                missingSize = ioaSize;
            } else {
                address = c.Le(ioaSize);
                fields.push_back({Ioa, c.Pos(), ioaSize, std::to_string(address), address});
                c.Skip(ioaSize);
            }
        } else {
            ++address;
        }
        std::string summary = "IOA " + std::to_string(address);
        if (sequence && i > 0)
            summary = Arg(C_("decode", "%1 (sequence)"), {summary});
        if (missingSize == 0 && type.kind == Kind::File) {
            fields.push_back({FileElements, c.Pos(), c.Left(), Arg(C_("decode", "%1 bytes"), {std::to_string(c.Left())}),
                              static_cast<double>(c.Left())});
            c.Skip(c.Left());
        }
        for (const Element e : type.elements) {
            if (e == Element::None || missingSize != 0)
                continue;
            const ElementInfo& info = Info(e);
            if (c.Left() < info.size) {
                missingField = info.field;
                missingSize = info.size;
                continue;
            }
            const uint64_t raw = RawOf(w.Frame().data() + c.Pos(), info.size);
            fields.push_back({info.field, c.Pos(), info.size, ElementText(info, raw),
                              PartNumber(info.parts.front(), raw), TimeTagExpected(e, raw)});
            c.Skip(info.size);
        }
        bool first = true;
        for (const Pending& f : fields) {
            if (f.field == Ioa)
                continue;
            summary += first ? ": " : "; ";
            summary += f.value;
            first = false;
        }
        w.AddNth(0, kFields[Object], std::to_string(i + 1), start, 0, summary);
        for (Pending& f : fields) {
            const Verdict verdict = f.expected.empty() ? Verdict::None : Verdict::Bad;
            w.Add(1, kFields[f.field], f.offset, f.length, std::move(f.value), verdict, std::move(f.expected))
                .number = f.number;
        }
        if (missingSize != 0) {
            (void)c.Need(1, kFields[missingField], missingSize);
            return false;
        }
    }
    return true;
}

} // namespace

bool Cursor::Need(int depth, const FieldDef& field, std::size_t n)
{
    if (Left() >= n)
        return true;
    w_.Add(depth, field, pos_, Left(), text::Truncated(Left(), n), Verdict::Bad,
           Arg(C_("decode", "%1 bytes"), {std::to_string(n)}));
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
        return Arg(C_("decode", "%1 reserved"), {std::to_string(type)});
    return std::to_string(type) + ' ' + std::string(t->mnemonic) + " (" +
        std::string(TableText(t->description)) + ')';
}

std::string CauseText(uint8_t cause)
{
    if (cause >= 21 && cause <= 36)
        return Arg(C_("decode", "%1 interrogated by group %2 interrogation"),
                   {std::to_string(cause), std::to_string(cause - 20)});
    if (cause >= 38 && cause <= 41)
        return Arg(C_("decode", "%1 requested by group %2 counter request"),
                   {std::to_string(cause), std::to_string(cause - 37)});
    if (cause >= 48)
        return Arg(C_("decode", "%1 special use"), {std::to_string(cause)});
    return kFields[Cot].Coded(cause);
}

namespace {

// How many objects of `type` fill `bytes` exactly, where a whole number do.
std::optional<unsigned> FittingCount(const TypeInfo& type, bool sequence, std::size_t bytes, std::size_t ioa)
{
    if (type.kind == Kind::File)
        return std::nullopt;
    const std::size_t element = ElementsSize(type);
    if (sequence) {
        if (element == 0 || bytes < ioa || (bytes - ioa) % element != 0)
            return std::nullopt;
        return static_cast<unsigned>(std::min<std::size_t>((bytes - ioa) / element, 0x80));
    }
    if (bytes % (ioa + element) != 0)
        return std::nullopt;
    return static_cast<unsigned>(std::min<std::size_t>(bytes / (ioa + element), 0x80));
}

} // namespace

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
        summary = Arg(C_("decode", "%1 %2, %3, CA %4, %5"),
                      {std::to_string(f[begin]), t ? t->mnemonic : C_("decode", "reserved"), CauseText(f[begin + 2] & 0x3F),
                       std::to_string(static_cast<uint32_t>(l.common == 2 ? f[begin + header - 2] | f[begin + header - 1] << 8
                                                                          : f[begin + header - 1])),
                       ObjectsText(f[begin + 1] & 0x7Fu)});
    }
    w.Add(0, kFields[Asdu], begin, 0, summary);

    if (!c.Need(1, kFields[TypeId], 1))
        return;
    const uint8_t typeId = f[c.Pos()];
    w.Add(1, kFields[TypeId], c.Pos(), 1, TypeText(typeId)).number = typeId;
    c.Skip(1);

    if (!c.Need(1, kFields[Vsq], 1))
        return;
    const uint8_t vsq = f[c.Pos()];
    const bool sequence = kFields[Sq].Value(vsq);
    const auto count = static_cast<unsigned>(kFields[ObjectCount].Value(vsq));
    w.Add(1, kFields[Vsq], c.Pos(), 1, std::string(sequence ? "SQ=1" : "SQ=0") + ", " + ObjectsText(count));
    w.AddBits(2, kFields[Sq], c.Pos(), 1, vsq);
    // Where the ASDU's bytes hold a whole number of objects other than the
    // count, the count is bad and the objects there are are read.
    unsigned objects = count;
    const TypeInfo* known = FindType(typeId);
    const std::size_t rest = c.End() >= begin + header ? c.End() - begin - header : 0;
    if (const auto fitting = known ? FittingCount(*known, sequence, rest, l.object) : std::nullopt;
        fitting && *fitting != count && *fitting >= 1 && *fitting <= 0x7F) {
        objects = *fitting;
        w.Add(2, kFields[ObjectCount], c.Pos(), 1,
              Arg(C_("decode", "%1 (the ASDU holds %2)"), {std::to_string(count), ObjectsText(objects)}), Verdict::Bad,
              std::to_string(objects))
            .number = count;
    } else {
        w.AddBits(2, kFields[ObjectCount], c.Pos(), 1, vsq);
    }
    c.Skip(1);

    if (!c.Need(1, kFields[Cot], 1))
        return;
    const uint8_t cot = f[c.Pos()];
    const auto cause = static_cast<uint8_t>(kFields[Cot].Value(cot));
    w.Add(1, kFields[Cot], c.Pos(), 1, CauseText(cause)).number = cause;
    w.AddBits(2, kFields[Pn], c.Pos(), 1, cot);
    w.AddBits(2, kFields[Test], c.Pos(), 1, cot);
    c.Skip(1);
    if (l.cause == 2) {
        if (!c.Need(1, kFields[Originator], 1))
            return;
        w.AddBits(1, kFields[Originator], c.Pos(), 1, f[c.Pos()]);
        c.Skip(1);
    }

    if (!c.Need(1, kFields[CommonAddress], l.common))
        return;
    const uint32_t common = c.Le(l.common);
    const bool broadcast = common == (l.common == 2 ? 0xFFFFu : 0xFFu);
    w.Add(1, kFields[CommonAddress], c.Pos(), l.common,
          broadcast ? Arg(C_("decode", "%1 (global address)"), {std::to_string(common)}) : std::to_string(common))
        .number = common;
    c.Skip(l.common);

    const TypeInfo* type = FindType(typeId);
    if (!type) {
        if (c.Left() > 0)
            w.Add(0, kFields[ReservedObjects], c.Pos(), c.Left(),
                  Arg(C_("decode", "%1 bytes of a reserved type"), {std::to_string(c.Left())}))
                .number = static_cast<double>(c.Left());
        return;
    }
    if (!AddObjects(c, *type, sequence, objects, l.object))
        return;
    if (c.Left() > 0)
        w.Add(0, kFields[ExtraBytes], c.Pos(), c.Left(),
              Arg(C_("decode", "%1 bytes after the last information object"), {std::to_string(c.Left())}),
              Verdict::Bad, C_("decode", "0 bytes"))
            .number = static_cast<double>(c.Left());
}

} // namespace decode::iec

namespace decode {

std::span<const FieldDef> IecAsduFields()
{
    return iec::kFields;
}

} // namespace decode
