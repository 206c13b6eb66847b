#pragma once

#include "outside/mystem/lexicon.h"

#include <string>
#include <string_view>
#include <vector>

namespace corvane::mystem {

/// The lemmas of one word, best first (Windows-1251, lower case).
struct TWordLemmas
{
    std::vector<std::string> lemmas;
    bool guessed = false; // a single lemma that the dictionary does not vouch for
};

/// Lemmatizes single words with the lexicon: Latin look-alike letters in Cyrillic words,
/// hyphenated words, and guesses by ending for unknown words.
class TWordAnalyser
{
public:
    explicit TWordAnalyser(const TLexicon& lexicon) : m_Lexicon(lexicon) {}

    /// `word`: letters with single hyphens between them, Windows-1251, any case.
    TWordLemmas Analyse(std::string_view word) const;

private:
    TWordLemmas AnalyseKey(const std::string& key) const;
    TWordLemmas AnalyseHyphenated(const std::string& key) const;

    const TLexicon& m_Lexicon;
};

} // namespace corvane::mystem
