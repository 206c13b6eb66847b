#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvane::mystem {

/// Collects word forms with their lemmas and writes the lexicon file (lexiconformat.h).
/// Lemmas are stored as rules (cut so many bytes of the form, append a string); rules and
/// candidate sets are shared between forms.
class TLexiconBuilder
{
public:
    /// Adds a form with its lemmas, best first (both as lexicon keys). A form added again keeps
    /// its first lemmas. Forms or lemmas longer than a key may be are left out.
    void AddForm(const std::string& form, const std::vector<std::string>& lemmas);
    bool HasForm(const std::string& form);

    /// Builds the ending table from the forms added so far: for each ending of 1 to 5 letters
    /// met at least `minCount` times, the most frequent first-lemma rule that keeps the rest
    /// of the word; an ending that guesses what a shorter one guesses is left out.
    void BuildGuesser(uint32_t minCount);

    /// Writes the file (to a temporary name, then renamed); false with `error` set.
    bool Write(const std::string& path, std::string& error);

    size_t FormCount() { return SortedForms().size(); }
    size_t EndingCount() const { return m_Endings.size(); }
    size_t SetCount() const { return m_Sets.size(); }
    size_t RuleCount() const { return m_Rules.size(); }

private:
    uint32_t RuleId(const std::string& form, const std::string& lemma);
    uint32_t SetId(const std::vector<uint32_t>& rules);
    /// The forms in key order, each once (the first added wins).
    const std::vector<std::pair<std::string, uint32_t>>& SortedForms();

    std::vector<std::pair<std::string, uint32_t>> m_Forms;   // form, set
    bool m_FormsSorted = true;                               // strictly increasing, no repeats
    std::vector<std::pair<std::string, uint32_t>> m_Endings; // ending, set
    std::vector<std::string> m_Rules;                        // encoded rules
    std::unordered_map<std::string, uint32_t> m_RuleIds;
    std::vector<std::string> m_Sets; // encoded sets
    std::vector<uint32_t> m_SetFirstRule;
    std::unordered_map<std::string, uint32_t> m_SetIds;
};

} // namespace corvane::mystem
