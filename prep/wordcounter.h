#pragma once

#include "container/binarydoc.h"
#include "platform/populatingallocator.h"

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
///
/// An open-addressing table keeps each word's counters in its slot, so counting an occurrence
/// touches one place in memory; the texts lie apart and are touched only for new words.
class TWordCounter
{
public:
    TWordCounter() { Rehash(1024); }

    /// Counts one occurrence. A document's words are added one after another, in text order.
    void Add(uint32_t id, std::string_view word, int32_t docid, uint32_t pos)
    {
        TSlot& s = Find(id);
        if (s.text < 0) {
            const uint64_t key = OccurrenceKey(docid, pos);
            Claim(s, {id, 1, 1, key, key, 0, {}}, word);
            return;
        }
        ++s.freq;
        if (s.lastDoc != docid) {
            ++s.docs;
            s.lastDoc = docid;
        }
        s.lastPos = pos;
    }

    /// Adds the counts of `other`, which is used up.
    void Merge(TWordCounter&& other);

    /// The tally of every word, in no particular order.
    std::vector<TWordTally> Tallies() const;

private:
    struct TSlot
    {
        uint32_t id;
        int32_t text; // index into m_Texts; -1: empty slot
        int32_t docs;
        int32_t lastDoc;
        uint32_t lastPos;
        int64_t freq;
    };
    struct TText
    {
        uint64_t first;
        uint8_t len;
        char text[kWordMaxLen];
    };

    TSlot& Find(uint32_t id)
    {
        for (size_t i = Home(id);; i = (i + 1) & m_Mask) {
            TSlot& s = m_Slots[i];
            if (s.text < 0 || s.id == id)
                return s;
        }
    }
    size_t Home(uint32_t id) const
    {
        return static_cast<size_t>((id * 0x9E3779B97F4A7C15ull) >> m_Shift);
    }
    void Claim(TSlot& s, const TWordTally& tally, std::string_view word);
    void Rehash(size_t slots);

    std::vector<TSlot, TPopulatingAllocator<TSlot>> m_Slots;
    std::vector<TText, TPopulatingAllocator<TText>> m_Texts;
    size_t m_Mask = 0;
    int m_Shift = 64;
};

} // namespace corvane
