#pragma once

// The steps of the road from text files to topics, shared by their commands and the demo so
// that each runs the same code. Each shows a progress bar on stderr and throws TCliError when it
// fails.
#include "models/ldadataset.h"
#include "models/ldarun.h"
#include "models/sortjobs.h"
#include "platform/mainthread.h"
#include "prep/corpusstage.h"
#include "prep/deltagmystemansithread.h"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

namespace corvane::cli {

/// Runs a corpus stage on this thread's message loop.
void RunCorpusStage(TCorpusStage& stage, TLoopMainThread& mainThread, const std::string& label);

struct TLemmatizeOptions
{
    std::string texts; // folder of *.txt files, with an optional metadata.csv
    std::string out;   // the container to create
    TStemmer stemmer = stemMystem;
    TCodePage page = cpUtf8;
    std::string params; // the lemmatizer's parameters
    std::string trash;  // file of fragments to blank out; none when empty
    int jobs = 2;       // lemmatizer children at a time
};

struct TLemmatizeSummary
{
    int32_t stored = 0;
    int32_t skipped = 0;
    int32_t empty = 0; // stored without words
};

/// Lemmatizes a folder of text files into a new container.
TLemmatizeSummary LemmatizeFolder(const TLemmatizeOptions& options);

/// Loads a container's LDA documents and word map for a run, printing the loader's status texts.
std::shared_ptr<const TLdaInput> LoadLdaInput(const std::string& path, int32_t threads);

/// Runs LDA with the engine library from the program's folder, printing the status texts on
/// stdout and the iteration, elapsed time and both ratios in the progress bar; Ctrl+C stops the
/// run. Returns the engine's result (1: stopped by the user); a run that cannot start or ends
/// with an error throws.
int32_t RunLdaModel(const TLdaRunParams& params, std::shared_ptr<const TLdaInput> input);

/// Sorts the container's topic-word (Words) or document-topic (Docs) table with the sorting
/// program; returns the sorted table's name.
std::string SortModelTable(const std::string& containerPath, TSortJob job);

/// Prints the first `count` entries of every topic of a sorted table.
void PrintTopWords(const std::string& sortedTable, int32_t count, std::ostream& out);

} // namespace corvane::cli
