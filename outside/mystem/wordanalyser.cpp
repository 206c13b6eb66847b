#include "outside/mystem/wordanalyser.h"

#include "platform/codepage.h"

#include <algorithm>

namespace corvane::mystem {
namespace {

bool IsLatin(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The Cyrillic letter a Latin letter stands in for inside a Cyrillic word, or 0. Lower-case
// h, k, m, t and b do not look like their Cyrillic partners; the capitals do.
unsigned char CyrillicLookAlike(unsigned char c)
{
    static constexpr struct
    {
        char latin;
        unsigned char cyrillic;
    } kPairs[] = {
        {'a', 0xE0}, {'c', 0xF1}, {'e', 0xE5}, {'o', 0xEE}, {'p', 0xF0}, {'x', 0xF5}, {'y', 0xF3},
        {'A', 0xC0}, {'C', 0xD1}, {'E', 0xC5}, {'O', 0xCE}, {'P', 0xD0}, {'X', 0xD5}, {'Y', 0xD3},
        {'H', 0xCD}, {'K', 0xCA}, {'M', 0xCC}, {'T', 0xD2}, {'B', 0xC2},
    };
    for (const auto& p : kPairs)
        if (static_cast<unsigned char>(p.latin) == c)
            return p.cyrillic;
    return 0;
}

// Cyrillic with Latin look-alikes mapped, or the word unchanged when it is not Cyrillic
// (`cyrillic` false) or holds a Latin letter without a look-alike.
std::string MapLookAlikes(std::string_view word, bool& cyrillic)
{
    cyrillic = std::any_of(word.begin(), word.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c >= 0x80 && IsLetterCp1251(c);
    });
    std::string mapped(word);
    if (!cyrillic)
        return mapped;
    for (char& ch : mapped) {
        const auto c = static_cast<unsigned char>(ch);
        if (!IsLatin(c))
            continue;
        const unsigned char cyr = CyrillicLookAlike(c);
        if (!cyr)
            return std::string(word);
        ch = static_cast<char>(cyr);
    }
    return mapped;
}

bool IsParticle(std::string_view part)
{
    // то, либо, нибудь, ка, таки, де, с
    static const char* const kParticles[] = {
        "\xF2\xEE", "\xEB\xE8\xE1\xEE", "\xED\xE8\xE1\xF3\xE4\xFC",
        "\xEA\xE0", "\xF2\xE0\xEA\xE8", "\xE4\xE5",
        "\xF1"};
    return std::find(std::begin(kParticles), std::end(kParticles), part) != std::end(kParticles);
}

} // namespace

TWordLemmas TWordAnalyser::Analyse(std::string_view word) const
{
    bool cyrillic = false;
    const std::string key = LexiconKey(MapLookAlikes(word, cyrillic));
    if (!cyrillic)
        return {{key}, true};
    return AnalyseKey(key);
}

TWordLemmas TWordAnalyser::AnalyseKey(const std::string& key) const
{
    TWordLemmas result;
    if (m_Lexicon.Find(key, result.lemmas))
        return result;
    if (key.find('-') != std::string::npos)
        return AnalyseHyphenated(key);
    std::string guess;
    result.guessed = true;
    result.lemmas = {m_Lexicon.Guess(key, guess) ? guess : key};
    return result;
}

TWordLemmas TWordAnalyser::AnalyseHyphenated(const std::string& key) const
{
    const size_t first = key.find('-');
    const size_t last = key.rfind('-');
    const std::string head = key.substr(0, first);
    // A trailing particle: lemmatize what it follows and put it back.
    if (IsParticle(std::string_view(key).substr(last + 1))) {
        TWordLemmas result = AnalyseKey(key.substr(0, last));
        for (auto& lemma : result.lemmas)
            lemma += key.substr(last);
        return result;
    }
    // кое-/кой- in front of a word; по- adverbs stay as they are.
    if (head == "\xEA\xEE\xE5" || head == "\xEA\xEE\xE9") {
        TWordLemmas result = AnalyseKey(key.substr(first + 1));
        for (auto& lemma : result.lemmas)
            lemma.insert(0, key.substr(0, first + 1));
        return result;
    }
    if (head == "\xEF\xEE")
        return {{key}, false};
    TWordLemmas joined{{std::string()}, false};
    for (size_t start = 0; start <= key.size();) {
        const size_t end = std::min(key.find('-', start), key.size());
        const TWordLemmas part = AnalyseKey(key.substr(start, end - start));
        joined.lemmas.front() += (start ? "-" : "") + part.lemmas.front();
        joined.guessed = joined.guessed || part.guessed;
        start = end + 1;
    }
    return joined;
}

} // namespace corvane::mystem
