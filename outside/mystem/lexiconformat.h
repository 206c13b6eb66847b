#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::mystem {

// The lexicon file: a header, then two key tables (word forms, and word endings for guessing)
// that map keys to candidate sets, the candidate sets, and the lemma rules they list.
//
// Key table: keys in byte order, front-coded in blocks of kBlockKeys; an index of uint32 block
// offsets into its data. Each entry: shared prefix length (u8), suffix length (u8), suffix
// bytes, candidate-set id (LEB128). The first entry of a block shares nothing.
// Candidate set: count (u8), then rule ids (LEB128), best first.
// Rule: bytes to cut from the end of the key (u8), length (u8) and bytes to append.
// Keys and lemmas are Windows-1251, lower case, with "ё" written as "е".

inline constexpr char kLexiconMagic[8] = {'C', 'V', 'L', 'E', 'X', 'R', 'U', '1'};
inline constexpr int kBlockKeys = 16;
inline constexpr size_t kMaxKeyLength = 255;
/// Endings of 1 to kLongestEnding letters carry the guesses for unknown words.
inline constexpr size_t kLongestEnding = 5;
inline constexpr char kLexiconFileName[] = "mystem.lex";

#pragma pack(push, 1)
struct TSectionHeader
{
    uint32_t count;      // entries (keys, sets or rules)
    uint32_t blockCount; // key tables only
    uint64_t indexOffset;
    uint64_t dataOffset;
    uint64_t dataSize;
};

struct TLexiconHeader
{
    char magic[8];
    uint64_t fileSize;
    TSectionHeader forms;
    TSectionHeader endings;
    TSectionHeader sets;
    TSectionHeader rules;
};
#pragma pack(pop)
static_assert(sizeof(TLexiconHeader) == 16 + 4 * 32);

/// The lexicon key of a word: Windows-1251 lower case, "ё" folded into "е".
std::string LexiconKey(std::string_view word);

} // namespace corvane::mystem
