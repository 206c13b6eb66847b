#include "models/ldarun.h"

#include "models/fixedtopics.h"
#include "platform/userlocale.h"
#include "tables/fgstreamdata.h"
#include "tests/models/ldafixture.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <regex>
#include <thread>

using namespace corvane;
using namespace corvane::test;
using namespace std::chrono_literals;

namespace {

/// An engine that records what it was given, reports uniform matrices after every save step
/// and returns a scripted result; with `waitForStop` it runs until the stop event is set.
class TFakeEngine : public ILdaEngine
{
public:
    int32_t result = 0;
    bool waitForStop = false;
    std::atomic<int> calls{0};
    TLdaEngineCall seen;
    std::vector<std::vector<int32_t>> docs;
    std::vector<TFixedTopics> fixed;
    std::thread::id thread;

    int32_t Calc(const TLdaEngineCall& call, const TLdaReport& report, TEvent& stop) override
    {
        ++calls;
        seen = call;
        thread = std::this_thread::get_id();
        fixed.assign(call.fixed, call.fixed + call.fixedCount);

        std::vector<std::vector<double>> theta(call.M, std::vector<double>(call.K, 1.0 / call.K));
        std::vector<std::vector<double>> phi(call.K, std::vector<double>(call.V, 1.0 / call.V));
        theta[0][0] = 1.0; // one value above 1/K
        std::vector<const double*> thetaRows, phiRows;
        for (auto& r : theta)
            thetaRows.push_back(r.data());
        for (auto& r : phi)
            phiRows.push_back(r.data());
        for (int32_t it = call.savestep; it <= call.niters; it += call.savestep) {
            report(kReportTheta | static_cast<uintptr_t>(it) << 8, thetaRows.data());
            report(kReportPhi | static_cast<uintptr_t>(it) << 8, phiRows.data());
        }
        report(7u | 99u << 8, nullptr); // unknown kind: status only
        if (waitForStop)
            stop.Wait();
        // The documents are read last: they must still be there whatever the loader did.
        docs.clear();
        for (int32_t d = 0; d < call.M; ++d)
            docs.emplace_back(call.docs[d], call.docs[d] + call.lengths[d]);
        return waitForStop ? 1 : result;
    }
};

/// A loaded container with two documents and three words.
struct TLoaded
{
    TTempDir dir;
    std::string path = dir.File("news.cvlda");
    std::shared_ptr<TLdaInput> input = std::make_shared<TLdaInput>();

    TLoaded()
    {
        WriteLdaContainer(path, {{0, "first", std::nullopt, {}}, {1, "second", std::nullopt, {}}},
                          {});
        input->path = path;
        for (const char* w : {"cat", "dog", "owl"})
            input->wordmap.push_back(WordRecord(w));
        input->dataset.docs.resize(2);
        input->dataset.docs[0].words = {0, 1, 1};
        input->dataset.docs[1].words = {2};
        input->dataset.M = 2;
        input->dataset.V = 3;
    }
};

/// A controller on a main-thread loop, recording what it shows.
struct THarness
{
    TLoopMainThread mainThread;
    TFakeEngine engine;
    TLdaRunController run{mainThread, engine};
    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    std::vector<std::string> points;
    int starting = 0;
    bool finished = false;
    int32_t result = 0;
    bool onMainThread = true;

    THarness()
    {
        const auto mainId = std::this_thread::get_id();
        run.OnStatus = [this, mainId](const std::string& s) {
            // Elapsed times vary with the machine's load.
            statuses.push_back(
                std::regex_replace(s, std::regex("\\d\\d:\\d\\d:\\d\\d"), "hh:mm:ss"));
            onMainThread = onMainThread && std::this_thread::get_id() == mainId;
        };
        run.OnMessage = [this](const std::string& m) { messages.push_back(m); };
        run.OnRunStarting = [this] { ++starting; };
        run.OnChartPoint = [this](TRunTab tab, int series, double x, double y) {
            points.push_back(std::to_string(static_cast<int>(tab)) + ":" + std::to_string(series) +
                             ":" + std::to_string(static_cast<int>(x)) + ":" + FormatFixed(y, 2));
        };
        run.OnFinished = [this](int32_t r) {
            finished = true;
            result = r;
        };
    }

    void WaitForEnd()
    {
        mainThread.RunUntil([this] { return finished; }, 10ms);
    }
};

TLdaRunParams Params(const std::string& topics = "2")
{
    TLdaRunParams p;
    p.topics = topics;
    p.iterations = "20";
    p.saveStep = "10";
    p.threads = 3;
    return p;
}

} // namespace

