// The decode window's work on one frame, decoding it and writing its tree,
// with the Chinese translator the window passes (monitor::PlainTranslation,
// the embedded decode_zh_CN translation installed) and without a translator
// (English), over every frame of the decoders' test corpus and a few sum
// frames, by protocol. Prints the microseconds per frame of each and their
// ratio; asserts nothing.
//
// Usage: decode_bench [ROUNDS]   (each frame decoded ROUNDS times, default 200)

#include "decode/Decode.h"
#include "decode/Text.h"
#include "frame/HexText.h"
#include "monitor/Language.h"
#include "monitor/PlainTranslator.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Frame {
    std::vector<uint8_t> bytes;
    decode::IecSizes sizes;
};

// The corpus's frames by file, each with the IEC 101 sizes of its "# sizes" line.
std::map<std::string, std::vector<Frame>> ReadCorpus()
{
    std::map<std::string, std::vector<Frame>> sets;
    for (const auto& entry : std::filesystem::directory_iterator(TELEMON_DECODE_CORPUS)) {
        std::ifstream in(entry.path());
        decode::IecSizes sizes;
        auto& frames = sets[entry.path().stem().string()];
        for (std::string line; std::getline(in, line);) {
            decode::IecSizes s;
            if (std::sscanf(line.c_str(), "# sizes %d,%d,%d,%d", &s.linkAddress, &s.cause, &s.commonAddress,
                            &s.objectAddress) == 4)
                sizes = s;
            if (line.empty() || line[0] == '#')
                continue;
            const auto parsed = HexTextToBytes(line);
            if (parsed.ok() && !parsed.bytes.empty())
                frames.push_back({parsed.bytes, sizes});
        }
    }
    for (const char* sum : {"01 02 03 06", "01 02 03 F9", "68 05 05 68 01 02 03 04 05 0F 16"})
        sets["sum"].push_back({HexTextToBytes(sum).bytes, {}});
    return sets;
}

// Microseconds per frame of decoding and writing the tree of every frame
// `rounds` times; `lines` counts the tree's lines, so that the work is kept.
double MicrosPerFrame(const std::vector<Frame>& frames, int rounds, decode::Translator translate, std::size_t& lines)
{
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        for (const Frame& f : frames) {
            decode::Options options;
            options.iec101 = f.sizes;
            options.translate = translate;
            lines += decode::RenderTree(decode::Decode(f.bytes, options), translate).lines.size();
        }
    }
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / (static_cast<double>(rounds) * static_cast<double>(frames.size()));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const QStringList loaded = monitor::InstallTranslations(app, monitor::Language::Chinese);
    std::printf("translations: %s\n", loaded.join(", ").toUtf8().constData());
    const auto sets = ReadCorpus();
    std::size_t lines = 0;
    double allPlain = 0, allTranslated = 0;
    std::size_t allFrames = 0;
    std::printf("%-18s %7s %14s %14s %7s\n", "corpus", "frames", "English us/fr", "Chinese us/fr", "ratio");
    for (const auto& [name, frames] : sets) {
        // one warming round each, then the measured ones
        MicrosPerFrame(frames, 1, nullptr, lines);
        MicrosPerFrame(frames, 1, &monitor::PlainTranslation, lines);
        const double plain = MicrosPerFrame(frames, rounds, nullptr, lines);
        const double translated = MicrosPerFrame(frames, rounds, &monitor::PlainTranslation, lines);
        std::printf("%-18s %7zu %14.2f %14.2f %7.2f\n", name.c_str(), frames.size(), plain, translated, translated / plain);
        allPlain += plain * static_cast<double>(frames.size());
        allTranslated += translated * static_cast<double>(frames.size());
        allFrames += frames.size();
    }
    std::printf("%-18s %7zu %14.2f %14.2f %7.2f\n", "all", allFrames, allPlain / static_cast<double>(allFrames),
                allTranslated / static_cast<double>(allFrames), allTranslated / allPlain);
    std::printf("(%d rounds, %zu tree lines written)\n", rounds, lines);
    return 0;
}
