#pragma once

#include "outside/gibbsldacore/gibbsldacore.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::gibbslda {

/// The caller's documents and fixed words, as passed to gibbsldaCalc.
struct TInput
{
    int32_t M = 0;
    int32_t V = 0;
    const int32_t* lengths = nullptr;
    const int32_t* const* docs = nullptr;
    int32_t fixedCount = 0;
    const TFixedTopics* fixed = nullptr;
};

/// True when every array the input names is present and every length and word index is in
/// range, and the tokens fit 32-bit positions. Reads only within the bounds it has checked.
bool IsValidInput(const TInput& input);

/// The tokens rearranged for the samplers. Documents are cut into `parts` chunks of about
/// equal token mass (contiguous document ranges) and the vocabulary into `parts` parts of
/// about equal token mass. With `splitByPart`, each document has one segment per vocabulary
/// part and the tokens are stored chunk by chunk, then part by part, then document by
/// document, so the tokens of one (chunk, part) task are contiguous. Without it each document
/// is one segment in its own word order. Within a segment the document's order is kept.
struct TCorpus
{
    uint32_t docs = 0;     // M
    uint32_t words = 0;    // V
    uint32_t topics = 0;   // K
    uint32_t parts = 0;    // P
    uint32_t segments = 0; // segments per document: P or 1
    uint64_t tokens = 0;   // N

    std::vector<uint32_t> docLength;  // [M]
    std::vector<uint32_t> wordFreq;   // [V]
    std::vector<uint32_t> wordPart;   // [V] vocabulary part of each word
    std::vector<uint32_t> wordOrder;  // words sorted by part, then id: storage order of lists
    std::vector<uint32_t> chunkBegin; // [P + 1] first document of each chunk
    std::vector<uint32_t> word;       // [N] word index of each token, in task order
    std::vector<uint32_t> segBegin;   // [segments * M] first token of segment s of document d
    std::vector<uint32_t> segEnd;     // [segments * P] end of the tokens of (chunk c, segment s)

    // Topics allowed for fixed words: fixedTopics[fixedBegin[w] .. fixedBegin[w + 1]), sorted,
    // empty for a free word.
    std::vector<uint32_t> fixedBegin; // [V + 1]
    std::vector<uint32_t> fixedTopics;

    bool IsFixed(uint32_t w) const { return fixedBegin[w + 1] != fixedBegin[w]; }

    /// Token range of document d's segment s; d lies in chunk c.
    uint32_t SegmentBegin(uint32_t d, uint32_t s) const { return segBegin[size_t(s) * docs + d]; }
    uint32_t SegmentEnd(uint32_t c, uint32_t d, uint32_t s) const
    {
        return d + 1 < chunkBegin[c + 1] ? segBegin[size_t(s) * docs + d + 1]
                                         : segEnd[size_t(c) * segments + s];
    }

    /// Calls f(token, document) for every token, chunk by chunk, document by document.
    template <class F>
    void ForEachToken(F&& f) const
    {
        for (uint32_t c = 0; c < parts; ++c)
            for (uint32_t d = chunkBegin[c]; d < chunkBegin[c + 1]; ++d)
                for (uint32_t s = 0; s < segments; ++s)
                    for (uint32_t i = SegmentBegin(d, s), end = SegmentEnd(c, d, s); i < end; ++i)
                        f(i, d);
    }

    /// Largest count any word-topic or document-topic pair can reach.
    uint64_t MaxCount() const;
};

/// Builds the corpus from a valid input.
void BuildCorpus(const TInput& input, uint32_t K, uint32_t parts, bool splitByPart,
                 TCorpus& corpus);

} // namespace corvane::gibbslda
