#include "prep/freqtable.h"

#include "platform/appdirs.h"

#include <cmath>
#include <fstream>

namespace corvane {

std::string FreqTablePath()
{
    return JoinPath(WritableProgramDir(), "freq_calc.bin");
}

bool WriteFreqTable(const std::string& path, std::span<const TWordAndFreq> words,
                    std::string& error)
{
    TFGStreamData table;
    const auto rows = static_cast<int32_t>(words.size());
    bool ok = table.CreateNewDataFile(path, 3, rows, 0) &&
              table.ColumnAdd(fgcText, 64, "ColWord", "Word") &&
              table.ColumnAdd(fgcInt, 4, "ColFreq", "Freq") &&
              table.ColumnAdd(fgcDouble, 8, "ColTFIDF", "TF-IDF");
    // Column by column: the cells of one column lie side by side and reach the file in big writes.
    for (int32_t r = 0; ok && r < rows; ++r)
        ok = table.WriteData(0, r, WordOf(words[static_cast<size_t>(r)]));
    for (int32_t r = 0; ok && r < rows; ++r)
        ok = table.WriteData(1, r, words[static_cast<size_t>(r)].wfFreq);
    for (int32_t r = 0; ok && r < rows; ++r)
        ok = table.WriteData(2, r, words[static_cast<size_t>(r)].wfTFIDF);
    ok = ok && table.Flush();
    if (!ok)
        error = "cannot write the word frequency table " + table.LastError();
    table.CloseDataFile();
    return ok;
}

bool ExportFreqTableCsv(const TFGStreamData& table, const std::string& path,
                        const std::function<void(int32_t)>& onProgress, std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot create " + path;
        return false;
    }
    const int32_t rows = table.RowCount();
    int32_t shown = -1;
    std::string line;
    for (int32_t r = 0; r < rows; ++r) {
        line.clear();
        for (int32_t c = 0; c < table.ColCount(); ++c) {
            line += '"';
            for (char ch : table.GetDataVisible(c, r)) {
                if (ch == '"')
                    line += '"';
                line += ch;
            }
            line += "\";";
        }
        line += "\r\n";
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
        const auto percent = static_cast<int32_t>(std::lround(100.0 * (r + 1) / rows));
        if (onProgress && percent != shown)
            onProgress(shown = percent);
    }
    out.flush();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

std::vector<int32_t> SelectByFrequencyBounds(std::span<const int32_t> freqs, double low, double up)
{
    std::vector<int32_t> rows;
    for (size_t r = 0; r < freqs.size(); ++r) {
        if (freqs[r] >= up)
            rows.push_back(static_cast<int32_t>(r));
        if (freqs[r] <= low)
            rows.push_back(static_cast<int32_t>(r));
    }
    return rows;
}

} // namespace corvane
