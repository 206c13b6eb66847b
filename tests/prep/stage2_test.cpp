#include "prep/stage2.h"

#include "container/crc32unit.h"
#include "tests/prep/referencestages.h"
#include "tests/prep/stagetestkit.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

using namespace corvane;
using namespace corvane::test;

namespace {

const std::string kMama = "\xEC\xE0\xEC\xE0";   // мама
const std::string kMyt = "\xEC\xFB\xF2\xFC";    // мыть
const std::string kRama = "\xF0\xE0\xEC\xE0";   // рама
const std::string kMamaUp = "\xCC\xC0\xCC\xC0"; // МАМА

TStageRun RunStage2(const std::string& in, const std::string& out, int32_t threads,
                    int32_t batch = 512, const std::string& freqTable = "")
{
    TInlineMainThread mainThread;
    TStage2 stage(mainThread, in, out, threads);
    stage.SetFreqTableFile(freqTable);
    stage.SetBatchSize(batch);
    return RunToEnd(stage);
}

} // namespace

TEST(Stage2Test, MamaExample)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    WriteContainer(
        in, {{0, "{" + kMamaUp + "} {" + kMyt + "} {" + kRama + "}"}, {1, "{" + kMama + "}"}});

    TInlineMainThread mainThread;
    TStage2 stage(mainThread, in, "", 2);
    stage.SetFreqTableFile("");
    const TStageRun run = RunToEnd(stage);
    ASSERT_EQ(run.error, TStageError::None) << run.message;
    EXPECT_EQ(run.exitcode, 3u);
    EXPECT_EQ(run.doneReports, 1);
    EXPECT_EQ(run.progress.back(), 0);
    EXPECT_TRUE(std::is_sorted(run.progress.begin(), run.progress.end() - 1));
    EXPECT_EQ(run.progress[run.progress.size() - 2], 100);

    const TWordAndFreqArray words = ReadWordMap(in);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(WordsOf(words), (std::vector<std::string>{kMama, kMyt, kRama}));
    EXPECT_EQ(words[0].wfFreq, 2);
    EXPECT_EQ(words[1].wfFreq, 1);
    EXPECT_EQ(words[0].wfuID, WordId(kMama));
    EXPECT_EQ(words[0].wfTFIDF, 0.0);
    EXPECT_EQ(words[1].wfTFIDF, (1 / 1024.0) * std::log(2.0));
    EXPECT_EQ(words[2].wfTFIDF, (1 / 1024.0) * std::log(2.0));
    EXPECT_EQ(stage.GetWordAndFreq(1).wfuID, words[1].wfuID);
    EXPECT_EQ(stage.TotalWordCount(), 4);

    const TLdaDocs lda = ReadLda(in);
    ASSERT_EQ(lda.size(), 2u);
    EXPECT_EQ(lda[0], (std::pair<int32_t, std::vector<uint32_t>>{
                          0, {WordId(kMama), WordId(kMyt), WordId(kRama)}}));
    EXPECT_EQ(lda[1], (std::pair<int32_t, std::vector<uint32_t>>{1, {WordId(kMama)}}));
}

// The reference is the stage as first written, run on one thread with documents in id order;
// every thread count and batch size must give the same file, byte for byte.
TEST(Stage2Test, SameBytesAsTheReferenceForEveryThreadCount)
{
    TTempDir dir;
    const std::string expected = dir.File("expected.cvlda");
    for (uint32_t seed = 1; seed <= 24; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string in = dir.File("in.cvlda");
        WriteRandomContainer(in, seed, static_cast<int32_t>(1 + seed * 7 % 90));
        ASSERT_TRUE(ReferenceStage2(in, expected));
        const std::string want = ReadFileBytes(expected);
        struct Run
        {
            int32_t threads;
            int32_t batch;
        };
        for (const Run r : {Run{1, 512}, Run{2, 1}, Run{3, 4}, Run{8, 2}}) {
            SCOPED_TRACE(std::to_string(r.threads) + " threads, batch " + std::to_string(r.batch));
            const std::string out = dir.File("out.cvlda");
            const TStageRun run = RunStage2(in, out, r.threads, r.batch);
            ASSERT_EQ(run.error, TStageError::None) << run.message;
            EXPECT_EQ(run.exitcode, ReadWordMap(out).size());
            EXPECT_TRUE(ReadFileBytes(out) == want);
        }
    }
}

