#include "outside/mystem/lexgen/opencorpora.h"

#include "outside/mystem/lexgen/json.h"
#include "platform/codepage.h"

#include <fstream>
#include <set>

namespace corvane::mystem {
namespace {

constexpr char kPayloadSeparator = '\x01';

// P(tag|word) values are stored as integers scaled by this.
constexpr float kProbabilityScale = 1e6f;

TTagInfo DescribeTag(const std::string& tag)
{
    std::set<std::string> grammemes;
    std::string pos;
    size_t start = 0;
    for (size_t i = 0; i <= tag.size(); ++i) {
        if (i == tag.size() || tag[i] == ',' || tag[i] == ' ') {
            const std::string g = tag.substr(start, i - start);
            if (pos.empty())
                pos = g;
            grammemes.insert(g);
            start = i + 1;
        }
    }
    TTagInfo info;
    if (pos == "ADJF")
        info.prior = 5;
    else if (pos == "NOUN")
        info.prior = 4;
    else if (pos == "VERB" || pos == "INFN" || pos == "PRTF" || pos == "GRND")
        info.prior = 3;
    else if (pos == "ADVB")
        info.prior = 2;
    for (const char* g :
         {"Abbr", "Init", "Surn", "Name", "Patr", "Geox", "Orgn", "Trad", "Erro", "Dist"})
        if (grammemes.count(g))
            info.prior *= 0.01f;
    info.abbreviation = grammemes.count("Abbr") || grammemes.count("Init");
    info.ordinal = grammemes.count("Anum") > 0;
    return info;
}

bool StringArray(const TJson& json, std::vector<std::string>& out, bool toCp1251)
{
    if (json.kind != TJson::TKind::Array)
        return false;
    out.clear();
    for (const auto& item : json.array) {
        if (item.kind != TJson::TKind::String)
            return false;
        out.push_back(toCp1251 ? Utf8ToCp1251(item.string) : item.string);
    }
    return true;
}

// A uint16 of a record payload: two bytes of seven bits each, shifted left by one with the low
// bit set, so that no payload byte is zero.
uint16_t DecodePayloadValue(unsigned char high, unsigned char low)
{
    return static_cast<uint16_t>(((high >> 1) << 7) | (low >> 1));
}

} // namespace

bool TOpenCorpora::Load(const std::string& dir, std::string& error)
{
    TJson meta, gramtab, endings;
    if (!TJson::ParseFile(dir + "/meta.json", meta, error) ||
        !TJson::ParseFile(dir + "/gramtab-opencorpora-int.json", gramtab, error) ||
        !TJson::ParseFile(dir + "/suffixes.json", endings, error))
        return false;
    if (!StringArray(gramtab, m_TagNames, false) || m_TagNames.size() > 0xFFFF ||
        !StringArray(endings, m_Endings, true)) {
        error = dir + ": unexpected tag or ending table";
        return false;
    }
    for (const auto& pair : meta.array) {
        if (pair.kind != TJson::TKind::Array || pair.array.size() != 2)
            continue;
        const auto& name = pair.array[0].string;
        const auto& value = pair.array[1];
        if (name == "words_dawg_length")
            m_ExpectedRecords = static_cast<uint64_t>(value.number);
        if (name == "compile_options" && value.object.count("paradigm_prefixes"))
            StringArray(value.object.at("paradigm_prefixes"), m_Prefixes, true);
    }
    if (m_ExpectedRecords == 0 || m_Prefixes.empty()) {
        error = dir + "/meta.json: record count or paradigm prefixes missing";
        return false;
    }
    m_Tags.clear();
    for (const auto& t : m_TagNames)
        m_Tags.push_back(DescribeTag(t));
    return LoadParadigms(dir + "/paradigms.array", error) &&
           m_Words.Load(dir + "/words.dawg", error) &&
           LoadProbabilities(dir + "/p_t_given_w.intdawg", error);
}

bool TOpenCorpora::LoadParadigms(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    auto read16 = [&](uint16_t& v) {
        unsigned char b[2];
        if (!in.read(reinterpret_cast<char*>(b), 2))
            return false;
        v = static_cast<uint16_t>(b[0] | (b[1] << 8));
        return true;
    };
    uint16_t count = 0;
    if (!read16(count)) {
        error = path + ": missing or empty";
        return false;
    }
    m_Paradigms.assign(count, {});
    m_OrdinalForm.assign(count, -1);
    for (uint16_t p = 0; p < count; ++p) {
        uint16_t length = 0;
        if (!read16(length) || length % 3 != 0) {
            error = path + ": truncated or malformed paradigm " + std::to_string(p);
            return false;
        }
        auto& para = m_Paradigms[p];
        para.resize(length);
        for (auto& v : para)
            if (!read16(v)) {
                error = path + ": truncated";
                return false;
            }
        const size_t forms = length / 3;
        for (size_t i = 0; i < forms; ++i) {
            if (para[i] >= m_Endings.size() || para[forms + i] >= m_Tags.size() ||
                para[2 * forms + i] >= m_Prefixes.size()) {
                error = path + ": paradigm " + std::to_string(p) + " refers past a table";
                return false;
            }
            if (m_OrdinalForm[p] < 0 && m_Tags[para[forms + i]].ordinal)
                m_OrdinalForm[p] = static_cast<int>(i);
        }
    }
    return true;
}

bool TOpenCorpora::LoadProbabilities(const std::string& path, std::string& error)
{
    TDawg dawg;
    if (!dawg.Load(path, error))
        return false;
    std::unordered_map<std::string, uint16_t> tagIds;
    for (size_t i = 0; i < m_TagNames.size(); ++i)
        tagIds.emplace(m_TagNames[i], static_cast<uint16_t>(i));
    TDawg::TWalker walker(dawg);
    while (walker.Next()) {
        const std::string& key = walker.Key();
        const size_t colon = key.find(':');
        if (colon == std::string::npos || !tagIds.count(key.substr(colon + 1)))
            continue;
        const std::string form = key.substr(0, colon);
        m_ProbForms.insert(form);
        m_Probabilities[form + ':' + std::to_string(tagIds[key.substr(colon + 1)])] =
            static_cast<float>(walker.Value()) / kProbabilityScale;
    }
    if (m_Probabilities.empty()) {
        error = path + ": no tag probabilities";
        return false;
    }
    return true;
}

float TOpenCorpora::Probability(const std::string& form, uint16_t tag) const
{
    const auto it = m_Probabilities.find(form + ':' + std::to_string(tag));
    return it == m_Probabilities.end() ? 0.f : it->second;
}

bool TOpenCorpora::ForEachParse(const TParseFn& fn, uint64_t& records, std::string& error) const
{
    records = 0;
    TDawg::TWalker walker(m_Words);
    std::string form, lemma;
    while (walker.Next()) {
        const std::string& key = walker.Key();
        const size_t sep = key.find(kPayloadSeparator);
        if (sep == std::string::npos || key.size() != sep + 5) {
            error = "words.dawg: record without a 4-byte payload";
            return false;
        }
        const auto* p = reinterpret_cast<const unsigned char*>(key.data() + sep + 1);
        const uint16_t paradigm = DecodePayloadValue(p[0], p[1]);
        const uint16_t index = DecodePayloadValue(p[2], p[3]);
        form.assign(key, 0, sep);
        if (paradigm >= m_Paradigms.size() || index >= m_Paradigms[paradigm].size() / 3) {
            error =
                "words.dawg: record of \"" + Cp1251ToUtf8(form) + "\" refers past the paradigms";
            return false;
        }
        const auto& para = m_Paradigms[paradigm];
        const size_t forms = para.size() / 3;
        const std::string& ending = m_Endings[para[index]];
        const std::string& prefix = m_Prefixes[para[2 * forms + index]];
        if (form.size() < prefix.size() + ending.size() ||
            form.compare(0, prefix.size(), prefix) != 0 ||
            form.compare(form.size() - ending.size(), ending.size(), ending) != 0) {
            error = "words.dawg: \"" + Cp1251ToUtf8(form) + "\" does not fit its paradigm";
            return false;
        }
        const uint16_t tag = para[forms + index];
        // Ordinal numerals are filed under their cardinal; their own first form is the lemma.
        const int ordinal = m_OrdinalForm[paradigm];
        const size_t base =
            (m_Tags[tag].ordinal && ordinal >= 0) ? static_cast<size_t>(ordinal) : 0;
        lemma = m_Prefixes[para[2 * forms + base]];
        lemma.append(form, prefix.size(), form.size() - prefix.size() - ending.size());
        lemma += m_Endings[para[base]];
        fn(form, lemma, tag);
        ++records;
    }
    return true;
}

} // namespace corvane::mystem
