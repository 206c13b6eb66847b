#include "tables/fgstreamdata.h"
#include "tests/cli/clirun.h"
#include "tests/models/ldafixture.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <poll.h>
#include <regex>
#include <unistd.h>

using namespace corvane;
using namespace corvane::test;

namespace {

/// Six documents over three words.
std::string WriteSample(const TTempDir& dir)
{
    const std::string path = dir.File("news.cvlda");
    std::vector<TFixtureDoc> docs;
    for (int32_t id = 0; id < 6; ++id)
        docs.push_back({id, "doc", std::nullopt, {"sun", "moon", "sun", "star", "moon", "star"}});
    WriteLdaContainer(path, docs, {"sun", "moon", "star"});
    return path;
}

std::string WithoutTimes(const std::string& text)
{
    return std::regex_replace(text, std::regex("\\d\\d:\\d\\d:\\d\\d"), "hh:mm:ss");
}

std::vector<float> Column(const std::string& table, int32_t col)
{
    TFGStreamData t;
    EXPECT_TRUE(t.OpenDataFile(table, true)) << table;
    std::vector<float> values(static_cast<size_t>(t.RowCount()));
    EXPECT_TRUE(t.GetColumnAsFloat(col, values));
    return values;
}

} // namespace

TEST(CliLdaTest, RunPrintsTheStatusesAndWritesBothTablesBesideTheContainer)
{
    TTempDir dir;
    const std::string container = WriteSample(dir);
    const TRun run = RunCli({"lda", container, "--topics", "2", "--iterations", "20", "--save-step",
                             "10", "--alpha", "0.5", "--beta", "0,1", "--threads", "2"},
                            dir.File("stderr.txt"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(WithoutTimes(run.out), "Number of documents: 6\n"
                                     "Number of words in documents: 3\n"
                                     "Status: Documents as bag of words are loaded\n"
                                     "File name: news.cvlda\n"
                                     "Status: Calculating in progress...\n"
                                     "Status: Iteration(10) - Time(hh:mm:ss)\n"
                                     "Status: Iteration(20) - Time(hh:mm:ss)\n"
                                     "Status: Calculation completed (hh:mm:ss)\n" +
                                         dir.File("news_theta.bin") + "\n" +
                                         dir.File("news_phi.bin") + "\n");
    // The bar shows the iteration and both ratios.
    EXPECT_TRUE(std::regex_search(run.err, std::regex("100%.*iteration 20/20  theta [0-9.,]+%  "
                                                      "phi [0-9.,]+%")))
        << run.err;
    EXPECT_EQ(Column(dir.File("news_theta.bin"), 24).size(), 7u);
    EXPECT_EQ(Column(dir.File("news_phi.bin"), 2).size(), 3u);
}

TEST(CliLdaTest, FixedTopicsComeFromACsvFileAndGranulationRuns)
{
    TTempDir dir;
    const std::string container = WriteSample(dir);
    WriteFileBytes(dir.File("fixed.csv"),
                   "\"Word\";\"Topic 1\";\"Topic 2\";\"Topic 3\";\"Topic 4\";"
                   "\"Topic 5\";\r\n\"sun\";\"3\";\"0\";\"0\";\"0\";\"0\";\r\n");
    TRun run = RunCli({"lda", container, "--method", "islda", "--fixed", dir.File("fixed.csv"),
                       "--topics", "4", "--iterations", "10", "--save-step", "10"});
    ASSERT_EQ(run.status, 0);
    // "sun" (row 0) has tokens in topic 3 only.
    for (int32_t k : {1, 2, 4}) {
        const std::vector<float> c = Column(dir.File("news_phi.bin"), k);
        EXPECT_EQ(c[0], *std::min_element(c.begin(), c.end())) << k;
    }
    EXPECT_GT(Column(dir.File("news_phi.bin"), 3)[0], Column(dir.File("news_phi.bin"), 1)[0]);

    run = RunCli({"lda", container, "--method", "granulate", "--window", "2", "--topics", "2",
                  "--iterations", "10"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("Status: Calculation completed"), std::string::npos) << run.out;
}

TEST(CliLdaTest, BadInputExitsNonZeroWithTheReason)
{
    TTempDir dir;
    const std::string container = WriteSample(dir);
    const std::string old = dir.File("old.cvlda");
    {
        TBinaryDoc writer;
        ASSERT_TRUE(writer.Create(old, true));
        ASSERT_TRUE(writer.AddDocuments(0, "text", "{text}"));
        ASSERT_TRUE(writer.Close());
    }
    struct Case
    {
        std::vector<std::string> args;
        const char* status; // printed on stdout; "" for none
        const char* message;
    };
    const Case cases[] = {
        {{"--topics", "abc"}, "Status: Invalid parameters\n", "invalid parameters"},
        {{"--alpha", "1,2,3"}, "Status: Invalid parameters\n", "invalid parameters"},
        {{"--topics", "0"}, "Status: Error code=-20\n", "Error on calculation."},
        {{"--method", "plsa"}, "", "--method must be lda, islda or granulate"},
        {{"--window", "3"}, "", "--window goes with --method granulate"},
        {{"--method", "granulate", "--window", "51"}, "", "--window must be between 1 and 50"},
        {{"--fixed", "x.csv"}, "", "--fixed goes with --method islda"},
        {{"--method", "islda", "--fixed", dir.File("none.csv")},
         "",
         "cannot read the fixed topics"},
        {{"--threads", "0"}, "", "--threads must be at least 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        std::vector<std::string> args = {"lda", container};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const TRun run = RunCli(args, dir.File("stderr.txt"));
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.out.ends_with(c.status)) << run.out;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    const std::pair<std::string, const char*> files[] = {
        {dir.File("missing.cvlda"), "Error on loading LDA file."},
        {old, "This file has old format; it is not supported."},
    };
    for (const auto& [file, message] : files) {
        const TRun run = RunCli({"lda", file}, dir.File("stderr.txt"));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    }
}

TEST(CliLdaTest, CtrlCStopsTheRunAndKeepsTheTablesOfTheLastReport)
{
    TTempDir dir;
    const std::string container = WriteSample(dir);
    TSpawnOptions o;
    const std::string cli = ProgramDir() + "corvane-cli";
    o.argv = {"/bin/sh", "-c", "exec \"$@\" 2>/dev/null", "sh", cli, "lda", container};
    for (const char* arg : {"--topics", "2", "--iterations", "1000000000", "--save-step", "1"})
        o.argv.push_back(arg);
    o.pipeStdin = false;
    o.niceIncrement = 0;
    TChildProcess child;
    std::string error;
    ASSERT_TRUE(child.Start(o, error)) << error;

    std::string out;
    bool interrupted = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{child.StdoutFd(), POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(child.StdoutFd(), buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, static_cast<size_t>(n));
        if (!interrupted && out.find("Status: Iteration(") != std::string::npos) {
            ::kill(child.Pid(), SIGINT);
            interrupted = true;
        }
    }
    ASSERT_TRUE(interrupted) << out;
    EXPECT_EQ(child.Wait(), 130);
    EXPECT_TRUE(out.ends_with("Status: Terminating calculation...\n"
                              "Status: Calculation terminated by user\n" +
                              dir.File("news_theta.bin") + "\n" + dir.File("news_phi.bin") + "\n"))
        << out;
}
