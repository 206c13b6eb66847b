#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

/// Cleans a document's bytes before lemmatization: drops mark-up ("<...>"), line feeds and NUL
/// bytes, turns CR into a space, puts a space before each TAB, removes "&shy;", blanks out every
/// trash fragment (each by one space; letter case ignored), and trims the result. Works on
/// single bytes whatever the encoding, so UTF-8 text passes through unchanged.
std::string RemoveTags(std::string_view raw, const std::vector<std::string>& trashLines);

/// Trims spaces and control characters (bytes up to 0x20) at both ends.
std::string_view TrimBlanks(std::string_view text);

} // namespace corvane
