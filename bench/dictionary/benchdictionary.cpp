// Benchmark of the dictionary stage and stop-word removal on a synthetic lemmatized corpus.
//
//   bench_dictionary generate DIR [--docs N] [--vocab V]
//       DIR/lemmatized.cvlda: N documents of 50..150 words (100 on average) drawn from a Zipf
//       distribution over V synthetic Cyrillic words, in braces as the lemmatizer writes them;
//       DIR/documents.txt: the same documents as UTF-8 lines of blank-separated words.
//   bench_dictionary run DIR [--repeat R]
//       times the dictionary stage with 1 and 2 threads and stop-word removal with the 500
//       most frequent words, R times each; prints medians and checks that the outputs of 1 and 2
//       threads are byte-identical.
#include "bench/benchutil.h"
#include "container/binarydoc.h"
#include "platform/codepage.h"
#include "platform/mainthread.h"
#include "prep/stage2.h"
#include "prep/stage3.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <vector>

using namespace corvane;

namespace {

using corvane::bench::Median;
using TClock = std::chrono::steady_clock;

[[noreturn]] void Die(const std::string& message)
{
    std::fprintf(stderr, "bench_dictionary: %s\n", message.c_str());
    std::exit(1);
}

long Option(int argc, char** argv, const char* name, long fallback)
{
    for (int i = 3; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return std::atol(argv[i + 1]);
    return fallback;
}

// Word `index` as a distinct Cyrillic word: its index as `digits` base-32 digits over а..я,
// then 0..5 more letters so that lengths vary.
std::string SyntheticWord(int index, int digits, std::mt19937_64& rng)
{
    std::string w;
    for (int n = index; digits > 0; --digits, n /= 32)
        w += static_cast<char>(0xE0 + n % 32);
    for (int extra = static_cast<int>(rng() % 6); extra > 0; --extra)
        w += static_cast<char>(0xE0 + rng() % 32);
    return w;
}

void Generate(const std::string& dir, int32_t docs, int32_t vocab)
{
    std::filesystem::create_directories(dir);
    std::mt19937_64 rng(20240611);
    int digits = 1;
    for (int64_t span = 32; span < vocab; span *= 32)
        ++digits;
    std::vector<std::string> words, utf8;
    for (int32_t i = 0; i < vocab; ++i) {
        words.push_back(SyntheticWord(i, digits, rng));
        utf8.push_back(Cp1251ToUtf8(words.back()));
    }
    std::vector<double> cdf(static_cast<size_t>(vocab));
    double sum = 0;
    for (int32_t k = 0; k < vocab; ++k)
        cdf[static_cast<size_t>(k)] = sum += 1.0 / (k + 1);
    std::uniform_real_distribution<double> uniform(0, sum);

    TBinaryDoc out;
    if (!out.Create(dir + "/lemmatized.cvlda", true))
        Die(out.LastError());
    std::ofstream text(dir + "/documents.txt", std::ios::binary | std::ios::trunc);
    const std::string noMetadata(84, '\0');
    std::string lem, line;
    int64_t tokens = 0;
    for (int32_t d = 0; d < docs; ++d) {
        lem.clear();
        line.clear();
        const int n = 50 + static_cast<int>(rng() % 101);
        for (int i = 0; i < n; ++i) {
            const auto k = static_cast<size_t>(
                std::lower_bound(cdf.begin(), cdf.end(), uniform(rng)) - cdf.begin());
            const size_t w = std::min(k, cdf.size() - 1);
            lem += '{';
            lem += words[w];
            lem += '}';
            if (i)
                line += ' ';
            line += utf8[w];
        }
        line += '\n';
        tokens += n;
        if (!out.AddDocuments(d, "", lem, noMetadata.data(), 84))
            Die(out.LastError());
        text.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    if (!out.Close() || !text.flush())
        Die("cannot write the corpus");
    std::printf("generated %d documents, %lld words over %d word forms in %s\n", docs,
                static_cast<long long>(tokens), vocab, dir.c_str());
}

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct TTiming
{
    std::vector<double> wall;
    std::vector<double> cpu;
};

void TimeStage(TCorpusStage& stage, TTiming& timing)
{
    const auto start = TClock::now();
    const double cpu = CpuSeconds();
    stage.Start();
    stage.WaitFor();
    if (stage.ErrorCode() != TStageError::None)
        Die(stage.LastError());
    timing.wall.push_back(std::chrono::duration<double>(TClock::now() - start).count());
    timing.cpu.push_back(CpuSeconds() - cpu);
}

void PrintTiming(const char* what, const TTiming& timing)
{
    std::printf("%s: median %.2f s of", what, Median(timing.wall));
    for (double t : timing.wall)
        std::printf(" %.2f", t);
    std::printf(" (processor time: median %.2f s)", Median(timing.cpu));
}

bool SameFiles(const std::string& a, const std::string& b)
{
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    std::vector<char> ba(1 << 20), bb(1 << 20);
    while (fa && fb) {
        fa.read(ba.data(), static_cast<std::streamsize>(ba.size()));
        fb.read(bb.data(), static_cast<std::streamsize>(bb.size()));
        if (fa.gcount() != fb.gcount() ||
            std::memcmp(ba.data(), bb.data(), static_cast<size_t>(fa.gcount())) != 0)
            return false;
    }
    return fa.eof() && fb.eof();
}

void Run(const std::string& dir, int repeat)
{
    const std::string in = dir + "/lemmatized.cvlda";
    TInlineMainThread mainThread;
    int32_t docs = 0, distinct = 0;
    int64_t tokens = 0;
    std::vector<std::string> stopwords;
    for (const int32_t threads : {1, 2}) {
        TTiming timing;
        const std::string out = dir + "/dictionary-" + std::to_string(threads) + ".cvlda";
        for (int r = 0; r < repeat; ++r) {
            std::filesystem::remove(out);
            TStage2 stage(mainThread, in, out, threads);
            stage.SetFreqTableFile("");
            TimeStage(stage, timing);
            docs = stage.DocumentCount();
            distinct = stage.WordAndFreqCount();
            tokens = stage.TotalWordCount();
            stopwords.clear();
            for (int32_t i = 0; i < std::min(500, distinct); ++i)
                stopwords.push_back(WordOf(stage.GetWordAndFreq(i)));
        }
        const double median = Median(timing.wall);
        const std::string what = "dictionary, " + std::to_string(threads) + " thread(s)";
        PrintTiming(what.c_str(), timing);
        std::printf(" -> %.1f M words/s\n", tokens / median / 1e6);
        std::printf("median_dictionary_%d=%.3f\ncpu_dictionary_%d=%.3f\n", threads, median, threads,
                    Median(timing.cpu));
    }
    std::printf("corpus: %d documents, %lld words, %d distinct\n", docs,
                static_cast<long long>(tokens), distinct);
    std::printf("outputs of 1 and 2 threads byte-identical: %s\n",
                SameFiles(dir + "/dictionary-1.cvlda", dir + "/dictionary-2.cvlda") ? "yes" : "NO");

    TTiming timing;
    const std::string out = dir + "/stopwords.cvlda";
    for (int r = 0; r < repeat; ++r) {
        std::filesystem::remove(out);
        TStage3 stage(mainThread, dir + "/dictionary-2.cvlda", out, stopwords, 2);
        TimeStage(stage, timing);
        tokens = stage.TokenCount();
    }
    const std::string what = "stop words (" + std::to_string(stopwords.size()) + "), 2 threads";
    PrintTiming(what.c_str(), timing);
    std::printf(" -> %lld words kept\n", static_cast<long long>(tokens));
    std::printf("median_stopwords=%.3f\n", Median(timing.wall));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        Die("usage: bench_dictionary generate|run DIR [--docs N] [--vocab V] [--repeat R]");
    const std::string command = argv[1];
    const std::string dir = argv[2];
    if (command == "generate")
        Generate(dir, static_cast<int32_t>(Option(argc, argv, "--docs", 1000000)),
                 static_cast<int32_t>(Option(argc, argv, "--vocab", 200000)));
    else if (command == "run")
        Run(dir, static_cast<int>(std::max(1L, Option(argc, argv, "--repeat", 3))));
    else
        Die("unknown command " + command);
    return 0;
}
