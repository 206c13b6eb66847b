#include "grid/gridrows.h"

#include <filesystem>
#include <numeric>

namespace corvane {

bool TGridRows::SetDataFile(const std::string& FileName)
{
    m_FileStreamData.CloseDataFile();
    m_DataPresent = false;
    m_AllShown = false;
    m_RowsVisible = {};
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
    return m_AllShown ? Index : m_RowsVisible[static_cast<size_t>(Index)];
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
    case fgcFloat: return m_FileStreamData.GetDataAsFloat(ACol, row);
    case fgcDouble: return m_FileStreamData.GetDataAsDouble(ACol, row);
    default: return 0;
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
        m_RowsVisible.resize(static_cast<size_t>(TableRowCount()));
        std::iota(m_RowsVisible.begin(), m_RowsVisible.end(), 0);
        m_AllShown = false;
    }
    m_RowsVisible.erase(m_RowsVisible.begin() + Index);
}

void TGridRows::ResetAllRows()
{
    m_RowsVisible = {};
    m_AllShown = m_DataPresent;
}

} // namespace corvane
