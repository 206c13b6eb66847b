#pragma once

#include "outside/gibbsldacore/ldastate.h"
#include "outside/gibbsldacore/stagerunner.h"

#include <cstdint>
#include <vector>

namespace corvane::gibbslda {

/// The exact collapsed Gibbs sampler with s / r / q buckets, run over (chunk, vocabulary part)
/// tasks in P stages per sweep (see gibbsldacore.h). Handles plain LDA and fixed words.
template <class Entry>
class TSparseSampler
{
public:
    explicit TSparseSampler(TLdaState<Entry>& state);

    /// Gives every token a random topic (a fixed word one of its own topics) and counts them.
    bool Initialize(TStageRunner& runner);

    /// Resamples every token once; false when stopped.
    bool Sweep(TStageRunner& runner);

private:
    using TTaskFn = void (TSparseSampler::*)(TWorkerScratch&, uint32_t chunk, uint32_t part);

    bool RunStages(TStageRunner& runner, TTaskFn task);
    void InitTask(TWorkerScratch& w, uint32_t chunk, uint32_t part);
    void SampleTask(TWorkerScratch& w, uint32_t chunk, uint32_t part);
    template <bool kFixedWords>
    void SampleTokens(TWorkerScratch& w, uint32_t chunk, uint32_t part);
    // Draws among a fixed word's topics. `current` is the token's topic, still in the counts;
    // `coefCurrent` is its coefficient without the token.
    uint32_t DrawFixed(TWorkerScratch& w, uint32_t word, uint32_t current, double coefCurrent,
                       TRandom& random) const;

    TLdaState<Entry>& m_State;
    const TCorpus& m_Corpus;
    TStageRunner* m_Runner = nullptr;
    std::vector<TWorkerScratch> m_Scratch;     // per worker
    TTotalsDeltas m_Deltas;                // per chunk
};

extern template class TSparseSampler<uint32_t>;
extern template class TSparseSampler<uint64_t>;

} // namespace corvane::gibbslda
