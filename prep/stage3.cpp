#include "prep/stage3.h"

#include "container/crc32unit.h"
#include "prep/filedraft.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

namespace corvane {

TStage3::TStage3(IMainThread& mainThread, std::string infname, std::string outfname,
                 std::vector<std::string> stopwords, int32_t thrds)
    : TCorpusStage(mainThread), infname(std::move(infname)), outfname(std::move(outfname)),
      stopwords(std::move(stopwords)), m_thrds(WorkerCount(thrds))
{
}

TStage3::~TStage3()
{
    Shutdown();
}

uint32_t TStage3::Execute()
{
    ComputeStopIds();

    TFileDraft draft;
    if (!draft.CopyFrom(infname, outfname))
        return Fail(TStageError::Copy, draft.LastError());
    TBinaryDoc input;
    if (!input.Create(infname, false))
        return Fail(TStageError::Open, "cannot open " + input.LastError());
    {
        TBinaryDoc output;
        if (!output.Create(draft.Path(), false))
            return Fail(TStageError::Open, "cannot open the copy " + output.LastError());
        m_WalkCount = input.GetLDADocumentsBinaryCount();
        if (m_WalkCount > 0 && !RemoveInWalkOrder(input, output))
            return 0;
        if (!m_OutOfOrder && (!FilterWordMap(input, output) || !output.Close()))
            return Fail(TStageError::Write, "cannot write " + output.LastError());
    }
    if (m_OutOfOrder && !RemoveSortingInMemory(input, draft.Path()))
        return 0;
    Report(100, false, 0);
    if (!draft.Commit())
        return Fail(TStageError::Write, draft.LastError());
    return 0;
}

// ---- phase 1: stop-word ids ----------------------------------------------------------------

void TStage3::ComputeStopIds()
{
    const auto n = static_cast<int32_t>(stopwords.size());
    std::vector<uint32_t> crc32(stopwords.size());
    std::vector<TStage3SW2CRC32Params> params(static_cast<size_t>(m_thrds));
    for (int32_t i = 0; i < m_thrds; ++i) {
        TStage3SW2CRC32Params& p = params[static_cast<size_t>(i)];
        SplitRange(n, m_thrds, i, p.idx_st, p.idx_en);
        p.swlist = &stopwords;
        p.crc32 = &crc32;
    }
    RunWorkers(
        m_thrds, [&](int32_t i) { SW2CRC32(params[static_cast<size_t>(i)]); },
        [&] {
            int64_t done = 0;
            for (const auto& p : params)
                done += p.progress;
            return n == 0 ? 0 : static_cast<int32_t>(std::lround(100.0 * done / n));
        });
    bool added;
    for (uint32_t id : crc32)
        m_StopIds.Insert(id, added);
}

void TStage3::SW2CRC32(TStage3SW2CRC32Params& p)
{
    for (int32_t i = p.idx_st; i < p.idx_en; ++i) {
        (*p.crc32)[static_cast<size_t>(i)] = WordId((*p.swlist)[static_cast<size_t>(i)]);
        if ((i - p.idx_st + 1) % 1000 == 0)
            p.progress = i - p.idx_st + 1;
    }
    p.progress = p.idx_en - p.idx_st;
}

// ---- phase 2: LDA documents ----------------------------------------------------------------

bool TStage3::RemoveInWalkOrder(TBinaryDoc& input, TBinaryDoc& output)
{
    std::mutex readLock;
    std::vector<TStage3SWRemoveParams> params(static_cast<size_t>(m_thrds));
    for (auto& p : params) {
        p.bindoc = &input;
        p.bd_crit_sec = &readLock;
        p.outbindoc = &output;
        p.swint = &m_StopIds;
    }
    RunWorkers(
        m_thrds, [&](int32_t i) { SWRemove(params[static_cast<size_t>(i)]); },
        [&] {
            int64_t done = 0;
            for (const auto& p : params)
                done += p.progress;
            return static_cast<int32_t>(std::lround(100.0 * done / m_WalkCount));
        });
    if (Stopping())
        return Fail(TStageError::Stopped, "stopped");
    return !Failed();
}

void TStage3::SWRemove(TStage3SWRemoveParams& p)
{
    while (true) {
        auto batch = std::make_shared<TLdaBatch>();
        int64_t number;
        if (!ReadBatch(p, *batch, number))
            return;
        DropStopWords(*batch, 0, 0);
        TBinaryDoc& output = *p.outbindoc;
        if (!m_BatchOrder.Submit(number,
                                 [this, &output, batch] { return AppendBatch(output, *batch); }))
            return;
        p.progress += static_cast<int32_t>(batch->docs.size());
    }
}

bool TStage3::ReadBatch(TStage3SWRemoveParams& p, TLdaBatch& batch, int64_t& number)
{
    std::lock_guard lock(*p.bd_crit_sec);
    if (m_Walked >= m_WalkCount || m_OutOfOrder || Stopping() || Failed())
        return false;
    number = m_NextBatch++;
    const int32_t end = std::min(m_WalkCount, m_Walked + m_BatchSize);
    for (; m_Walked < end; ++m_Walked) {
        if (!ReadDocument(*p.bindoc, m_Walked == 0, batch)) {
            m_BatchOrder.Close();
            return false;
        }
        const int32_t docid = batch.docs.back().first;
        if (docid < m_LastDocId) {
            // Written out of id order (older writers append as their threads finish):
            // the documents are sorted in memory instead.
            m_OutOfOrder = true;
            m_BatchOrder.Close();
            return false;
        }
        m_LastDocId = docid;
    }
    return true;
}

bool TStage3::ReadDocument(TBinaryDoc& input, bool first, TLdaBatch& into)
{
    int32_t docid = 0;
    int32_t size = 0;
    const bool header = first ? input.GetLDADocumentBinaryFirst(docid, size)
                              : input.GetLDADocumentBinaryNext(docid, size);
    const size_t at = into.ids.size();
    if (header)
        into.ids.resize(at + static_cast<size_t>(size));
    if (!header || !input.GetLDADocumentBinary(into.ids.data() + at, size)) {
        into.ids.resize(at);
        return Fail(TStageError::Read,
                    "cannot read LDA document " + std::to_string(m_Walked) + " of " + infname);
    }
    into.docs.emplace_back(docid, size);
    return true;
}

void TStage3::DropStopWords(TLdaBatch& batch, size_t firstDoc, size_t firstId) const
{
    size_t in = firstId;
    size_t out = firstId;
    for (size_t d = firstDoc; d < batch.docs.size(); ++d) {
        int32_t& count = batch.docs[d].second;
        const size_t end = in + static_cast<size_t>(count);
        const size_t kept = out;
        for (; in < end; ++in)
            if (m_StopIds.Find(batch.ids[in]) < 0)
                batch.ids[out++] = batch.ids[in];
        count = static_cast<int32_t>(out - kept);
    }
    batch.ids.resize(out);
}

bool TStage3::AppendBatch(TBinaryDoc& output, const TLdaBatch& batch)
{
    m_Tokens += static_cast<int64_t>(batch.ids.size());
    return batch.AppendTo(output, m_LDADocs) ||
           Fail(TStageError::Write, "cannot write " + output.LastError());
}

bool TStage3::RemoveSortingInMemory(TBinaryDoc& input, const std::string& outputPath)
{
    TLdaBatch all;
    for (m_Walked = 0; m_Walked < m_WalkCount; ++m_Walked) {
        if (Stopping())
            return Fail(TStageError::Stopped, "stopped");
        const size_t firstId = all.ids.size();
        if (!ReadDocument(input, m_Walked == 0, all))
            return false;
        DropStopWords(all, all.docs.size() - 1, firstId);
    }
    std::vector<size_t> start(all.docs.size() + 1, 0);
    for (size_t i = 0; i < all.docs.size(); ++i)
        start[i + 1] = start[i] + static_cast<size_t>(all.docs[i].second);
    std::vector<size_t> order(all.docs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return all.docs[a].first < all.docs[b].first; });

