// MODBUS/TCP and RTU: requests paired with responses, response times.
#include "analysis/LinkState.h"
#include "analysis/LinkTexts.h"

#include "frame/Crc.h"

#include <algorithm>

namespace analysis {

namespace {

using Bytes = std::span<const std::uint8_t>;

std::string RequestText(const ModbusRequestKept& r, bool tcp)
{
    return tcp ? Text(TextId::RequestTcp, r.function, r.unit, r.transaction)
               : Text(TextId::Request, r.function, r.unit);
}

std::string HexWord(unsigned value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4)
        out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return out;
}

Bytes KeptBytes(const ModbusRequestKept& r)
{
    return Bytes(r.bytes.data(), r.size);
}

} // namespace

void LinkWatch::ModbusFrame(Direction direction, std::int64_t timeUs, Bytes frame)
{
    ModbusState& m = link.modbus;
    const bool tcp = link.protocol == LinkProtocol::ModbusTcp;
    if (!tcp) {
        const std::size_t n = frame.size();
        const unsigned expected = CrcModbus(frame.first(n - 2));
        const unsigned carried = frame[n - 2] | frame[n - 1] << 8;
        if (expected != carried) {
            ++link.badFrames;
            Report(EventKind::BadFrame, Severity::Fault, direction, timeUs,
                   Text(TextId::BadCrc, HexWord(carried), HexWord(expected)), frame, timeUs);
            return;
        }
    }
    const std::size_t at = tcp ? 6 : 0;
    ModbusRequestKept seen;
    seen.sinceUs = timeUs;
    seen.transaction = tcp ? static_cast<std::uint16_t>(frame[0] << 8 | frame[1]) : 0;
    seen.unit = frame[at];
    seen.function = frame[at + 1];
    const bool request = (direction == Direction::ToDevice) != (link.device == decode::DeviceRole::Asks);

    if (request) {
        ++m.summary.requests;
        if (!tcp && !m.outstanding.empty()) {
            // One request at a time: a new one ends the wait of the last.
            const ModbusRequestKept last = m.outstanding.front();
            m.outstanding.clear();
            ++m.summary.noResponse;
            m.timedOut[m.timedOutCount++ % kTimedOutKept] = last;
            Report(EventKind::NoResponse, Severity::Fault, direction, timeUs,
                   Text(TextId::NoResponseNext, RequestText(last, tcp), DurationText(timeUs - last.sinceUs)),
                   KeptBytes(last), last.sinceUs);
        }
        if (!tcp && seen.unit == 0)
            return; // a broadcast: no one answers
        if (tcp) {
            const auto same = std::find_if(m.outstanding.begin(), m.outstanding.end(), [&](const auto& r) {
                return r.transaction == seen.transaction;
            });
            if (same != m.outstanding.end()) {
                Report(EventKind::Duplicate, Severity::Warning, direction, timeUs,
                       Text(TextId::DuplicateRequest, RequestText(*same, tcp)), frame, timeUs);
                m.outstanding.erase(same);
            } else if (m.outstanding.size() >= kModbusOutstanding) {
                const ModbusRequestKept oldest = m.outstanding.front();
                m.outstanding.erase(m.outstanding.begin());
                ++m.summary.noResponse;
                m.timedOut[m.timedOutCount++ % kTimedOutKept] = oldest;
                Report(EventKind::NoResponse, Severity::Fault, direction, timeUs,
                       Text(TextId::NoResponse, RequestText(oldest, tcp), DurationText(timeUs - oldest.sinceUs)),
                       KeptBytes(oldest), oldest.sinceUs);
            }
        }
        if (frame.size() <= kModbusKeptBytes) {
            seen.size = static_cast<std::uint8_t>(frame.size());
            std::copy(frame.begin(), frame.end(), seen.bytes.begin());
        }
        m.outstanding.push_back(seen);
        return;
    }

    const unsigned base = seen.function & 0x7Fu;
    const auto asked = tcp ? std::find_if(m.outstanding.begin(), m.outstanding.end(),
                                          [&](const auto& r) { return r.transaction == seen.transaction; })
                           : m.outstanding.begin();
    if (asked != m.outstanding.end()) {
        const ModbusRequestKept r = *asked;
        m.outstanding.erase(asked);
        if (r.unit != seen.unit || r.function != base) {
            ++m.summary.mismatches;
            Report(EventKind::Mismatch, Severity::Fault, direction, timeUs,
                   Text(TextId::Mismatch, seen.function, seen.unit, RequestText(r, tcp)), frame, timeUs);
            return;
        }
        const std::int64_t took = timeUs - r.sinceUs;
        ++m.summary.responses;
        m.summary.responseTimes.Add(took);
        if ((seen.function & 0x80) != 0) {
            const unsigned code = frame.size() > at + 2 + (tcp ? 0 : 2) ? frame[at + 2] : 0;
            ++m.summary.exceptions;
            ++m.summary.exceptionsByCode[code];
            const std::string_view name = ExceptionName(code);
            Report(EventKind::Exception, Severity::Warning, direction, timeUs,
                   Text(TextId::Exception, code, name.empty() ? std::string_view(decode::C_("analysis", "unknown")) : name,
                        RequestText(r, tcp), DurationText(took)),
                   frame, timeUs);
        }
        return;
    }
    // No request waits for it: one already reported unanswered, or none.
    const std::size_t kept = std::min(m.timedOutCount, kTimedOutKept);
    for (std::size_t i = 0; i < kept; ++i) {
        ModbusRequestKept& r = m.timedOut[(m.timedOutCount - 1 - i) % kTimedOutKept];
        if (r.function != 0 && r.unit == seen.unit && r.function == base
            && (!tcp || r.transaction == seen.transaction)) {
            ++m.summary.lateResponses;
            const std::int64_t took = timeUs - r.sinceUs;
            Report(EventKind::LateResponse, Severity::Warning, direction, timeUs,
                   Text(TextId::LateResponse, RequestText(r, tcp), DurationText(took),
                        DurationText(settings.modbusTimeoutUs)),
                   frame, timeUs);
            r.function = 0; // answered now
            return;
        }
    }
    ++m.summary.unsolicited;
    Report(EventKind::UnsolicitedResponse, Severity::Fault, direction, timeUs,
           Text(TextId::Unsolicited, seen.function, seen.unit, tcp ? Text(TextId::Transaction, seen.transaction) : ""),
           frame, timeUs);
}

void LinkWatch::ModbusTimeOuts(std::int64_t nowUs)
{
    ModbusState& m = link.modbus;
    if (m.outstanding.empty())
        return;
    const bool tcp = link.protocol == LinkProtocol::ModbusTcp;
    const Direction asks = link.device == decode::DeviceRole::Asks ? Direction::FromDevice : Direction::ToDevice;
    const std::int64_t timeout = settings.modbusTimeoutUs;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m.outstanding.size(); ++i) {
        const ModbusRequestKept r = m.outstanding[i];
        if (nowUs > r.sinceUs + timeout) {
            ++m.summary.noResponse;
            m.timedOut[m.timedOutCount++ % kTimedOutKept] = r;
            Report(EventKind::NoResponse, Severity::Fault, asks, r.sinceUs + timeout,
                   Text(TextId::NoResponse, RequestText(r, tcp), DurationText(timeout)), KeptBytes(r), r.sinceUs);
        } else {
            m.outstanding[kept++] = r;
        }
    }
    m.outstanding.resize(kept);
}

} // namespace analysis
