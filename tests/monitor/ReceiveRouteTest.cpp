// The order of the receive rules of both programs, without a window: what
// the window's line sink, the capture for timed saving and the answer see of
// one frame, for each switch the user sets.

#include "monitor/LinkKeys.h"
#include "monitor/ReceiveRoute.h"
#include "monitor/TimedSave.h"
#include "platform/CaptureBuffer.h"
#include "tcpmon/ReceiveFilter.h"
#include "tcpmon/TamrelState.h"
#include "udpmon/DatagramSender.h"
#include "udpmon/OstrelState.h"
#include "udpmon/ReceivePass.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include "tests/platform/QtPrinters.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <string>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>

namespace {

// Every call the route makes, each with the count of lines captured so far.
class RecordingSink final : public monitor::LineSink {
public:
    explicit RecordingSink(const CaptureBuffer& captured) : captured_(captured) {}
    void EmptyIfFull() override { Log(QStringLiteral("rule")); }
    void Line(const QString& line) override { Log(QStringLiteral("line ") + line); }
    void Line(QByteArray bytes, QString (*format)(const QByteArray&)) override { Log(QStringLiteral("late ") + format(bytes)); }
    void Text(const QString& text) override { Log(QStringLiteral("text ") + text); }
    void PassEnded(monitor::PassEnd) override { Log(QStringLiteral("pass")); }
    void Log(const QString& what) { log.append(QStringLiteral("%1 @%2").arg(what).arg(captured_.Count())); }
    QStringList log;

private:
    const CaptureBuffer& captured_;
};

enum class Program { Ostrel, Tamrel };

struct Switches {
    bool paused = false;
    bool ascii = false;
    bool filteredOut = false; // a filter rule is on that the frame fails
    bool capturing = true;
    bool source = false; // the peer's address in front of the line
};

struct Case {
    const char* name;
    Program program;
    Switches switches;
    QByteArray bytes;
    QStringList log; // "<event> @<lines captured by then>"
    QStringList captured;
};

class ReceiveRouteTest : public ::testing::TestWithParam<Case> {};

TEST_P(ReceiveRouteTest, RulesComeInTheProgramsOrder)
{
    const Case& c = GetParam();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    int saveNumber = 0;
    monitor::TimedSave capture(saveNumber, [](const std::exception&) {}, nullptr, folder.path());
    capture.Timer1()->SetInterval(3600000);
    capture.Timer1()->SetEnabled(c.switches.capturing);
    RecordingSink sink(capture.SMemo1());

    ostrel::OstrelState ostrelState;
    ostrel::DatagramSender sender(ostrelState);
    tamrel::TamrelState tamrelState;
    // Tamrel_S's one rule answers 01 02 with AA.
    monitor::TriggerAnswers triggers;
    (void)triggers.Apply({monitor::TriggerRow{true, QStringLiteral("01 02"), QStringLiteral("AA")}, {}, {}});
    monitor::ReceivePolicy policy;
    monitor::ReceiveSwitches switches;
    if (c.program == Program::Ostrel) {
        ostrelState.DisplayPaused = c.switches.paused;
        ostrelState.RecvAscii = c.switches.ascii;
        ostrelState.ShowSource = c.switches.source;
        // Shows only frames whose first byte is 7F.
        ostrelState.FilterRules[0] = {c.switches.filteredOut, QStringLiteral("1"), QStringLiteral("7F")};
        policy = ostrel::OstrelReceivePolicy(ostrelState, sender);
        switches = ostrel::OstrelReceiveSwitches(ostrelState);
    } else {
        tamrelState.FilterRuleOn[0] = c.switches.filteredOut;
        policy = tamrel::TamrelReceivePolicy(tamrelState, [&tamrelState] {
            return std::array<tamrel::FilterRuleInput, 3>{
                tamrel::FilterRuleInput{tamrelState.FilterRuleOn[0], QStringLiteral("1"), QStringLiteral("7F")}, {}, {}};
        }, triggers, [&sink](std::span<const std::uint8_t> response) {
            sink.Log(QStringLiteral("send %1").arg(QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(response.data()),
                                                                                  static_cast<qsizetype>(response.size())).toHex())));
        });
        switches = {&c.switches.paused, nullptr, nullptr, nullptr, &c.switches.source};
    }
    // The program's answer is kept (Ostrel's rules match nothing here) and
    // its moment logged.
    ASSERT_TRUE(policy.answer);
    if (policy.answer)
        policy.answer = [&sink, answer = policy.answer](const monitor::ReceivedFrame& frame) {
            sink.Log(QStringLiteral("answer"));
            answer(frame);
        };
    monitor::ReceiveRoute route(sink, capture, policy, switches);
    int observed = 0;
    route.AddObserver([&observed](const monitor::ReceivedFrame&) { ++observed; });

    monitor::ReceivedFrame frame;
    frame.bytes = std::span(reinterpret_cast<const std::uint8_t*>(c.bytes.constData()), static_cast<std::size_t>(c.bytes.size()));
    // Ostrel's peer is [::1]:5000, Tamrel_S's 127.0.0.1:7.
    if (c.program == Program::Ostrel) {
        frame.source6.sin6_family = AF_INET6;
        frame.source6.sin6_addr = in6addr_loopback;
        frame.source6.sin6_port = htons(5000);
    } else {
        frame.source.sin_family = AF_INET;
        frame.source.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        frame.source.sin_port = htons(7);
    }
    route.Receive(frame);
    EXPECT_EQ(observed, 1);
    EXPECT_EQ(sink.log, c.log);
    EXPECT_EQ(capture.SMemo1().Lines(), c.captured);
}