    // A fresh object on the copy: its first LDA write starts the section anew.
    TBinaryDoc output;
    if (!output.Create(outputPath, false))
        return Fail(TStageError::Open, "cannot open the copy " + output.LastError());
    m_LDADocs = 0;
    m_Tokens = 0;
    for (size_t i : order) {
        const auto [docid, count] = all.docs[i];
        if (!output.AddLDADocumentBinary(all.ids.data() + start[i], count, docid))
            return Fail(TStageError::Write, "cannot write " + output.LastError());
        m_Tokens += count;
        ++m_LDADocs;
    }
    if (!FilterWordMap(input, output) || !output.Close())
        return Fail(TStageError::Write, "cannot write " + output.LastError());
    return true;
}

// ---- phase 3: word map ---------------------------------------------------------------------

bool TStage3::FilterWordMap(TBinaryDoc& input, TBinaryDoc& output)
{
    const int32_t count = input.GetLDAWordmapBinarySize();
    if (count <= 0)
        return true;
    TWordAndFreqArray words(static_cast<size_t>(count));
    if (!input.GetLDAWordmapBinary(words.data(), count))
        return Fail(TStageError::Read, "cannot read the word map of " + infname);
    std::erase_if(words, [&](const TWordAndFreq& wf) { return m_StopIds.Find(wf.wfuID) >= 0; });
    m_WordMapSize = static_cast<int32_t>(words.size());
    return output.AddLDAWordmapBinary(words.data(), m_WordMapSize);
}

} // namespace corvane
