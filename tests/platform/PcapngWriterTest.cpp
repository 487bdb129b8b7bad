#include "platform/PcapngWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <csignal>

#include <sys/resource.h>
#include <unistd.h>

namespace {

struct Datagram {
    PcapngWriter::Endpoint from;
    PcapngWriter::Endpoint to;
    std::vector<std::uint8_t> payload;
};

std::string TempPath(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string(name) + "-" + std::to_string(::getpid()) + ".pcapng")).string();
}

// tshark's view of each frame, one line each: the fields asked for, tab
// separated, with the checksums checked (a wrong one makes an expert note).
std::vector<std::string> TsharkLines(const std::string& file, const std::string& fields)
{
    const std::string command = "/usr/bin/tshark -n -o ip.check_checksum:TRUE -o udp.check_checksum:TRUE -r '" + file
        + "' -T fields -E separator=/t " + fields + " 2>/dev/null";
    std::vector<std::string> lines;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return lines;
    std::string line;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(static_cast<char>(c));
        }
    }
    ::pclose(pipe);
    return lines;
}

std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    char pair[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(pair, sizeof(pair), "%02x", b);
        text += pair;
    }
    return text;
}

// Datagrams of every padding remainder, an empty one and the largest one go
// through the writer and come back from the independent reader as they went
// in, with no checksum or length found wrong.
TEST(PcapngWriter, AnalyserReadsEveryDatagramBackWithGoodChecksums)
{
    std::vector<std::uint8_t> largest(PcapngWriter::kMaxPayload);
    for (std::size_t i = 0; i < largest.size(); ++i)
        largest[i] = static_cast<std::uint8_t>(i * 7);
    const std::vector<Datagram> datagrams = {
        {{0x7F000001, 40000}, {0x7F000001, 1888}, {0x01, 0x03}},
        {{0x7F000001, 1888}, {0x7F000002, 1889}, {0x05}},
        {{0xC0A80001, 65535}, {0x0A000001, 1}, {0x68, 0x0A, 0x0A}},
        {{0x7F000001, 5}, {0x7F000001, 6}, {0xFF, 0xFF, 0xFF, 0xFF, 0x00}},
        {{0x7F000001, 7}, {0x7F000001, 8}, {}},
        {{0x7F000001, 9}, {0x7F000001, 10}, largest},
    };
    const std::string file = TempPath("pcapng-writer");
    PcapngWriter writer;
    ASSERT_TRUE(writer.Open(file)) << writer.Error();
    std::uint64_t time = 1700000000123456U;
    for (const Datagram& d : datagrams)
        ASSERT_TRUE(writer.WriteUdp(d.from, d.to, d.payload.data(), d.payload.size(), time++)) << writer.Error();
    writer.Close();

    const std::vector<std::string> lines = TsharkLines(
        file, "-e frame.time_epoch -e ip.src -e ip.dst -e udp.srcport -e udp.dstport -e udp.length -e data.data -e _ws.expert");
    std::filesystem::remove(file);
    ASSERT_EQ(lines.size(), datagrams.size());
    const auto dotted = [](std::uint32_t a) {
        return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 0xFF) + "." + std::to_string((a >> 8) & 0xFF)
            + "." + std::to_string(a & 0xFF);
    };
    for (std::size_t k = 0; k < datagrams.size(); ++k) {
        const Datagram& d = datagrams[k];
        const std::string expected = "1700000000." + std::to_string(123456 + k) + "000\t" + dotted(d.from.address)
            + "\t" + dotted(d.to.address) + "\t" + std::to_string(d.from.port) + "\t" + std::to_string(d.to.port) + "\t"
            + std::to_string(8 + d.payload.size()) + "\t" + Hex(d.payload) + "\t";
        EXPECT_EQ(lines[k], expected) << "datagram " << k;
    }
}

