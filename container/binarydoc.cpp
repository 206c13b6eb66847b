#include "container/binarydoc.h"

#include "platform/checkedio.h"

#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

constexpr int64_t kHeaderSize = 16;
constexpr int64_t kIdxSize = sizeof(TBinaryDocIdxFile);
constexpr size_t kFlushThreshold = 1 << 20;
constexpr int64_t kReadWindow = 64 * 1024;

} // namespace

std::string WordOf(const TWordAndFreq& wf)
{
    const size_t len = std::min<size_t>(wf.wfWord[0], kWordMaxLen);
    return std::string(reinterpret_cast<const char*>(wf.wfWord + 1), len);
}

void SetWord(TWordAndFreq& wf, std::string_view word)
{
    const size_t len = std::min<size_t>(word.size(), kWordMaxLen);
    wf.wfWord[0] = static_cast<uint8_t>(len);
    std::memcpy(wf.wfWord + 1, word.data(), len);
    std::memset(wf.wfWord + 1 + len, 0, kWordMaxLen - len);
}

TBinaryDoc::~TBinaryDoc()
{
    Close();
}

std::string TBinaryDoc::LastError() const
{
    std::lock_guard lock(m_FileCritSec);
    return m_LastError;
}

bool TBinaryDoc::Fail(std::string message)
{
    m_LastError = m_fname + ": " + std::move(message);
    return false;
}

void TBinaryDoc::ResetState()
{
    m_bFirstLDA = true;
    m_LDAOffs = -1;
    m_LDACount = 0;
    m_DocIdx.clear();
    m_DocCount.store(0, std::memory_order_release);
    m_lda_cache_id = -1;
    m_lda_cache_st = 0;
    m_Signature.clear();
    m_DenseIds.clear();
    m_SparseIds.clear();
    m_FileSize = 0;
    m_Pos = 0;
    m_WriteBuf.clear();
    m_WriteFailed = false;
    m_LDACountDirty = false;
    m_ReadWinLen = 0;
    m_LDAIndex.clear();
    m_LDAIndexBuilt = false;
}

bool TBinaryDoc::Create(const std::string& fname, bool bwrite)
{
    Close();
    std::lock_guard lock(m_FileCritSec);
    ResetState();
    m_fname = fname;
    m_bwrite = bwrite;
    m_LastError.clear();
    if (!bwrite)
        return OpenForUpdate();
    if (!m_BinFile.Open(fname, TPosixFile::TMode::CreateTruncate)) {
        m_LastError = m_BinFile.LastError();
        return false;
    }
    char header[kHeaderSize] = {};
    std::memcpy(header, kMagicV3.data(), 8);
    if (!m_BinFile.WriteAt(0, header, kHeaderSize)) {
        m_LastError = m_BinFile.LastError();
        m_BinFile.Close();
        return false;
    }
    m_FileSize = kHeaderSize;
    return true;
}

bool TBinaryDoc::OpenForUpdate()
{
    if (!m_BinFile.Open(m_fname, TPosixFile::TMode::ReadWrite)) {
        m_LastError = m_BinFile.LastError();
        return false;
    }
    m_FileSize = m_BinFile.Size();
    char header[kHeaderSize];
    if (m_FileSize < kHeaderSize || !m_BinFile.ReadExact(0, header, kHeaderSize)) {
        m_BinFile.Close();
        return Fail("not a container: shorter than its header");
    }
    m_Signature.assign(header, 8);
    int64_t indexOffs;
    std::memcpy(&indexOffs, header + 8, 8);
    if (indexOffs == 0)
        return true; // never closed with documents: no documents, no LDA section

    int32_t indexBytes = 0;
    if (indexOffs < kHeaderSize || !FitsInFile(indexOffs, 4, m_FileSize) ||
        !m_BinFile.ReadExact(indexOffs, &indexBytes, 4) || indexBytes < 0 ||
        indexBytes % kIdxSize != 0 || !FitsInFile(indexOffs + 4, indexBytes, m_FileSize)) {
        m_BinFile.Close();
        return Fail("corrupted container: the index lies outside the file");
    }
    const int32_t count = static_cast<int32_t>(indexBytes / kIdxSize);
    m_DocIdx.resize(static_cast<size_t>(count));
    if (count > 0 && !m_BinFile.ReadExact(indexOffs + 4, m_DocIdx.data(), indexBytes)) {
        m_BinFile.Close();
        m_DocIdx.clear();
        return Fail("cannot read the index");
    }
    m_DenseIds.assign(static_cast<size_t>(count), -1);
    for (int32_t i = 0; i < count; ++i) {
        const int32_t id = m_DocIdx[i].docid;
        if (id >= 0 && id < count) {
            if (m_DenseIds[id] < 0)
                m_DenseIds[id] = i;
        } else {
            m_SparseIds.emplace(id, i);
        }
    }
    m_DocCount.store(count, std::memory_order_release);
    m_LDAOffs = indexOffs + 4 + indexBytes;
    return true;
}

