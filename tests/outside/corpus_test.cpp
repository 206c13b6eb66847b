#include "outside/gibbsldacore/corpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace corvane::gibbslda {
namespace {

struct TSmallInput
{
    std::vector<std::vector<int32_t>> docs = {
        {0, 1, 2, 3, 0}, {}, {4, 4, 1}, {3}, {0, 2, 2, 2, 4, 1, 0}, {5, 6, 7}};
    std::vector<int32_t> lengths;
    std::vector<const int32_t*> pointers;
    std::vector<TFixedTopics> fixed;

    TInput Input()
    {
        lengths.clear();
        pointers.clear();
        for (const auto& d : docs) {
            lengths.push_back(static_cast<int32_t>(d.size()));
            pointers.push_back(d.data());
        }
        return {static_cast<int32_t>(docs.size()), 9, lengths.data(), pointers.data(),
                static_cast<int32_t>(fixed.size()), fixed.data()};
    }
};

TEST(TCorpusTest, EveryTokenLandsInItsDocumentsSegmentInOrder)
{
    for (bool split : {true, false}) {
        for (uint32_t parts : {1u, 2u, 3u, 8u}) {
            SCOPED_TRACE(std::to_string(parts) + (split ? " parts, split" : " parts, whole"));
            TSmallInput small;
            const TInput input = small.Input();
            ASSERT_TRUE(IsValidInput(input));
            TCorpus c;
            BuildCorpus(input, 4, parts, split, c);
            EXPECT_EQ(c.tokens, 19u);
            EXPECT_EQ(c.segments, split ? parts : 1u);
            EXPECT_EQ(c.chunkBegin.front(), 0u);
            EXPECT_EQ(c.chunkBegin.back(), 6u);
            std::vector<int> seen(c.tokens, 0);
            for (uint32_t chunk = 0; chunk < parts; ++chunk)
                for (uint32_t d = c.chunkBegin[chunk]; d < c.chunkBegin[chunk + 1]; ++d) {
                    std::vector<int32_t> collected;
                    for (uint32_t s = 0; s < c.segments; ++s)
                        for (uint32_t i = c.SegmentBegin(d, s); i < c.SegmentEnd(chunk, d, s); ++i) {
                            ++seen[i];
                            if (split) {
                                EXPECT_EQ(c.wordPart[c.word[i]], s);
                            }
                            collected.push_back(static_cast<int32_t>(c.word[i]));
                        }
                    // Whole documents keep their word order; split ones keep it within a part.
                    std::vector<int32_t> original = small.docs[d];
                    if (split)
                        std::stable_sort(original.begin(), original.end(), [&](int32_t a, int32_t b) {
                            return c.wordPart[a] < c.wordPart[b];
                        });
                    EXPECT_EQ(collected, original) << "document " << d;
                }
            EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
        }
    }
}

TEST(TCorpusTest, PartsShareTheTokenMass)
{
    std::vector<std::vector<int32_t>> docs(100);
    for (int d = 0; d < 100; ++d)
        for (int i = 0; i < 50; ++i)
            docs[d].push_back((d * 7 + i * i) % 300);
    std::vector<int32_t> lengths(100, 50);
    std::vector<const int32_t*> pointers;
    for (const auto& d : docs)
        pointers.push_back(d.data());
    TCorpus c;
    BuildCorpus({100, 300, lengths.data(), pointers.data(), 0, nullptr}, 10, 4, true, c);
    std::vector<uint64_t> mass(4, 0);
    for (uint32_t w = 0; w < c.words; ++w)
        mass[c.wordPart[w]] += c.wordFreq[w];
    for (uint64_t m : mass)
        EXPECT_NEAR(double(m), 5000.0 / 4, 5000.0 * 0.05);
    for (uint32_t chunk = 0; chunk < 4; ++chunk)
        EXPECT_EQ(c.chunkBegin[chunk + 1] - c.chunkBegin[chunk], 25u);
}

TEST(TCorpusTest, FixedTopicsAreMergedAndFiltered)
{
    TSmallInput small;
    small.fixed = {{2, {3, -1, 1, 3, 4}}, {2, {0, -1, -1, -1, -1}}, {7, {-1, 9, -1, -1, -1}},
                   {-4, {1, 1, 1, 1, 1}}, {9, {1, 1, 1, 1, 1}}};
    TCorpus c;
    BuildCorpus(small.Input(), 4, 2, true, c);
    EXPECT_TRUE(c.IsFixed(2));
    EXPECT_EQ(std::vector<uint32_t>(c.fixedTopics.begin() + c.fixedBegin[2],
                                    c.fixedTopics.begin() + c.fixedBegin[3]),
              (std::vector<uint32_t>{0, 1, 3}));
    for (uint32_t w : {0u, 1u, 3u, 7u, 8u})
        EXPECT_FALSE(c.IsFixed(w)) << w;
}

TEST(TCorpusTest, InputChecksReadOnlyWhatTheyChecked)
{
    TSmallInput small;
    TInput input = small.Input();
    EXPECT_TRUE(IsValidInput(input));
    small.docs[2][1] = 9; // == V
    EXPECT_FALSE(IsValidInput(small.Input()));
    small.docs[2][1] = 4;
    input = small.Input();
    small.lengths[3] = -1;
    EXPECT_FALSE(IsValidInput(input));
    input = small.Input();
    small.pointers[4] = nullptr;
    EXPECT_FALSE(IsValidInput(input));
    input = small.Input();
    small.pointers[1] = nullptr; // an empty document needs no array
    EXPECT_TRUE(IsValidInput(input));
}

} // namespace
} // namespace corvane::gibbslda
