// Corpus preparation: the dictionary stage, stop-word removal and the frequency-bounds selection.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/progressbar.h"
#include "cli/steps.h"
#include "container/binarydoc.h"
#include "platform/codepage.h"
#include "platform/mainthread.h"
#include "prep/freqtable.h"
#include "prep/stage2.h"
#include "prep/stage3.h"
#include "prep/stopwordlist.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace corvane::cli {
namespace {

using TClock = std::chrono::steady_clock;

int32_t ThreadsOption(const TArgs& args)
{
    const int32_t threads = args.GetInt("threads", 0);
    if (threads < 0)
        throw TCliError("--threads must not be negative (0 = one per processor)");
    return threads;
}

void PrintSummary(const std::string& file, int32_t docs, int32_t words, int64_t tokens,
                  TClock::time_point start, const char* note = "")
{
    const double seconds = std::chrono::duration<double>(TClock::now() - start).count();
    char line[256];
    std::snprintf(line, sizeof line, "%d documents, %d distinct words, %lld words, %.2f s%s", docs,
                  words, static_cast<long long>(tokens), seconds, note);
    std::cout << file << ": " << line << "\n";
}

/// Writes the word frequency table and the CSV export that `args` ask for.
void WriteWordTables(const TArgs& args, const TWordAndFreqArray& words)
{
    const std::string csv = args.Get("csv");
    std::string table = args.Get("freq-table");
    const bool temporary = table.empty() && !csv.empty();
    if (temporary)
        table = (std::filesystem::temp_directory_path() /
                 ("corvane-freq-" + std::to_string(::getpid()) + ".bin"))
                    .string();
    if (table.empty())
        return;
    std::string error;
    bool ok = WriteFreqTable(table, words, error);
    if (ok && !csv.empty()) {
        TFGStreamData data;
        ok = data.OpenDataFile(table, true);
        if (!ok)
            error = "cannot reopen " + data.LastError();
        ok = ok && ExportFreqTableCsv(data, csv, {}, error);
    }
    if (temporary)
        std::remove(table.c_str());
    if (!ok)
        throw TCliError(error);
}

} // namespace

void RunCorpusStage(TCorpusStage& stage, TLoopMainThread& mainThread, const std::string& label)
{
    TProgressBar bar(label);
    bool finished = false;
    stage.OnProgress = [&](TCorpusStage&, int32_t progress, bool done, uint32_t) {
        if (done)
            finished = true;
        else
            bar.Update(progress);
    };
    stage.Start();
    mainThread.RunUntil([&] { return finished; }, std::chrono::milliseconds(100),
                        [&] { bar.Tick(); });
    stage.WaitFor();
    const bool ok = stage.ErrorCode() == TStageError::None;
    if (ok)
        bar.Update(100);
    bar.Finish();
    if (!ok)
        throw TCliError(stage.LastError());
}

int RunDictionary(const std::vector<std::string>& argv)
{
    TArgs args(argv, {"out", "threads", "freq-table", "csv"}, {});
    const std::string& in = args.Required(0, "container file");
    args.ExpectPositional(1);
    const auto start = TClock::now();
    TLoopMainThread mainThread;
    TStage2 stage(mainThread, in, args.Get("out"), ThreadsOption(args));
    stage.SetFreqTableFile(args.Get("freq-table"));
    RunCorpusStage(stage, mainThread, "Dictionary");
    WriteWordTables(args, stage.WordList());
    PrintSummary(stage.OutputFile(), stage.DocumentCount(), stage.WordAndFreqCount(),
                 stage.TotalWordCount(), start,
                 stage.Reused() ? " (processed before: word map loaded)" : "");
    return 0;
}

int RunStopwords(const std::vector<std::string>& argv)
{
    TArgs args(argv, {"out", "list", "threads"}, {});
    const std::string& in = args.Required(0, "container file");
    args.ExpectPositional(1);
    const std::string out = args.Get("out");
    const std::string list = args.Get("list");
    if (out.empty() || list.empty())
        throw TCliError("--out and --list are required");
    std::vector<std::string> words;
    std::string error;
    if (!LoadStopWordList(list, words, error))
        throw TCliError(error);
    const auto start = TClock::now();
    TLoopMainThread mainThread;
    TStage3 stage(mainThread, in, out, std::move(words), ThreadsOption(args));
    RunCorpusStage(stage, mainThread, "Stop words");
    PrintSummary(out, stage.DocumentCount(), stage.WordMapSize(), stage.TokenCount(), start,
                 stage.WordMapSize() < 0 ? " (no word map)" : "");
    return 0;
}

int RunFreqselect(const std::vector<std::string>& argv)
{
    TArgs args(argv, {"low", "up"}, {});
    const std::string& in = args.Required(0, "container file");
    args.ExpectPositional(1);
    // The window's defaults.
    const double low = args.GetDecimal("low", 0);
    const double up = args.GetDecimal("up", 7);
    TBinaryDoc doc;
    if (!doc.Create(in, false))
        throw TCliError("cannot open container " + doc.LastError());
    const int32_t count = doc.GetLDAWordmapBinarySize();
    if (count <= 0)
        throw TCliError(in + " has no word map (run the dictionary stage first)");
    TWordAndFreqArray words(static_cast<size_t>(count));
    if (!doc.GetLDAWordmapBinary(words.data(), count))
        throw TCliError("cannot read the word map of " + in);
    std::vector<int32_t> freqs;
    freqs.reserve(words.size());
    for (const TWordAndFreq& wf : words)
        freqs.push_back(wf.wfFreq);
    for (int32_t row : SelectByFrequencyBounds(freqs, low, up))
        std::cout << Cp1251ToUtf8(WordOf(words[static_cast<size_t>(row)])) << "\n";
    return 0;
}

} // namespace corvane::cli
