// The link supervisor from scripted conversations: each kind of event
// provoked once, a long clean conversation that provokes none, and the same
// events whatever the chunks a stream comes in.
#include "analysis/LinkSupervisor.h"

#include "frame/Crc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using analysis::Direction;
using analysis::Event;
using analysis::LinkSupervisor;
using Bytes = std::vector<std::uint8_t>;

constexpr auto kTo = Direction::ToDevice;
constexpr auto kFrom = Direction::FromDevice;
constexpr std::int64_t kMs = 1000;
constexpr std::int64_t kStart = 1'765'000'000'000'000; // 2025-12-06, microseconds since 1970

// --- Frames -----------------------------------------------------------------

Bytes U(std::uint8_t control)
{
    return {0x68, 0x04, control, 0, 0, 0};
}

Bytes S(unsigned nr)
{
    return {0x68, 0x04, 0x01, 0x00, static_cast<std::uint8_t>(nr << 1), static_cast<std::uint8_t>(nr >> 7)};
}

Bytes Apci(unsigned ns, unsigned nr, std::size_t asdu)
{
    return {0x68, static_cast<std::uint8_t>(4 + asdu), static_cast<std::uint8_t>(ns << 1),
            static_cast<std::uint8_t>(ns >> 7), static_cast<std::uint8_t>(nr << 1), static_cast<std::uint8_t>(nr >> 7)};
}

// An I-frame with one normalised measured value (type 9), common address 1.
Bytes I(unsigned ns, unsigned nr)
{
    Bytes f = Apci(ns, nr, 12);
    f.insert(f.end(), {0x09, 0x01, 0x03, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x10, 0x00, 0x00});
    return f;
}

// A CP56Time2a tag `tagUs` microseconds since 1970 as UTC, put at the end of `f`.
void AddTag(Bytes& f, std::int64_t tagUs)
{
    const std::int64_t seconds = tagUs / 1'000'000;
    const auto ms = static_cast<unsigned>((seconds % 60) * 1000 + tagUs % 1'000'000 / 1000);
    std::int64_t days = seconds / 86400;
    const auto minuteOfDay = static_cast<unsigned>(seconds % 86400 / 60);
    // Civil date from days since 1970.
    days += 719468;
    const std::int64_t era = days / 146097;
    const auto doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const auto year = static_cast<unsigned>(yoe + era * 400 + (month <= 2));
    f.insert(f.end(), {static_cast<std::uint8_t>(ms), static_cast<std::uint8_t>(ms >> 8),
                       static_cast<std::uint8_t>(minuteOfDay % 60), static_cast<std::uint8_t>(minuteOfDay / 60),
                       static_cast<std::uint8_t>(day), static_cast<std::uint8_t>(month),
                       static_cast<std::uint8_t>(year - 2000)});
}

// An I-frame with one short float and its CP56Time2a tag (type 36).
Bytes Tagged(unsigned ns, unsigned nr, std::int64_t tagUs)
{
    Bytes f = Apci(ns, nr, 21);
    f.insert(f.end(), {0x24, 0x01, 0x03, 0x00, 0x07, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00});
    AddTag(f, tagUs);
    return f;
}

// A clock synchronisation (type 103) to common address 7: its activation
// (cause 6) or confirmation (cause 7).
Bytes ClockSync(unsigned ns, unsigned nr, std::uint8_t cause, std::int64_t tagUs)
{
    Bytes f = Apci(ns, nr, 16);
    f.insert(f.end(), {0x67, 0x01, cause, 0x00, 0x07, 0x00, 0x00, 0x00, 0x00});
    AddTag(f, tagUs);
    return f;
}

// MODBUS/TCP: read holding registers, one register; its response; an exception.
Bytes Ask(unsigned tid, std::uint8_t unit = 1)
{
    return {static_cast<std::uint8_t>(tid >> 8), static_cast<std::uint8_t>(tid), 0, 0, 0, 6, unit, 3, 0, 0, 0, 1};
}

Bytes Answer(unsigned tid, std::uint8_t unit = 1, std::uint8_t function = 3)
{
    return {static_cast<std::uint8_t>(tid >> 8), static_cast<std::uint8_t>(tid), 0, 0, 0, 5, unit, function, 2, 0, 42};
}

