// IEC 104: sequence numbers, acknowledgements, handshakes, timers, time tags.
#include "analysis/LinkState.h"
#include "analysis/CivilTime.h"
#include "analysis/LinkTexts.h"

#include <algorithm>
#include <bit>
#include <optional>

namespace analysis {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint16_t kHalf = 16384; // N(S) ahead by less: later; else earlier
constexpr std::array<std::string_view, kUActs> kActNames{"STARTDT", "STOPDT", "TESTFR"};
constexpr std::array<EventKind, kUActs> kActKinds{EventKind::StartDt, EventKind::StopDt, EventKind::TestFr};
constexpr std::size_t kMaxCommonAddresses = 256; // clock skew kept for so many per link

std::uint16_t SeqAt(Bytes apdu, std::size_t at)
{
    return static_cast<std::uint16_t>((apdu[at] | apdu[at + 1] << 8) >> 1);
}

std::uint16_t Mod(int n)
{
    return static_cast<std::uint16_t>(n & kSeqMask);
}

// "7", "7, 8", "7, 8, 9" or "7 to 19".
std::string NumbersText(std::uint16_t from, std::uint16_t count)
{
    if (count > 3)
        return decode::Arg(decode::C_("analysis", "%1 to %2"), {std::to_string(from), std::to_string(Mod(from + count - 1))});
    std::string out;
    for (std::uint16_t i = 0; i < count; ++i)
        out += (i ? ", " : "") + std::to_string(Mod(from + i));
    return out;
}

// The six bytes of a U-format act.
std::array<std::uint8_t, 6> ActFrame(unsigned act)
{
    return {0x68, 0x04, static_cast<std::uint8_t>((0x04u << (2 * act)) | 0x03u), 0, 0, 0};
}

// A CP56Time2a tag as microseconds since 1970 (civil time in a zone
// `zoneMinutes` east of UTC); none for an invalid tag or one out of range.
std::optional<std::int64_t> TagTime(const std::uint8_t* b, int zoneMinutes)
{
    const unsigned ms = b[0] | b[1] << 8;
    const unsigned minute = b[2] & 0x3F;
    const unsigned hour = b[3] & 0x1F;
    const unsigned day = b[4] & 0x1F;
    const unsigned month = b[5] & 0x0F;
    const unsigned year = b[6] & 0x7F;
    if ((b[2] & 0x80) != 0 || ms > 59'999 || minute > 59 || hour > 23 || day < 1 || month < 1 || month > 12
        || year > 99)
        return std::nullopt;
    const std::int64_t days = DaysFromCivil(2000 + static_cast<int>(year), month, day);
    const std::int64_t minutes = (days * 24 + hour) * 60 + minute - zoneMinutes;
    return minutes * 60'000'000 + std::int64_t{ms} * 1000;
}

// The size of one element of the types 30 to 40 (with CP56Time2a), its
// time tag last.
constexpr std::array<std::uint8_t, 11> kTaggedSizes{8, 8, 9, 12, 10, 10, 12, 12, 10, 11, 11};

// The size of one element, its CP56Time2a tag last, of the types whose tags
// tell a clock going `direction`: from the device its measured values with
// time tags (30 to 40) and its clock synchronisation (103, the device's time
// when it confirms); to the device the commands with time tags (58 to 64),
// the clock synchronisation (103) and the test command with a time tag
// (107), each telling the monitor's time. 0: no tag watched.
std::size_t TaggedSize(Direction direction, std::uint8_t type)
{
    if (type == 103)
        return 7;
    if (direction == Direction::FromDevice)
        return type >= 30 && type <= 40 ? kTaggedSizes[type - 30u] : 0;
    switch (type) {
    case 58:
    case 59:
    case 60:
        return 8;
    case 61:
    case 62:
        return 10;
    case 63:
        return 12;
    case 64:
        return 11;
    case 107:
        return 9;
    default:
        return 0;
    }
}

} // namespace

