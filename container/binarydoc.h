#pragma once

#include "container/streams.h"
#include "platform/populatingallocator.h"
#include "platform/posixfile.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane {

#pragma pack(push, 1)
/// One index record of a container: where a document's three parts lie.
struct TBinaryDocIdxFile
{
    int32_t docid;
    int32_t origsize;
    int64_t origoffs;
    int32_t docsize;
    int64_t docoffs;
    int32_t datasize;
    int64_t dataoffs;
};
#pragma pack(pop)
static_assert(sizeof(TBinaryDocIdxFile) == 40);

constexpr int kWordMaxLen = 56;

/// A word-map record: word id, corpus frequency, the word (length byte + 56 bytes) and TF-IDF.
struct TWordAndFreq
{
    uint32_t wfuID;
    int32_t wfFreq;
    uint8_t wfWord[kWordMaxLen + 1];
    uint8_t wfPadding[7];
    double wfTFIDF;
    uint8_t wfReserved[16];
};
static_assert(sizeof(TWordAndFreq) == 96 && offsetof(TWordAndFreq, wfTFIDF) == 72);
using TWordAndFreqArray = std::vector<TWordAndFreq>;

/// The record size of older "Qorvelv2" word maps: the first 68 bytes of TWordAndFreq.
constexpr int kWordAndFreq2Size = 68;

/// The word of a record (its length byte is trusted up to 56).
std::string WordOf(const TWordAndFreq& wf);
/// Stores `word` in a record, cut to 56 bytes.
void SetWord(TWordAndFreq& wf, std::string_view word);

inline constexpr std::string_view kMagicV3 = "Qorvelv3";
inline constexpr std::string_view kMagicV2 = "Qorvelv2";

/// The document container file: documents (original text, lemmatized text, metadata block), their
/// index, and an optional LDA section in text or binary form with the word map.
///
/// Write mode creates a file and appends documents; the index is written by Close (or the
/// destructor). Update mode opens an existing file to read documents and to write one LDA section.
/// Every operation except GetDocumentCount runs under the object's own lock. No operation throws:
/// failures give false / 0 / empty, with the reason in LastError().
///
/// A file whose index offset is still 0 (closed without documents, or never closed) opens as a
/// container with no documents and no LDA section; LDA writes to it fail.
class TBinaryDoc
{
public:
    TBinaryDoc() = default;
    ~TBinaryDoc();
    TBinaryDoc(const TBinaryDoc&) = delete;
    TBinaryDoc& operator=(const TBinaryDoc&) = delete;

    /// bwrite = true: create (truncate) `fname` for writing; false: open an existing one for update.
    bool Create(const std::string& fname, bool bwrite);
    /// Writes the index (write mode, at least one document) and closes; false when a write failed.
    bool Close();
    bool IsOpen() const { return m_BinFile.IsOpen(); }

    bool AddDocuments(int32_t docid, std::string_view orig, std::string_view doc,
                      const void* pdata = nullptr, int32_t pdatalen = 0);
    bool AddDocuments(int32_t docid, TStream& orig, TStream& doc, const void* pdata = nullptr,
                      int32_t pdatalen = 0);

    int32_t GetDocumentCount() const { return m_DocCount.load(std::memory_order_acquire); }
    bool GetDocument(int32_t docid, std::string& doc);
    /// The lemmatized text and, when `pdata` is given, the metadata block (sized to fit).
    bool GetLemDocument(int32_t docid, std::string& lem, std::string* pdata = nullptr);
    bool GetOrigDocument(int32_t docid, std::string& orig, std::string* pdata = nullptr);
    bool GetDocuments(int32_t docid, std::string& orig, std::string& doc);
    /// The index record at `position` (0 .. count-1), in the order documents were added.
    bool GetIndexEntry(int32_t position, TBinaryDocIdxFile& entry);