bool TBinaryDoc::Close()
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen())
        return true;
    bool ok = Flush();
    if (ok && m_bwrite && !m_DocIdx.empty()) {
        // The index goes first and the offset that makes it visible last, so a file cut short
        // by a crash still opens as an empty container instead of reading a partial index.
        const int64_t indexOffs = m_FileSize;
        const auto indexBytes = static_cast<int32_t>(m_DocIdx.size() * kIdxSize);
        ok = m_BinFile.WriteAt(indexOffs, &indexBytes, 4) &&
             m_BinFile.WriteAt(indexOffs + 4, m_DocIdx.data(), indexBytes) &&
             m_BinFile.WriteAt(8, &indexOffs, 8);
        if (!ok && m_LastError.empty())
            m_LastError = m_BinFile.LastError();
    }
    m_BinFile.Close();
    m_WriteBuf.clear();
    return ok;
}

// ---- buffered I/O --------------------------------------------------------------------------

int64_t TBinaryDoc::ReadAt(int64_t offset, void* dst, int64_t size)
{
    if (!Flush())
        return -1;
    if (size <= 0)
        return 0;
    if (offset >= m_ReadWinOff && offset + size <= m_ReadWinOff + m_ReadWinLen) {
        std::memcpy(dst, m_ReadWin.data() + (offset - m_ReadWinOff), static_cast<size_t>(size));
        return size;
    }
    if (size >= kReadWindow / 2)
        return m_BinFile.ReadAt(offset, dst, size);
    m_ReadWin.resize(kReadWindow);
    const int64_t n = m_BinFile.ReadAt(offset, m_ReadWin.data(), kReadWindow);
    if (n < 0) {
        m_ReadWinLen = 0;
        return -1;
    }
    m_ReadWinOff = offset;
    m_ReadWinLen = n;
    const int64_t got = std::min(n, size);
    std::memcpy(dst, m_ReadWin.data(), static_cast<size_t>(got));
    return got;
}

bool TBinaryDoc::ReadExact(int64_t offset, void* dst, int64_t size)
{
    return ReadAt(offset, dst, size) == size;
}

bool TBinaryDoc::Append(const void* data, int64_t size)
{
    if (m_WriteFailed)
        return false;
    m_WriteBuf.append(static_cast<const char*>(data), static_cast<size_t>(size));
    m_FileSize += size;
    return m_WriteBuf.size() < kFlushThreshold || Flush();
}

bool TBinaryDoc::Flush()
{
    if (m_WriteFailed)
        return false;
    if (!m_WriteBuf.empty()) {
        const int64_t at = m_FileSize - static_cast<int64_t>(m_WriteBuf.size());
        m_ReadWinLen = 0;
        if (!m_BinFile.WriteAt(at, m_WriteBuf.data(), static_cast<int64_t>(m_WriteBuf.size()))) {
            m_WriteFailed = true;
            m_LastError = m_BinFile.LastError();
            return false;
        }
        m_WriteBuf.clear();
    }
    if (m_LDACountDirty) {
        m_LDACountDirty = false;
        if (!m_BinFile.WriteAt(m_LDAOffs + 4, &m_LDACount, 4)) {
            m_WriteFailed = true;
            m_LastError = m_BinFile.LastError();
            return false;
        }
    }
    return true;
}

bool TBinaryDoc::TruncateAt(int64_t size)
{
    m_WriteBuf.clear();
    m_ReadWinLen = 0;
    if (!m_BinFile.Truncate(size)) {
        m_LastError = m_BinFile.LastError();
        return false;
    }
    m_FileSize = size;
    return true;
}

