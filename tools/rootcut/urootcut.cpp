#include "tools/rootcut/urootcut.h"

#include <array>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <span>
#include <utility>

namespace corvane {
namespace {

struct TRule
{
    std::string_view suffix;
    std::string_view with;
};

using TRules = std::span<const TRule>;
using TRuleGroups = std::array<TRules, 256>;

constexpr TRuleGroups Groups(std::initializer_list<std::pair<char, TRules>> groups)
{
    TRuleGroups table{};
    for (const auto& [letter, rules] : groups)
        table[static_cast<unsigned char>(letter)] = rules;
    return table;
}

// Each step picks a group by one letter and applies the first rule of it whose suffix the word
// ends with. Steps 2 and 3 replace when m > 0, step 4 removes when m > 1.
constexpr TRule kStep2A[] = {{"ational", "ate"}, {"tional", "tion"}};
constexpr TRule kStep2C[] = {{"enci", "ence"}, {"anci", "ance"}};
constexpr TRule kStep2E[] = {{"izer", "ize"}};
constexpr TRule kStep2G[] = {{"logi", "log"}};
constexpr TRule kStep2L[] = {
    {"bli", "ble"}, {"alli", "al"}, {"entli", "ent"}, {"eli", "e"}, {"ousli", "ous"}};
constexpr TRule kStep2O[] = {{"ization", "ize"}, {"ation", "ate"}, {"ator", "ate"}};
constexpr TRule kStep2S[] = {
    {"alism", "al"}, {"iveness", "ive"}, {"fulness", "ful"}, {"ousness", "ous"}};
constexpr TRule kStep2T[] = {{"aliti", "al"}, {"iviti", "ive"}, {"biliti", "ble"}};
// By the second-last letter.
constexpr TRuleGroups kStep2 = Groups({{'a', kStep2A},
                                       {'c', kStep2C},
                                       {'e', kStep2E},
                                       {'g', kStep2G},
                                       {'l', kStep2L},
                                       {'o', kStep2O},
                                       {'s', kStep2S},
                                       {'t', kStep2T}});

constexpr TRule kStep3E[] = {{"icate", "ic"}, {"ative", ""}, {"alize", "al"}};
constexpr TRule kStep3I[] = {{"iciti", "ic"}};
constexpr TRule kStep3L[] = {{"ful", ""}, {"ical", "ic"}};
constexpr TRule kStep3S[] = {{"ness", ""}};
// By the last letter.
constexpr TRuleGroups kStep3 =
    Groups({{'e', kStep3E}, {'i', kStep3I}, {'l', kStep3L}, {'s', kStep3S}});

constexpr TRule kStep4C[] = {{"ic", ""}};
constexpr TRule kStep4I[] = {{"iti", ""}};
constexpr TRule kStep4L[] = {{"al", ""}};
constexpr TRule kStep4M[] = {{"ism", ""}};
constexpr TRule kStep4R[] = {{"er", ""}};
constexpr TRule kStep4S[] = {{"ous", ""}};
constexpr TRule kStep4U[] = {{"ou", ""}};
// By the last letter; "e" and "t" go on by the third-last letter, "n" ("ion") has its own test.
constexpr TRuleGroups kStep4 = Groups({{'c', kStep4C},
                                       {'i', kStep4I},
                                       {'l', kStep4L},
                                       {'m', kStep4M},
                                       {'r', kStep4R},
                                       {'s', kStep4S},
                                       {'u', kStep4U}});

constexpr TRule kStep4EA[] = {{"ate", ""}};
constexpr TRule kStep4EB[] = {{"able", ""}, {"ible", ""}};
constexpr TRule kStep4EI[] = {{"ive", ""}, {"ize", ""}};
constexpr TRule kStep4EN[] = {{"ance", ""}, {"ence", ""}};
constexpr TRuleGroups kStep4E =
    Groups({{'a', kStep4EA}, {'b', kStep4EB}, {'i', kStep4EI}, {'n', kStep4EN}});

constexpr TRule kStep4TA[] = {{"ant", ""}};
constexpr TRule kStep4TE[] = {{"ement", ""}, {"ment", ""}, {"ent", ""}};
constexpr TRuleGroups kStep4T = Groups({{'a', kStep4TA}, {'e', kStep4TE}});

bool IsPlainVowel(char c)
{
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

/// One word being stemmed: the buffer, its first letter k0, its current last letter k, and j,
/// the last letter before the suffix that the latest Ends matched.
class TStemmer
{
public:
    TStemmer(char* b, int32_t k0, int32_t k) : m_b(b), m_k0(k0), m_k(k) {}

    int32_t Run()
    {
        if (m_k - m_k0 + 1 < 3)
            return m_k;
        Step1a();
        Step1b();
        Step1c();
        Step2();
        Step3();
        Step4();
        Step5a();
        Step5b();
        return m_k;
    }

private:
    // A y is a vowel after anything but a plain vowel; only the letter before it decides.
    bool IsVowel(int32_t i) const
    {
        const char c = m_b[i];
        if (c == 'y')
            return i != m_k0 && !IsPlainVowel(m_b[i - 1]);
        return IsPlainVowel(c);
    }

    bool HasVowel(int32_t j) const
    {
        for (int32_t i = m_k0; i <= j; ++i)
            if (IsVowel(i))
                return true;
        return false;
    }

    // The measure m of letters k0..j (vowel-consonant sequences), capped at 2: the rules only
    // ask m > 0, m > 1 or m = 1.
    int GetM(int32_t j) const
    {
        int32_t i = m_k0;
        while (i <= j && !IsVowel(i))
            ++i;
        int m = 0;
        while (i <= j) {
            while (i <= j && IsVowel(i))
                ++i;
            if (i > j)
                break;
            if (++m == 2)
                break;
            while (i <= j && !IsVowel(i))
                ++i;
        }
        return m;
    }

    bool ORule(int32_t i) const
    {
        if (i < m_k0 + 2 || IsVowel(i) || !IsVowel(i - 1) || IsVowel(i - 2))
            return false;
        const char c = m_b[i];
        return c != 'w' && c != 'x' && c != 'y';
    }

    bool DoubleConsonant(int32_t i) const
    {
        return i >= m_k0 + 1 && m_b[i] == m_b[i - 1] && !IsVowel(i);
    }

    int32_t Length() const { return m_k - m_k0 + 1; }

    bool Ends(std::string_view s)
    {
        const auto len = static_cast<int32_t>(s.size());
        if (len > Length())
            return false;
        // Compared from the end, where most candidates already differ.
        const char* tail = m_b + m_k - len + 1;
        for (int32_t i = len - 1; i >= 0; --i)
            if (tail[i] != s[static_cast<size_t>(i)])
                return false;
        m_j = m_k - len;
        return true;
    }

    // Puts `s` in place of the suffix that the latest Ends matched.
    void SetTo(std::string_view s)
    {
        std::memcpy(m_b + m_j + 1, s.data(), s.size());
        m_k = m_j + static_cast<int32_t>(s.size());
    }

    // The replace rule: matched when the word ends with the suffix, replaced only when m > minM.
    bool Replace(std::string_view suffix, std::string_view with, int minM = 0)
    {
        if (!Ends(suffix))
            return false;
        if (GetM(m_j) > minM)
            SetTo(with);
        return true;
    }

    // The first rule whose suffix the word ends with is the only one applied.
    void ReplaceFirst(TRules rules, int minM = 0)
    {
        for (const TRule& r : rules)
            if (Replace(r.suffix, r.with, minM))
                return;
    }

    // The letter `back` places before the last one, or 0 when the word is too short.
    char Before(int32_t back) const { return m_k - back >= m_k0 ? m_b[m_k - back] : 0; }

    void Step1a()
    {
        if (m_b[m_k] != 's')
            return;
        // "ies" needs 4 letters and "sses" 5: the words "ies" and "sses" only lose their "s".
        if ((Length() >= 4 && Ends("ies")) || (Length() >= 5 && Ends("sses")))
            m_k -= 2;
        else if (m_b[m_k - 1] != 's')
            --m_k;
    }

    void Step1b()
    {
        const char c = Before(1);
        if (c == 'e') {
            if (!Replace("eed", "ee") && Ends("ed") && HasVowel(m_j)) {
                m_k = m_j;
                Step1b2();
            }
        } else if (c == 'n') {
            if (Ends("ing") && HasVowel(m_j)) {
                m_k = m_j;
                Step1b2();
            }
        }
    }

    void Step1b2()
    {
        if (Length() < 3)
            return;
        if (Ends("at") || Ends("bl") || Ends("iz")) {
            m_b[++m_k] = 'e';
        } else if (DoubleConsonant(m_k)) {
            const char c = m_b[m_k];
            if (c != 'l' && c != 's' && c != 'z')
                --m_k;
        } else if (GetM(m_k) == 1 && ORule(m_k)) {
            m_b[++m_k] = 'e';
        }
    }

    void Step1c()
    {
        if (Ends("y") && HasVowel(m_j))
            m_b[m_k] = 'i';
    }

    static TRules Group(const TRuleGroups& groups, char letter)
    {
        return groups[static_cast<unsigned char>(letter)];
    }

    void Step2() { ReplaceFirst(Group(kStep2, Before(1))); }

    void Step3() { ReplaceFirst(Group(kStep3, m_b[m_k])); }

    void Step4()
    {
        switch (m_b[m_k]) {
        case 'e':
            ReplaceFirst(Group(kStep4E, Before(2)), 1);
            break;
        case 't':
            ReplaceFirst(Group(kStep4T, Before(2)), 1);
            break;
        case 'n':
            if (Ends("ion") && m_j >= m_k0 && (m_b[m_j] == 's' || m_b[m_j] == 't') && GetM(m_j) > 1)
                m_k = m_j;
            break;
        default:
            ReplaceFirst(Group(kStep4, m_b[m_k]), 1);
        }
    }

    void Step5a()
    {
        if (m_b[m_k] != 'e')
            return;
        const int m = GetM(m_k - 1);
        if (m > 1 || (m == 1 && !ORule(m_k - 1)))
            --m_k;
    }

    void Step5b()
    {
        if (m_b[m_k] == 'l' && Before(1) == 'l' && GetM(m_k) > 1)
            --m_k;
    }

    char* m_b;
    int32_t m_k0;
    int32_t m_k;
    int32_t m_j = 0;
};

} // namespace

int32_t fRootcut(char* buffer, int32_t first, int32_t last)
{
    return TStemmer(buffer, first, last).Run();
}

std::string fRootcut(std::string_view word)
{
    std::string stem(word);
    if (stem.empty() || stem.size() > std::numeric_limits<int32_t>::max())
        return stem;
    const int32_t last = fRootcut(stem.data(), 0, static_cast<int32_t>(stem.size()) - 1);
    stem.resize(static_cast<size_t>(last) + 1);
    return stem;
}

} // namespace corvane