    enum class TLDASection { None, Text, Binary };
    /// The kind of LDA section and its document count (text form: the number on its first line).
    TLDASection GetLDASection(int32_t& count);

    bool AddLDADocument(std::string_view text);
    std::string GetLDADocument(int32_t docid);
    bool GetLDADocuments(const std::string& FileName);

    bool AddLDADocumentBinary(const uint32_t* plda, int32_t slda, int32_t docid);
    bool AddLDAWordmapBinary(const TWordAndFreq* pwm, int32_t swm);
    int32_t GetLDADocumentsBinaryCount();
    bool GetLDADocumentBinaryFirst(int32_t& docid, int32_t& size);
    bool GetLDADocumentBinaryNext(int32_t& docid, int32_t& size);
    bool GetLDADocumentBinary(uint32_t* plda, int32_t docsize);
    int32_t GetLDADocumentBinarySize(int32_t docid);
    int32_t GetLDAWordmapBinarySize();
    bool GetLDAWordmapBinary(TWordAndFreq* pwm, int32_t swm);

    /// The 8 magic bytes read at opening; empty in write mode.
    const std::string& Signature() const { return m_Signature; }
    const std::string& FileName() const { return m_fname; }
    int64_t LDAOffset() const { return m_LDAOffs; }
    std::string LastError() const;

private:
    bool Fail(std::string message);
    bool OpenForUpdate();
    void ResetState();
    const TBinaryDocIdxFile* FindEntry(int32_t docid) const;
    bool ReadPart(int64_t offset, int32_t size, std::string& out);
    bool AppendDocument(int32_t docid, const char* orig, int64_t origLen, const char* doc,
                        int64_t docLen, const void* pdata, int32_t pdatalen);

    // Buffered file access: appends collect in m_WriteBuf, reads go through a small window.
    int64_t ReadAt(int64_t offset, void* dst, int64_t size);
    bool ReadExact(int64_t offset, void* dst, int64_t size);
    bool Append(const void* data, int64_t size);
    bool Flush();
    bool TruncateAt(int64_t size);
    void RefreshSize();
    int64_t FindCR(int64_t from);

    /// The binary section's document count, -1 when there is none or it cannot be true.
    int32_t ReadLDACount();
    bool BeginBinaryLDA();
    bool ReadLDAHeader(int32_t& docid, int32_t& size);
    bool BuildLDAIndex();

    TPosixFile m_BinFile;
    bool m_bwrite = false;
    bool m_bFirstLDA = true;
    std::string m_fname;
    int64_t m_LDAOffs = -1;
    int32_t m_LDACount = 0;
    std::vector<TBinaryDocIdxFile, TPopulatingAllocator<TBinaryDocIdxFile>> m_DocIdx;
    std::atomic<int32_t> m_DocCount{0};
    mutable std::mutex m_FileCritSec;
    int32_t m_lda_cache_id = -1;
    int64_t m_lda_cache_st = 0;
    std::string m_Signature;
    std::string m_LastError;

    // Id -> first index position: a dense table for ids 0..N-1, a map for the rest.
    std::vector<int32_t, TPopulatingAllocator<int32_t>> m_DenseIds;
    std::unordered_map<int32_t, int32_t> m_SparseIds;

    int64_t m_FileSize = 0;  // including what is still in m_WriteBuf
    int64_t m_Pos = 0;       // position of the binary LDA walk
    std::string m_WriteBuf;  // bytes to append at m_FileSize - m_WriteBuf.size()
    bool m_WriteFailed = false;
    bool m_LDACountDirty = false;
    std::vector<char> m_ReadWin;
    int64_t m_ReadWinOff = 0;
    int64_t m_ReadWinLen = 0;

    struct TLDAEntry
    {
        int64_t idsOffset;
        int32_t size;
    };
    std::unordered_map<int32_t, TLDAEntry> m_LDAIndex;
    bool m_LDAIndexBuilt = false;
};

} // namespace corvane
