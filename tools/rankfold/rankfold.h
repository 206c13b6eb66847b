#pragma once

#include "tables/fgstreamdata.h"
#include "tools/rankfold/columnsort.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

/// One run of the sorting program: sorts every value column of a column table file and writes
/// the sorted lists as a new table, reporting on its console and to the program that started it.
class TRankFold
{
public:
    explicit TRankFold(std::FILE* console = stdout) : m_Console(console) {}

    /// Runs with the program's arguments; returns the exit code (0, -1, -3 or -4).
    int Run(int argc, const char* const* argv);

private:
    int SortWordsByTopic();
    int SortDocsByTopic();
    int SortFrequencies();

    /// The value columns of tasks 0 and 2: every column but the word column.
    std::vector<int32_t> ValueColumns() const;
    /// Reads `rows` words (each up to its first zero byte, at most `maxLength` bytes) from
    /// `firstRow` on. No words when the word column is not a text column; false on a read error.
    bool ReadWordColumn(int32_t firstRow, int64_t rows, size_t maxLength);
    std::string_view Word(int64_t row) const;
    /// Asks for the words of sorted positions a little after `p` before the loop needs them.
    void PrefetchWords(const TSortEntry* sorted, int64_t p, int64_t rows) const;
    /// Reads `rows` values of a column from `firstRow` on and sorts them into m_Sorted.
    bool SortColumnValues(int32_t col, int32_t firstRow, int64_t rows,
                          const std::vector<int32_t>* labels);
    void ColumnDone(int64_t done, int64_t total);
    /// Prints `message`, removes a half-written output and returns `code`.
    int Abort(const char* message, int code);
    void SendProgress(int64_t wParam, int64_t lParam);

    std::FILE* m_Console;
    int32_t m_Threads = 1;
    int32_t m_WordCol = 0;
    int m_Window = 0;
    char m_Separator = '.';
    std::string m_FileOut;
    TFGStreamData m_Input;
    TFGStreamData m_Output;

    // One column at a time: its values, their sorted order, the word column, the output cells.
    std::vector<float> m_Values;
    std::vector<TSortEntry> m_Entries;
    std::vector<TSortEntry> m_Sorted;
    std::vector<char> m_WordText;     // the words end to end
    std::vector<int64_t> m_WordStart; // where word r starts; one more entry marks the end
    std::vector<char> m_Cells;
};

} // namespace corvane
