#include "frame/CheckCodes.h"

#include "frame/HexText.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

CheckCodeResult Message(std::string_view text)
{
    return {CheckCodeResult::Kind::Message, std::string(text)};
}

// A rule on the byte count that a command applies before any pair is read;
// gives the message to show when the count is refused.
using LengthRule = std::optional<std::string_view> (*)(std::size_t n);

// The steps every command shares: an empty line is left alone; one trailing
// space is dropped; the length rule, the working buffer and the pairs are
// checked; then build(line, bytes) gives the new line.
template <typename Build>
CheckCodeResult ApplyCheckCode(std::string_view caretLine, std::size_t limit,
                               LengthRule rule, Build build)
{
    if (caretLine.empty())
        return {};
    std::string_view line = caretLine;
    if (line.back() == ' ')
        line.remove_suffix(1);
    const std::size_t n = FramePairCount(line.size());
    if (rule != nullptr) {
        if (const auto refusal = rule(n))
            return Message(*refusal);
    }
    if (n > limit)
        return Message(CheckCodeFormatMessage);
    const FrameParseResult parsed = HexTextToBytes(line);
    if (!parsed.ok())
        return Message(CheckCodeFormatMessage);
    return {CheckCodeResult::Kind::Replaced, build(line, parsed.bytes)};
}

uint8_t ByteSum(const Bytes& bytes)
{
    return static_cast<uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

// The line as typed with the given bytes appended as " XX" each.
std::string AppendBytes(std::string_view line, std::initializer_list<uint8_t> codes)
{
    std::string text(line);
    for (uint8_t code : codes)
        text += ' ' + HexValueText(code);
    return text;
}

void AppendLowHigh(Bytes& frame, uint16_t value)
{
    frame.push_back(static_cast<uint8_t>(value & 0xFF));
    frame.push_back(static_cast<uint8_t>(value >> 8));
}

// Appends the block and its DNP CRC, low byte first.
void AppendDnpBlock(Bytes& frame, std::span<const uint8_t> block)
{
    frame.insert(frame.end(), block.begin(), block.end());
    AppendLowHigh(frame, CrcDnp(block));
}

} // namespace

CheckCodeResult AddSumCode(std::string_view caretLine)
{
    return ApplyCheckCode(caretLine, SumFrameLimit, nullptr,
                          [](std::string_view line, const Bytes& bytes) {
                              return AppendBytes(line, {ByteSum(bytes)});
                          });
}

CheckCodeResult AddParityCode(std::string_view caretLine)
{
    return ApplyCheckCode(caretLine, SumFrameLimit, nullptr,
                          [](std::string_view line, const Bytes& bytes) {
                              uint8_t code = 0xFF;
                              for (uint8_t b : bytes)
                                  code ^= b;
                              return AppendBytes(line, {code});
                          });
}

CheckCodeResult Add68Frame(std::string_view caretLine)
{
    return ApplyCheckCode(caretLine, SumFrameLimit, nullptr,
                          [](std::string_view line, const Bytes& bytes) {
                              const std::string length = HexValueText(static_cast<unsigned>(bytes.size()));
                              return "68 " + length + " " + length + " 68 " + std::string(line) + " "
                                  + HexValueText(ByteSum(bytes)) + " 16";
                          });
}

CheckCodeResult AddCdtCode(std::string_view caretLine)
{
    constexpr LengthRule groups = [](std::size_t n) -> std::optional<std::string_view> {
        if (n % CdtGroupSize != 0)
            return CdtLengthMessage;
        return std::nullopt;
    };
    return ApplyCheckCode(caretLine, CdtFrameLimit, groups,
                          [](std::string_view, const Bytes& bytes) {
                              Bytes frame;
                              frame.reserve(bytes.size() / CdtGroupSize * (CdtGroupSize + 1));
                              for (std::size_t i = 0; i < bytes.size(); i += CdtGroupSize) {
                                  const std::span<const uint8_t> group(bytes.data() + i, CdtGroupSize);
                                  frame.insert(frame.end(), group.begin(), group.end());
                                  frame.push_back(CrcCdt(group));
                              }
                              return BytesToHexText(frame);
                          });
}

CheckCodeResult AddModbusCode(std::string_view caretLine)
{
    return ApplyCheckCode(caretLine, ModbusFrameLimit, nullptr,
                          [](std::string_view line, const Bytes& bytes) {
                              const uint16_t crc = CrcModbus(bytes);
                              return AppendBytes(line, {static_cast<uint8_t>(crc & 0xFF),
                                                        static_cast<uint8_t>(crc >> 8)});
                          });
}

CheckCodeResult AddDnpCode(std::string_view caretLine)
{
    constexpr LengthRule header = [](std::size_t n) -> std::optional<std::string_view> {
        if (n < DnpHeaderBytes)
            return DnpLengthMessage;
        return std::nullopt;
    };
    return ApplyCheckCode(caretLine, DnpFrameLimit, header,
                          [](std::string_view, const Bytes& bytes) {
                              const std::span<const uint8_t> typed(bytes);
                              Bytes head{0x05, 0x64, static_cast<uint8_t>(bytes.size())};
                              head.insert(head.end(), typed.begin(), typed.begin() + DnpHeaderBytes);
                              Bytes frame;
                              AppendDnpBlock(frame, head);
                              for (std::size_t i = DnpHeaderBytes; i < bytes.size(); i += DnpBlockSize) {
                                  const std::size_t size = std::min(DnpBlockSize, bytes.size() - i);
                                  AppendDnpBlock(frame, typed.subspan(i, size));
                              }
                              return BytesToHexText(frame);
                          });
}
