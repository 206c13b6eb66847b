#include "prep/wordcounter.h"

#include <algorithm>
#include <cstring>

namespace corvane {

TWordTally TWordCounter::NewTally(uint32_t id, std::string_view word, uint64_t key)
{
    TWordTally t;
    t.id = id;
    t.docs = 1;
    t.freq = 1;
    t.first = key;
    t.last = key;
    t.len = static_cast<uint8_t>(std::min<size_t>(word.size(), kWordMaxLen));
    std::memcpy(t.text, word.data(), t.len);
    return t;
}

void TWordCounter::Merge(const TWordCounter& other)
{
    for (const TWordTally& o : other.m_Tallies) {
        bool added;
        const int32_t at = m_Index.Insert(o.id, added);
        if (added) {
            m_Tallies.push_back(o);
            continue;
        }
        TWordTally& t = m_Tallies[static_cast<size_t>(at)];
        t.freq += o.freq;
        t.docs += o.docs;
        if (o.first < t.first) {
            t.first = o.first;
            t.len = o.len;
            std::memcpy(t.text, o.text, o.len);
        }
        t.last = std::max(t.last, o.last);
    }
}

} // namespace corvane
