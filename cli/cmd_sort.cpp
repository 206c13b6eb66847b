// Sorting the model result tables, and reading the sorted ones.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/progressbar.h"
#include "cli/steps.h"
#include "models/sortjobs.h"
#include "platform/codepage.h"
#include "platform/mainthread.h"
#include "tables/fgstreamdata.h"

#include <algorithm>
#include <iostream>

namespace corvane::cli {

std::string SortModelTable(const std::string& containerPath, TSortJob job)
{
    TLoopMainThread mainThread;
    TSortJobs jobs(mainThread);
    jobs.SetContainer(containerPath);
    TProgressBar bar(job == TSortJob::Words ? "Sorting words" : "Sorting docs");
    int shown = 0;
    bool finished = false;
    bool ok = false;
    std::string error;
    // The last message of a run reports 1; the bar only moves forward.
    jobs.OnProgress = [&](TSortJob, int32_t progress) {
        shown = std::max(shown, static_cast<int>(progress));
        bar.Update(shown);
    };
    jobs.OnFinished = [&](TSortJob, bool succeeded, const std::string& why) {
        finished = true;
        ok = succeeded;
        error = why;
    };
    jobs.Start(job);
    mainThread.RunUntil([&] { return finished; }, std::chrono::milliseconds(100),
                        [&] { bar.Tick(); });
    if (ok)
        bar.Update(100);
    bar.Finish();
    if (!ok)
        throw TCliError("sorting failed: " + error);
    return jobs.OutputOf(job);
}

void PrintTopWords(const std::string& sortedTable, int32_t count, std::ostream& out)
{
    TFGStreamData table;
    if (!table.OpenDataFile(sortedTable, true))
        throw TCliError("cannot open table " + table.LastError());
    if (table.HeaderInfo().RecSize <= 0)
        throw TCliError(sortedTable + " is not a sorted table (cells of one fixed width)");
    const int32_t rows = std::min(count, table.RowCount());
    for (int32_t c = 0; c < table.ColCount(); ++c) {
        out << "Topic " << c + 1 << "\n";
        for (int32_t r = 0; r < rows; ++r)
            out << "    " << Cp1251ToUtf8(table.GetDataAsText(c, r)) << "\n";
    }
}

int RunSort(const std::vector<std::string>& argv)
{
    TArgs args(argv, {}, {});
    const std::string& what = args.Required(0, "words or docs");
    const std::string& container = args.Required(1, "container file");
    args.ExpectPositional(2);
    if (what != "words" && what != "docs")
        throw TCliError("sort words or docs, not \"" + what + "\"");
    std::cout << SortModelTable(container, what == "words" ? TSortJob::Words : TSortJob::Docs)
              << "\n";
    return 0;
}

int RunTopwords(const std::vector<std::string>& argv)
{
    TArgs args(argv, {"count"}, {});
    const std::string& path = args.Required(0, "sorted table");
    args.ExpectPositional(1);
    const int32_t count = args.GetInt("count", 10);
    if (count < 0)
        throw TCliError("--count must not be negative");
    PrintTopWords(path, count, std::cout);
    return 0;
}

} // namespace corvane::cli