// IPv6 datagrams among IPv4 ones in one file: each read back by the
// independent reader in its own family, with its addresses (a group among
// them), ports and payload, no checksum or length found wrong (odd and
// empty payloads, the largest one); one byte more than the largest is
// refused and leaves the file as it was.
TEST(PcapngWriter, IPv6DatagramsReadBackAsIPv6)
{
    const auto six = [](std::initializer_list<std::uint8_t> head, std::uint8_t last) {
        std::array<std::uint8_t, 16> address{};
        std::copy(head.begin(), head.end(), address.begin());
        address[15] = last;
        return address;
    };
    const auto loopback = six({}, 1);
    const auto group = six({0xFF, 0x15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x31, 0}, 3);
    const auto site = six({0xFD, 0x31}, 0x22);
    std::vector<std::uint8_t> largest(PcapngWriter::kMaxPayload6);
    for (std::size_t i = 0; i < largest.size(); ++i)
        largest[i] = static_cast<std::uint8_t>(i * 13);
    struct Row {
        bool v6;
        PcapngWriter::Endpoint6 from6, to6;
        PcapngWriter::Endpoint from, to;
        std::vector<std::uint8_t> payload;
        const char* expected; // source, destination, ports, UDP length (payload apart)
    };
    const std::vector<Row> rows = {
        {true, {loopback, 40000}, {loopback, 1888}, {}, {}, {0x01, 0x03, 0x00}, "\t::1\t\t::1\t40000\t1888\t11"},
        {false, {}, {}, {0x7F000001, 5}, {0xEFFF1F01, 6}, {0x68}, "127.0.0.1\t\t239.255.31.1\t\t5\t6\t9"},
        {true, {site, 65535}, {group, 1}, {}, {}, {}, "\tfd31::22\t\tff15::31:3\t65535\t1\t8"},
        {true, {loopback, 9}, {site, 10}, {}, {}, largest, "\t::1\t\tfd31::22\t9\t10\t65535"},
    };
    const std::string file = TempPath("pcapng-six");
    PcapngWriter writer;
    ASSERT_TRUE(writer.Open(file)) << writer.Error();
    for (const Row& r : rows) {
        ASSERT_TRUE(r.v6 ? writer.WriteUdp6(r.from6, r.to6, r.payload.data(), r.payload.size(), 1)
                         : writer.WriteUdp(r.from, r.to, r.payload.data(), r.payload.size(), 1))
            << writer.Error();
    }
    const std::vector<std::uint8_t> tooLong(PcapngWriter::kMaxPayload6 + 1);
    const std::uintmax_t before = std::filesystem::file_size(file);
    EXPECT_FALSE(writer.WriteUdp6({loopback, 1}, {loopback, 2}, tooLong.data(), tooLong.size(), 1));
    EXPECT_EQ(std::filesystem::file_size(file), before);
    writer.Close();

    const std::vector<std::string> lines = TsharkLines(file, "-e ip.src -e ipv6.src -e ip.dst -e ipv6.dst -e udp.srcport "
                                                             "-e udp.dstport -e udp.length -e data.data -e _ws.expert");
    std::filesystem::remove(file);
    ASSERT_EQ(lines.size(), rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k)
        EXPECT_EQ(lines[k], std::string(rows[k].expected) + "\t" + Hex(rows[k].payload) + "\t") << "datagram " << k;
}

// A payload too long for IPv4 is refused without touching the file; a file
// that cannot be made says why.
TEST(PcapngWriter, RefusesWhatOneFileCannotHold)
{
    const std::string file = TempPath("pcapng-refused");
    PcapngWriter writer;
    EXPECT_FALSE(writer.WriteUdp({}, {}, nullptr, 0, 0));
    ASSERT_TRUE(writer.Open(file)) << writer.Error();
    const std::vector<std::uint8_t> tooLong(PcapngWriter::kMaxPayload + 1);
    const std::uintmax_t before = std::filesystem::file_size(file);
    EXPECT_FALSE(writer.WriteUdp({1, 1}, {2, 2}, tooLong.data(), tooLong.size(), 0));
    EXPECT_EQ(std::filesystem::file_size(file), before);
    writer.Close();
    std::filesystem::remove(file);

    EXPECT_FALSE(writer.Open("/nonexistent-folder/x.pcapng"));
    EXPECT_NE(writer.Error().find("/nonexistent-folder/x.pcapng"), std::string::npos) << writer.Error();
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.NameTaken());
}

