#include "decode/Dnp3.h"

#include "decode/ByteText.h"
#include "decode/Decode.h"
#include "decode/Dnp3Fields.h"

#include "frame/Crc.h"

#include <algorithm>
#include <string>
#include <vector>

// DNP3 link frames: the 10-byte header (05 64, length, control, destination,
// source, CRC), then the user data in blocks of at most 16 bytes, each with
// its own CRC. The user data of a frame carrying user data starts with the
// transport header; the segments of one fragment are joined from the frames
// before this one in its window, and the fragment's application header and
// objects are decoded (Dnp3Objects.cpp).

namespace decode {

namespace dnp3 {

namespace {

constexpr std::size_t kHeaderSize = 10;
constexpr std::size_t kHeaderCrcAt = 8;
constexpr std::size_t kBlockSize = 16;
constexpr unsigned kLinkOverhead = 5; // control, destination, source

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

bool CarriesUserData(Bytes frame)
{
    const unsigned control = frame[3];
    return (control & 0x40) && ((control & 0x0F) == 3 || (control & 0x0F) == 4);
}

// The user data bytes by the length byte.
std::size_t UserSize(Bytes frame)
{
    return frame[2] >= kLinkOverhead ? frame[2] - kLinkOverhead : 0;
}

// The offsets of the user data bytes the frame holds, the CRCs left out, and
// whether each one's block CRC verifies.
struct UserData {
    std::vector<std::size_t> at;
    std::vector<bool> verified;
};

UserData CollectUserData(Bytes f)
{
    UserData user;
    const bool headerGood = text::Le16(f, kHeaderCrcAt) == CrcDnp(f.first(kHeaderCrcAt));
    std::size_t at = kHeaderSize;
    for (std::size_t left = UserSize(f); left > 0 && at < f.size();) {
        const std::size_t block = std::min(left, kBlockSize);
        const std::size_t end = std::min(f.size(), at + block);
        const bool good = headerGood && f.size() >= at + block + 2
            && text::Le16(f, at + block) == CrcDnp(f.subspan(at, block));
        for (std::size_t i = at; i < end; ++i) {
            user.at.push_back(i);
            user.verified.push_back(good);
        }
        at += block + 2;
        left -= block;
    }
    return user;
}

void AddCrc(FieldWriter& w, F field, std::size_t at, Bytes covered)
{
    const unsigned crc = CrcDnp(covered);
    text::AddCheckCode(w, 1, kFields[field], at, text::Le16(w.Frame(), at), crc, 4, text::LowHighPairs(crc));
}

// `n` in the pattern of one or of many ("%1 segment", "%1 segments").
std::string Plural(std::size_t n, const char* one, const char* many)
{
    return Arg(n == 1 ? one : many, {std::to_string(n)});
}

class Dnp3Reader {
public:
    Dnp3Reader(FieldWriter& w, std::span<const std::vector<uint8_t>> earlier)
        : w_(w), f_(w.Frame()), earlier_(earlier)
    {
    }

