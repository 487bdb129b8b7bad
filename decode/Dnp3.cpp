#include "decode/ByteText.h"
#include "decode/Decode.h"

#include "frame/Crc.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

// DNP3 link frames: the 10-byte header (05 64, length, control, destination,
// source, CRC), then the user data in blocks of at most 16 bytes, each with
// its own CRC. The user data of a frame carrying user data starts with the
// transport header; the first segment of a fragment goes on with the
// application header. Objects are shown as their raw bytes.

namespace decode {

namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kHeaderCrcAt = 8;
constexpr std::size_t kBlockSize = 16;
constexpr unsigned kLinkOverhead = 5; // control, destination, source

constexpr Name kPrimaryFunctions[] = {
    {0, "Reset Link States"},     {1, "Reset User Process"},    {2, "Test Link States"},
    {3, "Confirmed User Data"},   {4, "Unconfirmed User Data"}, {9, "Request Link Status"},
};

constexpr Name kSecondaryFunctions[] = {
    {0, "ACK"},          {1, "NACK"}, {11, "Link Status"}, {14, "Link Service Not Functioning"},
    {15, "Link Service Not Used or Implemented"},
};

constexpr Name kApplicationFunctions[] = {
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

// IIN1.0 to IIN1.7, then IIN2.0 to IIN2.7.
constexpr std::string_view kIndications[16] = {
    "All stations",          "Class 1 events",        "Class 2 events",  "Class 3 events",
    "Need time",             "Local control",         "Device trouble",  "Device restart",
    "No function code support", "Object unknown",     "Parameter error", "Event buffer overflow",
    "Already executing",     "Configuration corrupt", "Reserved 2",      "Reserved 1",
};

constexpr Name kDirections[] = {{0, "from the outstation"}, {1, "from the master"}};
constexpr Name kPrimary[] = {{0, "secondary"}, {1, "primary"}};

enum F : std::size_t {
    LinkHeader, Start, Length, Control, Direction, Primary, FrameCountBit, FrameCountValid,
    DataFlowControl, PrimaryFunction, SecondaryFunction, Destination, Source, HeaderCrc, Transport,
    TransportFinal, TransportFirst, TransportSequence, SegmentData, ApplicationHeader,
    ApplicationControl, ApplicationFirst, ApplicationFinal, Confirm, Unsolicited, ApplicationSequence,
    ApplicationFunction, Indications, Iin1, Iin2, Objects, DataBlock, BlockData, BlockCrc, ExtraBytes,
    FieldCount
};

constexpr std::array<FieldDef, FieldCount> kFields{{
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
}};

bool IsResponse(unsigned function)
{
    return function >= 129 && function <= 131;
}

// The frame size a length byte gives: the header, the user data and a CRC
// per block of user data.
std::size_t FrameSizeFor(unsigned length)
{
    const std::size_t user = length - kLinkOverhead;
    return kHeaderSize + user + 2 * ((user + kBlockSize - 1) / kBlockSize);
}

// The length byte that would fit a frame of `size` bytes, if any does.
std::string LengthFitting(std::size_t size)
{
    for (unsigned length = kLinkOverhead; length <= 0xFF; ++length)
        if (FrameSizeFor(length) == size)
            return text::HexByte(length);
    return "";
}

void AddCrc(FieldWriter& w, F field, std::size_t at, Bytes covered)
{
    const unsigned crc = CrcDnp(covered);
    text::AddCheckCode(w, 1, kFields[field], at, text::Le16(w.Frame(), at), crc, 4, text::LowHighPairs(crc));
}

class Dnp3Reader {
public:
    explicit Dnp3Reader(FieldWriter& w) : w_(w), f_(w.Frame()) {}

    void Read()
    {
        if (!text::HoldsFirst(w_, kFields[LinkHeader], kHeaderSize))
            return;
        ReadLinkHeader();
        CollectUserData();
        const unsigned control = f_[3];
        const bool userData = (control & 0x40) && ((control & 0x0F) == 3 || (control & 0x0F) == 4);
        // A frame that ends inside the application header says so there and stops.
        if (userData && !user_.empty() && ReadTransport() && !ReadApplication())
            return;
        ReadBlocks();
    }

private:
    void ReadLinkHeader()
    {
        w_.Add(0, kFields[LinkHeader], 0, kHeaderSize, "");
        const bool startGood = f_[0] == 0x05 && f_[1] == 0x64;
        w_.Add(1, kFields[Start], 0, 2, text::HexPairs(f_.first(2)), startGood ? Verdict::Good : Verdict::Bad,
               startGood ? "" : "05 64")
            .number = text::Be16(f_, 0);
        const unsigned length = f_[2];
        if (length >= kLinkOverhead && FrameSizeFor(length) == f_.size())
            w_.Add(1, kFields[Length], 2, 1, std::to_string(length), Verdict::Good).number = length;
        else
            w_.Add(1, kFields[Length], 2, 1, std::to_string(length) + " (does not fit the frame's " +
                                          std::to_string(f_.size()) + " bytes)",
                   Verdict::Bad, LengthFitting(f_.size()))
                .number = length;
        ReadControl(f_[3]);
        w_.AddBits(1, kFields[Destination], 4, 2, text::Le16(f_, 4));
        w_.AddBits(1, kFields[Source], 6, 2, text::Le16(f_, 6));
        AddCrc(w_, HeaderCrc, kHeaderCrcAt, f_.first(kHeaderCrcAt));
    }

    void ReadControl(unsigned control)
    {
        const bool primary = control & 0x40;
        const unsigned code = control & 0x0F;
        const FieldDef& functionField = kFields[primary ? PrimaryFunction : SecondaryFunction];
        const std::string function = functionField.Coded(code);
        std::string bits = "DIR=" + text::Bit(control, 7) + " PRM=" + text::Bit(control, 6);
        bits += primary ? " FCB=" + text::Bit(control, 5) + " FCV=" + text::Bit(control, 4)
                        : " DFC=" + text::Bit(control, 4);
        w_.Add(1, kFields[Control], 3, 1, text::Hex(control, 2) + ": " + bits + ", " + function).number = control;
        for (const F bit : {Direction, Primary})
            w_.AddBits(2, kFields[bit], 3, 1, control);
        if (primary) {
            w_.AddBits(2, kFields[FrameCountBit], 3, 1, control);
            w_.AddBits(2, kFields[FrameCountValid], 3, 1, control);
        } else {
            w_.AddBits(2, kFields[DataFlowControl], 3, 1, control);
        }
        w_.AddBits(2, functionField, 3, 1, control);
    }

    // The offsets of the user data bytes the frame holds, the CRCs left out.
    void CollectUserData()
    {
        std::size_t at = kHeaderSize;
        for (std::size_t left = UserSize(); left > 0 && at < f_.size();) {
            const std::size_t block = std::min(left, kBlockSize);
            for (std::size_t i = at; i < std::min(f_.size(), at + block); ++i)
                user_.push_back(i);
            at += block + 2;
            left -= block;
        }
    }

    // A header the user data is too short for: cut off with the frame, or
    // missing from a segment whose length byte says it ends there.
    std::string ShortText(std::size_t have, std::size_t need) const
    {
        if (user_.size() < UserSize())
            return text::Truncated(have, need);
        return "missing: the user data ends after " + std::to_string(have) + " of " + std::to_string(need) + " bytes";
    }

    // The user data bytes by the length byte.
    std::size_t UserSize() const { return f_[2] >= kLinkOverhead ? f_[2] - kLinkOverhead : 0; }

    // False when the transport header is not the first segment of a fragment.
    bool ReadTransport()
    {
        const unsigned t = f_[user_[0]];
        w_.Add(0, kFields[Transport], user_[0], 1,
               text::Hex(t, 2) + ": FIN=" + text::Bit(t, 7) + " FIR=" + text::Bit(t, 6)
                   + " sequence " + std::to_string(t & 0x3F))
            .number = t;
        for (const F bit : {TransportFinal, TransportFirst, TransportSequence})
            w_.AddBits(1, kFields[bit], user_[0], 1, t);
        if (!(t & 0x40)) {
            AddObjects(1, SegmentData);
            return false;
        }
        return true;
    }

    // False when the frame ends inside the application header.
    bool ReadApplication()
    {
        if (user_.size() < 3) {
            w_.Add(0, kFields[ApplicationHeader], user_[0] + 1, 2, ShortText(user_.size() - 1, 2), Verdict::Bad);
            return false;
        }
        const unsigned control = f_[user_[1]];
        const unsigned function = f_[user_[2]];
        const std::size_t headerSize = IsResponse(function) ? 4 : 2;
        w_.Add(0, kFields[ApplicationHeader], user_[1], std::min(headerSize, user_.size() - 1),
               kFields[ApplicationFunction].Coded(function));
        w_.Add(1, kFields[ApplicationControl], user_[1], 1,
               text::Hex(control, 2) + ": FIR=" + text::Bit(control, 7) + " FIN=" + text::Bit(control, 6)
                   + " CON=" + text::Bit(control, 5) + " UNS=" + text::Bit(control, 4) + " SEQ="
                   + std::to_string(control & 0x0F))
            .number = control;
        for (const F bit : {ApplicationFirst, ApplicationFinal, Confirm, Unsolicited, ApplicationSequence})
            w_.AddBits(2, kFields[bit], user_[1], 1, control);
        w_.AddBits(1, kFields[ApplicationFunction], user_[2], 1, function);
        if (IsResponse(function)) {
            if (user_.size() < 5) {
                w_.Add(1, kFields[Indications], user_[2] + 1, 2, ShortText(user_.size() - 3, 2),
                       Verdict::Bad);
                return false;
            }
            ReadIndications(f_[user_[3]], f_[user_[4]]);
        }
        AddObjects(1 + headerSize, Objects);
        return true;
    }

    void ReadIndications(unsigned iin1, unsigned iin2)
    {
        const unsigned bits = iin1 | iin2 << 8;
        std::string set;
        for (int i = 0; i < 16; ++i)
            if (bits >> i & 1u)
                set += std::string(set.empty() ? "" : ", ") + "IIN" + (i < 8 ? "1." : "2.")
                    + std::to_string(i % 8) + " " + std::string(kIndications[i]);
        w_.Add(1, kFields[Indications], user_[3], 2, set.empty() ? "none" : set);
        for (int byte = 0; byte < 2; ++byte) {
            const unsigned value = byte ? iin2 : iin1;
            std::string names;
            for (int i = 0; i < 8; ++i)
                if (value >> i & 1u)
                    names += std::string(names.empty() ? "" : ", ") + std::string(kIndications[8 * byte + i]);
            w_.Add(2, kFields[byte ? Iin2 : Iin1], user_[3 + static_cast<std::size_t>(byte)], 1,
                   text::Hex(value, 2) + (names.empty() ? "" : ": " + names))
                .number = value;
        }
    }

    // The user data from index `from` on, without the block CRCs between.
    void AddObjects(std::size_t from, F name)
    {
        if (from >= user_.size())
            return;
        std::vector<uint8_t> bytes;
        for (std::size_t i = from; i < user_.size(); ++i)
            bytes.push_back(f_[user_[i]]);
        w_.Add(0, kFields[name], user_[from], 0, std::to_string(bytes.size()) + " bytes: " + text::HexPairs(bytes));
    }

    void ReadBlocks()
    {
        std::size_t at = kHeaderSize;
        int block = 1;
        for (std::size_t left = UserSize(); left > 0; ++block) {
            const std::size_t size = std::min(left, kBlockSize);
            const std::string number = std::to_string(block);
            if (f_.size() < at + size + 2) {
                w_.AddNth(0, kFields[DataBlock], number, at, size + 2, text::Truncated(f_.size() - at, size + 2),
                          Verdict::Bad);
                return;
            }
            w_.AddNth(0, kFields[DataBlock], number, at, size + 2, std::to_string(size) + " bytes and their CRC");
            w_.Add(1, kFields[BlockData], at, size, text::HexPairs(f_.subspan(at, size)));
            AddCrc(w_, BlockCrc, at + size, f_.subspan(at, size));
            at += size + 2;
            left -= size;
        }
        if (at < f_.size())
            w_.Add(0, kFields[ExtraBytes], at, f_.size() - at,
                   std::to_string(f_.size() - at) + " bytes after the last block", Verdict::Bad)
                .number = static_cast<double>(f_.size() - at);
    }

    FieldWriter& w_;
    Bytes f_;
    std::vector<std::size_t> user_; // frame offsets of the user data bytes
};

} // namespace

std::span<const FieldDef> Dnp3Fields()
{
    return kFields;
}

bool ShapeDnp3(Bytes frame)
{
    return frame.size() >= kHeaderSize && frame[0] == 0x05 && frame[1] == 0x64 && frame[2] >= kLinkOverhead
        && FrameSizeFor(frame[2]) == frame.size();
}

Fields DecodeDnp3(Bytes frame)
{
    Fields out;
    FieldWriter w(out, frame);
    Dnp3Reader(w).Read();
    return out;
}

} // namespace decode