Bytes Refuse(unsigned tid, std::uint8_t code)
{
    return {static_cast<std::uint8_t>(tid >> 8), static_cast<std::uint8_t>(tid), 0, 0, 0, 3, 1, 0x83, code};
}

Bytes WithCrc(Bytes f)
{
    const std::uint16_t crc = CrcModbus(f);
    f.push_back(static_cast<std::uint8_t>(crc));
    f.push_back(static_cast<std::uint8_t>(crc >> 8));
    return f;
}

const Bytes kRtuAsk = WithCrc({1, 3, 0, 0, 0, 1});
const Bytes kRtuAnswer = WithCrc({1, 3, 2, 0, 42});

// --- Scripts ----------------------------------------------------------------

enum class Op { Connect, Send, Tick, End };

struct Step {
    Op op;
    std::int64_t ms;
    Direction direction = kFrom;
    Bytes bytes = {};
};

Step Connect(std::int64_t ms = 0)
{
    return {Op::Connect, ms};
}
Step To(std::int64_t ms, Bytes b)
{
    return {Op::Send, ms, kTo, std::move(b)};
}
Step From(std::int64_t ms, Bytes b)
{
    return {Op::Send, ms, kFrom, std::move(b)};
}
Step Tick(std::int64_t ms)
{
    return {Op::Tick, ms};
}
Step End(std::int64_t ms)
{
    return {Op::End, ms};
}

using Script = std::vector<Step>;

Script Started(Script rest)
{
    Script s{Connect(), To(0, U(0x07)), From(5, U(0x0B))};
    s.insert(s.end(), rest.begin(), rest.end());
    return s;
}

// How a stream's frames are cut into chunks for one run: 0 whole frames,
// n > 0 chunks of n bytes, -n frames cut once n bytes in; each burst of
// frames the same way at the same time goes as one stream in any case.
void Play(LinkSupervisor& sup, const Script& script, bool stream, int cut = 0)
{
    std::size_t i = 0;
    while (i < script.size()) {
        const Step& step = script[i];
        const std::int64_t t = kStart + step.ms * kMs;
        if (step.op == Op::Connect) {
            sup.NewConnection(7, t, "device");
        } else if (step.op == Op::Tick) {
            sup.Tick(t);
        } else if (step.op == Op::End) {
            sup.EndConnection(7, t);
        } else if (!stream || cut == 0) {
            sup.Frame(7, step.direction, t, step.bytes, stream);
        } else {
            Bytes burst = step.bytes;
            while (i + 1 < script.size() && script[i + 1].op == Op::Send && script[i + 1].ms == step.ms
                   && script[i + 1].direction == step.direction) {
                ++i;
                burst.insert(burst.end(), script[i].bytes.begin(), script[i].bytes.end());
            }
            const std::size_t size = cut > 0 ? static_cast<std::size_t>(cut) : burst.size();
            const std::size_t first = cut < 0 ? std::min(burst.size(), static_cast<std::size_t>(-cut)) : size;
            for (std::size_t at = 0; at < burst.size();) {
                const std::size_t n = std::min(at == 0 ? first : size, burst.size() - at);
                sup.Frame(7, step.direction, t, std::span(burst).subspan(at, n), true);
                at += n;
            }
        }
        ++i;
    }
}

std::vector<std::string> Keywords(const LinkSupervisor& sup)
{
    std::vector<std::string> out;
    for (const Event& e : sup.Events())
        out.emplace_back(std::string(analysis::KindKeyword(e.kind)) + ":" +
                         std::string(analysis::SeverityKeyword(e.severity)));
    return out;
}

// What must agree between two runs of one conversation.
std::vector<std::string> Described(const LinkSupervisor& sup)
{
    std::vector<std::string> out;
    for (const Event& e : sup.Events())
        out.push_back(std::string(analysis::KindKeyword(e.kind)) + " " + std::to_string(e.timeUs) + " "
                      + std::string(analysis::DirectionKeyword(e.direction)) + " " + e.text);
    return out;
}

