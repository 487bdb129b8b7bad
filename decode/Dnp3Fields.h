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
    {0, "Reset Link States"},     {1, "Reset User Process"},    {2, "Test Link States"},
    {3, "Confirmed User Data"},   {4, "Unconfirmed User Data"}, {9, "Request Link Status"},
};

inline constexpr Name kSecondaryFunctions[] = {
    {0, "ACK"},          {1, "NACK"}, {11, "Link Status"}, {14, "Link Service Not Functioning"},
    {15, "Link Service Not Used or Implemented"},
};

inline constexpr Name kApplicationFunctions[] = {
    {0, "Confirm"},
    {1, "Read"},
    {2, "Write"},
    {3, "Select"},
    {4, "Operate"},
    {5, "Direct Operate"},
    {6, "Direct Operate No Ack"},
    {7, "Immediate Freeze"},
    {8, "Immediate Freeze No Ack"},
    {9, "Freeze and Clear"},
    {10, "Freeze and Clear No Ack"},
    {11, "Freeze with Time"},
    {12, "Freeze with Time No Ack"},
    {13, "Cold Restart"},
    {14, "Warm Restart"},
    {15, "Initialize Data"},
    {16, "Initialize Application"},
    {17, "Start Application"},
    {18, "Stop Application"},
    {19, "Save Configuration"},
    {20, "Enable Unsolicited"},
    {21, "Disable Unsolicited"},
    {22, "Assign Class"},
    {23, "Delay Measure"},
    {24, "Record Current Time"},
    {25, "Open File"},
    {26, "Close File"},
    {27, "Delete File"},
    {28, "Get File Info"},
    {29, "Authenticate File"},
    {30, "Abort File"},
    {31, "Activate Config"},
    {32, "Authenticate Request"},
    {33, "Authenticate Error"},
    {129, "Response"},
    {130, "Unsolicited Response"},
    {131, "Authenticate Response"},
};

inline constexpr Name kDirections[] = {{0, "from the outstation"}, {1, "from the master"}};
inline constexpr Name kPrimary[] = {{0, "secondary"}, {1, "primary"}};

inline constexpr Name kGroups[] = {
    {0, "Device attributes"},
    {1, "Binary input"},
    {2, "Binary input event"},
    {3, "Double-bit binary input"},
    {4, "Double-bit binary input event"},
    {10, "Binary output"},
    {11, "Binary output event"},
    {12, "Binary command"},
    {13, "Binary output command event"},
    {20, "Counter"},
    {21, "Frozen counter"},
    {22, "Counter event"},
    {23, "Frozen counter event"},
    {30, "Analog input"},
    {32, "Analog input event"},
    {34, "Analog input deadband"},
    {40, "Analog output status"},
    {41, "Analog output"},
    {42, "Analog output event"},
    {50, "Time and date"},
    {51, "Time and date common time of occurrence"},
    {52, "Time delay"},
    {60, "Class data"},
    {70, "File control"},
    {80, "Internal indications"},
    {110, "Octet string"},
    {111, "Octet string event"},
    {120, "Authentication"},
};

inline constexpr Name kPrefixCodes[] = {
    {0, "no prefix"},           {1, "1-octet index"},       {2, "2-octet index"},
    {3, "4-octet index"},       {4, "1-octet object size"}, {5, "2-octet object size"},
    {6, "4-octet object size"},
};

inline constexpr Name kRangeCodes[] = {
    {0, "1-octet start and stop"},          {1, "2-octet start and stop"},
    {2, "4-octet start and stop"},          {3, "1-octet start and stop addresses"},
    {4, "2-octet start and stop addresses"}, {5, "4-octet start and stop addresses"},
    {6, "no range: all objects"},           {7, "1-octet count"},
    {8, "2-octet count"},                   {9, "4-octet count"},
    {11, "1-octet count, variable size"},
};

// The status of a control (command status codes).
inline constexpr Name kControlStatus[] = {
    {0, "success"},           {1, "timeout"},           {2, "no select"},
    {3, "format error"},      {4, "not supported"},     {5, "already active"},
    {6, "hardware error"},    {7, "local"},             {8, "too many objects"},
    {9, "not authorized"},    {10, "automation inhibit"}, {11, "processing limited"},
    {12, "out of range"},     {126, "non-participating"}, {127, "undefined"},
};

