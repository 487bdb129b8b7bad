#include "decode/Field.h"

#include <algorithm>
#include <cmath>

namespace decode {

bool Field::operator==(const Field& other) const
{
    const bool sameNumber = number.has_value() == other.number.has_value()
        && (!number || *number == *other.number || (std::isnan(*number) && std::isnan(*other.number)));
    return depth == other.depth && name == other.name && offset == other.offset && length == other.length
        && raw == other.raw && value == other.value && verdict == other.verdict && expected == other.expected
        && def == other.def && sameNumber;
}

Field& FieldWriter::Append(int depth, std::string name, std::size_t offset, std::size_t length,
                           std::string value, Verdict verdict, std::string expected)
{
    Field& f = out_.emplace_back();
    f.depth = depth;
    f.name = std::move(name);
    f.offset = offset;
    f.length = length;
    const std::size_t begin = std::min(offset, frame_.size());
    const std::size_t end = begin + std::min(length, frame_.size() - begin);
    f.raw.assign(frame_.begin() + static_cast<std::ptrdiff_t>(begin),
                 frame_.begin() + static_cast<std::ptrdiff_t>(end));
    f.value = std::move(value);
    f.verdict = verdict;
    f.expected = std::move(expected);
    return f;
}

Field& FieldWriter::Add(int depth, const FieldDef& def, std::size_t offset, std::size_t length,
                        std::string value, Verdict verdict, std::string expected)
{
    Field& f = Append(depth, std::string(TableText(def.name)), offset, length, std::move(value), verdict,
                      std::move(expected));
    f.def = &def;
    return f;
}

Field& FieldWriter::AddNth(int depth, const FieldDef& def, std::string_view suffix,
                           std::size_t offset, std::size_t length, std::string value,
                           Verdict verdict, std::string expected)
{
    std::string name(TableText(def.name));
    name += ' ';
    name += suffix;
    Field& f = Append(depth, std::move(name), offset, length, std::move(value), verdict,
                      std::move(expected));
    f.def = &def;
    return f;
}

Field& FieldWriter::AddBits(int depth, const FieldDef& def, std::size_t offset,
                            std::size_t length, uint64_t raw)
{
    const uint64_t value = def.Value(raw);
    Field& f = Add(depth, def, offset, length, def.Text(value));
    f.number = static_cast<double>(value);
    return f;
}

} // namespace decode