void LinkWatch::Iec104Apdu(Direction direction, std::int64_t timeUs, Bytes apdu)
{
    IecState& s = link.iec;
    IecSide& mine = s.sides[Index(direction)];
    IecSide& theirs = s.sides[Index(Other(direction))];
    const std::int64_t idleSince = s.lastFrameUs;
    s.lastFrameUs = timeUs;
    s.t3Reported = false;
    const std::uint8_t c1 = apdu[2];

    if ((c1 & 1) == 0) { // I-format
        ++mine.iFrames;
        if (apdu.size() == 6) {
            ++link.badFrames;
            Report(EventKind::BadFrame, Severity::Fault, direction, timeUs, Text(TextId::NoAsdu), apdu, timeUs);
        }
        if (s.state != TransferState::Started && s.state != TransferState::Unknown && !s.notStartedReported) {
            s.notStartedReported = true;
            Report(EventKind::NotStarted, Severity::Fault, direction, timeUs,
                   Text(s.everStarted ? TextId::Stopped : TextId::NotStarted),
                   apdu, timeUs);
        }
        IecSequence(direction, timeUs, apdu);
        IecAcknowledge(direction, SeqAt(apdu, 4), timeUs, apdu, false);
        IecTimeTags(direction, timeUs, apdu);
        return;
    }
    if ((c1 & 3) == 1) { // S-format
        ++mine.sFrames;
        if (c1 != 1 || apdu[3] != 0) {
            ++link.badFrames;
            Report(EventKind::BadFrame, Severity::Fault, direction, timeUs, Text(TextId::SNotZero), apdu, timeUs);
        }
        IecAcknowledge(direction, SeqAt(apdu, 4), timeUs, apdu, true);
        return;
    }
    // U-format: exactly one of its six function bits.
    ++mine.uFrames;
    const unsigned functions = c1 & 0xFCu;
    if (std::popcount(functions) != 1) {
        ++link.badFrames;
        Report(EventKind::BadFrame, Severity::Fault, direction, timeUs,
               Text(TextId::UFunctions, std::popcount(functions)), apdu, timeUs);
        return;
    }
    if (apdu[3] != 0 || apdu[4] != 0 || apdu[5] != 0) {
        ++link.badFrames;
        Report(EventKind::BadFrame, Severity::Fault, direction, timeUs, Text(TextId::UNotZero), apdu, timeUs);
    }
    const auto bit = static_cast<unsigned>(std::countr_zero(functions)) - 2; // 0 STARTDT act ... 5 TESTFR con
    const unsigned act = bit / 2;
    if (bit % 2 == 0) {
        mine.acts[act] = PendingAct{timeUs, true, false};
        if (act == TestAct && idleSince != 0)
            s.t3.Add(timeUs - idleSince);
        return;
    }
    PendingAct& pending = theirs.acts[act];
    if (act == StartAct) {
        s.state = TransferState::Started;
        s.everStarted = true;
    }
    else if (act == StopAct)
        s.state = TransferState::Stopped;
    if (act != TestAct)
        s.notStartedReported = false;
    if (!pending.waiting) {
        Report(kActKinds[act], Severity::Warning, direction, timeUs, Text(TextId::ConWithoutAct, kActNames[act]), apdu,
               timeUs);
        return;
    }
    pending.waiting = false;
    const std::int64_t took = timeUs - pending.sinceUs;
    s.t1.Add(took);
    if (pending.expired)
        Report(kActKinds[act], Severity::Warning, direction, timeUs,
               Text(TextId::ConLate, kActNames[act], DurationText(took), DurationText(settings.t1Us)), apdu, timeUs);
    else
        Report(kActKinds[act], Severity::Info, direction, timeUs,
               Text(TextId::ActDone, kActNames[act], DurationText(took)), apdu, timeUs);
}

