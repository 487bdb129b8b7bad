#include "platform/PcapngWriter.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescriptionBlock = 1;
constexpr std::uint32_t kEnhancedPacketBlock = 6;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr std::uint16_t kLinkTypeEthernet = 1;
constexpr std::uint32_t kSnapLength = 262144;
constexpr std::size_t kEthernetHeader = 14;
constexpr std::size_t kIpv4Header = 20;
constexpr std::size_t kIpv6Header = 40;
constexpr std::size_t kUdpHeader = 8;
constexpr std::uint8_t kIpProtocolUdp = 17;
constexpr std::uint8_t kTimeToLive = 64;

// Blocks are written in the machine's byte order, which the section's
// byte-order magic tells the reader; the packet headers in network order.
class Bytes {
public:
    void U8(std::uint8_t v) { data_.push_back(v); }
    void U16(std::uint16_t v) { Raw(&v, sizeof(v)); }
    void U32(std::uint32_t v) { Raw(&v, sizeof(v)); }
    void Net16(std::uint16_t v)
    {
        U8(static_cast<std::uint8_t>(v >> 8));
        U8(static_cast<std::uint8_t>(v));
    }
    void Net32(std::uint32_t v)
    {
        Net16(static_cast<std::uint16_t>(v >> 16));
        Net16(static_cast<std::uint16_t>(v));
    }
    void Raw(const void* p, std::size_t n)
    {
        const auto* b = static_cast<const std::uint8_t*>(p);
        data_.insert(data_.end(), b, b + n);
    }
    void PadTo4()
    {
        while (data_.size() % 4 != 0)
            data_.push_back(0);
    }
    void SetU32(std::size_t at, std::uint32_t v) { std::memcpy(data_.data() + at, &v, sizeof(v)); }
    void SetNet16(std::size_t at, std::uint16_t v)
    {
        data_[at] = static_cast<std::uint8_t>(v >> 8);
        data_[at + 1] = static_cast<std::uint8_t>(v);
    }
    [[nodiscard]] std::size_t Size() const { return data_.size(); }
    [[nodiscard]] const std::uint8_t* Data() const { return data_.data(); }

private:
    std::vector<std::uint8_t> data_;
};

// The ones' complement sum of 16-bit words, folded, not yet inverted.
std::uint32_t AddWords(std::uint32_t sum, const std::uint8_t* p, std::size_t n)
{
    for (std::size_t i = 0; i + 1 < n; i += 2)
        sum += static_cast<std::uint32_t>(p[i] << 8 | p[i + 1]);
    if (n % 2 != 0)
        sum += static_cast<std::uint32_t>(p[n - 1] << 8);
    while (sum >> 16 != 0)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return sum;
}

std::uint16_t Checksum(std::uint32_t sum)
{
    return static_cast<std::uint16_t>(~sum & 0xFFFF);
}

