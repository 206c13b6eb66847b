#include "tables/fgstreamdata.h"

#include "platform/checkedio.h"
#include "platform/userlocale.h"

#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

constexpr int64_t kHeaderSize = sizeof(TFGStreamDataHeader);
constexpr size_t kWriteBufLimit = 1 << 20;
constexpr int64_t kReadWindow = 64 * 1024;
// Text columns wider than this are not a table this system writes; refuse them at opening.
constexpr int32_t kMaxReadableTextWidth = 1 << 20;

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

int32_t TypeWidth(TFGColType type)
{
    switch (type) {
    case fgcInt:
    case fgcFloat: return 4;
    case fgcDouble: return 8;
    default: return 0;
    }
}

void PutShortString(unsigned char* field, std::string_view text)
{
    const size_t len = std::min(text.size(), kMaxColumnNameLen);
    field[0] = static_cast<unsigned char>(len);
    std::memcpy(field + 1, text.data(), len);
}

std::string GetShortString(const unsigned char* field)
{
    const size_t len = std::min<size_t>(field[0], kMaxColumnNameLen);
    return std::string(reinterpret_cast<const char*>(field + 1), len);
}

} // namespace

TFGStreamData::TFGStreamData() : m_stail(kMaxTextWidth, '\0') {}

TFGStreamData::~TFGStreamData()
{
    CloseFile(m_RowSizeable);
}

std::string TFGStreamData::LastError() const
{
    std::lock_guard lock(m_csDataFile);
    return m_LastError;
}

void TFGStreamData::Fail(std::string message) const
{
    m_LastError = m_FileName + ": " + std::move(message);
}

// ---- opening and closing -------------------------------------------------------------------

bool TFGStreamData::CreateNewDataFile(const std::string& FileName, int32_t ACol, int32_t ARow,
                                      int32_t RecSize)
{
    CloseFile(m_RowSizeable);
    std::lock_guard lock(m_csDataFile);
    m_FileName = FileName;
    if (ACol < 0 || ARow < 0) {
        Fail("negative table size");
        return false;
    }
    if (!m_fsDataFile.Open(FileName, TPosixFile::TMode::CreateTruncate)) {
        m_LastError = m_fsDataFile.LastError();
        return false;
    }
    m_dhHeader = {ACol, ARow, RecSize};
    if (!m_fsDataFile.WriteAt(0, &m_dhHeader, kHeaderSize)) {
        m_LastError = m_fsDataFile.LastError();
        m_fsDataFile.Close();
        m_dhHeader = {0, 0, 0};
        return false;
    }
    m_RowSizeable = ARow == 0;
    return true;
}

bool TFGStreamData::ColumnAdd(TFGColType ColType, int32_t ColSize, std::string_view ColName,
                              std::string_view ColCapt)
{
    std::lock_guard lock(m_csDataFile);
    if (!m_fsDataFile.IsOpen() || FixedLayout() ||
        static_cast<int64_t>(m_ColumnList.size()) >= m_dhHeader.ColCount)
        return false;
    TFGColumn col;
    col.type = ColType;
    col.width = ColType == fgcText ? ColSize : TypeWidth(ColType);
    if (ColType > fgcDouble || (ColType == fgcText && (ColSize < 1 || ColSize > kMaxTextWidth)))
        return false;
    col.name = std::string(ColName.substr(0, kMaxColumnNameLen));
    col.caption = std::string(ColCapt.substr(0, kMaxColumnNameLen));

    unsigned char desc[kColumnDescriptorSize] = {};
    desc[0] = ColType;
    std::memcpy(desc + 1, &col.width, 4);
    PutShortString(desc + 9, col.name);
    PutShortString(desc + 74, col.caption);
    const int64_t at = kHeaderSize + kColumnDescriptorSize * static_cast<int64_t>(m_ColumnList.size());
    if (!FlushLocked() || !m_fsDataFile.WriteAt(at, desc, kColumnDescriptorSize)) {
        m_LastError = m_fsDataFile.LastError();
        return false;
    }
    m_ColumnStart.push_back(m_RowWidth);
    m_RowWidth += col.width;
    m_ColumnList.push_back(std::move(col));
    return true;
}

