#include "grid/gridrows.h"

#include <bit>
#include <filesystem>

namespace corvane {

bool TGridRows::SetDataFile(const std::string& FileName)
{
    m_FileStreamData.CloseDataFile();
    m_DataPresent = false;
    m_AllShown = false;
    m_RowsVisible = {};
    m_ShownCount = 0;
    std::error_code ec;
    if (FileName.empty() || !std::filesystem::is_regular_file(FileName, ec))
        return false;
    if (!m_FileStreamData.OpenDataFile(FileName, true))
        return false;
    m_DataPresent = true;
    ResetAllRows();
    return true;
}

int32_t TGridRows::TableColCount() const
{
    return m_DataPresent ? m_FileStreamData.ColCount() : 0;
}

int32_t TGridRows::TableRowCount() const
{
    return m_DataPresent ? m_FileStreamData.RowCount() : 0;
}

std::string TGridRows::ColumnCaption(int32_t ACol) const
{
    return m_DataPresent ? m_FileStreamData.ColumnGetCapt(ACol) : std::string();
}

int32_t TGridRows::TableRow(int32_t Index) const
{
    if (Index < 0 || Index >= ShownRowCount())
        return -1;
    if (m_AllShown)
        return Index;
    // Descend the tree: the largest position whose running count stays below Index + 1 is the
    // table row just before the one wanted (positions are 1-based, rows 0-based).
    const auto size = static_cast<int32_t>(m_RowsVisible.size()) - 1;
    int32_t pos = 0;
    int32_t rest = Index + 1;
    for (int32_t step = std::bit_floor(static_cast<uint32_t>(size)); step > 0; step >>= 1) {
        const int32_t next = pos + step;
        if (next <= size && m_RowsVisible[static_cast<size_t>(next)] < rest) {
            pos = next;
            rest -= m_RowsVisible[static_cast<size_t>(next)];
        }
    }
    return pos;
}

std::string TGridRows::GetData(int32_t ACol, int32_t ARow) const
{
    if (!m_DataPresent || ACol < 0 || ACol >= TableColCount() || ARow < 0 ||
        ARow >= ShownRowCount())
        return {};
    return m_FileStreamData.GetDataVisible(ACol, ARow);
}

std::string TGridRows::GetDataVisible(int32_t ACol, int32_t Index) const
{
    const int32_t row = TableRow(Index);
    if (!m_DataPresent || row < 0 || ACol < 0 || ACol >= TableColCount())
        return {};
    return m_FileStreamData.GetDataVisible(ACol, row);
}

double TGridRows::GetDataVisibleAsDouble(int32_t ACol, int32_t Index) const
{
    const int32_t row = TableRow(Index);
    if (!m_DataPresent || row < 0)
        return 0;
    switch (m_FileStreamData.ColumnGetType(ACol)) {
    case fgcFloat:
        return m_FileStreamData.GetDataAsFloat(ACol, row);
    case fgcDouble:
        return m_FileStreamData.GetDataAsDouble(ACol, row);
    default:
        return 0;
    }
}

int32_t TGridRows::FindShownRow(int32_t ACol, std::string_view text) const
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    for (int32_t i = 0; i < ShownRowCount(); ++i) {
        const std::string cell = GetDataVisible(ACol, i);
        std::string_view v(cell);
        while (!v.empty() && blank(v.front()))
            v.remove_prefix(1);
        while (!v.empty() && blank(v.back()))
            v.remove_suffix(1);
        if (v == text)
            return i;
    }
    return -1;
}

void TGridRows::HideRow(int32_t Index)
{
    if (Index < 0 || Index >= ShownRowCount())
        return;
    if (m_AllShown) {
        // Every flag is 1, so each node counts the rows it covers: its position's lowest bit.
        const int32_t rows = TableRowCount();
        m_RowsVisible.resize(static_cast<size_t>(rows) + 1);
        m_RowsVisible[0] = 0;
        for (int32_t i = 1; i <= rows; ++i)
            m_RowsVisible[static_cast<size_t>(i)] = i & -i;
        m_ShownCount = rows;
        m_AllShown = false;
    }
    const auto size = static_cast<int32_t>(m_RowsVisible.size()) - 1;
    for (int32_t pos = TableRow(Index) + 1; pos <= size; pos += pos & -pos)
        --m_RowsVisible[static_cast<size_t>(pos)];
    --m_ShownCount;
}

void TGridRows::ResetAllRows()
{
    m_RowsVisible = {};
    m_ShownCount = 0;
    m_AllShown = m_DataPresent;
}

} // namespace corvane
