// libFuzzer target for the send style confirmation: any field texts are
// refused with a message and a field to select, changing nothing, or give a
// schedule within the program's limits: 1 to 4096 copies, a timer of
// whole milliseconds that is on for the loop style and timed sending, and
// a loop range that starts before it ends.
#include "FuzzRequire.h"
#include "udpmon/SendStyleConfirm.h"

#include "frame/HexText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace ostrel;

namespace {

QString Field(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
        return QString::number(input.ConsumeIntegral<std::int64_t>());
    case 1:
        return QString::number(input.ConsumeFloatingPoint<double>(), 'g', 17);
    default: {
        const std::string bytes = input.ConsumeRandomLengthString(40);
        return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    SendSchedule current;
    current.SendStyle = input.ConsumeIntegralInRange<std::uint8_t>(0, 2);
    current.LoopFirst = input.ConsumeIntegralInRange<std::int32_t>(0, 10);
    current.LoopLast = current.LoopFirst + input.ConsumeIntegralInRange<std::int32_t>(1, 10);
    current.LoopLine = current.LoopFirst;
    SendStyleForm form;
    form.style = input.ConsumeIntegralInRange<std::uint8_t>(0, 2);
    form.timed = input.ConsumeBool();
    form.range = input.ConsumeBool();
    form.copies = input.ConsumeBool();
    form.interval = Field(input);
    form.first = Field(input);
    form.last = Field(input);
    form.copiesText = Field(input);

    // The checks made while typing never fail on any text.
    (void)IntervalTextProblem(form.interval);
    if (!PositiveIntegerTextProblem(form.copiesText))
        FUZZ_REQUIRE(!form.copiesText.isEmpty());

    const SendStyleOutcome outcome = ConfirmSendStyle(current, form);
    if (!outcome.accepted) {
        FUZZ_REQUIRE(!outcome.message.isEmpty());
        FUZZ_REQUIRE(outcome.field != SendStyleOutcome::Field::None);
        return 0;
    }
    const SendSchedule& next = outcome.schedule;
    FUZZ_REQUIRE(next.SendStyle == form.style);
    FUZZ_REQUIRE(next.CopiesPerSend >= 1 && static_cast<std::size_t>(next.CopiesPerSend) <= SendBufferLimit);
    FUZZ_REQUIRE(form.copies || next.CopiesPerSend == 1);
    FUZZ_REQUIRE(outcome.timerOn == (form.timed || form.style == 0));
    if (outcome.timerOn) {
        FUZZ_REQUIRE(std::isfinite(next.SendInterval) && next.SendInterval >= 0);
        FUZZ_REQUIRE(outcome.timerMs >= 0);
        FUZZ_REQUIRE(std::abs(static_cast<double>(outcome.timerMs) - next.SendInterval * 1000.0) < 1.0 + next.SendInterval);
    }
    if (form.style == 0 && form.range) {
        FUZZ_REQUIRE(next.LoopFirst >= 0 && next.LoopFirst < next.LoopLast);
        FUZZ_REQUIRE(next.LoopLine == next.LoopFirst);
    } else {
        FUZZ_REQUIRE(next.LoopFirst == current.LoopFirst && next.LoopLast == current.LoopLast);
    }
    (void)SendStylePanelText(next.SendStyle, next.CopiesPerSend);
    return 0;
}
