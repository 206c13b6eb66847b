#pragma once

#include "platform/posixfile.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

enum TFGColType : uint8_t { fgcNone = 0, fgcText = 1, fgcInt = 2, fgcFloat = 3, fgcDouble = 4 };

#pragma pack(push, 1)
/// The 12 bytes at the start of every table file.
struct TFGStreamDataHeader
{
    int32_t ColCount;
    int32_t RowCount;
    int32_t RecSize; // > 0 fixed-record layout (cell width), 0 column-major, < 0 row-major
};
#pragma pack(pop)
static_assert(sizeof(TFGStreamDataHeader) == 12);

constexpr int64_t kColumnDescriptorSize = 139;
constexpr int32_t kMaxTextWidth = 4096;
constexpr size_t kMaxColumnNameLen = 64;

/// One column descriptor as held in memory.
struct TFGColumn
{
    TFGColType type = fgcNone;
    int32_t width = 0;
    std::string name;
    std::string caption;
};

/// A column table file: a header, column descriptors and fixed-width cells, read and written cell
/// by cell on the file itself (no cell cache: a buffer merges consecutive writes and a 64 KiB window
/// serves neighbouring reads).
/// No operation throws: failures give false, empty text or 0.
///
/// Writes from several threads are serialised by the object's lock; reads take no lock and may
/// run concurrently with each other, not with writes.
class TFGStreamData
{
public:
    TFGStreamData();
    ~TFGStreamData();
    TFGStreamData(const TFGStreamData&) = delete;
    TFGStreamData& operator=(const TFGStreamData&) = delete;

    bool CreateNewDataFile(const std::string& FileName, int32_t ACol, int32_t ARow,
                           int32_t RecSize);
    bool ColumnAdd(TFGColType ColType, int32_t ColSize, std::string_view ColName,
                   std::string_view ColCapt);
    bool OpenDataFile(const std::string& FileName, bool ReadOnly);
    /// Closes the file. A growable table gets its final row count written first, so its cells
    /// stay readable after an explicit close.
    void CloseDataFile();
    bool IsOpen() const { return m_fsDataFile.IsOpen(); }

    const TFGStreamDataHeader& HeaderInfo() const { return m_dhHeader; }
    int32_t ColCount() const { return m_dhHeader.ColCount; }
    int32_t RowCount() const { return m_dhHeader.RowCount; }

    TFGColType ColumnGetType(int32_t ACol) const;
    std::string ColumnGetCapt(int32_t ACol) const;
    std::string ColumnGetName(int32_t ACol) const;
    int32_t ColumnGetWidth(int32_t ACol) const;
    int32_t GetColByName(std::string_view name) const;

    std::string GetDataAsText(int32_t ACol, int32_t ARow) const;
    int32_t GetDataAsInt(int32_t ACol, int32_t ARow) const;
    float GetDataAsFloat(int32_t ACol, int32_t ARow) const;
    double GetDataAsDouble(int32_t ACol, int32_t ARow) const;
    /// Fills `values` from row 0 on (at most RowCount values; the rest become 0): one read in the
    /// column-major layout, one per row in the row-major one.
    bool GetColumnAsInt(int32_t ACol, std::span<int32_t> values) const;
    bool GetColumnAsFloat(int32_t ACol, std::span<float> values) const;
    /// Reads `dst.size()` bytes from the start of cell (ACol, firstRow) on with one read, whatever
    /// the column's type, in a layout that keeps a column's cells side by side (fixed-record,
    /// column-major). Bytes past the end of the file read as zero.
    bool ReadColumnCells(int32_t ACol, int32_t firstRow, std::span<std::byte> dst) const;
    /// True when every cell that the header and the descriptors promise lies inside the file.
    bool CellsFitInFile() const;

