#include "outside/gibbsldacore/granulesampler.h"
#include "outside/gibbsldacore/sparsesampler.h"
#include "tests/outside/statecheck.h"

#include <gtest/gtest.h>

#include <cmath>

namespace corvane::gibbslda {
namespace {

template <class Entry>
class SamplerCountsTest : public ::testing::Test
{
};
using EntryTypes = ::testing::Types<uint32_t, uint64_t>;
TYPED_TEST_SUITE(SamplerCountsTest, EntryTypes);

TYPED_TEST(SamplerCountsTest, CountsFollowTheTopicsAfterEverySweep)
{
    using Entry = TypeParam;
    std::vector<std::vector<int32_t>> docs;
    uint32_t seed = 11;
    for (int d = 0; d < 60; ++d) {
        std::vector<int32_t> doc;
        for (int i = 0; i < 3 + d % 17; ++i) {
            seed = seed * 1664525u + 1013904223u;
            doc.push_back(static_cast<int32_t>((seed >> 16) % 40));
        }
        docs.push_back(doc);
    }
    docs.push_back({});
    std::vector<int32_t> lengths;
    std::vector<const int32_t*> pointers;
    for (const auto& d : docs) {
        lengths.push_back(static_cast<int32_t>(d.size()));
        pointers.push_back(d.data());
    }
    const std::vector<TFixedTopics> fixed = {{1, {0, 2, -1, -1, -1}}, {5, {4, -1, -1, -1, -1}}};
    struct Case
    {
        const char* name;
        bool granulated;
        bool withFixed;
        uint32_t threads;
    } cases[] = {{"plain", false, false, 2},  {"fixed", false, true, 3},
                 {"granulated", true, false, 2}, {"granulated fixed", true, true, 1}};
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        const TInput input{static_cast<int32_t>(docs.size()), 40, lengths.data(), pointers.data(),
                           tc.withFixed ? 2 : 0, fixed.data()};
        TCorpus corpus;
        BuildCorpus(input, 6, 4, !tc.granulated, corpus);
        TLdaState<Entry> state(corpus, {0.1, 0.01}, 99);
        TStageRunner runner(tc.threads, nullptr);
        auto sweeps = [&](auto& sampler) {
            ASSERT_TRUE(sampler.Initialize(runner));
            CheckCounts(state);
            for (int it = 0; it < 5; ++it) {
                ASSERT_TRUE(sampler.Sweep(runner));
                CheckCounts(state);
            }
        };
        if (tc.granulated) {
            TGranuleSampler<Entry> sampler(state, 2);
            sweeps(sampler);
        } else {
            TSparseSampler<Entry> sampler(state);
            sweeps(sampler);
        }
    }
}

// Unnormalised collapsed posterior of one document's topic assignment z:
// prod_k Gamma(n_dk + alpha) prod_w Gamma(n_kw + beta) / Gamma(n_k + V beta).
double Posterior(const std::vector<uint32_t>& z, const std::vector<uint32_t>& words, uint32_t K,
                 uint32_t V, double alpha, double beta)
{
    std::vector<double> nk(K, 0);
    std::vector<std::vector<double>> nkw(K, std::vector<double>(V, 0));
    for (size_t i = 0; i < z.size(); ++i) {
        ++nk[z[i]];
        ++nkw[z[i]][words[i]];
    }
    double logP = 0;
    for (uint32_t k = 0; k < K; ++k) {
        logP += std::lgamma(nk[k] + alpha) - std::lgamma(nk[k] + V * beta);
        for (uint32_t w = 0; w < V; ++w)
            logP += std::lgamma(nkw[k][w] + beta);
    }
    return std::exp(logP);
}

// With one document and one part a sweep is a plain systematic scan over the tokens, whose
// assignments must follow the exact posterior, and whose single-token draws must follow the
// exact conditionals. The second shows in how often a token keeps its topic: a draw that counts
// the token itself keeps it too often, yet barely moves the long-run frequencies.
// Small priors put the mass in the word bucket, large ones in the document and smoothing buckets.
TEST(TSparseSamplerTest, FollowsTheExactPosteriorAndConditionals)
{
    const std::vector<int32_t> doc = {0, 1, 0, 2};
    const int length = 4;
    const int32_t* docs[] = {doc.data()};
    const uint32_t K = 2;
    const uint32_t V = 3;
    const uint32_t states = 1u << length;
    auto decode = [&](uint32_t code) {
        std::vector<uint32_t> z(length);
        for (int i = 0; i < length; ++i)
            z[i] = (code >> i) & 1;
        return z;
    };
    for (TPriors priors : {TPriors{0.3, 0.2}, TPriors{3.0, 2.0}}) {
        SCOPED_TRACE(priors.alpha);
        TCorpus corpus;
        BuildCorpus({1, int32_t(V), &length, docs, 0, nullptr}, K, 1, true, corpus);
        auto posterior = [&](uint32_t code) {
            return Posterior(decode(code), corpus.word, K, V, priors.alpha, priors.beta);
        };
        std::vector<double> exact(states);
        double total = 0;
        for (uint32_t code = 0; code < states; ++code)
            total += exact[code] = posterior(code);
        // Expected share of tokens that keep their topic in one sweep, at equilibrium.
        double keep = 0;
        for (uint32_t from = 0; from < states; ++from)
            for (uint32_t to = 0; to < states; ++to) {
                double p = exact[from] / total;
                uint32_t current = from;
                for (int i = 0; i < length; ++i) {
                    const uint32_t bit = 1u << i;
                    const double chosen = posterior((current & ~bit) | (to & bit));
                    p *= chosen / (posterior(current & ~bit) + posterior(current | bit));
                    current = (current & ~bit) | (to & bit);
                }
                keep += p * (length - __builtin_popcount(from ^ to)) / length;
            }

        TLdaState<uint32_t> state(corpus, priors, 5);
        TStageRunner runner(1, nullptr);
        TSparseSampler<uint32_t> sampler(state);
        ASSERT_TRUE(sampler.Initialize(runner));
        std::vector<double> seen(states, 0);
        double kept = 0;
        const int sweeps = 20000;
        uint32_t previous = 0;
        for (int it = 0; it <= sweeps; ++it) {
            ASSERT_TRUE(sampler.Sweep(runner));
            uint32_t code = 0;
            for (int i = 0; i < length; ++i)
                code |= state.topic[i] << i;
            if (it > 0) {
                ++seen[code];
                kept += double(length - __builtin_popcount(previous ^ code)) / length;
            }
            previous = code;
        }
        for (uint32_t code = 0; code < states; ++code)
            EXPECT_NEAR(seen[code] / sweeps, exact[code] / total, 0.015) << "assignment " << code;
        EXPECT_NEAR(kept / sweeps, keep, 0.015);
    }
}

// Two documents and three topics, so that a document holds several topics and every bucket is
// drawn from: how often two tokens share a topic must match the exact posterior.
TEST(TSparseSamplerTest, TokensShareTopicsAsOftenAsThePosterior)
{
    const std::vector<int32_t> first = {0, 1, 0};
    const std::vector<int32_t> second = {2, 1, 2};
    const int32_t lengths[] = {3, 3};
    const int32_t* docs[] = {first.data(), second.data()};
    const uint32_t K = 3;
    const uint32_t tokens = 6;
    auto pairs = [&](const std::vector<uint32_t>& z, double weight, std::vector<double>& shares) {
        for (uint32_t i = 0; i < tokens; ++i)
            for (uint32_t j = i + 1; j < tokens; ++j)
                shares[i * tokens + j] += z[i] == z[j] ? weight : 0;
    };
    for (TPriors priors : {TPriors{0.3, 0.2}, TPriors{2.0, 1.0}}) {
        SCOPED_TRACE(priors.alpha);
        TCorpus corpus;
        BuildCorpus({2, 3, lengths, docs, 0, nullptr}, K, 1, true, corpus);

        TLdaState<uint32_t> enumerated(corpus, priors, 0);
        std::vector<double> exact(tokens * tokens, 0);
        double total = 0;
        for (uint32_t code = 0; code < 729; ++code) {
            for (uint32_t i = 0, rest = code; i < tokens; ++i, rest /= K)
                enumerated.topic[i] = rest % K;
            const double p = std::exp(LogPosterior(enumerated));
            total += p;
            pairs(enumerated.topic, p, exact);
        }

        TLdaState<uint32_t> state(corpus, priors, 5);
        TStageRunner runner(1, nullptr);
        TSparseSampler<uint32_t> sampler(state);
        ASSERT_TRUE(sampler.Initialize(runner));
        std::vector<double> seen(tokens * tokens, 0);
        const int sweeps = 40000;
        for (int it = 0; it < sweeps; ++it) {
            ASSERT_TRUE(sampler.Sweep(runner));
            pairs(state.topic, 1.0 / sweeps, seen);
        }
        for (uint32_t i = 0; i < tokens; ++i)
            for (uint32_t j = i + 1; j < tokens; ++j)
                EXPECT_NEAR(seen[i * tokens + j], exact[i * tokens + j] / total, 0.015)
                    << "tokens " << i << " and " << j;
    }
}

} // namespace
} // namespace corvane::gibbslda
