#include "platform/PcapngWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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
}

} // namespace
