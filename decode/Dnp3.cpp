#include "decode/ByteText.h"
#include "decode/Decode.h"

#include "frame/Crc.h"

#include <algorithm>
#include <string>
#include <vector>

// DNP3 link frames: the 10-byte header (05 64, length, control, destination,
// source, CRC), then the user data in blocks of at most 16 bytes, each with
// its own CRC. The user data of a frame carrying user data starts with the
// transport header; the first segment of a fragment goes on with the
// application header. Objects are shown as their raw bytes.

namespace decode {

namespace {

using text::Name;

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

std::string CrcText(unsigned sent, unsigned crc)
{
    return sent == crc ? text::Hex(crc, 4) : text::Hex(sent, 4) + " (should be " + text::Hex(crc, 4) + ")";
}

void AddCrc(FieldWriter& w, int depth, std::string_view name, std::size_t at, Bytes covered)
{
    const Bytes frame = w.Frame();
    const unsigned sent = text::Le16(frame, at);
    const unsigned crc = CrcDnp(covered);
    w.Add(depth, name, at, 2, CrcText(sent, crc), sent == crc ? Verdict::Good : Verdict::Bad,
          sent == crc ? "" : text::LowHighPairs(crc));
}

class Dnp3Reader {
public:
    explicit Dnp3Reader(FieldWriter& w) : w_(w), f_(w.Frame()) {}

    void Read()
    {
        if (f_.size() < kHeaderSize) {
            w_.Add(0, "Link header", 0, kHeaderSize, text::Truncated(f_.size(), kHeaderSize), Verdict::Bad);
            return;
        }
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
        w_.Add(0, "Link header", 0, kHeaderSize, "");
        const bool startGood = f_[0] == 0x05 && f_[1] == 0x64;
        w_.Add(1, "Start", 0, 2, text::HexPairs(f_.first(2)), startGood ? Verdict::Good : Verdict::Bad,
               startGood ? "" : "05 64");
        const unsigned length = f_[2];
        if (length >= kLinkOverhead && FrameSizeFor(length) == f_.size())
            w_.Add(1, "Length", 2, 1, std::to_string(length), Verdict::Good);
        else
            w_.Add(1, "Length", 2, 1, std::to_string(length) + " (does not fit the frame's " +
                                          std::to_string(f_.size()) + " bytes)",
                   Verdict::Bad, LengthFitting(f_.size()));
        ReadControl(f_[3]);
        w_.Add(1, "Destination", 4, 2, std::to_string(text::Le16(f_, 4)));
        w_.Add(1, "Source", 6, 2, std::to_string(text::Le16(f_, 6)));
        AddCrc(w_, 1, "Header CRC", kHeaderCrcAt, f_.first(kHeaderCrcAt));
    }

    void ReadControl(unsigned control)
    {
        const bool primary = control & 0x40;
        const unsigned code = control & 0x0F;
        const std::string function = std::to_string(code) + " "
            + std::string(text::NameOf(primary ? std::span<const Name>(kPrimaryFunctions)
                                               : std::span<const Name>(kSecondaryFunctions),
                                       code));
        std::string bits = "DIR=" + text::Bit(control, 7) + " PRM=" + text::Bit(control, 6);
        bits += primary ? " FCB=" + text::Bit(control, 5) + " FCV=" + text::Bit(control, 4)
                        : " DFC=" + text::Bit(control, 4);
        w_.Add(1, "Control", 3, 1, text::Hex(control, 2) + ": " + bits + ", " + function);
        w_.Add(2, "Direction", 3, 1, text::Bit(control, 7) + (control & 0x80 ? " from the master" : " from the outstation"));
        w_.Add(2, "Primary", 3, 1, text::Bit(control, 6) + (primary ? " primary" : " secondary"));
        if (primary) {
            w_.Add(2, "Frame count bit", 3, 1, text::Bit(control, 5));
            w_.Add(2, "Frame count valid", 3, 1, text::Bit(control, 4));
        } else {
            w_.Add(2, "Data flow control", 3, 1, text::Bit(control, 4));
        }
        w_.Add(2, "Function code", 3, 1, function);
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
        w_.Add(0, "Transport header", user_[0], 1,
               text::Hex(t, 2) + ": FIN=" + text::Bit(t, 7) + " FIR=" + text::Bit(t, 6)
                   + " sequence " + std::to_string(t & 0x3F));
        w_.Add(1, "Final", user_[0], 1, text::Bit(t, 7));
        w_.Add(1, "First", user_[0], 1, text::Bit(t, 6));
        w_.Add(1, "Sequence", user_[0], 1, std::to_string(t & 0x3F));
        if (!(t & 0x40)) {
            AddObjects(1, "Segment data");
            return false;
        }
        return true;
    }

