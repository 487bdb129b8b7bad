// Prints our decoders' fields for each hex line on standard input, one field
// per line: frame index, depth, name, offset, length, value, verdict,
// expected, separated by tabs. For the comparisons with an independent
// dissector, which read this output. With "--output tree" it prints instead
// the decode window's text of each line (its red lines are those that say
// "(bad"), frames separated by an empty line.
//   decode_dump [--protocol auto|iec104|iec101|modbustcp|modbusrtu|dnp3|cdt|checksum]
//               [--iec101-sizes LINK,CAUSE,COMMON,OBJECT]
//               [--direction to-device|from-device]  (the device answers)
//               [--device answers|asks]
//               [--last-sent "HEX PAIRS"]  (the last frame sent to the device)
//               [--earlier on]  (the lines before a line are its window's earlier frames)
//               [--output fields|tree]

#include "decode/Decode.h"
#include "decode/Text.h"
#include "frame/HexText.h"

#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

const std::map<std::string_view, decode::Protocol> kProtocols{
    {"auto", decode::Protocol::Auto},
    {"iec104", decode::Protocol::Iec104},
    {"iec101", decode::Protocol::Iec101},
    {"modbustcp", decode::Protocol::ModbusTcp},
    {"modbusrtu", decode::Protocol::ModbusRtu},
    {"dnp3", decode::Protocol::Dnp3},
    {"cdt", decode::Protocol::Cdt},
    {"checksum", decode::Protocol::CheckSum},
};

std::string_view VerdictText(decode::Verdict v)
{
    switch (v) {
    case decode::Verdict::Good: return "good";
    case decode::Verdict::Bad: return "bad";
    case decode::Verdict::None: break;
    }
    return "";
}

// As many earlier frames as the decode window passes.
constexpr std::size_t kEarlierMost = 64;

} // namespace

int main(int argc, char** argv)
{
    decode::Options options;
    bool tree = false;
    bool earlier = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--protocol" && kProtocols.contains(value)) {
            options.protocol = kProtocols.at(value);
        } else if (key == "--direction" && (value == "to-device" || value == "from-device")) {
            options.direction = value == "to-device" ? decode::Direction::ToDevice : decode::Direction::FromDevice;
        } else if (key == "--device" && (value == "answers" || value == "asks")) {
            options.device = value == "asks" ? decode::DeviceRole::Asks : decode::DeviceRole::Answers;
        } else if (key == "--last-sent" && HexTextToBytes(value).ok()) {
            options.lastSent = HexTextToBytes(value).bytes;
        } else if (key == "--earlier" && (value == "on" || value == "off")) {
            earlier = value == "on";
        } else if (key == "--output" && (value == "fields" || value == "tree")) {
            tree = value == "tree";
        } else if (key == "--iec101-sizes") {
            auto& s = options.iec101;
            if (std::sscanf(value.c_str(), "%d,%d,%d,%d", &s.linkAddress, &s.cause,
                            &s.commonAddress, &s.objectAddress) != 4) {
                std::cerr << "decode_dump: bad sizes " << value << '\n';
                return 2;
            }
        } else {
            std::cerr << "decode_dump: unknown option " << key << ' ' << value << '\n';
            return 2;
        }
    }
    std::string line;
    for (int index = 0; std::getline(std::cin, line); ++index) {
        const auto parsed = HexTextToBytes(line);
        if (!parsed.ok()) {
            std::cerr << "decode_dump: line " << index + 1 << " is not hex pairs\n";
            return 2;
        }
        const decode::Decoded decoded = decode::Decode(parsed.bytes, options);
        if (earlier) {
            options.earlier.push_back(parsed.bytes);
            if (options.earlier.size() > kEarlierMost)
                options.earlier.erase(options.earlier.begin());
        }
        if (tree) {
            const decode::TreeText text = decode::RenderTree(decoded);
            if (index > 0)
                std::cout << '\n';
            for (const std::string& l : text.lines)
                std::cout << l << '\n';
            continue;
        }
        for (const auto& f : decoded.fields)
            std::cout << index << '\t' << f.depth << '\t' << f.name << '\t' << f.offset << '\t'
                      << f.length << '\t' << f.value << '\t' << VerdictText(f.verdict) << '\t'
                      << f.expected << '\n';
    }
    return 0;
}