bool TFGStreamData::OpenDataFile(const std::string& FileName, bool ReadOnly)
{
    CloseFile(m_RowSizeable);
    std::lock_guard lock(m_csDataFile);
    m_FileName = FileName;
    auto fail = [&](std::string why) {
        if (m_LastError.empty())
            Fail(std::move(why));
        m_fsDataFile.Close();
        m_ColumnList.clear();
        m_ColumnStart.clear();
        m_RowWidth = 0;
        m_dhHeader = {0, 0, 0};
        return false;
    };
    m_LastError.clear();
    if (!m_fsDataFile.Open(FileName, ReadOnly ? TPosixFile::TMode::Read
                                              : TPosixFile::TMode::ReadWrite)) {
        m_LastError = m_fsDataFile.LastError();
        return false;
    }
    const int64_t fileSize = m_fsDataFile.Size();
    TFGStreamDataHeader header{};
    if (fileSize < kHeaderSize || !m_fsDataFile.ReadExact(0, &header, kHeaderSize))
        return fail("not a table: shorter than its header");
    if (header.ColCount < 0 || header.RowCount < 0)
        return fail("corrupted table: negative counts");
    m_dhHeader = header;
    if (header.RecSize > 0)
        return true;

    const int64_t descBytes = kColumnDescriptorSize * header.ColCount;
    if (!FitsInFile(kHeaderSize, descBytes, fileSize))
        return fail("corrupted table: column descriptors past the end of the file");
    std::vector<unsigned char> raw(static_cast<size_t>(descBytes));
    if (descBytes > 0 && !m_fsDataFile.ReadExact(kHeaderSize, raw.data(), descBytes))
        return fail("cannot read the column descriptors");
    for (int32_t c = 0; c < header.ColCount; ++c) {
        const unsigned char* d = raw.data() + c * kColumnDescriptorSize;
        TFGColumn col;
        col.type = static_cast<TFGColType>(d[0]);
        std::memcpy(&col.width, d + 1, 4);
        const int32_t need = TypeWidth(col.type);
        if (d[0] > fgcDouble || col.width < 0 || (need != 0 && col.width != need) ||
            col.width > kMaxReadableTextWidth)
            return fail("corrupted table: bad descriptor of column " + std::to_string(c));
        col.name = GetShortString(d + 9);
        col.caption = GetShortString(d + 74);
        m_ColumnStart.push_back(m_RowWidth);
        m_RowWidth += col.width;
        m_ColumnList.push_back(std::move(col));
    }
    return true;
}

void TFGStreamData::RewriteHeader()
{
    if (m_fsDataFile.IsOpen())
        m_fsDataFile.WriteAt(0, &m_dhHeader, kHeaderSize);
}

void TFGStreamData::CloseFile(bool rewriteHeader)
{
    std::lock_guard lock(m_csDataFile);
    if (m_fsDataFile.IsOpen()) {
        FlushLocked();
        if (rewriteHeader)
            RewriteHeader();
    }
    m_fsDataFile.Close();
    DropReadWindow();
    m_ColumnList.clear();
    m_ColumnStart.clear();
    m_RowWidth = 0;
    m_dhHeader.ColCount = 0;
    m_dhHeader.RowCount = 0;
    m_RowSizeable = false;
    m_WriteBuf.clear();
    m_HasPending = false;
}

void TFGStreamData::CloseDataFile()
{
    CloseFile(m_RowSizeable);
}

// ---- columns and positions -----------------------------------------------------------------

bool TFGStreamData::ColumnInRange(int32_t ACol) const
{
    return ACol >= 0 && ACol < m_dhHeader.ColCount;
}

int32_t TFGStreamData::Width(int32_t ACol) const
{
    return FixedLayout() ? m_dhHeader.RecSize : m_ColumnList[ACol].width;
}