void TBinaryDoc::RefreshSize()
{
    // Another object may have written the LDA section since this one opened the file.
    if (!m_WriteBuf.empty() || m_LDACountDirty)
        return;
    const int64_t size = m_BinFile.Size();
    if (size >= 0 && size != m_FileSize) {
        m_FileSize = size;
        m_ReadWinLen = 0;
    }
}

int64_t TBinaryDoc::FindCR(int64_t from)
{
    char chunk[4096];
    while (from < m_FileSize) {
        const int64_t n = ReadAt(from, chunk, std::min<int64_t>(sizeof chunk, m_FileSize - from));
        if (n <= 0)
            return -1;
        if (const void* cr = std::memchr(chunk, '\r', static_cast<size_t>(n)))
            return from + (static_cast<const char*>(cr) - chunk);
        from += n;
    }
    return -1;
}

// ---- documents -----------------------------------------------------------------------------

bool TBinaryDoc::AppendDocument(int32_t docid, const char* orig, int64_t origLen, const char* doc,
                                int64_t docLen, const void* pdata, int32_t pdatalen)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || !m_bwrite)
        return Fail("not open for writing");
    if (origLen > INT32_MAX || docLen > INT32_MAX || pdatalen < 0)
        return Fail("document part too large");
    TBinaryDocIdxFile e{};
    e.docid = docid;
    e.origsize = static_cast<int32_t>(origLen);
    e.origoffs = m_FileSize;
    e.docsize = static_cast<int32_t>(docLen);
    e.docoffs = e.origoffs + origLen;
    e.dataoffs = e.docoffs + docLen;
    e.datasize = pdata ? pdatalen : 0;
    const auto position = static_cast<int32_t>(m_DocIdx.size());
    m_DocIdx.push_back(e);
    // Ids near the document count go to the dense table; far-off ids would bloat it.
    if (docid >= 0 && static_cast<size_t>(docid) <= 2 * m_DocIdx.size() + 1024) {
        if (static_cast<size_t>(docid) >= m_DenseIds.size())
            m_DenseIds.resize(static_cast<size_t>(docid) + 1, -1);
        if (m_DenseIds[docid] < 0)
            m_DenseIds[docid] = position;
    } else {
        m_SparseIds.emplace(docid, position);
    }
    m_DocCount.store(position + 1, std::memory_order_release);
    return Append(orig, origLen) && Append(doc, docLen) &&
           (e.datasize == 0 || Append(pdata, e.datasize));
}

bool TBinaryDoc::AddDocuments(int32_t docid, std::string_view orig, std::string_view doc,
                              const void* pdata, int32_t pdatalen)
{
    return AppendDocument(docid, orig.data(), static_cast<int64_t>(orig.size()), doc.data(),
                          static_cast<int64_t>(doc.size()), pdata, pdatalen);
}

bool TBinaryDoc::AddDocuments(int32_t docid, TStream& orig, TStream& doc, const void* pdata,
                              int32_t pdatalen)
{
    auto content = [](TStream& s) {
        std::string bytes(static_cast<size_t>(std::max<int64_t>(s.Size(), 0)), '\0');
        s.SetPosition(0);
        bytes.resize(static_cast<size_t>(
            std::max(0, s.Read(bytes.data(), static_cast<int32_t>(bytes.size())))));
        return bytes;
    };
    return AddDocuments(docid, content(orig), content(doc), pdata, pdatalen);
}

const TBinaryDocIdxFile* TBinaryDoc::FindEntry(int32_t docid) const
{
    if (docid >= 0 && static_cast<size_t>(docid) < m_DenseIds.size()) {
        const int32_t pos = m_DenseIds[docid];
        return pos >= 0 ? &m_DocIdx[pos] : nullptr;
    }
    auto it = m_SparseIds.find(docid);
    return it == m_SparseIds.end() ? nullptr : &m_DocIdx[it->second];
}

bool TBinaryDoc::ReadPart(int64_t offset, int32_t size, std::string& out)
{
    if (!FitsInFile(offset, size, m_FileSize))
        return Fail("document part outside the file");
    if (!Flush())
        return false;
    // Parts shorter than half the window are copied straight out of it.
    if (size < kReadWindow / 2 &&
        (offset < m_ReadWinOff || offset + size > m_ReadWinOff + m_ReadWinLen)) {
        m_ReadWin.resize(kReadWindow);
        m_ReadWinLen = std::max<int64_t>(m_BinFile.ReadAt(offset, m_ReadWin.data(), kReadWindow), 0);
        m_ReadWinOff = offset;
    }
    if (offset >= m_ReadWinOff && offset + size <= m_ReadWinOff + m_ReadWinLen) {
        out.assign(m_ReadWin.data() + (offset - m_ReadWinOff), static_cast<size_t>(size));
        return true;
    }
    out.resize(static_cast<size_t>(size));
    return size == 0 || m_BinFile.ReadExact(offset, out.data(), size) || Fail("cannot read document");
}

