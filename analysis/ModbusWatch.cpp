// MODBUS/TCP and RTU: requests paired with responses, response times.
#include "analysis/LinkState.h"
#include "analysis/LinkTexts.h"

namespace analysis {

void LinkWatch::ModbusFrame(Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> frame)
{
    (void)direction;
    (void)timeUs;
    (void)frame;
}

void LinkWatch::ModbusTimeOuts(std::int64_t nowUs)
{
    (void)nowUs;
}

} // namespace analysis
