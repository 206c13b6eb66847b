#include "prep/stage2.h"

#include "container/crc32unit.h"
#include "prep/filedraft.h"
#include "prep/freqtable.h"
#include "prep/wordextract.h"
#include "platform/codepage.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>

namespace corvane {

// ---- TStage2WordFreqSort -------------------------------------------------------------------

void TStage2WordFreqSort::Add(TWordCounter&& counts)
{
    std::lock_guard lock(m_crit_sec);
    m_Counts.Merge(std::move(counts));
}

void TStage2WordFreqSort::Sort()
{
    const std::vector<TWordTally> tallies = m_Counts.Tallies();
    std::vector<int32_t> order(tallies.size());
    std::iota(order.begin(), order.end(), 0);
    // Every occurrence has its own key, so `last` breaks every tie and the order is total.
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
        const TWordTally& x = tallies[static_cast<size_t>(a)];
        const TWordTally& y = tallies[static_cast<size_t>(b)];
        return x.freq != y.freq ? x.freq > y.freq : x.last < y.last;
    });
    WordAndFreqArray.assign(tallies.size(), TWordAndFreq{});
    m_Docs.resize(tallies.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const TWordTally& t = tallies[static_cast<size_t>(order[i])];
        TWordAndFreq& wf = WordAndFreqArray[i];
        wf.wfuID = t.id;
        wf.wfFreq = static_cast<int32_t>(std::min<int64_t>(t.freq, INT32_MAX));
        SetWord(wf, std::string_view(t.text, t.len));
        m_Docs[i] = t.docs;
    }
}

void TStage2WordFreqSort::Assign(TWordAndFreqArray words)
{
    WordAndFreqArray = std::move(words);
    m_Docs.clear();
}

int32_t TStage2WordFreqSort::AllocatedLength() const
{
    constexpr int32_t kStep = 1024;
    return (WordAndFreqSize() + kStep - 1) / kStep * kStep;
}

// ---- TStage2Thread -------------------------------------------------------------------------

void TStage2Thread::Execute()
{
    TBinaryDoc bindoc;
    if (!bindoc.Create(m_Stage.infname, false)) {
        m_Stage.Fail(TStageError::Open, "cannot open " + bindoc.LastError());
        m_Stage.m_BatchOrder.Close();
        return;
    }
    const int64_t size = m_Stage.m_BatchSize;
    while (!m_Stage.Stopping() && !m_Stage.Failed()) {
        const int64_t number = m_Stage.m_NextBatch++;
        if (number * size >= m_Stage.alldocs)
            break;
        doc_st = static_cast<int32_t>(number * size);
        doc_en = static_cast<int32_t>(std::min<int64_t>(m_Stage.alldocs, doc_st + size));
        auto batch = std::make_shared<TLdaBatch>();
        if (!CountBatch(bindoc, *batch)) {
            m_Stage.m_BatchOrder.Close();
            return;
        }
        TStage2& stage = m_Stage;
        if (!stage.m_BatchOrder.Submit(number,
                                       [&stage, batch] { return stage.AppendBatch(*batch); }))
            return;
        m_Stage.donedocs += doc_en - doc_st;
    }
    m_Stage.m_Stage2WordFreqSort.Add(std::move(m_Counts));
}

bool TStage2Thread::CountBatch(TBinaryDoc& bindoc, TLdaBatch& batch)
{
    for (int32_t docid = doc_st; docid < doc_en; ++docid) {
        if (!m_Stage.m_Present[static_cast<size_t>(docid)])
            continue;
        if (!bindoc.GetDocument(docid, m_Text))
            return m_Stage.Fail(TStageError::Read, "cannot read document " + std::to_string(docid) +
                                                       " of " + bindoc.LastError());
        LowerCp1251InPlace(m_Text);
        ExtractWords(m_Text, m_Words);
        for (size_t pos = 0; pos < m_Words.size(); ++pos) {
            const uint32_t id = WordId(m_Words[pos]);
            batch.ids.push_back(id);
            m_Counts.Add(id, m_Words[pos], docid, static_cast<uint32_t>(pos));
        }
        batch.docs.emplace_back(docid, static_cast<int32_t>(m_Words.size()));
    }
    return true;
}

// ---- TStage2TFIDFThread --------------------------------------------------------------------

void TStage2TFIDFThread::Execute()
{
    TStage2WordFreqSort& list = m_Stage.m_Stage2WordFreqSort;
    const double D = m_Stage.m_LDADocs;
    const double L = list.AllocatedLength();
    for (int32_t i = wrd_st; i < wrd_en; ++i) {
        TWordAndFreq& wf = list.WordAndFreqArray[static_cast<size_t>(i)];
        wf.wfTFIDF = (wf.wfFreq / L) * std::log(D / list.DocumentsOf(i));
        ++m_Stage.donewords;
    }
}

// ---- TStage2 -------------------------------------------------------------------------------

TStage2::TStage2(IMainThread& mainThread, std::string infname, std::string outfname, int32_t thrds)
    : TCorpusStage(mainThread), infname(std::move(infname)), outfname(std::move(outfname)),
      thrds(WorkerCount(thrds)), m_FreqTableFile(FreqTablePath())
{
}