inline constexpr Name kOperationTypes[] = {
    {0, "Nul"}, {1, "Pulse On"}, {2, "Pulse Off"}, {3, "Latch On"}, {4, "Latch Off"},
};

inline constexpr Name kTripClose[] = {{0, "Nul"}, {1, "Close"}, {2, "Trip"}};

inline constexpr Name kDoubleBitStates[] = {
    {0, "intermediate"}, {1, "off"}, {2, "on"}, {3, "indeterminate"},
};

inline constexpr Name kIntervalUnits[] = {
    {0, "none"},   {1, "milliseconds"}, {2, "seconds"},  {3, "minutes"}, {4, "hours"},
    {5, "days"},   {6, "weeks"},        {7, "days of the month"}, {8, "months, same day of the month"},
    {9, "months, same day of the week"}, {10, "seasons"},
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
    {"dnp3.link", "Link header"},
    {"dnp3.start", "Start"},
    {"dnp3.length", "Length"},
    {"dnp3.control", "Control"},
    {"dnp3.control.dir", "Direction", 0x80, kDirections},
    {"dnp3.control.prm", "Primary", 0x40, kPrimary},
    {"dnp3.control.fcb", "Frame count bit", 0x20},
    {"dnp3.control.fcv", "Frame count valid", 0x10},
    {"dnp3.control.dfc", "Data flow control", 0x10},
    {"dnp3.control.primary_function", "Function code", 0x0F, kPrimaryFunctions, "unknown"},
    {"dnp3.control.secondary_function", "Function code", 0x0F, kSecondaryFunctions, "unknown"},
    {"dnp3.destination", "Destination"},
    {"dnp3.source", "Source"},
    {"dnp3.header_crc", "Header CRC"},
    {"dnp3.transport", "Transport header"},
    {"dnp3.transport.fin", "Final", 0x80},
    {"dnp3.transport.fir", "First", 0x40},
    {"dnp3.transport.sequence", "Sequence", 0x3F},
    {"dnp3.segment", "Segment data"},
    {"dnp3.application", "Application header"},
    {"dnp3.application.control", "Application control"},
    {"dnp3.application.fir", "First", 0x80},
    {"dnp3.application.fin", "Final", 0x40},
    {"dnp3.application.con", "Confirm", 0x20},
    {"dnp3.application.uns", "Unsolicited", 0x10},
    {"dnp3.application.sequence", "Sequence", 0x0F},
    {"dnp3.application.function", "Function code", 0, kApplicationFunctions, "unknown"},
    {"dnp3.iin", "Internal indications"},
    {"dnp3.iin1", "IIN1"},
    {"dnp3.iin2", "IIN2"},
    {"dnp3.objects", "Objects"},
    {"dnp3.block", "Data block"},
    {"dnp3.block.data", "Data"},
    {"dnp3.block.crc", "CRC"},
    {"dnp3.extra", "Extra bytes"},
    {"dnp3.fragment", "Fragment"},
    {"dnp3.object", "Object header"},
    {"dnp3.object.group", "Group", 0, kGroups, "unknown"},
    {"dnp3.object.variation", "Variation"},
    {"dnp3.object.qualifier", "Qualifier"},
    {"dnp3.object.prefix", "Prefix code", 0x70, kPrefixCodes},
    {"dnp3.object.range", "Range code", 0x0F, kRangeCodes},
    {"dnp3.object.start", "Start"},
    {"dnp3.object.stop", "Stop"},
    {"dnp3.object.count", "Count"},
    {"dnp3.object.data", "Object data"},
    {"dnp3.point", "Point"},
    {"dnp3.item", "Object"},
    {"dnp3.point.index", "Index"},
    {"dnp3.point.size", "Size"},
    {"dnp3.point.flags", "Flags"},
    {"dnp3.point.value", "Value"},
    {"dnp3.point.time", "Time"},
    {"dnp3.point.relative_time", "Relative time"},
    {"dnp3.point.control_code", "Control code"},
    {"dnp3.point.control_count", "Count"},
    {"dnp3.point.on_time", "On time"},
    {"dnp3.point.off_time", "Off time"},
    {"dnp3.point.status", "Status", 0x7F, kControlStatus},
    {"dnp3.point.interval", "Interval"},
    {"dnp3.point.units", "Units", 0, kIntervalUnits},
    {"dnp3.point.delay", "Time delay"},
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
