// Speed of the English stemmer: fRootcut against libstemmer's Porter stemmer on the same words,
// and the whole rootcut program against `wc -w` reading the same input.
//   rootcut_bench [MEGABYTES [RUNS]]    (default 64 MB of fortunes text, 5 runs; medians)
#include "bench/benchutil.h"
#include "tools/rootcut/urootcut.h"
#include "tools/rootcut/wordsplit.h"

#include <libstemmer.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using corvane::bench::Median;

constexpr const char* kFortunes = "/usr/share/games/fortunes";

struct TWords
{
    std::string bytes;
    std::vector<std::pair<size_t, size_t>> spans; // offset, length
    size_t longest = 0;
};

// The English fortune files: plain text files without extension (".dat" is an index, ".u8" a copy).
std::string LoadFortunes()
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kFortunes))
        if (entry.is_regular_file() && !entry.path().has_extension())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::string text;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        text.append(std::istreambuf_iterator<char>(in), {});
    }
    return text;
}

std::string MakeCorpus(size_t megabytes)
{
    const std::string fortunes = LoadFortunes();
    if (fortunes.empty()) {
        std::fprintf(stderr, "no fortune files in %s (scripts/setup.sh --bench)\n", kFortunes);
        std::exit(1);
    }
    std::string corpus;
    while (corpus.size() < megabytes << 20)
        corpus += fortunes;
    return corpus;
}

bool Separates(char c)
{
    return c == '\n' || c == '\r' || corvane::IsPunctMark(static_cast<unsigned char>(c));
}

// The words as rootcut splits them, lower-cased so that both stemmers see lower-case words.
TWords SplitWords(const std::string& corpus)
{
    TWords words;
    words.bytes = corpus;
    for (char& c : words.bytes)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    size_t i = 0;
    while (i < words.bytes.size()) {
        while (i < words.bytes.size() && Separates(words.bytes[i]))
            ++i;
        const size_t start = i;
        while (i < words.bytes.size() && !Separates(words.bytes[i]))
            ++i;
        if (i > start) {
            words.spans.emplace_back(start, i - start);
            words.longest = std::max(words.longest, i - start);
        }
    }
    return words;
}

// CPU seconds rather than wall time: the machine is shared, and CPU time is what other
// processes disturb least.
double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

template <class F> double MedianSeconds(int runs, int who, F&& f)
{
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        const double start = CpuSeconds(who);
        f();
        times.push_back(CpuSeconds(who) - start);
    }
    return Median(times);
}

double CommandSeconds(int runs, const std::string& command)
{
    return MedianSeconds(runs, RUSAGE_CHILDREN, [&] {
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            std::exit(1);
        }
    });
}

std::string Quoted(const std::string& s)
{
    return "'" + s + "'";
}

} // namespace

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    if (megabytes == 0 || runs <= 0) {
        std::fprintf(stderr, "usage: rootcut_bench [MEGABYTES [RUNS]]\n");
        return 2;
    }

    const std::string corpus = MakeCorpus(megabytes);
    const TWords words = SplitWords(corpus);
    const double mb = static_cast<double>(corpus.size()) / (1 << 20);
    const double count = static_cast<double>(words.spans.size());
    std::printf("corpus: %.1f MB of fortunes text, %zu words, %d runs, medians of CPU time\n\n", mb,
                words.spans.size(), runs);

    std::string buffer(words.longest, '\0');
    size_t sink = 0;
    const double ours = MedianSeconds(runs, RUSAGE_SELF, [&] {
        for (const auto& [offset, length] : words.spans) {
            words.bytes.copy(buffer.data(), length, offset);
            sink += static_cast<size_t>(
                corvane::fRootcut(buffer.data(), 0, static_cast<int32_t>(length) - 1));
        }
    });

    sb_stemmer* porter = sb_stemmer_new("porter", "UTF_8");
    if (!porter) {
        std::fprintf(stderr, "libstemmer has no \"porter\" algorithm\n");
        return 1;
    }
    const double theirs = MedianSeconds(runs, RUSAGE_SELF, [&] {
        for (const auto& [offset, length] : words.spans) {
            const auto* word = reinterpret_cast<const sb_symbol*>(words.bytes.data() + offset);
            sb_stemmer_stem(porter, word, static_cast<int>(length));
            sink += static_cast<size_t>(sb_stemmer_length(porter));
        }
    });

    // How far the two agree, with a few words where they differ (the rules are not the same).
    size_t same = 0;
    std::set<std::string> differing;
    for (const auto& [offset, length] : words.spans) {
        const std::string word = words.bytes.substr(offset, length);
        const auto* stem = sb_stemmer_stem(porter, reinterpret_cast<const sb_symbol*>(word.data()),
                                           static_cast<int>(length));
        const std::string theirStem(reinterpret_cast<const char*>(stem), sb_stemmer_length(porter));
        const std::string ourStem = corvane::fRootcut(word);
        if (ourStem == theirStem)
            ++same;
        else if (differing.size() < 12)
            differing.insert(word + " -> " + ourStem + " / " + theirStem);
    }
    sb_stemmer_delete(porter);

    std::printf("stemmer alone       words/s   ratio\n");
    std::printf("  fRootcut        %9.2fM   %5.2f\n", count / ours / 1e6, 1.0);
    std::printf("  libstemmer porter %7.2fM   %5.2f  (fRootcut is %.2fx as fast)\n",
                count / theirs / 1e6, ours / theirs, theirs / ours);
    std::printf("  same stem for %.2f%% of the words; some that differ (ours / libstemmer):\n",
                100.0 * static_cast<double>(same) / count);
    for (const auto& d : differing)
        std::printf("    %s\n", d.c_str());

    const fs::path file = fs::temp_directory_path() / "rootcut_bench_corpus.txt";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(corpus.data(), static_cast<std::streamsize>(corpus.size()));
    }
    const std::string in = Quoted(file.string());
    const std::string rootcut = Quoted(ROOTCUT_PATH);
    const double wcC = CommandSeconds(runs, "LC_ALL=C wc -w " + in + " >/dev/null");
    const double wcUtf8 = CommandSeconds(runs, "LC_ALL=C.UTF-8 wc -w " + in + " >/dev/null");
    const double ansi = CommandSeconds(runs, rootcut + " " + in + " /dev/null");
    const double utf8 = CommandSeconds(runs, rootcut + " -e utf-8 " + in + " /dev/null");
    const double piped = CommandSeconds(runs, rootcut + " -c -wl -e utf-8 <" + in + " >/dev/null");
    fs::remove(file);

    std::printf("\nwhole program                 MB/s   words/s   time / wc -w (C)  (C.UTF-8)\n");
    auto row = [&](const char* name, double s) {
        std::printf("  %-26s %7.1f %8.2fM   %5.2f             %5.2f\n", name, mb / s,
                    count / s / 1e6, s / wcC, s / wcUtf8);
    };
    row("wc -w, LC_ALL=C", wcC);
    row("wc -w, LC_ALL=C.UTF-8", wcUtf8);
    row("rootcut IN OUT", ansi);
    row("rootcut -e utf-8 IN OUT", utf8);
    row("rootcut -e utf-8 <IN >OUT", piped);
    return sink == 0;
}
