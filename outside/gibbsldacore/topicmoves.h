#pragma once

#include "outside/gibbsldacore/ldastate.h"
#include "outside/gibbsldacore/mappedallocator.h"
#include "outside/gibbsldacore/stagerunner.h"

#include <cstdint>
#include <vector>

namespace corvane::gibbslda {

/// Topic-level moves made between early sweeps of plain sampling. A Gibbs sampler moves one
/// token at a time, so it cannot leave a state where one topic holds two themes found in
/// different documents while another theme is shared by two topics: undoing it would take a
/// whole theme at once. A round scores splitting every topic in two along its documents and
/// merging every pair of topics by the exact change of the collapsed log posterior, and makes
/// each merge of a pair with a split into the freed topic that raises it (best splits first,
/// no topic in two moves). Only splits worth at least kMinSplitGain nats per token qualify: a
/// topic that clearly holds two document populations with distinct words. Rounds are seeded
/// and their results do not depend on the thread count.
template <class Entry>
class TTopicMoves
{
public:
    /// Splits must gain at least this much log posterior per token of the topic split.
    static constexpr double kMinSplitGain = 0.1;

    TTopicMoves(TLdaState<Entry>& state, uint64_t seed);

    /// True for runs that take moves: at least 3 topics (a merge and a split touch three), at
    /// most 1024 (the pair scores take K x K doubles), and no fixed words, whose topic numbers
    /// mean something to the caller.
    static bool Suits(const TCorpus& corpus);

    struct TRoundResult
    {
        uint32_t moves = 0; // merge-and-split pairs made
        double gain = 0;    // their change of the log posterior
    };

    /// Makes one round of moves; false when stopped.
    bool Round(TStageRunner& runner, TRoundResult& result);

    /// Frees the working memory until the next round.
    void Release();

private:
    // The tokens of one topic in one document.
    struct TBlock
    {
        uint32_t doc;
        uint32_t begin; // into m_Word; ends where the next block begins
    };
    struct TScratch
    {
        std::vector<uint32_t> count[2]; // [V] word counts of the two halves, 0 between topics
        std::vector<uint32_t> order;    // blocks in random order
    };
    struct TMerge
    {
        double gain;
        uint32_t into, from; // from's tokens go to into
    };
    struct TSplit
    {
        double gain;
        uint32_t topic;
    };

    // Each of these stops early, leaving a useless result, once the runner is stopping.
    void GroupTokens(const TStageRunner& runner);
    double ScoreSplit(const TStageRunner& runner, TScratch& scratch, uint32_t topic,
                      TRandom random);
    std::vector<TMerge> ScoreMerges(const TStageRunner& runner) const;
    uint8_t HalfOf(uint32_t topic, uint32_t doc) const;
    void Apply(const std::vector<std::pair<TMerge, uint32_t>>& moves);

    TLdaState<Entry>& m_State;
    const TCorpus& m_Corpus;
    const uint64_t m_Seed;
    uint32_t m_Rounds = 0;
    std::vector<double> m_LgAlpha; // lgamma(n + alpha) for small n
    std::vector<double> m_LgBeta;  // lgamma(n + beta)
    std::vector<double> m_LgVBeta; // lgamma(n + V beta)
    std::vector<double> m_LogBeta; // log(n + beta)

    std::vector<uint32_t> m_TopicBlocks; // [K + 1] each topic's blocks in m_Blocks, by document
    template <class T>
    using TBuffer = std::vector<T, TMappedAllocator<T>>;
    TBuffer<TBlock> m_Blocks;        // ends with a sentinel
    TBuffer<uint8_t> m_Half;         // [blocks] half of each block in its topic's split
    TBuffer<uint32_t> m_Word;        // words of the tokens, topic by topic, block by block
    std::vector<TScratch> m_Scratch; // per worker
};

extern template class TTopicMoves<uint32_t>;
extern template class TTopicMoves<uint64_t>;

} // namespace corvane::gibbslda
