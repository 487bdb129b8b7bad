// libFuzzer target for the DNP3 decoder with transport reassembly. The input
// is a window of frames, each a length byte and that many bytes (the last one
// cut where the input ends); the last frame is decoded with the others as
// the frames before it. Beyond not crashing: a field that runs past the frame
// is a bad one, each field's bytes are the frame's bytes at its offset, a bad
// check code's expected value is hex pairs, decoding twice gives the same
// fields, a frame of the DNP3 shape is never reported cut short, and a joined
// fragment is what a receiver would join: one link, a FIR segment first, each
// sequence one more than the one before, a FIN only last.
#include "FuzzRequire.h"

#include "decode/Decode.h"
#include "decode/Dnp3.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace {

bool IsHexPairs(const std::string& text)
{
    if (text.size() % 3 != 2)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = i % 3 == 2 ? c == ' ' : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (!ok)
            return false;
    }
    return true;
}

void CheckFields(decode::Bytes frame, const decode::Fields& fields)
{
    FUZZ_REQUIRE(!fields.empty());
    FUZZ_REQUIRE(fields.front().depth == 0);
    for (const auto& f : fields) {
        FUZZ_REQUIRE(f.depth >= 0 && f.depth <= 2);
        FUZZ_REQUIRE(!f.name.empty() && f.def != nullptr);
        const bool inside = f.offset <= frame.size() && f.length <= frame.size() - f.offset;
        // only a bad field, or a part whose rest a later frame carries or the cut frame lost, runs past it
        const bool continues = f.value.ends_with("the rest in a later frame")
            || f.value.ends_with("bytes before the frame's end");
        FUZZ_REQUIRE(inside || f.verdict == decode::Verdict::Bad || continues);
        const std::size_t begin = std::min(f.offset, frame.size());
        const std::size_t size = std::min(f.length, frame.size() - begin);
        FUZZ_REQUIRE(f.raw.size() == size);
        FUZZ_REQUIRE(size == 0 || std::memcmp(f.raw.data(), frame.data() + begin, size) == 0);
        FUZZ_REQUIRE(f.expected.empty() || (f.verdict == decode::Verdict::Bad && IsHexPairs(f.expected)));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::vector<uint8_t>> window;
    for (std::size_t at = 0; at < size;) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        window.emplace_back(data + at + 1, data + at + 1 + length);
        at += 1 + length;
    }
    if (window.empty())
        return 0;
    const std::vector<uint8_t> frame = window.back();
    window.pop_back();

    decode::Options options;
    options.protocol = decode::Protocol::Dnp3;
    options.earlier = window;
    decode::Fields fields;
    try {
        fields = decode::Decode(frame, options).fields;
    } catch (...) {
        FUZZ_REQUIRE(!"the decoder threw");
    }
    CheckFields(frame, fields);
    FUZZ_REQUIRE(decode::Decode(frame, options).fields == fields);
    if (decode::ShapeDnp3(frame))
        FUZZ_REQUIRE(std::ranges::none_of(fields, [](const auto& f) { return f.value.starts_with("truncated"); }));

    // the frame alone, as the single-frame decoder reads it
    const auto alone = decode::DecodeDnp3(frame);
    CheckFields(frame, alone);

    const auto fragment = decode::dnp3::Reassemble(window, frame);
    if (fragment) {
        const auto& segs = fragment->segments;
        FUZZ_REQUIRE(!segs.empty() && fragment->frames.size() + 1 == segs.size());
        FUZZ_REQUIRE(fragment->final == segs.back().Final());
        if (segs.size() > 1) {
            FUZZ_REQUIRE(fragment->first && segs.front().First());
            for (std::size_t i = 1; i < segs.size(); ++i) {
                FUZZ_REQUIRE(!segs[i].First() && !segs[i - 1].Final());
                FUZZ_REQUIRE(segs[i].Sequence() == (segs[i - 1].Sequence() + 1) % 64);
                FUZZ_REQUIRE(segs[i].source == segs[0].source && segs[i].destination == segs[0].destination);
                FUZZ_REQUIRE(i + 1 == segs.size() || fragment->frames[i] > fragment->frames[i - 1]);
            }
        }
        for (const auto& s : segs)
            FUZZ_REQUIRE(s.bytes.size() == s.offsets.size() && s.bytes.size() == s.verified.size());
    }
    return 0;
}