    void Read()
    {
        if (!text::HoldsFirst(w_, kFields[LinkHeader], kHeaderSize))
            return;
        ReadLinkHeader();
        // a frame that ends inside the application header says so there and stops
        if (CarriesUserData(f_) && UserSize(f_) > 0 && f_.size() > kHeaderSize && !ReadTransport())
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
            w_.Add(1, kFields[Length], 2, 1, Arg(C_("decode", "%1 (does not fit the frame's %2 bytes)"),
                                          {std::to_string(length), std::to_string(f_.size())}),
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

    // False when the frame ends inside the application header.
    bool ReadTransport()
    {
        const unsigned t = f_[kHeaderSize];
        w_.Add(0, kFields[Transport], kHeaderSize, 1,
               Arg(C_("decode", "%1: FIN=%2 FIR=%3 sequence %4"),
                   {text::Hex(t, 2), text::Bit(t, 7), text::Bit(t, 6), std::to_string(t & 0x3F)}))
            .number = t;
        for (const F bit : {TransportFinal, TransportFirst, TransportSequence})
            w_.AddBits(1, kFields[bit], kHeaderSize, 1, t);

        const auto fragment = Reassemble(earlier_, f_);
        if (!fragment)
            return true;
        const Segment& own = fragment->segments.back();
        if (!fragment->first) {
            // a segment whose fragment began before the window, or out of order
            if (!own.bytes.empty()) {
                w_.Add(0, kFields[SegmentData], own.offsets.front(), 0,
                       Arg(C_("decode", "%1 bytes: %2"), {std::to_string(own.bytes.size()), text::HexPairs(own.bytes)}));
                w_.Add(1, kFields[FragmentInfo], kHeaderSize, 0,
                       C_("decode", "not joined: no earlier frame of this window holds the segments before it"));
            }
            return true;
        }
        const std::size_t joined = fragment->segments.size();
        FragmentBytes bytes;
        bytes.anchor = kHeaderSize;
        bytes.final = fragment->final;
        bytes.complete = fragment->final && own.whole;
        for (std::size_t s = 0; s < joined; ++s) {
            const Segment& seg = fragment->segments[s];
            const bool mine = s + 1 == joined;
            bytes.bytes.insert(bytes.bytes.end(), seg.bytes.begin(), seg.bytes.end());
            bytes.verified.insert(bytes.verified.end(), seg.verified.begin(), seg.verified.end());
            for (const std::size_t at : seg.offsets)
                bytes.at.push_back(mine ? at : FragmentBytes::kEarlier);
        }
        if (joined > 1 || !fragment->final) {
            std::string note = joined > 1
                ? Arg(C_("decode", "%1, %2 of this window and this one"),
                      {Plural(joined, C_("decode", "%1 segment"), C_("decode", "%1 segments")),
                       Plural(joined - 1, C_("decode", "%1 from an earlier frame"), C_("decode", "%1 from earlier frames"))})
                : C_("decode", "this frame's segment begins it");
            note += ", " + Plural(bytes.bytes.size(), C_("decode", "%1 byte"), C_("decode", "%1 bytes"));
            if (!fragment->final)
                note = Arg(C_("decode", "%1; it goes on in a later frame"), {note});
            w_.Add(0, kFields[FragmentInfo], kHeaderSize, 0, note).number = static_cast<double>(joined);
        }
        return ReadApplication(w_, bytes);
    }

    void ReadBlocks()
    {
        std::size_t at = kHeaderSize;
        int block = 1;
        for (std::size_t left = UserSize(f_); left > 0; ++block) {
            const std::size_t size = std::min(left, kBlockSize);
            const std::string number = std::to_string(block);
            if (f_.size() < at + size + 2) {
                w_.AddNth(0, kFields[DataBlock], number, at, size + 2, text::Truncated(f_.size() - at, size + 2),
                          Verdict::Bad);
                return;
            }
            w_.AddNth(0, kFields[DataBlock], number, at, size + 2, Arg(C_("decode", "%1 bytes and their CRC"), {std::to_string(size)}));
            w_.Add(1, kFields[BlockData], at, size, text::HexPairs(f_.subspan(at, size)));
            AddCrc(w_, BlockCrc, at + size, f_.subspan(at, size));
            at += size + 2;
            left -= size;
        }
        if (at < f_.size())
            w_.Add(0, kFields[ExtraBytes], at, f_.size() - at,
                   Arg(C_("decode", "%1 bytes after the last block"), {std::to_string(f_.size() - at)}), Verdict::Bad)
                .number = static_cast<double>(f_.size() - at);
    }

    FieldWriter& w_;
    Bytes f_;
    std::span<const std::vector<uint8_t>> earlier_;
};

} // namespace

std::optional<Segment> SegmentOf(Bytes frame)
{
    if (frame.size() <= kHeaderSize || frame[0] != 0x05 || frame[1] != 0x64 || !CarriesUserData(frame)
        || UserSize(frame) == 0)
        return std::nullopt;
    const UserData user = CollectUserData(frame);
    Segment s;
    s.destination = static_cast<uint16_t>(text::Le16(frame, 4));
    s.source = static_cast<uint16_t>(text::Le16(frame, 6));
    s.transportAt = user.at.front();
    s.transport = frame[s.transportAt];
    for (std::size_t i = 1; i < user.at.size(); ++i) {
        s.bytes.push_back(frame[user.at[i]]);
        s.offsets.push_back(user.at[i]);
        s.verified.push_back(user.verified[i]);
    }
    s.whole = frame[2] >= kLinkOverhead && FrameSizeFor(frame[2]) <= frame.size();
    return s;
}

std::optional<Fragment> Reassemble(std::span<const std::vector<uint8_t>> earlier, Bytes frame)
{
    auto own = SegmentOf(frame);
    if (!own)
        return std::nullopt;
    Fragment fragment;
    if (!own->First()) {
        // The chain as a receiver would have built it from the earlier frames
        // of the same link, oldest first.
        std::vector<std::size_t> chain;
        std::vector<Segment> segments;
        bool open = false;
        for (std::size_t i = 0; i < earlier.size(); ++i) {
            auto seg = SegmentOf(earlier[i]);
            if (!seg || seg->source != own->source || seg->destination != own->destination)
                continue;
            if (seg->First()) {
                chain.assign(1, i);
                segments.assign(1, *seg);
            } else if (open && seg->whole && seg->Sequence() == (segments.back().Sequence() + 1) % 64) {
                chain.push_back(i);
                segments.push_back(*seg);
            } else {
                chain.clear();
                segments.clear();
            }
            // a FIN ends the fragment, a frame cut short breaks it
            open = !segments.empty() && !seg->Final() && seg->whole;
            if (!open) {
                chain.clear();
                segments.clear();
            }
        }
        if (open && own->Sequence() == (segments.back().Sequence() + 1) % 64) {
            fragment.frames = std::move(chain);
            fragment.segments = std::move(segments);
            fragment.first = true;
        }
    } else {
        fragment.first = true;
    }
    fragment.final = own->Final();
    fragment.segments.push_back(std::move(*own));
    return fragment;
}

Fields DecodeInWindow(Bytes frame, std::span<const std::vector<uint8_t>> earlier)
{
    Fields out;
    FieldWriter w(out, frame);
    Dnp3Reader(w, earlier).Read();
    return out;
}

Fields DecodeWithOptions(Bytes frame, const Options& options)
{
    return DecodeInWindow(frame, options.earlier);
}

} // namespace dnp3

std::span<const FieldDef> Dnp3Fields()
{
    return dnp3::kFields;
}

bool ShapeDnp3(Bytes frame)
{
    return frame.size() >= dnp3::kHeaderSize && frame[0] == 0x05 && frame[1] == 0x64
        && frame[2] >= dnp3::kLinkOverhead && dnp3::FrameSizeFor(frame[2]) == frame.size();
}

Fields DecodeDnp3(Bytes frame)
{
    return dnp3::DecodeInWindow(frame, {});
}

} // namespace decode
