// Times rankfold on model-sized tables against the time of merely reading its input file and
// writing an output file of the same size (sequential 1 MiB blocks, like dd), in the same run.
//   bench_rankfold [--dir DIR] [--reps N] [--topics K] [--words V] [--docs M] [--keep 1]
// Defaults: 200 topics, 100,000 words (task 0), 500,000 documents (task 1), 3 repetitions.
// --keep 1 leaves the input tables in DIR (for profiling by hand).
#include "bench/benchutil.h"
#include "platform/appdirs.h"
#include "platform/childprocess.h"
#include "tables/fgstreamdata.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <random>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace corvane;
namespace fs = std::filesystem;

namespace {

using corvane::bench::Median;
using corvane::bench::LoadAverage;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Topic columns shaped like a Gibbs sampler's output: (count + prior) / (total + size * prior)
// with most counts 0, so most values of a column are equal.
std::vector<float> SmoothedColumn(std::mt19937& rng, size_t size, double prior, int maxCount,
                                  double nonZero)
{
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<int> counts(size);
    double total = 0;
    for (auto& c : counts) {
        c = u(rng) < nonZero ? 1 + static_cast<int>(maxCount * u(rng) * u(rng)) : 0;
        total += c;
    }
    std::vector<float> column(size);
    for (size_t i = 0; i < size; ++i)
        column[i] = static_cast<float>((counts[i] + prior) / (total + size * prior));
    return column;
}

bool WritePhi(const std::string& path, int32_t topics, int32_t words)
{
    TFGStreamData t;
    if (!t.CreateNewDataFile(path, topics + 1, words, 0) ||
        !t.ColumnAdd(fgcText, 64, "Col_Word", "Word"))
        return false;
    for (int32_t k = 1; k <= topics; ++k)
        if (!t.ColumnAdd(fgcFloat, 4, "Col_Topic" + std::to_string(k),
                         "Topic " + std::to_string(k)))
            return false;
    std::string cells(static_cast<size_t>(words) * 64, '\0');
    for (int32_t w = 0; w < words; ++w) {
        const std::string word = "word" + std::to_string(w);
        std::memcpy(&cells[static_cast<size_t>(w) * 64], word.data(), word.size());
    }
    if (!t.WriteColumnCells(0, 0, std::as_bytes(std::span(cells))))
        return false;
    std::mt19937 rng(1);
    for (int32_t k = 1; k <= topics; ++k)
        if (!t.WriteColumnFloat(k, 0, SmoothedColumn(rng, words, 0.01, 400, 0.15)))
            return false;
    return true;
}

bool WriteTheta(const std::string& path, int32_t topics, int32_t docs)
{
    TFGStreamData t;
    if (!t.CreateNewDataFile(path, topics + 23, docs + 1, 0) ||
        !t.ColumnAdd(fgcText, 16, "Col_DocID", "ID") ||
        !t.ColumnAdd(fgcText, 64, "Col_OrigText", "Orig Text") ||
        !t.ColumnAdd(fgcText, 64, "Col_Nick", "Nick"))
        return false;
    for (int n = 1; n <= 20; ++n)
        if (!t.ColumnAdd(fgcText, 64, "Col_Field" + std::to_string(n),
                         "Field " + std::to_string(n)))
            return false;
    for (int32_t k = 1; k <= topics; ++k)
        if (!t.ColumnAdd(fgcFloat, 4, "Col_Topic" + std::to_string(k),
                         "Topic " + std::to_string(k)))
            return false;
    std::string ids(static_cast<size_t>(docs + 1) * 16, '\0');
    for (int32_t d = 1; d <= docs; ++d) {
        const std::string id = std::to_string(d);
        std::memcpy(&ids[static_cast<size_t>(d) * 16], id.data(), id.size());
    }
    if (!t.WriteColumnCells(0, 0, std::as_bytes(std::span(ids))))
        return false;
    // The metadata columns stay zero: rankfold never reads them. Short documents, alpha 0.1.
    std::mt19937 rng(2);
    std::uniform_int_distribution<int> length(5, 30);
    std::vector<int> lengths(static_cast<size_t>(docs + 1));
    for (auto& l : lengths)
        l = length(rng);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<float> column(static_cast<size_t>(docs + 1));
    for (int32_t k = 0; k < topics; ++k) {
        for (int32_t d = 0; d <= docs; ++d) {
            const int count = u(rng) < 0.05 ? 1 + static_cast<int>(lengths[d] * u(rng)) : 0;
            column[d] = static_cast<float>((count + 0.1) / (lengths[d] + topics * 0.1));
        }
        if (!t.WriteColumnFloat(23 + k, 0, column))
            return false;
    }
    return true;
}

double ChildrenCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct TTiming
{
    double wall;
    double cpu; // user + system time of the child
};

TTiming RunRankfold(int threads, int task, const std::string& in, const std::string& out)
{
    fs::remove(out);
    TSpawnOptions options;
    options.argv = {JoinPath(ProgramDir(), "rankfold"),
                    std::to_string(threads),
                    std::to_string(task),
                    in,
                    "0",
                    out,
                    "0"};
    options.pipeStdin = false;
    options.niceIncrement = 0;
    TChildProcess child;
    std::string error;
    std::string console;
    const double cpuBefore = ChildrenCpuSeconds();
    const auto start = Clock::now();
    if (!child.Start(options, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    ExchangeWithChild(child, "", console, std::chrono::minutes(30));
    const int status = child.Wait();
    const TTiming timing{Seconds(start), ChildrenCpuSeconds() - cpuBefore};
    if (status != 0) {
        std::fprintf(stderr, "rankfold failed (%d): %s\n", status, console.c_str());
        std::exit(1);
    }
    return timing;
}

/// Reads `in` whole and writes `outBytes` bytes to `out`, both in 1 MiB blocks.
double SequentialIo(const std::string& in, uint64_t outBytes, const std::string& out)
{
    fs::remove(out);
    std::vector<char> block(1 << 20, 'x');
    const auto start = Clock::now();
    const int src = ::open(in.c_str(), O_RDONLY | O_CLOEXEC);
    while (::read(src, block.data(), block.size()) > 0) {
    }
    ::close(src);
    const int dst = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (uint64_t left = outBytes; left > 0;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
        if (::write(dst, block.data(), n) != static_cast<ssize_t>(n))
            std::exit(1);
        left -= n;
    }
    ::close(dst);
    const double seconds = Seconds(start);
    fs::remove(out);
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    std::string dir = fs::temp_directory_path().string();
    int reps = 3;
    bool keep = false;
    int32_t topics = 200, words = 100000, docs = 500000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--dir")
            dir = value;
        else if (name == "--reps")
            reps = std::max(1, std::atoi(value));
        else if (name == "--topics")
            topics = std::atoi(value);
        else if (name == "--words")
            words = std::atoi(value);
        else if (name == "--docs")
            docs = std::atoi(value);
        else if (name == "--keep")
            keep = std::atoi(value) != 0;
    }
    const std::string phi = JoinPath(dir, "bench_rankfold_phi.bin");
    const std::string theta = JoinPath(dir, "bench_rankfold_theta.bin");
    const std::string out = JoinPath(dir, "bench_rankfold_out.bin");
    std::printf("processors %u, load average at start %s\n", std::thread::hardware_concurrency(),
                LoadAverage().c_str());
    std::fflush(stdout);
    if (!WritePhi(phi, topics, words) || !WriteTheta(theta, topics, docs)) {
        std::fprintf(stderr, "cannot write the input tables in %s\n", dir.c_str());
        return 1;
    }

    struct Job
    {
        const char* name;
        int task;
        std::string input;
        uint64_t outBytes;
    };
    const Job jobs[] = {
        {"task 0 (words)", 0, phi, 12 + uint64_t(topics) * words * 50},
        {"task 1 (docs)", 1, theta, 12 + uint64_t(topics) * docs * 50},
    };
    std::printf("%-15s %7s %9s %9s %11s %7s %8s\n", "job", "threads", "wall s", "CPU s",
                "I/O floor s", "ratio", "MB/s out");
    for (const Job& job : jobs) {
        std::vector<double> floor;
        for (int r = 0; r < reps; ++r)
            floor.push_back(SequentialIo(job.input, job.outBytes, out));
        const double floorMedian = Median(floor);
        for (int threads : {1, 2}) {
            std::vector<double> wall, cpu;
            for (int r = 0; r < reps; ++r) {
                const TTiming t = RunRankfold(threads, job.task, job.input, out);
                wall.push_back(t.wall);
                cpu.push_back(t.cpu);
            }
            const double median = Median(wall);
            std::printf("%-15s %7d %9.2f %9.2f %11.2f %7.2f %8.0f\n", job.name, threads, median,
                        Median(cpu), floorMedian, median / floorMedian,
                        job.outBytes / median / 1e6);
            std::fflush(stdout);
        }
        std::printf("  input %.0f MB, output %.0f MB\n", fs::file_size(job.input) / 1e6,
                    job.outBytes / 1e6);
    }
    fs::remove(out);
    if (!keep) {
        fs::remove(phi);
        fs::remove(theta);
    }
    std::printf("load average at end %s\n", LoadAverage().c_str());
    return 0;
}
