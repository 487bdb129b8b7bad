// IEC 104: sequence numbers, acknowledgements, handshakes, timers, time tags.
#include "analysis/LinkState.h"
#include "analysis/LinkTexts.h"

namespace analysis {

void LinkWatch::Iec104Apdu(Direction direction, std::int64_t timeUs, std::span<const std::uint8_t> apdu)
{
    (void)direction;
    (void)apdu;
    link.iec.lastFrameUs = timeUs;
}

void LinkWatch::Iec104TimeOuts(std::int64_t nowUs)
{
    (void)nowUs;
}

} // namespace analysis
