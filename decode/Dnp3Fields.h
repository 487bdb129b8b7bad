#pragma once

#include "decode/Field.h"

#include <array>
#include <cstddef>
#include <string_view>
#include <vector>

// The DNP3 decoder's field table, shared by the link and transport layer
// (Dnp3.cpp) and the application layer (Dnp3Objects.cpp).

namespace decode::dnp3 {

inline constexpr Name kPrimaryFunctions[] = {
    {0, NC_("decode", "Reset Link States")},     {1, NC_("decode", "Reset User Process")},    {2, NC_("decode", "Test Link States")},
    {3, NC_("decode", "Confirmed User Data")},   {4, NC_("decode", "Unconfirmed User Data")}, {9, NC_("decode", "Request Link Status")},
};

inline constexpr Name kSecondaryFunctions[] = {
    {0, "ACK"},          {1, "NACK"}, {11, NC_("decode", "Link Status")}, {14, NC_("decode", "Link Service Not Functioning")},
    {15, NC_("decode", "Link Service Not Used or Implemented")},
};

inline constexpr Name kApplicationFunctions[] = {
    {0, NC_("decode", "Confirm")},
    {1, NC_("decode", "Read")},
    {2, NC_("decode", "Write")},
    {3, NC_("decode", "Select")},
    {4, NC_("decode", "Operate")},
    {5, NC_("decode", "Direct Operate")},
    {6, NC_("decode", "Direct Operate No Ack")},
    {7, NC_("decode", "Immediate Freeze")},
    {8, NC_("decode", "Immediate Freeze No Ack")},
    {9, NC_("decode", "Freeze and Clear")},
    {10, NC_("decode", "Freeze and Clear No Ack")},
    {11, NC_("decode", "Freeze with Time")},
    {12, NC_("decode", "Freeze with Time No Ack")},
    {13, NC_("decode", "Cold Restart")},
    {14, NC_("decode", "Warm Restart")},
    {15, NC_("decode", "Initialize Data")},
    {16, NC_("decode", "Initialize Application")},
    {17, NC_("decode", "Start Application")},
    {18, NC_("decode", "Stop Application")},
    {19, NC_("decode", "Save Configuration")},
    {20, NC_("decode", "Enable Unsolicited")},
    {21, NC_("decode", "Disable Unsolicited")},
    {22, NC_("decode", "Assign Class")},
    {23, NC_("decode", "Delay Measure")},
    {24, NC_("decode", "Record Current Time")},
    {25, NC_("decode", "Open File")},
    {26, NC_("decode", "Close File")},
    {27, NC_("decode", "Delete File")},
    {28, NC_("decode", "Get File Info")},
    {29, NC_("decode", "Authenticate File")},
    {30, NC_("decode", "Abort File")},
    {31, NC_("decode", "Activate Config")},
    {32, NC_("decode", "Authenticate Request")},
    {33, NC_("decode", "Authenticate Error")},
    {129, NC_("decode", "Response")},
    {130, NC_("decode", "Unsolicited Response")},
    {131, NC_("decode", "Authenticate Response")},
};

inline constexpr Name kDirections[] = {{0, NC_("decode", "from the outstation")}, {1, NC_("decode", "from the master")}};
inline constexpr Name kPrimary[] = {{0, NC_("decode", "secondary")}, {1, NC_("decode", "primary")}};

inline constexpr Name kGroups[] = {
    {0, NC_("decode", "Device attributes")},
    {1, NC_("decode", "Binary input")},
    {2, NC_("decode", "Binary input event")},
    {3, NC_("decode", "Double-bit binary input")},
    {4, NC_("decode", "Double-bit binary input event")},
    {10, NC_("decode", "Binary output")},
    {11, NC_("decode", "Binary output event")},
    {12, NC_("decode", "Binary command")},
    {13, NC_("decode", "Binary output command event")},
    {20, NC_("decode", "Counter")},
    {21, NC_("decode", "Frozen counter")},
    {22, NC_("decode", "Counter event")},
    {23, NC_("decode", "Frozen counter event")},
    {30, NC_("decode", "Analog input")},
    {32, NC_("decode", "Analog input event")},
    {34, NC_("decode", "Analog input deadband")},
    {40, NC_("decode", "Analog output status")},
    {41, NC_("decode", "Analog output")},
    {42, NC_("decode", "Analog output event")},
    {50, NC_("decode", "Time and date")},
    {51, NC_("decode", "Time and date common time of occurrence")},
    {52, NC_("decode", "Time delay")},
    {60, NC_("decode", "Class data")},
    {70, NC_("decode", "File control")},
    {80, NC_("decode", "Internal indications")},
    {110, NC_("decode", "Octet string")},
    {111, NC_("decode", "Octet string event")},
    {120, NC_("decode", "Authentication")},
};

inline constexpr Name kPrefixCodes[] = {
    {0, NC_("decode", "no prefix")},           {1, NC_("decode", "1-octet index")},       {2, NC_("decode", "2-octet index")},
    {3, NC_("decode", "4-octet index")},       {4, NC_("decode", "1-octet object size")}, {5, NC_("decode", "2-octet object size")},
    {6, NC_("decode", "4-octet object size")},
};

inline constexpr Name kRangeCodes[] = {
    {0, NC_("decode", "1-octet start and stop")},          {1, NC_("decode", "2-octet start and stop")},
    {2, NC_("decode", "4-octet start and stop")},          {3, NC_("decode", "1-octet start and stop addresses")},
    {4, NC_("decode", "2-octet start and stop addresses")}, {5, NC_("decode", "4-octet start and stop addresses")},
    {6, NC_("decode", "no range: all objects")},           {7, NC_("decode", "1-octet count")},
    {8, NC_("decode", "2-octet count")},                   {9, NC_("decode", "4-octet count")},
    {11, NC_("decode", "1-octet count, variable size")},
};

// The status of a control (command status codes).
inline constexpr Name kControlStatus[] = {
    {0, NC_("decode", "success")},           {1, NC_("decode", "timeout")},           {2, NC_("decode", "no select")},
    {3, NC_("decode", "format error")},      {4, NC_("decode", "not supported")},     {5, NC_("decode", "already active")},
    {6, NC_("decode", "hardware error")},    {7, NC_("decode", "local")},             {8, NC_("decode", "too many objects")},
    {9, NC_("decode", "not authorized")},    {10, NC_("decode", "automation inhibit")}, {11, NC_("decode", "processing limited")},
    {12, NC_("decode", "out of range")},     {126, NC_("decode", "non-participating")}, {127, NC_("decode", "undefined")},
};

inline constexpr Name kOperationTypes[] = {
    {0, NC_("decode", "Nul")}, {1, NC_("decode", "Pulse On")}, {2, NC_("decode", "Pulse Off")}, {3, NC_("decode", "Latch On")}, {4, NC_("decode", "Latch Off")},
};

inline constexpr Name kTripClose[] = {{0, NC_("decode", "Nul")}, {1, NC_("decode", "Close")}, {2, NC_("decode", "Trip")}};

inline constexpr Name kDoubleBitStates[] = {
    {0, NC_("decode", "intermediate")}, {1, NC_("decode", "off")}, {2, NC_("decode", "on")}, {3, NC_("decode", "indeterminate")},
};

inline constexpr Name kIntervalUnits[] = {
    {0, NC_("decode", "none")},   {1, NC_("decode", "milliseconds")}, {2, NC_("decode", "seconds")},  {3, NC_("decode", "minutes")}, {4, NC_("decode", "hours")},
    {5, NC_("decode", "days")},   {6, NC_("decode", "weeks")},        {7, NC_("decode", "days of the month")}, {8, NC_("decode", "months, same day of the month")},
    {9, NC_("decode", "months, same day of the week")}, {10, NC_("decode", "seasons")},
};

enum F : std::size_t {
    LinkHeader, Start, Length, Control, Direction, Primary, FrameCountBit, FrameCountValid,
    DataFlowControl, PrimaryFunction, SecondaryFunction, Destination, Source, HeaderCrc, Transport,
    TransportFinal, TransportFirst, TransportSequence, SegmentData, ApplicationHeader,
    ApplicationControl, ApplicationFirst, ApplicationFinal, Confirm, Unsolicited, ApplicationSequence,
    ApplicationFunction, Indications, Iin1, Iin2, Objects, DataBlock, BlockData, BlockCrc, ExtraBytes,
    // the fragment and its objects
    FragmentInfo, ObjectHeader, Group, Variation, Qualifier, PrefixCode, RangeCode, RangeStart, RangeStop,
    RangeCount, ObjectData, Point, Item, PointIndex, PointSize, Flags, Value, Time, RelativeTime, ControlCode,
    ControlCount, OnTime, OffTime, Status, Interval, Units, Delay,
    FieldCount
};

inline constexpr std::array<FieldDef, FieldCount> kFields{{
    {"dnp3.link", NC_("decode", "Link header")},
    {"dnp3.start", NC_("decode", "Start")},
    {"dnp3.length", NC_("decode", "Length")},
    {"dnp3.control", NC_("decode", "Control")},
    {"dnp3.control.dir", NC_("decode", "Direction"), 0x80, kDirections},
    {"dnp3.control.prm", NC_("decode", "Primary"), 0x40, kPrimary},
    {"dnp3.control.fcb", NC_("decode", "Frame count bit"), 0x20},
    {"dnp3.control.fcv", NC_("decode", "Frame count valid"), 0x10},
    {"dnp3.control.dfc", NC_("decode", "Data flow control"), 0x10},
    {"dnp3.control.primary_function", NC_("decode", "Function code"), 0x0F, kPrimaryFunctions, NC_("decode", "unknown")},
    {"dnp3.control.secondary_function", NC_("decode", "Function code"), 0x0F, kSecondaryFunctions, NC_("decode", "unknown")},
    {"dnp3.destination", NC_("decode", "Destination")},
    {"dnp3.source", NC_("decode", "Source")},
    {"dnp3.header_crc", NC_("decode", "Header CRC")},
    {"dnp3.transport", NC_("decode", "Transport header")},
    {"dnp3.transport.fin", NC_("decode", "Final"), 0x80},
    {"dnp3.transport.fir", NC_("decode", "First"), 0x40},
    {"dnp3.transport.sequence", NC_("decode", "Sequence"), 0x3F},
    {"dnp3.segment", NC_("decode", "Segment data")},
    {"dnp3.application", NC_("decode", "Application header")},
    {"dnp3.application.control", NC_("decode", "Application control")},
    {"dnp3.application.fir", NC_("decode", "First"), 0x80},
    {"dnp3.application.fin", NC_("decode", "Final"), 0x40},
    {"dnp3.application.con", NC_("decode", "Confirm"), 0x20},
    {"dnp3.application.uns", NC_("decode", "Unsolicited"), 0x10},
    {"dnp3.application.sequence", NC_("decode", "Sequence"), 0x0F},
    {"dnp3.application.function", NC_("decode", "Function code"), 0, kApplicationFunctions, NC_("decode", "unknown")},
    {"dnp3.iin", NC_("decode", "Internal indications")},
    {"dnp3.iin1", "IIN1"},
    {"dnp3.iin2", "IIN2"},
    {"dnp3.objects", NC_("decode", "Objects")},
    {"dnp3.block", NC_("decode", "Data block")},
    {"dnp3.block.data", NC_("decode", "Data")},
    {"dnp3.block.crc", "CRC"},
    {"dnp3.extra", NC_("decode", "Extra bytes")},
    {"dnp3.fragment", NC_("decode", "Fragment")},
    {"dnp3.object", NC_("decode", "Object header")},
    {"dnp3.object.group", NC_("decode", "Group"), 0, kGroups, NC_("decode", "unknown")},
    {"dnp3.object.variation", NC_("decode", "Variation")},
    {"dnp3.object.qualifier", NC_("decode", "Qualifier")},
    {"dnp3.object.prefix", NC_("decode", "Prefix code"), 0x70, kPrefixCodes},
    {"dnp3.object.range", NC_("decode", "Range code"), 0x0F, kRangeCodes},
    {"dnp3.object.start", NC_("decode", "Start")},
    {"dnp3.object.stop", NC_("decode", "Stop")},
    {"dnp3.object.count", NC_("decode", "Count")},
    {"dnp3.object.data", NC_("decode", "Object data")},
    {"dnp3.point", NC_("decode", "Point")},
    {"dnp3.item", NC_("decode", "Object")},
    {"dnp3.point.index", NC_("decode", "Index")},
    {"dnp3.point.size", NC_("decode", "Size")},
    {"dnp3.point.flags", NC_("decode", "Flags")},
    {"dnp3.point.value", NC_("decode", "Value")},
    {"dnp3.point.time", NC_("decode", "Time")},
    {"dnp3.point.relative_time", NC_("decode", "Relative time")},
    {"dnp3.point.control_code", NC_("decode", "Control code")},
    {"dnp3.point.control_count", NC_("decode", "Count")},
    {"dnp3.point.on_time", NC_("decode", "On time")},
    {"dnp3.point.off_time", NC_("decode", "Off time")},
    {"dnp3.point.status", NC_("decode", "Status"), 0x7F, kControlStatus},
    {"dnp3.point.interval", NC_("decode", "Interval")},
    {"dnp3.point.units", NC_("decode", "Units"), 0, kIntervalUnits},
    {"dnp3.point.delay", NC_("decode", "Time delay")},
}};

// The application bytes of a fragment, and where each of them lies.
struct FragmentBytes {
    static constexpr std::size_t kEarlier = static_cast<std::size_t>(-1); // in an earlier frame

    std::vector<uint8_t> bytes;
    std::vector<std::size_t> at;  // each byte's offset in this frame, or kEarlier
    std::vector<bool> verified;   // each byte's CRCs verify
    bool complete = false; // the fragment's last segment is here and the frame is whole:
                           // an object the bytes end inside is short, not cut off
    bool final = false;    // the fragment's last segment is here
    std::size_t anchor = 0; // where this frame shows a field read from an earlier frame
};

// The application header and the objects of a fragment; false when the
// frame ends inside the application header.
bool ReadApplication(FieldWriter& w, const FragmentBytes& fragment);

} // namespace decode::dnp3