TEST(TLdaRunControllerTest, CompletedRunWritesTablesChartsAndStatuses)
{
    SetUserDecimalSeparator('.');
    TLoaded data;
    THarness h;
    h.run.Run(Params(), data.input);
    EXPECT_TRUE(h.run.Running());
    h.WaitForEnd();

    EXPECT_FALSE(h.run.Running());
    EXPECT_EQ(h.result, 0);
    EXPECT_EQ(h.starting, 1);
    EXPECT_TRUE(h.onMainThread);
    EXPECT_NE(h.engine.thread, std::this_thread::get_id());
    ASSERT_EQ(h.statuses.size(), 7u);
    EXPECT_EQ(h.statuses[0], "Status: Calculating in progress...");
    EXPECT_EQ(h.statuses[1], "Status: Iteration(10) - Time(hh:mm:ss)");
    EXPECT_EQ(h.statuses[4], "Status: Iteration(20) - Time(hh:mm:ss)");
    EXPECT_EQ(h.statuses[5], "Status: Iteration(99) - Time(hh:mm:ss)");
    EXPECT_EQ(h.statuses[6], "Status: Calculation completed (hh:mm:ss)");
    EXPECT_TRUE(h.messages.empty());

    // theta: 1 of 4 values above 1/2; phi: uniform 1/3 rounds above 1/3 in single precision.
    EXPECT_EQ(h.points, (std::vector<std::string>{"0:1:10:25.00", "0:2:10:100.00", "0:1:20:25.00",
                                                  "0:2:20:100.00"}));
    EXPECT_EQ(h.run.Chart().Series(1).size(), 2u);
    EXPECT_EQ(h.run.LastIteration(), 99);

    const TLDA& lda = h.run.LDA();
    EXPECT_EQ(lda.M, 2);
    EXPECT_EQ(lda.V, 3);
    EXPECT_EQ(lda.K, 2);
    EXPECT_EQ(lda.twords, 100);
    EXPECT_DOUBLE_EQ(lda.alpha, 0.5);
    EXPECT_DOUBLE_EQ(lda.beta, 0.1);
    EXPECT_EQ(h.engine.seen.threads, 3);
    EXPECT_EQ(h.engine.seen.niters, 20);
    EXPECT_EQ(h.engine.seen.twords, 100);
    EXPECT_EQ(h.engine.seen.granlda, 0);
    EXPECT_EQ(h.engine.seen.fixedCount, 0);
    EXPECT_EQ(h.engine.docs, (std::vector<std::vector<int32_t>>{{0, 1, 1}, {2}}));

    TFGStreamData theta, phi;
    ASSERT_TRUE(theta.OpenDataFile(data.dir.File("news_theta.bin"), true));
    EXPECT_EQ(theta.ColCount(), 25);
    EXPECT_EQ(theta.GetDataAsText(1, 2), "second");
    EXPECT_EQ(theta.GetDataAsFloat(23, 1), 1.0f);
    ASSERT_TRUE(phi.OpenDataFile(data.dir.File("news_phi.bin"), true));
    EXPECT_EQ(phi.GetDataAsText(0, 2), "owl");
}

TEST(TLdaRunControllerTest, ParametersAreReadWithEitherSeparatorAndBadOnesStartNothing)
{
    TLoaded data;
    struct Case
    {
        const char* alpha;
        const char* beta;
        const char* topics;
        bool ok;
    };
    const Case cases[] = {
        {"0,5", "0,1", "40", true}, {"0.5", "0.1", " 40 ", true}, {"abc", "0,1", "40", false},
        {"0,5", "", "40", false},   {"0,5", "0,1", "abc", false}, {"0,5", "0,1", "4.5", false},
    };
    for (char sep : {',', '.'}) {
        SetUserDecimalSeparator(sep);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.alpha) + " " + c.beta + " " + c.topics + " sep " + sep);
            THarness h;
            TLdaRunParams p = Params(c.topics);
            p.alpha = c.alpha;
            p.beta = c.beta;
            h.run.Run(p, data.input);
            if (!c.ok) {
                EXPECT_FALSE(h.run.Running());
                EXPECT_EQ(h.statuses, (std::vector<std::string>{"Status: Invalid parameters"}));
                continue;
            }
            h.WaitForEnd();
            EXPECT_DOUBLE_EQ(h.run.LDA().alpha, 0.5);
            EXPECT_DOUBLE_EQ(h.run.LDA().beta, 0.1);
        }
    }
    SetUserDecimalSeparator('.');

    THarness h;
    h.run.Run(Params(), nullptr); // nothing loaded: nothing happens
    auto noDocs = std::make_shared<TLdaInput>(*data.input);
    noDocs->dataset.docs.clear();
    h.run.Run(Params(), noDocs);
    EXPECT_EQ(h.statuses, (std::vector<std::string>{"Status: Invalid parameters"}));
    auto noWords = std::make_shared<TLdaInput>(*data.input);
    noWords->wordmap.clear();
    h.run.Run(Params(), noWords);
    EXPECT_EQ(h.statuses.size(), 1u);
    EXPECT_EQ(h.engine.calls, 0);
}