bool TBinaryDoc::GetDocument(int32_t docid, std::string& doc)
{
    std::lock_guard lock(m_FileCritSec);
    const TBinaryDocIdxFile* e = FindEntry(docid);
    return e && ReadPart(e->docoffs, e->docsize, doc);
}

bool TBinaryDoc::GetLemDocument(int32_t docid, std::string& lem, std::string* pdata)
{
    std::lock_guard lock(m_FileCritSec);
    const TBinaryDocIdxFile* e = FindEntry(docid);
    if (!e || !ReadPart(e->docoffs, e->docsize, lem))
        return false;
    return !pdata || ReadPart(e->dataoffs, e->datasize, *pdata);
}

bool TBinaryDoc::GetOrigDocument(int32_t docid, std::string& orig, std::string* pdata)
{
    std::lock_guard lock(m_FileCritSec);
    const TBinaryDocIdxFile* e = FindEntry(docid);
    if (!e || !ReadPart(e->origoffs, e->origsize, orig))
        return false;
    return !pdata || ReadPart(e->dataoffs, e->datasize, *pdata);
}

bool TBinaryDoc::GetDocuments(int32_t docid, std::string& orig, std::string& doc)
{
    std::lock_guard lock(m_FileCritSec);
    const TBinaryDocIdxFile* e = FindEntry(docid);
    return e && ReadPart(e->origoffs, e->origsize, orig) && ReadPart(e->docoffs, e->docsize, doc);
}

bool TBinaryDoc::GetIndexEntry(int32_t position, TBinaryDocIdxFile& entry)
{
    std::lock_guard lock(m_FileCritSec);
    if (position < 0 || static_cast<size_t>(position) >= m_DocIdx.size())
        return false;
    entry = m_DocIdx[position];
    return true;
}

// ---- text LDA section ----------------------------------------------------------------------

TBinaryDoc::TLDASection TBinaryDoc::GetLDASection(int32_t& count)
{
    std::lock_guard lock(m_FileCritSec);
    count = 0;
    if (!m_BinFile.IsOpen() || m_bwrite || m_LDAOffs < 0 || !Flush())
        return TLDASection::None;
    RefreshSize();
    if (m_FileSize <= m_LDAOffs)
        return TLDASection::None;
    int32_t marker = -1;
    if (FitsInFile(m_LDAOffs, 8, m_FileSize) && ReadExact(m_LDAOffs, &marker, 4) && marker == 0) {
        ReadExact(m_LDAOffs + 4, &count, 4);
        count = std::max(count, 0);
        return TLDASection::Binary;
    }
    char line[16] = {};
    const int64_t n = ReadAt(m_LDAOffs, line, sizeof line - 1);
    for (int64_t i = 0; i < n && line[i] >= '0' && line[i] <= '9' && count < 100000000; ++i)
        count = count * 10 + (line[i] - '0');
    return TLDASection::Text;
}

bool TBinaryDoc::AddLDADocument(std::string_view text)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_bwrite || m_LDAOffs < 0)
        return Fail("no LDA section can be written");
    if (m_bFirstLDA) {
        if (!Flush() || !TruncateAt(m_LDAOffs))
            return false;
        m_bFirstLDA = false;
        m_LDAIndexBuilt = false;
        m_lda_cache_id = -1;
    }
    return Append(text.data(), static_cast<int64_t>(text.size()));
}