TEST(Stage2Test, TiesKeepTheOrderInWhichWordsReachedTheirFrequency)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    // b reaches 2 before a does; c and d stay at 1 in order of arrival; documents by id.
    WriteContainer(in, {{1, "{c}{a}{d}"}, {0, "{a}{b}{b}"}});
    ASSERT_EQ(RunStage2(in, "", 2, 1).error, TStageError::None);
    EXPECT_EQ(WordsOf(ReadWordMap(in)), (std::vector<std::string>{"b", "a", "c", "d"}));
}

TEST(Stage2Test, WordsAndTexts)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    const std::string longWord(70, 'x');
    WriteContainer(in, {{0, "no braces"}, {1, "{" + longWord + "}"}, {2, "{00000}"}});
    ASSERT_EQ(RunStage2(in, "", 1).error, TStageError::None);
    const TWordAndFreqArray words = ReadWordMap(in);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(WordOf(words[0]), "{00000}");
    EXPECT_EQ(WordOf(words[1]), longWord.substr(0, 56));
    EXPECT_EQ(words[1].wfuID, WordId(longWord)); // the id is that of the whole word
    EXPECT_EQ(WordOf(words[2]), "00000");
    EXPECT_EQ(ReadLda(in)[0].second, std::vector<uint32_t>{WordId("{00000}")});
}

TEST(Stage2Test, WordsWithTheSameIdAreOneWordWithTheFirstText)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    ASSERT_EQ(WordId("wcavffy"), WordId("tmvfppf"));
    WriteContainer(in, {{2, "{wcavffy}"}, {1, "{tmvfppf}"}, {0, "{a}"}});
    ASSERT_EQ(RunStage2(in, "", 3, 1).error, TStageError::None);
    const TWordAndFreqArray words = ReadWordMap(in);
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(WordOf(words[0]), "tmvfppf");
    EXPECT_EQ(words[0].wfFreq, 2);
}

TEST(Stage2Test, ProcessedContainerOnlyLoadsItsWordMap)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    WriteContainer(in, {{0, "{a}{b}{a}"}});
    ASSERT_EQ(RunStage2(in, "", 1).error, TStageError::None);
    const std::string processed = ReadFileBytes(in);

    TInlineMainThread mainThread;
    TStage2 again(mainThread, in, dir.File("copy.cvlda"), 1);
    again.SetFreqTableFile("");
    const TStageRun run = RunToEnd(again);
    ASSERT_EQ(run.error, TStageError::None);
    EXPECT_TRUE(again.Reused());
    EXPECT_EQ(run.exitcode, 2u);
    EXPECT_EQ(run.progress, std::vector<int32_t>{0}); // straight to done
    EXPECT_EQ(again.DocumentCount(), 1);
    EXPECT_EQ(again.GetWordAndFreq(0).wfFreq, 2);
    EXPECT_TRUE(ReadFileBytes(in) == processed);
    EXPECT_TRUE(ReadFileBytes(dir.File("copy.cvlda")) == processed);
}

TEST(Stage2Test, OlderContainerIsCountedAgainAndBecomesCurrent)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    WriteContainer(in, {{0, "{a}"}});
    ASSERT_EQ(RunStage2(in, "", 1).error, TStageError::None);
    std::string bytes = ReadFileBytes(in);
    bytes.replace(0, 8, "Qorvelv2");
    WriteFileBytes(in, bytes);

    TInlineMainThread mainThread;
    TStage2 stage(mainThread, in, "", 1);
    stage.SetFreqTableFile("");
    ASSERT_EQ(RunToEnd(stage).error, TStageError::None);
    EXPECT_FALSE(stage.Reused());
    EXPECT_EQ(ReadFileBytes(in).substr(0, 8), "Qorvelv3");
    EXPECT_EQ(ReadWordMap(in).size(), 1u);
}

