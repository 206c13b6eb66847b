#pragma once

#include "tables/fgstreamdata.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

/// The table file a grid shows and the list of its shown rows. Cells are read from the file on
/// every request and never cached.
class TGridRows
{
public:
    /// Closes the current table and clears the shown rows; opens `FileName` read-only when it is
    /// not empty. On success every table row is shown, in table order.
    bool SetDataFile(const std::string& FileName);
    bool DataPresent() const { return m_DataPresent; }

    /// Columns and rows of the attached table (0 without one).
    int32_t TableColCount() const;
    int32_t TableRowCount() const;
    std::string ColumnCaption(int32_t ACol) const;

    int32_t ShownRowCount() const { return m_AllShown ? TableRowCount() : m_ShownCount; }
    /// The table row that shown row `Index` displays, -1 when out of range.
    int32_t TableRow(int32_t Index) const;

    /// The text form of table cell (ACol, ARow), addressed by table row; empty when ACol is not a
    /// table column or ARow is not below the number of shown rows.
    std::string GetData(int32_t ACol, int32_t ARow) const;
    std::string GetDataVisible(int32_t ACol, int32_t Index) const;
    /// The value of a float or double cell of shown row `Index`; 0 for other types or out of range.
    double GetDataVisibleAsDouble(int32_t ACol, int32_t Index) const;

    /// The first shown row whose cell in column `ACol`, without leading and trailing blanks and
    /// control characters, equals `text` exactly; -1 when none does.
    int32_t FindShownRow(int32_t ACol, std::string_view text) const;

    /// Removes shown row `Index` from the list (in logarithmic time, so a filter can hide rows of
    /// a long table one by one); out-of-range indexes are ignored.
    void HideRow(int32_t Index);
    /// Shows every table row again, in table order.
    void ResetAllRows();

    const TFGStreamData& Table() const { return m_FileStreamData; }

private:
    TFGStreamData m_FileStreamData;
    bool m_DataPresent = false;
    // Until a row is hidden every table row shows in table order, and the list is not built:
    // attaching a table of millions of rows costs nothing.
    bool m_AllShown = false;
    // The shown rows as a Fenwick tree over one flag per table row (1 = shown): shown row i is
    // the table row where the running count of flags reaches i + 1. Both finding and hiding a
    // row take log(rows) steps, where a plain list of row numbers would move the whole tail.
    std::vector<int32_t> m_RowsVisible;
    int32_t m_ShownCount = 0;
};

} // namespace corvane