std::string TBinaryDoc::GetLDADocument(int32_t docid)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_LDAOffs < 0 || docid < 0 || !Flush())
        return {};
    RefreshSize();
    if (m_FileSize - m_LDAOffs < 2)
        return {};
    int64_t pos;
    int64_t skip;
    if (docid > m_lda_cache_id) {
        pos = m_lda_cache_id >= 0 ? m_lda_cache_st : m_LDAOffs;
        skip = static_cast<int64_t>(docid) - m_lda_cache_id;
    } else {
        pos = m_LDAOffs;
        skip = static_cast<int64_t>(docid) + 1;
    }
    for (; skip > 0; --skip) {
        const int64_t cr = FindCR(pos);
        if (cr < 0) {
            pos = m_FileSize + 1; // end of file ends the line; nothing follows
            break;
        }
        pos = cr + 2; // the CR and its LF
    }
    const int64_t start = std::min(pos, m_FileSize);
    m_lda_cache_id = docid;
    m_lda_cache_st = start;
    int64_t end = FindCR(start);
    if (end < 0)
        end = m_FileSize;
    std::string line(static_cast<size_t>(end - start), '\0');
    if (!line.empty() && !ReadExact(start, line.data(), end - start))
        return {};
    return line;
}

bool TBinaryDoc::GetLDADocuments(const std::string& FileName)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_LDAOffs < 0 || !Flush())
        return false;
    RefreshSize();
    TPosixFile out;
    if (!out.Open(FileName, TPosixFile::TMode::CreateTruncate)) {
        m_LastError = out.LastError();
        return false;
    }
    std::vector<char> chunk(1 << 20);
    for (int64_t at = m_LDAOffs; at < m_FileSize;) {
        const int64_t n = m_BinFile.ReadAt(at, chunk.data(),
                                           std::min<int64_t>(chunk.size(), m_FileSize - at));
        if (n <= 0 || !out.WriteAt(at - m_LDAOffs, chunk.data(), n))
            return Fail("cannot copy the LDA section");
        at += n;
    }
    return true;
}

// ---- binary LDA section --------------------------------------------------------------------

bool TBinaryDoc::BeginBinaryLDA()
{
    if (!m_bFirstLDA)
        return true;
    const int32_t zero[2] = {0, 0};
    if (!Flush() || !TruncateAt(m_LDAOffs) || !Append(zero, sizeof zero) || !Flush() ||
        !m_BinFile.WriteAt(0, kMagicV3.data(), 8)) {
        if (m_LastError.empty())
            m_LastError = m_BinFile.LastError();
        return false;
    }
    m_Signature = kMagicV3;
    m_bFirstLDA = false;
    m_LDACount = 0;
    m_LDAIndexBuilt = false;
    m_lda_cache_id = -1;
    return true;
}

bool TBinaryDoc::AddLDADocumentBinary(const uint32_t* plda, int32_t slda, int32_t docid)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_bwrite || m_LDAOffs < 0 || slda < 0 || (slda > 0 && !plda))
        return Fail("no LDA section can be written");
    if (!BeginBinaryLDA())
        return false;
    const int32_t header[2] = {docid, slda};
    if (!Append(header, sizeof header) || !Append(plda, static_cast<int64_t>(slda) * 4))
        return false;
    ++m_LDACount;
    m_LDACountDirty = true;
    m_LDAIndexBuilt = false;
    return true;
}

bool TBinaryDoc::AddLDAWordmapBinary(const TWordAndFreq* pwm, int32_t swm)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_bwrite || m_LDAOffs < 0 || swm < 0 || (swm > 0 && !pwm))
        return Fail("no word map can be written");
    return Append(&swm, 4) && Append(pwm, static_cast<int64_t>(swm) * sizeof(TWordAndFreq));
}

int32_t TBinaryDoc::ReadLDACount()
{
    int32_t head[2];
    if (!FitsInFile(m_LDAOffs, 8, m_FileSize) || !ReadExact(m_LDAOffs, head, 8) || head[0] != 0)
        return -1;
    // Every document takes at least its 8-byte header: a larger count cannot be true.
    if (head[1] < 0 || head[1] > (m_FileSize - m_LDAOffs - 8) / 8)
        return -1;
    m_Pos = m_LDAOffs + 8;
    return head[1];
}

int32_t TBinaryDoc::GetLDADocumentsBinaryCount()
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_bwrite || m_LDAOffs < 0 || !Flush())
        return 0;
    RefreshSize();
    return std::max(ReadLDACount(), 0);
}

bool TBinaryDoc::ReadLDAHeader(int32_t& docid, int32_t& size)
{
    int32_t head[2];
    if (!FitsInFile(m_Pos, 8, m_FileSize) || !ReadExact(m_Pos, head, 8))
        return false;
    if (head[1] < 0 || !FitsInFile(m_Pos + 8, static_cast<int64_t>(head[1]) * 4, m_FileSize))
        return false;
    m_Pos += 8;
    docid = head[0];
    size = head[1];
    return true;
}

