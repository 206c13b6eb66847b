#pragma once

#include <string_view>
#include <vector>

namespace corvane {

/// The word of a lemmatized text that holds no word at all.
inline constexpr std::string_view kNoWordsMarker = "{00000}";

/// The words of a lemmatized text, in text order: after each "{" the text up to the first ".",
/// "?", "|" or "}" (without a terminator: up to the last-but-one character of the text), trimmed
/// of blanks and control characters; empty ones are skipped and the scan goes on after the
/// terminator. A text without any word gives the single word "{00000}". The views point into
/// `text` (or at the marker).
void ExtractWords(std::string_view text, std::vector<std::string_view>& words);

} // namespace corvane
