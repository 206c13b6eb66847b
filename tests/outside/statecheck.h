#pragma once

#include "outside/gibbsldacore/ldastate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace corvane::gibbslda {

/// Checks that the state's counts are what its token topics say: documents, words and totals,
/// and that fixed words hold only their own topics.
template <class Entry>
void CheckCounts(const TLdaState<Entry>& state)
{
    const TCorpus& c = state.corpus;
    std::vector<std::map<uint32_t, uint64_t>> byDoc(c.docs), byWord(c.words);
    std::vector<uint64_t> totals(c.topics, 0);
    bool valid = true;
    c.ForEachToken([&](uint32_t i, uint32_t d) {
        const uint32_t k = state.topic[i];
        const uint32_t w = c.word[i];
        const auto allowed = c.fixedTopics.begin() + c.fixedBegin[w];
        const auto allowedEnd = c.fixedTopics.begin() + c.fixedBegin[w + 1];
        if (k >= c.topics || (c.IsFixed(w) && !std::binary_search(allowed, allowedEnd, k))) {
            valid = false;
            return;
        }
        ++byDoc[d][k];
        ++byWord[w][k];
        ++totals[k];
    });
    ASSERT_TRUE(valid) << "a token holds a topic it may not take";
    auto same = [](const TSparseCounts<Entry>& lists, uint32_t list,
                   const std::map<uint32_t, uint64_t>& expected) {
        if (lists.Size(list) != expected.size())
            return false;
        const Entry* e = lists.Begin(list);
        for (uint32_t j = 0; j < lists.Size(list); ++j) {
            const auto it = expected.find(lists.TopicOf(e[j]));
            if (it == expected.end() || it->second != lists.CountOf(e[j]))
                return false;
        }
        return true;
    };
    for (uint32_t d = 0; d < c.docs; ++d)
        EXPECT_TRUE(same(state.docTopics, d, byDoc[d])) << "document " << d;
    for (uint32_t w = 0; w < c.words; ++w)
        EXPECT_TRUE(same(state.wordTopics, w, byWord[w])) << "word " << w;
    for (uint32_t k = 0; k < c.topics; ++k)
        EXPECT_EQ(state.totals[k], totals[k]) << "topic " << k;
}

/// The collapsed log posterior of the token topics, up to a constant: log p(w | z) + log p(z),
/// counted from the topics alone.
template <class Entry>
double LogPosterior(const TLdaState<Entry>& state)
{
    const TCorpus& c = state.corpus;
    const double alpha = state.priors.alpha;
    const double beta = state.priors.beta;
    std::vector<std::map<uint32_t, double>> byDoc(c.docs), byWord(c.words);
    std::vector<double> totals(c.topics, 0);
    c.ForEachToken([&](uint32_t i, uint32_t d) {
        ++byDoc[d][state.topic[i]];
        ++byWord[c.word[i]][state.topic[i]];
        ++totals[state.topic[i]];
    });
    double sum = 0;
    for (const auto& counts : byWord)
        for (const auto& [k, n] : counts)
            sum += std::lgamma(n + beta) - std::lgamma(beta);
    for (const auto& counts : byDoc)
        for (const auto& [k, n] : counts)
            sum += std::lgamma(n + alpha) - std::lgamma(alpha);
    for (double n : totals)
        sum -= std::lgamma(n + c.words * beta) - std::lgamma(c.words * beta);
    return sum;
}

} // namespace corvane::gibbslda
