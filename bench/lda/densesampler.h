#pragma once

#include "bench/lda/benchcorpus.h"
#include "bench/lda/quality.h"

#include <cstdint>
#include <vector>

namespace corvane::bench {

/// The textbook collapsed Gibbs sampler: random start, documents in order, every token drawn
/// from its full conditional over all K topics. Slow and plainly exact; the engine's learning
/// curve is compared with its own.
class TDenseSampler
{
public:
    TDenseSampler(const TDocuments& docs, uint32_t V, uint32_t K, double alpha, double beta,
                  uint64_t seed);

    void Sweep();

    /// theta and phi of the current state, as the engine reports them.
    TModel Model() const;

private:
    double Uniform();

    const TDocuments& m_Docs;
    const uint32_t m_V;
    const uint32_t m_K;
    const double m_Alpha;
    const double m_Beta;
    uint64_t m_Random;
    std::vector<std::vector<uint32_t>> m_Topic; // [d][i]
    std::vector<uint32_t> m_WordTopic;          // [w * K + k]
    std::vector<uint32_t> m_DocTopic;           // [d * K + k]
    std::vector<uint32_t> m_Total;              // [k]
    std::vector<double> m_Cumulative;
};

} // namespace corvane::bench
