// Times the writers of the model result tables: the document-topic table of M documents and K
// topics, and the topic-word table of V words. The baseline writes the document-topic table the
// straightforward way (each document read once per text column, every cell written on its own)
// on a smaller M; the ratio compares time per document.
//
// usage: bench_resulttables [DOCS [TOPICS [RUNS [DIR [BASELINE_DOCS [WORDS]]]]]]
#include "bench/benchutil.h"
#include "container/binarydoc.h"
#include "container/metablock.h"
#include "models/resulttables.h"
#include "tables/fgstreamdata.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace corvane;

namespace {

double WallSeconds(const std::function<void()>& fn)
{
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void WriteContainer(const std::string& path, int32_t docs)
{
    std::mt19937 rng(1);
    TBinaryDoc writer;
    writer.Create(path, true);
    for (int32_t d = 0; d < docs; ++d) {
        const std::string orig(60 + rng() % 200, static_cast<char>('a' + d % 26));
        TMetaFields meta;
        meta[0] = "author" + std::to_string(d % 977);
        meta[1] = "2001." + std::to_string(d % 12 + 1);
        meta[5] = "city" + std::to_string(d % 31);
        const std::string block = EncodeMetaBlock(meta);
        writer.AddDocuments(d, orig, "{x}", block.data(), static_cast<int32_t>(block.size()));
    }
    writer.Close();
}

/// The document-topic table written cell by cell, each document read once per text column.
void BaselineTheta(const std::string& table, const std::string& container, int32_t M, int32_t K,
                   const double* const* theta)
{
    TFGStreamData t;
    t.CreateNewDataFile(table, K + 23, M + 1, 0);
    t.ColumnAdd(fgcText, 16, "Col_DocID", "ID");
    t.ColumnAdd(fgcText, 64, "Col_OrigText", "Orig Text");
    t.ColumnAdd(fgcText, 64, "Col_Nick", "Nick");
    for (int n = 1; n <= 20; ++n)
        t.ColumnAdd(fgcText, 64, "Col_Field" + std::to_string(n), "Field " + std::to_string(n));
    for (int k = 1; k <= K; ++k)
        t.ColumnAdd(fgcFloat, 4, "Col_Topic" + std::to_string(k), "Topic " + std::to_string(k));
    TBinaryDoc c;
    c.Create(container, false);
    t.WriteData(0, 0, std::string_view());
    for (int32_t d = 0; d < M; ++d)
        t.WriteData(0, d + 1, std::string_view(std::to_string(d + 1)));
    std::string orig, block;
    t.WriteData(1, 0, std::string_view());
    for (int32_t d = 0; d < M; ++d) {
        c.GetOrigDocument(d, orig);
        t.WriteData(1, d + 1, std::string_view(orig).substr(0, 50));
    }
    TMetaFields fields;
    for (int j = 0; j < 21; ++j) {
        t.WriteData(j + 2, 0, std::string_view());
        for (int32_t d = 0; d < M; ++d) {
            c.GetOrigDocument(d, orig, &block);
            DecodeMetaBlock(block, fields);
            t.WriteData(j + 2, d + 1, std::string_view(fields[j]));
        }
    }
    for (int32_t k = 0; k < K; ++k) {
        for (int32_t d = 0; d < M; ++d)
            t.WriteData(23 + k, d + 1, static_cast<float>(theta[d][k]));
        t.WriteData(23 + k, 0, static_cast<float>(theta[M - 1][k]));
    }
}

struct TMatrix
{
    std::vector<double> values;
    std::vector<const double*> rows;
    TMatrix(int32_t n, int32_t m)
        : values(static_cast<size_t>(n) * m), rows(static_cast<size_t>(n))
    {
        std::mt19937 rng(2);
        std::uniform_real_distribution<double> u(0, 2.0 / m);
        for (auto& v : values)
            v = u(rng);
        for (int32_t i = 0; i < n; ++i)
            rows[i] = values.data() + static_cast<size_t>(i) * m;
    }
};

} // namespace

int main(int argc, char** argv)
{
    const int32_t M = argc > 1 ? std::atoi(argv[1]) : 500000;
    const int32_t K = argc > 2 ? std::atoi(argv[2]) : 200;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    const std::string dir = argc > 4 ? argv[4] : std::filesystem::temp_directory_path().string();
    const int32_t baseM = argc > 5 ? std::atoi(argv[5]) : 20000;
    const int32_t V = argc > 6 ? std::atoi(argv[6]) : 50000;

    const std::string container = dir + "/bench_rt.cvlda";
    const std::string table = dir + "/bench_rt_theta.bin";
    std::printf("writing a container of %d documents...\n", M);
    WriteContainer(container, M);
    const TMatrix theta(M, K);

    std::vector<double> wall, cpu;
    for (int r = 0; r < runs; ++r) {
        double c = 0;
        wall.push_back(WallSeconds([&] {
            c = bench::Seconds([&] { WriteThetaTable(table, container, M, K, theta.rows.data()); });
        }));
        cpu.push_back(c);
    }
    const double bytes = static_cast<double>(std::filesystem::file_size(table));
    const double ours = bench::Median(wall);
    std::printf("document-topic table %d x %d (%.0f MB): median %.2f s wall, %.2f s CPU, "
                "%.0f MB/s\n",
                M, K, bytes / 1e6, ours, bench::Median(cpu), bytes / 1e6 / ours);

    std::vector<double> baseWall, oursSmall;
    const std::string baseContainer = dir + "/bench_rt_base.cvlda";
    WriteContainer(baseContainer, baseM);
    for (int r = 0; r < runs; ++r) {
        baseWall.push_back(WallSeconds(
            [&] { BaselineTheta(table, baseContainer, baseM, K, theta.rows.data()); }));
        oursSmall.push_back(WallSeconds(
            [&] { WriteThetaTable(table, baseContainer, baseM, K, theta.rows.data()); }));
    }
    std::printf("same %d documents: baseline (22 reads per document, cell writes) median "
                "%.2f s, ours %.2f s: %.1fx faster\n",
                baseM, bench::Median(baseWall), bench::Median(oursSmall),
                bench::Median(baseWall) / bench::Median(oursSmall));

    TWordAndFreqArray wordmap(static_cast<size_t>(V));
    for (int32_t w = 0; w < V; ++w)
        SetWord(wordmap[w], "word" + std::to_string(w));
    const TMatrix phi(K, V);
    std::vector<double> phiWall;
    const std::string phiTable = dir + "/bench_rt_phi.bin";
    for (int r = 0; r < runs; ++r)
        phiWall.push_back(WallSeconds([&] { WritePhiTable(phiTable, wordmap, K, phi.rows.data()); }));
    std::printf("topic-word table %d x %d: median %.2f s wall\n", V, K, bench::Median(phiWall));

    std::printf("load average: %s\n", bench::LoadAverage().c_str());

    for (const auto& f : {container, baseContainer, table, phiTable})
        std::filesystem::remove(f);
    return 0;
}
