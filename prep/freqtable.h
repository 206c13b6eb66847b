#pragma once

#include "container/binarydoc.h"
#include "tables/fgstreamdata.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace corvane {

/// Where the window keeps the word frequency table: "freq_calc.bin" in the program's folder.
std::string FreqTablePath();

/// Writes the word frequency table of a word list: columns "ColWord" ("Word", text of 64 bytes),
/// "ColFreq" ("Freq", int) and "ColTFIDF" ("TF-IDF", double), one row per word in list order.
bool WriteFreqTable(const std::string& path, std::span<const TWordAndFreq> words,
                    std::string& error);

/// Writes every row of `table` as one CSV line of single-byte text: each cell's shown text in
/// double quotes (a quote inside doubled), each followed by ";", then CR LF; no header line.
/// `onProgress` (when given) gets the percentage of rows written whenever it changes.
bool ExportFreqTableCsv(const TFGStreamData& table, const std::string& path,
                        const std::function<void(int32_t)>& onProgress, std::string& error);

/// The rows selected by frequency bounds, in row order: a row whose frequency is >= up, and
/// (independently) a row whose frequency is <= low; a row that meets both is listed twice.
std::vector<int32_t> SelectByFrequencyBounds(std::span<const int32_t> freqs, double low, double up);

} // namespace corvane
