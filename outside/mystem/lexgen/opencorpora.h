#pragma once

#include "outside/mystem/lexgen/dawg.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace corvane::mystem {

/// What the ranking needs to know of one grammatical tag.
struct TTagInfo
{
    float prior = 1;           // part-of-speech weight, lowered for names and abbreviations
    bool abbreviation = false; // an abbreviation or an initial
    bool ordinal = false;
};

/// The OpenCorpora dictionary as compiled into the `dicts/` folder of the npm package `az`:
/// word forms with (paradigm, form index) records, paradigms, endings, tags, and P(tag|word).
/// Words there are Windows-1251 bytes; endings and tags are UTF-8 JSON.
class TOpenCorpora
{
public:
    bool Load(const std::string& dictsDir, std::string& error);

    /// The record count the dictionary's metadata promises.
    uint64_t ExpectedRecords() const { return m_ExpectedRecords; }

    using TParseFn =
        std::function<void(const std::string& form, const std::string& lemma, uint16_t tag)>;
    /// Calls `fn` for each (form, lemma, tag) record in form order; `records` counts them.
    /// False when a record does not fit its paradigm.
    bool ForEachParse(const TParseFn& fn, uint64_t& records, std::string& error) const;

    const TTagInfo& Tag(uint16_t tag) const { return m_Tags[tag]; }
    /// True when the corpus gave tag probabilities for this form.
    bool HasProbabilities(const std::string& form) const { return m_ProbForms.count(form) > 0; }
    /// P(tag | form), 0 when unknown.
    float Probability(const std::string& form, uint16_t tag) const;

private:
    bool LoadParadigms(const std::string& path, std::string& error);
    bool LoadProbabilities(const std::string& path, std::string& error);

    TDawg m_Words;
    std::vector<std::string> m_TagNames;
    std::vector<TTagInfo> m_Tags;
    std::vector<std::string> m_Endings;  // Windows-1251
    std::vector<std::string> m_Prefixes; // Windows-1251
    std::vector<std::vector<uint16_t>> m_Paradigms;
    std::vector<int> m_OrdinalForm; // per paradigm: first form tagged ordinal, or -1
    std::unordered_map<std::string, float> m_Probabilities; // "form:tag"
    std::unordered_set<std::string> m_ProbForms;
    uint64_t m_ExpectedRecords = 0;
};

} // namespace corvane::mystem