    // False when the frame ends inside the application header.
    bool ReadApplication()
    {
        if (user_.size() < 3) {
            w_.Add(0, "Application header", user_[0] + 1, 2, ShortText(user_.size() - 1, 2), Verdict::Bad);
            return false;
        }
        const unsigned control = f_[user_[1]];
        const unsigned function = f_[user_[2]];
        const std::size_t headerSize = IsResponse(function) ? 4 : 2;
        const std::string functionText =
            std::to_string(function) + " " + std::string(text::NameOf(kApplicationFunctions, function));
        w_.Add(0, "Application header", user_[1], std::min(headerSize, user_.size() - 1), functionText);
        w_.Add(1, "Application control", user_[1], 1,
               text::Hex(control, 2) + ": FIR=" + text::Bit(control, 7) + " FIN=" + text::Bit(control, 6)
                   + " CON=" + text::Bit(control, 5) + " UNS=" + text::Bit(control, 4) + " SEQ="
                   + std::to_string(control & 0x0F));
        w_.Add(2, "First", user_[1], 1, text::Bit(control, 7));
        w_.Add(2, "Final", user_[1], 1, text::Bit(control, 6));
        w_.Add(2, "Confirm", user_[1], 1, text::Bit(control, 5));
        w_.Add(2, "Unsolicited", user_[1], 1, text::Bit(control, 4));
        w_.Add(2, "Sequence", user_[1], 1, std::to_string(control & 0x0F));
        w_.Add(1, "Function code", user_[2], 1, functionText);
        if (IsResponse(function)) {
            if (user_.size() < 5) {
                w_.Add(1, "Internal indications", user_[2] + 1, 2, ShortText(user_.size() - 3, 2),
                       Verdict::Bad);
                return false;
            }
            ReadIndications(f_[user_[3]], f_[user_[4]]);
        }
        AddObjects(1 + headerSize, "Objects");
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
        w_.Add(1, "Internal indications", user_[3], 2, set.empty() ? "none" : set);
        for (int byte = 0; byte < 2; ++byte) {
            const unsigned value = byte ? iin2 : iin1;
            std::string names;
            for (int i = 0; i < 8; ++i)
                if (value >> i & 1u)
                    names += std::string(names.empty() ? "" : ", ") + std::string(kIndications[8 * byte + i]);
            w_.Add(2, byte ? "IIN2" : "IIN1", user_[3 + static_cast<std::size_t>(byte)], 1,
                   text::Hex(value, 2) + (names.empty() ? "" : ": " + names));
        }
    }

    // The user data from index `from` on, without the block CRCs between.
    void AddObjects(std::size_t from, std::string_view name)
    {
        if (from >= user_.size())
            return;
        std::vector<uint8_t> bytes;
        for (std::size_t i = from; i < user_.size(); ++i)
            bytes.push_back(f_[user_[i]]);
        w_.Add(0, name, user_[from], 0, std::to_string(bytes.size()) + " bytes: " + text::HexPairs(bytes));
    }

    void ReadBlocks()
    {
        std::size_t at = kHeaderSize;
        int block = 1;
        for (std::size_t left = UserSize(); left > 0; ++block) {
            const std::size_t size = std::min(left, kBlockSize);
            const std::string name = "Data block " + std::to_string(block);
            if (f_.size() < at + size + 2) {
                w_.Add(0, name, at, size + 2, text::Truncated(f_.size() - at, size + 2), Verdict::Bad);
                return;
            }
            w_.Add(0, name, at, size + 2, std::to_string(size) + " bytes and their CRC");
            w_.Add(1, "Data", at, size, text::HexPairs(f_.subspan(at, size)));
            AddCrc(w_, 1, "CRC", at + size, f_.subspan(at, size));
            at += size + 2;
            left -= size;
        }
        if (at < f_.size())
            w_.Add(0, "Extra bytes", at, f_.size() - at,
                   std::to_string(f_.size() - at) + " bytes after the last block", Verdict::Bad);
    }

    FieldWriter& w_;
    Bytes f_;
    std::vector<std::size_t> user_; // frame offsets of the user data bytes
};

} // namespace

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
