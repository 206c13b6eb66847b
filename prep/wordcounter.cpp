#include "prep/wordcounter.h"

#include <algorithm>
#include <cstring>

namespace corvane {

void TWordCounter::Claim(TSlot& s, const TWordTally& tally, std::string_view word)
{
    s.id = tally.id;
    s.text = static_cast<int32_t>(m_Texts.size());
    s.docs = tally.docs;
    s.freq = tally.freq;
    s.lastDoc = static_cast<int32_t>(tally.last >> 32);
    s.lastPos = static_cast<uint32_t>(tally.last);
    TText& t = m_Texts.emplace_back();
    t.first = tally.first;
    t.len = static_cast<uint8_t>(std::min<size_t>(word.size(), kWordMaxLen));
    std::memcpy(t.text, word.data(), t.len);
    // Half full at most, so probes stay short. `s` is not used after this.
    if (m_Texts.size() * 2 > m_Slots.size())
        Rehash(m_Slots.size() * 2);
}

void TWordCounter::Rehash(size_t slots)
{
    std::vector<TSlot, TPopulatingAllocator<TSlot>> old(slots, TSlot{0, -1, 0, 0, 0, 0});
    old.swap(m_Slots);
    m_Mask = slots - 1;
    m_Shift = 64;
    for (size_t n = slots; n > 1; n >>= 1)
        --m_Shift;
    for (const TSlot& s : old)
        if (s.text >= 0)
            Find(s.id) = s;
}

void TWordCounter::Merge(TWordCounter&& other)
{
    if (m_Texts.empty()) {
        *this = std::move(other);
        return;
    }
    for (const TSlot& o : other.m_Slots) {
        if (o.text < 0)
            continue;
        const TText& ot = other.m_Texts[static_cast<size_t>(o.text)];
        TSlot& s = Find(o.id);
        if (s.text < 0) {
            Claim(s, {o.id, o.docs, o.freq, ot.first, OccurrenceKey(o.lastDoc, o.lastPos), 0, {}},
                  std::string_view(ot.text, ot.len));
            continue;
        }
        s.freq += o.freq;
        s.docs += o.docs;
        if (OccurrenceKey(o.lastDoc, o.lastPos) > OccurrenceKey(s.lastDoc, s.lastPos)) {
            s.lastDoc = o.lastDoc;
            s.lastPos = o.lastPos;
        }
        TText& t = m_Texts[static_cast<size_t>(s.text)];
        if (ot.first < t.first)
            t = ot;
    }
}

std::vector<TWordTally> TWordCounter::Tallies() const
{
    std::vector<TWordTally> out;
    out.reserve(m_Texts.size());
    for (const TSlot& s : m_Slots) {
        if (s.text < 0)
            continue;
        const TText& t = m_Texts[static_cast<size_t>(s.text)];
        TWordTally& w = out.emplace_back();
        w.id = s.id;
        w.docs = s.docs;
        w.freq = s.freq;
        w.first = t.first;
        w.last = OccurrenceKey(s.lastDoc, s.lastPos);
        w.len = t.len;
        std::memcpy(w.text, t.text, t.len);
    }
    return out;
}

} // namespace corvane
