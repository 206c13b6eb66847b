// The whole road on a sample of Russian quotes: texts, lemmatization, dictionary, stop words,
// LDA, sorted words, top words.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/demosample.h"
#include "cli/steps.h"
#include "container/binarydoc.h"
#include "container/logunit.h"
#include "prep/freqtable.h"
#include "prep/stage2.h"
#include "prep/stage3.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <thread>

namespace corvane::cli {
namespace {

namespace fs = std::filesystem;
using TClock = std::chrono::steady_clock;

constexpr size_t kQuotes = 5000;
constexpr int32_t kTopWords = 10;
// Stop words: words seen at most kRareFrequency times carry no topic, and words seen at least
// kCommonFrequency times (pronouns, prepositions, "быть") are in every topic.
constexpr double kRareFrequency = 2;
constexpr double kCommonFrequency = 120;

TLdaRunParams DemoLdaParams(int32_t threads)
{
    TLdaRunParams params;
    params.method = kMethodLda;
    params.topics = "20";
    params.iterations = "1000";
    params.saveStep = "100";
    params.threads = threads;
    return params;
}

void Step(int number, const std::string& text)
{
    std::cout << "\n[" << number << "/6] " << text << "\n" << std::flush;
}

/// The words of a container's word map whose frequency lies outside the bounds.
std::vector<std::string> FrequencyStopWords(const std::string& container)
{
    TBinaryDoc doc;
    if (!doc.Create(container, false))
        throw TCliError("cannot open container " + doc.LastError());
    const int32_t count = doc.GetLDAWordmapBinarySize();
    TWordAndFreqArray words(static_cast<size_t>(std::max(count, 0)));
    if (count <= 0 || !doc.GetLDAWordmapBinary(words.data(), count))
        throw TCliError("cannot read the word map of " + container);
    std::vector<int32_t> freqs;
    freqs.reserve(words.size());
    for (const TWordAndFreq& wf : words)
        freqs.push_back(wf.wfFreq);
    std::vector<std::string> stopWords;
    for (int32_t row : SelectByFrequencyBounds(freqs, kRareFrequency, kCommonFrequency))
        stopWords.push_back(WordOf(words[static_cast<size_t>(row)]));
    return stopWords;
}

} // namespace

int RunDemo(const std::vector<std::string>& argv)
{
    TArgs args(argv, {"out"}, {});
    args.ExpectPositional(0);
    const auto start = TClock::now();
    const fs::path out = fs::absolute(args.Get("out", "corvane-demo"));
    const fs::path texts = out / "texts";
    std::error_code ec;
    fs::remove_all(texts, ec); // quotes of an earlier run would join this one
    fs::create_directories(out, ec);
    if (ec)
        throw TCliError("cannot create " + out.string() + ": " + ec.message());
    std::string error;
    if (!StartLog(error, out.string()))
        throw TCliError(error);
    const auto threads = static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));

    Step(1, "Texts: the first " + std::to_string(kQuotes) + " quotes of fortunes-ru");
    const std::vector<TQuote> quotes = ReadFortunes(kFortunesRuDir, kQuotes);
    if (quotes.empty())
        throw TCliError(std::string("no quotes in ") + kFortunesRuDir +
                        " (scripts/setup.sh installs the package fortunes-ru)");
    if (!WriteSampleTexts(quotes, texts.string(), error))
        throw TCliError(error);
    std::cout << quotes.size() << " text files and metadata.csv in " << texts.string() << "\n";

    Step(2, "Lemmatization");
    const std::string lemmatized = (out / "fortunes.cvlda").string();
    TLemmatizeOptions lemmatize;
    lemmatize.texts = texts.string();
    lemmatize.out = lemmatized;
    lemmatize.params = DefaultMystemParameters(cpUtf8);
    const TLemmatizeSummary summary = LemmatizeFolder(lemmatize);
    std::cout << lemmatized << ": " << summary.stored << " documents\n";

    Step(3, "Dictionary: word ids, frequencies, TF-IDF");
    const std::string dictionary = (out / "fortunes_dict.cvlda").string();
    {
        TLoopMainThread mainThread;
        TStage2 stage(mainThread, lemmatized, dictionary, threads);
        RunCorpusStage(stage, mainThread, "Dictionary");
        std::cout << dictionary << ": " << stage.WordAndFreqCount() << " distinct words, "
                  << stage.TotalWordCount() << " words\n";
    }

    Step(4, "Stop words: frequency <= " + std::to_string(static_cast<int>(kRareFrequency)) +
                " or >= " + std::to_string(static_cast<int>(kCommonFrequency)));
    const std::string clean = (out / "fortunes_clean.cvlda").string();
    {
        std::vector<std::string> stopWords = FrequencyStopWords(dictionary);
        const size_t removed = stopWords.size();
        TLoopMainThread mainThread;
        TStage3 stage(mainThread, dictionary, clean, std::move(stopWords), threads);
        RunCorpusStage(stage, mainThread, "Stop words");
        std::cout << clean << ": " << removed << " stop words removed, " << stage.WordMapSize()
                  << " words left\n";
    }

    Step(5, "LDA: 20 topics");
    const TLdaRunParams params = DemoLdaParams(threads);
    if (RunLdaModel(params, LoadLdaInput(clean, threads)) == 1)
        throw TCliError("stopped by the user; what was written so far is in " + out.string());

    Step(6, "Sorting the words of every topic");
    const std::string sorted = SortModelTable(clean, TSortJob::Words);
    std::cout << "\nThe " << kTopWords << " most probable words of every topic:\n";
    PrintTopWords(sorted, kTopWords, std::cout);

    StopLog();
    const double seconds = std::chrono::duration<double>(TClock::now() - start).count();
    std::printf("\nDemo finished in %.0f s. Everything it wrote is in %s\n", seconds,
                out.string().c_str());
    return 0;
}

} // namespace corvane::cli
