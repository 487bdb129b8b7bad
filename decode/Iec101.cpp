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

struct FunctionName {
    unsigned code;
    std::string_view text;
};

// From the primary (initiating) station, PRM=1.
constexpr std::array kPrimaryFunctions{
    FunctionName{0, "reset of remote link"},
    FunctionName{1, "reset of user process"},
    FunctionName{2, "test function for link"},
    FunctionName{3, "user data, confirm expected"},
    FunctionName{4, "user data, no reply expected"},
    FunctionName{8, "request for access demand"},
    FunctionName{9, "request status of link"},
    FunctionName{10, "request user data class 1"},
    FunctionName{11, "request user data class 2"},
};

// From the secondary (responding) station, PRM=0.
constexpr std::array kSecondaryFunctions{
    FunctionName{0, "ACK: positive acknowledgement"},
    FunctionName{1, "NACK: message not accepted, link busy"},
    FunctionName{8, "user data"},
    FunctionName{9, "NACK: requested data not available"},
    FunctionName{11, "status of link or access demand"},
    FunctionName{14, "link service not functioning"},
    FunctionName{15, "link service not implemented"},
};

std::string FunctionText(bool primary, unsigned code)
{
    const auto find = [code](const auto& table) -> std::string_view {
        for (const FunctionName& f : table)
            if (f.code == code)
                return f.text;
        return "reserved";
    };
    return std::to_string(code) + ' ' +
        std::string(primary ? find(kPrimaryFunctions) : find(kSecondaryFunctions));
}

std::size_t LinkAddressSize(const IecSizes& sizes)
{
    return static_cast<std::size_t>(std::max(0, std::min(sizes.linkAddress, 2)));
}

void AddControlField(FieldWriter& w, std::size_t at)
{
    const uint8_t c = w.Frame()[at];
    const bool primary = c & 0x40;
    const unsigned function = c & 0x0F;
    const auto bit = [c](uint8_t mask) { return (c & mask) ? 1 : 0; };
    const std::string summary = primary
        ? "PRM=1, FCB=" + std::to_string(bit(0x20)) + ", FCV=" + std::to_string(bit(0x10)) +
            ", " + FunctionText(true, function)
        : "PRM=0, ACD=" + std::to_string(bit(0x20)) + ", DFC=" + std::to_string(bit(0x10)) +
            ", " + FunctionText(false, function);
    w.Add(1, "Control field", at, 1, summary);
    w.Add(2, "DIR/RES", at, 1,
          (c & 0x80) ? "1" : "0");
    w.Add(2, "PRM", at, 1,
          primary ? "1 from the primary (initiating) station"
                  : "0 from the secondary (responding) station");
    if (primary) {
        w.Add(2, "FCB", at, 1, std::to_string(bit(0x20)));
        w.Add(2, "FCV", at, 1, bit(0x10) ? "1 FCB valid" : "0 FCB not valid");
    } else {
        w.Add(2, "ACD", at, 1, bit(0x20) ? "1 class 1 data waiting" : "0 no class 1 data waiting");
        w.Add(2, "DFC", at, 1,
              bit(0x10) ? "1 further messages may overflow" : "0 further messages accepted");
    }
    w.Add(2, "Function code", at, 1, FunctionText(primary, function));
}

void AddLinkAddress(FieldWriter& w, std::size_t at, std::size_t size)
{
    uint32_t a = 0;
    for (std::size_t k = size; k-- > 0;)
        a = a << 8 | w.Frame()[at + k];
    const bool broadcast = a == (size == 2 ? 0xFFFFu : 0xFFu);
    w.Add(1, "Link address", at, size, std::to_string(a) + (broadcast ? " (broadcast)" : ""));
}

void AddChecksum(FieldWriter& w, std::size_t at, Bytes summed)
{
    const uint8_t sum = std::accumulate(summed.begin(), summed.end(), uint8_t{0},
                                        [](uint8_t a, uint8_t b) {
                                            return static_cast<uint8_t>(a + b);
                                        });
    const uint8_t got = w.Frame()[at];
    w.Add(1, "Checksum", at, 1, iec::HexPairs(w.Frame().subspan(at, 1)),
          got == sum ? Verdict::Good : Verdict::Bad,
          got == sum ? std::string() : iec::HexPairs(Bytes(&sum, 1)));
}

void AddEnd(FieldWriter& w, std::size_t at)
{
    const bool good = w.Frame()[at] == kEnd;
    w.Add(1, "End", at, 1, iec::HexPairs(w.Frame().subspan(at, 1)),
          good ? Verdict::None : Verdict::Bad, good ? std::string() : "16");
}

