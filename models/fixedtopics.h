#pragma once

#include "container/binarydoc.h"
#include "models/ldaengine.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

/// Topics a word can be tied to in the fixed-topics table.
constexpr int kFixedTopicSlots = 5;

/// One row of the fixed-topics table: a word and up to five 1-based topic numbers (0 = none).
struct TFixedTopicsRow
{
    std::string word; // single-byte text
    std::array<int32_t, kFixedTopicSlots> topics{};
};

/// The fixed-topics table of the window program: "islda.bin" in the settings folder.
std::string FixedTopicsFileName();

/// Creates (overwrites) a fixed-topics table holding `rows`.
bool WriteFixedTopicsTable(const std::string& tableName, const std::vector<TFixedTopicsRow>& rows,
                           std::string& error);

/// Creates (overwrites) the table with one row per word-map entry, every topic 0.
bool CreateFixedTopicsTable(const std::string& tableName, const TWordAndFreqArray& wordmap,
                            std::string& error);

/// Every row of a fixed-topics table.
bool ReadFixedTopicsTable(const std::string& tableName, std::vector<TFixedTopicsRow>& rows,
                          std::string& error);

/// Writes the table as CSV: a header line, then one line per row; every field quoted and
/// followed by ";", lines ending in CR LF, text as stored.
bool ExportFixedTopicsCsv(const std::string& tableName, const std::string& csvName,
                          std::string& error);

/// Reads a CSV of that form into rows. Quotes, ";" and blanks separate the fields; a quoted word
/// may hold blanks. A topic field that is not an integer fails the whole read.
bool ParseFixedTopicsCsv(const std::string& csvName, std::vector<TFixedTopicsRow>& rows,
                         std::string& error);

/// Replaces the table by the rows of a CSV file; the table is untouched when the file is bad.
bool LoadFixedTopicsCsv(const std::string& csvName, const std::string& tableName,
                        std::string& error);

/// The records a run hands the engine: every row with at least one topic whose word is in the
/// word map, as {index of the word's first word-map entry, topic numbers - 1}. Empty when the
/// table cannot be read (no table yet: no fixed words).
std::vector<TFixedTopics> ReadFixedTopics(const std::string& tableName,
                                          const TWordAndFreqArray& wordmap);

} // namespace corvane
