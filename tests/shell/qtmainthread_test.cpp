#include "shell/qtmainthread.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace corvane;

namespace {

// Lets the main thread's event loop run until `done` or a generous timeout.
bool ProcessUntil(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

} // namespace

TEST(TQtMainThreadTest, SendRunsOnTheMainThreadAndWaits)
{
    TQtMainThread dispatcher;
    const auto mainId = std::this_thread::get_id();
    std::thread::id ranOn;
    std::atomic<int> result{-1};
    bool inline_ran = false;
    EXPECT_TRUE(dispatcher.Send([&] { inline_ran = true; })); // on the main thread: at once
    EXPECT_TRUE(inline_ran);

    std::thread worker([&] {
        bool ok = dispatcher.Send([&] { ranOn = std::this_thread::get_id(); });
        result = ok ? 1 : 0; // the work has run by the time Send returns
        dispatcher.Post([&] { result = 2; });
    });
    EXPECT_TRUE(ProcessUntil([&] { return result == 2; }));
    worker.join();
    EXPECT_EQ(ranOn, mainId);
}

TEST(TQtMainThreadTest, ShutdownReleasesWaitingSendersWithoutRunningTheirWork)
{
    TQtMainThread dispatcher;
    std::atomic<bool> sending{false};
    std::atomic<int> result{-1};
    bool ran = false;
    std::thread worker([&] {
        sending = true;
        result = dispatcher.Send([&] { ran = true; }) ? 1 : 0;
    });
    while (!sending)
        std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    dispatcher.Shutdown(); // the main thread never ran its events: the sender still waits
    worker.join();
    EXPECT_EQ(result, 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);

    std::thread late([&] { result = dispatcher.Send([&] { ran = true; }) ? 1 : 0; });
    late.join(); // returns at once after the shutdown
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(ran);
}
