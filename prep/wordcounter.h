#pragma once

#include "container/binarydoc.h"
#include "prep/idindex.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvane {

/// Where an occurrence stands when the documents are read in id order: the document id in the
/// high half, the word's position in its document in the low half.
inline uint64_t OccurrenceKey(int32_t docid, uint32_t pos)
{
    return static_cast<uint64_t>(static_cast<uint32_t>(docid)) << 32 | pos;
}

/// The counts of one word id.
struct TWordTally
{
    uint32_t id;
    int32_t docs;   // documents that hold the word
    int64_t freq;   // occurrences
    uint64_t first; // OccurrenceKey of the first occurrence, whose text the word keeps
    uint64_t last;  // OccurrenceKey of the last occurrence
    uint8_t len;
    char text[kWordMaxLen]; // the first occurrence's text, cut to 56 bytes
};

/// The word counts of a set of documents, one tally per word id. Counters of disjoint sets of
/// documents merge into the counts of their union, in any order of merging.
class TWordCounter
{
public:
    /// Counts one occurrence. A document's words are added one after another, in text order.
    void Add(uint32_t id, std::string_view word, int32_t docid, uint32_t pos)
    {
        bool added;
        const int32_t at = m_Index.Insert(id, added);
        const uint64_t key = OccurrenceKey(docid, pos);
        if (added) {
            m_Tallies.push_back(NewTally(id, word, key));
            return;
        }
        TWordTally& t = m_Tallies[static_cast<size_t>(at)];
        ++t.freq;
        if (static_cast<int32_t>(t.last >> 32) != docid)
            ++t.docs;
        t.last = key;
    }

    void Merge(const TWordCounter& other);

    const std::vector<TWordTally>& Tallies() const { return m_Tallies; }

private:
    static TWordTally NewTally(uint32_t id, std::string_view word, uint64_t key);

    TIdIndex m_Index;
    std::vector<TWordTally> m_Tallies;
};

} // namespace corvane