TFGColType TFGStreamData::ColumnGetType(int32_t ACol) const
{
    if (!ColumnInRange(ACol))
        return fgcNone;
    if (FixedLayout())
        return fgcText;
    return static_cast<size_t>(ACol) < m_ColumnList.size() ? m_ColumnList[ACol].type : fgcNone;
}

std::string TFGStreamData::ColumnGetCapt(int32_t ACol) const
{
    if (!ColumnInRange(ACol))
        return {};
    if (FixedLayout() || static_cast<size_t>(ACol) >= m_ColumnList.size())
        return std::to_string(ACol);
    return m_ColumnList[ACol].caption;
}

std::string TFGStreamData::ColumnGetName(int32_t ACol) const
{
    if (!ColumnInRange(ACol) || static_cast<size_t>(ACol) >= m_ColumnList.size())
        return {};
    return m_ColumnList[ACol].name;
}

int32_t TFGStreamData::ColumnGetWidth(int32_t ACol) const
{
    if (!ColumnInRange(ACol) || (!FixedLayout() && static_cast<size_t>(ACol) >= m_ColumnList.size()))
        return 0;
    return Width(ACol);
}

int32_t TFGStreamData::GetColByName(std::string_view name) const
{
    for (size_t i = 0; i < m_ColumnList.size(); ++i)
        if (EqualIgnoringAsciiCase(m_ColumnList[i].name, name))
            return static_cast<int32_t>(i);
    return -1;
}

int64_t TFGStreamData::CellPos(int32_t ACol, int32_t ARow) const
{
    if (!m_fsDataFile.IsOpen() || !ColumnInRange(ACol) || ARow < 0 || ARow >= m_dhHeader.RowCount)
        return -1;
    const int64_t rows = m_dhHeader.RowCount;
    if (FixedLayout())
        return kHeaderSize + (ARow + ACol * rows) * static_cast<int64_t>(m_dhHeader.RecSize);
    if (static_cast<size_t>(ACol) >= m_ColumnList.size())
        return -1; // the descriptor was never added
    const int64_t base = kHeaderSize + kColumnDescriptorSize * m_dhHeader.ColCount;
    if (m_dhHeader.RecSize == 0)
        return base + rows * m_ColumnStart[ACol] + ARow * static_cast<int64_t>(m_ColumnList[ACol].width);
    return base + ARow * m_RowWidth + m_ColumnStart[ACol];
}

bool TFGStreamData::TypeMatches(int32_t ACol, TFGColType need) const
{
    if (!m_fsDataFile.IsOpen() || !ColumnInRange(ACol))
        return false;
    if (FixedLayout())
        return need == fgcText;
    return static_cast<size_t>(ACol) < m_ColumnList.size() && m_ColumnList[ACol].type == need;
}

int64_t TFGStreamData::CheckedPos(int32_t ACol, int32_t ARow, TFGColType need) const
{
    return TypeMatches(ACol, need) ? CellPos(ACol, ARow) : -1;
}

// ---- reading -------------------------------------------------------------------------------

void TFGStreamData::FlushForRead() const
{
    if (m_HasPending.load(std::memory_order_acquire)) {
        std::lock_guard lock(m_csDataFile);
        const_cast<TFGStreamData*>(this)->FlushLocked();
    }
}

int64_t TFGStreamData::ReadCell(int64_t pos, void* dst, int64_t size) const
{
    FlushForRead();
    if (size > kReadWindow / 4)
        return m_fsDataFile.ReadAt(pos, dst, size);
    std::lock_guard lock(m_ReadLock);
    if (pos < m_ReadWinPos || pos + size > m_ReadWinPos + m_ReadWinLen) {
        m_ReadWin.resize(kReadWindow);
        m_ReadWinPos = pos;
        m_ReadWinLen = std::max<int64_t>(m_fsDataFile.ReadAt(pos, m_ReadWin.data(), kReadWindow), 0);
    }
    const int64_t n = std::clamp<int64_t>(m_ReadWinPos + m_ReadWinLen - pos, 0, size);
    std::memcpy(dst, m_ReadWin.data() + (pos - m_ReadWinPos), static_cast<size_t>(n));
    return n;
}

