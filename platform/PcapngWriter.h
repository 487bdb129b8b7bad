#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// A packet capture file in the pcapng format that protocol analysers read:
// one section, one Ethernet interface (time stamps in microseconds, the
// format's default), and one enhanced packet block per UDP datagram, with
// Ethernet, IPv4 or IPv6, and UDP headers made up around the payload
// (lengths and checksums correct, zero hardware addresses).
//
// Every block goes to the file in one write, straight to the system (no
// buffer in the process): a process killed at any moment leaves a file that
// ends with a whole block, the one being written at most missing. A write
// that falls short (a full disk) or fails is cut back to the end of the last
// whole block, so a block is in the file whole or not at all and the blocks
// written once there is room again are read like the others. Plain C++ and
// POSIX; not thread-safe.
class PcapngWriter final {
public:
    // An IPv4 address and port, both in host byte order.
    struct Endpoint {
        std::uint32_t address = 0;
        std::uint16_t port = 0;
    };

    // An IPv6 address (network byte order) and port (host byte order).
    struct Endpoint6 {
        std::array<std::uint8_t, 16> address{};
        std::uint16_t port = 0;
    };

    // The largest payload one IPv4 datagram carries.
    static constexpr std::size_t kMaxPayload = 65507;
    // The largest payload one IPv6 datagram carries (no jumbograms).
    static constexpr std::size_t kMaxPayload6 = 65527;

    PcapngWriter() = default;
    ~PcapngWriter();
    PcapngWriter(const PcapngWriter&) = delete;
    PcapngWriter& operator=(const PcapngWriter&) = delete;

    // Creates the file and writes the section and interface blocks; a name
    // that exists (a file, or a symbolic link, which is never followed) is
    // left alone. False, with the reason in Error() and NameTaken() when the
    // name exists, when the file cannot be made or written (a file made but
    // not written is removed); the file open before is closed once the new
    // one is made, and stays open when it cannot be.
    [[nodiscard]] bool Open(const std::string& path);
    void Close();
    [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }
    [[nodiscard]] const std::string& Error() const { return error_; }
    // Whether the last Open failed because the name exists.
    [[nodiscard]] bool NameTaken() const { return nameTaken_; }

    // One datagram, time-stamped in microseconds since 1970. False (reason
    // in Error()) when the file is not open, the payload is longer than
    // kMaxPayload, or the write failed (nothing of the block is left in the
    // file then).
    [[nodiscard]] bool WriteUdp(const Endpoint& from, const Endpoint& to, const std::uint8_t* payload, std::size_t n,
                                std::uint64_t microseconds);
    // The same for an IPv6 datagram (at most kMaxPayload6 bytes).
    [[nodiscard]] bool WriteUdp6(const Endpoint6& from, const Endpoint6& to, const std::uint8_t* payload,
                                 std::size_t n, std::uint64_t microseconds);

    // The present time in microseconds since 1970.
    [[nodiscard]] static std::uint64_t NowMicroseconds();

private:
    // One datagram between addresses of 4 (IPv4) or 16 bytes (IPv6).
    bool WriteDatagram(std::size_t addressSize, const std::uint8_t* from, std::uint16_t fromPort,
                       const std::uint8_t* to, std::uint16_t toPort, const std::uint8_t* payload, std::size_t n,
                       std::uint64_t microseconds);
    bool WriteBlock(const std::uint8_t* bytes, std::size_t n);

    int fd_ = -1;
    // The end of the last whole block, where the next one is written.
    std::int64_t end_ = 0;
    // A block that failed may have left part of itself after end_.
    bool torn_ = false;
    bool nameTaken_ = false;
    std::uint16_t ipIdentification_ = 0;
    std::string error_;
};
