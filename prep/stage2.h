#pragma once

#include "container/binarydoc.h"
#include "prep/batchorder.h"
#include "prep/corpusstage.h"
#include "prep/ldabatch.h"
#include "prep/wordcounter.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace corvane {

/// The dictionary stage's word list: the counting workers' counts merged under its lock, then
/// ordered once into the word map with its TF-IDF weights.
class TStage2WordFreqSort
{
public:
    /// Adds one worker's counts.
    void Add(TWordCounter&& counts);
    /// Orders the counted words: frequency, highest first; among equal frequencies the word that
    /// reached its frequency earlier (documents read in id order) first.
    void Sort();
    /// Replaces the list with a word map read from a container.
    void Assign(TWordAndFreqArray words);

    int32_t WordAndFreqSize() const { return static_cast<int32_t>(WordAndFreqArray.size()); }
    /// The list's length as allocated in steps of 1024 records: the word count rounded up to a
    /// multiple of 1024. TF-IDF weights divide by it.
    int32_t AllocatedLength() const;
    /// The number of documents that hold word `index` (after Sort).
    int32_t DocumentsOf(int32_t index) const { return m_Docs[static_cast<size_t>(index)]; }

    TWordAndFreqArray WordAndFreqArray;

private:
    std::mutex m_crit_sec;
    TWordCounter m_Counts;
    std::vector<int32_t> m_Docs;
};

class TStage2;

/// A counting worker of the dictionary stage. It takes batches of document ids in turn, turns
/// each document's words into word ids counted in its own counter, and hands the batch's LDA
/// documents on to the shared output container in batch order, so the output keeps id order.
class TStage2Thread
{
public:
    explicit TStage2Thread(TStage2& stage) : m_Stage(stage) {}
    void Execute();

private:
    bool CountBatch(TBinaryDoc& bindoc, TLdaBatch& batch);

    TStage2& m_Stage;
    int32_t doc_st = 0; // the current batch: ids doc_st .. doc_en - 1
    int32_t doc_en = 0;
    TWordCounter m_Counts;
    std::string m_Text;
    std::vector<std::string_view> m_Words;
};

/// A TF-IDF worker of the dictionary stage: weighs the words wrd_st .. wrd_en - 1 of the list.
class TStage2TFIDFThread
{
public:
    TStage2TFIDFThread(TStage2& stage, int32_t first, int32_t last)
        : m_Stage(stage), wrd_st(first), wrd_en(last)
    {
    }
    void Execute();

private:
    TStage2& m_Stage;
    int32_t wrd_st;
    int32_t wrd_en;
};

/// The dictionary stage: extracts the words of every lemmatized document of a container, writes
/// the binary LDA section (word ids per document, in id order) and the word map with corpus
/// frequencies and TF-IDF weights. Works on a copy named `outfname` unless that is empty or
/// names the input (ignoring case); either way the result replaces its file only once it is
/// complete. A container processed before only has its word map loaded. The Done report's exit
/// code is the number of distinct words.
class TStage2 : public TCorpusStage
{
public:
    /// `thrds` = 0: one worker per processor.
    TStage2(IMainThread& mainThread, std::string infname, std::string outfname, int32_t thrds);
    ~TStage2() override;

    /// The word frequency table file deleted when counting starts ("" = none); by default the
    /// window's "freq_calc.bin".
    void SetFreqTableFile(std::string path) { m_FreqTableFile = std::move(path); }
    /// Documents per batch of the counting workers.
    void SetBatchSize(int32_t docs) { m_BatchSize = docs > 0 ? docs : 1; }

    /// A copy of record `Index` of the word list (after the stage).
    TWordAndFreq GetWordAndFreq(int32_t Index) const;
    int32_t WordAndFreqCount() const { return m_Stage2WordFreqSort.WordAndFreqSize(); }
    /// The whole word list (after the stage).
    const TWordAndFreqArray& WordList() const { return m_Stage2WordFreqSort.WordAndFreqArray; }
    /// True when the container had been processed before and only its word map was loaded.
    bool Reused() const { return m_Reused; }
    /// The sum of all frequencies.
    int64_t TotalWordCount() const;
    /// The number of LDA documents of the result.
    int32_t DocumentCount() const { return m_LDADocs; }
    /// The container that holds the result.
    const std::string& OutputFile() const { return m_WorkFile; }

private:
    friend class TStage2Thread;
    friend class TStage2TFIDFThread;

    uint32_t Execute() override;
    bool AppendBatch(const TLdaBatch& batch);
    bool ReuseWordMap(TBinaryDoc& input);
    bool FindDocuments(TBinaryDoc& input);
    bool Count();
    void WeighWords();

    std::string infname;
    std::string outfname;
    int32_t thrds;
    std::string m_WorkFile;
    std::string m_FreqTableFile;
    int32_t m_BatchSize = 512;

    int32_t alldocs = 0;
    std::atomic<int32_t> donedocs{0};
    int32_t allwords = 0;
    std::atomic<int32_t> donewords{0};

    std::vector<bool> m_Present; // ids 0 .. alldocs-1 that the index holds
    std::atomic<int64_t> m_NextBatch{0};
    TBatchOrder m_BatchOrder{8};
    TBinaryDoc* hTxtOutFile = nullptr; // the shared output container, during counting
    int32_t m_LDADocs = 0;             // LDA documents written (by the batch hand-overs)
    bool m_Reused = false;
    TStage2WordFreqSort m_Stage2WordFreqSort;
};

} // namespace corvane
