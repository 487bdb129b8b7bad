// libFuzzer target for the frame notation and the check-code commands: no
// input may crash them, a parsed frame written back as text parses to the
// same bytes, and every new line a command gives is itself readable.
#include "frame/CheckCodes.h"
#include "frame/HexText.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckRoundTrip(const FrameParseResult& parsed)
{
    if (!parsed.ok()) {
        Require(parsed.bytes.empty());
        Require(parsed.badPair >= 1);
        return;
    }
    const std::string text = BytesToHexText(parsed.bytes);
    Require(text.size() == 3 * parsed.bytes.size());
    const FrameParseResult again = HexTextToBytes(text);
    Require(again.ok() && again.bytes == parsed.bytes);
}

// How a command's new line relates to the typed line.
enum class Shape {
    Appends,  // the typed line, then " XX" codes
    Wraps,    // "68 L L 68 " + typed line + " CS 16"
    Rebuilds  // frame text of the whole new frame
};

// A command's result: nothing for an empty line; a message and no new line;
// or a new line of the command's shape.
void CheckCommand(CheckCodeResult (*command)(std::string_view), std::string_view line, Shape shape)
{
    const CheckCodeResult result = command(line);
    switch (result.kind) {
    case CheckCodeResult::Kind::Unchanged:
        Require(line.empty());
        return;
    case CheckCodeResult::Kind::Message:
        Require(!line.empty() && !result.text.empty());
        return;
    case CheckCodeResult::Kind::Replaced:
        break;
    }
    std::string_view typed = line;
    if (!typed.empty() && typed.back() == ' ')
        typed.remove_suffix(1);
    const std::string_view text = result.text;
    switch (shape) {
    case Shape::Appends:
        Require(text.starts_with(typed) && text.size() > typed.size());
        Require(text[typed.size()] == ' ' && HexTextToBytes(text.substr(typed.size() + 1)).ok());
        break;
    case Shape::Wraps:
        Require(text.starts_with("68 ") && text.ends_with(" 16"));
        Require(text.find(typed) != std::string_view::npos);
        break;
    case Shape::Rebuilds:
        Require(HexTextToBytes(text).ok());
        Require(text.size() % 3 == 0);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckRoundTrip(HexTextToBytes(text));
    CheckRoundTrip(HexTextToBytes(TrimSendLine(text)));

    CheckCommand(AddSumCode, text, Shape::Appends);
    CheckCommand(AddParityCode, text, Shape::Appends);
    CheckCommand(Add68Frame, text, Shape::Wraps);
    CheckCommand(AddModbusCode, text, Shape::Appends);
    CheckCommand(AddCdtCode, text, Shape::Rebuilds);
    CheckCommand(AddDnpCode, text, Shape::Rebuilds);
    return 0;
}
