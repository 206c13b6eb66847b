#pragma once

#include "outside/mystem/lexiconformat.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::mystem {

/// The read-only, memory-mapped lexicon: lemma candidates of known word forms and lemma guesses
/// by word ending. Every read is checked against the mapped size, so a damaged file gives
/// "unknown", never a crash.
class TLexicon
{
public:
    TLexicon() = default;
    ~TLexicon();
    TLexicon(const TLexicon&) = delete;
    TLexicon& operator=(const TLexicon&) = delete;

    /// Maps the file and checks its magic, size and section bounds; false with LastError set.
    bool Open(const std::string& path);
    const std::string& LastError() const { return m_LastError; }

    /// The lemma candidates of a key (see LexiconKey), best first; false when the key is unknown.
    bool Find(std::string_view key, std::vector<std::string>& lemmas) const;
    /// A lemma guessed from the longest known ending of the key; false when no ending is known.
    bool Guess(std::string_view key, std::string& lemma) const;

    uint32_t FormCount() const { return m_Header.forms.count; }
    uint32_t EndingCount() const { return m_Header.endings.count; }

private:
    struct TBytes
    {
        const unsigned char* data = nullptr;
        uint64_t size = 0;
    };

    bool Fail(std::string message);
    bool FindSet(const TSectionHeader& table, std::string_view key, uint32_t& set) const;
    bool ExpandSet(uint32_t set, std::string_view key, std::vector<std::string>& lemmas) const;
    bool ApplyRule(uint32_t rule, std::string_view key, std::string& lemma) const;
    bool BlockFirstKey(const TSectionHeader& table, uint32_t block, std::string_view& key) const;
    bool Offset(const TSectionHeader& section, uint32_t index, uint64_t& offset) const;

    const unsigned char* m_Map = nullptr;
    uint64_t m_Size = 0;
    TLexiconHeader m_Header{};
    std::string m_LastError;
};

} // namespace corvane::mystem
