#pragma once

#include "container/binarydoc.h"

#include <cstdint>
#include <unordered_map>

namespace corvane {

/// Word id -> index of the first word-map entry with that id; built once per word map so that
/// every lookup is a hash probe instead of a scan of the map.
class TWordIdIndex
{
public:
    explicit TWordIdIndex(const TWordAndFreqArray& wordmap)
    {
        m_Index.reserve(wordmap.size());
        for (size_t i = 0; i < wordmap.size(); ++i)
            m_Index.emplace(wordmap[i].wfuID, static_cast<int32_t>(i)); // keeps the first
    }

    /// The first entry with `id`, or -1.
    int32_t Find(uint32_t id) const
    {
        const auto it = m_Index.find(id);
        return it == m_Index.end() ? -1 : it->second;
    }

private:
    std::unordered_map<uint32_t, int32_t> m_Index;
};

} // namespace corvane
