#include "decode/Text.h"

#include "frame/HexText.h"

namespace decode {

namespace {

// Offsets right-aligned in this many columns, so that the fields of one level
// line up for frames up to 9999 bytes.
constexpr std::size_t kOffsetWidth = 4;

} // namespace

std::string FieldLine(const Field& field)
{
    std::string line = std::to_string(field.offset);
    if (line.size() < kOffsetWidth)
        line.insert(0, kOffsetWidth - line.size(), ' ');
    std::string bytes = BytesToHexText(field.raw);
    if (!bytes.empty()) {
        bytes.pop_back(); // the space after the last pair
        line += "  " + bytes;
    }
    line += "  " + field.name;
    if (!field.value.empty())
        line += ": " + field.value;
    switch (field.verdict) {
    case Verdict::None:
        break;
    case Verdict::Good:
        line = Arg(C_("decode", "%1 (ok)"), {line});
        break;
    case Verdict::Bad:
        line = field.expected.empty() ? Arg(C_("decode", "%1 (bad)"), {line})
                                      : Arg(C_("decode", "%1 (bad, expected %2)"), {line, field.expected});
        break;
    }
    return line;
}

TreeText RenderTree(const Decoded& decoded, Translator translate)
{
    const TranslatorScope texts(translate);
    TreeText text;
    text.lines.reserve(decoded.fields.size() + 1);
    text.lines.emplace_back(ProtocolName(decoded.protocol));
    for (const Field& field : decoded.fields) {
        const std::size_t depth = field.depth > 0 ? static_cast<std::size_t>(field.depth) : 0;
        if (field.verdict == Verdict::Bad)
            text.badLines.push_back(text.lines.size());
        text.lines.push_back(std::string(2 * (depth + 1), ' ') + FieldLine(field));
    }
    return text;
}

} // namespace decode
