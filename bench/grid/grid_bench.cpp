// Grid scrolling over a long table: the time to attach a table, to paint one page and to page
// through it, for 10,000,000 rows against 1,000 rows (the paint must not depend on the length),
// and against reading one column of every row (what a grid that loads its table would pay); and
// the cost of hiding a row (a filter) in a long table against a short one.
// CPU time, median of RUNS. Usage: grid_bench [ROWS] [RUNS] [DIR]
#include "bench/benchutil.h"
#include "grid/fastgrid.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace corvane;
using corvane::bench::Median;
using corvane::bench::Seconds;

namespace {

// Three columns as the word list has them. Only the first and last 1000 rows are written; the
// rows between read as zeros, which costs the same reads without the disk space.
bool MakeTable(const std::string& path, int32_t rows)
{
    TFGStreamData t;
    if (!t.CreateNewDataFile(path, 3, rows, 0) || !t.ColumnAdd(fgcText, 64, "ColWord", "Word") ||
        !t.ColumnAdd(fgcInt, 4, "ColFreq", "Freq") ||
        !t.ColumnAdd(fgcDouble, 8, "ColTFIDF", "TF-IDF"))
        return false;
    for (int32_t r = 0; r < rows; ++r) {
        if (r == 1000 && rows > 2000)
            r = rows - 1000;
        if (!t.WriteData(0, r, std::string_view("word" + std::to_string(r))) ||
            !t.WriteData(1, r, r) || !t.WriteData(2, r, r * 0.001))
            return false;
    }
    return true;
}

struct TFigures
{
    double attach = 0, page = 0, jump = 0, step = 0, readAll = 0, hide = 0;
};

TFigures Measure(const std::string& path, int runs, bool readAll)
{
    std::vector<double> attach, page, jump, step, all, hide;
    QImage image(800, 600, QImage::Format_ARGB32);
    for (int run = 0; run < runs; ++run) {
        TFastGrid grid;
        grid.resize(800, 600);
        grid.show();
        attach.push_back(Seconds([&] { grid.SetDataFile(path); }));
        page.push_back(Seconds([&] { grid.render(&image); }));
        jump.push_back(Seconds([&] {
            QKeyEvent end(QEvent::KeyPress, Qt::Key_PageDown, Qt::ControlModifier);
            QApplication::sendEvent(&grid, &end);
            grid.render(&image);
        }));
        grid.SetFocusedCell(0, grid.RowCount() / 2);
        const int steps = 200;
        step.push_back(Seconds([&] {
                           for (int i = 0; i < steps; ++i) {
                               QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
                               QApplication::sendEvent(&grid, &down);
                               grid.render(&image);
                           }
                       }) /
                       steps);
        // A filter that hides every second row, as the views do; time per hidden row.
        const int32_t hidden = grid.ShownRowCount() / 2;
        hide.push_back(Seconds([&] {
                           grid.BeginUpdate();
                           for (int32_t i = 0; i < hidden; ++i)
                               grid.HideRow(i);
                           grid.EndUpdate();
                       }) /
                       hidden);
        if (readAll)
            all.push_back(Seconds([&] {
                TFGStreamData t;
                t.OpenDataFile(path, true);
                size_t bytes = 0;
                for (int32_t r = 0; r < t.RowCount(); ++r)
                    bytes += t.GetDataAsText(0, r).size();
                if (bytes == 0)
                    std::fprintf(stderr, "nothing read\n");
            }));
    }
    return {Median(attach), Median(page), Median(jump), Median(step), Median(all), Median(hide)};
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int32_t rows = argc > 1 ? std::atoi(argv[1]) : 10000000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string dir = argc > 3 ? argv[3] : "/tmp";
    const std::string longPath = dir + "/bench_grid_long.bin";
    const std::string shortPath = dir + "/bench_grid_short.bin";
    if (!MakeTable(longPath, rows) || !MakeTable(shortPath, 1000)) {
        std::fprintf(stderr, "cannot write the tables in %s\n", dir.c_str());
        return 1;
    }
    const TFigures big = Measure(longPath, runs, true);
    const TFigures small = Measure(shortPath, runs, false);
    std::printf("load average %s\n", corvane::bench::LoadAverage().c_str());
    std::printf("grid 800x600, CPU ms, median of %d runs  %10d rows  %8d rows  ratio\n", runs, rows,
                1000);
    auto line = [](const char* what, double a, double b) {
        std::printf("%-44s %10.3f  %13.3f  %5.2f\n", what, a * 1e3, b * 1e3, b > 0 ? a / b : 0);
    };
    line("attach the table", big.attach, small.attach);
    line("paint the first page", big.page, small.page);
    line("Ctrl+PageDown to the last row and paint", big.jump, small.jump);
    line("PageDown and paint, per step", big.step, small.step);
    std::printf("%-44s %10.3f  %13.3f  %5.2f  (microseconds)\n",
                "hide every second row, per hidden row", big.hide * 1e6, small.hide * 1e6,
                small.hide > 0 ? big.hide / small.hide : 0);
    std::printf("read column 0 of every row (a loading grid): %.1f ms = %.0f page steps\n",
                big.readAll * 1e3, big.step > 0 ? big.readAll / big.step : 0);
    std::filesystem::remove(longPath);
    std::filesystem::remove(shortPath);
    return 0;
}
