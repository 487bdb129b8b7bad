// The field tables and the protocol table: what holds for every declared
// field, and for every field decoded from the corpus by every decoder.

#include "decode/Decode.h"
#include "frame/HexText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace {

using namespace decode;

// Every table the protocol table reaches, and Decode's own.
std::vector<std::span<const FieldDef>> AllTables()
{
    std::vector<std::span<const FieldDef>> tables{FrameFields()};
    std::set<const FieldDef*> seen;
    for (const ProtocolEntry& row : Protocols())
        for (const std::span<const FieldDef> table : {row.fields, row.carried})
            if (!table.empty() && seen.insert(table.data()).second)
                tables.push_back(table);
    return tables;
}

TEST(FieldTable, EveryFieldHasAKeyOfItsOwnAndAName)
{
    std::set<std::string_view> keys;
    std::size_t fields = 0;
    for (const std::span<const FieldDef> table : AllTables()) {
        for (const FieldDef& def : table) {
            ++fields;
            EXPECT_TRUE(keys.insert(def.key).second) << "two fields with the key " << def.key;
            EXPECT_FALSE(def.name.empty()) << def.key;
        }
    }
    EXPECT_EQ(keys.size(), fields);
}

TEST(ProtocolTable, EachDecoderHasItsRowAndADetectionRankOfItsOwn)
{
    const auto rows = Protocols();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front().protocol, Protocol::Auto);
    std::set<int> ranks;
    std::set<Protocol> protocols;
    for (const ProtocolEntry& row : rows) {
        EXPECT_TRUE(protocols.insert(row.protocol).second) << row.name;
        EXPECT_EQ(ProtocolName(row.protocol), row.name);
        if (row.protocol == Protocol::Auto)
            continue;
        EXPECT_TRUE(row.shape && row.decode && !row.fields.empty()) << row.name;
        EXPECT_TRUE(row.detectRank > 0 && ranks.insert(row.detectRank).second) << row.name;
    }
    EXPECT_EQ(ProtocolName(Protocol::Unrecognised), "Unrecognised");
}

// --- The corpus, decoded by every decoder ---------------------------------

struct CorpusFrame {
    std::string file;
    std::vector<uint8_t> bytes;
    IecSizes sizes;
};

std::vector<CorpusFrame> ReadCorpus()
{
    std::vector<CorpusFrame> frames;
    for (const auto& entry : std::filesystem::directory_iterator(TELEMON_DECODE_CORPUS)) {
        std::ifstream in(entry.path());
        IecSizes sizes;
        std::string line;
        while (std::getline(in, line)) {
            IecSizes s;
            if (std::sscanf(line.c_str(), "# sizes %d,%d,%d,%d", &s.linkAddress, &s.cause,
                            &s.commonAddress, &s.objectAddress) == 4)
                sizes = s;
            if (line.empty() || line[0] == '#')
                continue;
            const auto parsed = HexTextToBytes(line);
            if (parsed.ok() && !parsed.bytes.empty())
                frames.push_back({entry.path().filename().string(), parsed.bytes, sizes});
        }
    }
    return frames;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Whether `text` holds `digits` as a whole number (no digit, point or sign
// glued to it).
bool HoldsNumber(std::string_view text, std::string_view digits)
{
    for (std::size_t at = text.find(digits); at != std::string_view::npos; at = text.find(digits, at + 1)) {
        const std::size_t end = at + digits.size();
        const bool before = at > 0 && (IsDigit(text[at - 1]) || text[at - 1] == '.' || text[at - 1] == '-');
        const bool after = end < text.size() && (IsDigit(text[end]) || text[end] == '.');
        if (!before && !after)
            return true;
    }
    return false;
}

// Whether some number written in `text` (decimal, floating point) is `value`.
bool HoldsFloat(std::string_view text, double value)
{
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!IsDigit(text[at]) && text[at] != '-')
            continue;
        double parsed = 0;
        const auto r = std::from_chars(text.data() + at, text.data() + text.size(), parsed);
        if (r.ec == std::errc() && std::fabs(parsed - value) <= 1e-5 * std::max(1.0, std::fabs(value)))
            return true;
    }
    return false;
}

// Whether the text shows `value`: in decimal, in hex (as "0x0A" or as the
// pairs "05 64"), as a byte's bits from bit 0 ("1 0 1 0 0 0 0 0"), or as a
// floating point number.
bool TextShows(const std::string& text, double value)
{
    if (HoldsFloat(text, value))
        return true;
    if (value != std::floor(value) || value < 0)
        return false;
    const auto n = static_cast<uint64_t>(value);
    if (HoldsNumber(text, std::to_string(n)))
        return true;
    std::string packed; // the text without spaces and "0x"
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "0x") == 0)
            ++i;
        else if (text[i] != ' ')
            packed += text[i];
    }
    char hex[24];
    std::snprintf(hex, sizeof hex, "%0*llX", n > 0xFF ? (n > 0xFFFF ? 8 : 4) : 2, static_cast<unsigned long long>(n));
    if (packed.find(hex) != std::string::npos)
        return true;
    std::string bits;
    for (int b = 0; b < 8; ++b)
        bits += (n >> b & 1) ? '1' : '0';
    return n <= 0xFF && packed.starts_with(bits);
}

// Every field a decoder gives is declared and named by its declaration; a
// field's number is what its text shows, and a number the field's table names
// is shown with that name. A mask, a shift or a table that disagrees with the
// text the decoder writes fails here.
TEST(FieldTable, DecodedFieldsAreDeclaredAndTheirNumbersAreWhatTheTextSays)
{
    const auto frames = ReadCorpus();
    ASSERT_GT(frames.size(), 100u);
    std::set<std::string_view> numbered;
    for (const CorpusFrame& frame : frames) {
        for (const ProtocolEntry& row : Protocols()) {
            Options options;
            options.protocol = row.protocol;
            options.iec101 = frame.sizes;
            for (const Field& f : Decode(frame.bytes, options).fields) {
                const std::string where = frame.file + " as " + std::string(row.name) + ": " + f.name + ": " + f.value;
                ASSERT_NE(f.def, nullptr) << where;
                EXPECT_TRUE(f.name.starts_with(f.def->name)) << where;
                if (!f.number)
                    continue;
                numbered.insert(f.def->key);
                EXPECT_TRUE(TextShows(f.value, *f.number)) << where << " (number " << *f.number << ")";
                const double n = *f.number;
                if (f.def->values.empty() || n != std::floor(n) || n < 0)
                    continue;
                const std::string_view name = NameOf(f.def->values, static_cast<uint64_t>(n), {});
                if (!name.empty()) {
                    EXPECT_NE(f.value.find(name), std::string::npos) << where << " (number " << n << ")";
                }
            }
        }
    }
    EXPECT_GT(numbered.size(), 80u) << "the corpus reaches few numbered fields";
}

} // namespace
