// Cutting what a link carries into frames, and the choice of its protocol.
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

void LinkWatch::Feed(Direction direction, std::int64_t timeUs, Bytes bytes, bool stream)
{
    const std::size_t d = Index(direction);
    StreamBuffer& buffer = link.streams[d];
    if (link.protocol == LinkProtocol::Auto) {
        // The first bytes decide; in a stream, the bytes gathered so far.
        if (stream && buffer.size > 0) {
            const std::size_t take = std::min(bytes.size(), kStreamLimit - buffer.size);
            std::memcpy(buffer.bytes.data() + buffer.size, bytes.data(), take);
            buffer.size += take;
            bytes = bytes.subspan(take);
            const Bytes gathered(buffer.bytes.data(), buffer.size);
            link.protocol = ShapeOf(gathered, true);
            if (link.protocol == LinkProtocol::Auto) {
                if (buffer.size >= kShapeLimit) { // nothing watched starts so
                    link.unrecognised += 1;
                    buffer.size = 0;
                }
                if (bytes.empty())
                    return;
                // What did not fit waits for the next chunk.
                Feed(direction, timeUs, bytes, stream);
                return;
            }
            // The gathered bytes go first, as one chunk.
            std::array<std::uint8_t, kStreamLimit> first = buffer.bytes;
            const std::size_t size = buffer.size;
            buffer.size = 0;
            Feed(direction, timeUs, Bytes(first.data(), size), true);
            if (!bytes.empty())
                Feed(direction, timeUs, bytes, true);
            return;
        }
        link.protocol = ShapeOf(bytes, stream);
        if (link.protocol == LinkProtocol::Auto) {
            if (stream && bytes.size() < kShapeLimit) {
                std::memcpy(buffer.bytes.data(), bytes.data(), bytes.size());
                buffer.size = bytes.size();
                buffer.crc = 0xFFFF;
                buffer.crcAt = 0;
            } else {
                link.unrecognised += 1;
            }
            return;
        }
    }

    if (!stream && link.protocol == LinkProtocol::ModbusRtu) {
        // A datagram is one RTU frame, its CRC checked with the frame.
        if (bytes.size() >= 4) {
            WholeFrame(direction, timeUs, bytes);
        } else {
            link.badFrames += 1;
            Report(EventKind::BadFrame, Severity::Fault, direction, timeUs,
                   Text(TextId::FrameCut, ProtocolKeyword(link.protocol), bytes.size()), bytes, timeUs);
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
            const std::size_t length = link.protocol == LinkProtocol::ModbusRtu ? RtuLengthGathered(buffer)
                                                                                : FrameLength(link.protocol, gathered);
            if (length == kNeedMore || (length != kNoFrame && length > buffer.size)) {
                bytes = bytes.subspan(take);
                continue;
            }
            if (length == kNoFrame) {
                // Cannot happen for a buffer begun at a good start but a
                // length that turns out bad: skip its first byte and retry.
                if (!buffer.skipping) {
                    buffer.skipping = true;
                    link.badFrames += 1;
                    Report(EventKind::BadFrame, Severity::Fault, direction, timeUs,
                           Text(TextId::NoFrameStart, ProtocolKeyword(link.protocol)));
                }
                const std::size_t skip = NextStart(link.protocol, gathered);
                std::array<std::uint8_t, kStreamLimit> rest{};
                const std::size_t restSize = buffer.size - skip;
                std::memcpy(rest.data(), buffer.bytes.data() + skip, restSize);
                buffer.size = 0;
                bytes = bytes.subspan(take);
                // The rest of the buffer first, then what remains of the chunk.
                if (restSize > 0)
                    Feed(direction, timeUs, Bytes(rest.data(), restSize), true);
                continue;
            }
            buffer.skipping = false;
            const std::size_t used = length - before; // of this chunk
            buffer.size = 0;
            WholeFrame(direction, timeUs, gathered.first(length));
            bytes = bytes.subspan(used);
            continue;
        }
        const std::size_t length = FrameLength(link.protocol, bytes);
        if (length == kNoFrame) {
            if (!buffer.skipping) {
                buffer.skipping = true;
                link.badFrames += 1;
                Report(EventKind::BadFrame, Severity::Fault, direction, timeUs,
                       Text(TextId::NoFrameStart, ProtocolKeyword(link.protocol)),
                       stream ? Bytes{} : bytes, stream ? 0 : timeUs);
            }
            bytes = bytes.subspan(NextStart(link.protocol, bytes));
            continue;
        }
        if (length == kNeedMore || length > bytes.size()) {
            if (!stream) {
                // A datagram ends inside its frame.
                link.badFrames += 1;
                Report(EventKind::BadFrame, Severity::Fault, direction, timeUs,
                       Text(TextId::FrameCut, ProtocolKeyword(link.protocol), bytes.size()), bytes, timeUs);
                return;
            }
            std::memcpy(buffer.bytes.data(), bytes.data(), bytes.size());
            buffer.size = bytes.size();
            buffer.crc = 0xFFFF;
            buffer.crcAt = 0;
            return;
        }
        buffer.skipping = false;
        WholeFrame(direction, timeUs, bytes.first(length));
        bytes = bytes.subspan(length);
    }
    if (!stream)
        buffer.skipping = false;
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
