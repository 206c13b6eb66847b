#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::mystem {

/// A Hunspell dictionary whose affix file has suffix rules only (SFX) with one-letter flags,
/// such as the Russian one: every stem with its flags, expanded into (form, stem) pairs.
/// Words are converted to Windows-1251.
class THunspellSfx
{
public:
    bool Load(const std::string& affPath, const std::string& dicPath, std::string& error);

    /// Calls `fn(form, stem)` for each stem itself and for each form a suffix rule of its flags
    /// builds, in dictionary and rule order.
    void
    Expand(const std::function<void(const std::string& form, const std::string& stem)>& fn) const;

    size_t StemCount() const { return m_Stems.size(); }

private:
    struct TRule
    {
        std::string strip;
        std::string add;
        // The condition on the end of the stem, one 256-entry byte set per position.
        std::vector<std::vector<bool>> condition;
    };

    bool Matches(const TRule& rule, std::string_view stem) const;

    std::vector<std::vector<TRule>> m_Rules = std::vector<std::vector<TRule>>(256);
    std::vector<std::pair<std::string, std::string>> m_Stems; // word, flags
};

} // namespace corvane::mystem
