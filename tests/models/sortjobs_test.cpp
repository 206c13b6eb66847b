#include "models/sortjobs.h"

#include "platform/event.h"
#include "tables/fgstreamdata.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

using namespace corvane;
using namespace corvane::test;
using namespace std::chrono_literals;

namespace {

/// A topic-word table as the model runs write it: the word column, then one float column per
/// topic.
void WritePhiTable(const std::string& path, int32_t topics, int32_t words)
{
    TFGStreamData table;
    ASSERT_TRUE(table.CreateNewDataFile(path, topics + 1, words, 0));
    ASSERT_TRUE(table.ColumnAdd(fgcText, 64, "Col_Word", "Word"));
    for (int32_t k = 1; k <= topics; ++k)
        ASSERT_TRUE(table.ColumnAdd(fgcFloat, 4, "Col_Topic" + std::to_string(k),
                                    "Topic " + std::to_string(k)));
    for (int32_t w = 0; w < words; ++w)
        ASSERT_TRUE(table.WriteData(0, w, std::string_view("w" + std::to_string(w))));
    std::vector<float> values(static_cast<size_t>(words));
    for (int32_t k = 1; k <= topics; ++k) {
        for (int32_t w = 0; w < words; ++w)
            values[w] = static_cast<float>((w * 7 + k) % 11) / 11.0f;
        ASSERT_TRUE(table.WriteColumnFloat(k, 0, values));
    }
}

/// A document-topic table: 23 leading text columns (document numbers in the first), then the
/// topics; row 0 holds no document.
void WriteThetaTable(const std::string& path, int32_t topics, int32_t docs)
{
    TFGStreamData table;
    ASSERT_TRUE(table.CreateNewDataFile(path, topics + 23, docs + 1, 0));
    ASSERT_TRUE(table.ColumnAdd(fgcText, 16, "Col_DocID", "ID"));
    for (int c = 1; c < 23; ++c)
        ASSERT_TRUE(table.ColumnAdd(fgcText, 64, "Col_Field" + std::to_string(c), "Field"));
    for (int32_t k = 1; k <= topics; ++k)
        ASSERT_TRUE(table.ColumnAdd(fgcFloat, 4, "Col_Topic" + std::to_string(k), "Topic"));
    for (int32_t d = 1; d <= docs; ++d)
        ASSERT_TRUE(table.WriteData(0, d, std::string_view(std::to_string(d))));
    for (int32_t k = 0; k < topics; ++k)
        for (int32_t d = 0; d <= docs; ++d)
            ASSERT_TRUE(table.WriteData(23 + k, d, static_cast<float>(d % 3) / 3.0f));
}

/// Runs sort jobs on a main-thread loop and records what they report.
struct TJobsHarness
{
    TLoopMainThread mainThread;
    TSortJobs jobs{mainThread};
    std::vector<int32_t> progress;
    int finishedCount = 0;
    bool ok = false;
    std::string error;
    bool eventsOnMainThread = true;

    TJobsHarness()
    {
        jobs.OnProgress = [this](TSortJob, int32_t p) {
            progress.push_back(p);
            eventsOnMainThread = eventsOnMainThread && std::this_thread::get_id() == mainId;
        };
        jobs.OnFinished = [this](TSortJob, bool succeeded, const std::string& why) {
            ++finishedCount;
            ok = succeeded;
            error = why;
            eventsOnMainThread = eventsOnMainThread && std::this_thread::get_id() == mainId;
        };
    }

    void RunToEnd()
    {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        mainThread.RunUntil(
            [&] { return !jobs.Running() || std::chrono::steady_clock::now() > deadline; }, 10ms);
        ASSERT_FALSE(jobs.Running()) << "the job did not end";
        mainThread.ProcessPending();
    }

    std::thread::id mainId = std::this_thread::get_id();
};

TFGStreamDataHeader HeaderOf(const std::string& path)
{
    TFGStreamData table;
    EXPECT_TRUE(table.OpenDataFile(path, true));
    return table.HeaderInfo();
}

} // namespace

