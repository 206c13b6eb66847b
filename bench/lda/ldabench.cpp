// Speed and quality of the LDA engine on the benchmark corpora, called through the program's
// own binding. Each configuration runs in a child process so that its peak memory is its own.
//
//   lda_bench [--data DIR] [--corpus synthetic,fortunes-ru,brown] [--topics 50,200]
//             [--threads 1,2] [--iters 200] [--repeats 3] [--curve STEP]
//
// --curve STEP prints instead the learning curve, LL/token every STEP sweeps, of the engine
// (first thread count) beside that of a plain dense collapsed Gibbs sampler on the same corpus:
// an exact sampler's curve to hold the engine's against. The dense one costs O(K) per token.
//
// Sampling time of sweeps 11..N is the time of an N-sweep run minus that of a 10-sweep run with
// the same seed: the runs are identical up to sweep 10, and start-up and the final report cost
// the same in both. Speed is reported as the median over the repeats (with the range); "cpu ns"
// is the CPU time of all threads per token, which says more than wall time when the machine is
// shared. Quality comes from the first repeat (the runs are deterministic).

#include "bench/lda/benchcorpus.h"
#include "bench/lda/densesampler.h"
#include "bench/lda/quality.h"
#include "models/gibbsldacore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace corvane;
using namespace corvane::bench;

namespace {

constexpr double kAlpha = 0.1;
constexpr double kBeta = 0.01;
constexpr int32_t kWarmupSweeps = 10;

struct TOptions
{
    std::string data = "/work/shared/bench/lda";
    std::vector<std::string> corpora{"synthetic", "fortunes-ru", "brown"};
    std::vector<int> topics{50, 200};
    std::vector<int> threads{1, 2};
    int iterations = 200;
    int repeats = 3;
    int curveStep = 0; // 0: speed and quality
};

// The README's bar for each corpus and K: the fastest peer's Mtokens/s and the best LL/token.
struct TTarget
{
    double mtokens;
    double logLikelihood;
};
const std::map<std::pair<std::string, int>, TTarget> kTargets{
    {{"synthetic", 50}, {47, -7.83}},   {{"synthetic", 200}, {34, -7.79}},
    {{"fortunes-ru", 50}, {21.9, -6.96}}, {{"fortunes-ru", 200}, {21.2, -6.78}},
    {{"brown", 200}, {34.7, -7.664}},
};

struct TResult
{
    double warmupSeconds = 0;
    double fullSeconds = 0;
    double warmupCpu = 0; // CPU seconds of all threads
    double fullCpu = 0;
    double peakMb = 0;
    double logLikelihood = 0;
    double perplexity = 0;
    double recovery = 0;
    int32_t status = 0;
};

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

TOptions ParseOptions(int argc, char** argv)
{
    TOptions o;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            throw std::runtime_error("missing value for " + name);
        const std::string value = argv[++i];
        auto numbers = [&] {
            std::vector<int> out;
            for (const std::string& item : SplitList(value))
                out.push_back(std::stoi(item));
            return out;
        };
        if (name == "--data")
            o.data = value;
        else if (name == "--corpus")
            o.corpora = SplitList(value);
        else if (name == "--topics")
            o.topics = numbers();
        else if (name == "--threads")
            o.threads = numbers();
        else if (name == "--iters")
            o.iterations = std::stoi(value);
        else if (name == "--repeats")
            o.repeats = std::stoi(value);
        else if (name == "--curve")
            o.curveStep = std::stoi(value);
        else
            throw std::runtime_error("unknown option " + name);
    }
    if (o.iterations <= kWarmupSweeps || o.repeats < 1 || o.curveStep < 0)
        throw std::runtime_error("--iters must exceed 10, --repeats be at least 1 and --curve at "
                                 "least 0");
    return o;
}

// Peak resident memory since the last reset, in MB (VmHWM).
double PeakRssMb()
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void ResetPeakRss()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::string LoadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// Keeps the last reported matrices, in single precision.
struct TCapture
{
    TModel model;
    std::function<void(uint32_t iteration)> onModel; // after each topic-word report

