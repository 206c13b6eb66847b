#pragma once

#include <cstdint>
#include <vector>

namespace corvane::mystem {

/// One analysis of a word form as the ranking sees it.
struct TWeightedParse
{
    uint32_t lemma;
    float weight;      // P(tag|form) when measured, else the tag's prior
    bool measured;     // the corpus gave tag probabilities for this form
    bool abbreviation; // an abbreviation or an initial
};

inline constexpr uint32_t kNoLemma = UINT32_MAX;

/// The distinct lemmas of one form's parses, best first. A lemma weighs the sum of its parses'
/// weights (so a form that several of a lemma's cells share leans to that lemma); with measured
/// probabilities lemmas under 1% of the best are dropped. Abbreviation parses count only when
/// the form has no other. On equal weight `formLemma` (the lemma spelt like the form, or kNoLemma)
/// comes first, so a spelling variant filed under an older lemma does not win; other ties keep the
/// order of first appearance.
std::vector<uint32_t> RankLemmas(const std::vector<TWeightedParse>& parses, uint32_t formLemma);

} // namespace corvane::mystem
