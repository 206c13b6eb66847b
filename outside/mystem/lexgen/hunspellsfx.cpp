#include "outside/mystem/lexgen/hunspellsfx.h"

#include "platform/codepage.h"

#include <fstream>
#include <sstream>

namespace corvane::mystem {
namespace {

// Parses a condition such as "[^с]таться" into byte sets; false on a malformed one.
bool ParseCondition(const std::string& text, std::vector<std::vector<bool>>& out)
{
    out.clear();
    if (text == ".")
        return true;
    for (size_t i = 0; i < text.size();) {
        std::vector<bool> set(256, false);
        if (text[i] == '.') {
            set.assign(256, true);
            ++i;
        } else if (text[i] == '[') {
            const size_t close = text.find(']', i);
            if (close == std::string::npos)
                return false;
            const bool negate = i + 1 < close && text[i + 1] == '^';
            for (size_t j = i + (negate ? 2 : 1); j < close; ++j)
                set[static_cast<unsigned char>(text[j])] = true;
            if (negate)
                set.flip();
            i = close + 1;
        } else {
            set[static_cast<unsigned char>(text[i])] = true;
            ++i;
        }
        out.push_back(std::move(set));
    }
    return true;
}

} // namespace

bool THunspellSfx::Load(const std::string& affPath, const std::string& dicPath, std::string& error)
{
    std::ifstream aff(affPath);
    if (!aff) {
        error = affPath + ": cannot be read";
        return false;
    }
    std::string line;
    int lineNo = 0;
    while (std::getline(aff, line)) {
        ++lineNo;
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "SET") {
            std::string set;
            fields >> set;
            if (set != "UTF-8") {
                error = affPath + ": only UTF-8 affix files are supported, not " + set;
                return false;
            }
        } else if (kind == "FLAG" || kind == "PFX") {
            error = affPath + ":" + std::to_string(lineNo) + ": " + kind + " is not supported";
            return false;
        } else if (kind == "SFX") {
            std::string flag, strip, add, condition;
            fields >> flag >> strip >> add >> condition;
            if (flag.size() != 1) {
                error = affPath + ":" + std::to_string(lineNo) + ": flag of more than one letter";
                return false;
            }
            if (condition.empty())
                continue; // the header line of a rule group: "SFX flag cross-product count"
            TRule rule;
            rule.strip = strip == "0" ? "" : Utf8ToCp1251(strip);
            add = add.substr(0, add.find('/'));
            rule.add = add == "0" ? "" : Utf8ToCp1251(add);
            if (!ParseCondition(Utf8ToCp1251(condition), rule.condition)) {
                error = affPath + ":" + std::to_string(lineNo) + ": malformed condition";
                return false;
            }
            m_Rules[static_cast<unsigned char>(flag[0])].push_back(std::move(rule));
        }
    }
    std::ifstream dic(dicPath);
    if (!dic || !std::getline(dic, line)) {
        error = dicPath + ": cannot be read";
        return false;
    }
    m_Stems.clear();
    while (std::getline(dic, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = line.substr(0, line.find_first_of(" \t"));
        if (line.empty())
            continue;
        const size_t slash = line.find('/');
        m_Stems.emplace_back(Utf8ToCp1251(line.substr(0, slash)),
                             slash == std::string::npos ? "" : line.substr(slash + 1));
    }
    if (m_Stems.empty()) {
        error = dicPath + ": no words";
        return false;
    }
    return true;
}

bool THunspellSfx::Matches(const TRule& rule, std::string_view stem) const
{
    if (stem.size() < rule.condition.size() || stem.size() < rule.strip.size() ||
        stem.substr(stem.size() - rule.strip.size()) != rule.strip)
        return false;
    const size_t start = stem.size() - rule.condition.size();
    for (size_t i = 0; i < rule.condition.size(); ++i)
        if (!rule.condition[i][static_cast<unsigned char>(stem[start + i])])
            return false;
    return true;
}

void THunspellSfx::Expand(
    const std::function<void(const std::string&, const std::string&)>& fn) const
{
    std::string form;
    for (const auto& [stem, flags] : m_Stems) {
        fn(stem, stem);
        for (unsigned char flag : flags) {
            for (const auto& rule : m_Rules[flag]) {
                if (!Matches(rule, stem))
                    continue;
                form.assign(stem, 0, stem.size() - rule.strip.size());
                form += rule.add;
                fn(form, stem);
            }
        }
    }
}

} // namespace corvane::mystem
