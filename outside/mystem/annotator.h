#pragma once

#include "outside/mystem/wordanalyser.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvane::mystem {

/// How the analyser writes its output.
struct TAnnotateOptions
{
    bool copyText = false;       // -c: copy the text between words
    bool lemmasOnly = false;     // -l: no word form in front of the braces
    bool dictionaryOnly = false; // -w: no braces for words the dictionary does not know
    bool utf8 = false;           // -e utf-8: UTF-8 input and output (else Windows-1251)
};

/// Reads the command-line flags: single letters may be combined ("-wl"); "-e" takes the
/// encoding from the rest of its argument or from the next one. Unknown flags are ignored.
TAnnotateOptions ParseAnnotateOptions(const std::vector<std::string>& args);

/// Writes each word of a Windows-1251 text with its lemmas in braces: "|" between candidates,
/// "?" after a guess. A word is a run of letters, with single hyphens inside.
std::string Annotate(const TWordAnalyser& analyser, std::string_view text,
                     const TAnnotateOptions& options);

} // namespace corvane::mystem
