// libFuzzer target for the hex send plan: any line and any number of copies
// give nothing (empty line), a format error (exactly when the line is not
// frame text), too long (exactly when the copies exceed the send buffer) or
// the frame's bytes repeated back to back.
#include "FuzzRequire.h"
#include "udpmon/SendPlan.h"

#include "frame/HexText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace ostrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::int32_t copies = input.ConsumeBool() ? input.ConsumeIntegralInRange<std::int32_t>(0, 5000)
                                                    : input.ConsumeIntegral<std::int32_t>();
    const std::string typed = input.ConsumeRemainingBytesAsString();
    const std::string_view line = TrimSendLine(typed);

    const HexSendPlan plan = PlanHexSend(line, copies);
    if (line.empty()) {
        FUZZ_REQUIRE(plan.kind == HexSendPlan::Kind::Nothing && plan.buffer.empty());
        return 0;
    }
    const FrameParseResult frame = HexTextToBytes(line);
    if (!frame.ok()) {
        FUZZ_REQUIRE(plan.kind == HexSendPlan::Kind::FormatError && plan.buffer.empty());
        return 0;
    }
    const std::size_t times = copies > 0 ? static_cast<std::size_t>(copies) : 0;
    if (frame.bytes.size() * times > SendBufferLimit) {
        FUZZ_REQUIRE(plan.kind == HexSendPlan::Kind::TooLong && plan.buffer.empty());
        return 0;
    }
    FUZZ_REQUIRE(plan.kind == HexSendPlan::Kind::Send);
    FUZZ_REQUIRE(plan.buffer.size() == frame.bytes.size() * times);
    for (std::size_t i = 0; i < plan.buffer.size(); ++i)
        FUZZ_REQUIRE(plan.buffer[i] == frame.bytes[i % frame.bytes.size()]);
    return 0;
}
