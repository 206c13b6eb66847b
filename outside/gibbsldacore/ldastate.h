#pragma once

#include "outside/gibbsldacore/corpus.h"
#include "outside/gibbsldacore/random.h"
#include "outside/gibbsldacore/sparsecounts.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace corvane::gibbslda {

/// Smoothing of the model: symmetric Dirichlet priors.
struct TPriors
{
    double alpha = 0;
    double beta = 0;
};

/// Everything a sweep changes: the topic of each token and the counts that follow from it.
/// Lists are packed in `Entry` (32 or 64 bits, whichever holds a topic and the largest count).
template <class Entry>
struct TLdaState
{
    TLdaState(const TCorpus& c, TPriors p, uint64_t seed) : corpus(c), priors(p)
    {
        const uint32_t K = c.topics;
        topic.assign(c.tokens, 0);
        totals.assign(K, 0);

        std::vector<uint32_t> capacity(c.words);
        for (uint32_t w = 0; w < c.words; ++w) {
            const uint32_t choices = c.IsFixed(w) ? c.fixedBegin[w + 1] - c.fixedBegin[w] : K;
            capacity[w] = std::min(choices, c.wordFreq[w]);
        }
        wordTopics.Reset(capacity, c.wordOrder, TopicBits(K));

        std::vector<uint32_t> docOrder(c.docs);
        capacity.resize(c.docs);
        for (uint32_t d = 0; d < c.docs; ++d) {
            capacity[d] = std::min(K, c.docLength[d]);
            docOrder[d] = d;
        }
        docTopics.Reset(capacity, docOrder, TopicBits(K));

        for (uint32_t chunk = 0; chunk < c.parts; ++chunk)
            random.emplace_back(TRandom::Derive(seed, chunk));
    }

    /// Bits that hold a topic number below K.
    static unsigned TopicBits(uint32_t K)
    {
        unsigned bits = 0;
        while (bits < 32 && (uint64_t(1) << bits) < K)
            ++bits;
        return bits;
    }

    /// True when Entry holds every count of `corpus` next to a topic below K.
    static bool Fits(const TCorpus& c)
    {
        const unsigned countBits = sizeof(Entry) * 8 - TopicBits(c.topics);
        return countBits >= 64 || c.MaxCount() < (uint64_t(1) << countBits);
    }

    const TCorpus& corpus;
    const TPriors priors;
    std::vector<uint32_t> topic;     // [N] topic of each token, aligned with corpus.word
    TSparseCounts<Entry> wordTopics; // n_wk, one list per word
    TSparseCounts<Entry> docTopics;  // n_dk, one list per document
    std::vector<uint32_t> totals;    // [K] n_k
    std::vector<TRandom> random;     // one generator per document chunk
};

/// Each task's change of the topic totals, kept apart while a stage runs and summed into the
/// shared totals after it, so the result does not depend on which thread ran which task.
class TTotalsDeltas
{
public:
    TTotalsDeltas(uint32_t tasks, uint32_t K) : m_Delta(tasks, std::vector<int64_t>(K, 0)) {}

    void Record(uint32_t task, const std::vector<uint32_t>& local, const std::vector<uint32_t>& shared)
    {
        std::vector<int64_t>& delta = m_Delta[task];
        for (size_t k = 0; k < delta.size(); ++k)
            delta[k] = int64_t(local[k]) - int64_t(shared[k]);
    }

    void MergeInto(std::vector<uint32_t>& shared)
    {
        for (std::vector<int64_t>& delta : m_Delta)
            for (size_t k = 0; k < delta.size(); ++k) {
                shared[k] = static_cast<uint32_t>(int64_t(shared[k]) + delta[k]);
                delta[k] = 0;
            }
    }

private:
    std::vector<std::vector<int64_t>> m_Delta;
};

/// Dense per-worker copies of what a task works on; sized once for K topics.
struct TWorkerScratch
{
    explicit TWorkerScratch(uint32_t K)
        : docCount(K, 0), docTopic(K), docPos(K), totals(K), inv(K), coef(K), terms(K)
    {
    }

    std::vector<uint32_t> docCount; // n_dk of the current document, 0 for other topics
    std::vector<uint32_t> docTopic; // the current document's topics, docCount > 0
    std::vector<uint32_t> docPos;   // position of a topic in docTopic
    uint32_t docTopics = 0;         // length of docTopic
    std::vector<uint32_t> totals;   // n_k as this task sees it
    std::vector<double> inv;        // 1 / (n_k + V beta)
    std::vector<double> coef;       // (alpha + n_dk) / (n_k + V beta)
    std::vector<double> terms;      // per-topic weights of one draw

    void AddToDoc(uint32_t k)
    {
        if (docCount[k]++ == 0) {
            docPos[k] = docTopics;
            docTopic[docTopics++] = k;
        }
    }

    void RemoveFromDoc(uint32_t k)
    {
        if (--docCount[k] == 0) {
            const uint32_t last = docTopic[--docTopics];
            docTopic[docPos[k]] = last;
            docPos[last] = docPos[k];
        }
    }

    /// Expands document d's list into docCount / docTopic and calls onTopic(k) for each topic.
    template <class Entry, class OnTopic>
    void LoadDoc(const TSparseCounts<Entry>& docs, uint32_t d, OnTopic&& onTopic)
    {
        const Entry* e = docs.Begin(d);
        docTopics = docs.Size(d);
        for (uint32_t j = 0; j < docTopics; ++j) {
            const uint32_t k = docs.TopicOf(e[j]);
            docCount[k] = static_cast<uint32_t>(docs.CountOf(e[j]));
            docTopic[j] = k;
            docPos[k] = j;
            onTopic(k);
        }
    }

    template <class Entry>
    void LoadDoc(const TSparseCounts<Entry>& docs, uint32_t d)
    {
        LoadDoc(docs, d, [](uint32_t) {});
    }

    /// Writes docCount back into document d's list, calls onTopic(k) for each topic and clears
    /// the counts for the next document.
    template <class Entry, class OnTopic>
    void StoreDoc(TSparseCounts<Entry>& docs, uint32_t d, OnTopic&& onTopic)
    {
        Entry* e = docs.Begin(d);
        for (uint32_t j = 0; j < docTopics; ++j) {
            const uint32_t k = docTopic[j];
            e[j] = docs.Pack(docCount[k], k);
            docCount[k] = 0;
            onTopic(k);
        }
        docs.SetSize(d, docTopics);
        docTopics = 0;
    }

    template <class Entry>
    void StoreDoc(TSparseCounts<Entry>& docs, uint32_t d)
    {
        StoreDoc(docs, d, [](uint32_t) {});
    }
};

} // namespace corvane::gibbslda
