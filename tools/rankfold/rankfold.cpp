#include "tools/rankfold/rankfold.h"

#include "platform/syncmessage.h"
#include "platform/userlocale.h"
#include "tools/rankfold/cellformat.h"
#include "tools/rankfold/rankfoldprotocol.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <span>
#include <thread>

namespace corvane {
namespace {

// Leading columns of the document-topic table before its first topic: the document number,
// the original text, the nick and twenty metadata fields.
constexpr int32_t kDocTableLeadColumns = 23;
constexpr int32_t kFrequencyWordWidth = 128;
// How many sorted positions ahead the formatting loop asks for words.
constexpr int64_t kPrefetchAhead = 8;

/// A whole decimal argument; anything else counts as 0.
int32_t ArgInt(const char* text)
{
    int32_t value = 0;
    return ParseInt32(text, value) ? value : 0;
}

/// The number at the start of a document-number cell; 0 when there is none.
int32_t LeadingInt(std::string_view text)
{
    int32_t value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    return res.ec == std::errc() ? value : 0;
}

} // namespace

int TRankFold::Run(int argc, const char* const* argv)
{
    if (argc - 1 < kRankfoldArgCount) {
        std::fputs("Invalid parameters.\n", m_Console);
        return kExitBadArguments;
    }
    m_Window = ArgInt(argv[kArgWindow]);
    const int32_t processors =
        static_cast<int32_t>(std::max(1u, std::thread::hardware_concurrency()));
    m_Threads = ArgInt(argv[kArgThreads]);
    if (m_Threads < 1 || m_Threads > processors)
        m_Threads = processors;
    std::fprintf(m_Console, "CPU kernels used: %d\n", m_Threads);
    const int32_t task = ArgInt(argv[kArgTask]);
    m_WordCol = ArgInt(argv[kArgWordCol]);
    m_FileOut = argv[kArgOutput];
    std::fprintf(m_Console, "Input file: %s\n", argv[kArgInput]);
    std::fprintf(m_Console, "Output file: %s\n", argv[kArgOutput]);
    m_Separator = UserDecimalSeparator();

    // Only column-major tables are sorted, and only when every cell they promise is in the file:
    // the buffers below are sized from the header.
    if (!m_Input.OpenDataFile(argv[kArgInput], true) || m_Input.HeaderInfo().RecSize != 0 ||
        !m_Input.CellsFitInFile()) {
        std::fputs("Can't open input file.\n", m_Console);
        return kExitInputUnreadable;
    }

    int code = 0;
    switch (task) {
    case kTaskWordsByTopic:
        code = SortWordsByTopic();
        break;
    case kTaskDocsByTopic:
        code = SortDocsByTopic();
        break;
    case kTaskFrequencies:
        code = SortFrequencies();
        break;
    default:
        break;
    }
    if (code != 0)
        return code;

    // The starter may open the output as soon as it hears of the end: close it first.
    m_Output.CloseDataFile();
    m_Input.CloseDataFile();
    std::fputs("\nCalculations completed.\n", m_Console);
    std::fflush(m_Console);
    SendProgress(kProgressFinished, 1);
    return 0;
}

std::vector<int32_t> TRankFold::ValueColumns() const
{
    std::vector<int32_t> columns;
    for (int32_t c = 0; c < m_Input.ColCount(); ++c)
        if (c != m_WordCol)
            columns.push_back(c);
    return columns;
}

bool TRankFold::ReadWordColumn(int32_t firstRow, int64_t rows, size_t maxLength)
{
    m_WordText.clear();
    m_WordStart.assign(1, 0);
    if (rows <= 0 || m_Input.ColumnGetType(m_WordCol) != fgcText)
        return true;
    const auto width = static_cast<size_t>(m_Input.ColumnGetWidth(m_WordCol));
    std::vector<char> cells(static_cast<size_t>(rows) * width);
    if (!m_Input.ReadColumnCells(m_WordCol, firstRow, std::as_writable_bytes(std::span(cells))))
        return false;
    // Packed end to end the words stay in cache while the sorted order jumps between them.
    m_WordStart.reserve(static_cast<size_t>(rows) + 1);
    for (int64_t r = 0; r < rows; ++r) {
        const char* cell = cells.data() + static_cast<size_t>(r) * width;
        m_WordText.insert(m_WordText.end(), cell, cell + strnlen(cell, std::min(width, maxLength)));
        m_WordStart.push_back(static_cast<int64_t>(m_WordText.size()));
    }
    return true;
}

void TRankFold::PrefetchWords(const TSortEntry* sorted, int64_t p, int64_t rows) const
{
    // Two steps: where a word starts, then (once that is in cache) the word itself.
    if (m_WordText.empty())
        return;
    if (p + 2 * kPrefetchAhead < rows)
        __builtin_prefetch(&m_WordStart[sorted[p + 2 * kPrefetchAhead].label]);
    if (p + kPrefetchAhead < rows)
        __builtin_prefetch(m_WordText.data() + m_WordStart[sorted[p + kPrefetchAhead].label]);
}

std::string_view TRankFold::Word(int64_t row) const
{
    if (row + 1 >= static_cast<int64_t>(m_WordStart.size()))
        return {};
    return {m_WordText.data() + m_WordStart[row],
            static_cast<size_t>(m_WordStart[row + 1] - m_WordStart[row])};
}

bool TRankFold::SortColumnValues(int32_t col, int32_t firstRow, int64_t rows,
                                 const std::vector<int32_t>* labels)
{
    m_Values.resize(static_cast<size_t>(rows));
    if (rows > 0 &&
        !m_Input.ReadColumnCells(col, firstRow, std::as_writable_bytes(std::span(m_Values))))
        return false;
    m_Entries.resize(static_cast<size_t>(rows));
    for (int64_t i = 0; i < rows; ++i)
        m_Entries[i] = {m_Values[i], labels ? (*labels)[i] : static_cast<int32_t>(i)};
    SortColumn(m_Entries, m_Sorted);
    return true;
}

int TRankFold::SortWordsByTopic()
{
    const int64_t rows = m_Input.RowCount();
    const std::vector<int32_t> columns = ValueColumns();
    const auto total = static_cast<int32_t>(columns.size());
    if (!m_Output.CreateNewDataFile(m_FileOut, total, static_cast<int32_t>(rows),
                                    static_cast<int32_t>(kSortedCellSize)))
        return Abort("Can't create output file.\n", kExitOutputNotCreated);
    if (!ReadWordColumn(0, rows, kSortedCellText))
        return Abort("Can't read input file.\n", kExitInputUnreadable);
    std::fprintf(m_Console, "Topics count: %d\n", total);

    m_Cells.resize(static_cast<size_t>(rows) * kSortedCellSize);
    char* cells = m_Cells.data();
    const char separator = m_Separator;
    for (int32_t k = 0; k < total; ++k) {
        if (!SortColumnValues(columns[k], 0, rows, nullptr))
            return Abort("Can't read input file.\n", kExitInputUnreadable);
        const TSortEntry* sorted = m_Sorted.data();
        // Largest value first: sorted position p goes to row rows - 1 - p. The words are read
        // in random order; ask for the next ones early.
#pragma omp parallel for num_threads(m_Threads) schedule(static)
        for (int64_t p = 0; p < rows; ++p) {
            PrefetchWords(sorted, p, rows);
            FormatWordCell(Word(sorted[p].label), sorted[p].value, separator,
                           cells + (rows - 1 - p) * kSortedCellSize);
        }
        if (!m_Output.WriteColumnCells(k, 0, std::as_bytes(std::span(m_Cells))))
            return Abort("Can't write output file.\n", kExitOutputNotCreated);
        ColumnDone(k + 1, total);
    }
    return 0;
}

int TRankFold::SortDocsByTopic()
{
    const int64_t rows = static_cast<int64_t>(m_Input.RowCount()) - 1;
    const int32_t total = m_Input.ColCount() - kDocTableLeadColumns;
    if (!m_Output.CreateNewDataFile(m_FileOut, total, static_cast<int32_t>(rows),
                                    static_cast<int32_t>(kSortedCellSize)))
        return Abort("Can't create output file.\n", kExitOutputNotCreated);
    // Row 0 holds no document: labels and values start at row 1.
    if (!ReadWordColumn(1, rows, SIZE_MAX))
        return Abort("Can't read input file.\n", kExitInputUnreadable);
    std::vector<int32_t> labels(static_cast<size_t>(rows));
    for (int64_t r = 0; r < rows; ++r)
        labels[r] = LeadingInt(Word(r));

    m_Cells.resize(static_cast<size_t>(rows) * kSortedCellSize);
    char* cells = m_Cells.data();
    const char separator = m_Separator;
    for (int32_t k = 0; k < total; ++k) {
        if (!SortColumnValues(kDocTableLeadColumns + k, 1, rows, &labels))
            return Abort("Can't read input file.\n", kExitInputUnreadable);
        const TSortEntry* sorted = m_Sorted.data();
#pragma omp parallel for num_threads(m_Threads) schedule(static)
        for (int64_t p = 0; p < rows; ++p)
            FormatNumberCell(sorted[p].label, sorted[p].value, separator,
                             cells + (rows - 1 - p) * kSortedCellSize);
        if (!m_Output.WriteColumnCells(k, 0, std::as_bytes(std::span(m_Cells))))
            return Abort("Can't write output file.\n", kExitOutputNotCreated);
        ColumnDone(k + 1, total);
    }
    return 0;
}

int TRankFold::SortFrequencies()
{
    const int64_t rows = m_Input.RowCount();
    const std::vector<int32_t> columns = ValueColumns();
    const auto total = static_cast<int32_t>(columns.size());
    if (!m_Output.CreateNewDataFile(m_FileOut, 2, static_cast<int32_t>(rows), 0) ||
        !m_Output.ColumnAdd(fgcText, kFrequencyWordWidth, "Col_Word", "Word") ||
        !m_Output.ColumnAdd(fgcFloat, 4, "Col_Freq", "Freq"))
        return Abort("Can't create output file.\n", kExitOutputNotCreated);
    if (!ReadWordColumn(0, rows, kFrequencyWordWidth))
        return Abort("Can't read input file.\n", kExitInputUnreadable);

    for (int32_t k = 0; k < total; ++k) {
        if (!SortColumnValues(columns[k], 0, rows, nullptr))
            return Abort("Can't read input file.\n", kExitInputUnreadable);
        std::fputs("Write to file...\n", m_Console);
        // Smallest value first; each column's sort replaces the whole output.
        bool written = true;
        for (int64_t r = 0; r < rows && written; ++r)
            written = m_Output.WriteData(0, static_cast<int32_t>(r), Word(m_Sorted[r].label));
        for (int64_t r = 0; r < rows && written; ++r)
            written = m_Output.WriteData(1, static_cast<int32_t>(r), m_Sorted[r].value);
        if (!written || !m_Output.Flush())
            return Abort("Can't write output file.\n", kExitOutputNotCreated);
        ColumnDone(k + 1, total);
    }
    return 0;
}

void TRankFold::ColumnDone(int64_t done, int64_t total)
{
    SendProgress(kProgressColumnDone, 100 * done / total);
    std::fprintf(m_Console, "Topic done: %d\r", static_cast<int>(done));
    std::fflush(m_Console);
}

void TRankFold::SendProgress(int64_t wParam, int64_t lParam)
{
    // A starter that is gone (or a number that is no socket) ends the messages, not the run.
    if (m_Window > 0 && !SendSyncMessage(m_Window, {kMsgSortProgress, wParam, lParam}))
        m_Window = 0;
}

int TRankFold::Abort(const char* message, int code)
{
    // Leave no table whose header promises cells it lacks.
    if (m_Output.IsOpen()) {
        m_Output.CloseDataFile();
        std::remove(m_FileOut.c_str());
    }
    std::fputs(message, m_Console);
    return code;
}

} // namespace corvane
