#include "outside/gibbsldacore/gibbsldacore.h"

#include "models/gibbsldacore.h"
#include "platform/appdirs.h"
#include "tests/outside/ldatestkit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <dlfcn.h>
#include <numeric>
#include <thread>

namespace corvane::test {
namespace {

using TReport = TRecorder::TReport;

// Ten documents over words 0..4 and ten over words 5..9; word 10 occurs nowhere.
TDocs TwoVocabularies()
{
    TDocs docs;
    docs.V = 11;
    AddDocsOver(docs, 10, 40, 0, 5, 1);
    AddDocsOver(docs, 10, 40, 5, 5, 2);
    return docs;
}

// Share of row k's mass on words [first, first + count).
double Mass(const std::vector<double>& row, int first, int count)
{
    return std::accumulate(row.begin() + first, row.begin() + first + count, 0.0);
}

TEST(GibbsLdaEngineTest, SeparatedVocabulariesGiveTwoTopics)
{
    const TDocs docs = TwoVocabularies();
    struct Case
    {
        const char* name;
        int32_t threads;
        int32_t granlda;
        int32_t granwnd;
    } cases[] = {{"one thread", 1, 0, 0}, {"two threads", 2, 0, 0}, {"granulated", 2, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCall call;
        call.Over(docs);
        call.threads = c.threads;
        call.granlda = c.granlda;
        call.granwnd = c.granwnd;
        call.niters = 50;
        TRecorder recorder;
        ASSERT_EQ(call.Run(recorder), 0);
        const TReport* phi = recorder.Last(GIBBSLDA_KIND_PHI);
        const TReport* theta = recorder.Last(GIBBSLDA_KIND_THETA);
        ASSERT_TRUE(phi && theta);
        // One topic holds the first vocabulary, the other the second.
        const int first = Mass(phi->rows[0], 0, 5) > 0.5 ? 0 : 1;
        EXPECT_GT(Mass(phi->rows[first], 0, 5), 0.95);
        EXPECT_GT(Mass(phi->rows[1 - first], 5, 5), 0.95);
        for (int d = 0; d < 20; ++d)
            EXPECT_GT(theta->rows[d][d < 10 ? first : 1 - first], 0.95) << "document " << d;
    }
}

TEST(GibbsLdaEngineTest, FixedWordsTakeOnlyTheirTopics)
{
    TDocs docs;
    docs.V = 9; // word 8 occurs nowhere
    AddDocsOver(docs, 30, 30, 0, 8, 7);
    const std::vector<TFixedTopics> fixed = {
        {0, {2, -1, -1, -1, -1}},
        {1, {0, 3, 9, -7, 3}},      // 9 and -7 are out of range; 3 comes twice
        {1, {-1, -1, -1, -1, -1}},  // a second record of word 1 adds nothing
        {2, {-1, 4, 100, -2, -1}},  // nothing in range: word 2 stays free
        {42, {1, 1, 1, 1, 1}},      // no such word
    };
    const std::vector<std::vector<int>> allowed = {{2}, {0, 3}};
    for (int32_t granlda : {0, 1}) {
        SCOPED_TRACE(granlda ? "granulated" : "plain");
        TCall call;
        call.Over(docs);
        call.K = 4;
        call.fixed = fixed;
        call.granlda = granlda;
        call.granwnd = 2;
        call.savestep = 5;
        TRecorder recorder;
        ASSERT_EQ(call.Run(recorder), 0);
        int topicsOfWord2 = 0;
        for (const TReport& report : recorder.reports) {
            if (report.kind != GIBBSLDA_KIND_PHI)
                continue;
            const auto counts = CountsFromPhi(report, call.beta, 8);
            for (int w = 0; w < 2; ++w)
                for (int k = 0; k < 4; ++k) {
                    const bool ok = std::count(allowed[w].begin(), allowed[w].end(), k) > 0;
                    if (!ok) {
                        EXPECT_EQ(counts[k][w], 0) << "word " << w << " topic " << k;
                    }
                }
            topicsOfWord2 = 0;
            for (int k = 0; k < 4; ++k)
                topicsOfWord2 += counts[k][2] > 0;
        }
        EXPECT_GT(topicsOfWord2, 1);
    }
}

TEST(GibbsLdaEngineTest, GranulesCoverWholeShortDocuments)
{
    // A document of at most w + 1 positions lies within w of every position, so it is a single
    // granule and has one topic after every sweep, starting with the first.
    struct Case
    {
        const char* name;
        int32_t window;
        int length;
    } cases[] = {{"window 1", 1, 2}, {"window 3", 3, 4}, {"window 50", 50, 51}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDocs docs;
        docs.V = 20;
        AddDocsOver(docs, 40, c.length, 0, 20, 3);
        AddDocsOver(docs, 5, 3 * c.length, 0, 20, 4); // longer ones alongside
        TCall call;
        call.Over(docs);
        call.K = 5;
        call.niters = 4;
        call.savestep = 1;
        call.granlda = 1;
        call.granwnd = c.window;
        TRecorder recorder;
        ASSERT_EQ(call.Run(recorder), 0);
        int checked = 0;
        for (const TReport& theta : recorder.reports) {
            if (theta.kind != GIBBSLDA_KIND_THETA)
                continue;
            for (int d = 0; d < 40; ++d) {
                const double one = (c.length + call.alpha) / (c.length + call.K * call.alpha);
                const auto top = std::max_element(theta.rows[d].begin(), theta.rows[d].end());
                EXPECT_NEAR(*top, one, 1e-12) << "iteration " << theta.iteration << " document " << d;
            }
            ++checked;
        }
        EXPECT_EQ(checked, 4);
    }
}

TEST(GibbsLdaEngineTest, ReportsComeAtEverySaveStepAndAtTheEnd)
{
    const TDocs docs = TwoVocabularies();
    struct Case
    {
        const char* name;
        int32_t niters;
        int32_t savestep;
        std::vector<uint32_t> iterations;
    } cases[] = {
        {"step 3 of 10", 10, 3, {3, 6, 9, 10}},
        {"step 3 of 9", 9, 3, {3, 6, 9}},
        {"step 0", 5, 0, {5}},
        {"negative step", 5, -2, {5}},
        {"step beyond the end", 4, 7, {4}},
        {"step 1", 3, 1, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCall call;
        call.Over(docs);
        call.K = 3;
        call.niters = c.niters;
        call.savestep = c.savestep;
        TRecorder recorder;
        ASSERT_EQ(call.Run(recorder), 0);
        ASSERT_EQ(recorder.reports.size(), 2 * c.iterations.size());
        for (size_t i = 0; i < recorder.reports.size(); ++i) {
            const TReport& r = recorder.reports[i];
            EXPECT_EQ(r.iteration, c.iterations[i / 2]);
            EXPECT_EQ(r.kind, i % 2 == 0 ? GIBBSLDA_KIND_THETA : GIBBSLDA_KIND_PHI);
            // Rows are distributions: theta over K topics, phi over V words.
            for (const std::vector<double>& row : r.rows)
                EXPECT_NEAR(std::accumulate(row.begin(), row.end(), 0.0), 1.0, 1e-12);
        }
    }
}

TEST(GibbsLdaEngineTest, ThetaFollowsTheDocumentCounts)
{
    TDocs docs;
    docs.V = 3;
    docs.Add({0, 1, 2, 0, 1});
    docs.Add({});
    TCall call;
    call.Over(docs);
    call.K = 4;
    call.alpha = 0.5;
    call.niters = 3;
    TRecorder recorder;
    ASSERT_EQ(call.Run(recorder), 0);
    const TReport* theta = recorder.Last(GIBBSLDA_KIND_THETA);
    ASSERT_TRUE(theta);
    // (n_dk + alpha) / (n_d + K alpha): the counts of a 5-token document sum to 5, and an empty
    // document is uniform.
    double tokens = 0;
    for (double p : theta->rows[0])
        tokens += p * (5 + 4 * 0.5) - 0.5;
    EXPECT_NEAR(tokens, 5, 1e-9);
    for (double p : theta->rows[1])
        EXPECT_DOUBLE_EQ(p, 0.25);
}

TEST(GibbsLdaEngineTest, InvalidArgumentsAreRejected)
{
    const TDocs docs = TwoVocabularies();
    TDocs badWord = TwoVocabularies();
    badWord.words[3][7] = 11; // == V
    badWord.Add({});
    TDocs negativeWord = TwoVocabularies();
    negativeWord.words[0][0] = -1;
    const int32_t negativeLength[] = {5, -1};
    const int32_t* nullDoc[] = {docs.pointers[0], nullptr};
    const int32_t twoLengths[] = {5, 5};

    struct Case
    {
        const char* name;
        std::function<void(TCall&)> spoil;
    } cases[] = {
        {"no topics", [](TCall& c) { c.K = 0; }},
        {"negative topics", [](TCall& c) { c.K = -3; }},
        {"no iterations", [](TCall& c) { c.niters = 0; }},
        {"no documents", [](TCall& c) { c.M = 0; }},
        {"no words", [](TCall& c) { c.V = 0; }},
        {"word index = V", [&](TCall& c) { c.Over(badWord); }},
        {"negative word index", [&](TCall& c) { c.Over(negativeWord); }},
        {"negative length", [&](TCall& c) { c.M = 2, c.lengths = negativeLength; }},
        {"missing document", [&](TCall& c) { c.M = 2, c.lengths = twoLengths, c.docs = nullDoc; }},
        {"missing lengths", [](TCall& c) { c.lengths = nullptr; }},
        {"missing documents", [](TCall& c) { c.docs = nullptr; }},
        {"window 0", [](TCall& c) { c.granlda = 1, c.granwnd = 0; }},
        {"window 51", [](TCall& c) { c.granlda = 1, c.granwnd = 51; }},
        {"alpha 0", [](TCall& c) { c.alpha = 0; }},
        {"negative beta", [](TCall& c) { c.beta = -0.01; }},
        {"beta NaN", [](TCall& c) { c.beta = std::nan(""); }},
        {"alpha infinite", [](TCall& c) { c.alpha = INFINITY; }},
        {"negative fixed count", [](TCall& c) { c.fixedCount = -1, c.fixed = {{0, {1}}}; }},
        {"fixed count without records", [](TCall& c) { c.fixedCount = 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCall call;
        call.Over(docs);
        c.spoil(call);
        TRecorder recorder;
        EXPECT_EQ(call.Run(recorder), GIBBSLDA_ERROR_ARGUMENTS);
        EXPECT_TRUE(recorder.reports.empty());
    }
}

TEST(GibbsLdaEngineTest, TopicCountBeyondMemoryIsRefused)
{
    const TDocs docs = TwoVocabularies();
    TCall call;
    call.Over(docs);
    call.K = INT32_MAX; // the reports alone would take about 300 GB
    TRecorder recorder;
    EXPECT_EQ(call.Run(recorder), GIBBSLDA_ERROR_MEMORY);
    EXPECT_TRUE(recorder.reports.empty());
}

TEST(GibbsLdaEngineTest, LenientArgumentsStillRun)
{
    TDocs docs = TwoVocabularies();
    docs.Add({}); // an empty document
    struct Case
    {
        const char* name;
        std::function<void(TCall&)> set;
    } cases[] = {
        {"window ignored without granules", [](TCall& c) { c.granlda = 0, c.granwnd = 0; }},
        {"granlda other than 1 is plain", [](TCall& c) { c.granlda = 7, c.granwnd = 0; }},
        {"no threads means one", [](TCall& c) { c.threads = 0; }},
        {"more threads than parts", [](TCall& c) { c.threads = 12; }},
        {"one topic", [](TCall& c) { c.K = 1; }},
        {"more topics than tokens", [](TCall& c) { c.K = 1000; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCall call;
        call.Over(docs);
        call.niters = 3;
        c.set(call);
        TRecorder recorder;
        EXPECT_EQ(call.Run(recorder), 0);
        EXPECT_EQ(recorder.reports.size(), 2u);
    }
}

TEST(GibbsLdaEngineTest, StopBeforeTheRunReturnsAtOnce)
{
    TDocs docs;
    docs.V = 1000;
    AddDocsOver(docs, 2000, 200, 0, 1000, 5);
    TStopEvent stop;
    stop.event.Set();
    const TLdaStopEvent handle = stop.Handle();
    TCall call;
    call.Over(docs);
    call.K = 50;
    call.niters = 100000;
    call.stop = &handle;
    TRecorder recorder;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(call.Run(recorder), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(recorder.reports.empty());
    EXPECT_FALSE(stop.event.IsSet()); // an auto-reset event is consumed
}

TEST(GibbsLdaEngineTest, StopDuringTheRunReturnsPromptly)
{
    TDocs docs;
    docs.V = 5000;
    AddDocsOver(docs, 4000, 250, 0, 5000, 6); // a million tokens
    for (int32_t granlda : {0, 1}) {
        SCOPED_TRACE(granlda ? "granulated" : "plain");
        TStopEvent stop;
        const TLdaStopEvent handle = stop.Handle();
        TCall call;
        call.Over(docs);
        call.K = 100;
        call.niters = 100000;
        call.threads = 2;
        call.stop = &handle;
        call.granlda = granlda;
        call.granwnd = 3;
        TRecorder recorder;
        std::chrono::steady_clock::time_point stopAt;
        int32_t result = -100;
        std::thread runner([&] { result = call.Run(recorder); });
        // Let it get into its sweeps, then stop it mid-sweep.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stopAt = std::chrono::steady_clock::now();
        stop.event.Set();
        runner.join();
        const auto latency = std::chrono::steady_clock::now() - stopAt;
        EXPECT_EQ(result, 1);
        EXPECT_LT(latency, std::chrono::milliseconds(1000));
    }
}

TEST(GibbsLdaEngineTest, FixedSeedGivesIdenticalResults)
{
    TDocs docs;
    docs.V = 60;
    AddDocsOver(docs, 50, 30, 0, 60, 9);
    struct Case
    {
        const char* name;
        int32_t granlda;
        bool withFixed;
        int32_t niters; // from 60 on, plain runs include rounds of topic moves
    } cases[] = {{"plain, fixed words", 0, true, 15},
                 {"granulated, fixed words", 1, true, 15},
                 {"plain, topic moves", 0, false, 60}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto run = [&](int32_t threads) {
            TCall call;
            call.Over(docs);
            call.K = 6;
            call.niters = c.niters;
            call.savestep = 5;
            call.threads = threads;
            call.granlda = c.granlda;
            call.granwnd = 2;
            if (c.withFixed)
                call.fixed = {{3, {1, 2, -1, -1, -1}}};
            TRecorder recorder;
            EXPECT_EQ(call.Run(recorder), 0);
            return recorder.reports;
        };
        auto same = [](const std::vector<TReport>& a, const std::vector<TReport>& b) {
            if (a.size() != b.size())
                return false;
            for (size_t i = 0; i < a.size(); ++i)
                if (a[i].kind != b[i].kind || a[i].iteration != b[i].iteration ||
                    a[i].rows != b[i].rows)
                    return false;
            return true;
        };
        const auto one = run(1);
        EXPECT_TRUE(same(one, run(1)));
        EXPECT_TRUE(same(run(3), run(3)));
        // One, two and four threads cut the work alike.
        EXPECT_TRUE(same(one, run(2)));
        EXPECT_TRUE(same(one, run(4)));

        ::setenv("CORVANE_LDA_SEED", "12345", 1);
        const auto reseeded = run(1);
        ::unsetenv("CORVANE_LDA_SEED");
        EXPECT_FALSE(same(one, reseeded));
    }
}

TEST(GibbsLdaEngineTest, LibraryExportsOnlyItsEntryPoints)
{
    void* library = dlopen((ProgramDir() + kGibbsLdaLibraryName).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    EXPECT_NE(dlsym(library, "gibbsldaCalc"), nullptr);
    const auto version = reinterpret_cast<TGibbsLdaVersion>(dlsym(library, "gibbsldaVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), (uint64_t(2) << 48) | 1u);
    // corvane::gibbslda::IsValidInput(corvane::gibbslda::TInput const&), an internal function.
    EXPECT_EQ(dlsym(library, "_ZN7corvane8gibbslda12IsValidInputERKNS0_6TInputE"), nullptr);
    dlclose(library);
}

} // namespace
} // namespace corvane::test
