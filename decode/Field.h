#pragma once

#include "decode/Translate.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What a decoder says about a frame: a list of fields in the order they
// appear, each one line of an indented tree. A decoder never reads past the
// bytes it is given: a field the frame is too short for is reported as such
// (a Bad verdict on the length) and decoding stops there.
//
// Every field a decoder can report is declared once, in its decoder's field
// table (`FieldDef`): its key, its name, its bit mask where it is a bit
// field, its table of value names where it has one. A decoded field points
// to its declaration and carries its numeric value beside the text, so a
// caller that needs the number never reads it back out of the text.

namespace decode {

using Bytes = std::span<const uint8_t>;

// A code and its name, one row of a field's table of value names.
struct Name {
    uint64_t code;
    std::string_view name;
};

// The name of `code` in the table, or `fallback` when the table lacks it.
[[nodiscard]] constexpr std::string_view NameOf(std::span<const Name> table, uint64_t code,
                                                std::string_view fallback)
{
    for (const Name& row : table)
        if (row.code == code)
            return row.name;
    return fallback;
}

// One field as a decoder table declares it.
struct FieldDef {
    std::string_view key;           // unique over all decoders: "iec104.length"
    std::string_view name;          // as the tree shows it: "Length"
    uint64_t mask = 0;              // a bit field's bits in the value read; 0 for all of it
    std::span<const Name> values{}; // the names of its values, where it has them
    std::string_view fallback = NC_("decode", "reserved"); // the name of a value the table lacks

    // The field's value in `raw`: its bits, shifted down.
    [[nodiscard]] constexpr uint64_t Value(uint64_t raw) const
    {
        return mask == 0 ? raw : (raw & mask) >> std::countr_zero(mask);
    }
    // The name of `value` as the tree shows it, in the language of the
    // translator in force.
    [[nodiscard]] std::string_view NameOf(uint64_t value) const
    {
        return TableText(decode::NameOf(values, value, fallback));
    }
    // "3 spontaneous": the value, a space and its name.
    [[nodiscard]] std::string Coded(uint64_t value) const
    {
        return std::to_string(value) + ' ' + std::string(NameOf(value));
    }
    // The value as the tree shows a bit field on its own: coded where the
    // field has value names, the number alone where it has none.
    [[nodiscard]] std::string Text(uint64_t value) const
    {
        return values.empty() ? std::to_string(value) : Coded(value);
    }
};

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
    const FieldDef* def = nullptr; // its declaration (its key)
    std::optional<double> number = std::nullopt; // the value the text shows, where it is one number

    // Fields are equal when every member is; a number that is not a number
    // (a float's NaN) equals another such.
    bool operator==(const Field& other) const;
};

using Fields = std::vector<Field>;

// Appends fields to a list, copying each field's bytes out of the frame and
// clipping them to its end, so that a decoder cannot read past the frame
// through a field it adds.
class FieldWriter {
public:
    FieldWriter(Fields& out, Bytes frame) : out_(out), frame_(frame) {}

    // A field named by its declaration.
    Field& Add(int depth, const FieldDef& def, std::size_t offset, std::size_t length,
               std::string value, Verdict verdict = Verdict::None, std::string expected = {});

    // A field without a declaration, for a decoder a caller supplies (a
    // test's); the decoders here name every field by its declaration.
    Field& Add(int depth, std::string_view name, std::size_t offset, std::size_t length,
               std::string value, Verdict verdict = Verdict::None, std::string expected = {})
    {
        return Append(depth, std::string(name), offset, length, std::move(value), verdict,
                      std::move(expected));
    }

    // One of a numbered series ("Information object 2", "Coils 8-15"): the
    // declaration's name, a space and `suffix`.
    Field& AddNth(int depth, const FieldDef& def, std::string_view suffix, std::size_t offset,
                  std::size_t length, std::string value, Verdict verdict = Verdict::None,
                  std::string expected = {});

    // A bit field of `raw` (the byte or bytes at offset): its value is the
    // number, its text the value with its name where it has one.
    Field& AddBits(int depth, const FieldDef& def, std::size_t offset, std::size_t length,
                   uint64_t raw);

    [[nodiscard]] Bytes Frame() const { return frame_; }

private:
    Field& Append(int depth, std::string name, std::size_t offset, std::size_t length,
                  std::string value, Verdict verdict, std::string expected);

    Fields& out_;
    Bytes frame_;
};

} // namespace decode
