#include "outside/mystem/lexgen/ranking.h"

#include <algorithm>

namespace corvane::mystem {

std::vector<uint32_t> RankLemmas(const std::vector<TWeightedParse>& parses, uint32_t formLemma)
{
    const bool measured =
        std::any_of(parses.begin(), parses.end(), [](auto& p) { return p.measured; });
    const bool fullWord =
        std::any_of(parses.begin(), parses.end(), [](auto& p) { return !p.abbreviation; });
    std::vector<std::pair<uint32_t, float>> lemmas; // in order of first appearance
    for (const auto& p : parses) {
        if (fullWord && p.abbreviation)
            continue;
        // A form merged with an unmeasured spelling variant: those parses carry no probability.
        const float weight = measured ? (p.measured ? p.weight : 0.f) : p.weight;
        auto it =
            std::find_if(lemmas.begin(), lemmas.end(), [&](auto& l) { return l.first == p.lemma; });
        if (it == lemmas.end())
            lemmas.emplace_back(p.lemma, weight);
        else
            it->second += weight;
    }
    std::stable_sort(lemmas.begin(), lemmas.end(), [&](auto& a, auto& b) {
        if (a.second != b.second)
            return a.second > b.second;
        return a.first == formLemma && b.first != formLemma;
    });
    std::vector<uint32_t> ranked;
    for (const auto& [lemma, weight] : lemmas)
        if (!measured || weight >= 0.01f * lemmas.front().second)
            ranked.push_back(lemma);
    return ranked;
}

} // namespace corvane::mystem