TEST(TLdaRunControllerTest, StopEndsTheRunAsTerminatedByUser)
{
    TLoaded data;
    THarness h;
    h.engine.waitForStop = true;
    h.run.Run(Params(), data.input);
    h.mainThread.RunUntil([&] { return h.run.LastIteration() == 99; }, 10ms);
    h.run.Stop();
    h.WaitForEnd();
    EXPECT_EQ(h.result, 1);
    ASSERT_GE(h.statuses.size(), 2u);
    EXPECT_EQ(h.statuses[h.statuses.size() - 2], "Status: Terminating calculation...");
    EXPECT_EQ(h.statuses.back(), "Status: Calculation terminated by user");
    EXPECT_FALSE(h.run.Running());
    // The tables of the last report stay.
    EXPECT_TRUE(std::filesystem::exists(data.dir.File("news_theta.bin")));
}

TEST(TLdaRunControllerTest, NegativeResultShowsTheErrorMessageAndCode)
{
    TLoaded data;
    THarness h;
    h.engine.result = -1;
    h.run.Run(Params(), data.input);
    h.WaitForEnd();
    EXPECT_EQ(h.messages, (std::vector<std::string>{"Error on calculation."}));
    EXPECT_EQ(h.statuses.back(), "Status: Error code=-1");

    // The engine's other results count as completed.
    THarness other;
    other.engine.result = 5;
    other.run.Run(Params(), data.input);
    other.WaitForEnd();
    EXPECT_EQ(other.statuses.back(), "Status: Calculation completed (hh:mm:ss)");
}

TEST(TLdaRunControllerTest, MethodsSelectFixedTopicsOrGranulation)
{
    TLoaded data;
    const std::string table = data.dir.File("islda.bin");
    std::string error;
    ASSERT_TRUE(WriteFixedTopicsTable(
        table, {{"dog", {3, 7, 0, 0, 0}}, {"cat", {}}, {"emu", {1, 0, 0, 0, 0}}}, error));

    THarness islda;
    TLdaRunParams p = Params();
    p.method = kMethodIslda;
    p.fixedTopicsFile = table;
    islda.run.Run(p, data.input);
    islda.WaitForEnd();
    EXPECT_EQ(islda.run.LDA().islda, table);
    ASSERT_EQ(islda.engine.fixed.size(), 1u);
    EXPECT_EQ(islda.engine.fixed[0].word, 1);
    EXPECT_EQ(std::vector<int32_t>(islda.engine.fixed[0].topics, islda.engine.fixed[0].topics + 5),
              (std::vector<int32_t>{2, 6, -1, -1, -1}));

    THarness noTable;
    p.fixedTopicsFile = data.dir.File("never-created.bin");
    noTable.run.Run(p, data.input);
    noTable.WaitForEnd();
    EXPECT_EQ(noTable.engine.seen.fixedCount, 0);
    EXPECT_EQ(noTable.engine.seen.fixed, nullptr);

    THarness gran;
    p.method = kMethodGranulate;
    p.window = 7;
    gran.run.Run(p, data.input);
    gran.WaitForEnd();
    EXPECT_EQ(gran.engine.seen.granlda, 1);
    EXPECT_EQ(gran.engine.seen.granwnd, 7);
    EXPECT_EQ(gran.engine.seen.fixedCount, 0);
    EXPECT_TRUE(gran.run.LDA().islda.empty());
}

TEST(TLdaRunControllerTest, ThetaPointsFollowTheActiveTab)
{
    TLoaded data;
    THarness h;
    h.run.SetActiveTab(TRunTab::BigARTM);
    h.run.Run(Params(), data.input);
    h.WaitForEnd();
    EXPECT_EQ(h.points, (std::vector<std::string>{"1:1:10:25.00", "1:1:20:25.00"}));
    EXPECT_TRUE(h.run.Chart().Series(1).empty());
    EXPECT_TRUE(h.run.Chart().Series(2).empty());
}

TEST(TLdaRunControllerTest, RunKeepsItsInputWhenAnotherContainerReplacesIt)
{
    TLoaded data;
    THarness h;
    h.engine.waitForStop = true;
    std::shared_ptr<TLdaInput> input = data.input;
    h.run.Run(Params(), std::move(input));
    data.input.reset(); // the loader drops it for a new container
    h.mainThread.RunUntil([&] { return h.run.LastIteration() == 99; }, 10ms);
    h.run.Stop();
    h.WaitForEnd();
    EXPECT_EQ(h.engine.docs, (std::vector<std::vector<int32_t>>{{0, 1, 1}, {2}}));
}
