#include "prep/stage3.h"

#include "container/crc32unit.h"
#include "tests/prep/referencestages.h"
#include "tests/prep/stagetestkit.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

using namespace corvane;
using namespace corvane::test;

namespace {

TStageRun RunStage3(const std::string& in, const std::string& out,
                    std::vector<std::string> stopwords, int32_t threads, int32_t batch = 512)
{
    TInlineMainThread mainThread;
    TStage3 stage(mainThread, in, out, std::move(stopwords), threads);
    stage.SetBatchSize(batch);
    return RunToEnd(stage);
}

TWordAndFreq Word(const std::string& w, int32_t freq)
{
    TWordAndFreq wf{};
    wf.wfuID = WordId(w);
    wf.wfFreq = freq;
    SetWord(wf, w);
    return wf;
}

// LDA documents of random word ids drawn from `words`, in shuffled order with a repeated id.
TLdaDocs RandomLda(const TWordAndFreqArray& words, uint32_t seed)
{
    std::mt19937 rng(seed);
    TLdaDocs lda;
    const int32_t docs = 1 + static_cast<int32_t>(rng() % 40);
    for (int32_t id = 0; id < docs; ++id) {
        std::vector<uint32_t> ids(rng() % 9);
        for (uint32_t& w : ids)
            w = words[rng() % words.size()].wfuID;
        lda.emplace_back(id, ids);
    }
    lda.push_back({static_cast<int32_t>(rng() % docs), {words[0].wfuID}});
    std::shuffle(lda.begin(), lda.end(), rng);
    return lda;
}

} // namespace

TEST(Stage3Test, RemovesStopWordsFromDocumentsAndWordMap)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    const TWordAndFreqArray map = {Word("a", 3), Word("b", 2), Word("c", 1)};
    const uint32_t a = WordId("a"), b = WordId("b"), c = WordId("c");
    WriteContainerWithLda(in, {{0, {a, b, a}}, {1, {b}}, {2, {c, a}}}, map);
    const std::string before = ReadFileBytes(in);

    const TStageRun run = RunStage3(in, dir.File("out.cvlda"), {"b", "B", "a ", "zzz"}, 2);
    ASSERT_EQ(run.error, TStageError::None) << run.message;
    EXPECT_EQ(run.exitcode, 0u);
    EXPECT_EQ(run.progress.back(), 0);
    EXPECT_EQ(run.progress[run.progress.size() - 2], 100);
    // "B" and "a " are other words; a document of stop words only stays, with no ids.
    EXPECT_EQ(ReadLda(dir.File("out.cvlda")), (TLdaDocs{{0, {a, a}}, {1, {}}, {2, {c, a}}}));
    EXPECT_EQ(WordsOf(ReadWordMap(dir.File("out.cvlda"))), (std::vector<std::string>{"a", "c"}));
    EXPECT_TRUE(ReadFileBytes(in) == before);
}

TEST(Stage3Test, EmptyListKeepsEverythingInIdOrder)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    const TWordAndFreqArray map = {Word("a", 2), Word("b", 1)};
    const uint32_t a = WordId("a"), b = WordId("b");
    WriteContainerWithLda(in, {{2, {a}}, {0, {b, a}}, {1, {}}}, map);
    ASSERT_EQ(RunStage3(in, dir.File("out.cvlda"), {}, 3).error, TStageError::None);
    EXPECT_EQ(ReadLda(dir.File("out.cvlda")), (TLdaDocs{{0, {b, a}}, {1, {}}, {2, {a}}}));
    EXPECT_TRUE(ReadFileBytes(dir.File("out.cvlda"))
                    .ends_with(std::string(reinterpret_cast<const char*>(map.data()),
                                           map.size() * sizeof(TWordAndFreq))));
}

