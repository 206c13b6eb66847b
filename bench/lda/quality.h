#pragma once

#include "bench/lda/benchcorpus.h"

#include <cstdint>
#include <vector>

namespace corvane::bench {

/// A model as the engine reported it, kept in single precision: theta[d * K + k] and phi
/// stored word by word, phiByWord[w * K + k].
struct TModel
{
    uint32_t K = 0;
    uint32_t M = 0;
    uint32_t V = 0;
    std::vector<float> theta;
    std::vector<float> phiByWord;
};

/// (1/N) sum over training tokens of ln sum_k theta_dk phi_kw.
double TrainLogLikelihood(const TModel& model, const TDocuments& train);

/// Held-out perplexity by document completion: each test document of at least 2 tokens fits
/// theta on its first half by 50 collapsed Gibbs sweeps with phi fixed (theta averaged over
/// sweeps 11-50), and its second half is scored.
double HeldOutPerplexity(const TModel& model, const TDocuments& test, double alpha);

/// Mean over the generating topics of the best cosine similarity to a learned topic.
double TopicRecovery(const TModel& model, const TBenchCorpus& corpus);

} // namespace corvane::bench
