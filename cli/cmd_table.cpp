// Inspection of a column table file.
#include "cli/args.h"
#include "cli/commands.h"
#include "platform/codepage.h"
#include "tables/fgstreamdata.h"

#include <iostream>

namespace corvane::cli {
namespace {

const char* TypeName(TFGColType type)
{
    switch (type) {
    case fgcText: return "text";
    case fgcInt: return "int";
    case fgcFloat: return "float";
    case fgcDouble: return "double";
    default: return "none";
    }
}

const char* LayoutName(int32_t recSize)
{
    return recSize > 0 ? "fixed-record" : recSize == 0 ? "column-major" : "row-major";
}

std::string CsvCell(const std::string& text)
{
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\";";
}

} // namespace

int RunTable(const std::vector<std::string>& argv)
{
    TArgs args(argv, {"from", "count"}, {"csv"});
    const std::string& path = args.Required(0, "table file");
    args.ExpectPositional(1);
    TFGStreamData table;
    if (!table.OpenDataFile(path, true))
        throw TCliError("cannot open table " + table.LastError());
    const auto& h = table.HeaderInfo();
    const bool csv = args.Has("csv");
    // Show only the columns and rows whose first cell lies in the file: a header may claim more
    // (a table cut short, or a file that is no table at all).
    const int64_t fileSize = table.FileSize();
    int32_t cols = 0;
    while (cols < h.ColCount && table.CellOffset(cols, 0) >= 0 && table.CellOffset(cols, 0) < fileSize)
        ++cols;
    int64_t rows = h.RowCount;
    if (cols > 0) {
        int64_t lo = 0, hi = h.RowCount; // rows [0, lo) start inside the file
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo + 1) / 2;
            if (table.CellOffset(0, static_cast<int32_t>(mid - 1)) < fileSize)
                lo = mid;
            else
                hi = mid - 1;
        }
        rows = lo;
    } else {
        rows = 0;
    }
    if (cols < h.ColCount || rows < h.RowCount)
        std::cerr << "corvane-cli table: the file holds cells of " << cols << " of " << h.ColCount
                  << " columns and " << rows << " of " << h.RowCount << " rows\n";
    const int32_t from = std::max(0, args.GetInt("from", 0));
    const int64_t to = std::min<int64_t>(rows, int64_t(from) + std::max(0, args.GetInt("count", h.RowCount)));

    if (!csv) {
        std::cout << "columns: " << h.ColCount << "  rows: " << h.RowCount
                  << "  RecSize: " << h.RecSize << " (" << LayoutName(h.RecSize) << ")\n";
        for (int32_t c = 0; c < cols; ++c)
            std::cout << "column " << c << ": " << TypeName(table.ColumnGetType(c)) << " width "
                      << table.ColumnGetWidth(c) << " name \""
                      << Cp1251ToUtf8(table.ColumnGetName(c)) << "\" caption \""
                      << Cp1251ToUtf8(table.ColumnGetCapt(c)) << "\"\n";
    }
    std::string line;
    for (int32_t c = 0; c < cols; ++c)
        line += csv ? CsvCell(Cp1251ToUtf8(table.ColumnGetCapt(c)))
                    : (c ? "\t" : "") + Cp1251ToUtf8(table.ColumnGetCapt(c));
    std::cout << line << "\n";
    for (int64_t r = from; r < to; ++r) {
        line.clear();
        for (int32_t c = 0; c < cols; ++c) {
            const std::string cell = Cp1251ToUtf8(table.GetDataVisible(c, static_cast<int32_t>(r)));
            line += csv ? CsvCell(cell) : (c ? "\t" : "") + cell;
        }
        std::cout << line << "\n";
    }
    return 0;
}

} // namespace corvane::cli
