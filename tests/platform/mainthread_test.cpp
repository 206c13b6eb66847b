#include "platform/event.h"
#include "platform/mainthread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace corvane;
using namespace std::chrono_literals;

TEST(MainThreadTest, SendFromAWorkerRunsOnTheMainThreadAndWaits)
{
    TLoopMainThread loop;
    const auto mainId = std::this_thread::get_id();
    std::atomic<int> order{0};
    int seenOrder = -1;
    std::thread::id ranOn;
    bool sent = false;
    std::thread worker([&] {
        sent = loop.Send([&] {
            ranOn = std::this_thread::get_id();
            seenOrder = order.fetch_add(1);
        });
        order.fetch_add(1); // only after the handler has run
        loop.Post([&] { order.fetch_add(10); });
    });
    loop.RunUntil([&] { return order.load() >= 12; }, 10ms);
    worker.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(ranOn, mainId);
    EXPECT_EQ(seenOrder, 0);
}

TEST(MainThreadTest, SendOnTheMainThreadRunsAtOnceAndShutdownReleasesSenders)
{
    TLoopMainThread loop;
    bool ran = false;
    EXPECT_TRUE(loop.Send([&] { ran = true; }));
    EXPECT_TRUE(ran);

    std::atomic<bool> result{true};
    std::thread worker([&] { result = loop.Send([] { FAIL() << "must not run"; }); });
    std::this_thread::sleep_for(50ms);
    loop.Shutdown();
    worker.join();
    EXPECT_FALSE(result);
}

TEST(EventTest, AutoResetLetsOneWaitThroughManualResetStays)
{
    TEvent autoEvent(false);
    EXPECT_FALSE(autoEvent.Wait(0ms));
    autoEvent.Set();
    EXPECT_TRUE(autoEvent.Wait(0ms));
    EXPECT_FALSE(autoEvent.Wait(0ms));

    TEvent manual(true);
    manual.Set();
    EXPECT_TRUE(manual.Wait(0ms));
    EXPECT_TRUE(manual.Wait(0ms));
    manual.Reset();
    EXPECT_FALSE(manual.IsSet());

    TEvent later(false);
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        later.Set();
    });
    EXPECT_TRUE(later.Wait(5s));
    setter.join();
}