    static intptr_t Send(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam)
    {
        auto* self = static_cast<TCapture*>(context);
        TModel& m = self->model;
        const auto* rows = reinterpret_cast<const double* const*>(lParam);
        if (message != WM_LDADATAREADY)
            return 0;
        if ((wParam & 0xff) == GIBBSLDA_KIND_THETA) {
            m.theta.resize(size_t(m.M) * m.K);
            for (uint32_t d = 0; d < m.M; ++d)
                for (uint32_t k = 0; k < m.K; ++k)
                    m.theta[size_t(d) * m.K + k] = float(rows[d][k]);
        } else if ((wParam & 0xff) == GIBBSLDA_KIND_PHI) {
            m.phiByWord.resize(size_t(m.V) * m.K);
            for (uint32_t k = 0; k < m.K; ++k)
                for (uint32_t w = 0; w < m.V; ++w)
                    m.phiByWord[size_t(w) * m.K + k] = float(rows[k][w]);
            if (self->onModel)
                self->onModel(static_cast<uint32_t>(wParam >> 8));
        }
        return 0;
    }
};

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

TResult RunOnce(const TBenchCorpus& c, int K, int threads, int iterations, bool quality)
{
    TResult r;
    TGibbsLdaCore& core = GibbsLdaCore();
    TCapture capture;
    capture.model.K = uint32_t(K);
    capture.model.M = uint32_t(c.train.docs.size());
    capture.model.V = uint32_t(c.vocabulary.size());
    const TLdaWindow window{&capture, &TCapture::Send};
    auto run = [&](int sweeps, double& cpu) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = CpuSeconds();
        r.status = core.Calc(&window, nullptr, threads, kAlpha, kBeta, K, sweeps, 0, 100,
                             int32_t(c.train.docs.size()), int32_t(c.vocabulary.size()),
                             c.train.lengths.data(), c.train.pointers.data(), 0, nullptr, 0, 0);
        cpu = CpuSeconds() - cpuStart;
        return Seconds(start);
    };
    r.warmupSeconds = run(kWarmupSweeps, r.warmupCpu);
    ResetPeakRss();
    r.fullSeconds = run(iterations, r.fullCpu);
    r.peakMb = PeakRssMb();
    if (quality && r.status == 0) {
        r.logLikelihood = TrainLogLikelihood(capture.model, c.train);
        r.perplexity = HeldOutPerplexity(capture.model, c.test, kAlpha);
        r.recovery = TopicRecovery(capture.model, c);
    }
    return r;
}

