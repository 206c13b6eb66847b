// Lemmatizes the Debian fortunes-ru quotes (one document per quote of the *.u8 files) end to end
// with `corvane-cli lemmatize --jobs 2`, and compares it with the analyser alone: the same
// documents, one mystem child each, two at a time, with nothing else around them.
//   lemmatize_fortunes [RUNS] [FORTUNES_DIR]
#include "bench/benchutil.h"
#include "platform/appdirs.h"
#include "platform/childprocess.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

using namespace corvane;
namespace fs = std::filesystem;

namespace {

using corvane::bench::Median;
using corvane::bench::LoadAverage;

std::vector<std::string> LoadQuotes(const std::string& dir)
{
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".u8")
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    std::vector<std::string> quotes;
    for (const auto& f : files) {
        std::ifstream in(f);
        std::string quote;
        for (std::string line; std::getline(in, line);) {
            if (line == "%") {
                if (!quote.empty())
                    quotes.push_back(quote);
                quote.clear();
            } else {
                quote += line + "\n";
            }
        }
        if (!quote.empty())
            quotes.push_back(quote);
    }
    return quotes;
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// CPU seconds (user + system) of this process and of every child it has waited for, which
// includes their own waited-for children: unlike wall time, it does not grow with the load.
double CpuSeconds()
{
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage u{};
        getrusage(who, &u);
        total +=
            u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

struct TTiming
{
    double wall;
    double cpu;
};

template <class F> TTiming Measure(F run)
{
    const double cpu = CpuSeconds();
    const double wall = run();
    return {wall, CpuSeconds() - cpu};
}

// One child per document, `jobs` at a time: the analyser's own cost.
double RunAnalyserAlone(const std::vector<std::string>& quotes, int jobs)
{
    const auto start = std::chrono::steady_clock::now();
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (int j = 0; j < jobs; ++j) {
        workers.emplace_back([&] {
            for (size_t i; (i = next++) < quotes.size();) {
                TSpawnOptions options;
                options.argv = {ProgramDir() + "mystem", "-c", "-wl", "-e", "utf-8"};
                TChildProcess child;
                std::string error, output;
                if (!child.Start(options, error)) {
                    std::fprintf(stderr, "lemmatize_fortunes: %s\n", error.c_str());
                    std::exit(1);
                }
                ExchangeWithChild(child, quotes[i] + '\x1A', output, std::chrono::seconds(60));
                child.Wait();
            }
        });
    }
    for (auto& w : workers)
        w.join();
    return Seconds(start);
}

double RunStage(const std::string& texts, const std::string& out)
{
    const auto start = std::chrono::steady_clock::now();
    TSpawnOptions options;
    options.argv = {
        ProgramDir() + "corvane-cli", "lemmatize", "--texts", texts, "--out", out, "--jobs", "2"};
    options.niceIncrement = 0;
    TChildProcess cli;
    std::string error, output;
    if (!cli.Start(options, error)) {
        std::fprintf(stderr, "lemmatize_fortunes: %s\n", error.c_str());
        std::exit(1);
    }
    ExchangeWithChild(cli, "", output, std::chrono::minutes(10));
    if (cli.Wait() != 0) {
        std::fprintf(stderr, "lemmatize_fortunes: corvane-cli failed: %s\n", output.c_str());
        std::exit(1);
    }
    std::printf("  %s", output.c_str());
    return Seconds(start);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string source = argc > 2 ? argv[2] : "/usr/share/games/fortunes/ru";
    const std::vector<std::string> quotes = LoadQuotes(source);
    if (quotes.empty()) {
        std::fprintf(stderr, "lemmatize_fortunes: no quotes in %s (install fortunes-ru)\n",
                     source.c_str());
        return 1;
    }
    const fs::path work =
        fs::temp_directory_path() / ("corvane-bench-" + std::to_string(::getpid()));
    fs::create_directories(work / "texts");
    size_t bytes = 0;
    for (size_t i = 0; i < quotes.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%06zu.txt", i);
        std::ofstream(work / "texts" / name, std::ios::binary) << quotes[i];
        bytes += quotes[i].size();
    }
    std::printf("%zu documents, %.1f MB; load average before: %s\n", quotes.size(), bytes / 1e6,
                LoadAverage().c_str());
    std::fflush(stdout);

    std::vector<double> alone, stage, aloneCpu, stageCpu;
    for (int r = 0; r < runs; ++r) {
        const TTiming a = Measure([&] { return RunAnalyserAlone(quotes, 2); });
        const TTiming s = Measure(
            [&] { return RunStage((work / "texts").string(), (work / "out.cvlda").string()); });
        alone.push_back(a.wall);
        aloneCpu.push_back(a.cpu);
        stage.push_back(s.wall);
        stageCpu.push_back(s.cpu);
        std::printf(
            "run %d: analyser alone %.2f s (CPU %.2f s), stage %.2f s (CPU %.2f s); load %s\n",
            r + 1, a.wall, a.cpu, s.wall, s.cpu, LoadAverage().c_str());
        std::fflush(stdout);
    }
    const double a = Median(alone), s = Median(stage), ac = Median(aloneCpu), sc = Median(stageCpu);
    const double n = static_cast<double>(quotes.size());
    std::printf("median of %d, wall: analyser alone %.2f s = %.0f documents/s; stage end to end "
                "%.2f s = %.0f "
                "documents/s (target > 500)\n",
                runs, a, n / a, s, n / s);
    std::printf("median of %d, CPU: analyser alone %.2f s; stage %.2f s; on 2 idle cores the stage "
                "would take about "
                "%.1f s = %.0f documents/s\n",
                runs, ac, sc, sc / 2, n / (sc / 2));
    std::printf("stage / analyser alone: wall %.2f, CPU %.2f (target <= 1.5); share of the stage's "
                "CPU time in the "
                "analyser and its starts %.0f%%\n",
                s / a, sc / ac, 100 * ac / sc);
    fs::remove_all(work);
    return 0;
}
