#include "SocketTestSupport.h"

#include "socket/ReadLoop.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

struct ReadLoopCase {
    const char* name;
    int budgetMs;
    int msPerRead; // the time a reader spends on each datagram
    std::vector<int> readsPerPass;
    std::vector<ReadLoop::End> ends;
};

class ReadLoopTest : public ::testing::TestWithParam<ReadLoopCase> {};

// A datagram socket read through the loop: three datagrams queued before the
// event loop runs, each pass's reads and end recorded.
TEST_P(ReadLoopTest, PassesReadWhatWaitsInOrderWithinTheBudget)
{
    const ReadLoopCase& c = GetParam();
    TWSocket socket;
    ReadLoop loop(socket, c.budgetMs);
    std::vector<std::string> read;
    std::vector<int> readsPerPass;
    std::vector<ReadLoop::End> ends;
    socket.OnDataAvailable = [&](TCustomWSocket*, int) {
        int reads = 0;
        const auto readOnce = [&] {
            char buffer[64];
            const int count = socket.Receive(buffer, sizeof buffer);
            if (count < 0)
                return ReadLoop::Read::Drained;
            read.emplace_back(buffer, static_cast<size_t>(count));
            ++reads;
            std::this_thread::sleep_for(std::chrono::milliseconds(c.msPerRead));
            return ReadLoop::Read::Full;
        };
        loop.Begin();
        while (loop.ReadsOn(readOnce())) {
        }
        ends.push_back(loop.Ended());
        readsPerPass.push_back(reads);
    };
    Aim(socket, "udp", 0);
    socket.Listen();
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(LocalPortOf(socket.SocketHandle()));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    PlainSocket sender = PlainSocket::UdpReceiver();
    for (const std::string text : {"one", "two", "three"})
        ASSERT_EQ(sendto(sender.Handle(), text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to),
                  static_cast<ssize_t>(text.size()));

    // One turn of the event loop runs one pass: the socket's own loop is off.
    QCoreApplication::processEvents();
    EXPECT_EQ(readsPerPass.size(), 1u);
    // A pass that spent its budget is followed by the next for the rest.
    ASSERT_TRUE(SpinUntil([&] { return read.size() == 3; }));
    EXPECT_EQ(read, (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(readsPerPass, c.readsPerPass);
    EXPECT_EQ(ends, c.ends);
}

using End = ReadLoop::End;
INSTANTIATE_TEST_SUITE_P(ReadLoop, ReadLoopTest,
    ::testing::Values(
        ReadLoopCase{"AllWithinTheBudget", 1000, 0, {3}, {End::Drained}},
        ReadLoopCase{"BudgetSpentAfterEachRead", 1, 3, {1, 1, 1}, {End::BudgetSpent, End::BudgetSpent, End::BudgetSpent}},
        ReadLoopCase{"NoBudgetOneReadPerPass", 0, 0, {1, 1, 1}, {End::BudgetSpent, End::BudgetSpent, End::BudgetSpent}}),
    [](const ::testing::TestParamInfo<ReadLoopCase>& info) { return std::string(info.param.name); });

} // namespace
