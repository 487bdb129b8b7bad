// Cutting what a link carries into frames, and the choice of its protocol.
#include "analysis/LinkStream.h"
#include "analysis/LinkState.h"
#include "analysis/LinkTexts.h"

#include "frame/Crc.h"

#include <algorithm>
#include <cstring>

namespace analysis {

namespace {

using Bytes = std::span<const std::uint8_t>;

// The bytes a stream of no watched shape may gather before it is given up.
constexpr std::size_t kShapeLimit = 64;
constexpr std::size_t kNeedMore = 0;
constexpr std::size_t kNoFrame = static_cast<std::size_t>(-1);

bool RtuCrcVerifies(Bytes frame)
{
    const std::size_t n = frame.size();
    return n >= 4 && CrcModbus(frame.first(n - 2)) == (frame[n - 2] | frame[n - 1] << 8);
}

// The length of the frame at the start of `bytes` by the protocol's rule:
// kNeedMore when more bytes must come first, kNoFrame when no frame starts
// there.
std::size_t FrameLength(LinkProtocol protocol, Bytes bytes)
{
    const std::size_t n = bytes.size();
    switch (protocol) {
    case LinkProtocol::Iec104:
        if (bytes[0] != 0x68)
            return kNoFrame;
        if (n < 2)
            return kNeedMore;
        return bytes[1] < 4 ? kNoFrame : std::size_t{bytes[1]} + 2u;
    case LinkProtocol::ModbusTcp: {
        if (n < 4)
            return kNeedMore;
        if (bytes[2] != 0 || bytes[3] != 0)
            return kNoFrame;
        if (n < 6)
            return kNeedMore;
        const std::size_t length = std::size_t{bytes[4]} << 8 | bytes[5];
        return length < 2 || length > 254 ? kNoFrame : 6 + length;
    }
    case LinkProtocol::ModbusRtu: {
        // No length of its own: the frame ends where the CRC verifies.
        if (n < 4)
            return kNeedMore;
        std::uint16_t crc = 0xFFFF;
        for (std::size_t i = 0; i + 2 < n; ++i) {
            crc = static_cast<std::uint16_t>(crc ^ bytes[i]);
            for (int b = 0; b < 8; ++b)
                crc = static_cast<std::uint16_t>(crc & 1 ? (crc >> 1) ^ 0xA001 : crc >> 1);
            if (i >= 1 && crc == (bytes[i + 1] | bytes[i + 2] << 8))
                return i + 3;
        }
        return n >= kStreamLimit ? kNoFrame : kNeedMore;
    }
    case LinkProtocol::Auto:
        break;
    }
    return kNoFrame;
}

// The length of the RTU frame the buffer begins with, the CRC carried on
// from the bytes scanned before (FrameLength's rule, each byte added once).
std::size_t RtuLengthGathered(StreamBuffer& b)
{
    while (b.crcAt + 2 < b.size) {
        b.crc = static_cast<std::uint16_t>(b.crc ^ b.bytes[b.crcAt]);
        for (int bit = 0; bit < 8; ++bit)
            b.crc = static_cast<std::uint16_t>(b.crc & 1 ? (b.crc >> 1) ^ 0xA001 : b.crc >> 1);
        ++b.crcAt;
        if (b.crcAt >= 2 && b.crc == (b.bytes[b.crcAt] | b.bytes[b.crcAt + 1] << 8))
            return b.crcAt + 2;
    }
    return b.size >= kStreamLimit ? kNoFrame : kNeedMore;
}

// The protocol of the first frame of a link, by its shape; Auto when the
// bytes fit none (or, in a stream, too few have come to tell).
LinkProtocol ShapeOf(Bytes bytes, bool stream)
{
    if (bytes.size() >= 2 && bytes[0] == 0x68 && bytes[1] >= 4
        && (stream || std::size_t{bytes[1]} + 2 <= bytes.size()))
        return LinkProtocol::Iec104;
    if (bytes.size() >= 8 && bytes[2] == 0 && bytes[3] == 0) {
        const std::size_t length = std::size_t{bytes[4]} << 8 | bytes[5];
        if (length >= 2 && length <= 254 && (stream || length + 6 <= bytes.size()))
            return LinkProtocol::ModbusTcp;
    }
    if (!stream && RtuCrcVerifies(bytes))
        return LinkProtocol::ModbusRtu;
    if (stream && bytes.size() >= 4 && FrameLength(LinkProtocol::ModbusRtu, bytes) != kNeedMore
        && FrameLength(LinkProtocol::ModbusRtu, bytes) != kNoFrame)
        return LinkProtocol::ModbusRtu;
    return LinkProtocol::Auto;
}

// Where the next frame may start after a byte that starts none.
std::size_t NextStart(LinkProtocol protocol, Bytes bytes)
{
    if (protocol == LinkProtocol::Iec104) {
        const auto* at = static_cast<const std::uint8_t*>(std::memchr(bytes.data() + 1, 0x68, bytes.size() - 1));
        return at == nullptr ? bytes.size() : static_cast<std::size_t>(at - bytes.data());
    }
    return 1;
}

} // namespace

void CutFrames(LinkProtocol& protocol, StreamBuffer& buffer, Direction direction, std::int64_t timeUs, Bytes bytes,
               bool stream, FrameSink& sink)
{
    if (protocol == LinkProtocol::Auto) {
        // The first bytes decide; in a stream, the bytes gathered so far.
        if (stream && buffer.size > 0) {
            const std::size_t take = std::min(bytes.size(), kStreamLimit - buffer.size);
            std::memcpy(buffer.bytes.data() + buffer.size, bytes.data(), take);
            buffer.size += take;
            bytes = bytes.subspan(take);
            const Bytes gathered(buffer.bytes.data(), buffer.size);
            protocol = ShapeOf(gathered, true);
            if (protocol == LinkProtocol::Auto) {
                if (buffer.size >= kShapeLimit) { // nothing watched starts so
                    sink.Unrecognised();
                    buffer.size = 0;
                }
                if (bytes.empty())
                    return;
                // What did not fit waits for the next chunk.
                CutFrames(protocol, buffer, direction, timeUs, bytes, stream, sink);
                return;
            }
            // The gathered bytes go first, as one chunk.
            std::array<std::uint8_t, kStreamLimit> first = buffer.bytes;
            const std::size_t size = buffer.size;
            buffer.size = 0;
            CutFrames(protocol, buffer, direction, timeUs, Bytes(first.data(), size), true, sink);
            if (!bytes.empty())
                CutFrames(protocol, buffer, direction, timeUs, bytes, true, sink);
            return;
        }
        protocol = ShapeOf(bytes, stream);
        if (protocol == LinkProtocol::Auto) {
            if (stream && bytes.size() < kShapeLimit) {
                std::memcpy(buffer.bytes.data(), bytes.data(), bytes.size());
                buffer.size = bytes.size();
                buffer.crc = 0xFFFF;
                buffer.crcAt = 0;
            } else {
                sink.Unrecognised();
            }
            return;
        }
    }

    if (!stream && protocol == LinkProtocol::ModbusRtu) {
        // A datagram is one RTU frame, its CRC checked with the frame.
        if (bytes.size() >= 4) {
            sink.WholeFrame(direction, timeUs, bytes);
        } else {
            sink.BadFrame(direction, timeUs, true, bytes.size(), bytes, timeUs);
        }
        return;
    }
    // Whole frames straight from the bytes; a part left waits in the buffer.
    while (!bytes.empty()) {
        if (buffer.size > 0) {
            // Complete the frame begun in an earlier chunk, a byte at a time
            // until its length is known.
            const std::size_t take = std::min(bytes.size(), kStreamLimit - buffer.size);
            std::memcpy(buffer.bytes.data() + buffer.size, bytes.data(), take);
            const std::size_t before = buffer.size;
            buffer.size += take;
            const Bytes gathered(buffer.bytes.data(), buffer.size);
            const std::size_t length = protocol == LinkProtocol::ModbusRtu ? RtuLengthGathered(buffer)
                                                                                : FrameLength(protocol, gathered);
            if (length == kNeedMore || (length != kNoFrame && length > buffer.size)) {
                bytes = bytes.subspan(take);
                continue;
            }
            if (length == kNoFrame) {
                // Cannot happen for a buffer begun at a good start but a
                // length that turns out bad: skip its first byte and retry.
                if (!buffer.skipping) {
                    buffer.skipping = true;
                    sink.BadFrame(direction, timeUs, false, 0, {}, 0);
                }
                const std::size_t skip = NextStart(protocol, gathered);
                std::array<std::uint8_t, kStreamLimit> rest{};
                const std::size_t restSize = buffer.size - skip;
                std::memcpy(rest.data(), buffer.bytes.data() + skip, restSize);
                buffer.size = 0;
                bytes = bytes.subspan(take);
                // The rest of the buffer first, then what remains of the chunk.
                if (restSize > 0)
                    CutFrames(protocol, buffer, direction, timeUs, Bytes(rest.data(), restSize), true, sink);
                continue;
            }
            buffer.skipping = false;
            const std::size_t used = length - before; // of this chunk
            buffer.size = 0;
            sink.WholeFrame(direction, timeUs, gathered.first(length));
            bytes = bytes.subspan(used);
            continue;
        }
        const std::size_t length = FrameLength(protocol, bytes);
        if (length == kNoFrame) {
            if (!buffer.skipping) {
                buffer.skipping = true;
                sink.BadFrame(direction, timeUs, false, 0, stream ? Bytes{} : bytes, stream ? 0 : timeUs);
            }
            bytes = bytes.subspan(NextStart(protocol, bytes));
            continue;
        }
        if (length == kNeedMore || length > bytes.size()) {
            if (!stream) {
                // A datagram ends inside its frame.
                sink.BadFrame(direction, timeUs, true, bytes.size(), bytes, timeUs);
                return;
            }
            std::memcpy(buffer.bytes.data(), bytes.data(), bytes.size());
            buffer.size = bytes.size();
            buffer.crc = 0xFFFF;
            buffer.crcAt = 0;
            return;
        }
        buffer.skipping = false;
        sink.WholeFrame(direction, timeUs, bytes.first(length));
        bytes = bytes.subspan(length);
    }
    if (!stream)
        buffer.skipping = false;
}

namespace {

// The supervisor's side of the cutting: frames to the watchers, faults as events.
struct WatchSink final : FrameSink {
    LinkWatch& watch;
    explicit WatchSink(LinkWatch& w) : watch(w) {}
    void WholeFrame(Direction direction, std::int64_t timeUs, Bytes frame) override
    {
        watch.WholeFrame(direction, timeUs, frame);
    }
    void BadFrame(Direction direction, std::int64_t timeUs, bool cut, std::size_t size, Bytes frame,
                  std::int64_t frameUs) override
    {
        LinkSupervisor::Link& link = watch.link;
        link.badFrames += 1;
        watch.Report(EventKind::BadFrame, Severity::Fault, direction, timeUs,
                     cut ? Text(TextId::FrameCut, ProtocolKeyword(link.protocol), size)
                         : Text(TextId::NoFrameStart, ProtocolKeyword(link.protocol)),
                     frame, frameUs);
    }
    void Unrecognised() override { watch.link.unrecognised += 1; }
};

} // namespace

void LinkWatch::Feed(Direction direction, std::int64_t timeUs, Bytes bytes, bool stream)
{
    WatchSink sink(*this);
    CutFrames(link.protocol, link.streams[Index(direction)], direction, timeUs, bytes, stream, sink);
}

void StreamCutter::Feed(Direction direction, Bytes bytes, const std::function<void(Bytes)>& whole)
{
    struct Sink final : FrameSink {
        const std::function<void(Bytes)>& whole;
        explicit Sink(const std::function<void(Bytes)>& w) : whole(w) {}
        void WholeFrame(Direction, std::int64_t, Bytes frame) override { whole(frame); }
        void BadFrame(Direction, std::int64_t, bool, std::size_t, Bytes, std::int64_t) override {}
        void Unrecognised() override {}
    } sink(whole);
    CutFrames(protocol_, buffers_[direction == Direction::ToDevice ? 0 : 1], direction, 0, bytes, true, sink);
}

void LinkWatch::WholeFrame(Direction direction, std::int64_t timeUs, Bytes frame)
{
    link.frames[Index(direction)] += 1;
    if (link.protocol == LinkProtocol::Iec104)
        Iec104Apdu(direction, timeUs, frame);
    else
        ModbusFrame(direction, timeUs, frame);
}

} // namespace analysis
