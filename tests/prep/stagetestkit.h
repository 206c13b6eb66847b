#pragma once

#include "container/binarydoc.h"
#include "platform/mainthread.h"
#include "prep/corpusstage.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvane::test {

/// What a stage reported, collected by RunToEnd.
struct TStageRun
{
    std::vector<int32_t> progress; // every report before the last one
    int doneReports = 0;
    uint32_t exitcode = 0;
    TStageError error = TStageError::None;
    std::string message;
};

/// Runs a stage created on `mainThread` (an inline one) to its end.
TStageRun RunToEnd(TCorpusStage& stage);

/// One document of a test container: its id and lemmatized text (single-byte).
struct TLemDoc
{
    int32_t id;
    std::string lem;
};

/// Writes a container of documents (original text "orig <id>", no metadata) in the given order.
void WriteContainer(const std::string& path, const std::vector<TLemDoc>& docs);

/// The binary LDA documents of a container in file order: (document id, word ids).
using TLdaDocs = std::vector<std::pair<int32_t, std::vector<uint32_t>>>;
TLdaDocs ReadLda(const std::string& path);
TWordAndFreqArray ReadWordMap(const std::string& path);
/// Word text of every record.
std::vector<std::string> WordsOf(const TWordAndFreqArray& words);

/// Writes a container whose binary LDA section holds `lda` in the given order and `wordMap`.
void WriteContainerWithLda(const std::string& path, const TLdaDocs& lda,
                           const TWordAndFreqArray& wordMap);

/// A random lemmatized container for comparing implementations: words in braces with "?" and
/// "|" forms, letters of both cases (Cyrillic and Latin), blanks and control characters around
/// words, words longer than 56 bytes, texts without words, unterminated braces, the empty-text
/// marker; ids in shuffled index order, some missing, some out of range, some twice.
void WriteRandomContainer(const std::string& path, uint32_t seed, int32_t docs);

/// A random stop-word list for a container's word map: some of its words, some of them in
/// upper case or with a trailing blank, and words that are not in it.
std::vector<std::string> RandomStopWords(const TWordAndFreqArray& wordMap, uint32_t seed);

} // namespace corvane::test