void TFGStreamData::DropReadWindow() const
{
    std::lock_guard lock(m_ReadLock);
    m_ReadWinLen = 0;
}

std::string TFGStreamData::GetDataAsText(int32_t ACol, int32_t ARow) const
{
    const int64_t pos = CheckedPos(ACol, ARow, fgcText);
    if (pos < 0)
        return {};
    // Read no more than the file holds: a hostile width must not become a huge allocation.
    const int64_t avail = m_fsDataFile.Size() - pos;
    const int64_t want = std::min<int64_t>(Width(ACol), avail);
    if (want <= 0)
        return {};
    std::string text(static_cast<size_t>(want), '\0');
    const int64_t n = ReadCell(pos, text.data(), want);
    text.resize(static_cast<size_t>(std::max<int64_t>(n, 0)));
    const size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return text;
}

template <class T> T TFGStreamData::ReadNumber(int32_t ACol, int32_t ARow, TFGColType need) const
{
    const int64_t pos = CheckedPos(ACol, ARow, need);
    if (pos < 0)
        return 0;
    T value{};
    return ReadCell(pos, &value, sizeof value) == sizeof value ? value : T{};
}

int32_t TFGStreamData::GetDataAsInt(int32_t ACol, int32_t ARow) const
{
    return ReadNumber<int32_t>(ACol, ARow, fgcInt);
}

float TFGStreamData::GetDataAsFloat(int32_t ACol, int32_t ARow) const
{
    return ReadNumber<float>(ACol, ARow, fgcFloat);
}

double TFGStreamData::GetDataAsDouble(int32_t ACol, int32_t ARow) const
{
    return ReadNumber<double>(ACol, ARow, fgcDouble);
}

template <class T>
bool TFGStreamData::ReadColumn(int32_t ACol, std::span<T> values, TFGColType need) const
{
    std::fill(values.begin(), values.end(), T{});
    const int64_t rows = std::min<int64_t>(static_cast<int64_t>(values.size()), m_dhHeader.RowCount);
    if (!TypeMatches(ACol, need))
        return false;
    if (rows == 0)
        return true;
    const int64_t first = CellPos(ACol, 0);
    if (first < 0)
        return false;
    if (m_dhHeader.RecSize == 0)
        return ReadColumnCells(ACol, 0, std::as_writable_bytes(values.first(rows)));
    for (int64_t r = 0; r < rows; ++r)
        if (ReadCell(CellPos(ACol, static_cast<int32_t>(r)), &values[r], sizeof(T)) < 0)
            return false;
    return true;
}

bool TFGStreamData::ReadColumnCells(int32_t ACol, int32_t firstRow, std::span<std::byte> dst) const
{
    if (dst.empty())
        return true;
    const int64_t pos = m_dhHeader.RecSize >= 0 ? CellPos(ACol, firstRow) : -1;
    if (pos < 0)
        return false;
    const int64_t n = ReadCell(pos, dst.data(), static_cast<int64_t>(dst.size()));
    if (n < 0)
        return false;
    std::fill(dst.begin() + n, dst.end(), std::byte{0});
    return true;
}

bool TFGStreamData::CellsFitInFile() const
{
    if (!m_fsDataFile.IsOpen())
        return false;
    const int64_t rows = m_dhHeader.RowCount;
    int64_t start = kHeaderSize;
    int64_t cells = 0;
    if (FixedLayout()) {
        cells = rows * m_dhHeader.ColCount * static_cast<int64_t>(m_dhHeader.RecSize);
    } else {
        if (static_cast<int64_t>(m_ColumnList.size()) != m_dhHeader.ColCount)
            return false;
        start += kColumnDescriptorSize * m_dhHeader.ColCount;
        cells = rows * m_RowWidth;
    }
    FlushForRead();
    return FitsInFile(start, cells, m_fsDataFile.Size());
}

