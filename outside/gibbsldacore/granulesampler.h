#pragma once

#include "outside/gibbsldacore/ldastate.h"
#include "outside/gibbsldacore/stagerunner.h"

#include <cstdint>
#include <vector>

namespace corvane::gibbslda {

/// Granulated sampling (rule in gibbsldacore.h). Needs a corpus built without splitting
/// documents by vocabulary part, so each document keeps its word order. Each chunk's documents
/// are cut into P slices; stage s samples slice s of every chunk. Word-topic counts stay as
/// they were at the start of the stage; each task logs its word changes by vocabulary part,
/// and after the stage P tasks apply them, one part each.
template <class Entry>
class TGranuleSampler
{
public:
    TGranuleSampler(TLdaState<Entry>& state, uint32_t window);

    bool Initialize(TStageRunner& runner);
    bool Sweep(TStageRunner& runner);

private:
    struct TChange
    {
        uint32_t word;
        uint32_t from; // K for a token that had no topic yet
        uint32_t to;
    };

    struct TScratch
    {
        explicit TScratch(uint32_t K) : doc(K), wordCount(K, 0) {}
        TWorkerScratch doc;
        std::vector<uint32_t> wordCount; // n_wk of one word, dense
        std::vector<uint32_t> pool;      // uncovered positions of the document
        std::vector<uint32_t> where;     // position in pool, kCovered once covered
    };

    using TTaskFn = void (TGranuleSampler::*)(TScratch&, uint32_t chunk, uint32_t slice);

    bool RunStages(TStageRunner& runner, TTaskFn task);
    void InitTask(TScratch& w, uint32_t chunk, uint32_t slice);
    void SampleTask(TScratch& w, uint32_t chunk, uint32_t slice);
    void SampleDoc(TScratch& w, uint32_t chunk, uint32_t d);
    uint32_t DrawCenter(TScratch& w, uint32_t word, uint32_t current, TRandom& random);
    void Move(TScratch& w, uint32_t chunk, uint32_t token, uint32_t to);
    void ApplyChanges(uint32_t part);
    bool Allows(uint32_t word, uint32_t k) const;

    TLdaState<Entry>& m_State;
    const TCorpus& m_Corpus;
    const uint32_t m_Window;
    TStageRunner* m_Runner = nullptr;
    std::vector<uint32_t> m_SliceBegin;              // [P * (P + 1)]
    std::vector<TScratch> m_Scratch;                 // per worker
    std::vector<std::vector<TChange>> m_Changes;     // [chunk * P + part]
    TTotalsDeltas m_Deltas;                          // per chunk
};

extern template class TGranuleSampler<uint32_t>;
extern template class TGranuleSampler<uint64_t>;

} // namespace corvane::gibbslda