struct Case {
    const char* name;
    Script script;
    std::vector<std::string> events;  // keyword:severity, in order
    std::string says = "";            // a part of the last event's sentence
    bool stream = true;               // a TCP connection; false: UDP datagrams
    decode::DeviceRole device = decode::DeviceRole::Answers;
    analysis::LinkProtocol protocol = analysis::LinkProtocol::Auto;
};

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases{
        {"gap", Started({From(10, I(0, 0)), From(11, I(1, 0)), From(12, I(4, 0))}),
         {"connection:info", "startdt:info", "gap:fault"}, "N(S) 4 where 2 was expected: 2 missing (2, 3)."},
        {"duplicate", Started({From(10, I(0, 0)), From(11, I(1, 0)), From(12, I(1, 0)), From(13, I(2, 0))}),
         {"connection:info", "startdt:info", "duplicate:warning"}, "N(S) 1 again (expected 2)."},
        {"count started anew: reported once, then followed",
         Started({From(10, I(0, 0)), From(11, I(1, 0)), From(12, I(2, 0)), From(13, I(0, 0)), From(14, I(1, 0)),
                  To(15, S(2)), From(16, I(2, 0))}),
         {"connection:info", "startdt:info", "duplicate:warning"}, "N(S) 0 again (expected 3)."},
        {"out of order", Started({From(10, I(0, 0)), From(11, I(2, 0)), From(12, I(1, 0)), From(13, I(3, 0))}),
         {"connection:info", "startdt:info", "gap:fault", "out-of-order:fault"}, "N(S) 1 after 2"},
        {"ack of frames never sent", Started({From(10, I(0, 0)), To(20, S(5))}),
         {"connection:info", "startdt:info", "ack-unsent:fault"}, "N(R) 5 acknowledges"},
        {"ack backwards", Started({From(10, I(0, 0)), From(10, I(1, 0)), From(10, I(2, 0)), To(20, S(3)), To(30, S(1))}),
         {"connection:info", "startdt:info", "ack-backwards:fault"}, "N(R) 1 below the N(R) 3"},
        {"w reached once, k exceeded once", Started([] {
             Script s;
             for (unsigned n = 0; n < 14; ++n)
                 s.push_back(From(10 + n, I(n, 0)));
             return s;
         }()),
         {"connection:info", "startdt:info", "w-reached:warning", "k-exceeded:fault"},
         "13 I-frames sent and not acknowledged: more than k = 12."},
        {"I-frame before STARTDT", {Connect(), From(10, I(0, 0)), From(11, I(1, 0))},
         {"connection:info", "not-started:fault"}, "before STARTDT con"},
        {"I-frame after STOPDT", Started({To(10, U(0x13)), From(12, U(0x23)), From(20, I(0, 0))}),
         {"connection:info", "startdt:info", "stopdt:info", "not-started:fault"}, "after STOPDT con"},
        {"TESTFR round trip", Started({To(20'000, U(0x43)), From(20'004, U(0x83))}),
         {"connection:info", "startdt:info", "testfr:info"}, "TESTFR act confirmed after 4.00 ms."},
        {"con without act", Started({From(10, U(0x83))}),
         {"connection:info", "startdt:info", "testfr:warning"}, "TESTFR con without a TESTFR act."},
        {"STARTDT unconfirmed within t1, confirmed late", {Connect(), To(0, U(0x07)), Tick(15'000), Tick(15'001), From(17'000, U(0x0B))},
         {"connection:info", "t1-expired:fault", "startdt:warning"}, "STARTDT con after 17.000 s, past t1 = 15.000 s."},
        {"I-frame unacknowledged: t2 then t1", Started({From(1000, I(0, 0)), Tick(12'000), Tick(12'001), Tick(16'001)}),
         {"connection:info", "startdt:info", "t2-exceeded:warning", "t1-expired:fault"},
         "I-frame N(S) 0 not acknowledged within t1 = 15.000 s."},
        {"idle past t3", Started({Tick(21'005), Tick(21'006), To(21'100, U(0x43)), From(21'101, U(0x83)), Tick(30'000)}),
         {"connection:info", "startdt:info", "t3-exceeded:warning", "testfr:info"}},
        {"clock skew", Started({From(10, Tagged(0, 0, kStart + 10 * kMs)), From(20, Tagged(1, 0, kStart + 2'520 * kMs)),
                                From(30, Tagged(2, 0, kStart + 2'530 * kMs))}),
         {"connection:info", "startdt:info", "clock-skew:warning"},
         "Time tag of common address 7 is 2.500 s ahead of the arrival time (limit 2.000 s)."},
        {"clock synchronisation sent from a stale line, confirmed with it",
         Started({To(10, ClockSync(0, 0, 6, kStart + 10 * kMs)), From(15, ClockSync(0, 1, 7, kStart + 10 * kMs)),
                  To(20, ClockSync(1, 1, 6, kStart - 3'600'000 * kMs)), From(30, ClockSync(1, 2, 7, kStart - 3'600'000 * kMs))}),
         {"connection:info", "startdt:info", "clock-skew:warning", "clock-skew:warning"},
         "Time tag of common address 7 is 3600.030 s behind the arrival time (limit 2.000 s)."},
        {"command with a time tag sent late",
         Started({To(10, [] {
             Bytes f = Apci(0, 0, 17);
             f.insert(f.end(), {0x3A, 0x01, 0x06, 0x00, 0x07, 0x00, 0x01, 0x60, 0x00, 0x81});
             AddTag(f, kStart - 5'000 * kMs);
             return f;
         }())}),
         {"connection:info", "startdt:info", "clock-skew:warning"},
         "Time tag sent to common address 7 is 5.010 s behind the sending time (limit 2.000 s)."},
        {"bytes that start no APDU", Started({From(10, {0x01, 0x02, 0x03}), From(11, I(0, 0))}),
         {"connection:info", "startdt:info", "bad-frame:fault"}},
        {"U-format with two functions", Started({From(10, U(0x0F))}),
         {"connection:info", "startdt:info", "bad-frame:fault"}, "2 function bits"},
        {"MODBUS no response, then late", {Connect(), To(0, Ask(1)), Tick(1000), Tick(1001), From(1500, Answer(1))},
         {"connection:info", "no-response:fault", "late-response:warning"},
         "Response to function 3 to unit 1 (transaction 1) after 1.500 s, past the time-out of 1.000 s."},
        {"MODBUS response to no request", {Connect(), To(0, Ask(1)), From(10, Answer(1)), From(20, Answer(1))},
         {"connection:info", "unsolicited-response:fault"}, "function 3 from unit 1 (transaction 1)."},
        {"MODBUS unit differs", {Connect(), To(0, Ask(1)), From(10, Answer(1, 2))}, {"connection:info", "mismatch:fault"}},
        {"MODBUS exception", {Connect(), To(0, Ask(1)), From(12, Refuse(1, 2))}, {"connection:info", "exception:warning"},
         "Exception 2 (illegal data address) to function 3 to unit 1 (transaction 1) after 12.0 ms."},
        {"MODBUS transaction asked twice", {Connect(), To(0, Ask(1)), To(5, Ask(1)), From(10, Answer(1))},
         {"connection:info", "duplicate:warning"}},
        {"nothing waits after the connection ends", Started({From(10, I(0, 0)), To(20, U(0x43)), End(30), Tick(60'000)}),
         {"connection:info", "startdt:info"}},
        {"MODBUS device that asks", {Connect(), From(0, Ask(1)), To(10, Answer(1)), From(20, Ask(2)), Tick(1021)},
         {"connection:info", "no-response:fault"}, "", true, decode::DeviceRole::Asks},
        {"RTU over a stream: a response to no request", {Connect(), To(0, kRtuAsk), From(10, kRtuAnswer), From(20, kRtuAnswer)},
         {"connection:info", "unsolicited-response:fault"}, "Response to no request: function 3 from unit 1."},
        {"IEC 104 datagrams watched from the middle of a conversation",
         {To(0, S(98)), From(0, I(100, 5)), From(1, I(101, 5)), To(2, S(102)), From(3, I(104, 5)), To(4, S(105)), Tick(9'000)},
         {"gap:fault"}, "N(S) 104 where 102 was expected", false},
        {"RTU request while one waits", {To(0, kRtuAsk), From(10, kRtuAnswer), To(20, kRtuAsk), To(30, kRtuAsk)},
         {"no-response:fault"}, "another request followed after 10.0 ms", false},
        {"RTU bad CRC", {To(0, {1, 3, 0, 0, 0, 1, 0, 0})}, {"bad-frame:fault"}, "CRC 0000, 0A84 expected.", false,
         decode::DeviceRole::Answers, analysis::LinkProtocol::ModbusRtu},
    };
    return cases;
}

TEST(LinkSupervisor, EachKindOfEventFromItsConversation)
{
    for (const Case& c : Cases()) {
        analysis::Settings settings;
        settings.device = c.device;
        settings.protocol = c.protocol;
        LinkSupervisor sup(settings);
        Play(sup, c.script, c.stream);
        EXPECT_EQ(Keywords(sup), c.events) << c.name;
        if (!c.says.empty() && !sup.Events().empty()) {
            EXPECT_NE(sup.Events().back().text.find(c.says), std::string::npos)
                << c.name << ": " << sup.Events().back().text;
        }
    }
}

// t2 is the acknowledging side's timer: the monitor's own (the device's
// I-frames) is judged on its value, the device's (the monitor's I-frames,
// seen after the network's delay) on its value plus the slack; either at
// its end gives nothing, just past it one event timed at its end.
TEST(LinkSupervisor, T2EndsOnTheAcknowledgingSidesTimer)
{
    struct Row {
        const char* name;
        Direction frames;  // the way the unacknowledged I-frame went
        std::int64_t tickMs;
        std::int64_t eventMs;  // -1: no t2-exceeded
    };
    // The I-frame at 1 000 ms; t2 10 s, slack 1 s, t1 15 s.
    const Row rows[] = {
        {"the monitor's t2, at its end", kFrom, 11'000, -1},
        {"the monitor's t2, just past its end", kFrom, 11'001, 11'000},
        {"the device's t2, at the end of the slack", kTo, 12'000, -1},
        {"the device's t2, just past the slack", kTo, 12'001, 12'000},
    };
    for (const Row& row : rows) {
        LinkSupervisor sup{analysis::Settings{}};
        Play(sup, Started({Step{Op::Send, 1'000, row.frames, I(0, 0)}, Tick(row.tickMs)}), true);
        std::int64_t eventMs = -1;
        for (const Event& e : sup.Events()) {
            if (e.kind == analysis::EventKind::T2Exceeded) {
                EXPECT_EQ(e.direction, row.frames) << row.name;
                eventMs = (e.timeUs - kStart) / kMs;
            }
        }
        EXPECT_EQ(eventMs, row.eventMs) << row.name;
    }
}

TEST(LinkSupervisor, StreamChunkingChangesNoEvent)
{
    for (const Case& c : Cases()) {
        if (!c.stream)
            continue;
        analysis::Settings settings;
        settings.device = c.device;
        LinkSupervisor whole(settings);
        Play(whole, c.script, true);
        for (const int cut : {1, 2, 3, 5, 7, -1, -2, -6, -7, -11}) {
            LinkSupervisor chunked(settings);
            Play(chunked, c.script, true, cut);
            EXPECT_EQ(Described(chunked), Described(whole)) << c.name << ", cut " << cut;
        }
    }
}

TEST(LinkSupervisor, CleanConversationOfHundredThousandFrames)
{
    // STARTDT, then the device sends measured values with their time tags,
    // the monitor acknowledges every eighth, sends a command now and then
    // (confirmed by the device's next frames) and a TESTFR after each idle t3.
    LinkSupervisor sup;
    std::int64_t t = kStart;
    sup.NewConnection(1, t, "device");
    sup.Frame(1, kTo, t, U(0x07), true);
    sup.Frame(1, kFrom, t += 2 * kMs, U(0x0B), true);
    unsigned fromNs = 0, toNs = 0, frames = 2;
    while (frames < 100'000) {
        t += 300; // 0.3 ms apart
        sup.Frame(1, kFrom, t, Tagged(fromNs & 0x7FFF, toNs & 0x7FFF, t - 40 * kMs), true);
        ++fromNs, ++frames;
        if (fromNs % 8 == 0) {
            sup.Frame(1, kTo, t += 100, S(fromNs & 0x7FFF), true);
            ++frames;
        }
        if (fromNs % 1000 == 0) {
            sup.Frame(1, kTo, t += 100, I(toNs++ & 0x7FFF, fromNs & 0x7FFF), true);
            ++frames;
        }
        if (fromNs % 20'000 == 0) { // the device acknowledges, then an idle spell
            sup.Frame(1, kFrom, t += 100, S(toNs & 0x7FFF), true);
            sup.Tick(t + 20'000 * kMs);
            sup.Frame(1, kTo, t += 20'500 * kMs, U(0x43), true);
            sup.Frame(1, kFrom, t += 3 * kMs, U(0x83), true);
            frames += 3;
        }
    }
    sup.Tick(t + 1);
    std::vector<std::string> expected{"connection:info", "startdt:info"};
    expected.insert(expected.end(), fromNs / 20'000, "testfr:info");
    EXPECT_EQ(Keywords(sup), expected);

    const analysis::LinkSummary s = sup.Summary().at(0);
    EXPECT_EQ(s.frames[0] + s.frames[1], frames);
    EXPECT_EQ(s.sides[1].iFrames, fromNs);
    EXPECT_EQ(s.sides[1].vs, fromNs & 0x7FFF); // wrapped more than once
    EXPECT_EQ(s.sides[0].vr, fromNs & 0x7FFF);
    EXPECT_LE(s.sides[1].maxOutstanding, 8u);
    EXPECT_EQ(s.state, analysis::TransferState::Started);
    ASSERT_EQ(s.clockSkew.size(), 1u);
    EXPECT_GE(s.clockSkew[0].minUs, -41 * kMs); // the tag's milliseconds cut off
    EXPECT_LE(s.clockSkew[0].maxUs, -40 * kMs);
    EXPECT_EQ(s.t3.count, fromNs / 20'000);
}

TEST(LinkSupervisor, ModbusResponseTimesAndTheirPercentile)
{
    // 1000 requests answered after 1, 2, ... 1000 ms: the 95th percentile is
    // 950 ms within the histogram's 1/32.
    LinkSupervisor sup;
    std::int64_t t = kStart;
    sup.NewConnection(3, t);
    for (unsigned n = 1; n <= 1000; ++n) {
        sup.Frame(3, kTo, t, Ask(n), true);
        sup.Frame(3, kFrom, t + n * kMs, Answer(n), true);
        t += 2'000 * kMs;
    }
    const analysis::ModbusSummary m = sup.Summary().at(0).modbus;
    EXPECT_EQ(m.responses, 1000u);
    EXPECT_EQ(m.responseTimes.minUs, 1 * kMs);
    EXPECT_EQ(m.responseTimes.maxUs, 1000 * kMs);
    EXPECT_DOUBLE_EQ(m.responseTimes.MeanUs(), 500.5 * kMs);
    EXPECT_NEAR(static_cast<double>(m.responseTimes.P95Us()), 950.0 * kMs, 950.0 * kMs / 32);
    EXPECT_EQ(sup.Events().size(), 1u); // the connection
}

TEST(LinkSupervisor, EventsBoundedWithDroppedCountAndSerials)
{
    analysis::Settings settings;
    settings.maxEvents = 5;
    LinkSupervisor sup(settings);
    std::vector<std::uint64_t> seen;
    sup.SetObserver([&](const Event& e) { seen.push_back(e.serial); });
    for (unsigned n = 1; n <= 8; ++n)
        sup.Frame(n, kFrom, kStart, Answer(n), false); // each a response to no request
    EXPECT_EQ(sup.Events().size(), 5u);
    EXPECT_EQ(sup.Dropped(), 3u);
    EXPECT_EQ(sup.Count(analysis::EventKind::UnsolicitedResponse), 8u);
    EXPECT_EQ(seen.size(), 8u);
    EXPECT_EQ(sup.LastSerial(), 8u);
    const auto after = sup.EventsAfter(6);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].serial, 7u);
    EXPECT_EQ(sup.EventsAfter(0).size(), 5u);
    EXPECT_TRUE(sup.EventsAfter(8).empty());
}

TEST(LinkSupervisor, CsvLineQuotesTheSentenceAndKeepsTheColumns)
{
    Event e;
    e.serial = 12;
    e.timeUs = kStart + 123'456;
    e.link = 9;
    e.kind = analysis::EventKind::Gap;
    e.severity = analysis::Severity::Fault;
    e.protocol = analysis::LinkProtocol::Iec104;
    e.text = "N(S) 4, \"late\"";
    e.frame = {0x68, 0x04, 0x43, 0, 0, 0};
    e.frameUs = kStart;
    EXPECT_EQ(analysis::EventCsvHeader(), "serial,time,time_us,link,direction,protocol,kind,severity,text,frame,frame_us\n");
    EXPECT_EQ(analysis::EventCsvLine(e), "12,2025-12-06T05:46:40.123Z,1765000000123456,9,from-device,iec104,gap,fault,"
                                         "\"N(S) 4, \"\"late\"\"\",68 04 43 00 00 00,1765000000000000\n");
}

} // namespace
