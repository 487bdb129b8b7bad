#pragma once

#include "decode/Decode.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// DNP3 transport reassembly and the application layer: the segments of one
// fragment are joined from the frames of a window in the order they came
// (FIR starts a fragment, each next segment's sequence is one more, FIN ends
// it), and the fragment's application header and objects are decoded.

namespace decode::dnp3 {

// One transport segment out of a link frame: the bytes after the transport
// header, the block CRCs left out.
struct Segment {
    uint16_t source = 0;
    uint16_t destination = 0;
    unsigned transport = 0;            // the transport header byte
    std::size_t transportAt = 0;       // its offset in the frame
    std::vector<uint8_t> bytes;        // the application bytes the segment carries
    std::vector<std::size_t> offsets;  // each byte's offset in its frame
    std::vector<bool> verified;        // each byte's header and block CRC both verify
    bool whole = false;                // the frame holds every byte its length byte gives

    [[nodiscard]] bool First() const { return transport & 0x40; }
    [[nodiscard]] bool Final() const { return transport & 0x80; }
    [[nodiscard]] unsigned Sequence() const { return transport & 0x3F; }
};

// The segment a link frame carries: none when it is not a primary frame of
// user data (function 3 or 4) with at least the transport header.
[[nodiscard]] std::optional<Segment> SegmentOf(Bytes frame);

// The fragment the last segment belongs to, as far as the window shows it.
struct Fragment {
    // The segments joined, oldest first; the last is the frame's own. Each
    // earlier one is the index of its frame in `earlier`.
    std::vector<Segment> segments;
    std::vector<std::size_t> frames;   // per earlier segment: its index in `earlier`
    bool first = false; // starts with a FIR segment
    bool final = false; // ends with a FIN segment
};

// Joins the frame's segment to the segments before it in `earlier` (oldest
// first) that share its source and destination: from the last FIR segment
// on, each sequence one more than the one before, none of them FIN but the
// frame's own. A segment out of order, a FIN, a FIR or a frame cut short
// between breaks the chain. None when the frame carries no segment.
[[nodiscard]] std::optional<Fragment> Reassemble(std::span<const std::vector<uint8_t>> earlier, Bytes frame);

// The frame decoded with the fragment its segment belongs to.
[[nodiscard]] Fields DecodeInWindow(Bytes frame, std::span<const std::vector<uint8_t>> earlier);
[[nodiscard]] Fields DecodeWithOptions(Bytes frame, const Options& options);

// A 48-bit DNP3 time (milliseconds since 1970-01-01 00:00 UTC) as
// "2024-03-01 12:34:56.789".
[[nodiscard]] std::string TimeText(uint64_t milliseconds);

} // namespace decode::dnp3
