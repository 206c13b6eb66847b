#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace corvane::gibbslda {

/// Many short lists of (topic, count) pairs in one flat array: one list per word or per
/// document, holding only the topics with a nonzero count. A pair is packed into one Entry as
/// count << topicBits | topic. Each list has a fixed capacity, min(K, occurrences), which a list
/// of distinct topics can never exceed. Lists are unsorted, so every change is O(1) once the
/// entry is found; an increment that overtakes the entry in front swaps with it, which keeps the
/// heavy topics of a list near its front.
template <class Entry>
class TSparseCounts
{
public:
    /// One list per element of `capacities`, stored in the order `order` names them (so lists
    /// used together can sit together in memory); every list starts empty.
    void Reset(const std::vector<uint32_t>& capacities, const std::vector<uint32_t>& order,
               unsigned topicBits)
    {
        m_Bits = topicBits;
        m_One = Entry(1) << topicBits;
        m_Mask = m_One - 1;
        m_Heads.assign(capacities.size(), THead{});
        uint64_t next = 0;
        for (uint32_t list : order) {
            m_Heads[list].begin = next;
            m_Heads[list].capacity = capacities[list];
            next += capacities[list];
        }
        m_Entries.assign(next, 0);
    }

    Entry* Begin(uint32_t list) { return m_Entries.data() + m_Heads[list].begin; }
    const Entry* Begin(uint32_t list) const { return m_Entries.data() + m_Heads[list].begin; }
    uint32_t Size(uint32_t list) const { return m_Heads[list].size; }
    uint32_t Capacity(uint32_t list) const { return m_Heads[list].capacity; }
    void SetSize(uint32_t list, uint32_t size) { m_Heads[list].size = size; }

    uint32_t TopicOf(Entry e) const { return static_cast<uint32_t>(e & m_Mask); }
    uint64_t CountOf(Entry e) const { return static_cast<uint64_t>(e >> m_Bits); }
    Entry Pack(uint64_t count, uint32_t topic) const { return (Entry(count) << m_Bits) | topic; }
    Entry One() const { return m_One; }
    unsigned TopicBits() const { return m_Bits; }

    uint64_t Count(uint32_t list, uint32_t topic) const
    {
        const Entry* e = Begin(list);
        for (uint32_t j = 0, n = Size(list); j < n; ++j)
            if (TopicOf(e[j]) == topic)
                return CountOf(e[j]);
        return 0;
    }

    void Increment(uint32_t list, uint32_t topic)
    {
        Entry* e = Begin(list);
        const uint32_t n = Size(list);
        uint32_t j = 0;
        while (j < n && TopicOf(e[j]) != topic)
            ++j;
        if (j == n) {
            e[n] = m_One | topic;
            m_Heads[list].size = n + 1;
            return;
        }
        IncrementAt(list, j);
    }

    /// Increments the entry at position `index`; it may trade places with the entry in front.
    void IncrementAt(uint32_t list, uint32_t index)
    {
        Entry* e = Begin(list);
        e[index] += m_One;
        if (index > 0 && (e[index] >> m_Bits) > (e[index - 1] >> m_Bits))
            std::swap(e[index], e[index - 1]);
    }

    /// Decrements the count of `topic`, which must be in the list.
    void Decrement(uint32_t list, uint32_t topic)
    {
        const Entry* e = Begin(list);
        uint32_t j = 0;
        while (TopicOf(e[j]) != topic)
            ++j;
        DecrementAt(list, j);
    }

    /// Decrements the entry at position `index`; at 0 the list's last entry takes its place.
    void DecrementAt(uint32_t list, uint32_t index)
    {
        Begin(list)[index] -= m_One;
        RemoveIfEmpty(list, index);
    }

    /// Drops the entry at `index` if its count is 0, moving the list's last entry into its place;
    /// true when it did.
    bool RemoveIfEmpty(uint32_t list, uint32_t index)
    {
        Entry* e = Begin(list);
        if (e[index] >= m_One)
            return false;
        const uint32_t last = --m_Heads[list].size;
        e[index] = e[last];
        return true;
    }

private:
    struct THead
    {
        uint64_t begin = 0;
        uint32_t size = 0;
        uint32_t capacity = 0;
    };

    std::vector<THead> m_Heads;
    std::vector<Entry> m_Entries;
    unsigned m_Bits = 0;
    Entry m_One = 1;
    Entry m_Mask = 0;
};

} // namespace corvane::gibbslda