TStage2::~TStage2()
{
    Shutdown();
}

TWordAndFreq TStage2::GetWordAndFreq(int32_t Index) const
{
    return m_Stage2WordFreqSort.WordAndFreqArray.at(static_cast<size_t>(Index));
}

int64_t TStage2::TotalWordCount() const
{
    int64_t total = 0;
    for (const TWordAndFreq& wf : m_Stage2WordFreqSort.WordAndFreqArray)
        total += wf.wfFreq;
    return total;
}

uint32_t TStage2::Execute()
{
    const bool inPlace = outfname.empty() || SameFileNameIgnoringCase(outfname, infname);
    m_WorkFile = inPlace ? infname : outfname;
    TBinaryDoc input;
    if (!input.Create(infname, false))
        return Fail(TStageError::Open, "cannot open " + input.LastError());

    TFileDraft draft;
    if (ReuseWordMap(input)) {
        input.Close();
        if (!inPlace && (!draft.CopyFrom(infname, m_WorkFile) || !draft.Commit()))
            return Fail(TStageError::Copy, draft.LastError());
        return static_cast<uint32_t>(m_Stage2WordFreqSort.WordAndFreqSize());
    }
    if (!FindDocuments(input))
        return 0;
    input.Close();

    if (!draft.CopyFrom(infname, m_WorkFile))
        return Fail(TStageError::Copy, draft.LastError());
    TBinaryDoc output;
    if (!output.Create(draft.Path(), false))
        return Fail(TStageError::Open, "cannot open the copy " + output.LastError());
    if (!m_FreqTableFile.empty())
        std::remove(m_FreqTableFile.c_str());

    hTxtOutFile = &output;
    const bool counted = Count();
    hTxtOutFile = nullptr;
    if (!counted)
        return 0;
    WeighWords();
    const TWordAndFreqArray& words = m_Stage2WordFreqSort.WordAndFreqArray;
    if (!output.AddLDAWordmapBinary(words.data(), static_cast<int32_t>(words.size())) ||
        !output.Close())
        return Fail(TStageError::Write, "cannot write " + output.LastError());
    if (!draft.Commit())
        return Fail(TStageError::Write, draft.LastError());
    return static_cast<uint32_t>(m_Stage2WordFreqSort.WordAndFreqSize());
}

bool TStage2::AppendBatch(const TLdaBatch& batch)
{
    return batch.AppendTo(*hTxtOutFile, m_LDADocs) ||
           Fail(TStageError::Write, "cannot write " + hTxtOutFile->LastError());
}

bool TStage2::ReuseWordMap(TBinaryDoc& input)
{
    const int32_t docs = input.GetLDADocumentsBinaryCount();
    if (docs < 1 || input.Signature() != kMagicV3)
        return false;
    const int32_t count = input.GetLDAWordmapBinarySize();
    if (count < 1)
        return false;
    TWordAndFreqArray words(static_cast<size_t>(count));
    if (!input.GetLDAWordmapBinary(words.data(), count))
        return false;
    m_Stage2WordFreqSort.Assign(std::move(words));
    m_LDADocs = docs;
    m_Reused = true;
    return true;
}

bool TStage2::FindDocuments(TBinaryDoc& input)
{
    alldocs = input.GetDocumentCount();
    if (alldocs == 0)
        return Fail(TStageError::Read, infname + " holds no documents");
    m_Present.assign(static_cast<size_t>(alldocs), false);
    TBinaryDocIdxFile entry;
    for (int32_t i = 0; i < alldocs; ++i) {
        if (!input.GetIndexEntry(i, entry))
            return Fail(TStageError::Read, "cannot read the index of " + infname);
        if (entry.docid >= 0 && entry.docid < alldocs)
            m_Present[static_cast<size_t>(entry.docid)] = true;
    }
    return true;
}

bool TStage2::Count()
{
    std::vector<TStage2Thread> workers(static_cast<size_t>(thrds), TStage2Thread(*this));
    RunWorkers(
        thrds, [&](int32_t i) { workers[static_cast<size_t>(i)].Execute(); },
        [&] { return static_cast<int32_t>(std::lround(50.0 * donedocs / alldocs)); });
    if (Stopping())
        return Fail(TStageError::Stopped, "stopped");
    if (Failed())
        return false;
    m_Stage2WordFreqSort.Sort();
    return true;
}

void TStage2::WeighWords()
{
    allwords = m_Stage2WordFreqSort.WordAndFreqSize();
    std::vector<TStage2TFIDFThread> workers;
    for (int32_t i = 0; i < thrds; ++i) {
        int32_t first, last;
        SplitRange(allwords, thrds, i, first, last);
        workers.emplace_back(*this, first, last);
    }
    RunWorkers(
        thrds, [&](int32_t i) { workers[static_cast<size_t>(i)].Execute(); },
        [&] {
            return allwords == 0
                       ? 100
                       : static_cast<int32_t>(std::lround(50.0 * donewords / allwords + 50));
        });
}

} // namespace corvane
