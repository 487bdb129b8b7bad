// The order of the receive rules of both programs, without a window: what
// the window's line sink, the capture for timed saving and the answer see of
// one frame, for each switch the user sets.

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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
