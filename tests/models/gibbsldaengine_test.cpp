// The run controller over the real engine library: loader, engine, reports and result tables.
#include "models/gibbsldaengine.h"

#include "models/fixedtopics.h"
#include "models/ldaloader.h"
#include "models/ldarun.h"
#include "tables/fgstreamdata.h"
#include "tests/models/ldafixture.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

using namespace corvane;
using namespace corvane::test;
using namespace std::chrono_literals;

namespace {

const std::vector<std::string> kWords = {"sun", "moon", "star", "cat", "dog", "owl"};

/// Eight documents, four about the sky and four about animals, with every word often enough
/// that a sampler spreads it over several topics unless it is told otherwise.
std::shared_ptr<const TLdaInput> LoadSample(const TTempDir& dir)
{
    std::vector<TFixtureDoc> docs;
    for (int32_t id = 0; id < 8; ++id) {
        const int32_t first = id < 4 ? 0 : 3;
        TFixtureDoc doc{id, "document " + std::to_string(id), std::nullopt, {}};
        for (int repeat = 0; repeat < 5; ++repeat)
            for (int32_t w = first; w < first + 3; ++w)
                doc.words.push_back(kWords[static_cast<size_t>(w)]);
        docs.push_back(doc);
    }
    const std::string path = dir.File("sample.cvlda");
    WriteLdaContainer(path, docs, kWords);
    TLdaLoader loader;
    EXPECT_EQ(loader.Load(path, true, 2), TLdaLoadResult::Loaded);
    return loader.Input();
}

/// A controller driving the real engine on a main-thread loop.
struct TRealRun
{
    TLoopMainThread mainThread;
    TGibbsLdaEngine engine;
    TLdaRunController run{mainThread, engine};
    std::vector<std::string> statuses;
    std::vector<std::string> messages;
    bool finished = false;
    int32_t result = 0;
    bool onMainThread = true;

    explicit TRealRun(const TGibbsLdaCore& core = GibbsLdaCore()) : engine(core)
    {
        const auto mainId = std::this_thread::get_id();
        run.OnStatus = [this, mainId](const std::string& s) {
            statuses.push_back(s);
            onMainThread = onMainThread && std::this_thread::get_id() == mainId;
        };
        run.OnMessage = [this](const std::string& m) { messages.push_back(m); };
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

TLdaRunParams Params(const std::string& topics, const std::string& iterations,
                     const std::string& saveStep)
{
    TLdaRunParams p;
    p.topics = topics;
    p.iterations = iterations;
    p.saveStep = saveStep;
    p.threads = 2;
    p.method = kMethodLda;
    return p;
}

std::vector<float> Column(const TFGStreamData& table, int32_t col)
{
    std::vector<float> values(static_cast<size_t>(table.RowCount()));
    EXPECT_TRUE(table.GetColumnAsFloat(col, values));
    return values;
}

} // namespace

TEST(GibbsLdaEngineTest, RealEngineWritesBothTablesOnTheMainThread)
{
    TTempDir dir;
    TRealRun r;
    r.run.Run(Params("2", "40", "20"), LoadSample(dir));
    r.WaitForEnd();

    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.onMainThread);
    ASSERT_FALSE(r.statuses.empty());
    EXPECT_EQ(r.statuses.front(), "Status: Calculating in progress...");
    EXPECT_EQ(r.statuses.back().rfind("Status: Calculation completed (", 0), 0u);
    EXPECT_EQ(r.run.LastIteration(), 40);
    EXPECT_EQ(r.run.Chart().Series(1).size(), 2u);
    EXPECT_EQ(r.run.Chart().Series(2).size(), 2u);

    TFGStreamData theta, phi;
    ASSERT_TRUE(theta.OpenDataFile(dir.File("sample_theta.bin"), true));
    EXPECT_EQ(theta.ColCount(), 2 + 23);
    EXPECT_EQ(theta.RowCount(), 8 + 1);
    EXPECT_EQ(theta.GetDataAsText(1, 8), "document 7");
    const std::vector<float> t1 = Column(theta, 23), t2 = Column(theta, 24);
    for (int32_t d = 1; d <= 8; ++d)
        EXPECT_NEAR(t1[d] + t2[d], 1.0f, 1e-5f) << d;

    ASSERT_TRUE(phi.OpenDataFile(dir.File("sample_phi.bin"), true));
    EXPECT_EQ(phi.ColCount(), 2 + 1);
    EXPECT_EQ(phi.RowCount(), 6);
    EXPECT_EQ(phi.GetDataAsText(0, 5), "owl");
    for (int32_t k = 1; k <= 2; ++k) {
        const std::vector<float> c = Column(phi, k);
        float sum = 0;
        for (float v : c)
            sum += v;
        EXPECT_NEAR(sum, 1.0f, 1e-5f) << k;
    }
}

TEST(GibbsLdaEngineTest, FixedTopicsThreeAndSevenHoldTheWordInTopicsThreeAndSeven)
{
    TTempDir dir;
    const std::string table = dir.File("islda.bin");
    std::string error;
    ASSERT_TRUE(WriteFixedTopicsTable(table, {{"sun", {3, 7, 0, 0, 0}}}, error)) << error;
    TRealRun r;
    TLdaRunParams p = Params("8", "30", "30");
    p.method = kMethodIslda;
    p.fixedTopicsFile = table;
    r.run.Run(p, LoadSample(dir));
    r.WaitForEnd();
    ASSERT_EQ(r.result, 0);

    // Table column k is the engine's topic k - 1. Where "sun" (row 0) has no tokens, its value is
    // the smoothing value, the smallest the column can hold.
    TFGStreamData phi;
    ASSERT_TRUE(phi.OpenDataFile(dir.File("sample_phi.bin"), true));
    for (int32_t k = 1; k <= 8; ++k) {
        if (k == 3 || k == 7)
            continue;
        SCOPED_TRACE(k);
        const std::vector<float> c = Column(phi, k);
        EXPECT_EQ(c[0], *std::min_element(c.begin(), c.end()));
    }
    EXPECT_GT(Column(phi, 3)[0] + Column(phi, 7)[0], 2 * Column(phi, 1)[0]);
}

TEST(GibbsLdaEngineTest, StopEndsTheEngineAndKeepsTheLastTables)
{
    TTempDir dir;
    TRealRun r;
    r.run.Run(Params("2", "100000000", "1"), LoadSample(dir));
    r.mainThread.RunUntil([&] { return r.run.LastIteration() > 0 || r.finished; }, 10ms);
    r.run.Stop();
    r.WaitForEnd();
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.statuses.back(), "Status: Calculation terminated by user");
    EXPECT_LT(r.run.LastIteration(), 100000000);
    TFGStreamData theta;
    EXPECT_TRUE(theta.OpenDataFile(dir.File("sample_theta.bin"), true));
}

TEST(GibbsLdaEngineTest, MissingLibraryEndsEveryRunWithItsStatus)
{
    TTempDir dir;
    TGibbsLdaCore missing;
    ASSERT_EQ(missing.Load(dir.File("nowhere")), kGibbsLdaNotFound);
    EXPECT_EQ(EngineLoadWarning(missing.LoadStatus()),
              "Error on loading GIBBS LDA DLL: file not found.");
    TRealRun r(missing);
    r.run.Run(Params("2", "10", "5"), LoadSample(dir));
    r.WaitForEnd();
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.messages, (std::vector<std::string>{"Error on calculation."}));
    EXPECT_EQ(r.statuses.back(), "Status: Error code=-1");
}