bool TFGStreamData::GetColumnAsInt(int32_t ACol, std::span<int32_t> values) const
{
    return ReadColumn(ACol, values, fgcInt);
}

bool TFGStreamData::GetColumnAsFloat(int32_t ACol, std::span<float> values) const
{
    return ReadColumn(ACol, values, fgcFloat);
}

std::string TFGStreamData::GetDataVisible(int32_t ACol, int32_t ARow) const
{
    switch (ColumnGetType(ACol)) {
    case fgcText: return GetDataAsText(ACol, ARow);
    case fgcInt:
        return CellPos(ACol, ARow) < 0 ? std::string() : std::to_string(GetDataAsInt(ACol, ARow));
    case fgcFloat:
        return CellPos(ACol, ARow) < 0 ? std::string() : FormatCellNumber(GetDataAsFloat(ACol, ARow));
    case fgcDouble:
        return CellPos(ACol, ARow) < 0 ? std::string()
                                       : FormatCellNumber(GetDataAsDouble(ACol, ARow));
    default: return {};
    }
}

// ---- writing -------------------------------------------------------------------------------

bool TFGStreamData::GrowRows(int32_t ARow)
{
    if (ARow < 0)
        return false;
    if (m_RowSizeable && ARow >= m_dhHeader.RowCount) {
        // Positions of the column-major layout depend on the row count: flush at the old ones.
        if (!FlushLocked())
            return false;
        m_dhHeader.RowCount = ARow + 1;
    }
    return true;
}

bool TFGStreamData::FlushLocked()
{
    if (m_WriteBuf.empty())
        return true;
    DropReadWindow();
    const bool ok = m_fsDataFile.WriteAt(m_WriteBufPos, m_WriteBuf.data(),
                                         static_cast<int64_t>(m_WriteBuf.size()));
    if (!ok)
        m_LastError = m_fsDataFile.LastError();
    m_WriteBuf.clear();
    m_HasPending.store(false, std::memory_order_release);
    return ok;
}

bool TFGStreamData::Flush()
{
    std::lock_guard lock(m_csDataFile);
    return FlushLocked();
}

bool TFGStreamData::WriteCellLocked(int64_t pos, const void* data, int64_t size)
{
    const int64_t end = m_WriteBufPos + static_cast<int64_t>(m_WriteBuf.size());
    if (!m_WriteBuf.empty() && pos >= m_WriteBufPos && pos + size <= end) {
        std::memcpy(m_WriteBuf.data() + (pos - m_WriteBufPos), data, static_cast<size_t>(size));
        return true;
    }
    if (m_WriteBuf.empty() || pos != end || m_WriteBuf.size() + size > kWriteBufLimit) {
        if (!FlushLocked())
            return false;
        m_WriteBufPos = pos;
    }
    m_WriteBuf.append(static_cast<const char*>(data), static_cast<size_t>(size));
    m_HasPending.store(true, std::memory_order_release);
    return m_WriteBuf.size() < kWriteBufLimit || FlushLocked();
}

bool TFGStreamData::WriteData(int32_t ACol, int32_t ARow, std::string_view Data)
{
    std::lock_guard lock(m_csDataFile);
    if (!m_fsDataFile.IsOpen() || !GrowRows(ARow))
        return false;
    const int64_t pos = CheckedPos(ACol, ARow, fgcText);
    if (pos < 0)
        return false;
    const int64_t width = Width(ACol);
    const int64_t len = std::min<int64_t>(static_cast<int64_t>(Data.size()), width);
    if (len == width)
        return WriteCellLocked(pos, Data.data(), len);
    std::string cell(static_cast<size_t>(width), '\0');
    std::memcpy(cell.data(), Data.data(), static_cast<size_t>(len));
    return WriteCellLocked(pos, cell.data(), width);
}

