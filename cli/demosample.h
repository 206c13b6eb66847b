#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace corvane::cli {

/// Where Debian's fortunes-ru package puts its quotes.
inline constexpr const char* kFortunesRuDir = "/usr/share/games/fortunes/ru";

/// One quote of a fortune file.
struct TQuote
{
    std::string text;   // UTF-8, without its author line
    std::string author; // from its last indented "-- Author" line; empty when it has none
    std::string source; // the fortune file's name without its extension, such as "2001.03"
};

/// The first `limit` quotes of the UTF-8 fortune files ("*.u8") of a folder, files in name
/// order; quotes are separated by lines holding only "%". Quotes without text are left out.
std::vector<TQuote> ReadFortunes(const std::string& folder, size_t limit);

/// Writes the quotes as a folder the lemmatization stage reads: one UTF-8 file per quote,
/// numbered from 0 with leading zeros so that name order is quote order, and "metadata.csv"
/// in Windows-1251 giving each number its author and its source as a date-like field.
bool WriteSampleTexts(const std::vector<TQuote>& quotes, const std::string& folder,
                      std::string& error);

} // namespace corvane::cli
