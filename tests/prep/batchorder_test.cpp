#include "prep/batchorder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

using namespace corvane;

TEST(BatchOrderTest, HandsOverInBatchOrderWhateverOrderWorkersFinishIn)
{
    constexpr int kBatches = 400;
    constexpr int64_t kWindow = 3;
    TBatchOrder order(kWindow);
    std::vector<int> handedOver;
    std::atomic<int> next{0};
    std::atomic<int> outOfOrder{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&, w] {
            std::mt19937 rng(w);
            for (int b; (b = next++) < kBatches;) {
                std::this_thread::sleep_for(std::chrono::microseconds(rng() % 200));
                ASSERT_TRUE(order.Submit(b, [&, b] {
                    // Runs one at a time, so the vector needs no lock.
                    if (!handedOver.empty() && b - handedOver.back() != 1)
                        ++outOfOrder;
                    handedOver.push_back(b);
                    return true;
                }));
            }
        });
    for (auto& t : workers)
        t.join();
    ASSERT_EQ(handedOver.size(), static_cast<size_t>(kBatches));
    EXPECT_EQ(outOfOrder, 0);
}

TEST(BatchOrderTest, FailedHandOverClosesTheOrder)
{
    TBatchOrder order(4);
    int ran = 0;
    EXPECT_TRUE(order.Submit(1, [&] { return ++ran, true; })); // waits for batch 0
    EXPECT_FALSE(order.Submit(0, [&] { return ++ran, false; }));
    EXPECT_EQ(ran, 1); // batch 1 never ran
    EXPECT_FALSE(order.Submit(2, [&] { return ++ran, true; }));
    EXPECT_EQ(ran, 1);

    TBatchOrder closed(4);
    closed.Close();
    EXPECT_FALSE(closed.Submit(0, [] { return true; }));
}
