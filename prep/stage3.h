#pragma once

#include "container/binarydoc.h"
#include "prep/batchorder.h"
#include "prep/corpusstage.h"
#include "prep/idindex.h"
#include "prep/ldabatch.h"

#include <atomic>
#include <climits>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace corvane {

/// A phase-1 worker's share: the word ids of stop words idx_st .. idx_en - 1.
struct TStage3SW2CRC32Params
{
    int32_t idx_st = 0;
    int32_t idx_en = 0;
    const std::vector<std::string>* swlist = nullptr;
    std::vector<uint32_t>* crc32 = nullptr; // one entry per stop word, shared
    std::atomic<int32_t> progress{0};       // words done, updated every 1000 words
};

/// A phase-2 worker's share: batches of LDA documents read in turn from the shared walk over
/// the input, filtered, and appended to the output in walk order.
struct TStage3SWRemoveParams
{
    TBinaryDoc* bindoc = nullptr;      // the input, shared
    std::mutex* bd_crit_sec = nullptr; // serialises the walk over `bindoc`
    TBinaryDoc* outbindoc = nullptr;   // the output, shared
    const TIdIndex* swint = nullptr;   // the stop-word ids
    std::atomic<int32_t> progress{0};  // documents done by this worker
};

/// Stop-word removal: copies a container with a binary LDA section to `outfname` and rewrites
/// the copy's LDA documents (in id order, same ids) and word map without the stop words' ids.
/// The stop words are single-byte words taken exactly as given. The output replaces its file
/// only once it is complete.
class TStage3 : public TCorpusStage
{
public:
    /// `thrds` = 0: one worker per processor.
    TStage3(IMainThread& mainThread, std::string infname, std::string outfname,
            std::vector<std::string> stopwords, int32_t thrds);
    ~TStage3() override;

    /// Documents per batch of the filtering workers.
    void SetBatchSize(int32_t docs) { m_BatchSize = docs > 0 ? docs : 1; }

    /// LDA documents written to the output.
    int32_t DocumentCount() const { return m_LDADocs; }
    /// Word ids kept in the output's LDA documents.
    int64_t TokenCount() const { return m_Tokens; }
    /// Records of the output's word map (-1 when the input has none).
    int32_t WordMapSize() const { return m_WordMapSize; }

private:
    uint32_t Execute() override;
    void ComputeStopIds();
    static void SW2CRC32(TStage3SW2CRC32Params& p);
    bool RemoveInWalkOrder(TBinaryDoc& input, TBinaryDoc& output);
    void SWRemove(TStage3SWRemoveParams& p);
    bool ReadBatch(TStage3SWRemoveParams& p, TLdaBatch& batch, int64_t& number);
    bool AppendBatch(TBinaryDoc& output, const TLdaBatch& batch);
    bool RemoveSortingInMemory(TBinaryDoc& input, const std::string& outputPath);
    bool ReadDocument(TBinaryDoc& input, bool first, TLdaBatch& into);
    void DropStopWords(TLdaBatch& batch, size_t firstDoc, size_t firstId) const;
    bool FilterWordMap(TBinaryDoc& input, TBinaryDoc& output);

    std::string infname;
    std::string outfname;
    std::vector<std::string> stopwords;
    int32_t m_thrds;
    int32_t m_BatchSize = 512;
    TIdIndex m_StopIds;

    // The shared walk of phase 2, under bd_crit_sec.
    int32_t m_WalkCount = 0;
    int32_t m_Walked = 0;
    int32_t m_LastDocId = INT32_MIN;
    bool m_OutOfOrder = false;
    int64_t m_NextBatch = 0;
    TBatchOrder m_BatchOrder{8};

    int32_t m_LDADocs = 0;
    int64_t m_Tokens = 0;
    int32_t m_WordMapSize = -1;
};

} // namespace corvane
