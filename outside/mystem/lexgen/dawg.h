#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::mystem {

/// A read-only DAWG dictionary with its completion guide, as stored in the OpenCorpora data
/// files: uint32 unit count, the units, uint32 guide size, the guide's (child, sibling) label
/// pairs. Keys are byte strings without NUL; each key carries a 31-bit value.
class TDawg
{
public:
    /// Reads the file; false with `error` set when it is missing or malformed.
    bool Load(const std::string& path, std::string& error);

    /// The value of `key`, or false when the key is absent.
    bool Find(std::string_view key, uint32_t& value) const;

    /// Walks every key in byte order.
    class TWalker
    {
    public:
        explicit TWalker(const TDawg& dawg);
        /// Moves to the next key; false at the end (or on a malformed structure).
        bool Next();
        const std::string& Key() const { return m_Key; }
        uint32_t Value() const;

    private:
        bool Follow(uint8_t label, uint32_t& index);
        bool FindTerminal(uint32_t index);

        const TDawg& m_Dawg;
        std::string m_Key;
        std::vector<uint32_t> m_Stack;
        uint32_t m_Last = 0;
        bool m_Started = false;
    };

private:
    bool Child(uint32_t index, uint8_t label, uint32_t& next) const;

    std::vector<uint32_t> m_Units;
    std::vector<uint8_t> m_Guide;
};

} // namespace corvane::mystem
