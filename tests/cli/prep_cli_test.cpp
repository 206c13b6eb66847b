#include "container/binarydoc.h"
#include "tables/fgstreamdata.h"
#include "tests/cli/clirun.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace corvane;
using namespace corvane::test;

namespace {

// Runs corvane-cli with its stderr kept in `dir`.
TRun RunIn(const TTempDir& dir, const std::vector<std::string>& args)
{
    return RunCli(args, dir.File("stderr.txt"));
}

void WriteLemmatized(const std::string& path)
{
    TBinaryDoc doc;
    ASSERT_TRUE(doc.Create(path, true));
    // "{Мама}{мыть}{рама}" and "{мама}" in Windows-1251.
    ASSERT_TRUE(doc.AddDocuments(0, "", "{\xCC\xE0\xEC\xE0}{\xEC\xFB\xF2\xFC}{\xF0\xE0\xEC\xE0}"));
    ASSERT_TRUE(doc.AddDocuments(1, "", "{\xEC\xE0\xEC\xE0}"));
}

} // namespace

TEST(CliPrepTest, DictionaryThenBoundsThenStopWords)
{
    TTempDir dir;
    WriteLemmatized(dir.File("lem.cvlda"));
    const std::string dict = dir.File("dict.cvlda");
    TRun run = RunIn(dir, {"dictionary", dir.File("lem.cvlda"), "--out", dict, "--threads", "2",
                           "--freq-table", dir.File("words.bin"), "--csv", dir.File("words.csv")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(dict + ": 2 documents, 3 distinct words, 4 words, ", 0), 0u) << run.out;
    EXPECT_NE(run.err.find("100%"), std::string::npos);
    TFGStreamData table;
    ASSERT_TRUE(table.OpenDataFile(dir.File("words.bin"), true));
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(ReadFileBytes(dir.File("words.csv")).substr(0, 13), "\"\xEC\xE0\xEC\xE0\";\"2\";\"0");

    // Running it again on its own output only loads the word map.
    run = RunIn(dir, {"dictionary", dict});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("word map loaded"), std::string::npos) << run.out;

    run = RunIn(dir, {"freqselect", dict, "--low", "0", "--up", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "мама\n");
    WriteFileBytes(dir.File("stop.txt"), run.out);

    const std::string clean = dir.File("clean.cvlda");
    run = RunIn(dir, {"stopwords", dict, "--out", clean, "--list", dir.File("stop.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(clean + ": 2 documents, 2 distinct words, 2 words, ", 0), 0u)
        << run.out;
    run = RunIn(dir, {"wordmap", clean});
    EXPECT_EQ(run.out.find("мама"), std::string::npos);
    EXPECT_NE(run.out.find("мыть"), std::string::npos);
}

TEST(CliPrepTest, FailuresExitNonZeroWithTheReason)
{
    TTempDir dir;
    WriteLemmatized(dir.File("lem.cvlda"));
    struct Case
    {
        const char* name;
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {"missing container",
         {"dictionary", dir.File("none.cvlda"), "--out", dir.File("o.cvlda")},
         "corvane-cli dictionary: cannot open"},
        {"output folder missing",
         {"dictionary", dir.File("lem.cvlda"), "--out", dir.File("x/o.cvlda")},
         "corvane-cli dictionary: cannot create a file beside"},
        {"no word map yet", {"freqselect", dir.File("lem.cvlda")}, "has no word map"},
        {"missing list",
         {"stopwords", dir.File("lem.cvlda"), "--out", dir.File("o.cvlda"), "--list",
          dir.File("none.txt")},
         "cannot open"},
        {"stopwords without --out", {"stopwords", dir.File("lem.cvlda")}, "--out and --list"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TRun run = RunIn(dir, c.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.File("o.cvlda")));
    }
}