void LinkWatch::IecSequence(Direction direction, std::int64_t timeUs, Bytes apdu)
{
    IecSide& x = link.iec.sides[Index(direction)];
    const std::uint16_t ns = SeqAt(apdu, 2);
    if (!x.seqKnown) {
        x.seqKnown = true;
        x.vs = Mod(ns + 1);
        // What the other side acknowledged before cannot lie ahead of this frame.
        if (!x.ackKnown || ((x.vs - x.va) & kSeqMask) >= kHalf) {
            x.ackKnown = true;
            x.va = ns;
        }
        // Frames sent before the watch began wait from here.
        for (std::uint16_t n = x.va, i = 0; i < kSendRing; n = Mod(n + 1), ++i) {
            x.sentUs[n % kSendRing] = timeUs;
            if (n == ns)
                break;
        }
    } else if (ns == x.vs) {
        x.sentUs[ns % kSendRing] = timeUs;
        x.vs = Mod(ns + 1);
        x.restartArmed = false;
    } else if (x.restartArmed && ns == x.restartNext) {
        // The sender counts on from the number it repeated: it started anew.
        // The count is followed from here, all before it taken as acknowledged.
        x.sentUs[ns % kSendRing] = timeUs;
        x.vs = Mod(ns + 1);
        x.va = ns;
        x.restartArmed = false;
        x.missingCount = 0;
        x.kOver = x.wOver = x.t1Reported = x.t2Reported = false;
    } else {
        const auto ahead = static_cast<std::uint16_t>((ns - x.vs) & kSeqMask);
        if (ahead < kHalf) {
            const std::uint16_t from = x.vs;
            for (std::uint16_t i = 0; i <= ahead && i < kSendRing; ++i)
                x.sentUs[(ns - i) & (kSendRing - 1)] = timeUs;
            x.vs = Mod(ns + 1);
            if (x.missingCount == kMissingRanges) // the oldest gap is forgotten
                std::move(x.missing.begin() + 1, x.missing.end(), x.missing.begin()), --x.missingCount;
            x.missing[x.missingCount++] = MissingRange{from, ahead};
            Report(EventKind::Gap, Severity::Fault, direction, timeUs,
                   Text(TextId::Gap, ns, from, ahead, NumbersText(from, ahead)), apdu, timeUs);
        } else {
            // Behind: a number reported missing now comes late, or one seen before again.
            for (std::size_t i = 0; i < x.missingCount; ++i) {
                MissingRange& r = x.missing[i];
                const auto into = static_cast<std::uint16_t>((ns - r.from) & kSeqMask);
                if (into >= r.count)
                    continue;
                // Split the range around the number.
                const MissingRange before{r.from, into};
                const MissingRange after{Mod(ns + 1), static_cast<std::uint16_t>(r.count - into - 1)};
                r = before;
                if (after.count > 0 && x.missingCount < kMissingRanges)
                    x.missing[x.missingCount++] = after;
                if (r.count == 0) {
                    std::move(x.missing.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                              x.missing.begin() + static_cast<std::ptrdiff_t>(x.missingCount),
                              x.missing.begin() + static_cast<std::ptrdiff_t>(i));
                    --x.missingCount;
                }
                Report(EventKind::OutOfOrder, Severity::Fault, direction, timeUs,
                       Text(TextId::OutOfOrder, ns, Mod(x.vs - 1)), apdu, timeUs);
                return;
            }
            x.restartArmed = true;
            x.restartNext = Mod(ns + 1);
            Report(EventKind::Duplicate, Severity::Warning, direction, timeUs, Text(TextId::Duplicate, ns, x.vs), apdu,
                   timeUs);
            return;
        }
    }
    const unsigned outstanding = x.Outstanding();
    x.maxOutstanding = std::max(x.maxOutstanding, outstanding);
    if (outstanding > settings.w && !x.wOver) {
        x.wOver = true;
        Report(EventKind::WReached, Severity::Warning, direction, timeUs,
               Text(TextId::WReached, outstanding, settings.w), apdu, timeUs);
    }
    if (outstanding > settings.k && !x.kOver) {
        x.kOver = true;
        Report(EventKind::KExceeded, Severity::Fault, direction, timeUs,
               Text(TextId::KExceeded, outstanding, settings.k), apdu, timeUs);
    }
}

void LinkWatch::IecAcknowledge(Direction direction, std::uint16_t nr, std::int64_t timeUs, Bytes apdu,
                               bool supervisory)
{
    IecState& s = link.iec;
    IecSide& x = s.sides[Index(Other(direction))]; // the frames acknowledged
    if (!x.ackKnown || !x.seqKnown) {
        x.ackKnown = true;
        x.va = nr;
        return;
    }
    const auto advance = static_cast<std::uint16_t>((nr - x.va) & kSeqMask);
    const unsigned outstanding = x.Outstanding();
    if (advance == 0)
        return;
    if (advance > outstanding) {
        const auto back = static_cast<std::uint16_t>((x.va - nr) & kSeqMask);
        if (back < kHalf)
            Report(EventKind::AckBackwards, Severity::Fault, direction, timeUs, Text(TextId::AckBackwards, nr, x.va),
                   apdu, timeUs);
        else
            Report(EventKind::AckUnsent, Severity::Fault, direction, timeUs, Text(TextId::AckUnsent, nr, x.vs), apdu,
                   timeUs);
        return;
    }
    if (outstanding <= kSendRing) {
        const std::int64_t waited = timeUs - x.sentUs[x.va % kSendRing];
        s.t1.Add(waited);
        if (supervisory)
            s.t2.Add(waited);
    }
    x.va = nr;
    x.t1Reported = false;
    x.t2Reported = false;
    const unsigned left = outstanding - advance;
    if (left <= settings.k)
        x.kOver = false;
    if (left <= settings.w)
        x.wOver = false;
}

