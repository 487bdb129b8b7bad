#include "decode/Field.h"

#include <algorithm>

namespace decode {

Field& FieldWriter::Add(int depth, std::string_view name, std::size_t offset,
                        std::size_t length, std::string value, Verdict verdict,
                        std::string expected)
{
    Field f;
    f.depth = depth;
    f.name = name;
    f.offset = offset;
    f.length = length;
    const std::size_t begin = std::min(offset, frame_.size());
    const std::size_t end = begin + std::min(length, frame_.size() - begin);
    f.raw.assign(frame_.begin() + static_cast<std::ptrdiff_t>(begin),
                 frame_.begin() + static_cast<std::ptrdiff_t>(end));
    f.value = std::move(value);
    f.verdict = verdict;
    f.expected = std::move(expected);
    out_.push_back(std::move(f));
    return out_.back();
}

} // namespace decode
