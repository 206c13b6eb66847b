#include "outside/gibbsldacore/sparsecounts.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace corvane::gibbslda {
namespace {

// Random increments and decrements against a plain map: counts must agree, and every list must
// hold exactly its nonzero topics and stay within its capacity.
template <class Entry>
void CheckAgainstMap(unsigned topicBits, uint32_t topics)
{
    const std::vector<uint32_t> capacity = {topics, 3, 1};
    TSparseCounts<Entry> counts;
    counts.Reset(capacity, {2, 0, 1}, topicBits);
    std::vector<std::map<uint32_t, uint64_t>> expected(capacity.size());
    std::mt19937 random(7);
    for (int step = 0; step < 20000; ++step) {
        const uint32_t list = random() % capacity.size();
        auto& e = expected[list];
        uint64_t total = 0;
        for (auto& [k, n] : e)
            total += n;
        // Remove a token at random, or add one while the list has room for its topic.
        if (total > 0 && random() % 2) {
            auto it = e.begin();
            std::advance(it, random() % e.size());
            counts.Decrement(list, it->first);
            if (--it->second == 0)
                e.erase(it);
        } else {
            uint32_t k = random() % topics;
            if (e.size() == capacity[list] && !e.count(k))
                k = e.begin()->first;
            counts.Increment(list, k);
            ++e[k];
        }
        const Entry* entries = counts.Begin(list);
        ASSERT_EQ(counts.Size(list), e.size());
        for (uint32_t j = 0; j < counts.Size(list); ++j) {
            ASSERT_EQ(counts.CountOf(entries[j]), e[counts.TopicOf(entries[j])]);
        }
    }
}

TEST(TSparseCountsTest, MatchesPlainCountsUnderRandomChanges)
{
    CheckAgainstMap<uint32_t>(3, 8);
    CheckAgainstMap<uint64_t>(3, 8);
    CheckAgainstMap<uint32_t>(0, 1); // one topic: no topic bits at all
}

TEST(TSparseCountsTest, ListsStayApartInTheGivenOrder)
{
    TSparseCounts<uint32_t> counts;
    counts.Reset({2, 1, 3}, {1, 2, 0}, 4);
    EXPECT_EQ(counts.Begin(2), counts.Begin(1) + 1);
    EXPECT_EQ(counts.Begin(0), counts.Begin(2) + 3);
    counts.Increment(0, 5);
    counts.Increment(0, 5);
    counts.Increment(0, 9);
    counts.Increment(1, 3);
    EXPECT_EQ(counts.Count(0, 5), 2u);
    EXPECT_EQ(counts.Count(0, 9), 1u);
    EXPECT_EQ(counts.Count(1, 3), 1u);
    EXPECT_EQ(counts.Size(2), 0u);
    // Topic 9 overtakes topic 5 and moves in front of it.
    counts.Increment(0, 9);
    counts.Increment(0, 9);
    EXPECT_EQ(counts.TopicOf(counts.Begin(0)[0]), 9u);
    // Emptying the first entry moves the last one into its place.
    counts.DecrementAt(0, 1);
    counts.DecrementAt(0, 1);
    EXPECT_EQ(counts.Count(0, 5), 0u);
    EXPECT_EQ(counts.Size(0), 1u);
    counts.DecrementAt(0, 0);
    counts.DecrementAt(0, 0);
    counts.DecrementAt(0, 0);
    EXPECT_EQ(counts.Size(0), 0u);
}

} // namespace
} // namespace corvane::gibbslda