void AddExtra(FieldWriter& w, std::size_t at)
{
    const std::size_t n = w.Frame().size() - at;
    if (n > 0)
        w.Add(0, "Extra bytes", at, n, std::to_string(n) + " bytes after the end character",
              Verdict::Bad, "0 bytes");
}

void DecodeFixed(FieldWriter& w, std::size_t la)
{
    const Bytes f = w.Frame();
    w.Add(0, "Link header", 0, 0, "fixed length frame");
    w.Add(1, "Start", 0, 1, "10");
    iec::Cursor c(w, 1, f.size());
    if (!c.Need(1, "Control field", 1))
        return;
    AddControlField(w, 1);
    c.Skip(1);
    if (la > 0) {
        if (!c.Need(1, "Link address", la))
            return;
        AddLinkAddress(w, 2, la);
        c.Skip(la);
    }
    if (!c.Need(1, "Checksum", 1))
        return;
    AddChecksum(w, c.Pos(), f.subspan(1, 1 + la));
    c.Skip(1);
    if (!c.Need(1, "End", 1))
        return;
    AddEnd(w, c.Pos());
    AddExtra(w, c.Pos() + 1);
}

void DecodeVariable(FieldWriter& w, const IecSizes& sizes)
{
    const Bytes f = w.Frame();
    const std::size_t la = LinkAddressSize(sizes);
    w.Add(0, "Link header", 0, 0,
          f.size() >= 2 ? "variable length frame, L=" + std::to_string(f[1])
                        : "variable length frame");
    w.Add(1, "Start", 0, 1, "68");
    iec::Cursor c(w, 1, f.size());
    if (!c.Need(1, "Length", 2))
        return;
    const std::size_t length = f[1];
    const bool good = f[1] == f[2] && f.size() == length + 6;
    // The lengths that would fit the frame's size, when one can.
    std::string expected;
    if (!good && f.size() < 6) {
        expected = "a frame of at least 6 bytes";
    } else if (!good && f.size() - 6 > 0xFF) {
        expected = "a frame of at most 261 bytes";
    } else if (!good) {
        const uint8_t fit[2]{static_cast<uint8_t>(f.size() - 6), static_cast<uint8_t>(f.size() - 6)};
        expected = iec::HexPairs(fit);
    }
    w.Add(1, "Length", 1, 2,
          f[1] == f[2] ? std::to_string(length)
                       : std::to_string(length) + " and " + std::to_string(f[2]) + " differ",
          good ? Verdict::Good : Verdict::Bad, expected);
    c.Skip(2);
    if (!c.Need(1, "Start", 1))
        return;
    const bool secondStart = f[3] == kVariableStart;
    w.Add(1, "Start", 3, 1, iec::HexPairs(f.subspan(3, 1)),
          secondStart ? Verdict::None : Verdict::Bad, secondStart ? std::string() : "68");

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
            w.Add(0, "User data", pos, asdu.size(),
                  std::to_string(asdu.size()) + " bytes, not an ASDU of the set sizes");
    } else if (userEnd > pos) {
        w.Add(0, "User data", pos, userEnd - pos, std::to_string(userEnd - pos) + " bytes");
    }

    w.Add(0, "Link trailer", userEnd, 0, "");
    iec::Cursor tail(w, userEnd, f.size());
    if (4 + length > f.size() || !tail.Need(1, "Checksum", 1)) {
        if (4 + length > f.size())
            w.Add(1, "Checksum", userEnd, 0,
                  "truncated: the user data has " + std::to_string(userEnd - 4) + " of " +
                      std::to_string(length) + " bytes",
                  Verdict::Bad, std::to_string(length) + " bytes");
        return;
    }
    AddChecksum(w, userEnd, f.subspan(4, length));
    tail.Skip(1);
    if (!tail.Need(1, "End", 1))
        return;
    AddEnd(w, userEnd + 1);
    AddExtra(w, userEnd + 2);
}

} // namespace

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
        (void)iec::Cursor(w, 0, 0).Need(0, "Link header", 1);
    } else if (frame[0] == kFixedStart) {
        DecodeFixed(w, LinkAddressSize(sizes));
    } else if (frame[0] == kVariableStart) {
        DecodeVariable(w, sizes);
    } else if (frame[0] == kSingleCharacter && frame.size() == 1) {
        w.Add(0, "Link header", 0, 0, "single character");
        w.Add(1, "Start", 0, 1, "E5 single character: positive acknowledgement");
    } else {
        w.Add(0, "Link header", 0, 0, "");
        w.Add(1, "Start", 0, 1, iec::HexPairs(frame.subspan(0, 1)), Verdict::Bad, "68");
    }
    return out;
}

} // namespace decode
