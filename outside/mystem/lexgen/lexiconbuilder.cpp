#include "outside/mystem/lexgen/lexiconbuilder.h"

#include "outside/mystem/lexiconformat.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace corvane::mystem {
namespace {

void AppendVarint(std::string& out, uint32_t value)
{
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

struct TKeyTable
{
    std::vector<uint32_t> index;
    std::string data;
};

TKeyTable FrontCode(const std::vector<std::pair<std::string, uint32_t>>& sorted)
{
    TKeyTable table;
    std::string_view previous;
    for (size_t i = 0; i < sorted.size(); ++i) {
        const std::string& key = sorted[i].first;
        size_t shared = 0;
        if (i % kBlockKeys == 0) {
            table.index.push_back(static_cast<uint32_t>(table.data.size()));
        } else {
            while (shared < previous.size() && shared < key.size() &&
                   previous[shared] == key[shared])
                ++shared;
        }
        table.data += static_cast<char>(shared);
        table.data += static_cast<char>(key.size() - shared);
        table.data.append(key, shared);
        AppendVarint(table.data, sorted[i].second);
        previous = key;
    }
    return table;
}

// Concatenated records with an index of their offsets.
TKeyTable Concatenate(const std::vector<std::string>& records)
{
    TKeyTable table;
    for (const auto& r : records) {
        table.index.push_back(static_cast<uint32_t>(table.data.size()));
        table.data += r;
    }
    return table;
}

// An ending packed with its length: up to 5 bytes and a length in the top byte.
uint64_t PackEnding(const std::string& form, size_t length)
{
    uint64_t packed = static_cast<uint64_t>(length) << 56;
    for (size_t i = 0; i < length; ++i)
        packed |= static_cast<uint64_t>(static_cast<unsigned char>(form[form.size() - length + i]))
                  << (8 * i);
    return packed;
}

std::string UnpackEnding(uint64_t packed)
{
    std::string ending(static_cast<size_t>(packed >> 56), '\0');
    for (size_t i = 0; i < ending.size(); ++i)
        ending[i] = static_cast<char>((packed >> (8 * i)) & 0xFF);
    return ending;
}

} // namespace

uint32_t TLexiconBuilder::RuleId(const std::string& form, const std::string& lemma)
{
    size_t shared = 0;
    while (shared < form.size() && shared < lemma.size() && form[shared] == lemma[shared])
        ++shared;
    std::string rule(1, static_cast<char>(form.size() - shared));
    rule += static_cast<char>(lemma.size() - shared);
    rule.append(lemma, shared);
    const auto [it, added] = m_RuleIds.emplace(rule, static_cast<uint32_t>(m_Rules.size()));
    if (added)
        m_Rules.push_back(std::move(rule));
    return it->second;
}

uint32_t TLexiconBuilder::SetId(const std::vector<uint32_t>& rules)
{
    std::string set(1, static_cast<char>(rules.size()));
    for (uint32_t r : rules)
        AppendVarint(set, r);
    const auto [it, added] = m_SetIds.emplace(set, static_cast<uint32_t>(m_Sets.size()));
    if (added) {
        m_Sets.push_back(std::move(set));
        m_SetFirstRule.push_back(rules.front());
    }
    return it->second;
}

void TLexiconBuilder::AddForm(const std::string& form, const std::vector<std::string>& lemmas)
{
    if (form.empty() || form.size() > kMaxKeyLength)
        return;
    std::vector<uint32_t> rules;
    for (const auto& lemma : lemmas)
        if (lemma.size() <= kMaxKeyLength && rules.size() < 255)
            rules.push_back(RuleId(form, lemma));
    if (rules.empty())
        return;
    if (!m_Forms.empty() && form <= m_Forms.back().first)
        m_FormsSorted = false;
    m_Forms.emplace_back(form, SetId(rules));
}

const std::vector<std::pair<std::string, uint32_t>>& TLexiconBuilder::SortedForms()
{
    if (!m_FormsSorted) {
        std::stable_sort(m_Forms.begin(), m_Forms.end(),
                         [](auto& a, auto& b) { return a.first < b.first; });
        m_Forms.erase(std::unique(m_Forms.begin(), m_Forms.end(),
                                  [](auto& a, auto& b) { return a.first == b.first; }),
                      m_Forms.end());
        m_FormsSorted = true;
    }
    return m_Forms;
}

bool TLexiconBuilder::HasForm(const std::string& form)
{
    const auto& forms = SortedForms();
    const auto it =
        std::lower_bound(forms.begin(), forms.end(), form,
                         [](auto& entry, const std::string& key) { return entry.first < key; });
    return it != forms.end() && it->first == form;
}

void TLexiconBuilder::BuildGuesser(uint32_t minCount)
{
    // Counts of (ending, rule) pairs, the rule id in the low 32 bits of the value's key.
    std::unordered_map<uint64_t, std::unordered_map<uint32_t, uint32_t>> counts;
    for (const auto& [form, set] : SortedForms()) {
        const uint32_t rule = m_SetFirstRule[set];
        const auto cut = static_cast<size_t>(static_cast<unsigned char>(m_Rules[rule][0]));
        for (size_t n = std::max<size_t>(cut, 1); n <= kLongestEnding && n < form.size(); ++n)
            ++counts[PackEnding(form, n)][rule];
    }
    // The best rule of each ending seen often enough.
    std::unordered_map<uint64_t, uint32_t> best;
    for (const auto& [ending, rules] : counts) {
        uint32_t total = 0, top = 0, topRule = 0;
        for (const auto& [rule, count] : rules) {
            total += count;
            if (count > top || (count == top && rule < topRule)) {
                top = count;
                topRule = rule;
            }
        }
        if (total >= minCount)
            best.emplace(ending, topRule);
    }
    // Keep an ending only when its guess differs from what the next shorter kept one gives.
    m_Endings.clear();
    for (const auto& [packed, rule] : best) {
        const std::string ending = UnpackEnding(packed);
        bool redundant = false;
        for (size_t n = ending.size() - 1; n > 0; --n) {
            const auto shorter = best.find(PackEnding(ending, n));
            if (shorter != best.end()) {
                redundant = shorter->second == rule;
                break;
            }
        }
        if (!redundant)
            m_Endings.emplace_back(ending, SetId({rule}));
    }
    std::sort(m_Endings.begin(), m_Endings.end());
}

bool TLexiconBuilder::Write(const std::string& path, std::string& error)
{
    const auto& forms = SortedForms();
    const TKeyTable formTable = FrontCode(forms);
    const TKeyTable endingTable = FrontCode(m_Endings);
    const TKeyTable setTable = Concatenate(m_Sets);
    const TKeyTable ruleTable = Concatenate(m_Rules);

    TLexiconHeader header{};
    std::memcpy(header.magic, kLexiconMagic, sizeof header.magic);
    uint64_t offset = sizeof header;
    auto place = [&](TSectionHeader& section, const TKeyTable& table, size_t count) {
        section.count = static_cast<uint32_t>(count);
        section.blockCount = static_cast<uint32_t>(table.index.size());
        section.indexOffset = offset;
        offset += 4ull * table.index.size();
        section.dataOffset = offset;
        section.dataSize = table.data.size();
        offset += table.data.size();
    };
    place(header.forms, formTable, forms.size());
    place(header.endings, endingTable, m_Endings.size());
    place(header.sets, setTable, m_Sets.size());
    place(header.rules, ruleTable, m_Rules.size());
    header.fileSize = offset;
    // Set and rule sections are indexed per record, not per block.
    header.sets.blockCount = header.rules.blockCount = 0;

    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(&header), sizeof header);
        for (const TKeyTable* t : {&formTable, &endingTable, &setTable, &ruleTable}) {
            out.write(reinterpret_cast<const char*>(t->index.data()),
                      static_cast<std::streamsize>(4 * t->index.size()));
            out.write(t->data.data(), static_cast<std::streamsize>(t->data.size()));
        }
        if (!out.flush()) {
            error = temp + ": cannot be written";
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

} // namespace corvane::mystem
