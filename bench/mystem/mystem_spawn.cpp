// Times one analyser child per document, spawn to exit, against spawning /bin/true.
//   mystem_spawn [DOCUMENT [RUNS]]   (default: a 1 KB Russian text made up here, 300 runs)
#include "platform/appdirs.h"
#include "platform/childprocess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace corvane;

namespace {

std::string SampleText()
{
    const std::string sentence = "Мама мыла раму, а папа читал газету и думал о завтрашнем дне. ";
    std::string text;
    while (text.size() < 1024)
        text += sentence;
    return text.substr(0, text.rfind(' ', 1024));
}

// Milliseconds for each run of `argv` fed with `input`.
std::vector<double> TimeRuns(const std::vector<std::string>& argv, const std::string& input,
                             int runs)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        TChildProcess child;
        std::string error, output;
        TSpawnOptions options;
        options.argv = argv;
        options.niceIncrement = 0;
        if (!child.Start(options, error)) {
            std::fprintf(stderr, "mystem_spawn: %s\n", error.c_str());
            std::exit(1);
        }
        ExchangeWithChild(child, input, output, std::chrono::seconds(10));
        child.Wait();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

double Quantile(const std::vector<double>& sorted, double q)
{
    return sorted[static_cast<size_t>(q * static_cast<double>(sorted.size() - 1))];
}

} // namespace

int main(int argc, char** argv)
{
    std::string text = SampleText();
    if (argc > 1) {
        std::ifstream in(argv[1], std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    const std::string input = text + '\x1A';
    const auto mystem =
        TimeRuns({ProgramDir() + "mystem", "-c", "-wl", "-e", "utf-8"}, input, runs);
    const auto baseline = TimeRuns({"/bin/true"}, input, runs);
    std::printf("document: %zu bytes, %d runs\n", text.size(), runs);
    std::printf("mystem     median %.2f ms, p90 %.2f ms\n", Quantile(mystem, 0.5),
                Quantile(mystem, 0.9));
    std::printf("/bin/true  median %.2f ms, p90 %.2f ms\n", Quantile(baseline, 0.5),
                Quantile(baseline, 0.9));
    std::printf("ratio mystem / true: %.2f\n", Quantile(mystem, 0.5) / Quantile(baseline, 0.5));
    return 0;
}
