#include "bench/lda/quality.h"

#include <cmath>
#include <random>

namespace corvane::bench {

double TrainLogLikelihood(const TModel& m, const TDocuments& train)
{
    double sum = 0;
    for (size_t d = 0; d < train.docs.size(); ++d) {
        const float* theta = &m.theta[d * m.K];
        for (int32_t w : train.docs[d]) {
            const float* phi = &m.phiByWord[size_t(w) * m.K];
            double p = 0;
            for (uint32_t k = 0; k < m.K; ++k)
                p += double(theta[k]) * phi[k];
            sum += std::log(p);
        }
    }
    return train.tokens > 0 ? sum / double(train.tokens) : 0;
}

double HeldOutPerplexity(const TModel& m, const TDocuments& test, double alpha)
{
    constexpr int kSweeps = 50;
    constexpr int kFirstAveraged = 11;
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> uniform(0, 1);
    std::vector<uint32_t> count(m.K);
    std::vector<double> theta(m.K), cumulative(m.K);
    double logSum = 0;
    uint64_t scored = 0;
    for (const std::vector<int32_t>& doc : test.docs) {
        if (doc.size() < 2)
            continue;
        const size_t half = doc.size() / 2;
        std::vector<uint32_t> z(half);
        std::fill(count.begin(), count.end(), 0);
        std::fill(theta.begin(), theta.end(), 0);
        for (size_t i = 0; i < half; ++i) {
            z[i] = static_cast<uint32_t>(uniform(random) * m.K);
            ++count[z[i]];
        }
        for (int sweep = 1; sweep <= kSweeps; ++sweep) {
            for (size_t i = 0; i < half; ++i) {
                --count[z[i]];
                const float* phi = &m.phiByWord[size_t(doc[i]) * m.K];
                double total = 0;
                for (uint32_t k = 0; k < m.K; ++k)
                    cumulative[k] = total += (count[k] + alpha) * phi[k];
                const double u = uniform(random) * total;
                uint32_t k = 0;
                while (k + 1 < m.K && cumulative[k] <= u)
                    ++k;
                z[i] = k;
                ++count[k];
            }
            if (sweep >= kFirstAveraged)
                for (uint32_t k = 0; k < m.K; ++k)
                    theta[k] += (count[k] + alpha) / (half + m.K * alpha);
        }
        for (size_t i = half; i < doc.size(); ++i) {
            const float* phi = &m.phiByWord[size_t(doc[i]) * m.K];
            double p = 0;
            for (uint32_t k = 0; k < m.K; ++k)
                p += theta[k] / (kSweeps - kFirstAveraged + 1) * phi[k];
            logSum += std::log(p);
            ++scored;
        }
    }
    return scored > 0 ? std::exp(-logSum / double(scored)) : 0;
}

double TopicRecovery(const TModel& m, const TBenchCorpus& c)
{
    if (c.trueTopics == 0)
        return 0;
    const size_t V = m.V;
    std::vector<double> learnedNorm(m.K, 0);
    for (size_t w = 0; w < V; ++w)
        for (uint32_t k = 0; k < m.K; ++k)
            learnedNorm[k] += double(m.phiByWord[w * m.K + k]) * m.phiByWord[w * m.K + k];
    double sum = 0;
    std::vector<double> dot(m.K);
    for (uint32_t t = 0; t < c.trueTopics; ++t) {
        const float* truth = &c.truePhi[t * V];
        double trueNorm = 0;
        std::fill(dot.begin(), dot.end(), 0);
        for (size_t w = 0; w < V; ++w) {
            trueNorm += double(truth[w]) * truth[w];
            for (uint32_t k = 0; k < m.K; ++k)
                dot[k] += double(truth[w]) * m.phiByWord[w * m.K + k];
        }
        double best = 0;
        for (uint32_t k = 0; k < m.K; ++k)
            best = std::max(best, dot[k] / std::sqrt(trueNorm * learnedNorm[k]));
        sum += best;
    }
    return sum / c.trueTopics;
}

} // namespace corvane::bench