    bool WriteData(int32_t ACol, int32_t ARow, std::string_view Data);
    bool WriteData(int32_t ACol, int32_t ARow, int32_t Data);
    bool WriteData(int32_t ACol, int32_t ARow, float Data);
    bool WriteData(int32_t ACol, int32_t ARow, double Data);
    bool WriteData(std::string_view ColName, int32_t ARow, std::string_view Data);
    bool WriteData(std::string_view ColName, int32_t ARow, int32_t Data);
    bool WriteData(std::string_view ColName, int32_t ARow, float Data);
    bool WriteData(std::string_view ColName, int32_t ARow, double Data);
    /// Writes `values` into rows `firstRow`.. of a float column with one write when the layout
    /// keeps them side by side (column-major), cell by cell otherwise.
    bool WriteColumnFloat(int32_t ACol, int32_t firstRow, std::span<const float> values);
    /// Writes whole cells, already encoded at the column's width, into rows `firstRow`.. of
    /// column ACol with one write (fixed-record and column-major layouts; rows must exist).
    bool WriteColumnCells(int32_t ACol, int32_t firstRow, std::span<const std::byte> cells);

    /// The cell's text form: text as stored, integers in decimal, floating values with five
    /// decimals and the user's decimal separator. Empty when out of range.
    std::string GetDataVisible(int32_t ACol, int32_t ARow) const;

    /// Byte position of cell (ACol, ARow) by the header, -1 when out of range.
    int64_t CellOffset(int32_t ACol, int32_t ARow) const { return CellPos(ACol, ARow); }
    /// The file's size in bytes (cells past it read as empty / 0).
    int64_t FileSize() const { return m_fsDataFile.Size(); }

    /// Writes buffered cells to the file.
    bool Flush();
    const std::string& FileName() const { return m_FileName; }
    std::string LastError() const;

private:
    bool FixedLayout() const { return m_dhHeader.RecSize > 0; }
    bool ColumnInRange(int32_t ACol) const;
    int32_t Width(int32_t ACol) const;
    /// Byte position of cell (ACol, ARow), or -1 when out of range.
    int64_t CellPos(int32_t ACol, int32_t ARow) const;
    bool TypeMatches(int32_t ACol, TFGColType need) const;
    int64_t CheckedPos(int32_t ACol, int32_t ARow, TFGColType need) const;
    template <class T> T ReadNumber(int32_t ACol, int32_t ARow, TFGColType need) const;
    template <class T> bool ReadColumn(int32_t ACol, std::span<T> values, TFGColType need) const;
    template <class T> bool WriteNumber(int32_t ACol, int32_t ARow, T value, TFGColType need);
    bool WriteCellLocked(int64_t pos, const void* data, int64_t size);
    bool WriteColumnCellsLocked(int32_t ACol, int32_t firstRow, std::span<const std::byte> cells);
    bool FlushLocked();
    void FlushForRead() const;
    /// Reads through a small window so that neighbouring cells cost one system call.
    int64_t ReadCell(int64_t pos, void* dst, int64_t size) const;
    void DropReadWindow() const;
    bool GrowRows(int32_t ARow);
    void RewriteHeader();
    void CloseFile(bool rewriteHeader);
    void Fail(std::string message) const;

    TFGStreamDataHeader m_dhHeader{0, 0, 0};
    TPosixFile m_fsDataFile;
    std::vector<TFGColumn> m_ColumnList;
    std::vector<int64_t> m_ColumnStart; // sum of the widths of the columns before each one
    int64_t m_RowWidth = 0;             // sum of all widths
    std::vector<char> m_stail;
    bool m_RowSizeable = false;
    mutable std::mutex m_csDataFile;
    std::string m_FileName;
    mutable std::string m_LastError;

    // Consecutive cell writes collect here and reach the file in one write.
    mutable std::string m_WriteBuf;
    mutable int64_t m_WriteBufPos = 0;
    mutable std::atomic<bool> m_HasPending{false};

    mutable std::mutex m_ReadLock; // guards the read window; taken after m_csDataFile, never before
    mutable std::vector<char> m_ReadWin;
    mutable int64_t m_ReadWinPos = 0;
    mutable int64_t m_ReadWinLen = 0;
};

} // namespace corvane
