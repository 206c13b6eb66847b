#include "tools/rankfold/columnsort.h"

#include <array>
#include <thread>
#include <utility>

namespace corvane {
namespace {

constexpr int kRanges = 4;

void QuickSort(TSortEntry* e, int64_t low, int64_t high)
{
    while (low < high) {
        const float pivot = e[low + (high - low) / 2].value;
        int64_t i = low;
        int64_t j = high;
        do {
            while (e[i].value < pivot)
                ++i;
            while (e[j].value > pivot)
                --j;
            if (i <= j) {
                std::swap(e[i], e[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        // The two sides are disjoint, so sorting the smaller one first and looping on the larger
        // gives the same order as two recursive calls, with the stack bounded by log2(n).
        if (j - low < high - i) {
            QuickSort(e, low, j);
            low = i;
        } else {
            QuickSort(e, i, high);
            high = j;
        }
    }
}

} // namespace

void SortColumn(std::vector<TSortEntry>& entries, std::vector<TSortEntry>& sorted)
{
    const int64_t n = static_cast<int64_t>(entries.size());
    const int64_t quarter = n / kRanges;
    std::array<int64_t, kRanges> begin{};
    std::array<int64_t, kRanges> end{};
    for (int r = 0; r < kRanges; ++r) {
        begin[r] = r * quarter;
        end[r] = r + 1 < kRanges ? begin[r] + quarter : n;
    }

    TSortEntry* data = entries.data();
    std::array<std::thread, kRanges> workers;
    for (int r = 0; r < kRanges; ++r)
        workers[r] = std::thread([=] { QuickSort(data, begin[r], end[r] - 1); });
    for (auto& w : workers)
        w.join();

    // The merge scans the heads of the ranges not yet used up, in range order, and takes a
    // later head only when it is smaller: ties go to the lower range.
    struct TRun
    {
        const TSortEntry* at;
        const TSortEntry* end;
    };
    std::array<TRun, kRanges> runs{};
    int active = 0;
    for (int r = 0; r < kRanges; ++r)
        if (begin[r] < end[r])
            runs[active++] = {data + begin[r], data + end[r]};
    sorted.resize(entries.size());
    TSortEntry* out = sorted.data();
    while (active > 0) {
        int best = 0;
        float bestValue = runs[0].at->value;
        for (int r = 1; r < active; ++r) {
            const float v = runs[r].at->value;
            if (v < bestValue) {
                best = r;
                bestValue = v;
            }
        }
        *out++ = *runs[best].at++;
        if (runs[best].at == runs[best].end) {
            for (int r = best; r + 1 < active; ++r)
                runs[r] = runs[r + 1];
            --active;
        }
    }
}

} // namespace corvane
