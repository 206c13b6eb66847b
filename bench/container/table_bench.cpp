// Table throughput: write and read back float cells of a column-major table, cell by cell and
// by whole columns. Usage: bench_table [CELLS] [COLUMNS] [RUNS] [DIR]
#include "bench/benchutil.h"
#include "tables/fgstreamdata.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace corvane;
using corvane::bench::Median;
using corvane::bench::Seconds;

int main(int argc, char** argv)
{
    const int64_t cells = argc > 1 ? std::atoll(argv[1]) : 20000000;
    const int32_t cols = argc > 2 ? std::atoi(argv[2]) : 200;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    const std::string path = std::string(argc > 4 ? argv[4] : "/tmp") + "/bench_table.bin";
    const auto rows = static_cast<int32_t>(cells / cols);
    const double n = double(rows) * cols;

    std::vector<double> writeCells, readCells, writeCols, readCols;
    std::vector<float> column(static_cast<size_t>(rows));
    for (int run = 0; run < runs; ++run) {
        TFGStreamData t;
        auto create = [&] {
            t.CreateNewDataFile(path, cols, rows, 0);
            for (int32_t c = 0; c < cols; ++c)
                t.ColumnAdd(fgcFloat, 4, "Col_" + std::to_string(c), std::to_string(c));
        };
        writeCells.push_back(Seconds([&] {
            create();
            for (int32_t c = 0; c < cols; ++c)
                for (int32_t r = 0; r < rows; ++r)
                    t.WriteData(c, r, float(r + c));
            t.CloseDataFile();
        }));
        double sum = 0;
        readCells.push_back(Seconds([&] {
            t.OpenDataFile(path, true);
            for (int32_t c = 0; c < cols; ++c)
                for (int32_t r = 0; r < rows; ++r)
                    sum += t.GetDataAsFloat(c, r);
            t.CloseDataFile();
        }));
        writeCols.push_back(Seconds([&] {
            create();
            for (int32_t c = 0; c < cols; ++c) {
                for (int32_t r = 0; r < rows; ++r)
                    column[r] = float(r + c);
                t.WriteColumnFloat(c, 0, column);
            }
            t.CloseDataFile();
        }));
        readCols.push_back(Seconds([&] {
            t.OpenDataFile(path, true);
            for (int32_t c = 0; c < cols; ++c) {
                t.GetColumnAsFloat(c, column);
                sum += column[rows - 1];
            }
            t.CloseDataFile();
        }));
        if (sum == 0)
            std::fprintf(stderr, "nothing read\n");
    }
    ::unlink(path.c_str());
    std::printf("%d columns x %d rows = %.0f float cells, median of %d runs\n", cols, rows, n, runs);
    std::printf("cell by cell:  write %6.1f M cells/s  read %6.1f M cells/s\n",
                n / Median(writeCells) / 1e6, n / Median(readCells) / 1e6);
    std::printf("whole columns: write %6.1f M cells/s  read %6.1f M cells/s\n",
                n / Median(writeCols) / 1e6, n / Median(readCols) / 1e6);
    return 0;
}
