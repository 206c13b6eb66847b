#include "outside/gibbsldacore/topicmoves.h"

#include "tests/outside/statecheck.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace corvane::gibbslda {
namespace {

// Three themes, each in twelve documents of its own: theme t uses words 10t .. 10t + 9.
struct TThemes
{
    static constexpr uint32_t kThemes = 3;
    std::vector<std::vector<int32_t>> docs;
    std::vector<int32_t> lengths;
    std::vector<const int32_t*> pointers;
    TCorpus corpus;

    TThemes()
    {
        uint32_t seed = 17;
        for (uint32_t d = 0; d < 12 * kThemes; ++d) {
            std::vector<int32_t> doc;
            for (int i = 0; i < 30; ++i) {
                seed = seed * 1664525u + 1013904223u;
                doc.push_back(static_cast<int32_t>(10 * ThemeOf(d) + (seed >> 16) % 10));
            }
            docs.push_back(doc);
        }
        for (const auto& d : docs) {
            lengths.push_back(static_cast<int32_t>(d.size()));
            pointers.push_back(d.data());
        }
        const TInput input{static_cast<int32_t>(docs.size()), 10 * kThemes, lengths.data(),
                           pointers.data(), 0, nullptr};
        BuildCorpus(input, kThemes, 4, true, corpus);
    }

    static uint32_t ThemeOf(uint32_t doc) { return doc % kThemes; }
};

// Gives every token the topic topicOf(token, document) and counts it.
void Assign(TLdaState<uint32_t>& state, const std::function<uint32_t(uint32_t, uint32_t)>& topicOf)
{
    state.corpus.ForEachToken([&](uint32_t i, uint32_t d) {
        const uint32_t k = topicOf(i, d);
        state.topic[i] = k;
        state.wordTopics.Increment(state.corpus.word[i], k);
        state.docTopics.Increment(d, k);
        ++state.totals[k];
    });
}

// The topics each theme's tokens hold.
std::vector<std::set<uint32_t>> TopicsOfThemes(const TLdaState<uint32_t>& state)
{
    std::vector<std::set<uint32_t>> topics(TThemes::kThemes);
    state.corpus.ForEachToken(
        [&](uint32_t i, uint32_t d) { topics[TThemes::ThemeOf(d)].insert(state.topic[i]); });
    return topics;
}

TEST(TTopicMovesTest, SplitsTwoThemesApartAndMergesTheSharedOne)
{
    // Topic 0 holds themes 0 and 1; theme 2 is spread token by token over topics 1 and 2.
    TThemes themes;
    std::vector<uint32_t> topicsWithOneThread;
    for (uint32_t threads : {1u, 3u}) {
        SCOPED_TRACE(threads);
        TLdaState<uint32_t> state(themes.corpus, {0.1, 0.01}, 1);
        Assign(state,
               [](uint32_t i, uint32_t d) { return TThemes::ThemeOf(d) < 2 ? 0 : 1 + i % 2; });
        const double before = LogPosterior(state);
        TStageRunner runner(threads, nullptr);
        TTopicMoves<uint32_t> moves(state, 5);
        TTopicMoves<uint32_t>::TRoundResult result;
        ASSERT_TRUE(moves.Round(runner, result));

        EXPECT_EQ(result.moves, 1u);
        EXPECT_GT(result.gain, 0);
        EXPECT_NEAR(LogPosterior(state) - before, result.gain, 1e-9 * result.gain);
        CheckCounts(state);
        std::set<uint32_t> used;
        for (const std::set<uint32_t>& topics : TopicsOfThemes(state)) {
            ASSERT_EQ(topics.size(), 1u);
            used.insert(*topics.begin());
        }
        EXPECT_EQ(used.size(), TThemes::kThemes);
        if (threads == 1)
            topicsWithOneThread = state.topic;
        else
            EXPECT_EQ(state.topic, topicsWithOneThread);
    }
}

TEST(TTopicMovesTest, LeavesSeparatedThemesAlone)
{
    // A topic holding one theme gains too little from any split, even one along documents.
    TThemes themes;
    TLdaState<uint32_t> state(themes.corpus, {0.1, 0.01}, 1);
    Assign(state, [](uint32_t, uint32_t d) { return TThemes::ThemeOf(d); });
    const std::vector<uint32_t> topics = state.topic;
    TStageRunner runner(2, nullptr);
    TTopicMoves<uint32_t> moves(state, 5);
    TTopicMoves<uint32_t>::TRoundResult result;
    ASSERT_TRUE(moves.Round(runner, result));
    EXPECT_EQ(result.moves, 0u);
    EXPECT_EQ(state.topic, topics);
}

TEST(TTopicMovesTest, SuitsOnlyPlainRunsOfThreeTopicsOrMore)
{
    TThemes themes;
    TCorpus corpus = themes.corpus;
    EXPECT_TRUE(TTopicMoves<uint32_t>::Suits(corpus));
    corpus.topics = 2;
    EXPECT_FALSE(TTopicMoves<uint32_t>::Suits(corpus));
    corpus.topics = 1025;
    EXPECT_FALSE(TTopicMoves<uint32_t>::Suits(corpus));
    corpus = themes.corpus;
    corpus.fixedTopics = {0};
    EXPECT_FALSE(TTopicMoves<uint32_t>::Suits(corpus));
}

} // namespace
} // namespace corvane::gibbslda