bool TBinaryDoc::GetLDADocumentBinaryFirst(int32_t& docid, int32_t& size)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_LDAOffs < 0 || !Flush())
        return false;
    RefreshSize();
    m_Pos = m_LDAOffs + 8;
    return ReadLDAHeader(docid, size);
}

bool TBinaryDoc::GetLDADocumentBinaryNext(int32_t& docid, int32_t& size)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_LDAOffs < 0 || !Flush())
        return false;
    return ReadLDAHeader(docid, size);
}

bool TBinaryDoc::GetLDADocumentBinary(uint32_t* plda, int32_t docsize)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || docsize < 0 || (docsize > 0 && !plda) || !Flush())
        return false;
    const int64_t bytes = static_cast<int64_t>(docsize) * 4;
    if (!FitsInFile(m_Pos, bytes, m_FileSize))
        return false;
    const int64_t n = ReadAt(m_Pos, plda, bytes);
    if (n > 0)
        m_Pos += n;
    return n == bytes;
}

bool TBinaryDoc::BuildLDAIndex()
{
    m_LDAIndex.clear();
    const int32_t count = ReadLDACount();
    if (count < 0)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        int32_t docid, size;
        if (!ReadLDAHeader(docid, size))
            break;
        m_LDAIndex.emplace(docid, TLDAEntry{m_Pos, size});
        m_Pos += static_cast<int64_t>(size) * 4;
    }
    m_LDAIndexBuilt = true;
    return true;
}

int32_t TBinaryDoc::GetLDADocumentBinarySize(int32_t docid)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_LDAOffs < 0 || !Flush())
        return 0;
    RefreshSize();
    if (!m_LDAIndexBuilt && !BuildLDAIndex())
        return 0;
    auto it = m_LDAIndex.find(docid);
    if (it == m_LDAIndex.end())
        return 0;
    m_Pos = it->second.idsOffset;
    return it->second.size;
}

int32_t TBinaryDoc::GetLDAWordmapBinarySize()
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || m_LDAOffs < 0 || !Flush())
        return 0;
    RefreshSize();
    const int32_t docs = ReadLDACount();
    if (docs < 0)
        return 0;
    for (int32_t i = 0; i < docs; ++i) {
        int32_t docid, size;
        if (!ReadLDAHeader(docid, size))
            return 0;
        m_Pos += static_cast<int64_t>(size) * 4;
    }
    int32_t count = 0;
    if (!FitsInFile(m_Pos, 4, m_FileSize) || !ReadExact(m_Pos, &count, 4))
        return 0;
    m_Pos += 4;
    const int64_t recSize = m_Signature == kMagicV2 ? kWordAndFreq2Size : sizeof(TWordAndFreq);
    if (count < 0 || !FitsInFile(m_Pos, count * recSize, m_FileSize))
        return 0;
    return count;
}

bool TBinaryDoc::GetLDAWordmapBinary(TWordAndFreq* pwm, int32_t swm)
{
    std::lock_guard lock(m_FileCritSec);
    if (!m_BinFile.IsOpen() || swm < 0 || (swm > 0 && !pwm) || !Flush())
        return false;
    const bool old = m_Signature == kMagicV2;
    const int64_t recSize = old ? kWordAndFreq2Size : sizeof(TWordAndFreq);
    const int64_t bytes = swm * recSize;
    if (!FitsInFile(m_Pos, bytes, m_FileSize))
        return false;
    if (!old) {
        if (ReadAt(m_Pos, pwm, bytes) != bytes)
            return false;
        m_Pos += bytes;
        return true;
    }
    std::vector<char> raw(static_cast<size_t>(bytes));
    if (ReadAt(m_Pos, raw.data(), bytes) != bytes)
        return false;
    m_Pos += bytes;
    for (int32_t i = 0; i < swm; ++i) {
        auto* slot = reinterpret_cast<unsigned char*>(pwm + i);
        std::memset(slot, 0xFF, sizeof(TWordAndFreq));
        std::memcpy(slot, raw.data() + i * recSize, static_cast<size_t>(recSize));
    }
    return true;
}

} // namespace corvane
