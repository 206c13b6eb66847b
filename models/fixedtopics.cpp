#include "models/fixedtopics.h"

#include "container/crc32unit.h"
#include "models/wordidindex.h"
#include "platform/appdirs.h"
#include "platform/userlocale.h"
#include "tables/fgstreamdata.h"

#include <climits>
#include <fstream>
#include <iterator>
#include <string_view>

namespace corvane {
namespace {

constexpr int32_t kWordWidth = 60;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsSeparator(char c)
{
    return IsBlank(c) || c == '"' || c == ';';
}

/// Splits one CSV line into a word and five integers.
bool ParseLine(std::string_view line, TFixedTopicsRow& row, std::string& error)
{
    size_t pos = 0;
    while (pos < line.size() && (IsBlank(line[pos]) || line[pos] == ';'))
        ++pos;
    if (pos < line.size() && line[pos] == '"') {
        const size_t close = line.find('"', pos + 1);
        const size_t end = close == std::string_view::npos ? line.size() : close;
        row.word = line.substr(pos + 1, end - pos - 1);
        pos = end;
    } else {
        const size_t start = pos;
        while (pos < line.size() && !IsSeparator(line[pos]))
            ++pos;
        row.word = line.substr(start, pos - start);
    }
    for (int32_t& topic : row.topics) {
        while (pos < line.size() && IsSeparator(line[pos]))
            ++pos;
        const size_t start = pos;
        while (pos < line.size() && !IsSeparator(line[pos]))
            ++pos;
        const std::string_view field = line.substr(start, pos - start);
        if (!ParseInt32(field, topic)) {
            error = "'" + std::string(field) + "' is not a valid integer value";
            return false;
        }
    }
    return true;
}

} // namespace

std::string FixedTopicsFileName()
{
    return JoinPath(SettingsDir(), "islda.bin");
}

bool WriteFixedTopicsTable(const std::string& tableName, const std::vector<TFixedTopicsRow>& rows,
                           std::string& error)
{
    const auto count = static_cast<int32_t>(rows.size());
    TFGStreamData table;
    bool ok = table.CreateNewDataFile(tableName, 1 + kFixedTopicSlots, count, 0) &&
              table.ColumnAdd(fgcText, kWordWidth, "Col_Word", "Word");
    for (int i = 1; ok && i <= kFixedTopicSlots; ++i)
        ok = table.ColumnAdd(fgcInt, 4, "Col_Topic" + std::to_string(i),
                             "Topic" + std::to_string(i));
    for (int32_t r = 0; ok && r < count; ++r)
        ok = table.WriteData(0, r, std::string_view(rows[r].word));
    std::vector<int32_t> column(rows.size());
    for (int i = 0; ok && i < kFixedTopicSlots; ++i) {
        for (int32_t r = 0; r < count; ++r)
            column[r] = rows[r].topics[i];
        ok = table.WriteColumnCells(1 + i, 0, std::as_bytes(std::span(column)));
    }
    ok = ok && table.Flush();
    if (!ok)
        error = table.LastError();
    return ok;
}

bool CreateFixedTopicsTable(const std::string& tableName, const TWordAndFreqArray& wordmap,
                            std::string& error)
{
    std::vector<TFixedTopicsRow> rows(wordmap.size());
    for (size_t i = 0; i < wordmap.size(); ++i)
        rows[i].word = WordOf(wordmap[i]);
    return WriteFixedTopicsTable(tableName, rows, error);
}

bool ReadFixedTopicsTable(const std::string& tableName, std::vector<TFixedTopicsRow>& rows,
                          std::string& error)
{
    rows.clear();
    TFGStreamData table;
    if (!table.OpenDataFile(tableName, true)) {
        error = table.LastError();
        return false;
    }
    if (table.ColCount() < 1 + kFixedTopicSlots || table.ColumnGetType(0) != fgcText ||
        !table.CellsFitInFile()) {
        error = tableName + ": not a fixed-topics table";
        return false;
    }
    rows.resize(static_cast<size_t>(table.RowCount()));
    std::vector<int32_t> column(rows.size());
    for (int i = 0; i < kFixedTopicSlots; ++i) {
        if (!table.GetColumnAsInt(1 + i, column)) {
            error = tableName + ": not a fixed-topics table";
            rows.clear();
            return false;
        }
        for (size_t r = 0; r < rows.size(); ++r)
            rows[r].topics[i] = column[r];
    }
    for (size_t r = 0; r < rows.size(); ++r)
        rows[r].word = table.GetDataAsText(0, static_cast<int32_t>(r));
    return true;
}

bool ExportFixedTopicsCsv(const std::string& tableName, const std::string& csvName,
                          std::string& error)
{
    std::vector<TFixedTopicsRow> rows;
    if (!ReadFixedTopicsTable(tableName, rows, error))
        return false;
    std::string text = "\"Word\";";
    for (int i = 1; i <= kFixedTopicSlots; ++i)
        text += "\"Topic " + std::to_string(i) + "\";";
    text += "\r\n";
    for (const auto& row : rows) {
        text += '"' + row.word + "\";";
        for (int32_t topic : row.topics)
            text += '"' + std::to_string(topic) + "\";";
        text += "\r\n";
    }
    std::ofstream out(csvName, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        error = csvName + ": cannot write the file";
        return false;
    }
    return true;
}

bool ParseFixedTopicsCsv(const std::string& csvName, std::vector<TFixedTopicsRow>& rows,
                         std::string& error)
{
    rows.clear();
    std::ifstream in(csvName, std::ios::binary);
    if (!in) {
        error = csvName + ": cannot open the file";
        return false;
    }
    const std::string text(std::istreambuf_iterator<char>(in), {});
    size_t pos = text.find('\n'); // the header line
    while (pos != std::string::npos && pos + 1 < text.size()) {
        const size_t start = pos + 1;
        pos = text.find('\n', start);
        std::string_view line(text.data() + start,
                              (pos == std::string::npos ? text.size() : pos) - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        TFixedTopicsRow row;
        if (!ParseLine(line, row, error)) {
            rows.clear();
            return false;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

bool LoadFixedTopicsCsv(const std::string& csvName, const std::string& tableName,
                        std::string& error)
{
    std::vector<TFixedTopicsRow> rows;
    return ParseFixedTopicsCsv(csvName, rows, error) &&
           WriteFixedTopicsTable(tableName, rows, error);
}

std::vector<TFixedTopics> ReadFixedTopics(const std::string& tableName,
                                          const TWordAndFreqArray& wordmap)
{
    std::vector<TFixedTopicsRow> rows;
    std::string error;
    if (!ReadFixedTopicsTable(tableName, rows, error))
        return {};
    const TWordIdIndex index(wordmap);
    std::vector<TFixedTopics> fixed;
    for (const auto& row : rows) {
        TFixedTopics record{};
        bool any = false;
        for (int i = 0; i < kFixedTopicSlots; ++i) {
            // 1-based to 0-based; the lowest int stays put instead of overflowing.
            record.topics[i] = row.topics[i] - (row.topics[i] > INT32_MIN ? 1 : 0);
            any = any || record.topics[i] >= 0;
        }
        if (!any)
            continue;
        record.word = index.Find(WordId(row.word));
        if (record.word >= 0)
            fixed.push_back(record);
    }
    return fixed;
}

} // namespace corvane
