// Lemmatization of a folder of text files into a new container.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/progressbar.h"
#include "cli/steps.h"
#include "container/binarydoc.h"
#include "container/logunit.h"
#include "container/streams.h"
#include "prep/deltagmystemansithread.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace corvane::cli {
namespace {

constexpr int kMaxJobs = 64;

TCodePage ParseCodePage(const std::string& name)
{
    if (name == "utf")
        return cpUtf8;
    if (name == "ansi")
        return cpAnsi;
    throw TCliError("--codepage must be utf or ansi, not \"" + name + "\"");
}

TStemmer ParseLanguage(const std::string& name)
{
    if (name == "ru")
        return stemMystem;
    if (name == "en")
        return stemRootcut;
    throw TCliError("--lang must be ru or en, not \"" + name + "\"");
}

bool IsEmptyMarker(TStream& lem)
{
    constexpr char kEmpty[] = "{00000}";
    char buf[sizeof kEmpty - 1];
    if (lem.Size() != static_cast<int64_t>(sizeof buf))
        return false;
    lem.SetPosition(0);
    const bool empty = lem.Read(buf, sizeof buf) == static_cast<int32_t>(sizeof buf) &&
                       std::string_view(buf, sizeof buf) == std::string_view(kEmpty, sizeof buf);
    lem.SetPosition(0);
    return empty;
}

} // namespace

TLemmatizeSummary LemmatizeFolder(const TLemmatizeOptions& options)
{
    TBinaryDoc doc;
    if (!doc.Create(options.out, true))
        throw TCliError(doc.LastError());

    TLoopMainThread mainThread;
    TProgressBar bar("lemmatize");
    TLemmatizeSummary summary;
    bool done = false, storeFailed = false;
    TDelTagMystemAnsiThread stage(mainThread, options.texts, options.params, options.trash,
                                  options.page, options.stemmer);
    stage.m_MaxChildren = options.jobs;
    stage.OnMystemAnsiReady = [&](TDelTagMystemAnsiThread&, int32_t docid, TStream& orig,
                                  TStream& lem, const TDocMetaData* pdata) {
        const bool isEmpty = IsEmptyMarker(lem);
        if (StoreMystemDocument(doc, docid, orig, lem, pdata)) {
            ++summary.stored;
            summary.empty += isEmpty;
        } else {
            storeFailed = true;
        }
    };
    stage.OnProgress = [&](TDelTagMystemAnsiThread&, int32_t progress, bool isDone) {
        bar.Update(progress);
        done = isDone;
    };
    stage.Start();
    mainThread.RunUntil([&] { return done; }, std::chrono::milliseconds(100), [&] { bar.Tick(); });
    stage.WaitFor();
    bar.Finish();
    if (!doc.Close() || storeFailed)
        throw TCliError("writing " + options.out + " failed: " + doc.LastError());
    summary.skipped = stage.FileCount() - summary.stored;
    return summary;
}

int RunLemmatize(const std::vector<std::string>& argv)
{
    TArgs args(argv, {"texts", "out", "lang", "codepage", "params", "trash", "jobs"}, {});
    args.ExpectPositional(0);
    TLemmatizeOptions options;
    options.texts = args.Get("texts");
    options.out = args.Get("out");
    if (options.texts.empty() || options.out.empty())
        throw TCliError("--texts DIR and --out FILE.cvlda are required");
    if (!std::filesystem::is_directory(options.texts))
        throw TCliError("no such folder: " + options.texts);
    options.stemmer = ParseLanguage(args.Get("lang", "ru"));
    options.page = ParseCodePage(args.Get("codepage", "utf"));
    options.params = args.Get("params", DefaultMystemParameters(options.page));
    options.trash = args.Get("trash");
    options.jobs = args.GetInt("jobs", 2);
    if (options.jobs < 1 || options.jobs > kMaxJobs)
        throw TCliError("--jobs must be between 1 and " + std::to_string(kMaxJobs));

    std::string logError;
    if (!StartLog(logError))
        std::cerr << "corvane-cli lemmatize: no log file: " << logError << "\n";
    const auto start = std::chrono::steady_clock::now();
    const TLemmatizeSummary summary = LemmatizeFolder(options);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("lemmatize: %d documents stored, %d skipped, %d empty, %.1f s\n", summary.stored,
                summary.skipped, summary.empty, seconds);
    return 0;
}

} // namespace corvane::cli