TEST(SortJobsTest, TableNamesComeFromTheContainer)
{
    struct Case
    {
        const char* container;
        TResultTableNames names;
    };
    const Case cases[] = {
        {"/data/news.cvlda",
         {"/data/news_phi.bin", "/data/news_theta.bin", "/data/cv_phi_sort_3.bin",
          "/data/cv_theta_sort_4.bin"}},
        {"news.cvlda",
         {"news_phi.bin", "news_theta.bin", "cv_phi_sort_3.bin", "cv_theta_sort_4.bin"}},
        {"/my corpus/x.y.cvlda",
         {"/my corpus/x.y_phi.bin", "/my corpus/x.y_theta.bin", "/my corpus/cv_phi_sort_3.bin",
          "/my corpus/cv_theta_sort_4.bin"}},
        {"/data.d/news",
         {"/data.d/news_phi.bin", "/data.d/news_theta.bin", "/data.d/cv_phi_sort_3.bin",
          "/data.d/cv_theta_sort_4.bin"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.container);
        const TResultTableNames names = ResultTableNames(c.container);
        EXPECT_EQ(names.phi, c.names.phi);
        EXPECT_EQ(names.theta, c.names.theta);
        EXPECT_EQ(names.phiSort, c.names.phiSort);
        EXPECT_EQ(names.thetaSort, c.names.thetaSort);
    }
}

TEST(SortJobsTest, WordsJobReportsEveryTopicThenTheEnd)
{
    TTempDir tmp;
    const std::string folder = tmp.File("my corpus"); // blanks must survive the command line
    std::filesystem::create_directory(folder);
    TJobsHarness h;
    h.jobs.SetContainer(folder + "/news.cvlda");
    WritePhiTable(h.jobs.Names().phi, 100, 20);

    ASSERT_TRUE(h.jobs.Start(TSortJob::Words));
    h.RunToEnd();

    std::vector<int32_t> expected;
    for (int32_t p = 1; p <= 100; ++p)
        expected.push_back(p);
    expected.push_back(1); // the finished message
    EXPECT_EQ(h.progress, expected);
    EXPECT_EQ(h.finishedCount, 1);
    EXPECT_TRUE(h.ok) << h.error;
    EXPECT_TRUE(h.eventsOnMainThread);
    EXPECT_TRUE(h.jobs.PhiSortValid());
    EXPECT_FALSE(h.jobs.ThetaSortValid());
    const auto header = HeaderOf(folder + "/cv_phi_sort_3.bin");
    EXPECT_EQ(header.ColCount, 100);
    EXPECT_EQ(header.RowCount, 20);
    EXPECT_EQ(header.RecSize, 50);
    EXPECT_EQ(std::filesystem::file_size(folder + "/cv_phi_sort_3.bin"), 12u + 100 * 20 * 50);
}

TEST(SortJobsTest, DocsJobSortsTheDocumentTable)
{
    TTempDir tmp;
    TJobsHarness h;
    h.jobs.SetContainer(tmp.File("news.cvlda"));
    WriteThetaTable(h.jobs.Names().theta, 3, 4);

    ASSERT_TRUE(h.jobs.Start(TSortJob::Docs));
    h.RunToEnd();

    EXPECT_EQ(h.progress, (std::vector<int32_t>{33, 66, 100, 1}));
    EXPECT_TRUE(h.ok) << h.error;
    EXPECT_TRUE(h.jobs.ThetaSortValid());
    EXPECT_FALSE(h.jobs.PhiSortValid());
    const auto header = HeaderOf(tmp.File("cv_theta_sort_4.bin"));
    EXPECT_EQ(header.ColCount, 3);
    EXPECT_EQ(header.RowCount, 4);
}

TEST(SortJobsTest, OneJobAtATime)
{
    TTempDir tmp;
    TJobsHarness h;
    h.jobs.SetContainer(tmp.File("news.cvlda"));
    WritePhiTable(h.jobs.Names().phi, 5, 10);
    WriteThetaTable(h.jobs.Names().theta, 2, 3);

    ASSERT_TRUE(h.jobs.Start(TSortJob::Words));
    // The job counts as running until its end has been handled on the main thread.
    EXPECT_FALSE(h.jobs.Start(TSortJob::Docs));
    EXPECT_FALSE(h.jobs.Start(TSortJob::Words));
    h.RunToEnd();
    EXPECT_EQ(h.finishedCount, 1);
    EXPECT_TRUE(h.jobs.PhiSortValid());
    EXPECT_FALSE(std::filesystem::exists(tmp.File("cv_theta_sort_4.bin")));

    EXPECT_TRUE(h.jobs.Start(TSortJob::Docs));
    h.RunToEnd();
    EXPECT_EQ(h.finishedCount, 2);
    EXPECT_TRUE(h.jobs.ThetaSortValid());
}

TEST(SortJobsTest, StopKillsTheSortingProgram)
{
    TTempDir tmp;
    TJobsHarness h;
    h.jobs.SetContainer(tmp.File("news.cvlda"));
    WritePhiTable(h.jobs.Names().phi, 100, 20);
    h.jobs.OnProgress = [&](TSortJob, int32_t p) {
        h.progress.push_back(p);
        if (p == 10)
            h.jobs.Stop();
    };

    ASSERT_TRUE(h.jobs.Start(TSortJob::Words));
    h.RunToEnd();

    // The program waits for the answer to each message, and the stop comes before the next one.
    ASSERT_FALSE(h.progress.empty());
    EXPECT_EQ(h.progress.back(), 10);
    EXPECT_EQ(h.finishedCount, 1);
    EXPECT_FALSE(h.ok);
    EXPECT_EQ(h.error, "the sort was stopped");
    EXPECT_FALSE(h.jobs.PhiSortValid());
    EXPECT_LT(std::filesystem::file_size(tmp.File("cv_phi_sort_3.bin")), 12u + 100 * 20 * 50);
}

TEST(SortJobsTest, FailuresEndTheJobWithoutASortedTable)
{
    struct Case
    {
        const char* name;
        bool program; // start the real sorting program
        bool table;   // write the input table
        const char* error;
    };
    const Case cases[] = {
        {"sorting program missing", false, true, "no-such-rankfold"},
        {"input table missing", true, false, "Can't open input file."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir tmp;
        TJobsHarness h;
        h.jobs.SetContainer(tmp.File("news.cvlda"));
        if (!c.program)
            h.jobs.SetProgramPath(tmp.File("no-such-rankfold"));
        if (c.table)
            WritePhiTable(h.jobs.Names().phi, 3, 5);

        ASSERT_TRUE(h.jobs.Start(TSortJob::Words));
        h.RunToEnd();

        EXPECT_TRUE(h.progress.empty());
        EXPECT_EQ(h.finishedCount, 1);
        EXPECT_FALSE(h.ok);
        EXPECT_NE(h.error.find(c.error), std::string::npos) << h.error;
        EXPECT_FALSE(h.jobs.PhiSortValid());
        EXPECT_FALSE(std::filesystem::exists(tmp.File("cv_phi_sort_3.bin")));
    }
}

TEST(SortJobsTest, InlineDispatcherEndsTheJobOnItsOwnThread)
{
    // Without a main-thread loop the end is handled on the job's thread, which then frees
    // the launcher it runs in.
    TTempDir tmp;
    TInlineMainThread mainThread;
    TSortJobs jobs(mainThread);
    jobs.SetContainer(tmp.File("news.cvlda"));
    WritePhiTable(jobs.Names().phi, 4, 6);
    TEvent finished;
    bool ok = false;
    int progressCount = 0;
    jobs.OnProgress = [&](TSortJob, int32_t) { ++progressCount; };
    jobs.OnFinished = [&](TSortJob, bool succeeded, const std::string&) {
        ok = succeeded;
        finished.Set();
    };
    ASSERT_TRUE(jobs.Start(TSortJob::Words));
    ASSERT_TRUE(finished.Wait(60s));
    EXPECT_TRUE(ok);
    EXPECT_EQ(progressCount, 5);
    EXPECT_FALSE(jobs.Running());
}
