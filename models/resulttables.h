#pragma once

#include "container/binarydoc.h"

#include <cstdint>
#include <optional>
#include <string>

namespace corvane {

/// Writers of the two model result tables: each report of the engine rewrites one of them in
/// full. A table that cannot be created or a cell that cannot be written is skipped; the count
/// of values above the uniform value is returned either way, for the run's ratio chart.

/// Number of leading text columns of the document-topic table: the id, the original text, the
/// author and fields 1 to 20.
constexpr int32_t kThetaTextColumns = 23;
/// Bytes of a document's original text kept in the document-topic table.
constexpr int32_t kThetaOrigTextLen = 50;

/// Writes the document-topic table `tableName` from `theta` (M pointers to K values) with the
/// texts and metadata of the container's documents 0..M-1; row d + 1 holds document d and row 0
/// no document. Returns the number of values that, in single precision, exceed 1/K.
int64_t WriteThetaTable(const std::string& tableName, const std::string& containerPath, int32_t M,
                        int32_t K, const double* const* theta);

/// Writes the topic-word table `tableName` from `phi` (K pointers to V values, V = the word
/// map's size); row w holds word-map entry w. Returns the number of values that, in single
/// precision, exceed 1/V.
int64_t WritePhiTable(const std::string& tableName, const TWordAndFreqArray& wordmap, int32_t K,
                      const double* const* phi);

/// 100 * count / cells; 0 for no cells.
double RatioPercent(int64_t count, int64_t cells);

/// The original text of a container's document, converted to UTF-8; empty when the container
/// or the document cannot be read.
std::string GetOrigText(const std::string& containerPath, int32_t docid);

/// Re-reads a topic-word table and gives the percentage of its topic values that, rounded to
/// five decimals, exceed 1/V; nothing when the table cannot be read or holds no values.
std::optional<double> CheckPhiRatio(const std::string& tableName);

} // namespace corvane