TEST(Stage2Test, OutputNameDecidesBetweenCopyAndInPlace)
{
    TTempDir dir;
    const std::string in = dir.File("corpus.cvlda");
    WriteContainer(in, {{0, "{a}"}});
    const std::string original = ReadFileBytes(in);

    // Equal ignoring case: the input itself is processed and no second file appears.
    ASSERT_EQ(RunStage2(in, dir.File("CORPUS.cvlda"), 1).error, TStageError::None);
    EXPECT_FALSE(std::filesystem::exists(dir.File("CORPUS.cvlda")));
    EXPECT_EQ(ReadWordMap(in).size(), 1u);

    // Another name: a processed copy, the input untouched.
    WriteFileBytes(in, original);
    ASSERT_EQ(RunStage2(in, dir.File("out.cvlda"), 1).error, TStageError::None);
    EXPECT_TRUE(ReadFileBytes(in) == original);
    EXPECT_EQ(ReadWordMap(dir.File("out.cvlda")).size(), 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              2); // no temporary file left
}

TEST(Stage2Test, CountingDeletesTheWordFrequencyTable)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    WriteContainer(in, {{0, "{a}"}});
    WriteFileBytes(dir.File("freq_calc.bin"), "old table");
    ASSERT_EQ(RunStage2(in, "", 1, 512, dir.File("freq_calc.bin")).error, TStageError::None);
    EXPECT_FALSE(std::filesystem::exists(dir.File("freq_calc.bin")));
}

// A stage that cannot finish ends with Done and its reason; it leaves no output and the input
// and any earlier output exactly as they were.
TEST(Stage2Test, FailuresEndTheStageAndLeaveTheFilesAlone)
{
    TTempDir dir;
    const std::string good = dir.File("good.cvlda");
    WriteContainer(good, {{0, "{a}"}, {1, "{b}"}});
    // Document 1's text pointed past the end of the file: in the index, but unreadable.
    std::string bytes = ReadFileBytes(good);
    int64_t indexOffs;
    std::memcpy(&indexOffs, bytes.data() + 8, 8);
    const int64_t farAway = 1 << 30;
    std::memcpy(bytes.data() + indexOffs + 4 + 40 + 20, &farAway, 8);
    const std::string broken = dir.File("broken.cvlda");
    WriteFileBytes(broken, bytes);
    WriteFileBytes(dir.File("empty.cvlda"), std::string("Qorvelv3") + std::string(8, '\0'));
    WriteFileBytes(dir.File("earlier.cvlda"), "an earlier output");

    struct Case
    {
        const char* name;
        std::string in;
        std::string out;
        TStageError error;
    };
    const Case cases[] = {
        {"missing input", dir.File("missing.cvlda"), dir.File("out.cvlda"), TStageError::Open},
        {"not a container", dir.File("earlier.cvlda"), "", TStageError::Open},
        {"no documents", dir.File("empty.cvlda"), "", TStageError::Read},
        {"output folder missing", good, dir.File("no/such/out.cvlda"), TStageError::Copy},
        {"unreadable document, copy", broken, dir.File("earlier.cvlda"), TStageError::Read},
        {"unreadable document, in place", broken, "", TStageError::Read},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = ReadFileBytes(c.in);
        const std::string earlier = ReadFileBytes(dir.File("earlier.cvlda"));
        const TStageRun run = RunStage2(c.in, c.out, 2, 1);
        EXPECT_EQ(run.error, c.error);
        EXPECT_FALSE(run.message.empty());
        EXPECT_EQ(run.doneReports, 1);
        EXPECT_EQ(run.exitcode, 0u);
        EXPECT_TRUE(ReadFileBytes(c.in) == before);
        EXPECT_EQ(ReadFileBytes(dir.File("earlier.cvlda")), earlier);
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.cvlda")));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              4); // no temporary file left
}

TEST(Stage2Test, StopEndsTheRunAsFailed)
{
    TTempDir dir;
    const std::string in = dir.File("in.cvlda");
    WriteRandomContainer(in, 7, 400);
    const std::string before = ReadFileBytes(in);
    TInlineMainThread mainThread;
    TStage2 stage(mainThread, in, "", 1);
    stage.SetFreqTableFile("");
    stage.SetBatchSize(1);
    stage.Stop(); // before the start: the workers stop at their first look
    const TStageRun run = RunToEnd(stage);
    EXPECT_EQ(run.error, TStageError::Stopped);
    EXPECT_TRUE(ReadFileBytes(in) == before);
}