TEST(Stage3Test, SameBytesAsTheReferenceForEveryThreadCount)
{
    TTempDir dir;
    const std::string expected = dir.File("expected.cvlda");
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string in = dir.File("in.cvlda");
        // Odd seeds: a dictionary stage's output (id order); even ones: LDA documents out of
        // id order, one id twice, as older writers leave them.
        if (seed % 2) {
            const std::string lemmatized = dir.File("lem.cvlda");
            WriteRandomContainer(lemmatized, seed, static_cast<int32_t>(5 + seed * 11 % 80));
            ASSERT_TRUE(ReferenceStage2(lemmatized, in));
        } else {
            TWordAndFreqArray map;
            for (const char* w : {"a", "b", "c", "d", "e", "f"})
                map.push_back(Word(w, 1));
            WriteContainerWithLda(in, RandomLda(map, seed), map);
        }
        const std::vector<std::string> stop = RandomStopWords(ReadWordMap(in), seed);
        ASSERT_TRUE(ReferenceStage3(in, expected, stop));
        const std::string want = ReadFileBytes(expected);
        for (const int32_t threads : {1, 2, 5}) {
            SCOPED_TRACE(std::to_string(threads) + " threads");
            const std::string out = dir.File("out.cvlda");
            const TStageRun run = RunStage3(in, out, stop, threads, 3);
            ASSERT_EQ(run.error, TStageError::None) << run.message;
            EXPECT_TRUE(ReadFileBytes(out) == want);
        }
    }
}

TEST(Stage3Test, InputWithoutLdaDocumentsOrWordMap)
{
    TTempDir dir;
    // No LDA section at all: the output is a plain copy.
    const std::string plain = dir.File("plain.cvlda");
    WriteContainer(plain, {{0, "{a}"}});
    ASSERT_EQ(RunStage3(plain, dir.File("out1.cvlda"), {"a"}, 2).error, TStageError::None);
    EXPECT_TRUE(ReadFileBytes(dir.File("out1.cvlda")) == ReadFileBytes(plain));

    // LDA documents without a word map: filtered documents, still no word map.
    const std::string noMap = dir.File("nomap.cvlda");
    WriteContainer(noMap, {{0, "{a}"}});
    {
        TBinaryDoc doc;
        ASSERT_TRUE(doc.Create(noMap, false));
        const uint32_t ids[] = {WordId("a"), WordId("b")};
        ASSERT_TRUE(doc.AddLDADocumentBinary(ids, 2, 0));
    }
    TInlineMainThread mainThread;
    TStage3 stage(mainThread, noMap, dir.File("out2.cvlda"), {"a"}, 1);
    ASSERT_EQ(RunToEnd(stage).error, TStageError::None);
    EXPECT_EQ(ReadLda(dir.File("out2.cvlda")), (TLdaDocs{{0, {WordId("b")}}}));
    EXPECT_EQ(stage.WordMapSize(), -1);
    TBinaryDoc out;
    ASSERT_TRUE(out.Create(dir.File("out2.cvlda"), false));
    EXPECT_EQ(out.GetLDAWordmapBinarySize(), 0);
}

TEST(Stage3Test, FailuresLeaveNoOutput)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    const uint32_t a = WordId("a");
    WriteContainerWithLda(in, {{0, {a, a}}, {1, {a, a, a}}}, {Word("a", 5)});
    // Cut inside the second document's ids: the walk cannot read it.
    const std::string bytes = ReadFileBytes(in);
    const std::string cut = dir.File("cut.cvlda");
    WriteFileBytes(cut, bytes.substr(0, bytes.size() - sizeof(TWordAndFreq) - 4 - 6));
    WriteFileBytes(dir.File("earlier.cvlda"), "an earlier output");

    struct Case
    {
        const char* name;
        std::string in;
        std::string out;
        TStageError error;
    };
    const Case cases[] = {
        {"missing input", dir.File("missing.cvlda"), dir.File("out.cvlda"), TStageError::Copy},
        {"output folder missing", in, dir.File("no/such/out.cvlda"), TStageError::Copy},
        {"not a container", dir.File("earlier.cvlda"), dir.File("out.cvlda"), TStageError::Open},
        {"unreadable document", cut, dir.File("earlier.cvlda"), TStageError::Read},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = ReadFileBytes(c.in);
        const std::string earlier = ReadFileBytes(dir.File("earlier.cvlda"));
        for (const int32_t threads : {1, 3}) {
            const TStageRun run = RunStage3(c.in, c.out, {"b"}, threads, 1);
            EXPECT_EQ(run.error, c.error);
            EXPECT_FALSE(run.message.empty());
            EXPECT_EQ(run.doneReports, 1);
        }
        EXPECT_TRUE(ReadFileBytes(c.in) == before);
        EXPECT_EQ(ReadFileBytes(dir.File("earlier.cvlda")), earlier);
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.cvlda")));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              3);
}
