#pragma once

#include "decode/Decode.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The application service data unit that IEC 60870-5-101 and -104 share,
// and the small reading aid both link layers use. Everything reads through
// a Cursor, which never looks past its end and reports a field it has no
// room for as one Bad field.

namespace decode::iec {

// IEC 104's fixed sizes: two bytes of cause (the second the originator
// address), two of common address, three of object address.
inline constexpr IecSizes kIec104Sizes{0, 2, 2, 3};

// A position in the frame and the end of the part being read.
class Cursor {
public:
    // The end is clipped to the frame and the position to the end.
    Cursor(FieldWriter& w, std::size_t pos, std::size_t end)
        : w_(w), end_(std::min(end, w.Frame().size())), pos_(std::min(pos, end_)) {}

    // True when n bytes are left; otherwise adds a Bad `field` at
    // `depth` saying how many bytes it lacks, and the caller stops.
    [[nodiscard]] bool Need(int depth, const FieldDef& field, std::size_t n);

    // The n (at most 4) bytes at the position, least significant first;
    // the caller has made sure they are there.
    [[nodiscard]] uint32_t Le(std::size_t n) const;
    [[nodiscard]] uint8_t Byte(std::size_t at) const { return w_.Frame()[at]; }

    [[nodiscard]] std::size_t Pos() const { return pos_; }
    [[nodiscard]] std::size_t End() const { return end_; }
    [[nodiscard]] std::size_t Left() const { return end_ - pos_; }
    void Skip(std::size_t n) { pos_ += n; }
    FieldWriter& Writer() { return w_; }

private:
    FieldWriter& w_;
    std::size_t end_;
    std::size_t pos_;
};

// Whether `asdu` is exactly one ASDU of a known type with these sizes: at
// least one object, and the objects fill it to its last byte.
[[nodiscard]] bool IsWholeAsdu(Bytes asdu, const IecSizes& sizes);

// Adds the fields of the ASDU in the frame's bytes [begin, end): the
// heading "ASDU" at depth 0, its data unit identifier at depth 1, then an
// "Information object k" heading per object with its address and elements.
void AddAsdu(FieldWriter& w, std::size_t begin, std::size_t end, const IecSizes& sizes);

// "36 M_ME_TF_1 (measured value, short floating point number with time tag
// CP56Time2a)"; an unassigned number gives "reserved".
[[nodiscard]] std::string TypeText(uint8_t type);

// "3 spontaneous" for the six bits of a cause of transmission.
[[nodiscard]] std::string CauseText(uint8_t cause);

} // namespace decode::iec
