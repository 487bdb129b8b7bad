#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What a decoder says about a frame: a list of fields in the order they
// appear, each one line of an indented tree. A decoder never reads past the
// bytes it is given: a field the frame is too short for is reported as such
// (a Bad verdict on the length) and decoding stops there.

namespace decode {

using Bytes = std::span<const uint8_t>;

enum class Verdict {
    None, // an ordinary field
    Good, // a check code or a length that verifies
    Bad   // one that does not: `expected` says what it should have been
};

struct Field {
    int depth = 0;           // 0 for the frame's parts, 1 for their fields, ...
    std::string name;        // "Type identification", "CRC", ...
    std::size_t offset = 0;  // of the first byte, from the frame's start
    std::size_t length = 0;  // bytes; 0 for a heading that spans its children
    std::vector<uint8_t> raw; // the field's bytes (a copy, clipped to the frame)
    std::string value;       // the meaning, as text
    Verdict verdict = Verdict::None;
    std::string expected;    // for a Bad verdict: the value that would verify

    bool operator==(const Field&) const = default;
};

using Fields = std::vector<Field>;

// Appends fields to a list, copying each field's bytes out of the frame and
// clipping them to its end, so that a decoder cannot read past the frame
// through a field it adds.
class FieldWriter {
public:
    FieldWriter(Fields& out, Bytes frame) : out_(out), frame_(frame) {}

    Field& Add(int depth, std::string_view name, std::size_t offset,
               std::size_t length, std::string value,
               Verdict verdict = Verdict::None, std::string expected = {});

    [[nodiscard]] Bytes Frame() const { return frame_; }

private:
    Fields& out_;
    Bytes frame_;
};

} // namespace decode
