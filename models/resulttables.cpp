#include "models/resulttables.h"

#include "container/metablock.h"
#include "platform/codepage.h"
#include "tables/fgstreamdata.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <span>
#include <vector>

namespace corvane {
namespace {

constexpr int32_t kIdWidth = 16;
constexpr int32_t kTextWidth = 64;
// Rows of text cells built in memory before they are written, column by column.
constexpr int32_t kTextBlockRows = 4096;
// Topic columns gathered per pass over the engine's rows, so each row is read in short runs.
constexpr int32_t kTopicGroup = 16;

/// A block of text cells of one column, zero-padded to the column's width.
class TTextCells
{
public:
    explicit TTextCells(int32_t width) : m_Width(width) {}

    void Reset(int32_t rows) { m_Cells.assign(static_cast<size_t>(rows) * m_Width, std::byte{0}); }

    void Set(int32_t row, std::string_view text)
    {
        const size_t len = std::min(text.size(), static_cast<size_t>(m_Width));
        std::memcpy(m_Cells.data() + static_cast<size_t>(row) * m_Width, text.data(), len);
    }

    void Write(TFGStreamData& table, int32_t col, int32_t firstRow) const
    {
        table.WriteColumnCells(col, firstRow, m_Cells);
    }

private:
    int32_t m_Width;
    std::vector<std::byte> m_Cells;
};

void AddTopicColumns(TFGStreamData& table, int32_t K)
{
    for (int32_t k = 1; k <= K; ++k)
        table.ColumnAdd(fgcFloat, 4, "Col_Topic" + std::to_string(k), "Topic " + std::to_string(k));
}

/// Writes the text columns of document rows [firstRow, firstRow + rows); row 0 stays empty.
void WriteDocumentTexts(TFGStreamData& table, TBinaryDoc& container, bool metaDecodable,
                        int32_t firstRow, int32_t rows, std::vector<TTextCells>& cells)
{
    for (auto& c : cells)
        c.Reset(rows);
    std::string orig;
    std::string block;
    TMetaFields fields;
    for (int32_t i = 0; i < rows; ++i) {
        const int32_t row = firstRow + i;
        if (row == 0)
            continue;
        const int32_t docid = row - 1;
        cells[0].Set(i, std::to_string(row));
        if (!container.IsOpen() || !container.GetOrigDocument(docid, orig, &block))
            continue;
        cells[1].Set(i, std::string_view(orig).substr(0, kThetaOrigTextLen));
        if (metaDecodable && DecodeMetaBlock(block, fields))
            for (int j = 0; j < kMetaFieldCount; ++j)
                cells[2 + j].Set(i, fields[j]);
    }
    for (int32_t c = 0; c < kThetaTextColumns; ++c)
        cells[c].Write(table, c, firstRow);
}

bool ExceedsUniform(float v, int32_t n)
{
    return static_cast<double>(v) > 1.0 / n;
}

} // namespace

int64_t WriteThetaTable(const std::string& tableName, const std::string& containerPath, int32_t M,
                        int32_t K, const double* const* theta)
{
    if (M < 0 || K < 0)
        return 0;
    const int32_t rows = M + 1;
    TFGStreamData table;
    const bool created = table.CreateNewDataFile(tableName, K + kThetaTextColumns, rows, 0);
    if (created) {
        table.ColumnAdd(fgcText, kIdWidth, "Col_DocID", "ID");
        table.ColumnAdd(fgcText, kTextWidth, "Col_OrigText", "Orig Text");
        table.ColumnAdd(fgcText, kTextWidth, "Col_Nick", "Nick");
        for (int n = 1; n < kMetaFieldCount; ++n)
            table.ColumnAdd(fgcText, kTextWidth, "Col_Field" + std::to_string(n),
                            "Field " + std::to_string(n));
        AddTopicColumns(table, K);

        // Each document's texts and metadata are read once, then written column by column.
        TBinaryDoc container;
        container.Create(containerPath, false);
        const bool metaDecodable = MetaBlockDecodable(container.Signature());
        std::vector<TTextCells> cells;
        cells.emplace_back(kIdWidth);
        for (int32_t c = 1; c < kThetaTextColumns; ++c)
            cells.emplace_back(kTextWidth);
        for (int32_t first = 0; first < rows; first += kTextBlockRows)
            WriteDocumentTexts(table, container, metaDecodable, first,
                               std::min(kTextBlockRows, rows - first), cells);
    }

    int64_t count = 0;
    std::vector<float> values;
    for (int32_t k0 = 0; k0 < K; k0 += kTopicGroup) {
        const int32_t group = std::min(kTopicGroup, K - k0);
        values.assign(static_cast<size_t>(group) * rows, 0.0f);
        for (int32_t d = 0; d < M; ++d) {
            const double* row = theta[d] + k0;
            for (int32_t j = 0; j < group; ++j) {
                const float v = static_cast<float>(row[j]);
                values[static_cast<size_t>(j) * rows + d + 1] = v;
                count += ExceedsUniform(v, K);
            }
        }
        if (!created)
            continue;
        for (int32_t j = 0; j < group; ++j) {
            const std::span<float> column(values.data() + static_cast<size_t>(j) * rows,
                                          static_cast<size_t>(rows));
            column[0] = column[rows - 1]; // row 0 repeats the last document; nothing reads it
            table.WriteColumnFloat(kThetaTextColumns + k0 + j, 0, column);
        }
    }
    return count;
}

int64_t WritePhiTable(const std::string& tableName, const TWordAndFreqArray& wordmap, int32_t K,
                      const double* const* phi)
{
    const auto V = static_cast<int32_t>(wordmap.size());
    if (K < 0)
        return 0;
    TFGStreamData table;
    const bool created = table.CreateNewDataFile(tableName, K + 1, V, 0);
    if (created) {
        table.ColumnAdd(fgcText, kTextWidth, "Col_Word", "Word");
        AddTopicColumns(table, K);
        TTextCells words(kTextWidth);
        for (int32_t first = 0; first < V; first += kTextBlockRows) {
            const int32_t rows = std::min(kTextBlockRows, V - first);
            words.Reset(rows);
            for (int32_t i = 0; i < rows; ++i)
                words.Set(i, WordOf(wordmap[first + i]));
            words.Write(table, 0, first);
        }
    }

    int64_t count = 0;
    std::vector<float> values(static_cast<size_t>(V));
    for (int32_t k = 0; k < K; ++k) {
        for (int32_t w = 0; w < V; ++w) {
            values[w] = static_cast<float>(phi[k][w]);
            count += ExceedsUniform(values[w], V);
        }
        if (created)
            table.WriteColumnFloat(k + 1, 0, values);
    }
    return count;
}

double RatioPercent(int64_t count, int64_t cells)
{
    return cells > 0 ? 100.0 * static_cast<double>(count) / static_cast<double>(cells) : 0.0;
}

std::string GetOrigText(const std::string& containerPath, int32_t docid)
{
    TBinaryDoc container;
    std::string orig;
    if (!container.Create(containerPath, false) || !container.GetOrigDocument(docid, orig))
        return {};
    return Cp1251ToUtf8(orig);
}

std::optional<double> CheckPhiRatio(const std::string& tableName)
{
    TFGStreamData table;
    if (!table.OpenDataFile(tableName, true) || table.HeaderInfo().RecSize != 0)
        return std::nullopt;
    const int32_t K = table.ColCount() - 1;
    const int32_t V = table.RowCount();
    if (K < 1 || V < 1)
        return std::nullopt;
    std::vector<float> values(static_cast<size_t>(V));
    int64_t count = 0;
    char text[64];
    for (int32_t k = 1; k <= K; ++k) {
        if (!table.GetColumnAsFloat(k, values))
            return std::nullopt;
        for (float v : values) {
            // Rounded the way the five-decimal text form shows it, then read back.
            const auto end = std::to_chars(text, text + sizeof text, static_cast<double>(v),
                                           std::chars_format::fixed, 5)
                                 .ptr;
            double rounded = 0;
            std::from_chars(text, end, rounded);
            count += rounded > 1.0 / V;
        }
    }
    return RatioPercent(count, static_cast<int64_t>(K) * V);
}

} // namespace corvane
