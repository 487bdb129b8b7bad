#pragma once

#include "analysis/LinkEvents.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

// Cutting what a link carries into the frames of its protocol: APDUs (68 L
// ...) and MBAP frames by their lengths, RTU frames where the CRC over the
// bytes gathered verifies; the protocol chosen by the first frame's shape
// where it is not set. The link supervisor and the point table read their
// links through it.

namespace analysis {

inline constexpr std::size_t kStreamLimit = 260; // the longest frame watched (an MBAP frame)

// Part of a frame a stream has delivered so far, one per direction.
struct StreamBuffer {
    std::array<std::uint8_t, kStreamLimit> bytes{};
    std::size_t size = 0;
    bool skipping = false; // bytes that start no frame are being skipped (reported once)
    // RTU: the CRC of bytes [0, crcAt), so that each byte that comes is added once.
    std::uint16_t crc = 0xFFFF;
    std::size_t crcAt = 0;
};

// What the cutting finds, told as it is found.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // A whole frame of the link's protocol.
    virtual void WholeFrame(Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> frame) = 0;
    // Bytes that start no frame (`cut` false; reported once until a frame
    // starts again), or a datagram that ends inside its frame (`cut` true,
    // `size` its bytes). `frame` is the datagram where there is one.
    virtual void BadFrame(Direction direction, std::int64_t timeUs, bool cut, std::size_t size,
                          std::span<const std::uint8_t> frame, std::int64_t frameUs) = 0;
    // Bytes of no watched shape, given up.
    virtual void Unrecognised() = 0;
};

// Cuts `bytes` (a datagram, or with `stream` a chunk of a stream) into the
// frames of `protocol`, choosing it by shape while it is Auto; a part of a
// frame left waits in `buffer` (that direction's) for the next chunk.
void CutFrames(LinkProtocol& protocol, StreamBuffer& buffer, Direction direction, std::int64_t timeUs,
               std::span<const std::uint8_t> bytes, bool stream, FrameSink& sink);

// One link's cutting both ways, for a reader that needs nothing else of it
// (bad bytes are skipped silently).
class StreamCutter {
public:
    [[nodiscard]] LinkProtocol Protocol() const { return protocol_; }
    void SetProtocol(LinkProtocol protocol) { protocol_ = protocol; }
    // A chunk of the stream going `direction`: each whole frame to `whole`.
    void Feed(Direction direction, std::span<const std::uint8_t> bytes,
              const std::function<void(std::span<const std::uint8_t>)>& whole);

private:
    LinkProtocol protocol_ = LinkProtocol::Auto;
    std::array<StreamBuffer, 2> buffers_{};
};

} // namespace analysis