// Runs one configuration in a child process and returns what it measured.
TResult RunInChild(const TBenchCorpus& c, int K, int threads, int iterations, bool quality)
{
    int fds[2];
    if (pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        TResult r = RunOnce(c, K, threads, iterations, quality);
        const ssize_t written = write(fds[1], &r, sizeof r);
        _exit(written == ssize_t(sizeof r) ? 0 : 1);
    }
    close(fds[1]);
    TResult r;
    const ssize_t got = read(fds[0], &r, sizeof r);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (got != ssize_t(sizeof r) || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("benchmark child failed");
    return r;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void Benchmark(const TOptions& o, const TBenchCorpus& c)
{
    const uint64_t N = c.train.tokens;
    std::printf("\n%s: %zu training documents, %zu words, %llu tokens; %zu test documents\n",
                c.name.c_str(), c.train.docs.size(), c.vocabulary.size(),
                static_cast<unsigned long long>(N), c.test.docs.size());
    std::printf("%5s %3s %9s %22s %8s %9s %9s %8s %8s   load before\n", "K", "thr", "s/iter",
                "Mtok/s median (range)", "peak MB", "LL/token", "ppl", "recovery", "cpu ns");
    for (int K : o.topics) {
        std::map<int, double> speedByThreads;
        for (int threads : o.threads) {
            const std::string load = LoadAverage();
            std::vector<double> speeds;
            std::vector<double> peaks;
            std::vector<double> cpuNs;
            TResult first;
            for (int rep = 0; rep < o.repeats; ++rep) {
                const TResult r = RunInChild(c, K, threads, o.iterations, rep == 0);
                if (r.status != 0)
                    throw std::runtime_error("engine returned " + std::to_string(r.status));
                if (rep == 0)
                    first = r;
                const double sampling = r.fullSeconds - r.warmupSeconds;
                speeds.push_back(double(N) * (o.iterations - kWarmupSweeps) / sampling / 1e6);
                peaks.push_back(r.peakMb);
                cpuNs.push_back((r.fullCpu - r.warmupCpu) * 1e9 / double(N) / (o.iterations - kWarmupSweeps));
            }
            const double speed = Median(speeds);
            speedByThreads[threads] = speed;
            char range[64];
            std::snprintf(range, sizeof range, "%.1f (%.1f-%.1f)", speed,
                          *std::min_element(speeds.begin(), speeds.end()),
                          *std::max_element(speeds.begin(), speeds.end()));
            std::printf("%5d %3d %9.4f %22s %8.0f %9.4f %9.0f %8.3f %8.1f   %s\n", K, threads,
                        double(N) / (speed * 1e6), range, Median(peaks), first.logLikelihood,
                        first.perplexity, first.recovery, Median(cpuNs), load.c_str());
            const auto target = kTargets.find({c.name, K});
            if (target != kTargets.end())
                std::printf("          vs the README's bar: speed x%.2f of %.1f Mtok/s, LL %+.4f "
                            "against %.3f\n",
                            speed / target->second.mtokens, target->second.mtokens,
                            first.logLikelihood - target->second.logLikelihood,
                            target->second.logLikelihood);
        }
        if (speedByThreads.count(1) && speedByThreads.count(2))
            std::printf("          K=%d: 2 threads run x%.2f the speed of 1\n", K,
                        speedByThreads[2] / speedByThreads[1]);
    }
}

void Curve(const TOptions& o, const TBenchCorpus& c)
{
    const uint32_t V = uint32_t(c.vocabulary.size());
    const uint32_t M = uint32_t(c.train.docs.size());
    std::printf("\n%s: LL/token every %d sweeps, engine with %d thread(s) against a dense exact "
                "sampler\n",
                c.name.c_str(), o.curveStep, o.threads.front());
    for (int K : o.topics) {
        std::map<uint32_t, std::pair<double, double>> engine; // sweep -> (LL, seconds)
        TCapture capture;
        capture.model.K = uint32_t(K);
        capture.model.M = M;
        capture.model.V = V;
        const auto start = std::chrono::steady_clock::now();
        capture.onModel = [&](uint32_t sweep) {
            engine[sweep] = {TrainLogLikelihood(capture.model, c.train), Seconds(start)};
        };
        const TLdaWindow window{&capture, &TCapture::Send};
        const int32_t status = GibbsLdaCore().Calc(
            &window, nullptr, o.threads.front(), kAlpha, kBeta, K, o.iterations, o.curveStep, 100,
            int32_t(M), int32_t(V), c.train.lengths.data(), c.train.pointers.data(), 0, nullptr, 0, 0);
        if (status != 0)
            throw std::runtime_error("engine returned " + std::to_string(status));

        std::printf("%5s %6s %12s %9s %12s %9s\n", "K", "sweep", "engine LL", "seconds",
                    "dense LL", "seconds");
        TDenseSampler dense(c.train, V, uint32_t(K), kAlpha, kBeta, 1);
        const auto denseStart = std::chrono::steady_clock::now();
        for (int it = 1; it <= o.iterations; ++it) {
            dense.Sweep();
            if (engine.count(uint32_t(it)) == 0)
                continue;
            const double ll = TrainLogLikelihood(dense.Model(), c.train);
            const double seconds = Seconds(denseStart);
            std::printf("%5d %6d %12.4f %9.1f %12.4f %9.1f\n", K, it, engine[it].first,
                        engine[it].second, ll, seconds);
            std::fflush(stdout);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const TOptions options = ParseOptions(argc, argv);
        const int32_t status = GibbsLdaCore().LoadStatus();
        if (status != kGibbsLdaBound)
            throw std::runtime_error("engine library not bound, load status " + std::to_string(status));
        std::printf("LDA engine benchmark: alpha %.2f, beta %.2f, %d sweeps, %d repeats; load "
                    "average %s\n",
                    kAlpha, kBeta, options.iterations, options.repeats, LoadAverage().c_str());
        for (const std::string& name : options.corpora) {
            const TBenchCorpus corpus = LoadBenchCorpus(options.data + "/" + name);
            if (options.curveStep > 0)
                Curve(options, corpus);
            else
                Benchmark(options, corpus);
        }
        std::printf("\nload average at the end: %s\n", LoadAverage().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lda_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