void LinkWatch::IecTimeTags(Direction direction, std::int64_t timeUs, Bytes apdu)
{
    if (apdu.size() < 12)
        return;
    const std::size_t size = TaggedSize(direction, apdu[6]);
    if (size == 0)
        return;
    const std::size_t count = apdu[7] & 0x7Fu;
    const bool sequence = (apdu[7] & 0x80) != 0;
    const std::size_t body = apdu.size() - 12;
    if (count == 0 || body != (sequence ? 3 + count * size : count * (3 + size)))
        return;
    const unsigned ca = apdu[10] | apdu[11] << 8;
    auto& list = link.iec.skew[Index(direction)];
    auto it = std::lower_bound(list.begin(), list.end(), ca,
                               [](const SkewState& k, unsigned a) { return k.summary.commonAddress < a; });
    if (it == list.end() || it->summary.commonAddress != ca) {
        if (list.size() >= kMaxCommonAddresses)
            return;
        it = list.insert(it, SkewState{ClockSkew{ca, 0, 0, 0}, false});
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 12 + (sequence ? 3 + i * size : i * (3 + size) + 3) + size - 7;
        const auto tag = TagTime(apdu.data() + at, settings.tagZoneMinutes);
        if (!tag)
            continue;
        const std::int64_t skew = *tag - timeUs;
        ClockSkew& k = it->summary;
        if (k.tags == 0 || skew < k.minUs)
            k.minUs = skew;
        if (k.tags == 0 || skew > k.maxUs)
            k.maxUs = skew;
        ++k.tags;
        const bool over = skew > settings.clockSkewLimitUs || -skew > settings.clockSkewLimitUs;
        if (over && !it->over)
            Report(EventKind::ClockSkew, Severity::Warning, direction, timeUs,
                   Text(direction == Direction::FromDevice ? (skew > 0 ? TextId::ClockAhead : TextId::ClockBehind)
                                                           : (skew > 0 ? TextId::ClockSentAhead : TextId::ClockSentBehind),
                        ca, DurationText(skew > 0 ? skew : -skew), DurationText(settings.clockSkewLimitUs)),
                   apdu, timeUs);
        it->over = over;
    }
}

void LinkWatch::Iec104TimeOuts(std::int64_t nowUs)
{
    IecState& s = link.iec;
    for (std::size_t d = 0; d < 2; ++d) {
        IecSide& x = s.sides[d];
        const auto direction = static_cast<Direction>(d);
        const unsigned outstanding = x.Outstanding();
        if (outstanding > 0 && outstanding <= kSendRing) {
            const std::int64_t since = x.sentUs[x.va % kSendRing];
            // t2 is the acknowledging side's timer: the device's, seen here
            // after the network's delay, for the frames sent to it; the
            // monitor's own, on this clock, for the frames it received.
            const std::int64_t slack = direction == Direction::ToDevice ? settings.peerTimerSlackUs : 0;
            const std::int64_t t2End = since + settings.t2Us + slack;
            if (!x.t2Reported && nowUs > t2End) {
                x.t2Reported = true;
                Report(EventKind::T2Exceeded, Severity::Warning, direction, t2End,
                       Text(TextId::T2Exceeded, x.va, DurationText(settings.t2Us)), {}, since);
            }
            if (!x.t1Reported && nowUs > since + settings.t1Us) {
                x.t1Reported = true;
                Report(EventKind::T1Expired, Severity::Fault, direction, since + settings.t1Us,
                       Text(TextId::IExpired, x.va, DurationText(settings.t1Us)), {}, since);
            }
        }
        for (unsigned act = 0; act < kUActs; ++act) {
            PendingAct& p = x.acts[act];
            if (p.waiting && !p.expired && nowUs > p.sinceUs + settings.t1Us) {
                p.expired = true;
                const auto frame = ActFrame(act);
                Report(EventKind::T1Expired, Severity::Fault, direction, p.sinceUs + settings.t1Us,
                       Text(TextId::ActExpired, kActNames[act], DurationText(settings.t1Us)), frame, p.sinceUs);
            }
        }
    }
    const std::int64_t t3End = s.lastFrameUs + settings.t3Us + settings.peerTimerSlackUs;
    if (!s.t3Reported && s.lastFrameUs != 0 && nowUs > t3End) {
        s.t3Reported = true;
        Report(EventKind::T3Exceeded, Severity::Warning, Direction::FromDevice, t3End,
               Text(TextId::T3Exceeded, DurationText(settings.t3Us)));
    }
}

} // namespace analysis