// Writes all n bytes at `offset`; false with the reason in `error` when a
// write fails or writes nothing (a full disk: the write before it may have
// been short).
bool WriteAllAt(int fd, std::int64_t offset, const std::uint8_t* bytes, std::size_t n, std::string& error)
{
    std::size_t done = 0;
    while (done < n) {
        const ssize_t written = ::pwrite(fd, bytes + done, n - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = written < 0 ? std::strerror(errno) : "nothing written";
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Ends a block begun at `start`: its total length at both ends.
void EndBlock(Bytes& b, std::size_t start)
{
    const auto total = static_cast<std::uint32_t>(b.Size() - start + 4);
    b.SetU32(start + 4, total);
    b.U32(total);
}

} // namespace

PcapngWriter::~PcapngWriter()
{
    Close();
}

bool PcapngWriter::Open(const std::string& path)
{
    // O_EXCL: an earlier capture is never cut, and a link at the name is
    // never followed (a dangling one neither).
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        nameTaken_ = errno == EEXIST || errno == ELOOP;
        error_ = path + ": " + std::strerror(errno);
        return false;
    }
    nameTaken_ = false;
    Bytes b;
    b.U32(kSectionHeaderBlock);
    b.U32(0);
    b.U32(kByteOrderMagic);
    b.U16(1); // version 1.0
    b.U16(0);
    b.U32(0xFFFFFFFF); // section length not given
    b.U32(0xFFFFFFFF);
    EndBlock(b, 0);
    const std::size_t idb = b.Size();
    b.U32(kInterfaceDescriptionBlock);
    b.U32(0);
    b.U16(kLinkTypeEthernet);
    b.U16(0);
    b.U32(kSnapLength);
    EndBlock(b, idb);
    if (!WriteAllAt(fd, 0, b.Data(), b.Size(), error_)) {
        error_ = path + ": " + error_;
        // The file made here goes again, unless the name has meanwhile come
        // to be another file's.
        struct stat made{};
        struct stat named{};
        if (::fstat(fd, &made) == 0 && ::lstat(path.c_str(), &named) == 0 && made.st_dev == named.st_dev
            && made.st_ino == named.st_ino)
            ::unlink(path.c_str());
        ::close(fd);
        return false;
    }
    Close();
    fd_ = fd;
    end_ = static_cast<std::int64_t>(b.Size());
    torn_ = false;
    return true;
}

void PcapngWriter::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool PcapngWriter::WriteUdp(const Endpoint& from, const Endpoint& to, const std::uint8_t* payload, std::size_t n,
                            std::uint64_t microseconds)
{
    const std::uint8_t source[4] = {static_cast<std::uint8_t>(from.address >> 24),
                                    static_cast<std::uint8_t>(from.address >> 16),
                                    static_cast<std::uint8_t>(from.address >> 8), static_cast<std::uint8_t>(from.address)};
    const std::uint8_t destination[4] = {static_cast<std::uint8_t>(to.address >> 24),
                                         static_cast<std::uint8_t>(to.address >> 16),
                                         static_cast<std::uint8_t>(to.address >> 8), static_cast<std::uint8_t>(to.address)};
    return WriteDatagram(4, source, from.port, destination, to.port, payload, n, microseconds);
}

bool PcapngWriter::WriteUdp6(const Endpoint6& from, const Endpoint6& to, const std::uint8_t* payload, std::size_t n,
                             std::uint64_t microseconds)
{
    return WriteDatagram(16, from.address.data(), from.port, to.address.data(), to.port, payload, n, microseconds);
}

bool PcapngWriter::WriteDatagram(std::size_t addressSize, const std::uint8_t* from, std::uint16_t fromPort,
                                 const std::uint8_t* to, std::uint16_t toPort, const std::uint8_t* payload,
                                 std::size_t n, std::uint64_t microseconds)
{
    const bool six = addressSize == 16;
    if (fd_ < 0) {
        error_ = "no capture file open";
        return false;
    }
    if (n > (six ? kMaxPayload6 : kMaxPayload)) {
        error_ = six ? "datagram too long for one IPv6 packet" : "datagram too long for one IPv4 packet";
        return false;
    }
    const std::size_t udpLength = kUdpHeader + n;
    const std::size_t ipLength = (six ? kIpv6Header : kIpv4Header) + udpLength;
    const std::size_t frameLength = kEthernetHeader + ipLength;

    Bytes b;
    b.U32(kEnhancedPacketBlock);
    b.U32(0);
    b.U32(0); // interface 0
    b.U32(static_cast<std::uint32_t>(microseconds >> 32));
    b.U32(static_cast<std::uint32_t>(microseconds));
    b.U32(static_cast<std::uint32_t>(frameLength));
    b.U32(static_cast<std::uint32_t>(frameLength));

    // Ethernet: zero addresses, IPv4 or IPv6.
    for (int i = 0; i < 12; ++i)
        b.U8(0);
    b.Net16(six ? 0x86DD : 0x0800);

    const std::size_t ip = b.Size();
    if (six) {
        b.Net32(0x60000000); // version 6, no traffic class, no flow label
        b.Net16(static_cast<std::uint16_t>(udpLength));
        b.U8(kIpProtocolUdp);
        b.U8(kTimeToLive);
    } else {
        b.U8(0x45);
        b.U8(0);
        b.Net16(static_cast<std::uint16_t>(ipLength));
        b.Net16(ipIdentification_++);
        b.Net16(0x4000); // don't fragment
        b.U8(kTimeToLive);
        b.U8(kIpProtocolUdp);
        b.Net16(0); // checksum, below
    }
    const std::size_t addresses = b.Size();
    b.Raw(from, addressSize);
    b.Raw(to, addressSize);
    if (!six)
        b.SetNet16(ip + 10, Checksum(AddWords(0, b.Data() + ip, kIpv4Header)));

    const std::size_t udp = b.Size();
    b.Net16(fromPort);
    b.Net16(toPort);
    b.Net16(static_cast<std::uint16_t>(udpLength));
    b.Net16(0); // checksum, below
    if (n != 0)
        b.Raw(payload, n);
    // The UDP checksum covers the pseudo header (addresses, protocol,
    // length), the UDP header and the payload; a sum of 0 is sent as FFFF.
    std::uint32_t sum = AddWords(0, b.Data() + addresses, 2 * addressSize);
    sum += kIpProtocolUdp;
    sum += static_cast<std::uint32_t>(udpLength);
    sum = AddWords(sum, b.Data() + udp, udpLength);
    std::uint16_t udpChecksum = Checksum(sum);
    if (udpChecksum == 0)
        udpChecksum = 0xFFFF;
    b.SetNet16(udp + 6, udpChecksum);

    b.PadTo4();
    EndBlock(b, 0);
    return WriteBlock(b.Data(), b.Size());
}

std::uint64_t PcapngWriter::NowMicroseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000U + static_cast<std::uint64_t>(now.tv_nsec) / 1000U;
}

bool PcapngWriter::WriteBlock(const std::uint8_t* bytes, std::size_t n)
{
    if (torn_) {
        if (::ftruncate(fd_, static_cast<off_t>(end_)) != 0) {
            error_ = std::string("cannot cut back a part block: ") + std::strerror(errno);
            return false;
        }
        torn_ = false;
    }
    if (WriteAllAt(fd_, end_, bytes, n, error_)) {
        end_ += static_cast<std::int64_t>(n);
        return true;
    }
    // What went of the block is cut off; when that fails too, it is cut
    // before the next block.
    torn_ = ::ftruncate(fd_, static_cast<off_t>(end_)) != 0;
    return false;
}
