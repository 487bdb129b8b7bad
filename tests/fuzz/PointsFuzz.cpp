// libFuzzer target for the point table: the input is a point list in CSV
// up to the first NUL byte, then a script of frames (a control byte: the
// direction, whether a stream chunk, the protocol chosen; a length; the
// bytes). The list's reader never crashes, keeps nothing from a refused
// list and names a line in its message; every address it keeps reads back
// from its own text. The model never crashes, keeps to its row limit, keeps
// its rows' indices, and each row's marks and texts are made without fault.
#include "FuzzRequire.h"
#include "analysis/Points.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kMaxRows = 64;
constexpr decode::Protocol kProtocols[] = {decode::Protocol::Auto,      decode::Protocol::Iec104,
                                           decode::Protocol::Iec101,    decode::Protocol::ModbusTcp,
                                           decode::Protocol::ModbusRtu, decode::Protocol::Dnp3,
                                           decode::Protocol::Cdt,       decode::Protocol::Auto};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto* end = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const std::size_t csvSize = end ? static_cast<std::size_t>(end - data) : size;
    const std::string_view csv(reinterpret_cast<const char*>(data), csvSize);

    analysis::PointList list;
    std::string error;
    const bool read = list.Read(csv, error);
    if (read) {
        FUZZ_REQUIRE(error.empty());
        for (const analysis::PointListEntry& e : list.Entries()) {
            const auto back = analysis::ParseAddress(e.protocol, e.addressText);
            FUZZ_REQUIRE(back && *back == e.address);
            FUZZ_REQUIRE(list.Find(e.protocol, e.station, e.address) >= 0);
        }
    } else {
        FUZZ_REQUIRE(list.Entries().empty());
        FUZZ_REQUIRE(!error.empty());
        FUZZ_REQUIRE(error.starts_with("第") || error.starts_with("没有标题行"));
    }

    analysis::PointSettings settings;
    settings.maxRows = kMaxRows;
    std::size_t at = csvSize + 1;
    if (at < size)
        settings.protocol = kProtocols[data[at] & 7];
    analysis::PointModel model(settings);
    model.SetList(list);
    std::size_t before = model.Size();
    std::int64_t time = 1'765'000'000'000'000;
    while (at + 2 <= size) {
        const uint8_t control = data[at];
        const std::size_t n = std::min<std::size_t>(data[at + 1], size - at - 2);
        const std::span<const uint8_t> frame(data + at + 2, n);
        at += 2 + n;
        model.Feed(frame, control & 1 ? analysis::Direction::ToDevice : analysis::Direction::FromDevice,
                   time += 1000, control >> 2 & 3, (control & 2) != 0);
        FUZZ_REQUIRE(model.Size() >= before && model.Size() <= kMaxRows);
        before = model.Size();
    }
    std::uint64_t now = 0;
    const auto changed = model.ChangedSince(0, now);
    FUZZ_REQUIRE(changed.size() <= model.Size());
    for (const analysis::PointRow& row : model.Rows()) {
        for (std::size_t c = 0; c < analysis::PointColumns().size(); ++c)
            (void)analysis::PointCell(model, row, c);
        FUZZ_REQUIRE(row.frame.size() <= size);
    }
    const analysis::PointCounts counts = model.Counts();
    FUZZ_REQUIRE(counts.onList + counts.missing == counts.listed);
    (void)analysis::PointsCsv(model);
    (void)analysis::PointsHtml(model, "fuzz");
    return 0;
}
