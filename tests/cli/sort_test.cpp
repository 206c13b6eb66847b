#include "tables/fgstreamdata.h"
#include "tests/cli/clirun.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

TEST(CliSortTest, SortsTheWordsOfAContainerAndListsTheTopWords)
{
    TTempDir tmp;
    {
        TFGStreamData phi;
        ASSERT_TRUE(phi.CreateNewDataFile(tmp.File("news_phi.bin"), 3, 3, 0));
        ASSERT_TRUE(phi.ColumnAdd(fgcText, 64, "Col_Word", "Word"));
        ASSERT_TRUE(phi.ColumnAdd(fgcFloat, 4, "Col_Topic1", "Topic 1"));
        ASSERT_TRUE(phi.ColumnAdd(fgcFloat, 4, "Col_Topic2", "Topic 2"));
        const char* words[] = {"\xEA\xEE\xF8\xEA\xE0", "dog", "bird"}; // "кошка" in Windows-1251
        const float values[2][3] = {{0.25f, 0.5f, 0.125f}, {0.75f, 0.0625f, 0.5f}};
        for (int32_t w = 0; w < 3; ++w) {
            ASSERT_TRUE(phi.WriteData(0, w, std::string_view(words[w])));
            for (int32_t k = 0; k < 2; ++k)
                ASSERT_TRUE(phi.WriteData(k + 1, w, values[k][w]));
        }
    }

    const TRun sort = RunCli({"sort", "words", tmp.File("news.cvlda")}, tmp.File("stderr.txt"));
    EXPECT_EQ(sort.status, 0) << sort.err;
    EXPECT_EQ(sort.out, tmp.File("cv_phi_sort_3.bin") + "\n");
    EXPECT_NE(sort.err.find("100%"), std::string::npos) << sort.err;

    const TRun top = RunCli({"topwords", tmp.File("cv_phi_sort_3.bin"), "--count", "2"});
    EXPECT_EQ(top.status, 0) << top.err;
    EXPECT_EQ(top.out, "Topic 1\n    dog: 0.500000\n    кошка: 0.250000\n"
                       "Topic 2\n    кошка: 0.750000\n    bird: 0.500000\n");
}

TEST(CliSortTest, FailuresExitWithAMessage)
{
    TTempDir tmp;
    struct Case
    {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"sort", "docs", tmp.File("news.cvlda")}, "sorting failed: Can't open input file."},
        {{"sort", "topics", tmp.File("news.cvlda")}, "sort words or docs"},
        {{"topwords", tmp.File("missing.bin")}, "cannot open table"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const TRun run = RunCli(c.args, tmp.File("stderr.txt"));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}
