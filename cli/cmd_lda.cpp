// LDA runs over a loaded container.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/progressbar.h"
#include "cli/steps.h"
#include "models/fixedtopics.h"
#include "models/gibbsldaengine.h"
#include "models/ldaloader.h"
#include "platform/userlocale.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>
#include <unistd.h>

namespace corvane::cli {
namespace {

constexpr int kExitStopped = 130; // the shell's status for a program ended by Ctrl+C
constexpr int32_t kMaxWindow = 50;

volatile std::sig_atomic_t g_Interrupted = 0;

void OnInterrupt(int)
{
    g_Interrupted = 1;
}

/// Turns the first Ctrl+C into a flag the run polls; a second one ends the program at once.
class TInterruptGuard
{
public:
    TInterruptGuard()
    {
        g_Interrupted = 0;
        struct sigaction action = {};
        action.sa_handler = OnInterrupt;
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_Previous);
    }
    ~TInterruptGuard() { sigaction(SIGINT, &m_Previous, nullptr); }
    TInterruptGuard(const TInterruptGuard&) = delete;
    TInterruptGuard& operator=(const TInterruptGuard&) = delete;

    bool Interrupted() const { return g_Interrupted != 0; }

private:
    struct sigaction m_Previous = {};
};

int32_t ParseMethod(const std::string& name)
{
    if (name == "lda")
        return kMethodLda;
    if (name == "islda")
        return kMethodIslda;
    if (name == "granulate")
        return kMethodGranulate;
    throw TCliError("--method must be lda, islda or granulate, not \"" + name + "\"");
}

/// A fixed-topics table made from a CSV file for one run, removed afterwards.
class TTemporaryTable
{
public:
    explicit TTemporaryTable(const std::string& csv)
        : m_Path((std::filesystem::temp_directory_path() /
                  ("corvane-islda-" + std::to_string(::getpid()) + ".bin"))
                     .string())
    {
        std::string error;
        if (!LoadFixedTopicsCsv(csv, m_Path, error)) {
            std::remove(m_Path.c_str());
            throw TCliError("cannot read the fixed topics: " + error);
        }
    }
    ~TTemporaryTable() { std::remove(m_Path.c_str()); }
    TTemporaryTable(const TTemporaryTable&) = delete;
    TTemporaryTable& operator=(const TTemporaryTable&) = delete;

    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

} // namespace

std::shared_ptr<const TLdaInput> LoadLdaInput(const std::string& path, int32_t threads)
{
    TLdaLoader loader;
    TProgressBar bar("Loading");
    loader.OnProgress = [&](int32_t done, int32_t total) {
        bar.Update(total > 0 ? static_cast<int>(100LL * done / total) : 100);
    };
    const TLdaLoadResult result = loader.Load(path, true, threads);
    bar.Finish();
    if (result != TLdaLoadResult::Loaded)
        throw TCliError(loader.ErrorText() + " (" + path + ")");
    const TLdaInput& input = *loader.Input();
    std::cout << "Number of documents: " << input.dataset.M << "\n"
              << "Number of words in documents: " << input.dataset.V << "\n"
              << kStatusDocumentsLoaded << "\n"
              << TLdaLoader::FileNameText(path) << "\n";
    return loader.Input();
}

int32_t RunLdaModel(const TLdaRunParams& params, std::shared_ptr<const TLdaInput> input)
{
    const TGibbsLdaCore& core = GibbsLdaCore();
    const std::string warning = EngineLoadWarning(core.LoadStatus());
    if (!warning.empty())
        std::cerr << "Warning: " << warning << "\n";

    TLoopMainThread mainThread;
    TGibbsLdaEngine engine(core);
    TLdaRunController run(mainThread, engine);
    std::optional<TProgressBar> bar; // from the moment the run has started
    std::string message;
    bool finished = false;
    int32_t result = 0;
    int32_t shownIteration = -1;
    std::string theta = "-", phi = "-";
    const auto showNote = [&] {
        const int32_t niters = run.LDA().niters;
        const int32_t iteration = run.LastIteration();
        bar->SetNote("iteration " + std::to_string(iteration) + "/" + std::to_string(niters) +
                     "  theta " + theta + "  phi " + phi);
        bar->Update(niters > 0 ? static_cast<int>(100LL * iteration / niters) : 0);
    };
    run.OnStatus = [&](const std::string& text) {
        if (!bar) {
            std::cout << text << "\n" << std::flush;
            return;
        }
        // Both reports of an iteration give the same status; one line is enough.
        if (text.starts_with("Status: Iteration(")) {
            if (run.LastIteration() == shownIteration)
                return;
            shownIteration = run.LastIteration();
            showNote();
        }
        bar->PrintLine(std::cout, text);
    };
    run.OnMessage = [&](const std::string& text) { message = text; };
    run.OnChartPoint = [&](TRunTab, int series, double, double y) {
        (series == 1 ? theta : phi) = FormatFixed(y, 2) + "%";
        showNote();
    };
    run.OnFinished = [&](int32_t r) {
        finished = true;
        result = r;
    };

    TInterruptGuard interrupt;
    run.Run(params, std::move(input));
    if (!run.Running())
        throw TCliError("invalid parameters: --topics, --iterations and --save-step take whole "
                        "numbers, --alpha and --beta decimals (\"0,5\" or \"0.5\")");
    bar.emplace("LDA");
    bool stopRequested = false;
    const auto onTick = [&] {
        if (interrupt.Interrupted() && !stopRequested) {
            stopRequested = true;
            run.Stop();
        }
        bar->Tick();
    };
    mainThread.RunUntil([&] { return finished; }, std::chrono::milliseconds(100), onTick);
    if (result != 1 && result >= 0)
        bar->Update(100);
    bar->Finish();
    if (result < 0)
        throw TCliError(message + (warning.empty() ? "" : " " + warning));
    return result;
}

int RunLda(const std::vector<std::string>& argv)
{
    TArgs args(argv,
               {"method", "topics", "iterations", "save-step", "alpha", "beta", "threads", "window",
                "fixed"},
               {});
    const std::string& container = args.Required(0, "container file");
    args.ExpectPositional(1);

    TLdaRunParams params;
    params.method = ParseMethod(args.Get("method", "lda"));
    params.topics = args.Get("topics", params.topics);
    params.iterations = args.Get("iterations", params.iterations);
    params.saveStep = args.Get("save-step", params.saveStep);
    params.alpha = args.Get("alpha", params.alpha);
    params.beta = args.Get("beta", params.beta);
    // The window's default: one thread per processor.
    params.threads = args.GetInt(
        "threads", static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency())));
    if (params.threads < 1)
        throw TCliError("--threads must be at least 1");
    params.window = args.GetInt("window", 1);
    if (params.window < 1 || params.window > kMaxWindow)
        throw TCliError("--window must be between 1 and " + std::to_string(kMaxWindow));
    if (args.Has("window") && params.method != kMethodGranulate)
        throw TCliError("--window goes with --method granulate");
    if (args.Has("fixed") && params.method != kMethodIslda)
        throw TCliError("--fixed goes with --method islda");

    // Without --fixed, ISLDA uses the table the window program edits, as the window does.
    std::unique_ptr<TTemporaryTable> fixed;
    params.fixedTopicsFile = FixedTopicsFileName();
    if (args.Has("fixed")) {
        fixed = std::make_unique<TTemporaryTable>(args.Get("fixed"));
        params.fixedTopicsFile = fixed->Path();
    }

    auto input = LoadLdaInput(container, params.threads);
    const TResultTableNames tables = ResultTableNames(container);
    const int32_t result = RunLdaModel(params, std::move(input));
    for (const std::string& table : {tables.theta, tables.phi})
        if (std::filesystem::exists(table))
            std::cout << table << "\n";
    return result == 1 ? kExitStopped : 0;
}

} // namespace corvane::cli