const QString k0102 = QStringLiteral("01 02 ");

INSTANTIATE_TEST_SUITE_P(
    BothPrograms, ReceiveRouteTest,
    ::testing::Values(
        // Ostrel: the line rule, then the line, then the capture, then the answer.
        Case{"OstrelShown", Program::Ostrel, {}, QByteArray("\x01\x02", 2),
             {QStringLiteral("rule @0"), QStringLiteral("line 01 02  @0"), QStringLiteral("answer @1")}, {k0102}},
        // Paused: nothing reaches the window, the frame is still captured and answered.
        Case{"OstrelPaused", Program::Ostrel, {.paused = true}, QByteArray("\x01\x02", 2), {QStringLiteral("answer @1")}, {k0102}},
        // Hidden by the filter: the line rule still applies.
        Case{"OstrelFilteredOut", Program::Ostrel, {.filteredOut = true}, QByteArray("\x01\x02", 2),
             {QStringLiteral("rule @0"), QStringLiteral("answer @1")}, {k0102}},
        // The peer in front of the line, in the window and in the capture.
        Case{"OstrelSource", Program::Ostrel, {.source = true}, QByteArray("\x01\x02", 2),
             {QStringLiteral("rule @0"), QStringLiteral("line [::1]:5000  01 02  @0"), QStringLiteral("answer @1")},
             {QStringLiteral("[::1]:5000  01 02 ")}},
        Case{"OstrelNotCapturing", Program::Ostrel, {.capturing = false}, QByteArray("\x01\x02", 2),
             {QStringLiteral("rule @0"), QStringLiteral("line 01 02  @0"), QStringLiteral("answer @0")}, {}},
        // ASCII mode: the text at once, no capture, no answer.
        Case{"OstrelAscii", Program::Ostrel, {.ascii = true}, QByteArray("AB\0C", 4), {QStringLiteral("text AB @0")}, {}},
        // An empty datagram makes no line.
        Case{"OstrelEmpty", Program::Ostrel, {}, QByteArray(), {}, {}},
        // Tamrel_S: captured first, the line rule after every chunk, then
        // the trigger's answer (01 02 is answered with AA); the line made
        // for the capture is the line shown, and without a capture it is
        // made only when written.
        Case{"TamrelShown", Program::Tamrel, {}, QByteArray("\x01\x02", 2),
             {QStringLiteral("line 01 02  @1"), QStringLiteral("rule @1"), QStringLiteral("answer @1"), QStringLiteral("send aa @1")},
             {k0102}},
        Case{"TamrelNotCapturing", Program::Tamrel, {.capturing = false}, QByteArray("\x01\x02", 2),
             {QStringLiteral("late 01 02  @0"), QStringLiteral("rule @0"), QStringLiteral("answer @0"), QStringLiteral("send aa @0")},
             {}},
        // A line with the peer in front is made at once.
        Case{"TamrelSource", Program::Tamrel, {.capturing = false, .source = true}, QByteArray("\x01\x02", 2),
             {QStringLiteral("line 127.0.0.1:7  01 02  @0"), QStringLiteral("rule @0"), QStringLiteral("answer @0"),
              QStringLiteral("send aa @0")},
             {}},
        // Paused or hidden by the filter: still captured and answered.
        Case{"TamrelPaused", Program::Tamrel, {.paused = true}, QByteArray("\x01\x02", 2),
             {QStringLiteral("rule @1"), QStringLiteral("answer @1"), QStringLiteral("send aa @1")}, {k0102}},
        Case{"TamrelFilteredOut", Program::Tamrel, {.filteredOut = true}, QByteArray("\x01\x02", 2),
             {QStringLiteral("rule @1"), QStringLiteral("answer @1"), QStringLiteral("send aa @1")}, {k0102}},
        Case{"TamrelFilterPasses", Program::Tamrel, {.filteredOut = true}, QByteArray("\x7F", 1),
             {QStringLiteral("line 7F  @1"), QStringLiteral("rule @1"), QStringLiteral("answer @1")}, {QStringLiteral("7F ")}},
        // The end of the client's stream is an empty line.
        Case{"TamrelEndOfStream", Program::Tamrel, {}, QByteArray(),
             {QStringLiteral("line  @1"), QStringLiteral("rule @1")}, {QString()}}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The link supervision's datagram links: one per peer address of either
// family, whatever the port; each named by its address.
TEST(DatagramLinks, OneLinkPerAddressOfEitherFamily)
{
    struct Peer {
        const char* address;
        std::uint16_t port;
    };
    const auto addresses = [](const Peer& p) {
        sockaddr_in v4{};
        sockaddr_in6 v6{};
        if (::inet_pton(AF_INET, p.address, &v4.sin_addr) == 1) {
            v4.sin_family = AF_INET;
            v4.sin_port = htons(p.port);
        } else {
            EXPECT_EQ(::inet_pton(AF_INET6, p.address, &v6.sin6_addr), 1) << p.address;
            v6.sin6_family = AF_INET6;
            v6.sin6_port = htons(p.port);
        }
        return std::pair{v4, v6};
    };
    struct Row {
        const char* name;
        Peer a, b;
        bool sameLink;
    };
    const std::vector<Row> rows{
        {"two IPv6 peers", {"2001:db8::1", 2404}, {"2001:db8::2", 2404}, false},
        {"one IPv6 peer from two ports", {"2001:db8::1", 2404}, {"2001:db8::1", 50000}, true},
        {"IPv6 peers differing in the first byte only", {"fd00::7", 1}, {"fe00::7", 1}, false},
        {"an IPv4 peer and an IPv6 peer", {"192.168.1.10", 2404}, {"64:ff9b::c0a8:10a", 2404}, false},
        {"one IPv4 peer from two ports", {"192.168.1.10", 2404}, {"192.168.1.10", 1}, true},
        {"the unknown peer and 0.0.0.0", {"0.0.0.0", 0}, {"::", 0}, false},
    };
    for (const Row& row : rows) {
        monitor::DatagramLinks links;
        const auto [a4, a6] = addresses(row.a);
        const auto [b4, b6] = addresses(row.b);
        const std::uint64_t a = links.Key(a4, a6);
        const std::uint64_t b = links.Key(b4, b6);
        EXPECT_EQ(a == b, row.sameLink) << row.name;
        EXPECT_EQ(links.Name(a), row.a.address) << row.name;
        EXPECT_EQ(links.Name(b), row.b.address) << row.name;
        EXPECT_EQ(links.Key(a4, a6), a) << row.name << ": asked again";
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
