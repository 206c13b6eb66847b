#include "tools/rankfold/columnsort.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <utility>

using namespace corvane;

namespace {

// The sort as written out, kept naive on purpose: plain recursion on both sides, one thread,
// and a merge that looks at the four ranges in order and replaces its pick only on a smaller
// value.
void ReferenceQuickSort(std::vector<TSortEntry>& e, int64_t low, int64_t high)
{
    const float pivot = e[(low + high) / 2].value;
    int64_t i = low;
    int64_t j = high;
    while (i <= j) {
        while (e[i].value < pivot)
            ++i;
        while (e[j].value > pivot)
            --j;
        if (i <= j) {
            std::swap(e[i], e[j]);
            ++i;
            --j;
        }
    }
    if (low < j)
        ReferenceQuickSort(e, low, j);
    if (i < high)
        ReferenceQuickSort(e, i, high);
}

std::vector<TSortEntry> ReferenceSort(std::vector<TSortEntry> e)
{
    const int64_t n = static_cast<int64_t>(e.size());
    const int64_t q = n / 4;
    const int64_t begin[4] = {0, q, 2 * q, 3 * q};
    const int64_t end[4] = {q, 2 * q, 3 * q, n};
    for (int r = 0; r < 4; ++r)
        if (end[r] - begin[r] > 1)
            ReferenceQuickSort(e, begin[r], end[r] - 1);
    std::vector<TSortEntry> out;
    int64_t head[4] = {begin[0], begin[1], begin[2], begin[3]};
    while (static_cast<int64_t>(out.size()) < n) {
        int pick = -1;
        for (int r = 0; r < 4; ++r)
            if (head[r] < end[r] && (pick < 0 || e[head[r]].value < e[head[pick]].value))
                pick = r;
        out.push_back(e[head[pick]++]);
    }
    return out;
}

std::vector<int32_t> Labels(const std::vector<TSortEntry>& e)
{
    std::vector<int32_t> labels;
    for (const auto& x : e)
        labels.push_back(x.label);
    return labels;
}

std::vector<int32_t> SortedLabels(const std::vector<float>& values)
{
    std::vector<TSortEntry> entries;
    for (size_t i = 0; i < values.size(); ++i)
        entries.push_back({values[i], static_cast<int32_t>(i)});
    std::vector<TSortEntry> sorted;
    SortColumn(entries, sorted);
    return Labels(sorted);
}

} // namespace

TEST(ColumnSortTest, EqualValuesFollowThePartitionAndTheMergeRule)
{
    // Worked by hand. Each quarter of two equal values is swapped by the partition, and the
    // merge then takes the quarters in order.
    EXPECT_EQ(SortedLabels({1, 1, 1, 1, 1, 1, 1, 1}),
              (std::vector<int32_t>{1, 0, 3, 2, 5, 4, 7, 6}));
    // Quarters {0}, {1}, {2}, {3, 4, 5}: the ties between 1 and 2 and between 0 and 4 go to the
    // lower quarter.
    EXPECT_EQ(SortedLabels({0.5f, 0.25f, 0.25f, 0.125f, 0.5f, 0.0625f}),
              (std::vector<int32_t>{5, 3, 1, 2, 0, 4}));
}

TEST(ColumnSortTest, FewerRowsThanRangesLeaveTheFirstRangesEmpty)
{
    EXPECT_EQ(SortedLabels({}), std::vector<int32_t>{});
    EXPECT_EQ(SortedLabels({7}), std::vector<int32_t>{0});
    EXPECT_EQ(SortedLabels({0.5f, 0.5f}), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(SortedLabels({3, 1, 2}), (std::vector<int32_t>{1, 2, 0}));
}

TEST(ColumnSortTest, MatchesTheReferenceOnRandomColumnsWithManyTies)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case
    {
        const char* name;
        std::vector<float> pool; // empty: any float from [0, 1)
    };
    const Case cases[] = {
        {"all equal", {0.25f}},
        {"two values", {0.0f, 1.0f}},
        {"five values with both zeros", {-0.0f, 0.0f, 0.001f, 0.5f, 0.75f}},
        {"LDA-like: mostly the smoothing value", {1e-4f, 1e-4f, 1e-4f, 1e-4f, 0.02f, 0.3f}},
        {"distinct", {}},
        {"with NaN", {nan, 0.5f, 0.25f, 0.5f}},
    };
    const int sizes[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 13, 64, 101, 1000, 4099, 30011};
    std::mt19937 rng(20240611);
    for (const auto& c : cases) {
        for (int n : sizes) {
            SCOPED_TRACE(std::string(c.name) + ", n=" + std::to_string(n));
            std::vector<TSortEntry> entries;
            std::uniform_int_distribution<size_t> pick(0, c.pool.empty() ? 0 : c.pool.size() - 1);
            std::uniform_real_distribution<float> any(0.0f, 1.0f);
            for (int i = 0; i < n; ++i)
                entries.push_back({c.pool.empty() ? any(rng) : c.pool[pick(rng)], i});
            const auto expected = ReferenceSort(entries);
            std::vector<TSortEntry> sorted;
            SortColumn(entries, sorted);
            ASSERT_EQ(Labels(sorted), Labels(expected));
        }
    }
}

TEST(ColumnSortTest, AscendingAndDescendingRunsSortInOrder)
{
    for (bool ascending : {true, false}) {
        std::vector<float> values;
        for (int i = 0; i < 100000; ++i)
            values.push_back(static_cast<float>(ascending ? i : -i));
        const auto labels = SortedLabels(values);
        for (int i = 0; i < 100000; ++i)
            ASSERT_EQ(labels[i], ascending ? i : 99999 - i);
    }
}
