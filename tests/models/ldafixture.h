#pragma once

#include "container/binarydoc.h"
#include "container/crc32unit.h"
#include "container/metablock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane::test {

/// One document of a test container.
struct TFixtureDoc
{
    int32_t id = 0;
    std::string orig;
    std::optional<TMetaFields> meta; // no metadata block when empty
    std::vector<std::string> words;  // its LDA words; their ids go to the binary section
};

inline TWordAndFreq WordRecord(const std::string& word, int32_t freq = 1)
{
    TWordAndFreq wf{};
    wf.wfuID = WordId(word);
    wf.wfFreq = freq;
    SetWord(wf, word);
    return wf;
}

/// Writes a container holding `docs` (in that order in the index and in the binary LDA
/// section) and a word map of `wordmap`. `ldaIds` replaces the ids the LDA section gives the
/// documents when it is not empty; `extraIds` adds word ids to the first document.
inline void WriteLdaContainer(const std::string& path, const std::vector<TFixtureDoc>& docs,
                              const std::vector<std::string>& wordmap,
                              const std::vector<int32_t>& ldaIds = {},
                              const std::vector<uint32_t>& extraIds = {})
{
    {
        TBinaryDoc writer;
        ASSERT_TRUE(writer.Create(path, true));
        for (const auto& d : docs) {
            const std::string block = d.meta ? EncodeMetaBlock(*d.meta) : std::string();
            ASSERT_TRUE(writer.AddDocuments(d.id, d.orig, "{lem}", block.data(),
                                            static_cast<int32_t>(block.size())));
        }
        ASSERT_TRUE(writer.Close());
    }
    TBinaryDoc update;
    ASSERT_TRUE(update.Create(path, false));
    for (size_t i = 0; i < docs.size(); ++i) {
        std::vector<uint32_t> ids;
        for (const auto& w : docs[i].words)
            ids.push_back(WordId(w));
        if (i == 0)
            ids.insert(ids.end(), extraIds.begin(), extraIds.end());
        const int32_t id = ldaIds.empty() ? docs[i].id : ldaIds[i];
        ASSERT_TRUE(update.AddLDADocumentBinary(ids.data(), static_cast<int32_t>(ids.size()), id));
    }
    TWordAndFreqArray map;
    for (const auto& w : wordmap)
        map.push_back(WordRecord(w));
    ASSERT_TRUE(update.AddLDAWordmapBinary(map.data(), static_cast<int32_t>(map.size())));
    ASSERT_TRUE(update.Close());
}

} // namespace corvane::test
