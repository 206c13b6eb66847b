#include "prep/childslots.h"

#include <gtest/gtest.h>

#include <thread>

namespace corvane {
namespace {

TEST(TChildSlotsTest, WaitsAtTheLimitUntilReleasedOrStopped)
{
    TChildSlots slots;
    std::atomic<bool> stop{false};
    ASSERT_TRUE(slots.Acquire(2, stop));
    ASSERT_TRUE(slots.Acquire(2, stop));
    EXPECT_EQ(slots.Running(), 2);

    std::atomic<bool> third{false};
    std::thread waiter([&] { third = slots.Acquire(2, stop); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(third.load());
    slots.Release();
    waiter.join();
    EXPECT_TRUE(third.load());
    EXPECT_EQ(slots.Running(), 2);

    std::atomic<bool> stopped{true};
    std::thread blocked([&] { stopped = slots.Acquire(2, stop); });
    stop = true;
    slots.WakeAll();
    blocked.join();
    EXPECT_FALSE(stopped.load());
    EXPECT_EQ(slots.Running(), 2);
}

} // namespace
} // namespace corvane
