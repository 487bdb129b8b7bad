// The notification endpoint's posted notifications: delivered from the event
// loop in the order posted, all from one queued event, and dropped once the
// handle is no longer watched, also when it is watched again right away.
#include "socket/WSocketReadiness.h"
#include "socket/WSocketTypes.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace {

struct Delivered {
    int handle;
    unsigned events;
    int error;
    bool operator==(const Delivered&) const = default;
};

class ReadinessTest : public ::testing::Test {
protected:
    ReadinessTest()
        : readiness_([this](int handle, unsigned events, int error) { delivered_.push_back({handle, events, error}); })
        , handle_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
    }
    ~ReadinessTest() override
    {
        readiness_.Stop();
        ::close(handle_);
    }
    // Lets the event loop deliver what is queued.
    void Turn() { QCoreApplication::processEvents(); }

    std::vector<Delivered> delivered_;
    WSocketReadiness readiness_;
    int handle_;
};

TEST_F(ReadinessTest, PostedNotificationsArriveInOrderFromTheEventLoop)
{
    ASSERT_TRUE(readiness_.Start(handle_, FD_READ | FD_WRITE | FD_CLOSE));
    Turn(); // the write readiness of a new datagram socket
    delivered_.clear();
    readiness_.Post(FD_WRITE, 0);
    readiness_.Post(FD_CLOSE, 10054);
    readiness_.Post(FD_WRITE, 0);
    EXPECT_TRUE(delivered_.empty());
    Turn();
    const std::vector<Delivered> expected{{handle_, FD_WRITE, 0}, {handle_, FD_CLOSE, 10054}, {handle_, FD_WRITE, 0}};
    EXPECT_EQ(delivered_, expected);
    Turn();
    EXPECT_EQ(delivered_, expected);
}

TEST_F(ReadinessTest, NotificationsOfAHandleNoLongerWatchedAreDropped)
{
    // Opened and closed many times between two turns of the loop, as for a
    // frame sent from a new socket each time: only the last watch delivers.
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(readiness_.Start(handle_, FD_READ | FD_WRITE));
        readiness_.Post(FD_WRITE, 0);
        readiness_.Stop();
    }
    Turn();
    EXPECT_TRUE(delivered_.empty());
    ASSERT_TRUE(readiness_.Start(handle_, FD_READ | FD_WRITE));
    readiness_.Post(FD_WRITE, 0);
    Turn();
    // The write readiness of the start and the one posted.
    EXPECT_EQ(delivered_, (std::vector<Delivered>{{handle_, FD_WRITE, 0}, {handle_, FD_WRITE, 0}}));
}

TEST_F(ReadinessTest, AHandlerThatPostsAgainIsServedAtTheNextTurn)
{
    std::vector<Delivered> seen;
    WSocketReadiness* self = nullptr;
    WSocketReadiness again([&](int handle, unsigned events, int error) {
        seen.push_back({handle, events, error});
        if (seen.size() == 1)
            self->Post(FD_CLOSE, 0);
    });
    self = &again;
    ASSERT_TRUE(again.Start(handle_, FD_WRITE | FD_CLOSE));
    Turn();
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_EQ(seen[0].events, unsigned{FD_WRITE});
    Turn();
    ASSERT_EQ(seen.size(), 2U);
    EXPECT_EQ(seen[1].events, unsigned{FD_CLOSE});
    again.Stop();
}

} // namespace
