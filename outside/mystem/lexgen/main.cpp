// mystem-lexgen: builds the Russian analyser's lexicon file from the OpenCorpora dictionary and
// the Hunspell Russian dictionary, then checks the result.
//   mystem-lexgen OPENCORPORA_DICTS_DIR RU_AFF RU_DIC OUT_FILE
#include "outside/mystem/lexgen/hunspellsfx.h"
#include "outside/mystem/lexgen/lexiconbuilder.h"
#include "outside/mystem/lexgen/opencorpora.h"
#include "outside/mystem/lexgen/ranking.h"
#include "outside/mystem/lexicon.h"
#include "platform/codepage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

using namespace corvane;
using namespace corvane::mystem;

namespace {

// An ending must have been seen this often before it guesses lemmas of unknown words.
constexpr uint32_t kMinEndingCount = 3;

class TTimer
{
public:
    double Lap()
    {
        const auto now = std::chrono::steady_clock::now();
        const double s = std::chrono::duration<double>(now - m_Last).count();
        m_Last = now;
        return s;
    }

private:
    std::chrono::steady_clock::time_point m_Last = std::chrono::steady_clock::now();
};

struct TRecord
{
    std::string key;
    uint32_t lemma;
    float weight;
    bool measured;
    bool abbreviation;
};

class TLemmaPool
{
public:
    explicit TLemmaPool(size_t expected) { m_Ids.reserve(expected); }
    uint32_t Id(const std::string& lemma)
    {
        const auto [it, added] = m_Ids.emplace(lemma, static_cast<uint32_t>(m_Lemmas.size()));
        if (added)
            m_Lemmas.push_back(lemma);
        return it->second;
    }
    const std::string& Lemma(uint32_t id) const { return m_Lemmas[id]; }
    uint32_t Find(const std::string& lemma) const
    {
        const auto it = m_Ids.find(lemma);
        return it == m_Ids.end() ? kNoLemma : it->second;
    }

private:
    std::unordered_map<std::string, uint32_t> m_Ids;
    std::vector<std::string> m_Lemmas;
};

bool AddOpenCorpora(const std::string& dir, TLexiconBuilder& builder, std::string& error)
{
    TOpenCorpora oc;
    if (!oc.Load(dir, error))
        return false;
    // About one lemma per ten records.
    TLemmaPool pool(oc.ExpectedRecords() / 8);
    std::vector<TRecord> records;
    records.reserve(oc.ExpectedRecords());
    uint64_t count = 0;
    const bool walked = oc.ForEachParse(
        [&](const std::string& form, const std::string& lemma, uint16_t tag) {
            const TTagInfo& info = oc.Tag(tag);
            const bool measured = oc.HasProbabilities(form);
            records.push_back({LexiconKey(form), pool.Id(LexiconKey(lemma)),
                               measured ? oc.Probability(form, tag) : info.prior, measured,
                               info.abbreviation});
        },
        count, error);
    if (!walked)
        return false;
    if (count != oc.ExpectedRecords()) {
        error = "OpenCorpora: decoded " + std::to_string(count) +
                " records, the dictionary promises " + std::to_string(oc.ExpectedRecords());
        return false;
    }
    std::stable_sort(records.begin(), records.end(),
                     [](auto& a, auto& b) { return a.key < b.key; });
    std::vector<TWeightedParse> parses;
    std::vector<std::string> lemmas;
    for (size_t i = 0; i < records.size();) {
        size_t end = i;
        parses.clear();
        for (; end < records.size() && records[end].key == records[i].key; ++end) {
            const auto& r = records[end];
            parses.push_back({r.lemma, r.weight, r.measured, r.abbreviation});
        }
        const std::string& key = records[i].key;
        lemmas.clear();
        // A lone letter known only as an abbreviation is more often an initial.
        if (key.size() == 1 &&
            std::all_of(parses.begin(), parses.end(), [](auto& p) { return p.abbreviation; }))
            lemmas.push_back(key);
        for (uint32_t id : RankLemmas(parses, pool.Find(key)))
            if (lemmas.empty() || pool.Lemma(id) != lemmas.front())
                lemmas.push_back(pool.Lemma(id));
        builder.AddForm(key, lemmas);
        i = end;
    }
    std::printf("mystem-lexgen: %llu OpenCorpora records, %zu forms\n",
                static_cast<unsigned long long>(count), builder.FormCount());
    return true;
}

// Forms only Hunspell knows, with their stems in dictionary order.
bool CollectHunspell(const std::string& aff, const std::string& dic, TLexiconBuilder& builder,
                     std::vector<std::pair<std::string, std::string>>& pairs, std::string& error)
{
    THunspellSfx hunspell;
    if (!hunspell.Load(aff, dic, error))
        return false;
    size_t total = 0;
    hunspell.Expand([&](const std::string& form, const std::string& stem) {
        ++total;
        std::string key = LexiconKey(form);
        if (!builder.HasForm(key))
            pairs.emplace_back(std::move(key), LexiconKey(stem));
    });
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](auto& a, auto& b) { return a.first < b.first; });
    std::printf("mystem-lexgen: %zu Hunspell stems, %zu (form, stem) pairs, %zu new\n",
                hunspell.StemCount(), total, pairs.size());
    return true;
}