template <class T>
bool TFGStreamData::WriteNumber(int32_t ACol, int32_t ARow, T value, TFGColType need)
{
    std::lock_guard lock(m_csDataFile);
    if (!m_fsDataFile.IsOpen() || !GrowRows(ARow))
        return false;
    const int64_t pos = CheckedPos(ACol, ARow, need);
    return pos >= 0 && WriteCellLocked(pos, &value, sizeof value);
}

bool TFGStreamData::WriteData(int32_t ACol, int32_t ARow, int32_t Data)
{
    return WriteNumber(ACol, ARow, Data, fgcInt);
}

bool TFGStreamData::WriteData(int32_t ACol, int32_t ARow, float Data)
{
    return WriteNumber(ACol, ARow, Data, fgcFloat);
}

bool TFGStreamData::WriteData(int32_t ACol, int32_t ARow, double Data)
{
    return WriteNumber(ACol, ARow, Data, fgcDouble);
}

bool TFGStreamData::WriteData(std::string_view ColName, int32_t ARow, std::string_view Data)
{
    const int32_t col = GetColByName(ColName);
    return col >= 0 && WriteData(col, ARow, Data);
}

bool TFGStreamData::WriteData(std::string_view ColName, int32_t ARow, int32_t Data)
{
    const int32_t col = GetColByName(ColName);
    return col >= 0 && WriteData(col, ARow, Data);
}

bool TFGStreamData::WriteData(std::string_view ColName, int32_t ARow, float Data)
{
    const int32_t col = GetColByName(ColName);
    return col >= 0 && WriteData(col, ARow, Data);
}

bool TFGStreamData::WriteData(std::string_view ColName, int32_t ARow, double Data)
{
    const int32_t col = GetColByName(ColName);
    return col >= 0 && WriteData(col, ARow, Data);
}

bool TFGStreamData::WriteColumnFloat(int32_t ACol, int32_t firstRow, std::span<const float> values)
{
    if (values.empty())
        return true;
    std::lock_guard lock(m_csDataFile);
    const int64_t lastRow = firstRow + static_cast<int64_t>(values.size()) - 1;
    if (!m_fsDataFile.IsOpen() || firstRow < 0 || lastRow > INT32_MAX ||
        !GrowRows(static_cast<int32_t>(lastRow)))
        return false;
    const int64_t first = CheckedPos(ACol, firstRow, fgcFloat);
    if (first < 0 || CellPos(ACol, static_cast<int32_t>(lastRow)) < 0)
        return false;
    DropReadWindow();
    if (m_dhHeader.RecSize == 0)
        return WriteColumnCellsLocked(ACol, firstRow, std::as_bytes(values));
    for (size_t i = 0; i < values.size(); ++i)
        if (!WriteCellLocked(CellPos(ACol, firstRow + static_cast<int32_t>(i)), &values[i], 4))
            return false;
    return true;
}

bool TFGStreamData::WriteColumnCells(int32_t ACol, int32_t firstRow,
                                     std::span<const std::byte> cells)
{
    std::lock_guard lock(m_csDataFile);
    return WriteColumnCellsLocked(ACol, firstRow, cells);
}

bool TFGStreamData::WriteColumnCellsLocked(int32_t ACol, int32_t firstRow,
                                           std::span<const std::byte> cells)
{
    if (cells.empty())
        return true;
    if (m_dhHeader.RecSize < 0 || !m_fsDataFile.IsOpen() || !ColumnInRange(ACol) ||
        (!FixedLayout() && static_cast<size_t>(ACol) >= m_ColumnList.size()))
        return false;
    const int64_t width = Width(ACol);
    const int64_t size = static_cast<int64_t>(cells.size());
    if (width <= 0 || size % width != 0 || firstRow < 0 ||
        firstRow + size / width > m_dhHeader.RowCount)
        return false;
    const int64_t first = CellPos(ACol, firstRow);
    if (first < 0 || !FlushLocked())
        return false;
    DropReadWindow();
    if (!m_fsDataFile.WriteAt(first, cells.data(), size)) {
        m_LastError = m_fsDataFile.LastError();
        return false;
    }
    return true;
}

} // namespace corvane
