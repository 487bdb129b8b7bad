// libFuzzer target for the link supervisor: the input is a script of
// connections, frames (raw bytes, or APDUs, MBAP and RTU frames built from
// the input so that the watchers get past the framing), chunkings and ticks,
// with clocks that may jump back. The supervisor never crashes and stays
// within its bounds: events kept, links, frame bytes per event, and every
// event made is either kept or counted as dropped.
#include "FuzzRequire.h"
#include "analysis/LinkSupervisor.h"
#include "frame/Crc.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    [[nodiscard]] bool More() const { return at_ < size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    unsigned Word() { return Byte() | Byte() << 8; }
    void Append(std::vector<uint8_t>& out, size_t n)
    {
        for (size_t i = 0; i < n && More(); ++i)
            out.push_back(Byte());
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

constexpr std::size_t kMaxEvents = 64;
constexpr std::size_t kMaxLinks = 4;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    const uint8_t config = in.Byte();
    analysis::Settings settings;
    settings.protocol = static_cast<analysis::LinkProtocol>(config & 3);
    settings.device = config & 4 ? decode::DeviceRole::Asks : decode::DeviceRole::Answers;
    const bool stream = (config & 8) == 0;
    settings.k = 1 + (config >> 4 & 3) * 4;
    settings.w = 1 + (config >> 6) * 2;
    settings.maxEvents = kMaxEvents;
    settings.maxLinks = kMaxLinks;
    analysis::LinkSupervisor sup(settings);

    std::int64_t t = 1'700'000'000'000'000;
    std::vector<uint8_t> frame;
    while (in.More()) {
        const uint8_t op = in.Byte();
        const analysis::LinkKey key = op >> 3 & 7;
        const auto direction = op & 0x40 ? analysis::Direction::ToDevice : analysis::Direction::FromDevice;
        switch (op & 7) {
        case 0:
            sup.NewConnection(key, t, "peer");
            continue;
        case 1:
            sup.EndConnection(key, t);
            continue;
        case 2:
            t += static_cast<int8_t>(in.Byte()) * 100'000; // may go back
            sup.Tick(t);
            continue;
        default:
            break;
        }
        t += static_cast<int8_t>(in.Byte()) * 1'000;
        frame.clear();
        switch (op & 7) {
        case 3: // raw bytes
            in.Append(frame, in.Byte() % 64);
            break;
        case 4: { // an I-frame with the ASDU that follows
            const unsigned ns = in.Word(), nr = in.Word(), asdu = in.Byte() % 40;
            frame = {0x68, static_cast<uint8_t>(4 + asdu), static_cast<uint8_t>(ns << 1), static_cast<uint8_t>(ns >> 7),
                     static_cast<uint8_t>(nr << 1), static_cast<uint8_t>(nr >> 7)};
            in.Append(frame, asdu);
            break;
        }
        case 5: { // an S- or U-format
            const uint8_t control = in.Byte();
            const unsigned nr = in.Word();
            frame = {0x68, 0x04, control & 1 ? static_cast<uint8_t>(control | 3) : uint8_t{1}, 0,
                     static_cast<uint8_t>(nr << 1), static_cast<uint8_t>(nr >> 7)};
            if (control & 1)
                frame[4] = frame[5] = 0;
            break;
        }
        case 6: { // an MBAP frame
            const uint8_t tid = in.Byte(), pdu = 1 + in.Byte() % 12;
            frame = {0, tid, 0, 0, 0, static_cast<uint8_t>(1 + pdu)};
            in.Append(frame, 1u + pdu);
            break;
        }
        case 7: { // an RTU frame with its CRC
            in.Append(frame, 2u + in.Byte() % 10);
            const uint16_t crc = CrcModbus(frame);
            frame.push_back(static_cast<uint8_t>(crc));
            frame.push_back(static_cast<uint8_t>(crc >> 8));
            break;
        }
        default:
            break;
        }
        if (!stream) {
            sup.Frame(key, direction, t, frame, false);
        } else {
            // Cut where the input says; each piece a chunk of its own.
            const size_t cut = frame.empty() ? 0 : in.Byte() % (frame.size() + 1);
            sup.Frame(key, direction, t, std::span(frame).first(cut), true);
            sup.Frame(key, direction, t, std::span(frame).subspan(cut), true);
        }
        FUZZ_REQUIRE(sup.Events().size() <= kMaxEvents);
    }
    sup.Tick(t + 100'000'000);

    FUZZ_REQUIRE(sup.Events().size() <= kMaxEvents);
    FUZZ_REQUIRE(sup.Events().size() + sup.Dropped() == sup.LastSerial());
    std::uint64_t counted = 0;
    for (const std::uint64_t c : sup.Counts())
        counted += c;
    FUZZ_REQUIRE(counted == sup.LastSerial());
    const auto links = sup.Summary();
    FUZZ_REQUIRE(links.size() <= kMaxLinks);
    for (const analysis::LinkSummary& s : links)
        for (const analysis::Iec104Side& side : s.sides)
            FUZZ_REQUIRE(side.outstanding <= 0x7FFF && side.unacknowledged <= 0x7FFF);
    std::uint64_t serial = sup.Events().empty() ? 0 : sup.Events().front().serial;
    for (const analysis::Event& e : sup.Events()) {
        FUZZ_REQUIRE(e.serial == serial++);
        FUZZ_REQUIRE(e.frame.size() <= 260);
        FUZZ_REQUIRE(!e.text.empty());
        FUZZ_REQUIRE(analysis::KindOfKeyword(analysis::KindKeyword(e.kind)) == e.kind);
    }
    // The newest event's CSV line: eleven fields, the kind's keyword the
    // seventh, one line (a quoted field may hold anything).
    if (!sup.Events().empty()) {
        const analysis::Event& e = sup.Events().back();
        const std::string line = analysis::EventCsvLine(e);
        std::vector<std::string> fields(1);
        bool quoted = false;
        for (std::size_t i = 0; i + 1 < line.size(); ++i) {
            const char c = line[i];
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                fields.emplace_back();
            else
                FUZZ_REQUIRE(quoted || c != '\n');
            if (c != '"' && (c != ',' || quoted))
                fields.back() += c;
        }
        FUZZ_REQUIRE(!quoted && line.back() == '\n');
        FUZZ_REQUIRE(fields.size() == 11 && fields[6] == analysis::KindKeyword(e.kind));
    }
    return 0;
}