// A name that exists, as a file or as a symbolic link (also one to nowhere),
// is never written to or through; the file open before stays open.
TEST(PcapngWriter, NeverOpensANameThatExists)
{
    const std::string file = TempPath("pcapng-taken");
    const std::string target = TempPath("pcapng-target");
    const std::string link = TempPath("pcapng-link");
    const std::string dangling = TempPath("pcapng-dangling");
    const std::string open = TempPath("pcapng-open");
    for (const std::string& name : {file, target}) {
        FILE* f = std::fopen(name.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("earlier capture", f);
        std::fclose(f);
    }
    std::filesystem::create_symlink(target, link);
    std::filesystem::create_symlink(target + ".none", dangling);
    PcapngWriter writer;
    ASSERT_TRUE(writer.Open(open)) << writer.Error();
    for (const std::string& name : {file, link, dangling}) {
        EXPECT_FALSE(writer.Open(name)) << name;
        EXPECT_TRUE(writer.NameTaken()) << name;
        EXPECT_TRUE(writer.IsOpen());
    }
    EXPECT_EQ(std::filesystem::file_size(file), 15U);
    EXPECT_EQ(std::filesystem::file_size(target), 15U);
    EXPECT_FALSE(std::filesystem::exists(target + ".none"));
    EXPECT_TRUE(writer.WriteUdp({1, 1}, {2, 2}, nullptr, 0, 0)) << writer.Error();
    writer.Close();
    EXPECT_GT(std::filesystem::file_size(open), 0U);
    for (const std::string& name : {file, target, link, dangling, open})
        std::filesystem::remove(name);
}

// The file size limit stands in for a full disk: a write past it is cut
// short, the next one fails at once. Each block is then in the file whole or
// not at all, so what is written after the space returns is read, and a file
// whose first blocks cannot be written is not left behind.
TEST(PcapngWriter, BlockWholeOrNotAtAllWhenTheDiskIsFull)
{
    struct FileSizeLimit {
        rlimit before{};
        sighandler_t handler = std::signal(SIGXFSZ, SIG_IGN);
        FileSizeLimit() { ::getrlimit(RLIMIT_FSIZE, &before); }
        void Set(rlim_t bytes) const
        {
            rlimit limit = before;
            limit.rlim_cur = bytes;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ~FileSizeLimit()
        {
            ::setrlimit(RLIMIT_FSIZE, &before);
            std::signal(SIGXFSZ, handler);
        }
    } limit;
    const std::string file = TempPath("pcapng-full");
    PcapngWriter writer;
    limit.Set(40);
    EXPECT_FALSE(writer.Open(file));
    EXPECT_FALSE(std::filesystem::exists(file));
    limit.Set(RLIM_INFINITY);

    ASSERT_TRUE(writer.Open(file)) << writer.Error();
    std::vector<std::uint8_t> payload(100);
    std::vector<std::string> written;
    std::uint64_t time = 1700000000000000U;
    const auto write = [&](std::uint8_t mark) {
        payload[0] = mark;
        const bool ok = writer.WriteUdp({1, 1}, {2, 2}, payload.data(), payload.size(), time++);
        if (ok)
            written.push_back(Hex(payload));
        return ok;
    };
    ASSERT_TRUE(write(1));
    ASSERT_TRUE(write(2));
    const std::uintmax_t whole = std::filesystem::file_size(file);
    limit.Set(whole + 50);
    EXPECT_FALSE(write(3)); // 50 bytes fit
    EXPECT_EQ(std::filesystem::file_size(file), whole);
    EXPECT_FALSE(write(4)); // none fit
    EXPECT_EQ(std::filesystem::file_size(file), whole);
    limit.Set(RLIM_INFINITY);
    EXPECT_TRUE(write(5)) << writer.Error();
    EXPECT_TRUE(write(6)) << writer.Error();
    writer.Close();

    const std::vector<std::string> lines = TsharkLines(file, "-e data.data -e _ws.expert");
    std::filesystem::remove(file);
    ASSERT_EQ(lines.size(), written.size());
    for (std::size_t k = 0; k < written.size(); ++k)
        EXPECT_EQ(lines[k], written[k] + "\t") << "datagram " << k;
}

} // namespace
