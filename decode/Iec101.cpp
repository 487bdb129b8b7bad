#include "decode/ByteText.h"
#include "decode/Decode.h"
#include "decode/IecAsdu.h"

#include <array>
#include <numeric>
#include <string>

// IEC 60870-5-101 frames of format FT 1.2: the fixed frame 10 C A CS 16,
// the variable frame 68 L L 68 C A ASDU CS 16, where CS is the sum of the
// bytes from C to the ASDU's end, and the single character E5 (decoded when
// the protocol is chosen, not taken by the shape: one byte says too little). The sizes of the link address and of the
// ASDU's fields are the link's settings.

namespace decode {

namespace {

constexpr uint8_t kFixedStart = 0x10;
constexpr uint8_t kVariableStart = 0x68;
constexpr uint8_t kEnd = 0x16;
constexpr uint8_t kSingleCharacter = 0xE5; // a secondary station's ACK

// From the primary (initiating) station, PRM=1.
constexpr Name kPrimaryFunctions[] = {
    {0, NC_("decode", "reset of remote link")},
    {1, NC_("decode", "reset of user process")},
    {2, NC_("decode", "test function for link")},
    {3, NC_("decode", "user data, confirm expected")},
    {4, NC_("decode", "user data, no reply expected")},
    {8, NC_("decode", "request for access demand")},
    {9, NC_("decode", "request status of link")},
    {10, NC_("decode", "request user data class 1")},
    {11, NC_("decode", "request user data class 2")},
};

// From the secondary (responding) station, PRM=0.
constexpr Name kSecondaryFunctions[] = {
    {0, NC_("decode", "ACK: positive acknowledgement")},
    {1, NC_("decode", "NACK: message not accepted, link busy")},
    {8, NC_("decode", "user data")},
    {9, NC_("decode", "NACK: requested data not available")},
    {11, NC_("decode", "status of link or access demand")},
    {14, NC_("decode", "link service not functioning")},
    {15, NC_("decode", "link service not implemented")},
};

constexpr Name kPrm[] = {{0, NC_("decode", "from the secondary (responding) station")}, {1, NC_("decode", "from the primary (initiating) station")}};
constexpr Name kFcv[] = {{0, NC_("decode", "FCB not valid")}, {1, NC_("decode", "FCB valid")}};
constexpr Name kAcd[] = {{0, NC_("decode", "no class 1 data waiting")}, {1, NC_("decode", "class 1 data waiting")}};
constexpr Name kDfc[] = {{0, NC_("decode", "further messages accepted")}, {1, NC_("decode", "further messages may overflow")}};

enum F : std::size_t {
    LinkHeader, Start, Length, SecondStart, Control, Dir, Prm, Fcb, Fcv, Acd, Dfc, PrimaryFunction,
    SecondaryFunction, LinkAddress, UserData, LinkTrailer, Checksum, End, ExtraBytes, FieldCount
};

constexpr std::array<FieldDef, FieldCount> kFields{{
    {"iec101.link", NC_("decode", "Link header")},
    {"iec101.start", NC_("decode", "Start")},
    {"iec101.length", NC_("decode", "Length")},
    {"iec101.start2", NC_("decode", "Start")},
    {"iec101.control", NC_("decode", "Control field")},
    {"iec101.control.dir", "DIR/RES", 0x80},
    {"iec101.control.prm", "PRM", 0x40, kPrm},
    {"iec101.control.fcb", "FCB", 0x20},
    {"iec101.control.fcv", "FCV", 0x10, kFcv},
    {"iec101.control.acd", "ACD", 0x20, kAcd},
    {"iec101.control.dfc", "DFC", 0x10, kDfc},
    {"iec101.control.primary_function", NC_("decode", "Function code"), 0x0F, kPrimaryFunctions},
    {"iec101.control.secondary_function", NC_("decode", "Function code"), 0x0F, kSecondaryFunctions},
    {"iec101.address", NC_("decode", "Link address")},
    {"iec101.user_data", NC_("decode", "User data")},
    {"iec101.trailer", NC_("decode", "Link trailer")},
    {"iec101.checksum", NC_("decode", "Checksum")},
    {"iec101.end", NC_("decode", "End")},
    {"iec101.extra", NC_("decode", "Extra bytes")},
}};

std::size_t LinkAddressSize(const IecSizes& sizes)
{
    return static_cast<std::size_t>(std::max(0, std::min(sizes.linkAddress, 2)));
}

void AddControlField(FieldWriter& w, std::size_t at)
{
    const uint8_t c = w.Frame()[at];
    const bool primary = c & 0x40;
    const FieldDef& function = kFields[primary ? PrimaryFunction : SecondaryFunction];
    const auto bit = [c](F field) { return std::to_string(kFields[field].Value(c)); };
    const std::string summary = primary
        ? "PRM=1, FCB=" + bit(Fcb) + ", FCV=" + bit(Fcv) + ", " + function.Coded(function.Value(c))
        : "PRM=0, ACD=" + bit(Acd) + ", DFC=" + bit(Dfc) + ", " + function.Coded(function.Value(c));
    w.Add(1, kFields[Control], at, 1, summary);
    for (const F field : {Dir, Prm})
        w.AddBits(2, kFields[field], at, 1, c);
    for (const F field : primary ? std::array{Fcb, Fcv} : std::array{Acd, Dfc})
        w.AddBits(2, kFields[field], at, 1, c);
    w.AddBits(2, function, at, 1, c);
}

void AddLinkAddress(FieldWriter& w, std::size_t at, std::size_t size)
{
    uint32_t a = 0;
    for (std::size_t k = size; k-- > 0;)
        a = a << 8 | w.Frame()[at + k];
    const bool broadcast = a == (size == 2 ? 0xFFFFu : 0xFFu);
    w.Add(1, kFields[LinkAddress], at, size, broadcast ? Arg(C_("decode", "%1 (broadcast)"), {std::to_string(a)}) : std::to_string(a)).number = a;
}

void AddChecksum(FieldWriter& w, std::size_t at, Bytes summed)
{
    const uint8_t sum = std::accumulate(summed.begin(), summed.end(), uint8_t{0},
                                        [](uint8_t a, uint8_t b) {
                                            return static_cast<uint8_t>(a + b);
                                        });
    const uint8_t got = w.Frame()[at];
    w.Add(1, kFields[Checksum], at, 1, text::HexByte(got), got == sum ? Verdict::Good : Verdict::Bad,
          got == sum ? std::string() : text::HexByte(sum))
        .number = got;
}

void AddEnd(FieldWriter& w, std::size_t at)
{
    const uint8_t end = w.Frame()[at];
    w.Add(1, kFields[End], at, 1, text::HexByte(end), end == kEnd ? Verdict::None : Verdict::Bad,
          end == kEnd ? std::string() : "16")
        .number = end;
}

void AddExtra(FieldWriter& w, std::size_t at)
{
    const std::size_t n = w.Frame().size() - at;
    if (n > 0)
        w.Add(0, kFields[ExtraBytes], at, n, Arg(C_("decode", "%1 bytes after the end character"), {std::to_string(n)}),
              Verdict::Bad, C_("decode", "0 bytes"))
            .number = static_cast<double>(n);
}

void DecodeFixed(FieldWriter& w, std::size_t la)
{
    const Bytes f = w.Frame();
    w.Add(0, kFields[LinkHeader], 0, 0, C_("decode", "fixed length frame"));
    w.Add(1, kFields[Start], 0, 1, "10").number = kFixedStart;
    iec::Cursor c(w, 1, f.size());
    if (!c.Need(1, kFields[Control], 1))
        return;
    AddControlField(w, 1);
    c.Skip(1);
    if (la > 0) {
        if (!c.Need(1, kFields[LinkAddress], la))
            return;
        AddLinkAddress(w, 2, la);
        c.Skip(la);
    }
    if (!c.Need(1, kFields[Checksum], 1))
        return;
    AddChecksum(w, c.Pos(), f.subspan(1, 1 + la));
    c.Skip(1);
    if (!c.Need(1, kFields[End], 1))
        return;
    AddEnd(w, c.Pos());
    AddExtra(w, c.Pos() + 1);
}

void DecodeVariable(FieldWriter& w, const IecSizes& sizes)
{
    const Bytes f = w.Frame();
    const std::size_t la = LinkAddressSize(sizes);
    w.Add(0, kFields[LinkHeader], 0, 0,
          f.size() >= 2 ? Arg(C_("decode", "variable length frame, L=%1"), {std::to_string(f[1])})
                        : C_("decode", "variable length frame"));
    w.Add(1, kFields[Start], 0, 1, "68").number = kVariableStart;
    iec::Cursor c(w, 1, f.size());
    if (!c.Need(1, kFields[Length], 2))
        return;
    const std::size_t length = f[1];
    const bool good = f[1] == f[2] && f.size() == length + 6;
    // The lengths that would fit the frame's size, when one can.
    std::string expected;
    if (!good && f.size() < 6) {
        expected = C_("decode", "a frame of at least 6 bytes");
    } else if (!good && f.size() - 6 > 0xFF) {
        expected = C_("decode", "a frame of at most 261 bytes");
    } else if (!good) {
        const uint8_t fit[2]{static_cast<uint8_t>(f.size() - 6), static_cast<uint8_t>(f.size() - 6)};
        expected = text::HexPairs(fit);
    }
    w.Add(1, kFields[Length], 1, 2,
          f[1] == f[2] ? std::to_string(length)
                       : Arg(C_("decode", "%1 and %2 differ"), {std::to_string(length), std::to_string(f[2])}),
          good ? Verdict::Good : Verdict::Bad, expected)
        .number = static_cast<double>(length);
    c.Skip(2);
    if (!c.Need(1, kFields[SecondStart], 1))
        return;
    const bool secondStart = f[3] == kVariableStart;
    w.Add(1, kFields[SecondStart], 3, 1, text::HexByte(f[3]),
          secondStart ? Verdict::None : Verdict::Bad, secondStart ? std::string() : "68")
        .number = f[3];

    const std::size_t userEnd = std::min(4 + length, f.size());
    std::size_t pos = 4;
    if (length >= 1 + la && userEnd >= 5 + la) {
        AddControlField(w, 4);
        if (la > 0)
            AddLinkAddress(w, 5, la);
        pos = 5 + la;
        const Bytes asdu = f.subspan(pos, userEnd - pos);
        if (iec::IsWholeAsdu(asdu, sizes))
            iec::AddAsdu(w, pos, userEnd, sizes);
        else if (!asdu.empty())
            w.Add(0, kFields[UserData], pos, asdu.size(),
                  Arg(C_("decode", "%1 bytes, not an ASDU of the set sizes"), {std::to_string(asdu.size())}));
    } else if (userEnd > pos) {
        w.Add(0, kFields[UserData], pos, userEnd - pos, Arg(C_("decode", "%1 bytes"), {std::to_string(userEnd - pos)}));
    }

    w.Add(0, kFields[LinkTrailer], userEnd, 0, "");
    iec::Cursor tail(w, userEnd, f.size());
    if (4 + length > f.size() || !tail.Need(1, kFields[Checksum], 1)) {
        if (4 + length > f.size())
            w.Add(1, kFields[Checksum], userEnd, 0,
                  Arg(C_("decode", "truncated: the user data has %1 of %2 bytes"),
                      {std::to_string(userEnd - 4), std::to_string(length)}),
                  Verdict::Bad, Arg(C_("decode", "%1 bytes"), {std::to_string(length)}));
        return;
    }
    AddChecksum(w, userEnd, f.subspan(4, length));
    tail.Skip(1);
    if (!tail.Need(1, kFields[End], 1))
        return;
    AddEnd(w, userEnd + 1);
    AddExtra(w, userEnd + 2);
}

} // namespace

std::span<const FieldDef> Iec101Fields()
{
    return kFields;
}

bool ShapeIec101(Bytes frame, const IecSizes& sizes)
{
    const std::size_t n = frame.size();
    if (n >= 6 && frame[0] == kVariableStart && frame[3] == kVariableStart &&
        frame[1] == frame[2] && n == frame[1] + 6u && frame[n - 1] == kEnd)
        return true;
    return n == 4 + LinkAddressSize(sizes) && frame[0] == kFixedStart && frame[n - 1] == kEnd;
}

Fields DecodeIec101(Bytes frame, const IecSizes& sizes)
{
    Fields out;
    FieldWriter w(out, frame);
    if (frame.empty()) {
        (void)iec::Cursor(w, 0, 0).Need(0, kFields[LinkHeader], 1);
    } else if (frame[0] == kFixedStart) {
        DecodeFixed(w, LinkAddressSize(sizes));
    } else if (frame[0] == kVariableStart) {
        DecodeVariable(w, sizes);
    } else if (frame[0] == kSingleCharacter && frame.size() == 1) {
        w.Add(0, kFields[LinkHeader], 0, 0, C_("decode", "single character"));
        w.Add(1, kFields[Start], 0, 1, C_("decode", "E5 single character: positive acknowledgement")).number = kSingleCharacter;
    } else {
        w.Add(0, kFields[LinkHeader], 0, 0, "");
        w.Add(1, kFields[Start], 0, 1, text::HexByte(frame[0]), Verdict::Bad, "68").number = frame[0];
    }
    return out;
}

} // namespace decode