void AddHunspell(const std::vector<std::pair<std::string, std::string>>& pairs,
                 TLexiconBuilder& builder)
{
    std::vector<std::string> lemmas;
    for (size_t i = 0; i < pairs.size();) {
        lemmas.clear();
        size_t end = i;
        for (; end < pairs.size() && pairs[end].first == pairs[i].first; ++end)
            if (std::find(lemmas.begin(), lemmas.end(), pairs[end].second) == lemmas.end())
                lemmas.push_back(pairs[end].second);
        builder.AddForm(pairs[i].first, lemmas);
        i = end;
    }
}

// Known answers the lexicon must give; a failure stops the build.
bool CheckLexicon(const TLexicon& lexicon, std::string& error)
{
    struct TCase
    {
        const char* form;
        std::vector<const char*> lemmas; // the first must come first, the others anywhere
    };
    const TCase cases[] = {
        {"мыла", {"мыло", "мыть"}}, {"шла", {"идти"}},    {"людей", {"человек"}},
        {"первый", {"первый"}},     {"стали", {"стать"}}, {"ёлки", {"елка"}},
        {"счастье", {"счастье"}},   {"л", {"л", "литр"}}, {"есть", {"быть", "есть"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> found;
        const std::string form = Utf8ToCp1251(c.form);
        if (!lexicon.Find(LexiconKey(form), found))
            found.clear();
        bool ok = !found.empty() && found.front() == Utf8ToCp1251(c.lemmas.front());
        for (const char* lemma : c.lemmas)
            ok = ok && std::find(found.begin(), found.end(), Utf8ToCp1251(lemma)) != found.end();
        if (!ok) {
            std::string got;
            for (const auto& f : found)
                got += (got.empty() ? "" : "|") + Cp1251ToUtf8(f);
            error = std::string("check failed: ") + c.form + " gives {" + got + "}";
            return false;
        }
    }
    return true;
}

// How often a guess from endings equals Hunspell's stem, over forms OpenCorpora lacks.
void ReportGuessAgreement(const TLexicon& lexicon,
                          const std::vector<std::pair<std::string, std::string>>& pairs)
{
    size_t forms = 0, agree = 0;
    std::string guess;
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (i > 0 && pairs[i].first == pairs[i - 1].first)
            continue;
        ++forms;
        agree += lexicon.Guess(pairs[i].first, guess) && guess == pairs[i].second;
    }
    std::printf(
        "mystem-lexgen: guesses agree with Hunspell on %.1f%% of %zu forms OpenCorpora lacks\n",
        forms ? 100.0 * agree / forms : 0.0, forms);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: mystem-lexgen OPENCORPORA_DICTS_DIR RU_AFF RU_DIC OUT_FILE\n");
        return 2;
    }
    const std::string out = argv[4];
    TTimer timer;
    TLexiconBuilder builder;
    std::vector<std::pair<std::string, std::string>> hunspellPairs;
    std::string error;
    if (!AddOpenCorpora(argv[1], builder, error)) {
        std::fprintf(stderr, "mystem-lexgen: %s\n", error.c_str());
        return 1;
    }
    const double ocSeconds = timer.Lap();
    builder.BuildGuesser(kMinEndingCount);
    if (!CollectHunspell(argv[2], argv[3], builder, hunspellPairs, error)) {
        std::fprintf(stderr, "mystem-lexgen: %s\n", error.c_str());
        return 1;
    }
    AddHunspell(hunspellPairs, builder);
    const double restSeconds = timer.Lap();
    TLexicon lexicon;
    if (!builder.Write(out, error) || !lexicon.Open(out) || !CheckLexicon(lexicon, error)) {
        std::fprintf(stderr, "mystem-lexgen: %s\n",
                     error.empty() ? lexicon.LastError().c_str() : error.c_str());
        std::remove(out.c_str());
        return 1;
    }
    std::printf("mystem-lexgen: %zu forms, %zu endings, %zu candidate sets, %zu rules\n",
                builder.FormCount(), builder.EndingCount(), builder.SetCount(),
                builder.RuleCount());
    ReportGuessAgreement(lexicon, hunspellPairs);
    std::printf("mystem-lexgen: OpenCorpora %.1f s, endings and Hunspell %.1f s, writing %.1f s\n",
                ocSeconds, restSeconds, timer.Lap());
    return 0;
}
