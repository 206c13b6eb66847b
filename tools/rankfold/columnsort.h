#pragma once

#include <cstdint>
#include <vector>

namespace corvane {

/// One value of a column with the label (row number, document number) that travels with it.
struct TSortEntry
{
    float value;
    int32_t label;
};

/// Sorts a column ascending by value. The positions are split into four ranges (the first three
/// of n / 4 entries, the last takes the rest), four threads quicksort one range each (Hoare
/// partitioning around the middle entry), then the ranges are merged; on equal values the
/// lower-numbered range goes first. Equal values end up in exactly that order, which the sorted
/// tables depend on. `entries` is left with each range sorted; `sorted` receives the result.
void SortColumn(std::vector<TSortEntry>& entries, std::vector<TSortEntry>& sorted);

} // namespace corvane
