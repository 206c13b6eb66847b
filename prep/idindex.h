#pragma once

#include <cstdint>
#include <vector>

namespace corvane {

/// An open-addressing index from 32-bit word ids to positions 0, 1, 2, ... in the order the ids
/// were first inserted. Word ids are checksums, so a multiplicative hash spreads them well.
class TIdIndex
{
public:
    TIdIndex() { Rehash(16); }

    /// The position of `id`, or -1.
    int32_t Find(uint32_t id) const
    {
        for (size_t i = Home(id);; i = (i + 1) & m_Mask) {
            const TSlot& s = m_Slots[i];
            if (s.pos < 0)
                return -1;
            if (s.id == id)
                return s.pos;
        }
    }

    /// The position of `id`; a new id gets position Size() and sets `added`.
    int32_t Insert(uint32_t id, bool& added)
    {
        for (size_t i = Home(id);; i = (i + 1) & m_Mask) {
            TSlot& s = m_Slots[i];
            if (s.id == id && s.pos >= 0) {
                added = false;
                return s.pos;
            }
            if (s.pos < 0) {
                added = true;
                s = {id, m_Size++};
                if (static_cast<size_t>(m_Size) * 2 > m_Slots.size())
                    Rehash(m_Slots.size() * 2);
                return m_Size - 1;
            }
        }
    }

    int32_t Size() const { return m_Size; }

private:
    struct TSlot
    {
        uint32_t id;
        int32_t pos; // -1: empty
    };

    size_t Home(uint32_t id) const
    {
        return static_cast<size_t>((id * 0x9E3779B97F4A7C15ull) >> m_Shift);
    }

    void Rehash(size_t slots)
    {
        std::vector<TSlot> old(slots, TSlot{0, -1});
        old.swap(m_Slots);
        m_Mask = slots - 1;
        m_Shift = 64;
        for (size_t n = slots; n > 1; n >>= 1)
            --m_Shift;
        for (const TSlot& s : old) {
            if (s.pos < 0)
                continue;
            size_t i = Home(s.id);
            while (m_Slots[i].pos >= 0)
                i = (i + 1) & m_Mask;
            m_Slots[i] = s;
        }
    }

    std::vector<TSlot> m_Slots;
    size_t m_Mask = 0;
    int m_Shift = 64;
    int32_t m_Size = 0;
};

} // namespace corvane
